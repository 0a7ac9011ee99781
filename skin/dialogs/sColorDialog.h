// The skinned colour chooser that TsColorDialog shows while a skin is active. The colour is picked
// from a main palette, from a row of custom colours, from a hue/saturation field with a brightness
// column beside it, by typing red/green/blue, hue/saturation/brightness, decimal or hexadecimal
// values, or from any pixel of the screen; every view follows SetCurrentColor.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "Forms.h"
#include "SubclassWindow.h"
#include "sConst.h"

class TPanel;
class TsBitBtn;
class TsColorDialog;
class TsColorsPanel;
class TsCurrencyEdit;
class TsLabel;
class TsMaskEdit;
class TsPanel;
class TsSkinProvider;
class TsSpeedButton;

// A colour as hue (whole degrees, 0..360), saturation and brightness (0..1).
struct TsHSV {
    int H = 0;
    double S = 0;
    double V = 0;
};

// H in degrees (360 converts as 0), S and V in 0..1; each channel rounded, halves to even, and
// kept within 0..255.
TsColor HsvToRgb(double H, double S, double V);
// A colour of its red, green and blue bytes.
TColor RgbColor(Byte R, Byte G, Byte B);
// The hue rounded to whole degrees, halves to even; a grey has hue and saturation 0.
TsHSV RgbToHsv(TColor Color);
// The hue/saturation field of Width x Height pixels into Bmp (made that size, 24 bits): pixel
// (x, y) is HsvToRgb(x * 360 / Width, 1 - y / Height, 1 - y / (3 * Height)).
void PaintHueField(TBitmap& Bmp, int Width, int Height);

class TsColorDialogForm : public TForm {
    VCL_CLASS(TsColorDialogForm, TForm)
public:
    explicit TsColorDialogForm(TComponent* AOwner);
    ~TsColorDialogForm() override;

    TsSkinProvider* sSkinProvider1 = nullptr;
    TsColorsPanel* MainPal = nullptr;
    TsColorsPanel* AddPal = nullptr;
    TsLabel* sLabel1 = nullptr;
    TsLabel* sLabel2 = nullptr;
    TsPanel* ColorPanel = nullptr;
    TsPanel* GradPanel = nullptr;
    TPanel* SelectedPanel = nullptr;
    TsCurrencyEdit* sHEdit = nullptr;
    TsCurrencyEdit* sSEdit = nullptr;
    TsCurrencyEdit* sVEdit = nullptr;
    TsCurrencyEdit* sREdit = nullptr;
    TsCurrencyEdit* sGEdit = nullptr;
    TsCurrencyEdit* sBEdit = nullptr;
    TsLabel* sLabel4 = nullptr;
    TsLabel* sLabel5 = nullptr;
    TsLabel* sLabel6 = nullptr;
    TsMaskEdit* sEditHex = nullptr;
    TsCurrencyEdit* sEditDecimal = nullptr;
    TsSpeedButton* sSpeedButton1 = nullptr;
    TsBitBtn* sBitBtn1 = nullptr; // OK
    TsBitBtn* sBitBtn2 = nullptr; // Cancel
    TsBitBtn* sBitBtn3 = nullptr; // Add to custom colors set
    TsBitBtn* sBitBtn4 = nullptr; // Define colors
    TsBitBtn* sBitBtn5 = nullptr; // Help

    // The dialog that shows the form (not owned).
    TsColorDialog* OwnerDialog = nullptr;

    // The fully bright colour of the selected hue and saturation; the selected colour as HSV; the
    // cursor's place in the field; the marker's row in the brightness column; the next custom slot.
    TColor InternalColor = clWhite;
    TsHSV SelectedHsv;
    TPoint ColorCoord{0, 0};
    int GradY = 0;
    TColor PickColor = clBlack;
    int CurrCustomIndex = 0;
    // A drag in the field or the column is running; the colour comes from the column's row.
    bool ExPressed = false;
    bool GradPressed = false;
    bool UseCoords = false;
    // Set while a change is being spread, so that no view spreads it again.
    bool ColorChanging = false;
    bool HexChanging = false;
    bool DecChanging = false;
    bool HsvChanging = false;
    bool RgbChanging = false;

    // Every view shows Color; a view whose flag is set keeps what it shows.
    void SetCurrentColor(TColor Color);
    // An edit's colour, unless a change is already being spread.
    void SetColorFromEdit(TColor Color, bool& Flag);
    // The field's hue and saturation picked: the column takes the new hue and the colour is the
    // column's at the marker.
    void SetInternalColor(int H, double S);
    // The colour of row Y of the brightness column (white past its bottom).
    TColor GradToColor(int Y) const;
    // The first row of the column within 2 of Color in every channel; 0 when none is.
    int GetColorCoord(TColor Color) const;
    TBitmap* ExtBmp() const { return FExtBmp.get(); }

    void MainPalChange(TObject* Sender);
    void sHEditChange(TObject* Sender);
    void sREditChange(TObject* Sender);
    void sEditHexChange(TObject* Sender);
    void sEditHexKeyPress(TObject* Sender, char& Key);
    void sEditDecimalChange(TObject* Sender);
    void ColorPanelPaint(TObject* Sender, TCanvas* Canvas);
    void GradPanelPaint(TObject* Sender, TCanvas* Canvas);
    void ColorPanelMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void ColorPanelMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void ColorPanelMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void GradPanelMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void GradPanelMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void GradPanelMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void sBitBtn3Click(TObject* Sender);
    void sBitBtn4Click(TObject* Sender);
    // Help: the application's help for the dialog's topic.
    void sBitBtn5Click(TObject* Sender);
    void sSpeedButton1Click(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormPaint(TObject* Sender);
    // Ends a drag in the field or the column: the cursor is free again.
    void ReleaseCursor();

protected:
    // A form that hides (closed, Escape, Cancel) ends a drag still running.
    void DoHide() override;

private:
    // The brightness column's channels (red, green, blue) of each row before rounding, and the
    // colour of such a row (rows of the first part snap to 0 below 3 and to 255 above 253).
    using TGradRow = std::array<double, 3>;
    std::vector<TGradRow> GradRows() const;
    static TColor RowColor(const TGradRow& Row, bool FirstPart);
    // The field shows the hue, the column the marker's row, the palettes lose a cell that no
    // longer holds the colour.
    void SetMarker();
    void ExitPanels(TColor Color);
    // The place of the field's cursor for the selected hue and saturation.
    TPoint HsvPoint() const;
    // The marker's triangles beside the column at row Y, in the form's client coordinates.
    TRect MarkerRect(int Y) const;
    void GradToEdits();
    void ShowColorValues(TColor Color);
    void PickFormPaint(TObject* Sender);
    void PickFormMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void PickFormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    // The field and the column end a drag when they lose the mouse (another window takes it,
    // or the system cancels the mode).
    void ColorPanelWndProc(TMessage& Message);
    void GradPanelWndProc(TMessage& Message);
    void DragPanelMessage(TWindowProcHook& Hook, TMessage& Message);

    std::unique_ptr<TBitmap> FExtBmp;
    std::unique_ptr<TBitmap> FScreen; // the screen's picture while the picker is open
    TForm* FPickForm = nullptr;
    TWindowProcHook FColorPanelHook;
    TWindowProcHook FGradPanelHook;
};
