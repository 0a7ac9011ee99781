#include "ComCtrlsComboEx.h"

#include <algorithm>

namespace {

LRESULT Send(TWinControl* Control, UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0)
{
    return SendMessageA(Control->Handle(), Msg, WParam, LParam);
}

} // namespace

// --- TComboExItem / TComboExItems ---------------------------------------------------------------

int TComboExItem::Index() const { return FOwner ? FOwner->IndexOf(this) : -1; }

void TComboExItem::Changed()
{
    if (FOwner)
        FOwner->Changed(Index());
}

void TComboExItem::SetCaption(const AnsiString& Value)
{
    if (FCaption == Value)
        return;
    FCaption = Value;
    Changed();
}

void TComboExItem::SetImageIndex(int Value)
{
    if (FImageIndex == Value)
        return;
    FImageIndex = Value;
    Changed();
}

void TComboExItem::SetSelectedImageIndex(int Value)
{
    if (FSelectedImageIndex == Value)
        return;
    FSelectedImageIndex = Value;
    Changed();
}

void TComboExItem::SetOverlayImageIndex(int Value)
{
    if (FOverlayImageIndex == Value)
        return;
    FOverlayImageIndex = Value;
    Changed();
}

void TComboExItem::SetIndent(int Value)
{
    if (FIndent == Value)
        return;
    FIndent = Value;
    Changed();
}

void TComboExItem::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TComboExItem*>(Source);
    if (!s) {
        inherited::Assign(Source);
        return;
    }
    FCaption = s->FCaption;
    FImageIndex = s->FImageIndex;
    FSelectedImageIndex = s->FSelectedImageIndex;
    FOverlayImageIndex = s->FOverlayImageIndex;
    FIndent = s->FIndent;
    Data = s->Data;
    Changed();
}

TComboExItem* TComboExItems::Add() { return Insert(Count()); }

TComboExItem* TComboExItems::AddItem(const AnsiString& Caption, int ImageIndex, int SelectedImageIndex,
                                     int OverlayImageIndex, int Indent, void* Data)
{
    BeginUpdate();
    TComboExItem* item = nullptr;
    try {
        item = Add();
        item->SetCaption(Caption);
        item->SetImageIndex(ImageIndex);
        item->SetSelectedImageIndex(SelectedImageIndex);
        item->SetOverlayImageIndex(OverlayImageIndex);
        item->SetIndent(Indent);
        item->Data = Data;
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    return item;
}

TComboExItem* TComboExItems::Insert(int Index)
{
    if (Index < 0 || Index > Count())
        throw EListError("Combo item index out of range (" + std::to_string(Index) + ")");
    auto item = std::make_unique<TComboExItem>(this);
    TComboExItem* result = item.get();
    FItems.insert(FItems.begin() + Index, std::move(item));
    Changed(-1);
    return result;
}

void TComboExItems::Delete(int Index)
{
    Items(Index);
    FItems.erase(FItems.begin() + Index);
    Changed(-1);
}

void TComboExItems::Clear()
{
    FItems.clear();
    Changed(-1);
}

TComboExItem* TComboExItems::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError("Combo item index out of range (" + std::to_string(Index) + ")");
    return FItems[static_cast<size_t>(Index)].get();
}

int TComboExItems::IndexOf(const TComboExItem* Item) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == Item)
            return static_cast<int>(i);
    return -1;
}

void TComboExItems::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        Changed(-1);
}

void TComboExItems::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TComboExItems*>(Source);
    if (!s) {
        inherited::Assign(Source);
        return;
    }
    BeginUpdate();
    FItems.clear();
    for (int i = 0; i < s->Count(); ++i)
        Add()->Assign(s->Items(i));
    EndUpdate();
}

void TComboExItems::Changed(int Index)
{
    if (FUpdateCount > 0 || !FCombo)
        return;
    if (Index < 0)
        FCombo->RebuildItems();
    else
        FCombo->UpdateItem(Index);
}

// --- TCustomComboBoxEx ------------------------------------------------------------------------

TCustomComboBoxEx::TCustomComboBoxEx(TComponent* AOwner)
    : TWinControl(AOwner), FItemsEx(std::make_unique<TComboExItems>(this)),
      FImageLink(this, [this](TObject* Sender) { ImageListChange(Sender); })
{
    SetBounds(0, 0, 145, 22);
    SetTabStop(true);
    SetColor(clWindow);
}

TCustomComboBoxEx::~TCustomComboBoxEx() = default;

int TCustomComboBoxEx::DropDownHeight() const { return std::max(1, FDropDownCount) * 18 + 2; }

void TCustomComboBoxEx::CreateParams(TCreateParams& Params)
{
    InitComCtl(ICC_USEREX_CLASSES);
    inherited::CreateParams(Params);
    CreateSubClass(Params, WC_COMBOBOXEXA);
    switch (FStyle) {
    case csExDropDown: Params.Style |= CBS_DROPDOWN; break;
    case csExSimple: Params.Style |= CBS_SIMPLE; break;
    case csExDropDownList: Params.Style |= CBS_DROPDOWNLIST; break;
    }
    Params.Style |= WS_VSCROLL;
    if (FStyle != csExSimple)
        Params.Height = Height() + DropDownHeight();
}

void TCustomComboBoxEx::CreateWnd()
{
    inherited::CreateWnd();
    Send(this, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(FImageLink.Handle()));
    RebuildItems();
}

void TCustomComboBoxEx::DestroyWnd()
{
    FItemIndex = ItemIndex();
    inherited::DestroyWnd();
}

void TCustomComboBoxEx::DoSetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    inherited::DoSetBounds(ALeft, ATop, AWidth, AHeight);
    if (HandleAllocated() && FStyle != csExSimple)
        SetWindowPos(Handle(), nullptr, 0, 0, AWidth, AHeight + DropDownHeight(),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {

// The native item of an entry at Index; its text points into text, which must outlive it.
COMBOBOXEXITEMA NativeItem(TComboExItem* it, int Index, AnsiString& text)
{
    COMBOBOXEXITEMA item{};
    item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_OVERLAY | CBEIF_INDENT | CBEIF_LPARAM;
    item.iItem = Index;
    text = it->Caption();
    item.pszText = text.data();
    item.iImage = it->ImageIndex();
    item.iSelectedImage = it->SelectedImageIndex() >= 0 ? it->SelectedImageIndex() : it->ImageIndex();
    item.iOverlay = it->OverlayImageIndex();
    item.iIndent = it->Indent();
    item.lParam = reinterpret_cast<LPARAM>(it->Data);
    return item;
}

} // namespace

void TCustomComboBoxEx::RebuildItems()
{
    if (!HandleAllocated() || FRebuilding)
        return;
    FRebuilding = true;
    Send(this, CB_RESETCONTENT);
    for (int i = 0; i < FItemsEx->Count(); ++i) {
        AnsiString text;
        COMBOBOXEXITEMA item = NativeItem(FItemsEx->Items(i), i, text);
        Send(this, CBEM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    if (FItemIndex >= FItemsEx->Count())
        FItemIndex = -1;
    Send(this, CB_SETCURSEL, static_cast<WPARAM>(FItemIndex));
    FRebuilding = false;
}

void TCustomComboBoxEx::UpdateItem(int Index)
{
    if (!HandleAllocated() || Index < 0 || Index >= FItemsEx->Count())
        return;
    AnsiString text;
    COMBOBOXEXITEMA item = NativeItem(FItemsEx->Items(Index), Index, text);
    const bool saved = FRebuilding;
    FRebuilding = true;
    Send(this, CBEM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    FRebuilding = saved;
    InvalidateRect(Handle(), nullptr, TRUE);
}

bool TCustomComboBoxEx::EditFollowsSelection()
{
    // The box writes the caption of a newly selected item into its edit, which reports that as
    // an edit change: that is no change of the user's.
    HWND edit = reinterpret_cast<HWND>(Send(this, CBEM_GETEDITCONTROL));
    if (!edit)
        return false;
    int sel = static_cast<int>(Send(this, CB_GETCURSEL));
    if (sel < 0 || sel >= FItemsEx->Count())
        return false;
    char buf[1024] = {};
    GetWindowTextA(edit, buf, sizeof buf);
    return FItemsEx->Items(sel)->Caption() == buf;
}

int TCustomComboBoxEx::ItemIndex()
{
    if (HandleAllocated())
        FItemIndex = static_cast<int>(Send(this, CB_GETCURSEL));
    return FItemIndex;
}

void TCustomComboBoxEx::SetItemIndex(int Value)
{
    if (Value < -1 || Value >= FItemsEx->Count())
        Value = -1;
    FItemIndex = Value;
    if (HandleAllocated()) {
        const bool saved = FRebuilding;
        FRebuilding = true; // selecting in code is no user change
        Send(this, CB_SETCURSEL, static_cast<WPARAM>(Value));
        FRebuilding = saved;
    }
}

void TCustomComboBoxEx::SetStyle(TComboBoxExStyle Value)
{
    if (FStyle == Value)
        return;
    FStyle = Value;
    RecreateWnd();
}

void TCustomComboBoxEx::SetDropDownCount(int Value)
{
    FDropDownCount = std::max(1, Value);
    if (HandleAllocated())
        SetBounds(Left(), Top(), Width(), Height());
}

bool TCustomComboBoxEx::DroppedDown()
{
    return HandleAllocated() && Send(this, CB_GETDROPPEDSTATE) != 0;
}

void TCustomComboBoxEx::SetDroppedDown(bool Value)
{
    if (HandleAllocated())
        Send(this, CB_SHOWDROPDOWN, Value ? TRUE : FALSE);
}

void TCustomComboBoxEx::SetImages(TCustomImageList* Value)
{
    if (FImageLink.Set(Value))
        ImageListChange(this);
}

void TCustomComboBoxEx::ImageListChange(TObject*)
{
    if (!HandleAllocated())
        return;
    Send(this, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(FImageLink.Handle()));
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TCustomComboBoxEx::Notification(TComponent* AComponent, TOperation Operation)
{
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && FImageLink.Removed(AComponent)) {
        if (HandleAllocated() && !ComponentState().Contains(csDestroying))
            Send(this, CBEM_SETIMAGELIST, 0, 0);
    }
}

void TCustomComboBoxEx::Change()
{
    if (OnChange)
        OnChange(this);
}

void TCustomComboBoxEx::Select()
{
    if (OnSelect)
        OnSelect(this);
    else
        Change();
}

void TCustomComboBoxEx::Dispatch(TMessage& Message)
{
    // Alt+Down, Alt+Up and F4 open and close the list, as in every combo box: the box's own edit
    // does not pass them to the list.
    const bool toggle = Message.Msg == CN_SYSKEYDOWN ? Message.WParam == VK_DOWN || Message.WParam == VK_UP
                        : Message.Msg == CN_KEYDOWN  ? Message.WParam == VK_F4
                                                     : false;
    if (toggle) {
        SetDroppedDown(!DroppedDown());
        Message.Result = 1;
        return;
    }
    if (Message.Msg == CN_COMMAND) {
        Message.Result = 0;
        switch (HIWORD(Message.WParam)) {
        case CBN_SELCHANGE:
            if (!FRebuilding) {
                FItemIndex = static_cast<int>(Send(this, CB_GETCURSEL));
                Select();
            }
            return;
        case CBN_EDITCHANGE:
            if (!FRebuilding && !EditFollowsSelection())
                Change();
            return;
        case CBN_DROPDOWN:
            if (OnDropDown)
                OnDropDown(this);
            return;
        case CBN_CLOSEUP:
            if (OnCloseUp)
                OnCloseUp(this);
            return;
        default: return;
        }
    }
    inherited::Dispatch(Message);
}
