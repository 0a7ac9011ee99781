// The skinned check box (section "CHECKBOX") and the frame it shares with the skinned radio
// button. The native button keeps the focus, the tab order and the state; while a skin is active
// the control paints itself (background from the parent's image, box glyph, caption, focus frame)
// and handles the mouse and the space key itself, checking on the release. The box comes from an
// image list, from two own bitmaps, or from the skin's "GLOBALINFO" masks. A read-only control
// changes nothing on clicks or keys, skinned or not.
#pragma once

#include <memory>

#include "ImgList.h"
#include "StdCtrls.h"
#include "sCommonData.h"

// What a skinned check box and a skinned radio button share. Base is the framework's control.
// Declare a subclass with VCL_CLASS(TsX, TsCheckControl<TX>) so that its class parent stays the
// framework class.
template <class Base>
class TsCheckControl : public Base {
public:
    TsCheckControl(TComponent* AOwner, int ControlCode);
    ~TsCheckControl() override { *FAlive = false; }
    void AfterConstruction() override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;
    // Invalidates; while AutoSize is on, MultiLine goes off.
    void Invalidate() override;
    virtual bool GetReadOnly() { return FReadOnly; }

    TsCommonData* SkinData() const { return FCommonData.get(); }
    TsDisabledKind DisabledKind() const { return FDisabledKind; }
    void SetDisabledKind(TsDisabledKind Value);
    // Own box pictures: three state cells side by side (normal, hot, pressed), the picture in the
    // upper half and its blend mask in the lower half.
    TBitmap* GlyphChecked() const { return FGlyphChecked.get(); }
    void SetGlyphChecked(TBitmap* Value);
    TBitmap* GlyphUnChecked() const { return FGlyphUnChecked.get(); }
    void SetGlyphUnChecked(TBitmap* Value);
    // Extra space between the box and the caption.
    int TextIndent() const { return FTextIndent; }
    void SetTextIndent(int Value) { SetSpacing(FTextIndent, Value); }
    // Distance of box and caption from the control's edges.
    int Margin() const { return FMargin; }
    void SetMargin(int Value) { SetSpacing(FMargin, Value); }
    // A word-wrapped caption; excludes AutoSize.
    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool Value);
    bool ShowFocus() const { return FShowFocus; }
    void SetShowFocus(bool Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    // The left button or the space key is down on the control.
    bool Pressed() const { return FPressed; }

    // The box's rectangle in the control.
    TRect CheckRect();
    // The same for a skin mask's cell.
    TRect SkinCheckRect(int Mask);
    virtual int GlyphWidth() const;
    virtual int GlyphHeight() const;
    // The box's look: 2 pressed, 1 hot (active and not read-only), 0 normal.
    int GlyphState();

protected:
    // The skin mask of the box shown now, and the one whose size places the box.
    virtual int CurrentMaskIndex() = 0;
    virtual int PlacingMaskIndex() = 0;
    // A picture of the control's own (image list or bitmaps) sizes and places the box.
    virtual bool OwnGlyphs() const { return FGlyphChecked->Width() > 0; }
    virtual void DrawCheckArea() = 0;
    // The click's release: the check box toggles, the radio button checks itself.
    virtual void ReleaseClick() = 0;
    // The value the native button is given back when the skin goes.
    virtual WPARAM NativeCheck() = 0;
    // BM_SETCHECK while skinned.
    virtual void SkinnedSetCheck(WPARAM Value) = 0;
    // Messages while not skinned; true when consumed.
    virtual bool PlainMessage(TMessage& Message) = 0;
    // The check box puts the caption one pixel further and keeps it off the bottom two rows.
    virtual int TextGap() const = 0;

    bool CanAutoSize(int& NewWidth, int& NewHeight) override;
    void PaintHandler(TMessage& Message);
    void PaintControl(HDC DC);
    void DrawCheckText();
    // The own pictures, GlyphChecked when Checked, else GlyphUnChecked where there is one; false
    // without a GlyphChecked.
    bool PaintOwnGlyph(bool Checked);
    // The state cell of an own picture through its mask onto the box.
    void PaintGlyph(TBitmap* Bmp);
    void DrawSkinGlyph(int Mask);
    bool Hot();
    void AutoSizeNow();

    bool FPressed = false;

private:
    bool Skinned() const { return FCommonData && FCommonData->Skinned(); }
    void SetSpacing(int& Field, int Value);
    // The release that completes a click; true when it was one.
    bool Release();
    void TakeFocus();
    bool SkinnedMessage(TMessage& Message);

    std::unique_ptr<TsCommonData> FCommonData;
    TsDisabledKind FDisabledKind{dkBlended};
    std::unique_ptr<TBitmap> FGlyphUnChecked = std::make_unique<TBitmap>();
    std::unique_ptr<TBitmap> FGlyphChecked = std::make_unique<TBitmap>();
    int FTextIndent = 0;
    bool FMultiLine = false;
    bool FShowFocus = true;
    int FMargin = 2;
    bool FReadOnly = false;
    // Cleared when the control goes, so that code after a click can tell.
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

class TsCheckBox : public TsCheckControl<TCustomCheckBox> {
    VCL_CLASS(TsCheckBox, TsCheckControl<TCustomCheckBox>)
public:
    explicit TsCheckBox(TComponent* AOwner);
    using TCustomCheckBox::SetChecked;

    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    int ImgChecked() const { return FImgChecked; }
    void SetImgChecked(int Value);
    int ImgUnchecked() const { return FImgUnchecked; }
    void SetImgUnchecked(int Value);

    // The skin's "GLOBALINFO" mask of a state ("BOXUNCHECKED", "BOXCHECKED", "BOXGRAYED").
    static int GlyphMaskIndex(TCheckBoxState State);
    int GlyphWidth() const override;
    int GlyphHeight() const override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    int CurrentMaskIndex() override { return GlyphMaskIndex(State()); }
    int PlacingMaskIndex() override { return GlyphMaskIndex(cbChecked); }
    bool OwnGlyphs() const override { return ImagesInUse() || inherited::OwnGlyphs(); }
    void DrawCheckArea() override;
    void ReleaseClick() override { Toggle(); }
    WPARAM NativeCheck() override { return static_cast<WPARAM>(State()); }
    void SkinnedSetCheck(WPARAM Value) override;
    bool PlainMessage(TMessage& Message) override;
    int TextGap() const override { return 1; }

private:
    // Both pictures are images of the list.
    bool ImagesInUse() const
    {
        return FImages && FImgChecked >= 0 && FImgUnchecked >= 0 && FImgChecked < FImages->Count() &&
               FImgUnchecked < FImages->Count();
    }

    TCustomImageList* FImages = nullptr; // not owned
    int FImgChecked = 0;
    int FImgUnchecked = 0;
};

extern template class TsCheckControl<TCustomCheckBox>;
extern template class TsCheckControl<TRadioButton>;
