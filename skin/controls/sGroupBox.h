// The skinned group box (section "GROUPBOX") and the radio group built on it: a container that paints its background and frame
// from its section into its cache, which its children take their backgrounds from, and puts its
// caption on a small plate painted from a second section ("CHECKBOX" unless CaptionSkin names
// another). The caption's vertical place can be shifted, and the client area with it.
#pragma once

#include <memory>
#include <vector>

#include "ClassesStrings.h"
#include "StdCtrls.h"
#include "sCommonData.h"
#include "sRadioButton.h"

class TsGroupBox : public TGroupBox {
    VCL_CLASS(TsGroupBox, TGroupBox)
public:
    // Where the caption plate sits on the top edge.
    enum TsCaptionLayout { clTopLeft, clTopCenter, clTopRight };

    explicit TsGroupBox(TComponent* AOwner);
    ~TsGroupBox() override;
    void AfterConstruction() override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;
    void AdjustClientRect(TRect& Rect) override;

    TsCommonData* SkinData() const { return FCommonData.get(); }
    TsCaptionLayout CaptionLayout() const { return FCaptionLayout; }
    void SetCaptionLayout(TsCaptionLayout Value);
    // Vertical shift of the caption plate and of the client area.
    int CaptionYOffset() const { return FCaptionYOffset; }
    void SetCaptionYOffset(int Value);
    // The plate's section; empty: "CHECKBOX".
    const AnsiString& CaptionSkin() const { return FCaptionSkin; }
    void SetCaptionSkin(const AnsiString& Value);

    // The height of a line of the caption's font and a pixel above and below.
    int TextHeight();
    // The caption plate in the group box (its top above the box for a negative offset).
    TRect CaptionRect();
    // Background and frame (from the middle of the plate down), the plate and the caption.
    void PrepareCache();

protected:
    // The cached image copied to the canvas, the graphic children over it, then the windowed
    // children told that the image is ready. The framework's group box while not skinned.
    void Paint() override;
    void WriteText(const TRect& R, const TCacheInfo& CI);

private:
    bool Skinned() const { return FCommonData && FCommonData->Skinned(); }
    // WM_PAINT while skinned: Paint on the paint's DC, nothing of the framework's paint.
    void SkinnedPaint(TMessage& Message);
    void FontChanged(TMessage& Message);

    TsCaptionLayout FCaptionLayout = clTopLeft;
    int FCaptionYOffset = 0;
    std::unique_ptr<TsCommonData> FCommonData;
    AnsiString FCaptionSkin;
};

class TsGroupButton;

// A skinned group box laid out with one radio button per line of Items, in Columns columns;
// ItemIndex is the checked one (-1 none). The buttons are its own, neither streamed nor mirrored.
class TsRadioGroup : public TsGroupBox {
    VCL_CLASS(TsRadioGroup, TsGroupBox)
    friend class TsGroupButton;

public:
    explicit TsRadioGroup(TComponent* AOwner);
    ~TsRadioGroup() override;
    void BeforeDestruction() override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;
    // Whether the user may change the checked button.
    virtual bool CanModify() { return true; }

    TStrings* Items() const { return FItems.get(); }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    // Kept within -1 .. the last button (stored as it comes while the form is read).
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    // Kept within 1 .. 16.
    int Columns() const { return FColumns; }
    void SetColumns(int Value);
    int ButtonCount() const { return static_cast<int>(FButtons.size()); }
    TsGroupButton* Buttons(int Index) const { return FButtons.at(static_cast<std::size_t>(Index)); }

    // The buttons in columns below the caption plate, each made visible.
    void ArrangeButtons();

protected:
    // A button per line with its caption, the checked one checked, laid out again.
    void UpdateButtons();

private:
    // While the form is read, Items and ItemIndex are only stored: the buttons follow in Loaded.
    bool Reading() const { return ComponentState().Contains(csLoading); }
    void SetButtonCount(int Value);
    void ItemsChange(TObject* Sender);
    void ButtonClick(TObject* Sender);

    std::vector<TsGroupButton*> FButtons;
    std::unique_ptr<TStringList> FItems = std::make_unique<TStringList>();
    int FItemIndex = -1;
    int FColumns = 1;
    bool FUpdatingButtons = false;
};

// The radio button of a radio group; the group is its owner and parent.
class TsGroupButton : public TsRadioButton {
    VCL_CLASS(TsGroupButton, TsRadioButton)
public:
    explicit TsGroupButton(TsRadioGroup* Group);
    void BeforeDestruction() override;
    void Dispatch(TMessage& Message) override;

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;

private:
    TsRadioGroup* FGroup;
    bool FInClick = false;
};
