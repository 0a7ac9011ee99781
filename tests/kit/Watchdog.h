// A watchdog for loops over many generated inputs: when one input takes longer than the limit,
// the input is saved to the temporary folder (vellorn_hang_<process id>.bin), its name and the
// saved path are printed on the error stream, and the test program ends with exit code 3, so
// that a hang fails the test instead of stalling the suite.
#pragma once
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace testkit {

class Watchdog {
public:
    explicit Watchdog(unsigned limitMs = 10000);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    // Starts the clock for the next input; `what` names it, `input` is what is saved on a hang.
    void Next(const std::string& what, const std::string& input = {});

private:
    void Watch();

    const unsigned limitMs_;
    std::mutex lock_;
    std::condition_variable wake_;
    unsigned long long started_ = 0; // tick count when the current input began, 0 between inputs
    std::string what_, input_;
    bool done_ = false;
    std::thread thread_;
};

} // namespace testkit
