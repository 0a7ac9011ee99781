#include "RadioGroup.h"

#include <algorithm>

TCustomRadioGroup::TCustomRadioGroup(TComponent* AOwner)
    : TCustomGroupBox(AOwner), FItems(std::make_unique<TStringList>())
{
    FControlStyle = TControlStyle{csSetCaption, csDoubleClicks};
    FItems->OnChange = [this](TObject*) { UpdateButtons(); };
}

TCustomRadioGroup::~TCustomRadioGroup()
{
    FItems->OnChange = nullptr;
}

void TCustomRadioGroup::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_SIZE:
        inherited::Dispatch(Message);
        ArrangeButtons();
        return;
    case CM_FONTCHANGED:
        inherited::Dispatch(Message);
        ArrangeButtons();
        return;
    case CM_ENABLEDCHANGED:
        inherited::Dispatch(Message);
        for (auto& b : FButtons)
            b->SetEnabled(Enabled());
        return;
    default: inherited::Dispatch(Message);
    }
}

void TCustomRadioGroup::UpdateButtons()
{
    FUpdating = true;
    try {
        while (FButtons.size() > static_cast<size_t>(FItems->Count())) {
            // The focus leaves a button before it goes, so that the form does not keep it as
            // its active control.
            if (FButtons.back()->Focused() && HandleAllocated())
                ::SetFocus(Handle());
            TRadioButton* gone = FButtons.back();
            FButtons.pop_back();
            gone->Free();
        }
        while (FButtons.size() < static_cast<size_t>(FItems->Count())) {
            // Owned by the group and its children: they go with it.
            TRadioButton* b = Create<TRadioButton>(this);
            b->OnClick = [this](TObject* Sender) { ButtonClick(Sender); };
            b->SetParent(this);
            FButtons.push_back(b);
        }
        for (size_t i = 0; i < FButtons.size(); ++i) {
            FButtons[i]->SetCaption(FItems->Get(static_cast<int>(i)));
            FButtons[i]->SetEnabled(Enabled());
        }
        if (FItemIndex >= static_cast<int>(FButtons.size()))
            FItemIndex = -1;
        for (size_t i = 0; i < FButtons.size(); ++i)
            FButtons[i]->SetCheckedValue(static_cast<int>(i) == FItemIndex);
    } catch (...) {
        FUpdating = false;
        throw;
    }
    FUpdating = false;
    ArrangeButtons();
}

void TCustomRadioGroup::ArrangeButtons()
{
    if (FButtons.empty())
        return;
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Font()->Handle());
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    int count = static_cast<int>(FButtons.size());
    int columns = std::max(1, FColumns);
    int perColumn = (count + columns - 1) / columns;
    int buttonWidth = (Width() - 10) / columns;
    int room = Height() - tm.tmHeight - 5;
    int buttonHeight = std::max(1, room / perColumn);
    int topMargin = tm.tmHeight + 1 + (room % perColumn) / 2;
    for (int i = 0; i < count; ++i)
        FButtons[static_cast<size_t>(i)]->SetBounds((i / perColumn) * buttonWidth + 8,
                                                    (i % perColumn) * buttonHeight + topMargin, buttonWidth,
                                                    buttonHeight);
}

void TCustomRadioGroup::ButtonClick(TObject* Sender)
{
    if (FUpdating)
        return;
    for (size_t i = 0; i < FButtons.size(); ++i)
        if (FButtons[i] == Sender)
            FItemIndex = static_cast<int>(i);
    Click();
}

void TCustomRadioGroup::SetItemIndex(int Value)
{
    Value = std::clamp(Value, -1, static_cast<int>(FButtons.size()) - 1);
    if (FItemIndex == Value)
        return;
    if (FItemIndex >= 0)
        FButtons[static_cast<size_t>(FItemIndex)]->SetCheckedValue(false);
    FItemIndex = Value;
    if (FItemIndex >= 0)
        FButtons[static_cast<size_t>(FItemIndex)]->SetCheckedValue(true);
}

void TCustomRadioGroup::SetColumns(int Value)
{
    Value = std::clamp(Value, 1, 16);
    if (FColumns == Value)
        return;
    FColumns = Value;
    ArrangeButtons();
    Invalidate();
}
