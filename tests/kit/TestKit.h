// Shared helpers of the test programs.
#pragma once
#include <exception>
#include <string>

#include <gtest/gtest.h>

namespace testkit {

// How long a wait gives a state that must come (a window, an answer, a file written): far past
// what a busy machine takes, under the test's limit. The bound only ends a wait that has failed.
constexpr unsigned kPatienceMs = 30000;
// An input that a busy display dropped is given again when what it brings has not come within
// this: long enough that one merely late is not doubled.
constexpr unsigned kInputLostMs = 10000;
// The watchdog's limit of one test (kit/Watchdog.h): a hang, not a slow machine.
constexpr unsigned kTestLimitMs = 120000;
// A driver of a modal loop gives up after this, before the watchdog: it closes what is open, so
// that the test ends and says what it waited for.
constexpr unsigned kModalLimitMs = kTestLimitMs - kPatienceMs;

// Folder of the checked-in test data (a Windows path with a trailing backslash).
std::string DataDir();

// Folder of the running test program, in the build folder (with a trailing backslash): where
// pictures made to be looked at go, never the source tree.
std::string OutputDir();

// This test program run again with only the test named Test (a disabled one too), its output
// captured, with the environment variable Name set to Value when a name is given.
struct SelfRun {
    unsigned long code = 0; // exit code (1 when it was ended, still running after kPatienceMs)
    unsigned long pid = 0;
    std::string output; // standard output and error
};
SelfRun RunSelf(const std::string& Test, const std::string& Name = {}, const std::string& Value = {});

// A fresh empty folder under the system's temporary folder, removed with its content on exit.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    // The folder with a trailing backslash.
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

// Whole content of a file as bytes ("" when it cannot be read); writes bytes to a file.
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

// A JPEG file's bytes with its frame header declaring another size (its data unchanged).
std::string JpegWithSize(std::string jpeg, int width, int height);

// The message of the exception of type E that f raises, so that a refusal is checked by its reason
// and not only by its type. Records a failure (and answers "") when f raises nothing or another type.
template <class E, class F>
std::string Refusal(F&& f)
{
    try {
        f();
    } catch (const E& e) {
        return e.what();
    } catch (const std::exception& e) {
        ADD_FAILURE() << "another exception: " << e.what();
        return {};
    }
    ADD_FAILURE() << "nothing refused";
    return {};
}

} // namespace testkit
