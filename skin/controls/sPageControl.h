// The skinned page control (section "PAGECONTROL") and its pages. The native tab control keeps
// the layout of the tabs, the selection and the keys; while a skin is active every visible pixel
// (the tabs on any side, the frame of the page area, the captions with their images) is painted
// from the skin into the control's cache, which the pages show under their children. Without a
// skin it is the framework's page control. The tab painting that the tab control (sTabControl)
// shares is declared here too.
#pragma once

#include <memory>

#include "ComCtrlsPages.h"
#include "sCommonData.h"

class TsUpDown;

// --- Tab painting shared by the page control and the tab control ------------------------------

// The skin's tab section by position ("TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT") with its
// border mask, from ConstData. The tabs are painted from it only when Usable (the skin has a
// "TABTOP" section and this section's mask); otherwise only their captions are written.
struct TsTabSkin {
    int Section = -1;
    int Mask = -1;
    AnsiString Name;
    bool Usable() const;
};
TsTabSkin TabSkinOf(TTabPosition Position);
// The section that paints the page area: SkinSection for tabs on top, else SkinSection with
// "BOTTOM", "LEFT" or "RIGHT" after it.
AnsiString BodySectionOf(const AnsiString& SkinSection, TTabPosition Position);
// The rectangle the skin paints for a tab of native rectangle Native: inactive tabs reach into
// the frame line on the page side, the active one is larger and overlaps the page frame.
TRect SkinTabRectOf(const TRect& Native, TTabPosition Position, bool Active);
// The strip that holds the tabs and the page area of a control of Width x Height whose display
// rectangle (the native adjusted client rectangle) is Display; the whole control for both while
// it has no tabs.
TRect TabsRectOf(TTabPosition Position, int Width, int Height, const TRect& Display, bool HasTabs);
TRect PageRectOf(TTabPosition Position, int Width, int Height, const TRect& Display, bool HasTabs);
// The place of a tab's image: empty without an image list, else a rectangle of the list's size
// whose left and top are both (TabHeight + 4 - image height) div 2.
TRect GlyphRectOf(TCustomImageList* Images, int TabHeight);
// Sets SkinData's section index (and border) to the body section of Position, named in Body;
// false when the skin lacks it (the control then looks as without a skin until a new skin).
bool ResolveTabBody(TsCommonData* SkinData, TTabPosition Position, AnsiString& Body);
// A control that reaches its parent's client edge is half visible: its image is built again at
// every paint (BGChanged), as it is while the parent's is.
void NoteHalfVisible(TWinControl* Control, TsCommonData* SkinData);
// The page area of the body section Body into the control's cache over the parent's image.
void PaintTabBody(TWinControl* Control, TsCommonData* SkinData, const AnsiString& Body, const TRect& Page,
                  const TCacheInfo& CI);
// The strip's background in Control's cache: the parent's cached image under it when that is
// ready, else the parent's colour over Fill.
void PaintTabStrip(TWinControl* Control, TsCommonData* SkinData, const TRect& Strip, const TRect& Fill,
                   const TCacheInfo& ParentCache);
// A tab's caption with its image (Images and ImageIndex; none for a negative index) into C of
// Canvas: centred on top and bottom tabs, turned a quarter on side tabs (bottom to top on the
// left, top to bottom on the right, "Arial" of the font's height); Active moves a side tab's
// picture 2 pixels right. The focus frame is drawn when Focused.
struct TsTabCaption {
    AnsiString Text;
    int ImageIndex = -1;
    bool Active = false;  // the selected tab
    bool Hot = false;     // written in the section's hot colour (top and bottom tabs)
    bool Focused = false; // the focus frame around the text
};
void DrawTabCaption(TCanvas* Canvas, TRect C, TTabPosition Position, TWinControl* Control, TsCommonData* SkinData,
                    TCustomImageList* Images, const TsTabCaption& Caption);
// The row of a tab (1 the farthest from the page, Rows the one touching it) from its native
// rectangle R and the strip Strip; 1 with fewer than two rows or an empty rectangle.
int TabRowOf(TTabPosition Position, const TRect& R, const TRect& Strip, int Rows);
// Destroys the native tab control's own scroll arrows ("msctls_updown32" children); answers
// whether there were any.
bool DestroyNativeArrows(TWinControl* Control);

// The skinned scroll arrows of a tab strip: a TsUpDown in the top-right corner (bottom-right for
// tabs at the bottom) while single-line top or bottom tabs do not all fit. A click scrolls the
// native control's tabs (WM_HSCROLL with the arrows' position).
class TsTabArrows {
public:
    explicit TsTabArrows(TWinControl* Control) : FControl(Control) {}
    TsUpDown* UpDown() const { return FUpDown; }
    int Width() const;
    // Shows, places or frees the arrows for Hidden tabs out of view (0: none) and First, the
    // number of tabs scrolled out at the left; AtBottom for tabs at the bottom.
    void Check(int Hidden, int First, bool AtBottom);
    // Places them and gives them First (nothing without arrows).
    void Update(int First, bool AtBottom);
    void Free();

private:
    void Click(TObject* Sender, TUDBtnType Button);
    TWinControl* FControl;
    TsUpDown* FUpDown = nullptr; // owned by the control
};

// --- Page control ------------------------------------------------------------------------------

class TsTabSheet;

class TsPageControl : public TsSkinned<TPageControl> {
    VCL_CLASS(TsPageControl, TsSkinned<TPageControl>)
public:
    explicit TsPageControl(TComponent* AOwner);
    void AfterConstruction() override;
    void WndProc(TMessage& Message) override;

    TsTabSheet* ActivePage() const;

    // The rectangle the skin paints for a shown tab (tab index); empty for an index outside the
    // pages, without an active page or for an empty native rectangle.
    TRect SkinTabRect(int TabIndex, bool Active);
    TRect TabsRect();
    TRect PageRect();
    TRect GlyphRect() const { return GlyphRectOf(Images(), TabHeight()); }
    // The row of a tab, 1-based from the row farthest from the page.
    int TabRow(int TabIndex);
    // One tab painted into Bmp, the tab's control coordinates moved by Offset: State 0 normal,
    // 1 hot, 2 active.
    void DrawSkinTab(int PageIndex, int State, TBitmap* Bmp, const TPoint& Offset);
    // One tab composed in a bitmap of its own and copied to DC.
    void DrawSkinTab(int PageIndex, int State, HDC DC);
    // The strip's background and every shown tab in the normal state into the cache, rows from
    // the outermost inward.
    void DrawSkinTabs(const TCacheInfo& CacheInfo);
    // One tab repainted on the screen, leaving the active tab alone.
    void RepaintTab(int PageIndex, int State);
    // The strip rebuilt in the cache and copied to DC.
    void RepaintTabs(HDC DC);
    // The page whose shown tab is under the point, or -1.
    int GetTabUnderMouse(const TPoint& P);
    int VisibleTabsCount() const;
    // Shown tabs out of view of the single strip (0 without a skin).
    int GetInVisibleItemCount();
    // The skinned arrows in place of the native ones while tabs are out of view.
    void CheckUpDown();
    TsUpDown* UpDown() const { return FArrows.UpDown(); }
    int HotTab() const { return FHotTab; }
    bool TabChanging() const { return FTabChanging; }

protected:
    void UpdateActivePage() override;
    // Pages made before the window have their tabs in it now: the arrows are checked once made.
    void CreateHandle() override;

private:
    void WMPaint(TMessage& Message);
    // The shown tab's page index from a tab index.
    int PageOfTab(int TabIndex) const;
    // The page index of the active page, -1 without one.
    int ActivePageIndexOf() const;
    void HotTrackMove(const TPoint& P);
    // A tab drawn into DC within its native rectangle, leaving the active tab alone.
    void DrawTabBesideActive(int PageIndex, int State, HDC DC);
    void LeaveTabs();
    // After a tab change whose window move brought no paint: the strip repaired on the screen.
    void RepairStrip();
    void HintShow(TMessage& Message);
    // The first shown tab whose native rectangle starts right of 0.
    int FirstShownTab();

    int FVisibleTabCount = 0;
    AnsiString FBodySection;
    TsTabArrows FArrows{this};
    int FHotTab = -1;
    bool FTabChanging = false;
    // The native arrows were destroyed under the skin: the window is made again without it.
    bool FNativeArrowsGone = false;
};

// The settings each sheet publishes as SkinData; stored with the form, read by no painting.
class TsTabSkinData : public TPersistent {
    VCL_CLASS(TsTabSkinData, TPersistent)
public:
    bool CustomColor() const { return FCustomColor; }
    void SetCustomColor(bool Value) { FCustomColor = Value; }
    bool CustomFont() const { return FCustomFont; }
    void SetCustomFont(bool Value) { FCustomFont = Value; }
    const AnsiString& SkinSection() const { return FSkinSection; }
    void SetSkinSection(const AnsiString& Value) { FSkinSection = Value; }

private:
    bool FCustomColor = false;
    bool FCustomFont = false;
    AnsiString FSkinSection;
};

// A page of the skinned page control: no cache of its own, it shows the part of the page
// control's cache under it, so that the page body is one skinned surface.
class TsTabSheet : public TTabSheet {
    VCL_CLASS(TsTabSheet, TTabSheet)
public:
    explicit TsTabSheet(TComponent* AOwner);
    ~TsTabSheet() override;
    void WndProc(TMessage& Message) override;

    TsTabSkinData* SkinData() const { return FSkinData.get(); }
    // The skinned page control the sheet belongs to, or null.
    TsPageControl* SkinnedPageControl() const;

private:
    void WMPaint(TMessage& Message);
    std::unique_ptr<TsTabSkinData> FSkinData;
    // A paint was held while the page control rebuilt its image.
    bool FPaintHeld = false;
};
