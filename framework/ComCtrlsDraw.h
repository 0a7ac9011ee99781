// What the tree and list views share in their custom drawing and styles: the canvas lent for one
// drawing stage, an item's drawing state as a set, and a style bit of a window changed in place.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "ComCtrlsTree.h"
#include "Graphics.h"

// Lends a canvas a device context for one event and gives the context its state back afterwards.
class TCanvasLoan {
public:
    TCanvasLoan(TCanvas& Canvas, HDC DC) : FCanvas(Canvas), FSaved(SaveDC(DC)) { FCanvas.SetHandle(DC); }
    ~TCanvasLoan()
    {
        HDC dc = FCanvas.Handle();
        FCanvas.SetHandle(nullptr);
        RestoreDC(dc, FSaved);
    }
    TCanvasLoan(const TCanvasLoan&) = delete;
    TCanvasLoan& operator=(const TCanvasLoan&) = delete;

private:
    TCanvas& FCanvas;
    int FSaved;
};

// The CDIS_ bits of a custom-draw record as a set.
TCustomDrawState CustomDrawStateOf(UINT ItemState);

// One item's drawing stage on Canvas: the canvas gets Font with the record's text colour and its
// background colour for Body; the colours chosen there go back into the record, and the canvas's
// font (which lives on with the canvas, so the window may keep it selected) is answered.
template <class F>
HFONT DrawItemStage(TCanvas& Canvas, HDC DC, TFont* Font, COLORREF& TextColor, COLORREF& TextBkColor, F&& Body)
{
    TCanvasLoan loan(Canvas, DC);
    Canvas.Font()->Assign(Font);
    Canvas.Font()->SetColor(static_cast<TColor>(TextColor));
    Canvas.Brush()->SetColor(static_cast<TColor>(TextBkColor));
    Body();
    TextColor = static_cast<COLORREF>(ColorToRGB(Canvas.Font()->Color()));
    TextBkColor = static_cast<COLORREF>(ColorToRGB(Canvas.Brush()->Color()));
    return Canvas.Font()->Handle();
}

// Sets or clears a style bit of a window in place and repaints it when the style changed.
void SetWindowStyleBit(HWND Wnd, DWORD Bit, bool On);
