// The skinned list view (section "EDIT") with its bound caption label. The native control keeps the
// rows and their text; the frame comes from the cache in the window's border, the background
// from the section (copied from the cache where the section or its parent is textured), the column
// header of the report view is painted from "COLHEADER" (hot and pressed columns), and the native
// scroll bars are covered by skinned ones that the list keeps in step. The header, a window of
// the native control, is taken over whenever the native control makes one.
#pragma once

#include <vector>

#include "ComCtrlsListView.h"
#include "SubclassWindow.h"
#include "sCommonData.h"
#include "sScrollBar.h"

class TsCustomListView : public TsSkinnedBound<TCustomListView> {
    VCL_CLASS(TsCustomListView, TsSkinnedBound<TCustomListView>)
public:
    explicit TsCustomListView(TComponent* AOwner);
    void AfterConstruction() override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;

    // The skinned bars (siblings on the list's parent), or null.
    TsScrollBar* VSBar = nullptr;
    TsScrollBar* HSBar = nullptr;
    // The header's height, measured at every header paint.
    int HeaderHeight = 0;
    // The column under the mouse is painted hot.
    bool HotTracking = true;
    // The header taken over (null: none), the column pressed (-1 none) and the hot one (-2 none).
    HWND HeaderHandle() const { return FHeader.Handle(); }
    int PressedColumn() const { return FPressedColumn; }
    int HotColumn() const { return FHotColumn; }

    // Makes, fills, places, hides or frees the skinned bars by the native ones; safe at any time,
    // also from inside itself (it does nothing then).
    void RefreshScrolls();
    void RefreshScrollBounds();
    // The background must be copied from the cache (a textured section or parent) rather than
    // erased with a colour.
    bool FullRepaint();
    // A repaint without erasing where the background is copied (report and list views, or Force).
    void InvalidateSmooth(bool Force);
    // The header from the skin into DC (null: the header's window inside BeginPaint/EndPaint).
    void PaintHeader(HDC DC = nullptr);
    // The rectangle of the header item shown at Position (through the order of the columns).
    TRect GetHeaderColumnRect(int Position);
    // One header item (Index -1: the rest of the header after the last column) into DC at R.
    void ColumnSkinPaint(HDC DC, const TRect& R, int Index);
    // Draws Text aligned in R (Layout: 0 top, 1 bottom, 2 centred), leaving ImageWidth + 2 pixels
    // before it for a picture when ImageWidth >= 1; answers where the text starts.
    static TPoint DrawTextAligned(TCanvas* Canvas, const TRect& R, const AnsiString& Text, TAlignment Alignment,
                                  int Layout, int ImageWidth);
    // The sum of the column widths (up to the first width beyond 999,999 pixels).
    int AllColWidth();
    // The background and frame of the section into the cache.
    void PrepareCache();
    void OnVSBChange(TObject* Sender, int OldValue);
    void OnHSBChange(TObject* Sender, int OldValue);

protected:
    void CreateWnd() override;
    // While skinned the list draws its own background at the control's stages, unless the
    // application's OnAdvancedCustomDraw is set: then that handler draws instead.
    bool IsCustomDrawn(TCustomDrawTarget Target, TCustomDrawStage Stage) override;
    bool CustomDraw(const TRect& ARect, TCustomDrawStage Stage) override;

private:
    bool Skinned();
    void HookHeader(HWND Header);
    void HeaderWndProc(TMessage& Message);
    // The header's item indexes in the order they are shown (sized by the header's own items).
    std::vector<int> HeaderOrder();
    void RepaintHeader();
    void SetHotColumn(int Value);
    void PaintFrame(HDC DC);
    // The section's colours (Loaded, a repaint), each unless the list keeps its own.
    void TakeSectionColors();
    // The list's own centre colour into Color (not while it keeps its own colour).
    void TakeCentreColor();
    void DrawBackground(TCustomDrawStage Stage);
    void PostRefreshScrolls();
    void PlaceBars(bool Vertical, bool Horizontal);
    void RefreshBar(TsScrollBar*& Bar, TScrollBarKind Kind, bool Wanted, bool Usable, const SCROLLINFO& Info);

    TWindowSubclass FHeader;
    int FPressedColumn = -1;
    int FHotColumn = -2;
    // Set while a press on the header or a move redraws everything: rows are left out of the copy.
    bool FFullRepaint = false;
    bool FRefreshing = false;
    bool FRefreshPosted = false;
};

class TsListView : public TsCustomListView {
    VCL_CLASS(TsListView, TsCustomListView)
public:
    explicit TsListView(TComponent* AOwner) : TsCustomListView(AOwner) {}
};
