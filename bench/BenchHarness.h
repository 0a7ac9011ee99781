// A small benchmark harness: runs a body a number of times and prints the median figure.
#pragma once
#include <functional>
#include <string>

namespace bench {

// Runs setup (untimed) then body, `runs` times, and prints "<name>: median X ms (min Y, max Z)".
double Measure(const std::string& name, int runs, const std::function<void()>& body,
               const std::function<void()>& setup = {});
// Prints a line with a derived figure (throughput and the like).
void Report(const std::string& name, double value, const std::string& unit);

} // namespace bench
