// A small benchmark harness: runs a body a number of times and prints the median figure; and the
// article tree the application's benchmarks work on.
#pragma once
#include <functional>
#include <string>
#include <utility>
#include <vector>

class TTreeNodes;
class TsSkinManager;

namespace bench {

// The performance counter in milliseconds.
double NowMs();
// Prints "<name>: median X ms (min Y, max Z)" of times taken elsewhere and answers the median.
double Summary(const std::string& name, std::vector<double> times);
// Runs setup (untimed) then body, `runs` times, and prints "<name>: median X ms (min Y, max Z)".
double Measure(const std::string& name, int runs, const std::function<void()>& body,
               const std::function<void()>& setup = {});
// Runs the plain and the measured body alternately (so that a change of the machine's load falls
// on both alike; setup, untimed, is told which comes next) and prints the median of each; answers
// the two medians, plain first.
std::pair<double, double> SideBySide(const std::string& name, int runs, const std::function<void()>& plain,
                                     const std::function<void()>& measured,
                                     const std::function<void(bool plain)>& setup = {});
// The times of a floor and a measured body, one of each per round.
struct TRounds {
    std::vector<double> Floor, Measured;
};
// Runs Rounds rounds, each timing the floor and the measured body once, the floor first in even
// rounds and second in odd ones, so that a change of the machine's load falls on both alike;
// setup (untimed) runs before each body and is told whether the floor comes next.
TRounds InTurn(int Rounds, const std::function<void()>& Floor, const std::function<void()>& Measured,
               const std::function<void(bool floor)>& Setup = {});
// Prints the median of each side of Rounds under its name and the median of the per-round ratios
// (measured / floor) with its goal (at most Most); answers whether the goal is met.
bool RatioLines(const std::string& FloorName, const std::string& MeasuredName, const std::string& RatioName,
                const TRounds& Rounds, double Most);
// Handles every message waiting.
void PumpAll();
// Prints a line with a derived figure (throughput and the like).
void Report(const std::string& name, double value, const std::string& unit);
// Prints a figure with its goal, "(goal: at most G)" or "(goal: at least G)", followed by
// "GOAL MISSED" when the figure is on the wrong side of it; answers whether the goal is met.
bool AtMost(const std::string& name, double value, double goal, const std::string& unit = "x");
bool AtLeast(const std::string& name, double value, double goal, const std::string& unit = "x");
// The median of the ratios Measured[i] / Floor[i], each pair taken in the same round (0 for none).
double MedianRatio(const std::vector<double>& Measured, const std::vector<double>& Floor);
// Prints the median of the ratios Measured[i] / Floor[i], each pair taken in the same round, with
// its goal (at most Most) and the smallest and largest ratio; answers whether the goal is met.
bool Ratios(const std::string& name, const std::vector<double>& Measured, const std::vector<double>& Floor,
            double Most);

// Fills nodes with categories of nine subcategories of ten articles ("Статья номер <n>", read),
// count nodes in all, in one update.
void FillArticleTree(TTreeNodes& nodes, int count);

// A folder of the temporary folder (with a trailing backslash).
std::string TempFolder(const char* Name);
// A folder of Count entries ("file 00000.txt"..., or "folder 00000"... with a sub-folder in every
// other one) in the temporary folder, made once and kept for later runs: a folder that has its
// last entry is complete.
std::string KeptFolder(const char* Name, int Count, bool Folders);

// Copies a folder with everything below it.
void CopyFolder(const std::string& From, const std::string& To);
// Reads a skin folder into the tables as the manager does, without telling any window.
void LoadSkinTables(const std::string& Folder);
// A skin manager (owned by the application) with one of the shipped skins applied.
TsSkinManager* UseShippedSkin(const char* Name);
// The shipped default archive in the source tree (FILES, Skins), with a trailing backslash.
std::string DefaultsFolder();

} // namespace bench
