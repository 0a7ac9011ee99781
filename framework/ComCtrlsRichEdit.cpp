#include "ComCtrlsRichEdit.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>

TCustomRichEdit::TCustomRichEdit(TComponent* AOwner) : TCustomMemo(AOwner) {}

void TCustomRichEdit::CreateParams(TCreateParams& Params)
{
    // The class is registered by its library, loaded once for the process.
    static const HMODULE library = LoadLibraryA("riched20.dll");
    (void)library;
    inherited::CreateParams(Params);
    CreateSubClass(Params, RICHEDIT_CLASSA);
    if (!FHideScrollBars)
        Params.Style |= ES_DISABLENOSCROLL;
    // The text goes in once the window is made (CreateWnd): a rich edit is not made at all with a
    // name longer than its default limit.
    Params.Caption.clear();
}

namespace {

DWORD CALLBACK StreamOut(DWORD_PTR Cookie, LPBYTE Buffer, LONG Count, LONG* Done)
{
    reinterpret_cast<std::string*>(Cookie)->append(reinterpret_cast<const char*>(Buffer), static_cast<size_t>(Count));
    *Done = Count;
    return 0;
}

struct TStreamSource {
    const std::string* Data;
    size_t At = 0;
};

DWORD CALLBACK StreamIn(DWORD_PTR Cookie, LPBYTE Buffer, LONG Count, LONG* Done)
{
    auto* source = reinterpret_cast<TStreamSource*>(Cookie);
    const size_t n = std::min(static_cast<size_t>(Count), source->Data->size() - source->At);
    std::memcpy(Buffer, source->Data->data() + source->At, n);
    source->At += n;
    *Done = static_cast<LONG>(n);
    return 0;
}

} // namespace

void TCustomRichEdit::CreateWnd()
{
    // Without a window the text is the object's own.
    const AnsiString text = FSavedContent.empty() ? Text() : AnsiString();
    inherited::CreateWnd();
    // The rich edit reports changes only when asked to.
    SendMessageA(Handle(), EM_SETEVENTMASK, 0, ENM_CHANGE);
    if (!FSavedContent.empty()) {
        // The formatted content of the window before, colours and all.
        TStreamSource source{&FSavedContent};
        EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&source), 0, StreamIn};
        SendMessageA(Handle(), EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&es));
        FSavedContent.clear();
        SendMessageA(Handle(), EM_SETMODIFY, FModified ? 1 : 0, 0);
        SendMessageA(Handle(), EM_SETSEL, static_cast<WPARAM>(FSelStart), static_cast<LPARAM>(FSelStart + FSelLength));
        ApplyColors(FDefColor);
        return;
    }
    if (!text.empty())
        SendMessageA(Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    // The text the new window took came in the system's default colour.
    ApplyColors(clWindowText);
}

void TCustomRichEdit::DestroyWnd()
{
    FSavedContent.clear();
    if (HandleAllocated()) {
        EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&FSavedContent), 0, StreamOut};
        SendMessageA(Handle(), EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&es));
    }
    inherited::DestroyWnd();
}

namespace {

// The colour of the whole text when it has one throughout (the automatic one is the system's
// window text colour), else CLR_INVALID. The selection and
// the scrolled place stay as they were.
COLORREF UniformTextColor(HWND Wnd)
{
    CHARRANGE saved{};
    POINT scrolled{};
    SendMessageA(Wnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&saved));
    SendMessageA(Wnd, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scrolled));
    SendMessageA(Wnd, EM_HIDESELECTION, TRUE, 0);
    CHARRANGE all{0, -1};
    SendMessageA(Wnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
    CHARFORMATA cf{};
    cf.cbSize = sizeof cf;
    SendMessageA(Wnd, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    SendMessageA(Wnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&saved));
    SendMessageA(Wnd, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scrolled));
    SendMessageA(Wnd, EM_HIDESELECTION, FALSE, 0);
    if (!(cf.dwMask & CFM_COLOR))
        return CLR_INVALID;
    return cf.dwEffects & CFE_AUTOCOLOR ? GetSysColor(COLOR_WINDOWTEXT) : cf.crTextColor;
}

} // namespace

void TCustomRichEdit::ApplyColors(TColor OldDefColor)
{
    if (!HandleAllocated())
        return;
    SendMessageA(Handle(), EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ColorToRGB(Color())));
    CHARFORMATA cf{};
    cf.cbSize = sizeof(cf);
    cf.dwMask = CFM_COLOR;
    cf.crTextColor = static_cast<COLORREF>(ColorToRGB(FDefColor));
    // Text already there keeps the colour it was given; text in the old default colour
    // throughout (never coloured on its own) follows the new default.
    const COLORREF old = static_cast<COLORREF>(ColorToRGB(OldDefColor));
    if (old != cf.crTextColor && GetWindowTextLengthA(Handle()) > 0 && UniformTextColor(Handle()) == old)
        SendMessageA(Handle(), EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&cf));
    SendMessageA(Handle(), EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
}

void TCustomRichEdit::SetHideScrollBars(bool Value)
{
    if (FHideScrollBars == Value)
        return;
    FHideScrollBars = Value;
    RecreateWnd();
}

void TCustomRichEdit::SetDefAttributesColor(TColor Value)
{
    const TColor old = FDefColor;
    FDefColor = Value;
    ApplyColors(old);
}

void TCustomRichEdit::Dispatch(TMessage& Message)
{
    inherited::Dispatch(Message);
    if (Message.Msg == CM_COLORCHANGED)
        ApplyColors(FDefColor);
}
