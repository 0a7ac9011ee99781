#include "sCustomListBox.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>

#include "Forms.h"
#include "SysUtils.h"
#include "sEdit.h"
#include "sGraphUtils.h"
#include "sMaskGraph.h"
#include "sMessages.h"
#include "sStyleSimply.h"
#include "sVclUtils.h"

namespace {

// A left button held down in a list box (one for the process): moves then drag the selection.
bool ListMouseDown = false;
// Posted to itself after item changes: the skinned bars follow once the messages waiting are handled.
const UINT kRefreshScrolls = WM_APP + 0x251;

// A string item's text between the rectangle's edges, 2 pixels in, vertically centred.
void DrawItemText(TCanvas* Canvas, TRect Rect, const AnsiString& Text)
{
    Canvas->TextExtent(AnsiString()); // selects the font and its colour
    HDC dc = Canvas->Handle();
    const int mode = SetBkMode(dc, TRANSPARENT);
    Rect.left += 2;
    DrawTextA(dc, Text.c_str(), static_cast<int>(Text.size()), &Rect, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SetBkMode(dc, mode);
}

} // namespace

// --- TListBoxStrings ---------------------------------------------------------------------------

LRESULT TListBoxStrings::Send(UINT Msg, WPARAM W, LPARAM L) const
{
    return SendMessageA(ListBox->Handle(), Msg, W, L);
}

bool TListBoxStrings::Virtual() const { return ListBox->Virtual(); }

int TListBoxStrings::GetCount() const { return static_cast<int>(Send(LB_GETCOUNT)); }

AnsiString TListBoxStrings::Get(int Index) const
{
    if (Virtual()) {
        AnsiString data;
        if (ListBox->OnData)
            ListBox->OnData(ListBox, Index, data);
        return data;
    }
    const LRESULT len = Send(LB_GETTEXTLEN, static_cast<WPARAM>(Index));
    if (len == LB_ERR)
        IndexError(Index);
    // The window writes the text and its terminating zero.
    AnsiString text(static_cast<size_t>(len) + 1, '\0');
    const LRESULT got = Send(LB_GETTEXT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(std::clamp<LRESULT>(got, 0, len)));
    return text;
}

TObject* TListBoxStrings::GetObject(int Index) const
{
    if (Virtual()) {
        TObject* data = nullptr;
        if (ListBox->OnDataObject)
            ListBox->OnDataObject(ListBox, Index, data);
        return data;
    }
    const LRESULT data = ListBox->GetItemData(Index);
    if (data == LB_ERR)
        IndexError(Index);
    return reinterpret_cast<TObject*>(data);
}

void TListBoxStrings::Put(int Index, const AnsiString& S)
{
    const int selected = ListBox->GetItemIndex();
    const LRESULT data = ListBox->InternalGetItemData(Index);
    // The object stays with the item: the delete must not see it.
    ListBox->InternalSetItemData(Index, 0);
    Delete(Index);
    InsertObject(Index, S, nullptr);
    ListBox->InternalSetItemData(Index, data);
    ListBox->SetItemIndex(selected);
}

void TListBoxStrings::PutObject(int Index, TObject* AObject)
{
    if (Index != -1 && !Virtual())
        ListBox->InternalSetItemData(Index, reinterpret_cast<LRESULT>(AObject));
}

int TListBoxStrings::Add(const AnsiString& S)
{
    if (Virtual())
        return -1;
    const LRESULT r = ListBox->PerformOnWindow(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(S.c_str()));
    if (r < 0)
        throw EOutOfResources("Unable to insert a line");
    return static_cast<int>(r);
}

void TListBoxStrings::Insert(int Index, const AnsiString& S)
{
    if (Virtual())
        return;
    if (ListBox->PerformOnWindow(LB_INSERTSTRING, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(S.c_str())) < 0)
        throw EOutOfResources("Unable to insert a line");
}

void TListBoxStrings::Delete(int Index) { ListBox->DeleteString(Index); }

void TListBoxStrings::Clear() { ListBox->ResetContent(); }

void TListBoxStrings::Exchange(int Index1, int Index2)
{
    WithinUpdate([&] {
        const int selected = ListBox->GetItemIndex();
        const AnsiString s1 = Get(Index1), s2 = Get(Index2);
        const LRESULT d1 = ListBox->InternalGetItemData(Index1), d2 = ListBox->InternalGetItemData(Index2);
        Put(Index1, s2);
        Put(Index2, s1);
        ListBox->InternalSetItemData(Index1, d2);
        ListBox->InternalSetItemData(Index2, d1);
        if (selected == Index1)
            ListBox->SetItemIndex(Index2);
        else if (selected == Index2)
            ListBox->SetItemIndex(Index1);
    });
}

void TListBoxStrings::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    WithinUpdate([&] {
        const AnsiString s = Get(CurIndex);
        const LRESULT data = ListBox->InternalGetItemData(CurIndex);
        ListBox->InternalSetItemData(CurIndex, 0);
        Delete(CurIndex);
        Insert(NewIndex, s);
        ListBox->InternalSetItemData(NewIndex, data);
    });
}

int TListBoxStrings::IndexOf(const AnsiString& S) const
{
    if (Virtual())
        return ListBox->OnDataFind ? ListBox->OnDataFind(ListBox, S) : -1;
    const LRESULT r = Send(LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(S.c_str()));
    return r < 0 ? -1 : static_cast<int>(r);
}

void TListBoxStrings::SetUpdateState(bool Updating)
{
    Send(WM_SETREDRAW, Updating ? 0 : 1);
    if (!Updating)
        ListBox->Refresh();
}

// --- TsCustomListBox ---------------------------------------------------------------------------

TsCustomListBox::TsCustomListBox(TComponent* AOwner)
    : TWinControl(AOwner), TsBoundHolder(this, "EDIT", 97), FItems(std::make_unique<TListBoxStrings>(this)),
      FCanvas(std::make_unique<TControlCanvas>())
{
    FControlStyle = TControlStyle{csSetCaption, csDoubleClicks};
    FWidth = 121;
    FHeight = 97;
    FTabStop = true;
    FParentColor = false;
    FColor = clWindow;
    FCanvas->Control = this;
}

TsCustomListBox::~TsCustomListBox() { FCanvas->FreeHandle(); }

void TsCustomListBox::AfterConstruction()
{
    inherited::AfterConstruction();
    SkinData()->Loaded();
    if (!ComponentState().Contains(csLoading))
        ApplySectionColors(SkinData());
}

void TsCustomListBox::Loaded()
{
    inherited::Loaded();
    SkinData()->Loaded();
    ApplySectionColors(SkinData());
    RefreshScrolls();
}

void TsCustomListBox::CreateParams(TCreateParams& Params)
{
    inherited::CreateParams(Params);
    CreateSubClass(Params, "LISTBOX");
    Params.Style |= WS_HSCROLL | WS_VSCROLL | LBS_NOTIFY;
    switch (FStyle) {
    case lbOwnerDrawFixed:
    case lbVirtual:
    case lbVirtualOwnerDraw: Params.Style |= LBS_OWNERDRAWFIXED; break;
    case lbOwnerDrawVariable: Params.Style |= LBS_OWNERDRAWVARIABLE; break;
    default: break;
    }
    Params.Style |= Virtual() ? LBS_NODATA : LBS_HASSTRINGS;
    if (FSorted)
        Params.Style |= LBS_SORT;
    if (FMultiSelect)
        Params.Style |= FExtendedSelect ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
    if (!FIntegralHeight)
        Params.Style |= LBS_NOINTEGRALHEIGHT;
    if (FColumns != 0)
        Params.Style |= LBS_MULTICOLUMN;
    if (FBorderStyle == bsSingle) {
        if (Ctl3D())
            Params.ExStyle |= WS_EX_CLIENTEDGE;
        else
            Params.Style |= WS_BORDER;
    }
    if (FTabWidth != 0)
        Params.Style |= LBS_USETABSTOPS;
    Params.WindowClass.style &= ~static_cast<UINT>(CS_VREDRAW | CS_HREDRAW);
    // The control draws every item itself, in every style.
    if ((Params.Style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) == 0)
        Params.Style |= LBS_OWNERDRAWFIXED;
}

void TsCustomListBox::CreateWindowHandle(const TCreateParams& Params) { FHandle = CreateWindowWithId(Params); }

void TsCustomListBox::CreateWnd()
{
    const int w = Width(), h = Height();
    inherited::CreateWnd();
    GetObjectA(Font()->Handle(), sizeof FFontMade, &FFontMade);
    SetWindowPos(FHandle, nullptr, Left(), Top(), w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    if (FTabWidth != 0)
        SendMessageA(FHandle, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&FTabWidth));
    SetColumnWidth();
    if (FSaveCount != -1 || FSaveItems) {
        if (Virtual())
            SendMessageA(FHandle, LB_SETCOUNT, static_cast<WPARAM>(FCount), 0);
        if (FSaveItems) {
            FItems->Assign(FSaveItems.get());
            FSaveItems.reset();
        }
        SetTopIndex(FSaveTopIndex);
        SetItemIndex(FSaveItemIndex);
        FSaveCount = -1;
    }
    FRefreshPosted = false; // the new window's queue holds nothing of the old one
    PostRefreshScrolls();
}

void TsCustomListBox::DestroyWnd()
{
    // Items, top item and selection are given to the next window (not when the list goes).
    if (FHandle && !ComponentState().Contains(csDestroying) && Count() > 0) {
        if (Virtual()) {
            FSaveCount = FCount;
        } else {
            FSaveItems = std::make_unique<TStringList>();
            FSaveItems->Assign(FItems.get());
        }
        FSaveTopIndex = TopIndex();
        FSaveItemIndex = GetItemIndex();
    }
    inherited::DestroyWnd();
}

int TsCustomListBox::GetItemIndex()
{
    return static_cast<int>(SendMessageA(Handle(), FMultiSelect ? LB_GETCARETINDEX : LB_GETCURSEL, 0, 0));
}

void TsCustomListBox::SetItemIndex(int Value)
{
    if (GetItemIndex() == Value)
        return;
    if (FMultiSelect)
        SendMessageA(Handle(), LB_SETCARETINDEX, static_cast<WPARAM>(Value), 0);
    else
        SendMessageA(Handle(), LB_SETCURSEL, static_cast<WPARAM>(Value), 0);
}

int TsCustomListBox::Count() { return Virtual() ? FCount : FItems->Count(); }

void TsCustomListBox::SetCount(int Value)
{
    if (!Virtual())
        throw EListError("The count of " + Name() + " is set only in a virtual style");
    const LRESULT r = SendMessageA(Handle(), LB_SETCOUNT, static_cast<WPARAM>(Value), 0);
    if (r == LB_ERR || r == LB_ERRSPACE)
        throw EListError("Unable to set the count of " + Name());
    FCount = Value;
}

int TsCustomListBox::SelCount() { return static_cast<int>(SendMessageA(Handle(), LB_GETSELCOUNT, 0, 0)); }

bool TsCustomListBox::Selected(int Index)
{
    // An index the window does not know (LB_ERR) is no selected item.
    return SendMessageA(Handle(), LB_GETSEL, static_cast<WPARAM>(Index), 0) > 0;
}

void TsCustomListBox::SetSelected(int Index, bool Value)
{
    if (FMultiSelect) {
        if (SendMessageA(Handle(), LB_SETSEL, Value ? 1 : 0, Index) == LB_ERR)
            throw EListError("List index out of bounds (" + IntToStr(Index) + ")");
    } else {
        // Deselecting the selected item selects nothing; deselecting another item changes nothing.
        if (Value)
            SetItemIndex(Index);
        else if (GetItemIndex() == Index)
            SetItemIndex(-1);
        Repaint();
    }
    RefreshScrolls();
}

int TsCustomListBox::TopIndex() { return static_cast<int>(SendMessageA(Handle(), LB_GETTOPINDEX, 0, 0)); }

void TsCustomListBox::SetTopIndex(int Value)
{
    if (TopIndex() != Value)
        SendMessageA(Handle(), LB_SETTOPINDEX, static_cast<WPARAM>(Value), 0);
}

LRESULT TsCustomListBox::GetItemData(int Index)
{
    return SendMessageA(Handle(), LB_GETITEMDATA, static_cast<WPARAM>(Index), 0);
}

void TsCustomListBox::SetItemData(int Index, LRESULT Data)
{
    SendMessageA(Handle(), LB_SETITEMDATA, static_cast<WPARAM>(Index), Data);
}

void TsCustomListBox::ResetContent()
{
    if (!Virtual())
        SendMessageA(Handle(), LB_RESETCONTENT, 0, 0);
}

void TsCustomListBox::DeleteString(int Index)
{
    SendMessageA(Handle(), LB_DELETESTRING, static_cast<WPARAM>(Index), 0);
}

void TsCustomListBox::ClearSelection()
{
    if (FMultiSelect) {
        // One message for the whole list, however long.
        if (HandleAllocated())
            SendMessageA(Handle(), LB_SETSEL, FALSE, -1);
    } else {
        SetItemIndex(-1);
    }
}

void TsCustomListBox::DeleteSelected()
{
    if (FMultiSelect) {
        for (int i = Count() - 1; i >= 0; --i)
            if (Selected(i))
                FItems->Delete(i);
    } else if (GetItemIndex() != -1) {
        FItems->Delete(GetItemIndex());
    }
}

int TsCustomListBox::ItemAtPos(TPoint Pos, bool Existing)
{
    const TRect client = ClientRect();
    if (!PtInRect(&client, Pos))
        return -1;
    int i = TopIndex();
    const int count = Count();
    for (; i < count; ++i) {
        TRect r{};
        if (SendMessageA(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r)) != LB_ERR &&
            PtInRect(&r, Pos))
            return i;
    }
    return Existing ? -1 : i;
}

TRect TsCustomListBox::ItemRect(int Index)
{
    TRect r{};
    const int count = Count();
    if (Index == 0 || Index < count) {
        SendMessageA(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&r));
    } else if (Index == count) {
        SendMessageA(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(Index - 1), reinterpret_cast<LPARAM>(&r));
        OffsetRect(&r, 0, r.bottom - r.top);
    }
    return r;
}

int TsCustomListBox::ItemHeight()
{
    if (FStyle == lbStandard && HandleAllocated()) {
        const TRect r = ItemRect(0);
        if (r.bottom > r.top)
            return r.bottom - r.top;
    }
    return FItemHeight;
}

void TsCustomListBox::SetItemHeight(int Value)
{
    if (Value < 1 || Value == FItemHeight)
        return;
    FItemHeight = Value;
    RecreateWnd();
}

void TsCustomListBox::SetColumnWidth()
{
    if (FColumns > 0 && Width() > 0 && HandleAllocated())
        SendMessageA(FHandle, LB_SETCOLUMNWIDTH, static_cast<WPARAM>(std::max(1, (Width() + FColumns - 3) / FColumns)),
                     0);
}

void TsCustomListBox::SetColumns(int Value)
{
    if (Value == FColumns)
        return;
    const bool modeChange = (FColumns == 0) != (Value == 0);
    FColumns = Value;
    if (modeChange)
        RecreateWnd();
    else
        SetColumnWidth();
}

void TsCustomListBox::SetTabWidth(int Value)
{
    Value = std::max(0, Value);
    if (Value == FTabWidth)
        return;
    FTabWidth = Value;
    RecreateWnd();
}

void TsCustomListBox::SetBorderStyle(TBorderStyle Value)
{
    if (Value == FBorderStyle)
        return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TsCustomListBox::SetMultiSelect(bool Value)
{
    if (Value == FMultiSelect)
        return;
    FMultiSelect = Value;
    RecreateWnd();
}

void TsCustomListBox::SetExtendedSelect(bool Value)
{
    if (Value == FExtendedSelect)
        return;
    FExtendedSelect = Value;
    RecreateWnd();
}

void TsCustomListBox::SetIntegralHeight(bool Value)
{
    if (Value == FIntegralHeight)
        return;
    FIntegralHeight = Value;
    RecreateWnd();
    if (Parent())
        Parent()->Realign();
}

void TsCustomListBox::SetSorted(bool Value)
{
    if (Virtual() || Value == FSorted)
        return;
    FSorted = Value;
    RecreateWnd();
}

void TsCustomListBox::SetStyle(TListBoxStyle Value)
{
    if (Value == FStyle)
        return;
    if (Value == lbVirtual || Value == lbVirtualOwnerDraw) {
        if (HandleAllocated())
            FItems->Clear();
        FSaveItems.reset();
        FSorted = false;
    }
    FStyle = Value;
    RecreateWnd();
}

void TsCustomListBox::SetItems(TStrings* Value)
{
    if (Virtual()) {
        // The items given replace the virtual rows: those are dropped, not copied into the new
        // window first.
        FCount = 0;
        FSaveCount = -1;
        if (HandleAllocated())
            SendMessageA(Handle(), LB_SETCOUNT, 0, 0);
        SetStyle(FStyle == lbVirtual ? lbStandard : lbOwnerDrawFixed);
    }
    FItems->Assign(Value);
}

void TsCustomListBox::SetDisabledKind(TsDisabledKind Value)
{
    if (Value == FDisabledKind)
        return;
    FDisabledKind = Value;
    SkinData()->Invalidate();
}

AnsiString TsCustomListBox::ItemText(int Index)
{
    if (!Virtual())
        return FItems->Get(Index);
    AnsiString data;
    if (OnData)
        OnData(this, Index, data);
    return data;
}

void TsCustomListBox::KeyPress(char& Key)
{
    inherited::KeyPress(Key);
    if (!AutoComplete || Key == 0)
        return;
    const Cardinal now = SysUtils::GetTickCount();
    if (now - FLastTime >= 500)
        FFilter.clear();
    FLastTime = now;
    if (Key == '\b') {
        // One character off the end: both bytes of a double-byte one.
        if (!FFilter.empty()) {
            size_t n = FFilter.size() - 1;
            if (n > 0 && IsDBCSLeadByte(static_cast<BYTE>(FFilter[n - 1])))
                --n;
            FFilter.resize(n);
        }
    } else if (IsDBCSLeadByte(static_cast<BYTE>(Key))) {
        // The trailing byte is the next character message waiting.
        MSG msg;
        if (PeekMessageA(&msg, Handle(), WM_CHAR, WM_CHAR, PM_REMOVE)) {
            FFilter += Key;
            FFilter += static_cast<char>(msg.wParam);
        }
        Key = 0;
    } else {
        FFilter += Key;
    }
    if (FFilter.empty()) {
        SetItemIndex(0);
        Click();
    } else {
        int found;
        if (Virtual())
            found = OnDataFind ? OnDataFind(this, FFilter) : -1;
        else
            found = static_cast<int>(
                SendMessageA(Handle(), LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(FFilter.c_str())));
        if (found >= 0) {
            if (FMultiSelect) {
                ClearSelection();
                SendMessageA(Handle(), LB_SELITEMRANGE, 1, MAKELPARAM(found, found));
            }
            SetItemIndex(found);
            Click();
        }
    }
    // The window's own search by the first letter stays off.
    if (Key != '\r' && Key != '\b' && Key != 27)
        Key = 0;
}

void TsCustomListBox::MeasureItem(int Index, int& Height)
{
    if (OnMeasureItem)
        OnMeasureItem(this, Index, Height);
}

void TsCustomListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State)
{
    if (Index < 0)
        return;
    FCanvas->FillRect(Rect);
    if (OnDrawItem) {
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    if (Index >= Count())
        return;
    DrawItemText(FCanvas.get(), Rect, ItemText(Index));
    if (State.Contains(odFocused))
        DrawFocusRect(FCanvas->Handle(), &Rect);
}

void TsCustomListBox::CNDrawItem(TMessage& Message)
{
    Message.Result = 1;
    if (Count() == 0)
        return;
    const auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
    const TOwnerDrawState state = OwnerDrawStateFromFlags(dis->itemState);
    const int index = static_cast<int>(dis->itemID);
    TLentCanvas lent(FCanvas.get(), dis->hDC);
    FCanvas->SetFont(Font());
    FCanvas->SetBrush(Brush());
    // An unfocused list still shows which item is selected.
    if (index >= 0 && (state.Contains(odSelected) || (index == GetItemIndex() && !Focused()))) {
        FCanvas->Brush()->SetColor(clHighlight);
        FCanvas->Font()->SetColor(clHighlightText);
    }
    DrawItem(index, dis->rcItem, state);
    if (OnDrawItem && state.Contains(odFocused) && !sSkinData->Active)
        DrawFocusRect(dis->hDC, &dis->rcItem);
}

void TsCustomListBox::CNMeasureItem(TMessage& Message)
{
    auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
    int h = FItemHeight;
    if (FStyle == lbOwnerDrawVariable)
        MeasureItem(static_cast<int>(mis->itemID), h);
    mis->itemHeight = static_cast<UINT>(h);
    Message.Result = 1;
}

void TsCustomListBox::CNCommand(TMessage& Message)
{
    switch (HIWORD(Message.WParam)) {
    case LBN_SELCHANGE:
        Changed();
        Click();
        break;
    case LBN_DBLCLK: DblClick(); break;
    default: break;
    }
}

void TsCustomListBox::LBGetText(TMessage& Message)
{
    if (!Virtual()) {
        inherited::Dispatch(Message);
        return;
    }
    // Only the rows the list has are asked for (the window answers LB_ERR for the others).
    const int index = static_cast<int>(Message.WParam);
    if (index < 0 || index >= FCount) {
        Message.Result = LB_ERR;
        return;
    }
    AnsiString data;
    if (OnData)
        OnData(this, index, data);
    if (Message.Msg == LB_GETTEXTLEN) {
        FTextLenIndex = index;
        FTextLen = data.size();
    } else if (index == FTextLenIndex && data.size() > FTextLen) {
        // OnData may give a longer text now: the caller's buffer holds only the length answered.
        data.resize(FTextLen);
    }
    if (Message.Msg == LB_GETTEXT && Message.LParam)
        std::copy_n(data.c_str(), data.size() + 1, reinterpret_cast<char*>(Message.LParam));
    Message.Result = static_cast<LRESULT>(data.size());
}

void TsCustomListBox::PrepareCache()
{
    PaintEditCache(SkinData(), ControlIsActive(SkinData()) ? 1 : 0, FDisabledKind, [] {});
}

void TsCustomListBox::WMNCPaint(TMessage& Message)
{
    TsCommonData* sd = SkinData();
    if (!sSkinData->Active || !sd->Skinned() || FBorderStyle == bsNone || ComponentState().Contains(csDestroying)) {
        inherited::Dispatch(Message);
        return;
    }
    sd->SetUpdating(sd->GetUpdating());
    if (sd->Updating)
        return;
    PaintEditFrame(this, sd, nullptr, [this] { PrepareCache(); }, VSBar, HSBar);
}

void TsCustomListBox::WMLButtonDown(TMessage& Message)
{
    // With automatic dragging a press on a selected item of a multi-select list drags the
    // selection; any other press selects first.
    const TShiftState shift = GetShiftState();
    const bool shiftOnly = shift.Contains(ssShift) && !shift.Contains(ssCtrl);
    if (FMultiSelect && !shiftOnly) {
        const int item = ItemAtPos(TPoint{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)}, true);
        if (item >= 0 && Selected(item)) {
            BeginDrag(false);
            return;
        }
    }
    DefaultHandler(Message);
    if (!(FMultiSelect && (shift.Contains(ssCtrl) || shift.Contains(ssShift))))
        BeginDrag(false);
}

void TsCustomListBox::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_COMMAND: CNCommand(Message); return;
    case CN_DRAWITEM: CNDrawItem(Message); return;
    case CN_MEASUREITEM: CNMeasureItem(Message); return;
    case LB_GETTEXT:
    case LB_GETTEXTLEN: LBGetText(Message); return;
    case WM_NCPAINT: WMNCPaint(Message); return;
    case WM_SIZE:
        inherited::Dispatch(Message);
        SetColumnWidth();
        return;
    case CM_CTL3DCHANGED:
        if (FBorderStyle == bsSingle)
            RecreateWnd();
        inherited::Dispatch(Message);
        return;
    case CM_ENABLEDCHANGED:
        SkinData()->BGChanged = true;
        if (HandleAllocated())
            RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
        inherited::Dispatch(Message);
        return;
    case CM_FONTCHANGED: {
        inherited::Dispatch(Message);
        SkinData()->BGChanged = true;
        // The items are measured as the window is made: it is made anew for another typeface or
        // size, not for a colour (a skin change sets the colour of every list).
        LOGFONTA now{};
        GetObjectA(Font()->Handle(), sizeof now, &now);
        if (std::memcmp(&now, &FFontMade, sizeof now) != 0)
            RecreateWnd();
        if (FStyle == lbStandard && HandleAllocated())
            FItemHeight = ItemHeight();
        return;
    }
    default: inherited::Dispatch(Message);
    }
}

void TsCustomListBox::WndProc(TMessage& Message)
{
    TsCommonData* sd = SkinData();
    if (Message.Msg == kRefreshScrolls) {
        FRefreshPosted = false;
        RefreshScrolls();
        return;
    }
    if (Message.Msg == SM_SKINCMD && Message.WParamHi < 8) {
        switch (Message.WParamHi) {
        case AC_NEWSKIN:
            CommonWndProc(Message, sd);
            if (VSBar)
                VSBar->SetPosition(TopIndex());
            return;
        case AC_REMOVESKIN:
            // The selection stays where it is.
            CommonWndProc(Message, sd);
            RestoreWindowColors(sd);
            RecreateWnd();
            RefreshScrolls();
            return;
        case AC_REPAINT:
            CommonWndProc(Message, sd);
            ApplySectionColors(SkinData());
            if (HandleAllocated())
                RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
            RefreshScrolls();
            return;
        case AC_PARENTUPDATED:
            if (sd->Updating) {
                sd->Updating = false;
                if (HandleAllocated())
                    SendMessageA(FHandle, WM_NCPAINT, 1, 0);
                return;
            }
            break;
        case AC_ISSKINNED: Message.LParam = 1; return;
        default: break;
        }
    }
    if (!ControlIsReady(this) || !sd->Skinned()) {
        inherited::WndProc(Message);
    } else {
        if (CommonWndProc(Message, sd))
            return;
        if ((Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) && DragMode() == dmAutomatic) {
            WMLButtonDown(Message);
            return;
        }
        if (Message.Msg == WM_PRINT) {
            // The native items, then the skinned frame over the native one.
            inherited::WndProc(Message);
            if (FBorderStyle == bsSingle && (Message.LParam & PRF_NONCLIENT))
                PaintEditFrame(this, sd, reinterpret_cast<HDC>(Message.WParam), [this] { PrepareCache(); }, VSBar, HSBar);
            return;
        }
        inherited::WndProc(Message);
        switch (Message.Msg) {
        case WM_LBUTTONDOWN: ListMouseDown = true; break;
        case WM_LBUTTONUP: ListMouseDown = false; break;
        case WM_MOUSEMOVE:
            if (ListMouseDown)
                RefreshScrolls();
            break;
        case LB_ADDSTRING:
        case LB_INSERTSTRING:
        case LB_DELETESTRING:
        case LB_RESETCONTENT:
        case LB_SETCOUNT:
        case LB_SETCURSEL: // the list scrolls to a selected item out of sight
        case LB_SETCARETINDEX:
            PostRefreshScrolls();
            break;
        case WM_MOUSEWHEEL:
        case WM_KEYDOWN:
        case LB_SETTOPINDEX:
        case WM_VSCROLL:
        case WM_HSCROLL: RefreshScrolls(); break;
        case WM_WINDOWPOSCHANGED: // the bounds are in step after it
        case CM_VISIBLECHANGED: RefreshScrolls(); break;
        case WM_SIZE:
        case CM_ENABLEDCHANGED:
            sd->BGChanged = true;
            if (HandleAllocated())
                RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
            RefreshScrolls();
            break;
        case WM_MOVE: sd->BGChanged = true; break;
        default: break;
        }
    }
    BoundLabelFollows(BoundLabel(), this, Message.Msg);
}

// --- Skinned scroll bars -----------------------------------------------------------------------

void TsCustomListBox::RefreshBar(TsScrollBar*& Bar, int Kind, bool Wanted)
{
    SCROLLINFO si;
    Wanted = Wanted && GetNativeScrollInfo(this, Kind, si) && si.nMax > si.nMin;
    if (!Wanted) {
        if (Bar)
            Bar->SetVisible(false);
        return;
    }
    if (!Bar) {
        Bar = MakeHostBar(this, Kind == SB_VERT ? sbVertical : sbHorizontal,
                          Kind == SB_VERT ? TOnIntChangeEvent(this, &TsCustomListBox::OnVSBChange)
                                          : TOnIntChangeEvent(this, &TsCustomListBox::OnHSBChange));
        Bar->SetName(Name() + (Kind == SB_VERT ? "VSBar" : "HSBar"));
        if (Kind == SB_VERT)
            Bar->SetWidth(GetSystemMetrics(SM_CXVSCROLL) + 1);
        else
            Bar->SetHeight(GetSystemMetrics(SM_CYHSCROLL) + 1);
    }
    // The vertical bar stands at the top item, the horizontal one at the first column shown.
    if (Kind == SB_VERT && !FBarChanging)
        si.nPos = TopIndex();
    FillHostBar(Bar, si, Enabled());
    if (!Bar->Enabled()) {
        Bar->SetVisible(false);
        return;
    }
    if (Kind == SB_VERT)
        Bar->SetHeight(Height() - 4);
    else
        Bar->SetWidth(Width() - 4);
    RefreshScrollBounds();
    Bar->SetVisible(true);
    Bar->BringToFront();
    Bar->UpdateBar();
}

void TsCustomListBox::PostRefreshScrolls()
{
    if (!FRefreshPosted && HandleAllocated())
        FRefreshPosted = PostMessageA(FHandle, kRefreshScrolls, 0, 0) != FALSE;
}

void TsCustomListBox::RefreshScrolls()
{
    if (!ControlIsReady(this) || ComponentState().Contains(csDestroying) || ComponentState().Contains(csLoading) ||
        (VSBar && VSBar->ComponentState().Contains(csDestroying)))
        return;
    if (!sSkinData->Active || !SkinData()->Skinned() || !Visible()) {
        FreeHostBar(VSBar);
        FreeHostBar(HSBar);
        return;
    }
    const int rows = ItemHeight() > 0 ? (Height() - 6) / ItemHeight() : 0;
    RefreshBar(VSBar, SB_VERT, Count() - rows > 0 && FColumns == 0);
    RefreshBar(HSBar, SB_HORZ, FColumns >= 1);
}

void TsCustomListBox::RefreshScrollBounds()
{
    if (VSBar)
        VSBar->SetBounds(UseRightToLeftAlignment() ? Left() + 2 : Left() + Width() - VSBar->Width() - 2, Top() + 2,
                         VSBar->Width(), VSBar->Height());
    if (HSBar)
        HSBar->SetBounds(Left() + 2, Top() + Height() - HSBar->Height() - 2, HSBar->Width(), HSBar->Height());
}

void TsCustomListBox::OnVSBChange(TObject*, int)
{
    TFlagUp guard(FBarChanging);
    SetTopIndex(VSBar->Position());
    if (OnVScroll)
        OnVScroll(this);
}

void TsCustomListBox::OnHSBChange(TObject*, int)
{
    TFlagUp guard(FBarChanging);
    SendThumbPosition(this, HSBar);
}
