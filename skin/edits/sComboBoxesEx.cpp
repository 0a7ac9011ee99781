// The combo box with pictures of the sComboBoxes unit: its item collection and its drawing.
#include "sComboBoxes.h"

#include "sGraphUtils.h"
#include "sMaskData.h"
#include "sStyleSimply.h"
#include "sUtils.h"
#include "sVclUtils.h"

// --- TsComboItem / TsComboItems ----------------------------------------------------------------

void TsComboItem::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TsComboItem*>(Source);
    if (!s) {
        inherited::Assign(Source);
        return;
    }
    FCaption = s->FCaption;
    FImageIndex = s->FImageIndex;
    FSelectedImageIndex = s->FSelectedImageIndex;
    FOverlayImageIndex = s->FOverlayImageIndex;
    FIndend = s->FIndend;
    FData = s->FData;
    Changed(false);
}

void TsComboItem::SetCaption(const AnsiString& Value)
{
    if (Value == FCaption)
        return;
    FCaption = Value;
    Changed(false);
}

AnsiString TsComboItem::GetDisplayName() const
{
    return FCaption.empty() ? inherited::GetDisplayName() : FCaption;
}

TsComboItems::TsComboItems(TsCustomComboBoxEx* ComboBox)
    : TOwnedCollection(ComboBox, CollectionItemClass<TsComboItem>()), ComboBox(ComboBox)
{
}

TsComboItem* TsComboItems::AddItem(const AnsiString& Caption, int ImageIndex, int SelectedImageIndex,
                                   int OverlayImageIndex, int Indent, void* Data)
{
    TsComboItem* item = Add();
    item->SetCaption(Caption);
    item->SetImageIndex(ImageIndex);
    item->SetSelectedImageIndex(SelectedImageIndex);
    item->SetOverlayImageIndex(OverlayImageIndex);
    item->SetIndend(Indent);
    item->SetData(Data);
    return item;
}

// --- TsCustomComboBoxEx ------------------------------------------------------------------------

TsCustomComboBoxEx::TsCustomComboBoxEx(TComponent* AOwner)
    : TsCommonComboBox(AOwner), FImages(this, [this](TObject*) { SkinData()->Invalidate(); }),
      FItemsEx(std::make_unique<TsComboItems>(this))
{
    SetStyle(csDropDown);
    SetStyle(csOwnerDrawVariable);
    UpdateList();
}

TsCustomComboBoxEx::~TsCustomComboBoxEx() = default;

void TsCustomComboBoxEx::CreateWnd()
{
    inherited::CreateWnd();
    if (FNeedsUpdate)
        UpdateList();
    UpdateMargins();
}

void TsCustomComboBoxEx::UpdateList()
{
    if (!HandleAllocated()) {
        FNeedsUpdate = true;
        return;
    }
    FItems->WithinUpdate([this] {
        FItems->Clear();
        for (int i = 0; i < FItemsEx->Count(); ++i)
            FItems->Insert(i, FItemsEx->Items(i)->Caption());
    });
    FNeedsUpdate = false;
}

void TsCustomComboBoxEx::SetImages(TCustomImageList* Value)
{
    FImages.Set(Value);
    if (Value) {
        if (FItemHeight < Value->Height())
            SetItemHeight(Value->Height());
    } else if (HandleAllocated()) {
        RecreateWnd();
    }
    UpdateMargins();
}

void TsCustomComboBoxEx::Notification(TComponent* AComponent, TOperation Operation)
{
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove)
        FImages.Removed(AComponent);
}

void TsCustomComboBoxEx::UpdateMargins()
{
    if (!HandleAllocated())
        return;
    if (Images() && GetItemIndex() != -1) {
        if (FEditHandle)
            SendMessageA(FEditHandle, EM_SETMARGINS, EC_LEFTMARGIN, MAKELPARAM(Images()->Width(), 0));
    } else {
        if (FEditHandle)
            SendMessageA(FEditHandle, EM_SETMARGINS, EC_LEFTMARGIN, 0);
        Invalidate();
    }
}

void TsCustomComboBoxEx::Clear()
{
    inherited::Clear();
    FItemsEx->Clear();
}

TsComboItem* TsCustomComboBoxEx::ItemAt(int Index)
{
    // The window may hold items of its own beyond the collection.
    return Index >= 0 && Index < FItemsEx->Count() ? FItemsEx->Items(Index) : nullptr;
}

TsComboItem* TsCustomComboBoxEx::GetSelectedItem() { return ItemAt(GetItemIndex()); }

int TsCustomComboBoxEx::CurrentImage(TsComboItem* Item, TOwnerDrawState State)
{
    if (!Images() || !Item)
        return -1;
    if (State.Contains(odSelected) && !State.Contains(odComboBoxEdit) && Item->SelectedImageIndex() >= 0)
        return Item->SelectedImageIndex();
    return Item->ImageIndex();
}

TRect TsCustomComboBoxEx::ImgRect(TsComboItem* Item, TOwnerDrawState State)
{
    if (!Images() || !Item)
        return TRect{};
    const int w = Images()->Width(), h = Images()->Height();
    const int at = (Height() - h) / 2;
    TRect r{at, at, at + w, at + h};
    if (!State.Contains(odComboBoxEdit) && Item->Indend() >= 1)
        OffsetRect(&r, Item->Indend() * 16, 0);
    return r;
}

bool TsCustomComboBoxEx::ShowsFocus() { return (SkinData()->Focused || Focused()) && !DroppedDown(); }

void TsCustomComboBoxEx::DrawImage(TsComboItem* Item, TOwnerDrawState State, TRect Rect)
{
    const int image = CurrentImage(Item, State);
    TRect r = ImgRect(Item, State);
    if (WidthOf(r) > 0 && image >= 0) {
        r.top = Rect.top;
        Images()->Draw(FCanvas.get(), r.left, r.top, image, Enabled());
    }
}

void TsCustomComboBoxEx::DrawItem(int Index, TRect Rect, TOwnerDrawState State)
{
    TsComboItem* item = State.Contains(odComboBoxEdit) ? GetSelectedItem() : ItemAt(Index);
    TCanvas* c = FCanvas.get();
    auto writeText = [&](int Left, const AnsiString& Text) {
        const int y = Rect.top + (HeightOf(Rect) - c->TextHeight(Text)) / 2;
        c->Brush()->SetStyle(bsClear);
        c->TextOut(Left, y, Text);
        c->Brush()->SetStyle(bsSolid);
    };
    if (!State.Contains(odComboBoxEdit)) {
        if (State.Contains(odSelected)) {
            c->Brush()->SetColor(clHighlight);
            c->Font()->SetColor(clHighlightText);
        } else {
            c->Brush()->SetColor(Color());
        }
        c->FillRect(Rect);
        if (State.Contains(odSelected))
            c->DrawFocusRect(Rect);
        if (!item)
            return;
        DrawImage(item, State, Rect);
        writeText(ImgRect(item, State).right + 5, FItems->Get(Index));
        return;
    }
    // The system's edit part ends where the button begins.
    const bool focused = ShowsFocus() || State.Contains(odFocused);
    c->Brush()->SetColor(focused && !DroppedDown() ? clHighlight : Color());
    c->FillRect(Rect);
    if (!item)
        return;
    DrawImage(item, State, Rect);
    if (focused)
        c->Font()->SetColor(clHighlightText);
    writeText(ImgRect(item, State).right + 5, FItems->Get(GetItemIndex()));
}

void TsCustomComboBoxEx::DrawSkinItem(int Index, TRect Rect, TOwnerDrawState State)
{
    TsCommonData* sd = SkinData();
    TCanvas* c = FCanvas.get();
    if (!State.Contains(odComboBoxEdit)) {
        TsComboItem* item = ItemAt(Index);
        if (!item)
            return;
        const TsGeneralData& g = gd[static_cast<size_t>(sd->SkinIndex)];
        c->Brush()->SetColor(g.Color);
        c->FillRect(Rect);
        c->Font()->SetColor(g.FontColor[0]);
        DrawImage(item, State, Rect);
        const int left = ImgRect(item, State).right + 5;
        const AnsiString text = FItems->Get(Index);
        const SIZE size = c->TextExtent(text);
        if (State.Contains(odSelected)) {
            const TRect box{left - 2, Rect.top, std::min<int>(left + size.cx + 6, Rect.right), Rect.bottom};
            c->Brush()->SetColor(clHighlight);
            c->FillRect(box);
            c->Font()->SetColor(clHighlightText);
            c->DrawFocusRect(box);
        }
        c->Brush()->SetStyle(bsClear);
        c->TextOut(left, Rect.top + (HeightOf(Rect) - size.cy) / 2, text);
        c->Brush()->SetStyle(bsSolid);
        return;
    }
    c->SetFont(Font());
    TsComboItem* item = GetSelectedItem();
    const TRect button = ButtonRect();
    const int buttonWidth = WidthOf(button) > 0 ? WidthOf(button) : GetSystemMetrics(SM_CXVSCROLL);
    // Inside the frame: Rect is the client area less the frame.
    TRect text{Rect.left, Rect.top, Width() - buttonWidth - 5, Rect.bottom};
    if (item) {
        DrawImage(item, State, ImgRect(item, State));
        const TRect img = ImgRect(item, State);
        if (WidthOf(img) > 0)
            text.left = img.right + 3;
    }
    const AnsiString caption = item ? FItems->Get(GetItemIndex()) : AnsiString();
    if (ShowsFocus()) {
        c->Brush()->SetColor(clHighlight);
        c->FillRect(text);
        c->DrawFocusRect(text);
        c->Font()->SetColor(clHighlightText);
        c->Brush()->SetStyle(bsClear);
        c->TextOut(text.left + 2, text.top + (HeightOf(text) - c->TextHeight(caption)) / 2, caption);
        c->Brush()->SetStyle(bsSolid);
    } else {
        WriteTextEx(c, caption.c_str(), Enabled(), text, DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER, sd,
                    ControlIsActive(sd));
    }
}
