#include "Clipbrd.h"

#include <cstring>

namespace {

// The clipboard opened for the time of one call.
class TOpenClipboard {
public:
    TOpenClipboard() : FOpen(OpenClipboard(nullptr) != 0) {}
    ~TOpenClipboard()
    {
        if (FOpen)
            CloseClipboard();
    }
    TOpenClipboard(const TOpenClipboard&) = delete;
    TOpenClipboard& operator=(const TOpenClipboard&) = delete;
    bool Open() const { return FOpen; }

private:
    bool FOpen;
};

} // namespace

AnsiString TClipboard::AsText()
{
    AnsiString text;
    TOpenClipboard clip;
    if (!clip.Open())
        return text;
    if (HANDLE data = GetClipboardData(CF_TEXT))
        if (const auto* p = static_cast<const char*>(GlobalLock(data))) {
            text.assign(p, strnlen(p, GlobalSize(data)));
            GlobalUnlock(data);
        }
    return text;
}

void TClipboard::SetAsText(const AnsiString& Value)
{
    TOpenClipboard clip;
    if (!clip.Open())
        return;
    EmptyClipboard();
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, Value.size() + 1);
    if (!data)
        return;
    if (auto* p = static_cast<char*>(GlobalLock(data))) {
        std::memcpy(p, Value.c_str(), Value.size() + 1);
        GlobalUnlock(data);
        if (SetClipboardData(CF_TEXT, data))
            return; // the clipboard owns it now
    }
    GlobalFree(data);
}

bool TClipboard::HasFormat(UINT Format)
{
    return IsClipboardFormatAvailable(Format) != 0;
}

void TClipboard::Clear()
{
    TOpenClipboard clip;
    if (clip.Open())
        EmptyClipboard();
}

TClipboard* Clipboard()
{
    static TClipboard clipboard;
    return &clipboard;
}
