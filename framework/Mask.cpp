#include "Mask.h"

#include <algorithm>

#include "Clipbrd.h"
#include "SysUtils.h"

namespace {

bool IsLetter(char C) { return AnsiUpperChar(C) != AnsiLowerChar(C); }
bool IsDigit(char C) { return C >= '0' && C <= '9'; }

constexpr char InvalidInput[] = "Invalid input value.  Use escape key to abandon changes";

} // namespace

// --- TEditMask ---------------------------------------------------------------------------------

TEditMask::TEditMask(const AnsiString& EditMask)
{
    const size_t n = EditMask.size();
    char letterCase = 0;
    size_t i = 0;
    for (; i < n && EditMask[i] != ';'; ++i) {
        const char c = EditMask[i];
        TPosition pos;
        pos.Case = letterCase;
        switch (c) {
        case '\\':
            if (++i == n)
                continue;
            pos.Literal = EditMask[i];
            break;
        case '!': FReverse = true; continue;
        case '>': letterCase = '>'; continue;
        case '<':
            if (i + 1 < n && EditMask[i + 1] == '>') {
                letterCase = 0;
                ++i;
            } else {
                letterCase = '<';
            }
            continue;
        case '0':
        case '9':
        case '#':
        case 'L':
        case 'l':
        case 'A':
        case 'a':
        case 'C':
        case 'c': pos.Kind = c; break;
        case '/': pos.Literal = DateSeparator; break;
        case ':': pos.Literal = TimeSeparator; break;
        default: pos.Literal = c; break;
        }
        FPos.push_back(pos);
    }
    // The fields: the literals flag, then the blank character.
    if (i < n) {
        const size_t second = EditMask.find(';', i + 1);
        FSaveLiterals = !(i + 1 < n && EditMask[i + 1] == '0');
        if (second != AnsiString::npos && second + 1 < n)
            FBlank = EditMask[second + 1];
    }
    FEmpty.resize(FPos.size());
    for (size_t p = 0; p < FPos.size(); ++p)
        FEmpty[p] = FPos[p].Kind ? FBlank : FPos[p].Literal;
}

bool TEditMask::Required(int I) const
{
    const char k = FPos[static_cast<size_t>(I)].Kind;
    return k == '0' || k == 'L' || k == 'A' || k == 'C';
}

char TEditMask::Accept(int I, char C) const
{
    if (I < 0 || I >= Length())
        return 0;
    const TPosition& pos = FPos[static_cast<size_t>(I)];
    bool ok = false;
    switch (pos.Kind) {
    case '0':
    case '9': ok = IsDigit(C); break;
    case '#': ok = IsDigit(C) || C == '+' || C == '-'; break;
    case 'L':
    case 'l': ok = IsLetter(C); break;
    case 'A':
    case 'a': ok = IsLetter(C) || IsDigit(C); break;
    case 'C':
    case 'c': ok = static_cast<unsigned char>(C) >= ' '; break;
    default: break;
    }
    // The blank character would read as an unfilled place.
    if (!ok || C == FBlank)
        return 0;
    return pos.Case == '>' ? AnsiUpperChar(C) : pos.Case == '<' ? AnsiLowerChar(C) : C;
}

int TEditMask::NextPlace(int I) const
{
    for (I = std::max(I, 0); I < Length(); ++I)
        if (!IsLiteral(I))
            return I;
    return Length();
}

int TEditMask::PrevPlace(int I) const
{
    for (I = std::min(I, Length()) - 1; I >= 0; --I)
        if (!IsLiteral(I))
            return I;
    return -1;
}

void TEditMask::FillPlaces(AnsiString& Display, int From, int To, const AnsiString& Chars) const
{
    std::vector<int> places;
    for (int p = From; p < To; ++p)
        if (!IsLiteral(p))
            places.push_back(p);
    const size_t count = std::min(places.size(), Chars.size());
    // Right-aligned with '!': the last characters in the last places.
    const size_t firstPlace = FReverse ? places.size() - count : 0;
    const size_t firstChar = FReverse ? Chars.size() - count : 0;
    for (size_t k = 0; k < places.size(); ++k)
        Display[static_cast<size_t>(places[k])] = FBlank;
    for (size_t k = 0; k < count; ++k)
        Display[static_cast<size_t>(places[firstPlace + k])] = PlaceChar(places[firstPlace + k], Chars[firstChar + k]);
}

char TEditMask::PlaceChar(int I, char C) const
{
    const char accepted = C == ' ' || C == FBlank ? 0 : Accept(I, C);
    return accepted ? accepted : FBlank;
}

AnsiString TEditMask::Format(const AnsiString& Value, bool WithLiterals) const
{
    AnsiString display = FEmpty;
    const int n = Length();
    bool positional = static_cast<int>(Value.size()) == n;
    for (int p = 0; positional && p < n; ++p)
        positional = !IsLiteral(p) || Value[static_cast<size_t>(p)] == FEmpty[static_cast<size_t>(p)];
    if (positional) {
        for (int p = 0; p < n; ++p)
            if (!IsLiteral(p))
                display[static_cast<size_t>(p)] = PlaceChar(p, Value[static_cast<size_t>(p)]);
        return display;
    }
    // A value without any of the mask's literals holds the places alone, in order.
    bool cut = false;
    for (int p = 0; WithLiterals && !cut && p < n; ++p)
        cut = IsLiteral(p) && Value.find(FEmpty[static_cast<size_t>(p)]) != AnsiString::npos;
    if (!cut) {
        FillPlaces(display, 0, n, Value);
        return display;
    }
    // Runs of places, each ended in the value by the literal that follows it in the mask.
    size_t v = 0;
    for (int p = 0; p < n;) {
        if (IsLiteral(p)) {
            if (v < Value.size() && Value[v] == FEmpty[static_cast<size_t>(p)])
                ++v;
            ++p;
            continue;
        }
        int end = p;
        while (end < n && !IsLiteral(end))
            ++end;
        size_t stop = end < n ? Value.find(FEmpty[static_cast<size_t>(end)], v) : AnsiString::npos;
        stop = std::min(stop, Value.size());
        FillPlaces(display, p, end, Value.substr(v, stop - v));
        v = stop;
        p = end;
    }
    return display;
}

AnsiString TEditMask::DataOf(const AnsiString& Display) const
{
    AnsiString data;
    for (int p = 0; p < Length() && p < static_cast<int>(Display.size()); ++p)
        if (!IsLiteral(p))
            data += Display[static_cast<size_t>(p)];
    if (FReverse)
        data.erase(0, std::min(data.find_first_not_of(FBlank), data.size()));
    else
        data.erase(data.find_last_not_of(FBlank) + 1);
    std::replace(data.begin(), data.end(), FBlank, ' ');
    return data;
}

AnsiString TEditMask::TextOf(const AnsiString& Display) const
{
    if (!FSaveLiterals)
        return DataOf(Display);
    AnsiString text = Display;
    for (int p = 0; p < Length() && p < static_cast<int>(text.size()); ++p)
        if (!IsLiteral(p) && text[static_cast<size_t>(p)] == FBlank)
            text[static_cast<size_t>(p)] = ' ';
    return text;
}

bool TEditMask::Fits(const AnsiString& Display) const
{
    if (static_cast<int>(Display.size()) != Length())
        return false;
    for (int p = 0; p < Length(); ++p) {
        const char c = Display[static_cast<size_t>(p)];
        if (IsLiteral(p) ? c != FEmpty[static_cast<size_t>(p)] : c != FBlank && Accept(p, c) != c)
            return false;
    }
    return true;
}

int TEditMask::FirstMissing(const AnsiString& Display) const
{
    for (int p = 0; p < Length() && p < static_cast<int>(Display.size()); ++p)
        if (Required(p) && Display[static_cast<size_t>(p)] == FBlank)
            return p;
    return -1;
}

void TEditMask::BlankRange(AnsiString& Display, int From, int To) const
{
    for (int p = std::max(From, 0); p < std::min(To, Length()); ++p)
        if (!IsLiteral(p))
            Display[static_cast<size_t>(p)] = FBlank;
}

int TEditMask::Type(AnsiString& Display, int SelStart, int SelLength, char C) const
{
    const int p = NextPlace(SelStart);
    const char accepted = Accept(p, C);
    if (!accepted)
        return -1;
    BlankRange(Display, SelStart, SelStart + SelLength);
    Display[static_cast<size_t>(p)] = accepted;
    return NextPlace(p + 1);
}

int TEditMask::Erase(AnsiString& Display, int SelStart, int SelLength, bool Backward) const
{
    if (SelLength > 0) {
        BlankRange(Display, SelStart, SelStart + SelLength);
        return SelStart;
    }
    const int p = Backward ? PrevPlace(SelStart) : NextPlace(SelStart);
    if (p < 0 || p >= Length())
        return SelStart;
    Display[static_cast<size_t>(p)] = FBlank;
    return Backward ? p : NextPlace(p + 1);
}

int TEditMask::Paste(AnsiString& Display, int SelStart, int SelLength, const AnsiString& Text) const
{
    BlankRange(Display, SelStart, SelStart + SelLength);
    int p = SelStart;
    for (const char c : Text) {
        if (p < Length() && IsLiteral(p) && c == FEmpty[static_cast<size_t>(p)]) {
            ++p;
            continue;
        }
        p = NextPlace(p);
        if (p >= Length())
            break;
        if (c == ' ' || c == FBlank)
            Display[static_cast<size_t>(p++)] = FBlank;
        else if (const char accepted = Accept(p, c))
            Display[static_cast<size_t>(p++)] = accepted;
    }
    return NextPlace(p);
}

// --- TCustomMaskEdit ---------------------------------------------------------------------------

void TCustomMaskEdit::SetEditMask(const AnsiString& Value)
{
    if (Value == FEditMask)
        return;
    const AnsiString old = EditText();
    const TEditMask oldMask = FMask;
    FEditMask = Value;
    FMask = TEditMask(Value);
    AnsiString display;
    if (!FMask.IsMasked())
        display = oldMask.IsMasked() ? oldMask.TextOf(oldMask.Format(old, true)) : old;
    else if (oldMask.IsMasked())
        display = FMask.Format(oldMask.DataOf(oldMask.Format(old, true)), false);
    else
        display = FMask.Format(old, FMask.SaveLiterals());
    TCustomEdit::SetMaxLength(FMask.IsMasked() ? FMask.Length() : FPlainMaxLength);
    SetDisplay(display);
    FOldValue = display;
    Perform(CM_TEXTCHANGED);
}

void TCustomMaskEdit::SetMaxLength(int Value)
{
    FPlainMaxLength = std::max(0, Value);
    if (!IsMasked())
        TCustomEdit::SetMaxLength(Value);
}

AnsiString TCustomMaskEdit::Text()
{
    return IsMasked() ? FMask.TextOf(Display()) : TControl::Text();
}

void TCustomMaskEdit::SetEditText(const AnsiString& Value)
{
    FEditingText = true;
    try {
        TControl::SetText(Value);
    } catch (...) {
        FEditingText = false;
        throw;
    }
    FEditingText = false;
}

void TCustomMaskEdit::SetDisplay(const AnsiString& Display)
{
    FRawText = true;
    Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Display.c_str()));
    FRawText = false;
}

AnsiString TCustomMaskEdit::Display()
{
    const AnsiString shown = EditText();
    return FMask.Fits(shown) ? shown : FMask.Format(shown, true);
}

void TCustomMaskEdit::GetSel(int& SelStart, int& SelLength)
{
    DWORD s = 0, e = 0;
    SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    SelStart = static_cast<int>(s);
    SelLength = static_cast<int>(e - s);
}

void TCustomMaskEdit::Apply(const AnsiString& Before, const AnsiString& After, int Caret)
{
    size_t a = 0;
    while (a < Before.size() && a < After.size() && Before[a] == After[a])
        ++a;
    size_t tail = 0;
    while (tail < Before.size() - a && tail < After.size() - a &&
           Before[Before.size() - 1 - tail] == After[After.size() - 1 - tail])
        ++tail;
    // The replacement leaves the caret after what it wrote; it is moved only when it belongs elsewhere.
    size_t caretAfter = static_cast<size_t>(-1);
    if (a < Before.size() || a < After.size()) {
        const HWND h = Handle();
        SendMessageA(h, EM_SETSEL, a, static_cast<LPARAM>(Before.size() - tail));
        const AnsiString part = After.substr(a, After.size() - tail - a);
        SendMessageA(h, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(part.c_str()));
        SendMessageA(h, EM_SETMODIFY, 1, 0);
        caretAfter = a + part.size();
    }
    if (static_cast<size_t>(Caret) != caretAfter)
        SendMessageA(Handle(), EM_SETSEL, static_cast<WPARAM>(Caret), Caret);
}

void TCustomMaskEdit::SetTextMessage(TMessage& Message)
{
    const auto* text = reinterpret_cast<const char*>(Message.LParam);
    const AnsiString display = FMask.Format(text ? text : "", FEditingText || FMask.SaveLiterals());
    FOldValue = display;
    if (display == EditText()) {
        // The same display text: no change to announce.
        Message.Result = TRUE;
        return;
    }
    const LPARAM given = Message.LParam;
    Message.LParam = reinterpret_cast<LPARAM>(display.c_str());
    inherited::Dispatch(Message);
    Message.LParam = given;
}

template <class TStep>
bool TCustomMaskEdit::EditStep(TStep Step)
{
    int s = 0, n = 0;
    GetSel(s, n);
    const AnsiString before = EditText();
    AnsiString after = Display();
    const int caret = Step(after, s, n);
    if (caret < 0)
        return false;
    Apply(before, after, caret);
    return true;
}

void TCustomMaskEdit::Dispatch(TMessage& Message)
{
    if (IsMasked()) {
        switch (Message.Msg) {
        case WM_SETTEXT:
            if (!FRawText) {
                SetTextMessage(Message);
                return;
            }
            break;
        case WM_PASTE:
            if (!FReadOnly) {
                const AnsiString text = Clipboard()->AsText();
                EditStep([&](AnsiString& D, int S, int N) { return FMask.Paste(D, S, N, text); });
            }
            return;
        case WM_CUT:
        case WM_CLEAR:
            if (!FReadOnly && SelLength() > 0) {
                if (Message.Msg == WM_CUT)
                    SendMessageA(Handle(), WM_COPY, 0, 0);
                EditStep([&](AnsiString& D, int S, int N) { return FMask.Erase(D, S, N, false); });
            }
            return;
        case CM_ENTER:
            if (!FReEnter)
                FOldValue = EditText();
            FReEnter = false;
            break;
        case CM_EXIT: ValidateEdit(); break;
        default: break;
        }
    }
    inherited::Dispatch(Message);
}

void TCustomMaskEdit::KeyDown(Word& Key, TShiftState Shift)
{
    inherited::KeyDown(Key, Shift);
    if (!IsMasked() || Key == 0 || Shift.Contains(ssAlt) || !HandleAllocated())
        return;
    const bool plain = !Shift.Contains(ssShift) && !Shift.Contains(ssCtrl);
    int s = 0, n = 0;
    switch (Key) {
    case VK_LEFT:
    case VK_RIGHT:
        if (!plain)
            return;
        GetSel(s, n);
        if (Key == VK_LEFT) {
            s = FMask.PrevPlace(s);
            s = s < 0 ? FMask.NextPlace(0) : s;
        } else {
            s += n;
            s = FMask.NextPlace(s < FMask.Length() && !FMask.IsLiteral(s) ? s + 1 : s);
        }
        SendMessageA(Handle(), EM_SETSEL, static_cast<WPARAM>(s), s);
        Key = 0;
        return;
    case VK_INSERT:
    case VK_DELETE:
        // Shift+Insert and Shift+Delete are the keyboard's paste and cut, which the native edit
        // would make without the mask.
        if (Shift.Contains(ssShift) && !Shift.Contains(ssCtrl)) {
            Perform(Key == VK_INSERT ? WM_PASTE : WM_CUT, 0, 0);
            Key = 0;
            return;
        }
        if (Key == VK_INSERT || !plain)
            return;
        [[fallthrough]];
    case VK_BACK:
        if (!FReadOnly) {
            const bool back = Key == VK_BACK;
            EditStep([&](AnsiString& D, int S, int N) { return FMask.Erase(D, S, N, back); });
        }
        Key = 0;
        return;
    default: return;
    }
}

void TCustomMaskEdit::KeyPress(char& Key)
{
    inherited::KeyPress(Key);
    // Backspace was handled as a key; Ctrl+C, Ctrl+V and Ctrl+X become the clipboard's messages
    // and the other control characters are the native edit's.
    if (!IsMasked() || Key == 0 || !HandleAllocated() || Key == 3 || Key == 22 || Key == 24)
        return;
    if (Key == VK_ESCAPE) {
        Reset();
        Key = 0;
        return;
    }
    if (static_cast<unsigned char>(Key) < ' ' || Key == '\x7f') {
        // Backspace, and Ctrl+Backspace's character, were handled as keys.
        if (Key == '\b' || Key == '\x7f')
            Key = 0;
        return;
    }
    const char c = FCharCase == ecUpperCase ? AnsiUpperChar(Key) : FCharCase == ecLowerCase ? AnsiLowerChar(Key) : Key;
    Key = 0;
    if (FReadOnly)
        return;
    if (!EditStep([&](AnsiString& D, int S, int N) { return FMask.Type(D, S, N, c); }))
        SysUtils::Beep();
}

void TCustomMaskEdit::Change()
{
    if (FRefitting)
        return;
    if (IsMasked() && HandleAllocated()) {
        const AnsiString shown = EditText();
        if (!FMask.Fits(shown)) {
            int s = 0, n = 0;
            GetSel(s, n);
            FRefitting = true;
            try {
                SetDisplay(FMask.Format(shown, true));
            } catch (...) {
                FRefitting = false;
                throw;
            }
            FRefitting = false;
            SendMessageA(Handle(), EM_SETMODIFY, 1, 0);
            s = std::min(s, FMask.Length());
            SendMessageA(Handle(), EM_SETSEL, static_cast<WPARAM>(s), s);
        }
    }
    inherited::Change();
}

void TCustomMaskEdit::ValidateEdit()
{
    if (!IsMasked() || ComponentState().Contains(csDestroying) || !Modified())
        return;
    const int missing = FMask.FirstMissing(Display());
    if (missing < 0)
        return;
    KeepFocus();
    SendMessageA(Handle(), EM_SETSEL, static_cast<WPARAM>(missing), missing);
    SysUtils::Beep();
    throw EDBEditError(InvalidInput);
}

void TCustomMaskEdit::KeepFocus()
{
    if (!CanFocus())
        return;
    FReEnter = IsMasked();
    SetFocus();
}

void TCustomMaskEdit::Reset()
{
    if (!IsMasked() || !Modified())
        return;
    SetDisplay(FOldValue);
    SetModified(false);
}
