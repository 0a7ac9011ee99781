// Text the edit control lays out in time. Wine's and the system's multi-line edit wrap a line row
// by row, measuring the rest of the line again for each row: a line of a million characters holds
// the program for minutes. The note panel and the page editor's text are given only what they lay
// out in time.
#pragma once

#include "sMemo.h"

#include <cstddef>

// The most a memo is given to lay out, in the units of LaidOutLength: 1 MB in lines of up to 80
// characters, laid out in well under a second.
inline constexpr Int64 MaxMemoLayoutWeight = 2200000;
// How much of Text (from its start) a memo lays out in time: the whole, or the lines before the
// first whose layout would pass MaxMemoLayoutWeight and as much of that one as stays within it.
std::size_t LaidOutLength(const AnsiString& Text);

// A memo that refuses a paste (Ctrl+V, Shift+Insert, the edit's own menu: each reaches it as
// WM_PASTE) leaving text it cannot lay out in time: PasteRefusal is told and the memo stays as it
// was. MaxBytes, when not 0, is the most of the clipboard's text the memo would take in.
class TBoundedMemo : public TsMemo {
public:
    using TsMemo::TsMemo;
    AnsiString PasteRefusal;
    Int64 MaxBytes = 0;
    void WndProc(TMessage& Message) override;
};
