#include "sComboBoxes.h"

#include <algorithm>

#include <windowsx.h>

#include "Forms.h"
#include "SysUtils.h"
#include "sEdit.h"
#include "sGraphUtils.h"
#include "sMaskData.h"
#include "sMaskGraph.h"
#include "sMessages.h"
#include "sStyleSimply.h"
#include "sUtils.h"
#include "sVclUtils.h"

TRect ComboButtonRect(int Width, int Height, TPoint Cell, bool Mirrored)
{
    if (Cell.x <= 0 || Cell.y <= 0)
        return TRect{};
    const int top = (Height - Cell.y) / 2;
    if (Mirrored)
        return TRect{top, top, top + Cell.x, Height - top};
    return TRect{Width - Cell.x - top, top, Width - top, Height - top};
}

// --- TsCustomListControl -----------------------------------------------------------------------

TsCustomListControl::TsCustomListControl(TComponent* AOwner) : TWinControl(AOwner), TsBoundHolder(this, "COMBOBOX", 1)
{
}

void TsCustomListControl::AfterConstruction()
{
    inherited::AfterConstruction();
    SkinData()->Loaded();
}

void TsCustomListControl::MoveSelection(TsCustomListControl* Destination)
{
    CopySelection(Destination);
    DeleteSelected();
}

void TsCustomListControl::WndProc(TMessage& Message)
{
    TsCommonData* sd = SkinData();
    if (Message.Msg == SM_SKINCMD) {
        switch (Message.WParamHi) {
        case AC_NEWSKIN: CommonWndProc(Message, sd); return;
        case AC_REMOVESKIN:
            CommonWndProc(Message, sd);
            RestoreWindowColors(sd);
            Repaint();
            return;
        case AC_REPAINT:
            CommonWndProc(Message, sd);
            ApplySectionColors(SkinData());
            Repaint();
            return;
        case AC_PARENTUPDATED:
            if (sd->Updating) {
                sd->Updating = false;
                Repaint();
            }
            return;
        case AC_ISSKINNED: Message.LParam = 1; return;
        default: break;
        }
    }
    if (!ControlIsReady(this)) {
        inherited::WndProc(Message);
    } else {
        if (CommonWndProc(Message, sd))
            return;
        const bool skinned = sd->Skinned();
        if (skinned && Message.Msg == WM_VSCROLL)
            return;
        inherited::WndProc(Message);
        if (skinned) {
            switch (Message.Msg) {
            case CM_MOUSEENTER:
            case CM_MOUSELEAVE:
                if (sd->Focused)
                    break;
                sd->MouseAbove = Message.Msg == CM_MOUSEENTER;
                [[fallthrough]];
            case CM_VISIBLECHANGED:
            case CM_ENABLEDCHANGED:
            case WM_MOUSEWHEEL:
            case WM_MOVE:
            case WM_SIZE:
            case WM_SETFONT:
                sd->BGChanged = true;
                Repaint();
                break;
            case CM_ENTER:
            case CM_EXIT:
            case WM_SETFOCUS:
            case WM_KILLFOCUS:
                sd->Focused = Message.Msg == CM_ENTER || Message.Msg == WM_SETFOCUS;
                sd->MouseAbove = false;
                sd->BGChanged = true;
                Repaint();
                break;
            default: break;
            }
        }
    }
    BoundLabelFollows(BoundLabel(), this, Message.Msg);
}

// --- TsCommonCombo -----------------------------------------------------------------------------

TsCommonCombo::TsCommonCombo(TComponent* AOwner) : TsCustomListControl(AOwner), FCanvas(std::make_unique<TControlCanvas>())
{
    FControlStyle = TControlStyle{csCaptureMouse, csSetCaption, csOpaque, csDoubleClicks, csFixedHeight};
    FWidth = 145;
    FHeight = 22;
    FTabStop = true;
    FParentColor = false;
    FColor = clWindow;
    FCanvas->Control = this;
}

TsCommonCombo::~TsCommonCombo() { FCanvas->FreeHandle(); }

void TsCommonCombo::Loaded()
{
    inherited::Loaded();
    SkinData()->Loaded();
    ApplySectionColors(SkinData());
    if (FLoadingIndex != -1) {
        const int index = FLoadingIndex;
        FLoadingIndex = -1;
        SetItemIndex(index);
    }
}

void TsCommonCombo::CreateWnd()
{
    inherited::CreateWnd();
    SendMessageA(FHandle, CB_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
    FEditHandle = nullptr;
    FListHandle = nullptr;
    FDropHandle = FHandle;
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (!GetComboBoxInfo(FHandle, &info))
        return;
    const DWORD style = static_cast<DWORD>(GetWindowLongA(FHandle, GWL_STYLE)) & 3;
    if (style == CBS_SIMPLE && info.hwndList) {
        FListHandle = info.hwndList;
        FListSubclass.Subclass(FListHandle, TWndMethod(this, &TsCommonCombo::ListWndProc));
    }
    if (style != CBS_DROPDOWNLIST && info.hwndItem) {
        FEditHandle = info.hwndItem;
        FEditSubclass.Subclass(FEditHandle, TWndMethod(this, &TsCommonCombo::EditWndProc));
        SendMessageA(FEditHandle, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    }
}

void TsCommonCombo::DestroyWindowHandle()
{
    inherited::DestroyWindowHandle();
    FEditHandle = nullptr;
    FListHandle = nullptr;
    FDropHandle = nullptr;
}

int TsCommonCombo::GetItemIndex()
{
    if (ComponentState().Contains(csLoading))
        return FLoadingIndex;
    return static_cast<int>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0));
}

void TsCommonCombo::SetItemIndex(int Value)
{
    if (ComponentState().Contains(csLoading)) {
        FLoadingIndex = Value;
        return;
    }
    if (GetItemIndex() == Value)
        return;
    SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(Value), 0);
    if (IsValidSkinIndex(SkinData()->SkinIndex))
        Repaint();
}

void TsCommonCombo::AddItem(const AnsiString& Item, TObject* AObject) { FItems->AddObject(Item, AObject); }

void TsCommonCombo::Clear()
{
    SetText(AnsiString());
    FItems->Clear();
    FSaveIndex = -1;
}

void TsCommonCombo::CopySelection(TsCustomListControl* Destination)
{
    const int i = GetItemIndex();
    if (i != -1 && Destination)
        Destination->AddItem(FItems->Get(i), FItems->Objects(i));
}

void TsCommonCombo::DeleteSelected()
{
    const int i = GetItemIndex();
    if (i != -1)
        FItems->Delete(i);
}

void TsCommonCombo::SelectAll() { SendMessageA(Handle(), CB_SETEDITSEL, 0, MAKELPARAM(0, 0xFFFF)); }

void TsCommonCombo::SetItems(TStrings* Value)
{
    if (FItems)
        FItems->Assign(Value);
}

void TsCommonCombo::SetMaxLength(int Value)
{
    Value = std::max(0, Value);
    if (Value == FMaxLength)
        return;
    FMaxLength = Value;
    if (HandleAllocated())
        SendMessageA(FHandle, CB_LIMITTEXT, static_cast<WPARAM>(Value), 0);
}

void TsCommonCombo::SetItemHeight(int Value)
{
    if (Value < 1)
        return;
    FItemHeight = Value;
    if (HandleAllocated()) {
        SendMessageA(FHandle, CB_SETITEMHEIGHT, 0, Value);
        RecreateWnd();
    }
}

bool TsCommonCombo::DroppedDown()
{
    return HandleAllocated() && SendMessageA(FHandle, CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TsCommonCombo::SetDroppedDown(bool Value)
{
    SendMessageA(Handle(), CB_SHOWDROPDOWN, Value ? 1 : 0, 0);
    InvalidateRect(FHandle, nullptr, TRUE);
}

int TsCommonCombo::SelStart()
{
    DWORD start = 0;
    SendMessageA(Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), 0);
    return static_cast<int>(start);
}

void TsCommonCombo::SetSelStart(int Value) { SendMessageA(Handle(), CB_SETEDITSEL, 0, MAKELPARAM(Value, Value)); }

int TsCommonCombo::SelLength()
{
    DWORD start = 0, end = 0;
    SendMessageA(Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(end - start);
}

void TsCommonCombo::SetSelLength(int Value)
{
    const int start = SelStart();
    SendMessageA(Handle(), CB_SETEDITSEL, 0, MAKELPARAM(start, start + Value));
}

bool TsCommonCombo::Focused()
{
    if (!HandleAllocated())
        return false;
    const HWND focus = GetFocus();
    // Nothing focused is no focus of ours.
    return focus && (focus == FHandle || focus == FEditHandle || focus == FListHandle);
}

void TsCommonCombo::Change()
{
    if (ComponentState().Contains(csLoading))
        return;
    Changed();
    UpdateMargins();
    if (IsValidSkinIndex(SkinData()->SkinIndex) && HandleAllocated()) {
        const RECT r{3, 3, Width() - 3, Height() - 3};
        InvalidateRect(FHandle, &r, FALSE);
    }
    if (OnChange)
        OnChange(this);
}

void TsCommonCombo::Select()
{
    if (OnSelect)
        OnSelect(this);
    else
        Change();
}

void TsCommonCombo::DropDown()
{
    if (OnDropDown)
        OnDropDown(this);
}

void TsCommonCombo::CloseUp()
{
    if (OnCloseUp)
        OnCloseUp(this);
}

void TsCommonCombo::AdjustDropDown()
{
    const int rows = std::max(1, std::min(GetItemCount(), FDropDownCount));
    {
        TFlagUp dropping(FDroppingDown);
        SetWindowPos(FDropHandle, nullptr, 0, 0, Width(), GetItemHt() * rows + Height() + 2,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_HIDEWINDOW);
    }
    SetWindowPos(FDropHandle, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW | SWP_SHOWWINDOW);
}

int TsCommonCombo::GlyphIndex()
{
    TsCommonData* sd = SkinData();
    return sd->Skinned() ? GetMaskIndex(sd->SkinIndex, sd->SkinSection(), "GLYPHMASK") : -1;
}

TRect TsCommonCombo::ButtonRect()
{
    // One cell of the mask, whether cut from the master image or a picture of its own.
    return ComboButtonRect(Width(), Height(), MaskSize(GlyphIndex()), UseRightToLeftAlignment());
}

void TsCommonCombo::PaintButton()
{
    const int i = GlyphIndex();
    if (MaskSize(i).x == 0)
        return;
    const int state = DroppedDown() ? 2 : ControlIsActive(SkinData()) ? 1 : 0;
    const TRect r = ButtonRect();
    DrawSkinGlyph(SkinData()->FCacheBmp.get(), TPoint{r.left, r.top}, state, 1, ma[static_cast<size_t>(i)]);
}

void TsCommonCombo::CNCommand(TMessage& Message)
{
    switch (HIWORD(Message.WParam)) {
    case CBN_SELCHANGE: {
        const int i = GetItemIndex();
        SetText(i >= 0 ? FItems->Get(i) : AnsiString());
        Click();
        Select();
        break;
    }
    case CBN_DBLCLK: DblClick(); break;
    case CBN_EDITCHANGE: Change(); break;
    case CBN_DROPDOWN:
        FFocusChanged = false;
        DropDown();
        AdjustDropDown();
        if (FFocusChanged) {
            PostMessageA(FHandle, WM_CANCELMODE, 0, 0);
            if (!FIsFocused)
                PostMessageA(FHandle, CB_SHOWDROPDOWN, 0, 0);
        }
        break;
    case CBN_CLOSEUP:
        SkinData()->BGChanged = true;
        Repaint();
        CloseUp();
        break;
    case CBN_SETFOCUS:
    case CBN_KILLFOCUS:
        FIsFocused = HIWORD(Message.WParam) == CBN_SETFOCUS;
        SkinData()->Focused = FIsFocused;
        FFocusChanged = true;
        break;
    default: break;
    }
}

namespace {

bool HasPopupMenu(TControl* Control)
{
    for (TControl* c = Control; c; c = c->Parent())
        if (c->PopupMenu())
            return true;
    return false;
}

} // namespace

void TsCommonCombo::ComboWndProc(TMessage& Message, HWND ComboWnd)
{
    switch (Message.Msg) {
    case WM_SETFOCUS:
        if (TWinControl* form = GetParentFormControl(this))
            if (form != this && !form->SetFocusedControl(this))
                return;
        break;
    case WM_KILLFOCUS:
        if (FControlState.Contains(csFocusing))
            return;
        break;
    case WM_GETDLGCODE:
        if (DroppedDown()) {
            Message.Result = DLGC_WANTALLKEYS;
            return;
        }
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (ComboWnd != FListHandle && DoKeyDown(MessageAs<TWMKey>(Message)))
            return;
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (DoKeyUp(MessageAs<TWMKey>(Message)))
            return;
        break;
    case WM_CHAR:
        if (DoKeyPress(MessageAs<TWMKey>(Message)))
            return;
        // Enter and Escape close an open list and go no further.
        if ((Message.WParam == VK_RETURN || Message.WParam == VK_ESCAPE) && DroppedDown()) {
            SetDroppedDown(false);
            return;
        }
        break;
    case WM_MOUSEMOVE:
        if (HintMouseMessageHook)
            HintMouseMessageHook(this, Message);
        break;
    case WM_RBUTTONUP:
        // A right click on the edit or the list opens the control's pop-up menu (or a parent's):
        // the control takes it at its own point.
        if ((ComboWnd == FEditHandle || ComboWnd == FListHandle) && HasPopupMenu(this)) {
            POINT p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
            MapWindowPoints(ComboWnd, Handle(), &p, 1);
            TMessage own = MakeMessage(WM_RBUTTONUP, Message.WParam, MAKELPARAM(p.x, p.y));
            WindowProc(own);
            Message.Result = own.Result;
            return;
        }
        break;
    case WM_SYSCOMMAND:
        if (ComboWnd == FEditHandle) {
            WindowProc(Message);
            return;
        }
        break;
    default: break;
    }
    if (ComboWnd == FEditSubclass.Handle())
        FEditSubclass.DefaultHandler(Message);
    else if (ComboWnd == FListSubclass.Handle())
        FListSubclass.DefaultHandler(Message);
    // The edit reached directly (a click) is the combo's focus: its form hears the change as for
    // the combo's own window (enter and exit, the button that Enter clicks).
    if (Message.Msg == WM_SETFOCUS && ComboWnd == FEditHandle && !ComponentState().Contains(csDestroying))
        FocusEntered();
    switch (Message.Msg) {
    case WM_NCDESTROY: (ComboWnd == FEditHandle ? FEditHandle : FListHandle) = nullptr; break;
    case WM_LBUTTONDBLCLK:
        if (FControlStyle.Contains(csDoubleClicks))
            DblClick();
        break;
    case WM_SETFONT:
        if (ComboWnd == FEditHandle)
            SendMessageA(FEditHandle, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
        break;
    default: break;
    }
}

void TsCommonCombo::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_COMMAND: CNCommand(Message); return;
    case WM_CHAR:
        if (DoKeyPress(MessageAs<TWMKey>(Message)))
            return;
        if ((Message.WParam == VK_RETURN || Message.WParam == VK_ESCAPE) && DroppedDown()) {
            SetDroppedDown(false);
            return;
        }
        DefaultHandler(Message);
        return;
    case WM_GETDLGCODE:
        DefaultHandler(Message);
        if (DroppedDown())
            Message.Result |= DLGC_WANTALLKEYS;
        return;
    case CM_CANCELMODE:
        // A press on another control closes the list.
        if (reinterpret_cast<TControl*>(Message.LParam) != this && DroppedDown())
            SetDroppedDown(false);
        return;
    case CM_WANTSPECIALKEY:
        // Enter and Escape close an open list instead of reaching the form.
        if ((Message.WParam == VK_RETURN || Message.WParam == VK_ESCAPE) && DroppedDown()) {
            Message.Result = 1;
            return;
        }
        break;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(Message.WParam);
        SetTextColor(dc, static_cast<COLORREF>(ColorToRGB(Font()->Color())));
        SetBkColor(dc, static_cast<COLORREF>(ColorToRGB(Brush()->Color())));
        Message.Result = reinterpret_cast<LRESULT>(Brush()->Handle());
        return;
    }
    case CM_CTL3DCHANGED: RecreateWnd(); return;
    default: break;
    }
    inherited::Dispatch(Message);
}

void TsCommonCombo::WndProc(TMessage& Message)
{
    // The size set while the list drops down is the system's business alone.
    if (Message.Msg == WM_SIZE && FDroppingDown) {
        DefaultHandler(Message);
        return;
    }
    inherited::WndProc(Message);
}

// --- Strings -------------------------------------------------------------------------------------

LRESULT TsCustomComboBoxStrings::Send(UINT Msg, WPARAM W, LPARAM L) const
{
    return SendMessageA(ComboBox->Handle(), Msg, W, L);
}

int TsCustomComboBoxStrings::GetCount() const { return static_cast<int>(Send(CB_GETCOUNT)); }

AnsiString TsCustomComboBoxStrings::Get(int Index) const
{
    // As long as the item is, with room for the terminating zero.
    const LRESULT len = Send(CB_GETLBTEXTLEN, static_cast<WPARAM>(Index));
    if (len == CB_ERR)
        return AnsiString();
    AnsiString text(static_cast<size_t>(len) + 1, '\0');
    const LRESULT got = Send(CB_GETLBTEXT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got == CB_ERR ? 0 : static_cast<size_t>(std::clamp<LRESULT>(got, 0, len)));
    return text;
}

TObject* TsCustomComboBoxStrings::GetObject(int Index) const
{
    const LRESULT data = Send(CB_GETITEMDATA, static_cast<WPARAM>(Index));
    if (data == CB_ERR)
        IndexError(Index);
    return reinterpret_cast<TObject*>(data);
}

void TsCustomComboBoxStrings::PutObject(int Index, TObject* AObject)
{
    Send(CB_SETITEMDATA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(AObject));
}

int TsCustomComboBoxStrings::IndexOf(const AnsiString& S) const
{
    const LRESULT r = Send(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(S.c_str()));
    return r < 0 ? -1 : static_cast<int>(r);
}

void TsCustomComboBoxStrings::Delete(int Index) { Send(CB_DELETESTRING, static_cast<WPARAM>(Index)); }

void TsCustomComboBoxStrings::Clear()
{
    const AnsiString text = ComboBox->Text();
    Send(CB_RESETCONTENT);
    ComboBox->SetText(text);
    ComboBox->Update();
}

void TsCustomComboBoxStrings::SetUpdateState(bool Updating)
{
    Send(WM_SETREDRAW, Updating ? 0 : 1);
    if (!Updating)
        ComboBox->Refresh();
}

int TsComboBoxStrings::Add(const AnsiString& S)
{
    const LRESULT r = ComboBox->PerformOnWindow(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(S.c_str()));
    if (r < 0)
        throw EOutOfResources("Unable to insert a line");
    return static_cast<int>(r);
}

void TsComboBoxStrings::Insert(int Index, const AnsiString& S)
{
    if (ComboBox->PerformOnWindow(CB_INSERTSTRING, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(S.c_str())) < 0)
        throw EOutOfResources("Unable to insert a line");
}

// --- TsCommonComboBox ----------------------------------------------------------------------------

TsCommonComboBox::TsCommonComboBox(TComponent* AOwner) : TsCommonCombo(AOwner)
{
    FItems = std::make_unique<TsComboBoxStrings>(this);
}

TsCommonComboBox::~TsCommonComboBox() = default;

void TsCommonComboBox::CreateParams(TCreateParams& Params)
{
    inherited::CreateParams(Params);
    CreateSubClass(Params, "COMBOBOX");
    Params.Style |= WS_VSCROLL | CBS_HASSTRINGS | CBS_AUTOHSCROLL;
    static constexpr DWORD styles[] = {CBS_DROPDOWN, CBS_SIMPLE, CBS_DROPDOWNLIST, CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED,
                                       CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE};
    Params.Style |= styles[FStyle];
    if (FSorted)
        Params.Style |= CBS_SORT;
    static constexpr DWORD cases[] = {0, CBS_UPPERCASE, CBS_LOWERCASE};
    Params.Style |= cases[FCharCase];
}

void TsCommonComboBox::CreateWindowHandle(const TCreateParams& Params) { FHandle = CreateWindowWithId(Params); }

void TsCommonComboBox::CreateWnd()
{
    // The text the old window gave back (or one set meanwhile); the new window's items clear it.
    const AnsiString text = Text();
    inherited::CreateWnd();
    if (FSaveItems) {
        FItems->Assign(FSaveItems.get());
        FSaveItems.reset();
    }
    if (FSaveIndex != -1) {
        // The last item at most: an index past the items selects nothing.
        const int count = FItems->Count();
        if (count > 0)
            SendMessageA(FHandle, CB_SETCURSEL, static_cast<WPARAM>(std::min(FSaveIndex, count - 1)), 0);
        FSaveIndex = -1;
    }
    // A box with an edit keeps its text, an item's or not.
    if (HasEdit() && !text.empty() && Text() != text)
        SendMessageA(FHandle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void TsCommonComboBox::DestroyWnd()
{
    if (FHandle && !ComponentState().Contains(csDestroying) && FItems->Count() > 0) {
        FSaveIndex = GetItemIndex();
        FSaveItems = std::make_unique<TStringList>();
        FSaveItems->Assign(FItems.get());
    }
    inherited::DestroyWnd();
}

int TsCommonComboBox::GetItemHt()
{
    if (OwnerDraw())
        return FItemHeight;
    return static_cast<int>(SendMessageA(Handle(), CB_GETITEMHEIGHT, 0, 0));
}

void TsCommonComboBox::SetStyle(TComboBoxStyle Value)
{
    if (Value == FStyle)
        return;
    FStyle = Value;
    RecreateWnd();
}

void TsCommonComboBox::SetSorted(bool Value)
{
    if (Value == FSorted)
        return;
    FSorted = Value;
    RecreateWnd();
}

void TsCommonComboBox::SetCharCase(TEditCharCase Value)
{
    if (Value == FCharCase)
        return;
    FCharCase = Value;
    RecreateWnd();
}

void TsCommonComboBox::SetDisabledKind(TsDisabledKind Value)
{
    if (Value == FDisabledKind)
        return;
    FDisabledKind = Value;
    SkinData()->Invalidate();
}

AnsiString TsCommonComboBox::SelText()
{
    if (!HasEdit())
        return AnsiString();
    const AnsiString text = Text();
    const int start = std::clamp(SelStart(), 0, static_cast<int>(text.size()));
    return text.substr(static_cast<size_t>(start), static_cast<size_t>(std::max(0, SelLength())));
}

void TsCommonComboBox::SetSelText(const AnsiString& Value)
{
    if (HasEdit() && FEditHandle)
        SendMessageA(FEditHandle, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(Value.c_str()));
}

void TsCommonComboBox::MeasureItem(int Index, int& Height)
{
    if (OnMeasureItem)
        OnMeasureItem(this, Index, Height);
}

void TsCommonComboBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State)
{
    if (OnDrawItem) {
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    FCanvas->FillRect(Rect);
    if (Index >= 0 && Index < FItems->Count())
        FCanvas->TextOut(Rect.left + 2, Rect.top, FItems->Get(Index));
}

bool TsCommonComboBox::SelectItem(const AnsiString& AnItem)
{
    if (AnItem.empty()) {
        SetItemIndex(-1);
        Change();
        return false;
    }
    const int found = static_cast<int>(
        SendMessageA(Handle(), CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(AnItem.c_str())));
    if (found < 0)
        return false;
    const int old = GetItemIndex();
    SendMessageA(FHandle, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
    if (HasEdit()) {
        // What was typed, completed by the item; the completion selected.
        const AnsiString item = FItems->Get(found);
        SetText(AnItem + item.substr(std::min(AnItem.size(), item.size())));
        SendMessageA(FHandle, CB_SETEDITSEL, 0, MAKELPARAM(AnItem.size(), 0xFFFF));
    } else {
        SetItemIndex(found);
        FFilter = AnItem;
    }
    if (found != old) {
        Click();
        Select();
    }
    return true;
}

void TsCommonComboBox::KeyPress(char& Key)
{
    inherited::KeyPress(Key);
    if (!AutoComplete || Key == 0)
        return;
    if (HasEdit()) {
        FFilter = Text();
    } else {
        const Cardinal now = SysUtils::GetTickCount();
        if (now - FLastTime >= 500)
            FFilter.clear();
        FLastTime = now;
    }
    switch (Key) {
    case '\b': {
        DWORD start = 0, end = 0;
        SendMessageA(Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        const AnsiString text = Text();
        auto cut = [&](DWORD From, DWORD To) {
            // The selection goes; the caret stands where it began.
            SendMessageA(FHandle, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
            SetText(text.substr(0, From) + text.substr(std::min<size_t>(To, text.size())));
            SendMessageA(FHandle, CB_SETEDITSEL, 0, MAKELPARAM(From, From));
        };
        if (HasEdit() && end > start) {
            cut(start, end);
            FFilter = Text();
        } else if (HasEdit() && !text.empty()) {
            if (start > 0)
                cut(start - 1, start);
            FFilter = Text();
        } else if (!HasEdit() && !FFilter.empty()) {
            FFilter.pop_back();
        }
        Key = 0;
        Change();
        break;
    }
    case '\t':
        if (AutoDropDown && DroppedDown())
            SetDroppedDown(false);
        break;
    case 27: break;
    default: {
        if (AutoDropDown && !DroppedDown())
            SetDroppedDown(true);
        DWORD start = 0, end = 0;
        SendMessageA(Handle(), CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        const AnsiString candidate =
            (HasEdit() && end > start ? FFilter.substr(0, std::min<size_t>(start, FFilter.size())) : FFilter) + Key;
        if (SelectItem(candidate))
            Key = 0;
        break;
    }
    }
}

void TsCommonComboBox::SkinPaint(HDC DC)
{
    TsCommonData* sd = SkinData();
    sd->InitCacheBmp();
    sd->FCacheBmp->SetSize(Width(), Height());
    const TPoint offset{Left(), Top()};
    const TCacheInfo ci = GetParentCache(sd);
    PaintItem(sd, ci, false, ControlIsActive(sd) ? 1 : 0, Rect(0, 0, Width(), Height()), offset, sd->FCacheBmp.get(),
              false);
    UpdateCorners(sd, 0);
    PaintButton();
    sd->BGChanged = false;
    if (!Enabled())
        BmpDisabledKind(sd->FCacheBmp.get(), FDisabledKind, Parent(), ci, offset);
    BitBlt(DC, 0, 0, Width(), Height(), sd->FCacheBmp->Canvas()->Handle(), 0, 0, SRCCOPY);
    TLentCanvas lent(FCanvas.get(), DC);
    TRect r = ClientRect();
    InflateRect(&r, -3, -3);
    TOwnerDrawState state{odComboBoxEdit};
    if (sd->Focused)
        state.Include(odFocused);
    DrawSkinItem(GetItemIndex(), r, state);
}

void TsCommonComboBox::WMPaint(TMessage& Message)
{
    TsCommonData* sd = SkinData();
    if (!sSkinData->Active || !sd->Skinned()) {
        inherited::Dispatch(Message);
        return;
    }
    if (!sd->CustomColor)
        SetColor(gd[static_cast<size_t>(sd->SkinIndex)].HotColor);
    FCanvas->Brush()->SetStyle(bsClear);
    TWindowPaint paint(FHandle, reinterpret_cast<HDC>(Message.WParam));
    SkinPaint(paint.DC());
}

void TsCommonComboBox::CNDrawItem(TMessage& Message)
{
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
    Message.Result = 1;
    if (!dis->hDC)
        return;
    TOwnerDrawState state = OwnerDrawStateFromFlags(dis->itemState);
    const int index = static_cast<int>(dis->itemID);
    const bool skinned = sSkinData->Active && SkinData()->Skinned();
    // The skinned edit part is painted with the control.
    if (skinned && (dis->itemState & ODS_COMBOBOXEDIT))
        return;
    TLentCanvas lent(FCanvas.get(), dis->hDC);
    FCanvas->SetFont(Font());
    FCanvas->SetBrush(Brush());
    if (skinned) {
        if (index >= 0)
            DrawSkinItem(index, dis->rcItem, state);
        return;
    }
    if (dis->itemState & ODS_COMBOBOXEDIT)
        state.Include(odComboBoxEdit);
    if (state.Contains(odSelected)) {
        FCanvas->Brush()->SetColor(clHighlight);
        FCanvas->Font()->SetColor(clHighlightText);
    }
    if (index >= 0)
        DrawItem(index, dis->rcItem, state);
    else
        FCanvas->FillRect(dis->rcItem);
    if (state.Contains(odFocused))
        DrawFocusRect(dis->hDC, &dis->rcItem);
}

void TsCommonComboBox::CNMeasureItem(TMessage& Message)
{
    auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
    int h = FItemHeight;
    if (FStyle == csOwnerDrawVariable && static_cast<int>(mis->itemID) >= 0)
        MeasureItem(static_cast<int>(mis->itemID), h);
    mis->itemHeight = static_cast<UINT>(std::max(1, h));
    Message.Result = 1;
}

void TsCommonComboBox::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_DRAWITEM: CNDrawItem(Message); return;
    case CN_MEASUREITEM: CNMeasureItem(Message); return;
    case WM_PAINT: WMPaint(Message); return;
    case WM_ERASEBKGND:
        if (!sSkinData->Active || !SkinData()->Skinned()) {
            FCanvas->Brush()->SetColor(Color());
            TLentCanvas lent(FCanvas.get(), reinterpret_cast<HDC>(Message.WParam));
            FCanvas->FillRect(ClientRect());
        }
        Message.Result = 1;
        return;
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM: DefaultHandler(Message); return;
    case WM_LBUTTONDOWN: {
        inherited::Dispatch(Message);
        // A press that did not bring the focus here leaves the mouse free.
        TCustomForm* form = GetParentForm(this);
        if (form && form->ActiveControl() != this && GetCapture() == FHandle)
            ReleaseCapture();
        return;
    }
    default: inherited::Dispatch(Message);
    }
}
