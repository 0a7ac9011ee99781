// The skinned scroll bar. Without a skin it is the system's scroll bar; while a skin is active it
// is a plain window that paints its arrow buttons, the two parts of its track and its slider from
// the skin's scroll sections and handles the mouse (with repeat and drag timers) and the keys
// itself. Scrollable skinned controls (hosts) lay such bars over their native scroll bars and
// keep them in step through the host fields below.
#pragma once

#include "Controls.h"
#include "ExtCtrls.h"
#include "StdCtrlsScrollBar.h"
#include "sCommonData.h"

// The host's hook: called with the position the bar had before it moved.
using TOnIntChangeEvent = TMethod<void(TObject* Sender, int OldValue)>;
// The host brought to a position that a scroll message cannot carry.
using THostPositionEvent = TMethod<void(TObject* Sender, int Position)>;

// What a host fills about one of its scroll directions.
struct TsScrollInfo {
    int Visible = 0;  // 1: the native bar is shown and there is something to scroll
    int Max = 0;      // range - page
    int Position = 0;
    int Reserved1 = 0;
    int Range = 0;
    int Page = 0;
    int Reserved2 = 0;
    int Reserved3 = 0;
    TRect Bounds{}; // the bar's place, in the coordinates of the host's parent
};

class TsScrollBar : public TWinControl {
    VCL_CLASS(TsScrollBar, TWinControl)
public:
    explicit TsScrollBar(TComponent* AOwner);
    void AfterConstruction() override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    bool CanFocus() override;

    TsCommonData* SkinData() const { return FCommonData.get(); }

    TScrollBarKind Kind() const { return FKind; }
    // Swaps width and height (unless loading) and makes the window again.
    void SetKind(TScrollBarKind Value);
    int Min() const { return FMin; }
    void SetMin(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    int PageSize() const { return FPageSize; }
    // Negative values are ignored.
    void SetPageSize(int Value);
    int Position() const { return FPosition; }
    // Ignored while the bar is made or destroyed, when unchanged, and beyond the end the bar is
    // at; otherwise SetParams and a repaint.
    void SetPosition(int Value);
    int SmallChange = 1;
    int LargeChange = 1;
    // A dragged slider reports every step (else one change at its release).
    bool Smooth = true;
    TsDisabledKind DisabledKind() const { return FDisabledKind; }
    void SetDisabledKind(TsDisabledKind Value);
    TNotifyEvent OnChange;
    TScrollEvent OnScroll;

    // --- The host's connection --------------------------------------------------------------
    // The control whose native bar this one covers (its cached image is painted under the bar).
    TWinControl* HostControl = nullptr;
    // Called first on every change of position (not while ChangeLocked).
    TOnIntChangeEvent OnHostChange;
    // Brings the host to a position above 0x7FFF, which the thumb message cannot carry
    // (SendThumbPosition calls it instead of sending the message).
    THostPositionEvent OnHostPosition;
    // While set, the bar does not paint (a host sets several values, then one paint follows).
    bool PaintLocked = false;
    // While set, changes fire no events and native scroll messages are ignored (skin active).
    bool ChangeLocked = false;
    // Index in aScrollCodes of the last mouse action; -1 before any.
    int ScrollCode = -1;
    // 1, or -1 for a mirrored native horizontal bar.
    int RTLFactor = 1;
    // A part's state or the position changed since the last paint.
    bool RepaintNeeded = false;
    // The position under the mouse minus Position when the slider was grabbed.
    int DragOffset = 0;
    // The position at the start of a non-smooth drag.
    int PendingOldValue = 0;
    // Part states: 0 normal, 1 hot, 2 pressed.
    int Btn1State = 0, Bar2State = 0, Btn2State = 0, Bar1State = 0, SliderState = 0;

    // Range and position in one step; the position is kept within AMin..AMax. Without a skin a
    // maximum below the minimum is refused; with one it is reported and applied.
    void SetParams(int APosition, int AMin, int AMax);
    // The change events: CM_CHANGED, then OnHostChange, OnScroll and OnChange (none while
    // ChangeLocked).
    void Change(int OldValue);
    void Change();
    void Scroll(TScrollCode Code, int& ScrollPos);
    // Clears PaintLocked and paints when something changed.
    void UpdateBar();
    // The skinned painting into DC (0: the window's own).
    void Paint(HDC DC);

    // Geometry along the bar's axis (client coordinates).
    int FirstPoint();
    int WorkSize();
    int SliderSize();
    // The slider centre of the current position.
    int PositionToCoord();
    // The position whose slider centre lies at the point (not clamped).
    int CoordToPosition(const TPoint& P);
    // A screen point in client coordinates.
    TPoint CoordToPoint(const TPoint& P);
    TRect Btn1Rect();
    TRect Btn2Rect();
    // Where the buttons are drawn: longer when the skin's button reaches into the track.
    TRect Btn1DRect();
    TRect Btn2DRect();
    TRect Bar1Rect();
    TRect Bar2Rect();
    TRect SliderRect();
    int Btn1SkinIndex();
    int Btn2SkinIndex();
    bool NotRightToLeft();
    // The tracks are hot (the bar is focused or under the mouse).
    int BarIsHot();

    // Sets part 0 button 1, 1 button 2, 2 track 1, 3 track 2, 4 slider; a hot or pressed part
    // makes the other buttons and the slider normal and the other track hot.
    void SetInteger(int Index, int Value);
    // A grabbed slider of a bar that is not Smooth: no events until its release.
    void InitDontChange();
    void ClearDontChange();

    // The one timer of the bar (drag, button repeat or track repeat) and its ticks.
    TTimer* Timer() const { return FTimerKind == tkNone ? nullptr : FTimer; }
    void PrepareTimer();
    void PrepareBtnTimer();
    void PrepareBarTimer();
    void OnTimer(TObject* Sender);
    void OnBtnTimer(TObject* Sender);
    void OnBarTimer(TObject* Sender);
    void StopTimer();

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(Word& Key, TShiftState Shift) override;

    // Part painters into a bitmap.
    void DrawBtnTop(TBitmap* Bmp);
    void DrawBtnBottom(TBitmap* Bmp);
    void DrawBtnLeft(TBitmap* Bmp);
    void DrawBtnRight(TBitmap* Bmp);
    void DrawSlider(TBitmap* Bmp);

private:
    enum TTimerKind { tkNone, tkDrag, tkButton, tkTrack };
    bool SkinnedMode();
    void DoScroll(UINT Code);
    void WMPaint(TMessage& Message);
    void WMNCHitTest(TMessage& Message);
    void CMMouseEnter(TMessage& Message);
    void CMMouseLeave(TMessage& Message);
    void RecreateSkinned();
    void DrawButton(TBitmap* Bmp, int Section, int Mask, int Pattern, int HotPattern, int Glyph, const char* Name,
                    const TRect& Drawn, const TRect& Centred, int State);
    void StartTimer(TTimerKind Kind, Cardinal Interval);
    void ReleasePressedParts();
    void EndPress();
    void RestoreHints();
    TCacheInfo HostCache();

    std::unique_ptr<TsCommonData> FCommonData;
    TScrollBarKind FKind = sbHorizontal;
    int FMin = 0;
    int FMax = 100;
    int FPageSize = 0;
    int FPosition = 0;
    TsDisabledKind FDisabledKind{dkBlended};
    TTimer* FTimer = nullptr; // owned (component owner: this bar)
    TTimerKind FTimerKind = tkNone;
    TCacheInfo FOwnCacheInfo;
    bool FSavedShowHint = false;
    bool FHintSaved = false; // a left press switched the application's hints off
    bool FHeld = false;      // a left press holds the mouse until its release or the capture's loss
};

// Set while a bar makes its skinned window.
extern bool RecreatingSkinned;

// --- The host contract: what every scrollable skinned control does with its bars -------------

// A bar for Host: owned by it, lying as a sibling on the host's parent over the native bar,
// linked to it, hidden, not painting, without tab stop, Smooth, of the system's thickness.
TsScrollBar* MakeHostBar(TWinControl* Host, TScrollBarKind Kind, TOnIntChangeEvent OnChange);
// Frees a host's bar and clears the reference.
void FreeHostBar(TsScrollBar*& Bar);
// The native bar's state of the host's window (SB_VERT or SB_HORZ, all fields); false when the
// window shows no such bar.
bool GetNativeScrollInfo(TWinControl* Host, int Bar, SCROLLINFO& Info);
// The bar takes range, page and position of the native bar without telling anybody (it follows
// its host): with something to scroll Max = nMax - nPage + 1; otherwise a disabled bar 0..1.
void FillHostBar(TsScrollBar* Bar, const SCROLLINFO& Info, bool Enabled);
// The host scrolls to the bar's position: WM_VSCROLL or WM_HSCROLL (by the bar's kind) with
// SB_THUMBPOSITION and the position, which the message carries in 16 bits that native controls
// read as signed. A position above 0x7FFF goes to the bar's OnHostPosition instead; a host
// without one gets 0x7FFF, the farthest the message reaches.
void SendThumbPosition(TWinControl* Host, TsScrollBar* Bar);
// The same, except that a held arrow button scrolls the host by its own line (SB_LINEUP or
// SB_LINEDOWN, a character or a row where the bar counts pixels) and the bar follows the host.
void SendHostScroll(TWinControl* Host, TsScrollBar* Bar);
// Fills the square between the host's two shown bars (where the system draws its own corner)
// with the host's colour.
void PaintHostCorner(TWinControl* Host, TsScrollBar* VBar, TsScrollBar* HBar);
