// The skinned group box (section "GROUPBOX"): a container that paints its background and frame
// from its section into its cache, which its children take their backgrounds from, and puts its
// caption on a small plate painted from a second section ("CHECKBOX" unless CaptionSkin names
// another). The caption's vertical place can be shifted, and the client area with it.
#pragma once

#include <memory>

#include "StdCtrls.h"
#include "sCommonData.h"

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
