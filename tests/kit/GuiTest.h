// GUI test kit: a fixture for tests that open windows in the Xvfb display and Wine desktop,
// bounded message pumping, a message-sequence recorder with readable diffs, pixel read-back and
// screenshots.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include "TestKit.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

class TBitmap;

namespace testkit {

// Dispatches every message waiting in this thread's queue (posted messages, timers, paints); stops
// after limitMs when the queue never runs dry (a window that invalidates itself as it paints).
void PumpPending(unsigned limitMs = kPatienceMs);

// Pumps messages until pred() holds or timeoutMs elapses; answers whether pred() held.
bool PumpUntil(const std::function<bool()>& pred, unsigned timeoutMs = kPatienceMs);

// Pumps messages until the thread is at rest: no message waits for it (posted, sent, input,
// a timer that is due) and no visible window of it, top level or child, has an update region.
// Records a failure naming what was still pending when timeoutMs runs out. This is the wait
// before a screen read or a state check that follows from messages already queued; a state that
// a timer brings is waited for itself (WaitFor), as a timer not yet due leaves the thread at rest.
bool WaitIdle(unsigned timeoutMs = kPatienceMs);

// Pumps messages for a while: only for checks that something does NOT happen within that while,
// or where the duration is the input (a button held down).
void PumpFor(unsigned ms);

// The text a list-view window shows in a row's column (LVM_GETITEMTEXT).
std::string ListViewText(HWND List, int Row, int Column = 0);

// The top-level windows of this thread, visible or not.
std::vector<HWND> ThreadWindows();

// Fixture for tests that open windows. SetUp notes the thread's existing top-level windows;
// TearDown runs the registered clean-up actions (newest first), then destroys every top-level
// window of the thread that did not exist at SetUp, and pumps what that posted.
class GuiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Pumps until pred() holds; records a test failure naming `what` when the time runs out.
    bool WaitFor(const std::function<bool()>& pred, const std::string& what, unsigned timeoutMs = kPatienceMs);

    // A clean-up action run by TearDown before the remaining windows are destroyed.
    void AtTearDown(std::function<void()> action) { cleanups_.push_back(std::move(action)); }

    // A plain top-level (or child, when parent is given) window of the kit's own class; its
    // messages go to DefWindowProc unless a recorder subclasses it.
    HWND CreateTestWindow(const char* caption = "test", DWORD style = WS_OVERLAPPEDWINDOW, HWND parent = nullptr,
                          RECT bounds = {100, 100, 400, 300});

private:
    std::set<HWND> before_;
    std::vector<std::function<void()>> cleanups_;
};

// --- Message-sequence recording -----------------------------------------------------------

// Flags of a recorded or expected message.
enum MsgFlag : unsigned {
    msgSent = 0x01,     // arrived at a window procedure (sent or dispatched)
    msgParent = 0x02,   // recorded on the parent of the watched window
    msgOptional = 0x04, // expected only: may be absent from the recording
    msgWParam = 0x08,   // expected only: WParam must match
    msgLParam = 0x10,   // expected only: LParam must match
    msgNote = 0x20,     // a marker added by the test (Note), not a window message
};

struct MsgRecord {
    UINT message = 0;
    unsigned flags = msgSent;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    std::string note; // text of a msgNote marker
};

// An expected message; a message without msgWParam/msgLParam matches any parameters.
inline MsgRecord Expect(UINT message, unsigned flags = msgSent, WPARAM wParam = 0, LPARAM lParam = 0)
{
    return MsgRecord{message, flags, wParam, lParam, {}};
}

// An expected marker added with MessageRecorder::Note.
inline MsgRecord Marker(std::string text)
{
    return MsgRecord{0, msgNote, 0, 0, std::move(text)};
}

// Readable name of a message: the common WM_ names, "CM_BASE+n" for the framework's component
// messages, "CN_BASE+WM_x" for reflected notifications, else the number.
std::string MessageName(UINT message);

// Records the messages that watched windows receive, in order. Watching subclasses the window
// (comctl32 subclassing, so it stacks with any other take-over) until Unwatch or destruction.
// Noise that depends on timing (timers, idle, cursor queries, IME, paint of other windows) is
// ignored unless removed from the ignore set.
class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    // Records what hwnd receives; extraFlags is added to each record (msgParent for a parent).
    void Watch(HWND hwnd, unsigned extraFlags = msgSent);
    void Unwatch(HWND hwnd);
    void Ignore(UINT message) { ignored_.insert(message); }
    void Unignore(UINT message) { ignored_.erase(message); }

    void Add(const MsgRecord& rec);
    void Note(const std::string& text) { Add(MsgRecord{0, msgNote, 0, 0, text}); }
    void Clear() { records_.clear(); }
    const std::vector<MsgRecord>& Records() const { return records_; }

    // Compares the recording with an expected sequence (optional entries may be missing) and
    // clears the recording. The failure message shows both sequences side by side.
    ::testing::AssertionResult Matches(const std::vector<MsgRecord>& expected, const std::string& context = {});

private:
    static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    std::vector<MsgRecord> records_;
    std::set<UINT> ignored_;
    std::set<HWND> watched_;
};

// The comparison on its own: an empty string when `actual` fits `expected`, else a readable diff.
std::string CompareSequences(const std::vector<MsgRecord>& expected, const std::vector<MsgRecord>& actual);

// --- Pixels -------------------------------------------------------------------------------

// A 32-bit top-down copy of pixels; Pixel answers a COLORREF (0x00BBGGRR).
class PixelImage {
public:
    PixelImage() = default;
    PixelImage(int width, int height) : width_(width), height_(height), bgra_(size_t(width) * height) {}
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return bgra_.empty(); }
    COLORREF Pixel(int x, int y) const;
    // Raw pixels as 0x00RRGGBB, row by row from the top.
    std::uint32_t* Data() { return bgra_.data(); }
    const std::uint32_t* Data() const { return bgra_.data(); }
    // Number of pixels in the rectangle with exactly this colour.
    int CountColor(const RECT& r, COLORREF c) const;

    bool SaveBmp(const std::string& path) const;
    bool SavePng(const std::string& path) const;

private:
    int width_ = 0, height_ = 0;
    std::vector<std::uint32_t> bgra_;
};

// Paints a window into memory with WM_PRINT (client, non-client, children, background) and
// answers the pixels; the window need not be visible. With clientOnly, WM_PRINTCLIENT of the
// client area only.
PixelImage PrintWindowPixels(HWND hwnd, bool clientOnly = false);

// The same painting into a 24-bit TBitmap of the window's (or client area's) size, for tests that
// compare with bitmaps or read the pixels through the bitmap's canvas and scan lines.
std::unique_ptr<TBitmap> PrintWindowBitmap(HWND hwnd, bool clientOnly = false);

// Copies what the screen shows (the whole screen when hwnd is null, else the window rectangle).
PixelImage ScreenPixels(HWND hwnd = nullptr);

// Saves what the screen shows (or one window) for looking at what a test built, a relative name
// beside the test program; the format follows the extension (.png or .bmp). Answers false when
// nothing could be written.
bool SaveScreenshot(const std::string& path, HWND hwnd = nullptr);

} // namespace testkit
