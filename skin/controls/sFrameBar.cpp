#include "sFrameBar.h"

#include "ImgList.h"
#include "sConst.h"
#include "sUtils.h"
#include "sFrameAdapter.h"
#include "sLabel.h"
#include "sMessages.h"
#include "sVclUtils.h"

namespace {

// Makes the next layout instant; the operations that ask for one set it around their layout.
bool DontAnimate = false;

struct TDontAnimate {
    explicit TDontAnimate(bool Value) : Saved(DontAnimate) { DontAnimate = Value; }
    ~TDontAnimate() { DontAnimate = Saved; }
    bool Saved;
};

// While titles move: no hints, no fades, no mouse tracking; all given back however the layout
// ends (an event handler's exception, the bar freed while messages are pumped).
struct TLayoutHold {
    TLayoutHold() : ShowHint(Application->ShowHint())
    {
        Application->SetShowHint(false);
        FadingForbidden = true;
        MouseForbidden = true;
    }
    ~TLayoutHold()
    {
        FadingForbidden = false;
        MouseForbidden = false;
        Application->SetShowHint(ShowHint);
    }
    TLayoutHold(const TLayoutHold&) = delete;
    TLayoutHold& operator=(const TLayoutHold&) = delete;
    bool ShowHint;
};

bool Designing(TComponent* C)
{
    return C->ComponentState().Contains(csDesigning);
}

} // namespace

// ---- title button ----

sFrameBar::TsTitleButton::TsTitleButton(TsFrameBar* Bar, int Index) : TsSpeedButton(Bar)
{
    SkinData()->COC = 20;
    // Named after the item's place; a name an earlier title still holds (after a deletion) is
    // passed over for the next free one.
    int n = Index + 1;
    while (Bar->FindComponent("sTitleButton" + IntToStr(n)))
        ++n;
    SetName("sTitleButton" + IntToStr(n));
    SetAlignment(taLeftJustify);
    SetSpacing(8);
    SetMargin(5);
}

int sFrameBar::TsTitleButton::CurrentState()
{
    const int state = inherited::CurrentState();
    return state != 1 && Active ? 1 : state;
}

// ---- titles ----

TsTitles::TsTitles(TsFrameBar* Owner) : TCollection(CollectionItemClass<TsTitleItem>()), FrameBar(Owner) {}

TPersistent* TsTitles::GetOwner() const
{
    return FrameBar;
}

TsTitleItem* TsTitles::Items(int Index) const
{
    return static_cast<TsTitleItem*>(TCollection::Items(Index));
}

void TsTitles::SetItem(int Index, TsTitleItem* Value)
{
    TCollection::SetItem(Index, Value);
}

TsTitleItem* TsTitles::Add()
{
    return static_cast<TsTitleItem*>(TCollection::Add());
}

TsTitleItem::TsTitleItem(TCollection* Collection) : TCollectionItem(Collection)
{
    Titles = static_cast<TsTitles*>(Collection);
    TsFrameBar* bar = Titles->FrameBar;
    TitleButton = Create<sFrameBar::TsTitleButton>(bar, Index());
    TitleButton->OnClick = TNotifyEvent(this, &TsTitleItem::TitleButtonClick);
    TitleButton->SetParent(bar);
    TDontAnimate instant(true);
    bar->ArrangeTitles();
}

TsTitleItem::~TsTitleItem()
{
    *FAlive = false;
    TsFrameBar* bar = Titles ? Titles->FrameBar : nullptr;
    const bool barGoing = !bar || bar->Going();
    if (!barGoing) {
        TitleButton->SetVisible(false);
        TitleButton->Free();
        if (Frame)
            Frame->Free();
        // Out of the collection first, so that the layout no longer sees this item.
        SetCollection(nullptr);
        bar->ArrangeTitles();
    }
}

void TsTitleItem::SetCaption(const AnsiString& Value)
{
    TitleButton->SetCaption(Value);
    FCaption = Value;
}

void TsTitleItem::SetImageIndex(int Value)
{
    if (FImageIndex == Value)
        return;
    FImageIndex = Value;
    TitleButton->SetImageIndex(Value);
    if (TitleButton->Images() != Titles->FrameBar->Images())
        TitleButton->SetImages(Titles->FrameBar->Images());
}

void TsTitleItem::SetVisible(bool Value)
{
    if (FVisible == Value)
        return;
    FVisible = Value;
    TitleButton->SetParent(Value ? Titles->FrameBar : nullptr);
    Titles->FrameBar->ArrangeTitles();
}

AnsiString TsTitleItem::SkinSection() const
{
    return TitleButton->SkinData()->SkinSection();
}

void TsTitleItem::SetSkinSection(const AnsiString& Value)
{
    TitleButton->SkinData()->SetSkinSection(Value);
}

void TsTitleItem::TitleButtonClick(TObject* /*Sender*/)
{
    TsFrameBar* bar = Titles->FrameBar;
    if (Designing(bar))
        return;
    if (OnClick) {
        const std::shared_ptr<bool> alive = FAlive;
        OnClick(TitleButton);
        // The handler deleted the item (or the bar, or its form).
        if (!*alive)
            return;
    }
    switch (State) {
    case stClosed:
        State = stOpening;
        if (!bar->AllowAllOpen)
            for (int i = 0; i < Titles->Count(); ++i)
                if (Titles->Items(i)->State == stOpen)
                    Titles->Items(i)->State = stClosing;
        break;
    case stOpen:
        if (bar->AllowAllClose)
            State = stClosing;
        break;
    default:
        break;
    }
    bar->ArrangeTitles();
}

// ---- frame bar ----

TsFrameBar::TsFrameBar(TComponent* AOwner) : TsScrollBox(AOwner), FItems(std::make_unique<TsTitles>(this))
{
    SkinData()->COC = 19;
    SetCaption(" ");
    SetAlign(alLeft);
    // The layout sets the range itself, margins included.
    SetAutoScroll(false);
    VertScrollBar()->SetTracking(true);
    HorzScrollBar()->SetVisible(false);
}

TsFrameBar::~TsFrameBar()
{
    FGoing = true;
    *FAlive = false;
}

void TsFrameBar::SetTitleHeight(int Value)
{
    if (FTitleHeight == Value)
        return;
    FTitleHeight = Value;
    ArrangeInstantly(true);
}

void TsFrameBar::SetBorderWidth(int Value)
{
    if (FBorderWidth == Value)
        return;
    FBorderWidth = Value;
    ArrangeInstantly(true);
}

void TsFrameBar::SetSpacing(int Value)
{
    if (FSpacing == Value)
        return;
    FSpacing = Value;
    ArrangeInstantly(true);
}

void TsFrameBar::SetImages(TCustomImageList* Value)
{
    if (FImages == Value)
        return;
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (Value)
        Value->FreeNotification(this);
    for (int i = 0; i < FItems->Count(); ++i)
        if (FItems->Items(i)->TitleButton->Visible())
            FItems->Items(i)->TitleButton->SetImages(Value);
}

void TsFrameBar::Notification(TComponent* AComponent, TOperation Operation)
{
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages)
        FImages = nullptr;
}

void TsFrameBar::ArrangeInstantly(bool Instantly)
{
    TDontAnimate flag(Instantly);
    ArrangeTitles();
}

void TsFrameBar::OpenItem(int Index, bool Animated)
{
    FItems->Items(Index)->State = Animated ? TsTitleItem::stOpening : TsTitleItem::stOpen;
    if (!AllowAllOpen)
        for (int i = 0; i < FItems->Count(); ++i)
            if (i != Index && FItems->Items(i)->State == TsTitleItem::stOpen)
                FItems->Items(i)->State = TsTitleItem::stClosing;
    ArrangeInstantly(!Animated);
}

void TsFrameBar::CloseItem(int Index, bool Animated)
{
    FItems->Items(Index)->State = Animated ? TsTitleItem::stClosing : TsTitleItem::stClosed;
    ArrangeInstantly(!Animated);
}

void TsFrameBar::ChangeSize(int Index, bool Animated, int Height)
{
    TsTitleItem* item = FItems->Items(Index);
    item->FrameSize = Height;
    item->State = Animated ? TsTitleItem::stOpening : TsTitleItem::stOpen;
    ArrangeInstantly(!Animated);
}

void TsFrameBar::ExpandAll(bool Animated)
{
    for (int i = 0; i < FItems->Count(); ++i)
        FItems->Items(i)->State = Animated ? TsTitleItem::stOpening : TsTitleItem::stOpen;
    ArrangeTitles();
}

void TsFrameBar::CollapseAll(bool Animated)
{
    for (int i = 0; i < FItems->Count(); ++i)
        FItems->Items(i)->State = Animated ? TsTitleItem::stClosing : TsTitleItem::stClosed;
    ArrangeTitles();
}

bool TsFrameBar::VBarShown()
{
    return VertBar() && VertBar()->Visible();
}

int TsFrameBar::Offset()
{
    if (VBarShown())
        return VertBar()->Position();
    // Unskinned, the framework scrolls the children by the native bar.
    return SkinData()->Skinned() ? 0 : VertScrollBar()->Position();
}

TRect TsFrameBar::CalcClientRect()
{
    TRect r = Rect(0, 0, Width() - 2 * Indent(), Height());
    InflateRect(&r, -(Indent() + FBorderWidth), -(Indent() + FBorderWidth));
    return r;
}

TCustomFrame* TsFrameBar::CreateDefaultFrame()
{
    auto* frame = Create<TFrame>(this);
    frame->SetHeight(150);
    auto* adapter = Create<TsFrameAdapter>(frame);
    adapter->SkinData()->SetSkinSection("BARPANEL");
    auto* label = Create<TsLabel>(frame);
    label->SetAlign(alClient);
    label->SetCaption("Frame creation\r\nevent has not been defined.");
    label->SetAlignment(taCenter);
    label->SetLayout(tlCenter);
    label->SetWordWrap(true);
    label->Font()->SetColor(static_cast<TColor>(0x0000FF));
    label->SetParent(frame);
    return frame;
}

bool TsFrameBar::UpdateFrame(int Index, int Top, int Height, int Width)
{
    TsTitleItem* item = FItems->Items(Index);
    if (!item->Frame && !Designing(this)) {
        if (item->OnCreateFrame)
            item->OnCreateFrame(item, item->Frame);
        else
            item->Frame = CreateDefaultFrame();
    }
    if (!item->Frame)
        return false;
    if (item->FrameSize == 0)
        item->FrameSize = item->Frame->Height();
    if (Height == -1)
        Height = item->FrameSize;
    item->Frame->SetBounds(item->TitleButton->Left(), Top, Width, Height);
    return true;
}

void TsFrameBar::DestroyFrame(TsTitleItem* Item)
{
    bool canDestroy = true;
    if (Item->OnFrameDestroy)
        Item->OnFrameDestroy(this, Item->Frame, canDestroy);
    if (canDestroy && Item->Frame) {
        Item->Frame->Free();
        Item->Frame = nullptr;
    }
}

void TsFrameBar::ArrangeTitles()
{
    if (Going())
        return;
    const bool animated = !DontAnimate && !Designing(this) && Animation && Visible() &&
                          !ComponentState().Contains(csLoading) && !ComponentState().Contains(csReading);
    const int steps = animated ? 11 : 0;
    const TRect r = CalcClientRect();
    Arranging = true;
    const TLayoutHold hold;
    const std::shared_ptr<bool> alive = FAlive;
    int y = r.top;
    for (int i = 0; i <= steps; ++i) {
        const bool last = i == steps;
        y = r.top;
        const int w = WidthOf(r) - (VScrollShown && VertBar() ? VertBar()->Width() : 0);
        for (int n = 0; n < FItems->Count(); ++n) {
            TsTitleItem* item = FItems->Items(n);
            sFrameBar::TsTitleButton* button = item->TitleButton;
            if (!button->Visible() || !item->Visible())
                continue;
            button->SetBounds(r.left, y - Offset(), w, FTitleHeight);
            if (button->Parent() != this)
                button->SetParent(this);
            y += button->Height();
            int h = item->FrameSize;
            if (item->State == TsTitleItem::stOpening && h == 0 && !Animation)
                item->State = TsTitleItem::stOpen;
            bool closedNow = false;
            switch (item->State) {
            case TsTitleItem::stOpening:
                y += FSpacing;
                for (int k = 0; k < steps - i - 1; ++k)
                    h /= 2;
                if (UpdateFrame(n, y - Offset(), h, w)) {
                    if (last)
                        item->State = TsTitleItem::stOpen;
                    if (animated)
                        Sleep(10);
                }
                break;
            case TsTitleItem::stClosing:
                for (int k = 0; k < i - 1; ++k)
                    h /= 2;
                if (last) {
                    DestroyFrame(item);
                    y += FBorderWidth;
                    item->State = TsTitleItem::stClosed;
                    button->Active = false;
                    closedNow = true;
                } else {
                    UpdateFrame(n, y - Offset(), h, w);
                    if (animated)
                        Sleep(10);
                }
                break;
            case TsTitleItem::stOpen:
                UpdateFrame(n, y - Offset(), -1, w);
                break;
            default:
                if (item->Frame)
                    DestroyFrame(item);
                break;
            }
            if (closedNow) {
                button->Repaint();
                continue;
            }
            if (item->Frame && item->State != TsTitleItem::stClosed) {
                if (!item->Frame->Parent())
                    item->Frame->SetParent(this);
                y += item->Frame->Height() + FBorderWidth;
            }
            y += FBorderWidth;
            if (item->State == TsTitleItem::stClosed || item->State == TsTitleItem::stOpen) {
                const bool active = item->State == TsTitleItem::stOpen;
                if (button->Active != active) {
                    button->Active = active;
                    button->Repaint();
                }
            }
        }
        Application->ProcessMessages();
        if (!*alive)
            return;
        if (Going())
            break;
    }
    FadingForbidden = false;
    y += Indent() + FBorderWidth;
    FContentHeight = y;
    // The box counts the content scrolled away by its skinned bar on top of the native range.
    const int range = y - (VBarShown() ? VertBar()->Position() : 0);
    if (VertScrollBar()->Range() != range)
        VertScrollBar()->SetRange(range);
    Arranging = false;
    RefreshScrolls();
    UpdateWidths();
    SetParentUpdated(this);
}

void TsFrameBar::UpdateWidths()
{
    Arranging = true;
    VScrollShown = VBarShown();
    const int w = WidthOf(CalcClientRect()) - (VScrollShown ? VertBar()->Width() : 0);
    for (int n = 0; n < FItems->Count(); ++n) {
        TsTitleItem* item = FItems->Items(n);
        if (!item->Visible() || !item->TitleButton->Visible())
            continue;
        if (item->TitleButton->Width() != w) {
            item->TitleButton->SetWidth(w);
            item->TitleButton->SkinData()->BGChanged = true;
        }
        if (item->Frame)
            item->Frame->SetWidth(w);
    }
    Arranging = false;
}

void TsFrameBar::WndProc(TMessage& Message)
{
    inherited::WndProc(Message);
    if (Message.Msg == WM_SIZE) {
        UpdateWidths();
    } else if (Message.Msg == CM_ENABLEDCHANGED) {
        for (int n = 0; n < FItems->Count(); ++n) {
            TsTitleItem* item = FItems->Items(n);
            item->TitleButton->SetEnabled(Enabled());
            if (item->Frame)
                item->Frame->SetEnabled(Enabled());
        }
        if (VertBar())
            VertBar()->SetEnabled(Enabled());
        Repaint();
    } else if (Message.Msg == SM_SKINCMD && Message.WParamHi == AC_REPAINT && SkinData()->Skinned()) {
        UpdateWidths();
    }
}
