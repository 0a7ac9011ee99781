#include "MemoLayout.h"

#include "Clipbrd.h"
#include "Forms.h"

#include <algorithm>

std::size_t LaidOutLength(const AnsiString& Text)
{
    // A line of L characters costs about L + L * L / (2 * row), with a row of 40 characters (a
    // narrow panel). Line breaks cost a unit each.
    constexpr Int64 row = 40;
    Int64 weight = 0;
    std::size_t i = 0;
    while (i < Text.size()) {
        if (Text[i] == '\r' || Text[i] == '\n') {
            if (++weight > MaxMemoLayoutWeight)
                return i;
            ++i;
            continue;
        }
        const std::size_t start = i;
        const Int64 before = weight;
        for (; i < Text.size() && Text[i] != '\r' && Text[i] != '\n'; ++i) {
            const Int64 length = static_cast<Int64>(i - start + 1);
            weight = before + length + length * length / (2 * row);
            if (weight > MaxMemoLayoutWeight)
                return i;
        }
    }
    return Text.size();
}

void TBoundedMemo::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_PASTE && HandleAllocated() && !ReadOnly()) {
        // The text as the paste would leave it: the selection replaced by the clipboard's text, as
        // much of it as the limit lets in.
        const AnsiString text = Text();
        const auto start = std::min<std::size_t>(static_cast<std::size_t>(std::max(SelStart(), 0)), text.size());
        const auto end = std::min<std::size_t>(start + static_cast<std::size_t>(std::max(SelLength(), 0)), text.size());
        const std::size_t kept = text.size() - (end - start);
        const AnsiString pasted = Clipboard()->AsText();
        std::size_t room = pasted.size();
        if (MaxBytes > 0)
            room = kept < static_cast<std::size_t>(MaxBytes) ? static_cast<std::size_t>(MaxBytes) - kept : 0;
        const AnsiString after = text.substr(0, start) + pasted.substr(0, room) + text.substr(end);
        if (LaidOutLength(after) < after.size()) {
            Application->MessageBox(PasteRefusal, Application->Title(), MB_OK);
            return;
        }
    }
    TsMemo::WndProc(Message);
}
