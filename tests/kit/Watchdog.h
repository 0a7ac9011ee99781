// Watchdogs that turn a hang into a failure instead of a stalled suite.
// - Watchdog: for loops over many generated inputs. When one input takes longer than the limit,
//   the input is saved to the temporary folder (vellorn_hang_<process id>.bin), its name and the
//   saved path are printed on the error stream, and the test program ends with exit code 3.
// - WatchEachTest: every test of the program under one watchdog (installed by the kit's main). A
//   test that runs past the limit (a modal loop waiting for an answer, a wait for a window that
//   never comes) is named with the windows the program has open, the programs it started end, and
//   the program ends with exit code 3.
// - ReportCrashes: a crash ends the program at once, naming the test (exit code 4).
#pragma once
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace testkit {

class Watchdog {
public:
    // OnHang runs on the watchdog's thread just before the program ends.
    explicit Watchdog(unsigned limitMs = 10000, std::function<void()> OnHang = {});
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    // Starts the clock for the next input; `what` names it, `input` is what is saved on a hang
    // (nothing is saved when it is empty).
    void Next(const std::string& what, const std::string& input = {});
    // Stops the clock until the next input.
    void Idle();

private:
    void Watch();

    const unsigned limitMs_;
    const std::function<void()> onHang_;
    std::mutex lock_;
    std::condition_variable wake_;
    unsigned long long started_ = 0; // tick count when the current input began, 0 between inputs
    std::string what_, input_;
    bool done_ = false;
    std::thread thread_;
};

// The limit of one test: VELLORN_TEST_LIMIT_MS when set (the watchdog's own test), else kTestLimitMs.
void WatchEachTest();

// An exception that nothing handles (an access violation, say) ends the program at once with exit
// code 4, naming the running test, the exception code and address, instead of leaving the
// process to a debugger that would hold it, the watchdog's thread too, until the runner's timeout.
void ReportCrashes();

} // namespace testkit
