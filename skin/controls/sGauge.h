// The skinned gauge (section "GAUGE"): how far Progress lies between MinValue and MaxValue, as a
// percentage, a horizontal or vertical bar, a pie or a needle. Skinned, the filled part of a bar
// comes from a progress section ("PROGRESSH", "PROGRESSV" or ProgressSkin); without a skin the
// picture is composed from plain colours by exclusive-or, so the text shows inverted on the bar.
// No image is kept between paints.
#pragma once

#include <memory>

#include "ExtCtrlsPanels.h"
#include "sCommonData.h"

enum TsGaugeKind { gkText, gkHorizontalBar, gkVerticalBar, gkPie, gkNeedle };

// Size * Percent / 100, truncated: the filled length of a bar.
int LengthForPercent(int Percent, int Size);
// 0 for an empty whole, else Part * 100 / Whole, truncated.
int PercentOfRange(Int64 Part, Int64 Whole);

class TsGauge : public TGraphicControl {
    VCL_CLASS(TsGauge, TGraphicControl)
public:
    explicit TsGauge(TComponent* AOwner);
    ~TsGauge() override;
    void AfterConstruction() override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;

    TsCommonData* SkinData() const { return FCommonData.get(); }

    int MinValue() const { return FMinValue; }
    // Raises EInvalidOperation above MaxValue (outside loading); raises Progress to it.
    void SetMinValue(int Value);
    int MaxValue() const { return FMaxValue; }
    // Raises EInvalidOperation below MinValue (outside loading); lowers Progress to it.
    void SetMaxValue(int Value);
    int Progress() const { return FProgress; }
    // Kept within MinValue..MaxValue; OnChange after a change.
    void SetProgress(int Value);
    void AddProgress(int Value);
    int PercentDone() const;

    TsGaugeKind Kind() const { return FKind; }
    void SetKind(TsGaugeKind Value);
    bool ShowText() const { return FShowText; }
    void SetShowText(bool Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    TColor BackColor() const { return FBackColor; }
    void SetBackColor(TColor Value);
    TColor ForeColor() const { return FForeColor; }
    void SetForeColor(TColor Value);
    // After the number in the skinned text.
    const AnsiString& Suffix() const { return FSuffix; }
    void SetSuffix(const AnsiString& Value);
    // The section of a skinned bar's filled part; empty: "PROGRESSH" or "PROGRESSV".
    const AnsiString& ProgressSkin() const { return FProgressSkin; }
    void SetProgressSkin(const AnsiString& Value);

    TNotifyEvent OnChange;

protected:
    void Paint() override;

private:
    void PaintSkinned();
    void PaintSkinnedBar(TBitmap* Cache);
    void PaintPlain();

    std::unique_ptr<TsCommonData> FCommonData;
    int FMinValue = 0;
    int FMaxValue = 100;
    int FProgress = 47;
    TsGaugeKind FKind = gkHorizontalBar;
    bool FShowText = true;
    TBorderStyle FBorderStyle = bsSingle;
    TColor FBackColor = static_cast<TColor>(0xFFFFFF);
    TColor FForeColor = static_cast<TColor>(0x000000);
    AnsiString FSuffix = "%";
    AnsiString FProgressSkin;
};
