#include "sGroupBox.h"

#include <algorithm>

#include "Forms.h"
#include "sGraphUtils.h"
#include "sMaskGraph.h"
#include "sMessages.h"
#include "sStyleSimply.h"
#include "sUtils.h"
#include "sVclUtils.h"

// --- TsGroupBox ----------------------------------------------------------------------------------

TsGroupBox::TsGroupBox(TComponent* AOwner) : TGroupBox(AOwner), FCommonData(std::make_unique<TsCommonData>(this, true))
{
    SetControlStyle(ControlStyle() - TControlStyle{csOpaque});
    FCommonData->COC = 74;
}

TsGroupBox::~TsGroupBox() = default;

void TsGroupBox::AfterConstruction()
{
    inherited::AfterConstruction();
    FCommonData->Loaded();
}

void TsGroupBox::Loaded()
{
    inherited::Loaded();
    FCommonData->Loaded();
}

void TsGroupBox::AdjustClientRect(TRect& Rect)
{
    if (ComponentState().Contains(csDestroying))
        return;
    inherited::AdjustClientRect(Rect);
    Rect.top += FCaptionYOffset;
}

void TsGroupBox::SetCaptionLayout(TsCaptionLayout Value)
{
    if (Value == FCaptionLayout)
        return;
    FCaptionLayout = Value;
    if (!Caption().empty())
        SendAMessage(this, AC_REPAINT);
}

void TsGroupBox::SetCaptionYOffset(int Value)
{
    if (Value == FCaptionYOffset)
        return;
    FCaptionYOffset = Value;
    if (HandleAllocated())
        SendAMessage(Handle(), AC_REPAINT);
    // The children are aligned again in the new client area.
    Perform(WM_SIZE, 0, 0);
}

void TsGroupBox::SetCaptionSkin(const AnsiString& Value)
{
    if (Value == FCaptionSkin)
        return;
    FCaptionSkin = Value;
    FCommonData->Invalidate();
}

int TsGroupBox::TextHeight()
{
    TCanvas* canvas = FCommonData->FCacheBmp->Canvas();
    canvas->Font()->Assign(Font());
    return std::max(4, canvas->TextHeight("W")) + 2;
}

TRect TsGroupBox::CaptionRect()
{
    TCanvas* canvas = FCommonData->FCacheBmp->Canvas();
    canvas->Font()->Assign(Font());
    const int w = Width(), tw = canvas->TextWidth(Caption());
    TRect r = Rect(0, 0, 0, TextHeight());
    if (Skinned()) {
        r.bottom += FCaptionYOffset;
        if (FCaptionYOffset < 0)
            r.top += FCaptionYOffset;
    }
    int left = 6;
    if (FCaptionLayout == clTopCenter)
        left = (w - tw - 4 - 6) / 2;
    else if (FCaptionLayout == clTopRight)
        left = w - tw - 14;
    left = std::max(0, left);
    r.left = left;
    r.right = std::min(tw + left + 8, w);
    // A plate narrower than the frame's two edges reaches over them.
    const int bevel = 1;
    if (WidthOf(r) < 2 * bevel) {
        r.left -= bevel;
        r.right += bevel;
    }
    return r;
}

void TsGroupBox::WriteText(const TRect& R, const TCacheInfo& CI)
{
    TBitmap* cache = FCommonData->FCacheBmp.get();
    TRect r = R;
    const int state = HandleAllocated() && Focused() ? 1 : 0;
    if (!FCaptionSkin.empty()) {
        const TCacheInfo own{cache, 0, 0, true};
        PaintItem(GetSkinIndex(FCaptionSkin), FCaptionSkin, own, true, state, r, TPoint{0, 0}, cache);
    } else if (!CI.Ready && Parent()) {
        FillDC(cache->Canvas()->Handle(), r, ColorToRGB(Parent()->Color()));
    } else {
        PaintItem(GetSkinIndex("CHECKBOX"), "CHECKBOX", CI, true, state, r, TPoint{Left() + r.left, Top() + r.top},
                  cache);
    }
    TCanvas* canvas = cache->Canvas();
    canvas->Font()->Assign(Font());
    canvas->Brush()->SetStyle(bsClear);
    WriteTextEx(canvas, Caption().c_str(), Enabled(), r, DT_CENTER | DT_NOPREFIX, FCommonData.get(), false);
}

void TsGroupBox::PrepareCache()
{
    TsCommonData* sd = FCommonData.get();
    sd->InitCacheBmp();
    TBitmap* cache = sd->FCacheBmp.get();
    const TCacheInfo ci = GetParentCache(sd);
    const TRect c = CaptionRect();
    const int w = Width(), h = Height();
    // The strip above the frame shows what lies under the group box.
    if (ci.Ready)
        BitBlt(cache->Canvas()->Handle(), 0, 0, w, HeightOf(c), ci.Bmp->Canvas()->Handle(), Left() + ci.X,
               Top() + ci.Y, SRCCOPY);
    else if (Parent())
        FillDC(cache->Canvas()->Handle(), Rect(0, 0, w, c.bottom), ColorToRGB(Parent()->Color()));
    // The frame starts at the middle of the plate.
    const int y0 = FCaptionYOffset < 0 ? 0 : HeightOf(c) / 2;
    PaintItem(sd, ci, false, 0, Rect(0, y0, w, h), TPoint{Left(), Top() + y0}, cache, false);
    if (!Caption().empty())
        WriteText(c, ci);
    UpdateCorners(sd, 0, TsCorners{scLeftBottom, scRightBottom});
    sd->BGChanged = false;
}

void TsGroupBox::Paint()
{
    TsCommonData* sd = FCommonData.get();
    if (!Skinned() || ComponentState().Contains(csDestroying)) {
        inherited::Paint();
        return;
    }
    if (!Visible())
        return;
    sd->Updating = sd->GetUpdating();
    if (sd->Updating)
        return;
    const bool rebuild = sd->HalfVisible || sd->BGChanged;
    sd->HalfVisible = false;
    if (sd->RepaintIfMoved() && Parent()) {
        const TRect client = Parent()->ClientRect();
        const POINT first{Left() + 1, Top() + 1}, last{Left() + Width() - 1, Top() + Height() - 1};
        sd->HalfVisible = !PtInRect(&client, first) || !PtInRect(&client, last);
    }
    if (rebuild && !sd->UrgentPainting)
        PrepareCache();
    HDC dc = Canvas()->Handle();
    CopyWinControlCache(this, sd, TRect{}, Rect(0, 0, Width(), Height()), dc, false);
    ::PaintControls(dc, this, rebuild, TPoint{0, 0});
    SetParentUpdated(this);
}

void TsGroupBox::SkinnedPaint(TMessage& Message)
{
    TWindowPaint paint(Handle(), reinterpret_cast<HDC>(Message.WParam));
    TLentCanvas lent(Canvas(), paint.DC());
    Paint();
    Message.Result = 0;
}

void TsGroupBox::FontChanged(TMessage& Message)
{
    inherited::WndProc(Message);
    FCommonData->FCacheBmp->Canvas()->Font()->Assign(Font());
    if (!Caption().empty())
        FCommonData->Invalidate();
}

void TsGroupBox::WndProc(TMessage& Message)
{
    TsCommonData* sd = FCommonData.get();
    if (Message.Msg == SM_SKINCMD) {
        switch (Message.WParamHi) {
        case AC_NEWSKIN:
            // The children first: they wait for the group box's new background.
            SkinBroadCast(this, Message);
            CommonWndProc(Message, sd);
            return;
        case AC_REMOVESKIN:
        case AC_REPAINT:
            CommonWndProc(Message, sd);
            SkinBroadCast(this, Message);
            Repaint();
            return;
        case AC_ISSKINNED:
            Message.LParam = 1;
            return;
        default:
            break;
        }
    }
    if (!ControlIsReady(this) || !sd->Skinned()) {
        if (Message.Msg == CM_FONTCHANGED)
            FontChanged(Message);
        else
            inherited::WndProc(Message);
        return;
    }
    if (Message.Msg == SM_SKINCMD) {
        switch (Message.WParamHi) {
        case AC_PARENTUPDATED:
            if (sd->GetUpdating() || sd->HalfVisible) {
                sd->Updating = false;
                if (Visible())
                    Repaint();
                return;
            }
            break;
        case AC_URGENTPAINTING:
            CommonWndProc(Message, sd);
            if (sd->UrgentPainting)
                PrepareCache();
            return;
        case AC_GETUPDATING:
            // Children wait while the group box's own image is not ready.
            Message.LParam = sd->BGChanged || sd->GetUpdating() ? 1 : 0;
            return;
        default:
            break;
        }
    } else {
        switch (Message.Msg) {
        case WM_WINDOWPOSCHANGED:
        case CM_VISIBLECHANGED:
            sd->BGChanged = true;
            break;
        case WM_MOVE:
            // A resize's WM_MOVE comes after its WM_WINDOWPOSCHANGED: what that marked stays marked.
            sd->BGChanged = sd->BGChanged || sd->RepaintIfMoved();
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            inherited::WndProc(Message);
            return;
        case WM_ERASEBKGND:
            Message.Result = 1;
            return;
        case CM_TEXTCHANGED:
            SendAMessage(this, AC_REPAINT);
            return;
        case CM_FONTCHANGED:
            FontChanged(Message);
            return;
        case WM_PAINT:
        case WM_PRINTCLIENT:
            SkinnedPaint(Message);
            return;
        default:
            break;
        }
    }
    CommonWndProc(Message, sd);
    inherited::WndProc(Message);
}

// --- TsRadioGroup --------------------------------------------------------------------------------

TsRadioGroup::TsRadioGroup(TComponent* AOwner) : TsGroupBox(AOwner)
{
    SetControlStyle(TControlStyle{csSetCaption, csDoubleClicks});
    FItems->OnChange = TNotifyEvent(this, &TsRadioGroup::ItemsChange);
}

TsRadioGroup::~TsRadioGroup() = default;

void TsRadioGroup::BeforeDestruction()
{
    FItems->OnChange = TNotifyEvent();
    SetButtonCount(0);
    inherited::BeforeDestruction();
}

void TsRadioGroup::Loaded()
{
    // The reading is over (the inherited Loaded ends it): Items and ItemIndex may have come in any
    // order meanwhile.
    inherited::Loaded();
    UpdateButtons();
}

void TsRadioGroup::SetButtonCount(int Value)
{
    while (ButtonCount() < Value)
        Create<TsGroupButton>(this);
    // A button leaves the list as it goes.
    while (ButtonCount() > Value)
        FButtons.back()->Free();
}

void TsRadioGroup::UpdateButtons()
{
    SetButtonCount(FItems->Count());
    // A line removed, or an index read before the lines, leaves it past the last button.
    FItemIndex = std::clamp(FItemIndex, -1, ButtonCount() - 1);
    for (int i = 0; i < ButtonCount(); ++i)
        FButtons[static_cast<std::size_t>(i)]->SetCaption(FItems->Strings(i));
    if (FItemIndex >= 0) {
        TFlagUp updating(FUpdatingButtons);
        FButtons[static_cast<std::size_t>(FItemIndex)]->SetChecked(true);
    }
    ArrangeButtons();
    Invalidate();
    // Each button binds its skin section.
    for (TsGroupButton* button : std::vector<TsGroupButton*>(FButtons))
        button->Loaded();
}

void TsRadioGroup::ItemsChange(TObject*)
{
    if (!Reading())
        UpdateButtons();
}

void TsRadioGroup::SetItemIndex(int Value)
{
    if (Reading()) {
        FItemIndex = Value;
        return;
    }
    Value = std::clamp(Value, -1, ButtonCount() - 1);
    if (Value == FItemIndex)
        return;
    if (FItemIndex >= 0)
        FButtons[static_cast<std::size_t>(FItemIndex)]->SetChecked(false);
    FItemIndex = Value;
    if (FItemIndex >= 0)
        FButtons[static_cast<std::size_t>(FItemIndex)]->SetChecked(true);
}

void TsRadioGroup::SetColumns(int Value)
{
    Value = std::clamp(Value, 1, 16);
    if (Value == FColumns)
        return;
    FColumns = Value;
    ArrangeButtons();
    Invalidate();
}

void TsRadioGroup::ButtonClick(TObject* Sender)
{
    if (FUpdatingButtons)
        return;
    const auto at = std::find(FButtons.begin(), FButtons.end(), Sender);
    FItemIndex = at == FButtons.end() ? -1 : static_cast<int>(at - FButtons.begin());
    Changed();
    Click();
}

void TsRadioGroup::ArrangeButtons()
{
    if (FButtons.empty() || Reading())
        return;
    const int n = ButtonCount(), perColumn = (n + FColumns - 1) / FColumns;
    const int plate = HeightOf(CaptionRect());
    const int width = (Width() - 10) / FColumns, height = (Height() - plate - 5) / perColumn;
    for (int i = 0; i < n; ++i) {
        TsGroupButton* button = FButtons[static_cast<std::size_t>(i)];
        button->SetBiDiMode(BiDiMode());
        int left = (i / perColumn) * width + 8;
        if (UseRightToLeftAlignment())
            left = ClientWidth() - left - width;
        button->SetBounds(left, (i % perColumn) * height + plate + 2, width, height);
        button->SetVisible(true);
    }
}

void TsRadioGroup::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_ENABLEDCHANGED:
        inherited::WndProc(Message);
        for (TsGroupButton* button : FButtons)
            button->SetEnabled(Enabled());
        return;
    case CM_FONTCHANGED:
    case WM_SIZE:
        inherited::WndProc(Message);
        ArrangeButtons();
        return;
    default:
        inherited::WndProc(Message);
        if (Message.Msg == SM_SKINCMD && Message.WParamHi == AC_REPAINT)
            ArrangeButtons();
    }
}

// --- TsGroupButton -------------------------------------------------------------------------------

TsGroupButton::TsGroupButton(TsRadioGroup* Group) : TsRadioButton(Group), FGroup(Group)
{
    SkinData()->SetSkinSection("RADIOBUTTON");
    SetShowFocus(true);
    Group->FButtons.push_back(this);
    SetVisible(false);
    SetEnabled(Group->Enabled());
    SetParentShowHint(false);
    OnClick = TNotifyEvent(Group, &TsRadioGroup::ButtonClick);
    SetParent(Group);
    SetTabStop(false);
    SkinData()->CustomFont = Group->SkinData()->CustomFont;
}

void TsGroupButton::BeforeDestruction()
{
    auto& buttons = FGroup->FButtons;
    buttons.erase(std::remove(buttons.begin(), buttons.end(), this), buttons.end());
    inherited::BeforeDestruction();
}

void TsGroupButton::Dispatch(TMessage& Message)
{
    if (Message.Msg != CN_COMMAND) {
        inherited::Dispatch(Message);
        return;
    }
    if (FInClick)
        return;
    TFlagUp inClick(FInClick);
    try {
        // Skinned, the button checks itself on the release.
        const WORD code = HIWORD(Message.WParam);
        if (!SkinData()->Skinned() && (code == BN_CLICKED || code == BN_DOUBLECLICKED) && FGroup->CanModify())
            inherited::Dispatch(Message);
    } catch (...) {
        Application->HandleException(this);
    }
}

void TsGroupButton::KeyDown(Word& Key, TShiftState Shift)
{
    inherited::KeyDown(Key, Shift);
    FGroup->KeyDown(Key, Shift);
}

void TsGroupButton::KeyPress(char& Key)
{
    inherited::KeyPress(Key);
    FGroup->KeyPress(Key);
    if ((Key == 8 || Key == ' ') && !FGroup->CanModify())
        Key = 0;
}
