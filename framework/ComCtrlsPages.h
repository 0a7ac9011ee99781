// Tab controls of the ComCtrls unit: the plain tab strip TTabControl and the page control
// TPageControl with its TTabSheet pages, over the common-controls tab window.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <vector>

#include "Classes.h"
#include "ComCtrlsBars.h"
#include "Controls.h"
#include "Graphics.h"
#include "ImgList.h"

enum TTabPosition { tpTop, tpBottom, tpLeft, tpRight };
enum TTabStyle { tsTabs, tsButtons, tsFlatButtons };

class TCustomTabControl;
using TTabChangingEvent = TMethod<void(TObject* Sender, bool& AllowChange)>;
using TDrawTabEvent =
    TMethod<void(TCustomTabControl* Control, int TabIndex, const TRect& Rect, bool Active)>;

// The tab window shared by the tab strip and the page control. Tab indexes count the shown tabs.
class TCustomTabControl : public TWinControl {
    VCL_CLASS(TCustomTabControl, TWinControl)
public:
    explicit TCustomTabControl(TComponent* AOwner);
    ~TCustomTabControl() override;

    TTabPosition TabPosition() const { return FTabPosition; }
    void SetTabPosition(TTabPosition Value);
    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool Value);
    TTabStyle Style() const { return FStyle; }
    void SetStyle(TTabStyle Value);
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool Value);
    bool OwnerDraw() const { return FOwnerDraw; }
    void SetOwnerDraw(bool Value);
    int TabHeight() const { return FTabHeight; }
    void SetTabHeight(int Value);
    int TabWidth() const { return FTabWidth; }
    void SetTabWidth(int Value);
    TCustomImageList* Images() const { return FImageLink.List(); }
    void SetImages(TCustomImageList* Value);
    TCanvas* Canvas() const { return FCanvas.get(); }

    // The tab under a client point, or -1.
    int IndexOfTabAt(int X, int Y);
    // A tab's rectangle (client coordinates; empty without a window or for a hidden tab).
    TRect TabRect(int Index);
    // Number of rows of tabs.
    int RowCount();
    // The area inside the frame where the pages go (client coordinates).
    TRect DisplayRect();

    void AdjustClientRect(TRect& Rect) override;
    void Dispatch(TMessage& Message) override;

    TNotifyEvent OnChange;
    TTabChangingEvent OnChanging;
    TDrawTabEvent OnDrawTab;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // The user asks to leave the current tab: OnChanging decides.
    virtual bool CanChange();
    // The user moved to another tab: OnChange.
    virtual void Change();
    virtual void DrawTab(int TabIndex, const TRect& Rect, bool Active);
    // Fills the window's tabs from the object's state (after creation and after changes).
    virtual void RebuildTabs() = 0;
    // Native helpers.
    void InsertNativeTab(int Index, const AnsiString& Caption, int ImageIndex, void* Data);
    int NativeTabIndex();
    void SetNativeTabIndex(int Index);

private:
    void ImageListChange(TObject* Sender);
    TTabPosition FTabPosition = tpTop;
    bool FMultiLine = false;
    TTabStyle FStyle = tsTabs;
    bool FHotTrack = false;
    bool FOwnerDraw = false;
    int FTabHeight = 0;
    int FTabWidth = 0;
    TImageListLink FImageLink;
    std::unique_ptr<TControlCanvas> FCanvas;
};

// --- Tab strip --------------------------------------------------------------------------------

class TTabControl;

// The tab captions of a TTabControl: a string list that the control mirrors.
class TTabStrings : public TStringList {
    VCL_CLASS(TTabStrings, TStringList)
public:
    explicit TTabStrings(TTabControl* Control) : FControl(Control) {}
    void Detach() { FControl = nullptr; }
    // A tab put in or taken out before the selected one keeps that tab selected.
    void Insert(int Index, const AnsiString& S) override;
    void Delete(int Index) override;

protected:
    void Changed() override;

private:
    TTabControl* FControl;
};

class TTabControl : public TCustomTabControl {
    VCL_CLASS(TTabControl, TCustomTabControl)
public:
    explicit TTabControl(TComponent* AOwner);
    ~TTabControl() override;

    TStrings* Tabs() const { return FTabs.get(); }
    void SetTabs(TStrings* Value) { FTabs->Assign(Value); }
    int TabIndex();
    // Selecting in code fires no events; -1 selects nothing.
    void SetTabIndex(int Value);

protected:
    void RebuildTabs() override;
    void Change() override;

private:
    friend class TTabStrings;
    std::unique_ptr<TTabStrings> FTabs;
    int FTabIndex = -1;
};

// --- Page control -----------------------------------------------------------------------------

class TPageControl;

// A page of a page control: a container shown only while it is the active page.
class TTabSheet : public TWinControl {
    VCL_CLASS(TTabSheet, TWinControl)
public:
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;

    TPageControl* PageControl() const { return FPageControl; }
    void SetPageControl(TPageControl* Value);
    // Position among all pages; setting it moves the page.
    int PageIndex() const;
    void SetPageIndex(int Value);
    // Position among the shown tabs, -1 while the tab is hidden.
    int TabIndex() const;
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    bool Highlighted() const { return FHighlighted; }
    void SetHighlighted(bool Value);

    TNotifyEvent OnShow;
    TNotifyEvent OnHide;

    void Dispatch(TMessage& Message) override;
    void SetParent(TWinControl* AParent) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    virtual void DoShow();
    virtual void DoHide();

private:
    friend class TPageControl;
    TPageControl* FPageControl = nullptr;
    bool FTabVisible = true;
    int FImageIndex = -1;
    bool FHighlighted = false;
    bool FWasShowing = false;
};

class TPageControl : public TCustomTabControl {
    VCL_CLASS(TPageControl, TCustomTabControl)
public:
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;

    int PageCount() const { return static_cast<int>(FPages.size()); }
    // Raises EListError for an index out of range.
    TTabSheet* Pages(int Index) const;
    TTabSheet* ActivePage() const { return FActivePage; }
    // Switching in code shows the page (its OnShow, the old page's OnHide) without OnChanging
    // or OnChange.
    void SetActivePage(TTabSheet* Page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int Value);
    // The next or previous page with a shown tab after CurrentPage (wrapping), or null.
    TTabSheet* FindNextPage(TTabSheet* CurrentPage, bool GoForward, bool CheckTabVisible);
    void SelectNextPage(bool GoForward, bool CheckTabVisible = true);
    // The page of a shown tab index, or null.
    TTabSheet* PageForTab(int TabIndex) const;

    void Dispatch(TMessage& Message) override;

protected:
    void RebuildTabs() override;
    void Change() override;
    // Makes the active page follow the window's selected tab (after a user switch).
    virtual void UpdateActivePage();
    void ShowControl(TControl* AControl);

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* Page);
    void RemovePage(TTabSheet* Page);
    void MovePage(TTabSheet* Page, int NewIndex);
    void ChangeActivePage(TTabSheet* Page);
    void UpdateTab(TTabSheet* Page);
    std::vector<TTabSheet*> FPages;
    TTabSheet* FActivePage = nullptr;
};
