// The skinned tab control (section "TABCONTROL"): tabs only, no pages, over the common-controls
// tab window, with a string list of tab texts kept in the window. Without a skin the native
// window lays the tabs out, keeps the selection and paints. With one the control works out its
// own layout (rows in a fixed order, the selected tab's row moved next to the page), keeps its
// own selection, handles clicks and arrow keys itself and paints tabs and body from the skin.
#pragma once

#include <memory>
#include <vector>

#include "ComCtrlsPages.h"
#include "sCommonData.h"
#include "sPageControl.h"

class TsCustomTabControl;

using TsDrawTabEvent = TMethod<void(TsCustomTabControl* Control, int TabIndex, const TRect& Rect, bool Active)>;
using TTabGetImageEvent = TMethod<void(TObject* Sender, int TabIndex, int& ImageIndex)>;

// One tab of the own layout.
struct TsTabInfo {
    AnsiString Caption;
    int Index = 0;      // the tab's index in Tabs (and in the native control)
    int ImageIndex = 0; // from GetImageIndex
    TRect R{};          // its rectangle in the own layout
    int Width = 0, Height = 0;
    int Row = 0;        // 1: the row touching the page
    bool Placed = false;
};

// The tab texts, kept in the control's window; a refused native call raises EListError.
class TsTabStrings : public TStrings {
    VCL_CLASS(TsTabStrings, TStrings)
public:
    explicit TsTabStrings(TsCustomTabControl* Control) : FControl(Control) {}
    AnsiString Get(int Index) const override;
    int GetCount() const override;
    TObject* GetObject(int Index) const override;
    void Put(int Index, const AnsiString& S) override;
    void PutObject(int Index, TObject* AObject) override;
    void Insert(int Index, const AnsiString& S) override;
    void Delete(int Index) override;
    void Clear() override;

protected:
    void SetUpdateState(bool Updating) override;

private:
    LRESULT Send(UINT Msg, WPARAM WParam, LPARAM LParam) const;
    // The layout follows a change, with the painting held meanwhile in the own layout.
    void Changed();
    TsCustomTabControl* FControl;
};

class TsCustomTabControl : public TsSkinned<TWinControl> {
    VCL_CLASS(TsCustomTabControl, TsSkinned<TWinControl>)
public:
    explicit TsCustomTabControl(TComponent* AOwner);
    ~TsCustomTabControl() override;
    void AfterConstruction() override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    void AdjustClientRect(TRect& Rect) override;

    // The tab texts (the copy kept while the window is made again).
    TStrings* Tabs() const;
    void SetTabs(TStrings* Value);
    int TabIndex();
    virtual void SetTabIndex(int Value);
    TTabPosition TabPosition() const { return FTabPosition; }
    void SetTabPosition(TTabPosition Value);
    TTabStyle Style() const { return FStyle; }
    void SetStyle(TTabStyle Value);
    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool Value);
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool Value);
    bool OwnerDraw() const { return FOwnerDraw; }
    void SetOwnerDraw(bool Value);
    bool RaggedRight() const { return FRaggedRight; }
    void SetRaggedRight(bool Value);
    bool ScrollOpposite() const { return FScrollOpposite; }
    void SetScrollOpposite(bool Value);
    int TabHeight() const { return FTabHeight; }
    void SetTabHeight(int Value);
    int TabWidth() const { return FTabWidth; }
    void SetTabWidth(int Value);
    TCustomImageList* Images() const { return FImageLink.List(); }
    void SetImages(TCustomImageList* Value);
    TCanvas* Canvas() const { return FCanvas.get(); }

    // Native geometry.
    TRect TabRect(int Index);
    int RowCount();
    int IndexOfTabAt(int X, int Y);
    THitTests GetHitTestInfoAt(int X, int Y);
    // Clicks the native arrows |Delta| times (left for a negative Delta) while there are any.
    void ScrollTabs(int Delta);
    // The client rectangle adjusted to the display part, its top 2 pixels lower.
    TRect GetDisplayRect();

    // The own layout (while skinned).
    bool OwnCalc() const;
    const std::vector<TsTabInfo>& TabsArray() const { return FTabsArray; }
    int ActualIndex(int TabIndex) const;
    int ActiveTabIndex() const;
    int IndexOfSkinTab(int X, int Y) const;
    TRect SkinTabRect(int Index) const;
    int InvisibleTabs(int Index);
    int FindNextTab(int Current, bool GoForward);
    void FillTabs();
    void UpdateTabRects();
    void RebuildTabs();
    TRect TabsRect();
    TRect PageRect();
    TRect GlyphRect() const { return GlyphRectOf(Images(), FTabHeight); }
    int GetInVisibleItemCount();
    void CheckUpDown();
    TsUpDown* UpDown() const { return FArrows.UpDown(); }

    TNotifyEvent OnChange;
    TTabChangingEvent OnChanging;
    TsDrawTabEvent OnDrawTab;
    TTabGetImageEvent OnGetImageIndex;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    // Tabs kept while the window was made again are in it now: the arrows are checked once made.
    void CreateHandle() override;
    void DestroyWnd() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual bool CanShowTab(int /*TabIndex*/) { return true; }
    virtual bool TabVisible(int /*TabIndex*/) { return true; }
    virtual void DrawTab(int TabIndex, const TRect& Rect, bool Active);
    virtual int GetImageIndex(int TabIndex);
    virtual void DrawSkinTab(int Index, int State);
    virtual void DrawSkinTabs(const TCacheInfo& CacheInfo);
    virtual bool CanChange();
    virtual void Change();

private:
    friend class TsTabStrings;
    void TabsChanged();
    // Selects a tab after the tab strings changed, quietly in both selections (-1 or an index
    // past the end selects none, or the first while skinned).
    void FollowTabs(int Index);
    void UpdateTabSize();
    void UpdateTabImages();
    void ImageListChange(TObject* Sender);
    void SetStyleBit(DWORD Bit, bool On);
    void WMPaint(TMessage& Message);
    void WMLButtonDown(TMessage& Message);
    void WMKeyDown(TMessage& Message);
    void CNNotify(TMessage& Message);
    void CMDialogChar(TMessage& Message);
    void CNDrawItem(TMessage& Message);
    void SizeChanged();
    int FirstShownTab();

    std::unique_ptr<TControlCanvas> FCanvas;
    bool FHotTrack = false;
    TImageListLink FImageLink;
    bool FMultiLine = false;
    bool FMultiSelect = false;
    bool FOwnerDraw = false;
    bool FRaggedRight = false;
    int FSavedTabIndex = 0;
    std::unique_ptr<TStringList> FSavedTabs;
    bool FScrollOpposite = false;
    TTabStyle FStyle = tsTabs;
    TTabPosition FTabPosition = tpTop;
    std::unique_ptr<TsTabStrings> FTabs;
    int FTabWidth = 0;
    int FTabHeight = 0;
    bool FUpdating = false;
    AnsiString FBodySection;
    int FTabIndex = 0;
    std::vector<TsTabInfo> FTabsArray;
    bool FLockPaint = false;
    bool FInSize = false;
    // A key is being handled; a change it asked for was refused.
    bool FInKey = false;
    bool FKeyRefused = false;
    TsTabArrows FArrows{this};
};

// The tab control with its published properties.
class TsTabControl : public TsCustomTabControl {
    VCL_CLASS(TsTabControl, TsCustomTabControl)
public:
    using TsCustomTabControl::TsCustomTabControl;
};
