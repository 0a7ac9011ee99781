// Bars of the ComCtrls unit: progress bar, status bar with panels, tool bar with tool buttons,
// up-down arrows. Each wraps its common-controls window class under a class name of ours and keeps
// its whole state in the object, so the window can be re-created or moved to another parent.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "Classes.h"
#include "ComCtrlsTree.h"
#include "Controls.h"
#include "Graphics.h"
#include "ImgList.h"

class TPopupMenu;
class TMenuItem;

// Registers the common-controls window classes named by the ICC_ flags (once per class set).
void InitComCtl(DWORD Classes);

// TCustomDrawStage and TCustomDrawState come with the tree view's unit.

// The custom-draw item state (CDIS_ flags) as a set.
TCustomDrawState CustomDrawStateFromFlags(UINT ItemState);

// --- Progress bar -----------------------------------------------------------------------------

enum TProgressBarOrientation { pbHorizontal, pbVertical };

class TProgressBar : public TWinControl {
    VCL_CLASS(TProgressBar, TWinControl)
public:
    explicit TProgressBar(TComponent* AOwner);

    int Min() const { return FMin; }
    void SetMin(int Value) { SetRange(Value, std::max(Value, FMax)); }
    int Max() const { return FMax; }
    void SetMax(int Value) { SetRange(std::min(FMin, Value), Value); }
    void SetRange(int AMin, int AMax);
    int Position();
    void SetPosition(int Value);
    int Step() const { return FStep; }
    void SetStep(int Value);
    // Advances the position by Step; past Max it starts again from Min (as the system bar does).
    void StepIt();
    void StepBy(int Delta) { SetPosition(Position() + Delta); }
    bool Smooth() const { return FSmooth; }
    void SetSmooth(bool Value);
    TProgressBarOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TProgressBarOrientation Value);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;

private:
    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    int FStep = 10;
    bool FSmooth = false;
    TProgressBarOrientation FOrientation = pbHorizontal;
};

// --- Status bar -------------------------------------------------------------------------------

enum TStatusPanelStyle { psText, psOwnerDraw };
enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };

class TStatusBar;
class TStatusPanels;

class TStatusPanel : public TPersistent {
    VCL_CLASS(TStatusPanel, TPersistent)
public:
    explicit TStatusPanel(TStatusPanels* Owner) : FOwner(Owner) {}
    int Index() const;
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    const AnsiString& Text() const { return FText; }
    void SetText(const AnsiString& Value);
    TStatusPanelStyle Style() const { return FStyle; }
    void SetStyle(TStatusPanelStyle Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TStatusPanelBevel Bevel() const { return FBevel; }
    void SetBevel(TStatusPanelBevel Value);
    void Assign(TPersistent* Source) override;

private:
    void Changed(bool AllPanels);
    TStatusPanels* FOwner;
    int FWidth = 50;
    AnsiString FText;
    TStatusPanelStyle FStyle = psText;
    TAlignment FAlignment = taLeftJustify;
    TStatusPanelBevel FBevel = pbLowered;
};

// The panels of a status bar, owned by the bar.
class TStatusPanels : public TPersistent {
    VCL_CLASS(TStatusPanels, TPersistent)
public:
    explicit TStatusPanels(TStatusBar* Owner) : FStatusBar(Owner) {}
    TStatusPanel* Add();
    TStatusPanel* Insert(int Index);
    void Delete(int Index);
    void Clear();
    int Count() const { return static_cast<int>(FItems.size()); }
    // Raises EListError for an index out of range.
    TStatusPanel* Items(int Index) const;
    TStatusPanel* operator[](int Index) const { return Items(Index); }
    int IndexOf(const TStatusPanel* Panel) const;
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    TStatusBar* StatusBar() const { return FStatusBar; }
    void Assign(TPersistent* Source) override;

private:
    friend class TStatusPanel;
    void Changed(int Index, bool AllPanels);
    TStatusBar* FStatusBar;
    std::vector<std::unique_ptr<TStatusPanel>> FItems;
    int FUpdateCount = 0;
};

using TDrawPanelEvent = TMethod<void(TStatusBar* StatusBar, TStatusPanel* Panel, const TRect& Rect)>;

class TStatusBar : public TWinControl {
    VCL_CLASS(TStatusBar, TWinControl)
public:
    explicit TStatusBar(TComponent* AOwner);
    ~TStatusBar() override;

    TStatusPanels* Panels() const { return FPanels.get(); }
    bool SimplePanel() const { return FSimplePanel; }
    void SetSimplePanel(bool Value);
    const AnsiString& SimpleText() const { return FSimpleText; }
    void SetSimpleText(const AnsiString& Value);
    bool SizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool Value);
    // The canvas an OnDrawPanel handler draws on (valid during the handler).
    TCanvas* Canvas() const { return FCanvas.get(); }
    // The rectangle of a panel in the bar's client area, from the window (empty without one).
    TRect PanelRect(int Index);

    TDrawPanelEvent OnDrawPanel;

    void Dispatch(TMessage& Message) override;
    // Sends the panel layout and texts to the window.
    void UpdatePanels();
    void UpdatePanel(int Index);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    virtual void DrawPanel(TStatusPanel* Panel, const TRect& Rect);

private:
    void UpdateSimpleText();
    std::unique_ptr<TStatusPanels> FPanels;
    std::unique_ptr<TControlCanvas> FCanvas;
    bool FSimplePanel = false;
    AnsiString FSimpleText;
    bool FSizeGrip = true;
};

// --- Tool bar ---------------------------------------------------------------------------------

class TToolBar;

enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };

// A button of a tool bar: a windowless child placed by the bar over the system bar's button of
// the same index. The system bar draws it and reports its clicks; the object keeps its state.
class TToolButton : public TGraphicControl {
    VCL_CLASS(TToolButton, TGraphicControl)
public:
    explicit TToolButton(TComponent* AOwner);
    ~TToolButton() override;

    TToolBar* ToolBar() const { return FToolBar; }
    // Position among the bar's items; also the command id of the system button.
    int Index() const;

    TToolButtonStyle Style() const { return FStyle; }
    void SetStyle(TToolButtonStyle Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    bool Grouped() const { return FGrouped; }
    void SetGrouped(bool Value);
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value) { FAllowAllUp = Value; }
    bool Wrap() const { return FWrap; }
    void SetWrap(bool Value);
    bool Indeterminate() const { return FIndeterminate; }
    void SetIndeterminate(bool Value);
    bool Marked() const { return FMarked; }
    void SetMarked(bool Value);
    TPopupMenu* DropdownMenu() const { return FDropdownMenu; }
    void SetDropdownMenu(TPopupMenu* Value);
    // The menu item the button stands for: its caption, enabled state and image follow the
    // item, and a click runs the item (unless the button has an OnClick of its own).
    TMenuItem* MenuItem() const { return FMenuItem; }
    void SetMenuItem(TMenuItem* Value);
    // Takes caption, enabled state and image from the menu item again.
    void UpdateFromMenuItem();

    void Click() override;
    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    void SetParent(TWinControl* AParent) override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Paint() override;

private:
    friend class TToolBar;
    void Changed(bool Rebuild);
    TToolBar* FToolBar = nullptr;
    TToolButtonStyle FStyle = tbsButton;
    int FImageIndex = -1;
    bool FDown = false;
    bool FGrouped = false;
    bool FAllowAllUp = false;
    bool FWrap = false;
    bool FIndeterminate = false;
    bool FMarked = false;
    TPopupMenu* FDropdownMenu = nullptr;
    TMenuItem* FMenuItem = nullptr;
    bool FUpdating = false;
};

enum TTBCustomDrawFlag { tbNoEdges, tbHiliteHotTrack, tbNoOffset, tbNoMark, tbNoEtchedEffect };
using TTBCustomDrawFlags = TSet<TTBCustomDrawFlag>;

using TTBAdvancedCustomDrawEvent =
    TMethod<void(TToolBar* Sender, const TRect& ARect, TCustomDrawStage Stage, bool& DefaultDraw)>;
using TTBAdvancedCustomDrawBtnEvent =
    TMethod<void(TToolBar* Sender, TToolButton* Button, TCustomDrawState State, TCustomDrawStage Stage,
                       TTBCustomDrawFlags& Flags, bool& DefaultDraw)>;

enum TEdgeBorder { ebLeft, ebTop, ebRight, ebBottom };
using TEdgeBorders = TSet<TEdgeBorder>;
enum TEdgeStyle { esNone, esRaised, esLowered };

class TToolBar : public TWinControl {
    VCL_CLASS(TToolBar, TWinControl)
public:
    explicit TToolBar(TComponent* AOwner);
    ~TToolBar() override;

    // The tool buttons only, in bar order.
    int ButtonCount() const;
    TToolButton* Buttons(int Index) const;
    // Buttons and hosted windowed controls, in bar order (index = system button index).
    int ItemCount() const { return static_cast<int>(FItems.size()); }
    TControl* Items(int Index) const { return FItems.at(static_cast<size_t>(Index)); }
    int IndexOfItem(const TControl* Control) const;

    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    TCustomImageList* HotImages() const { return FHotImages; }
    void SetHotImages(TCustomImageList* Value);
    TCustomImageList* DisabledImages() const { return FDisabledImages; }
    void SetDisabledImages(TCustomImageList* Value);
    bool ShowCaptions() const { return FShowCaptions; }
    void SetShowCaptions(bool Value);
    bool List() const { return FList; }
    void SetList(bool Value);
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    bool Wrapable() const { return FWrapable; }
    void SetWrapable(bool Value);
    int ButtonWidth() const { return FButtonWidth; }
    void SetButtonWidth(int Value);
    int ButtonHeight() const { return FButtonHeight; }
    void SetButtonHeight(int Value);
    int Indent() const { return FIndent; }
    void SetIndent(int Value);
    TEdgeBorders EdgeBorders() const { return FEdgeBorders; }
    void SetEdgeBorders(TEdgeBorders Value);
    TEdgeStyle EdgeInner() const { return FEdgeInner; }
    void SetEdgeInner(TEdgeStyle Value);
    TEdgeStyle EdgeOuter() const { return FEdgeOuter; }
    void SetEdgeOuter(TEdgeStyle Value);
    // The canvas custom-draw handlers draw on (valid during the handler).
    TCanvas* Canvas() const { return FCanvas.get(); }
    // A button's rectangle from the system bar (client coordinates; empty without a window).
    TRect ButtonRect(int Index);

    TTBAdvancedCustomDrawEvent OnAdvancedCustomDraw;
    TTBAdvancedCustomDrawBtnEvent OnAdvancedCustomDrawButton;

    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    // Rebuilds the system buttons from the items (after a change of style, caption or order).
    void RecreateButtons();
    // Updates one system button's state and image in place.
    void UpdateButtonState(int Index);
    // Brings the bound buttons in step with their menu items.
    void UpdateMenuItems();

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void AlignControls(TControl* AControl, TRect& Rect) override;

private:
    friend class TToolButton;
    void InsertItem(TControl* Control);
    void RemoveItem(TControl* Control);
    void ImageListChange(TObject* Sender);
    void UpdateImages();
    void PlaceItems();
    void CNNotify(TMessage& Message);
    void CNCommand(TMessage& Message);
    void SyncDownStates();
    void SetImageList(TCustomImageList*& Field, TCustomImageList* Value);

    std::vector<TControl*> FItems;
    std::unique_ptr<TControlCanvas> FCanvas;
    std::unique_ptr<TChangeLink> FImageLinks[3];
    TCustomImageList* FImages = nullptr;
    TCustomImageList* FHotImages = nullptr;
    TCustomImageList* FDisabledImages = nullptr;
    bool FShowCaptions = false;
    bool FList = false;
    bool FFlat = false;
    bool FWrapable = true;
    int FButtonWidth = 23;
    int FButtonHeight = 22;
    int FIndent = 0;
    TEdgeBorders FEdgeBorders{ebTop};
    TEdgeStyle FEdgeInner = esRaised;
    TEdgeStyle FEdgeOuter = esLowered;
    bool FRebuilding = false;
    bool FPlacing = false;
};

// --- Up-down ----------------------------------------------------------------------------------

enum TUDOrientation { udHorizontal, udVertical };
enum TUDAlignButton { udLeft, udRight };
enum TUDBtnType { btNext, btPrev };
using TUDClickEvent = TMethod<void(TObject* Sender, TUDBtnType Button)>;
using TUDChangingEvent = TMethod<void(TObject* Sender, bool& AllowChange)>;

class TUpDown : public TWinControl {
    VCL_CLASS(TUpDown, TWinControl)
public:
    explicit TUpDown(TComponent* AOwner);

    TWinControl* Associate() const { return FAssociate; }
    void SetAssociate(TWinControl* Value);
    int Min() const { return FMin; }
    void SetMin(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    int Position();
    void SetPosition(int Value);
    int Increment() const { return FIncrement; }
    void SetIncrement(int Value);
    TUDOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TUDOrientation Value);
    TUDAlignButton AlignButton() const { return FAlignButton; }
    void SetAlignButton(TUDAlignButton Value);
    bool Wrap() const { return FWrap; }
    void SetWrap(bool Value);
    bool ArrowKeys() const { return FArrowKeys; }
    void SetArrowKeys(bool Value);
    bool Thousands() const { return FThousands; }
    void SetThousands(bool Value);

    TUDClickEvent OnClick;
    TUDChangingEvent OnChanging;

    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual bool CanChange();
    virtual void ClickButton(TUDBtnType Button);

private:
    void UpdateAssociate();
    TWinControl* FAssociate = nullptr;
    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    int FIncrement = 1;
    TUDOrientation FOrientation = udVertical;
    TUDAlignButton FAlignButton = udRight;
    bool FWrap = false;
    bool FArrowKeys = true;
    bool FThousands = true;
    int FLastDelta = 0;
};
