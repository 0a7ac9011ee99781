// The form skin provider: one on each skinned form. It takes over the form's window procedure,
// paints the frame (borders, title band, icon, title buttons, menu line) and the client
// background from the skin into the form's cache bitmap, hit-tests and runs its own title
// buttons, shows the skinned system menu, snaps the form to the monitor edges and, on request,
// moves and sizes it by an outline. It answers the library message for the form, so that child
// controls find the form's background through it.
//
// Sources: sSkinProvider.cpp (data model, life cycle, skin changes), sSkinProviderProc.cpp (the
// window procedure), sSkinProviderPaint.cpp (frame painting), sSkinProviderHit.cpp (hit testing
// and title buttons), sSkinProviderParts.cpp (system menu, title icon, title buttons).
#pragma once

#include <memory>
#include <vector>

#include "Classes.h"
#include "Controls.h"
#include "Forms.h"
#include "Graphics.h"
#include "Menus.h"
#include "sCommonData.h"

class TsSkinManager;
class TsSkinProvider;
class TsScrollBar;
struct TsScrollInfo;
class TsGrip;
class TsMDIForm;
class TsFormHook;

using TsBorderIcon = TBorderIcon;
using TsBorderIcons = TBorderIcons;
enum TsGripMode { gmNone, gmRightBottom };
enum TsResizeMode { rmStandard, rmBorder };

// One title button as drawn: State -1 absent, 0 normal, 1 hot, 2 pressed; the mask index of its
// image (-1 none); its rectangle in the form's window.
struct TsCaptionButton {
    int State = -1;
    int ImageIndex = -1;
    TRect Rect{0, 0, 0, 0};
};

// Hit-test codes of the provider's own buttons besides the system's.
constexpr int HTMDICLOSE = 101;
constexpr int HTMDIMAX = 102;
constexpr int HTMDIMIN = 103;
constexpr int HTUDBTN = 1000; // + index of a user title button

// --- Title icon and user title buttons ---------------------------------------------------------

class TsTitleIcon : public TPersistent {
    VCL_CLASS(TsTitleIcon, TPersistent)
public:
    TsTitleIcon();
    ~TsTitleIcon() override;
    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(TBitmap* Value) { FGlyph->Assign(Value); }
    int Height = 0;
    int Width = 0;

private:
    std::unique_ptr<TBitmap> FGlyph;
};

class TsTitleButton : public TCollectionItem {
    VCL_CLASS(TsTitleButton, TCollectionItem)
public:
    explicit TsTitleButton(TCollection* Collection);
    ~TsTitleButton() override;

    bool Enabled = true;
    TBitmap* Glyph() const { return FGlyph.get(); }
    void SetGlyph(TBitmap* Value) { FGlyph->Assign(Value); }
    const AnsiString& Name() const { return FName; }
    void SetName(const AnsiString& Value) { FName = Value; }
    bool UseSkinData = true;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    // How the provider drew it last.
    TsCaptionButton BtnData;

    // Fire OnMouseDown / OnMouseUp (Sender = the button) when assigned.
    void MouseDown(int BtnIndex, TMouseButton Button, TShiftState Shift, int X, int Y);
    void MouseUp(int BtnIndex, TMouseButton Button, TShiftState Shift, int X, int Y);

protected:
    AnsiString GetDisplayName() const override;

private:
    std::unique_ptr<TBitmap> FGlyph;
    AnsiString FName;
};

class TsTitleButtons : public TOwnedCollection {
    VCL_CLASS(TsTitleButtons, TOwnedCollection)
public:
    explicit TsTitleButtons(TsSkinProvider* AOwner);
    ~TsTitleButtons() override;
    TsTitleButton* Add() { return static_cast<TsTitleButton*>(TCollection::Add()); }
    TsTitleButton* Items(int Index) const { return static_cast<TsTitleButton*>(TCollection::Items(Index)); }
    void SetItem(int Index, TsTitleButton* Value) { TCollection::SetItem(Index, Value); }
    TsSkinProvider* Provider() const { return FOwner; }

private:
    TsSkinProvider* FOwner;
};

// --- The skinned system menu ----------------------------------------------------------------------

class TsSystemMenu : public TPopupMenu {
    VCL_CLASS(TsSystemMenu, TPopupMenu)
public:
    explicit TsSystemMenu(TComponent* AOwner);

    TsSkinProvider* FOwner = nullptr;
    TCustomForm* FForm = nullptr;
    TMenuItem* ItemRestore = nullptr;
    TMenuItem* ItemMove = nullptr;
    TMenuItem* ItemSize = nullptr;
    TMenuItem* ItemMinimize = nullptr;
    TMenuItem* ItemMaximize = nullptr;
    TMenuItem* ItemClose = nullptr;

    // Visible and Enabled of the six items from the form's state and border style and the
    // provider's border icons.
    void UpdateItems();
    // The submenu of skins at the top, followed by a separator line (when the manager lists any).
    void MakeSkinItems();
    // The skin submenu and its separator are taken out and freed, when present.
    void RemoveSkinItems();
    void SkinSelect(TObject* Sender);

    bool VisibleRestore();
    bool VisibleSize();
    bool VisibleMin();
    bool VisibleMax();
    bool VisibleClose();
    bool EnabledRestore();
    bool EnabledMove();
    bool EnabledSize();
    bool EnabledMin();
    bool EnabledMax();

    void RestoreClick(TObject* Sender);
    void MoveClick(TObject* Sender);
    void SizeClick(TObject* Sender);
    void MinClick(TObject* Sender);
    void MaxClick(TObject* Sender);
    void CloseClick(TObject* Sender);

private:
    TMenuItem* MakeItem(const char* Name, const char* Caption, void (TsSystemMenu::*Click)(TObject*));
    // Minimise or maximise: shown while minimised, else on frames with those boxes.
    bool VisibleBox(TsBorderIcon Icon);
    void SendCommand(WPARAM Command);
    TFormBorderStyle Style() const;
    TWindowState State() const;
    TsBorderIcons Icons() const;
};

// --- The provider -------------------------------------------------------------------------------

class TsSkinProvider : public TComponent {
    VCL_CLASS(TsSkinProvider, TComponent)
public:
    explicit TsSkinProvider(TComponent* AOwner);
    ~TsSkinProvider() override;
    void AfterConstruction() override;
    void BeforeDestruction() override;
    void Loaded() override;

    // Published properties.
    TsBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TsBorderIcons Value) { FBorderIcons = Value; }
    TAlignment CaptionAlignment() const { return FCaptionAlignment; }
    void SetCaptionAlignment(TAlignment Value);
    TsCommonData* SkinData() const { return FCommonData.get(); }
    TsGripMode GripMode() const { return FGripMode; }
    void SetGripMode(TsGripMode Value) { FGripMode = Value; }
    bool MakeSkinMenu = true;
    const AnsiString& MenuLineSkin() const { return FMenuLineSkin; }
    void SetMenuLineSkin(const AnsiString& Value) { FMenuLineSkin = Value; }
    TsResizeMode ResizeMode = rmStandard;
    bool ScreenSnap = false;
    int SnapBuffer = 10;
    bool ShowAppIcon() const { return FShowAppIcon; }
    void SetShowAppIcon(bool Value);
    TsTitleButtons* TitleButtons() const { return FTitleButtons.get(); }
    void SetTitleButtons(TsTitleButtons* Value) { FTitleButtons->Assign(Value); }
    TsTitleIcon* TitleIcon() const { return FTitleIcon.get(); }
    const AnsiString& TitleSkin() const { return FTitleSkin; }
    void SetTitleSkin(const AnsiString& Value);
    // The title band's section: TitleSkin, or "FORMTITLE" when empty.
    AnsiString TitleSkinSection() const;
    bool UseGlobalColor = true;

    // The form this provider skins (its owner form), or null.
    TCustomForm* Form() const { return FForm; }
    TsSkinManager* SkinManager() const { return FSkinManager; }
    TsSystemMenu* SystemMenu() const { return FSystemMenu; }
    // The form's own border icons as they were when the provider was made (given back when the
    // skin goes).
    TsBorderIcons SavedFormIcons() const { return SavedBorderIcons; }
    // The cached image of the menu line (the menu painter's background for the line items).
    TBitmap* MenuLineBmp() const { return FMenuLineBmp.get(); }

    // The replacement window procedure of the form.
    void NewWndProc(TMessage& Message);
    // The form's WindowProc is this provider's (no take-over was made after it).
    bool HasWindowProc() const;

    // Sizes of the form's frame as the system lays it out.
    int CaptionHeight();
    int SysBorderWidth();
    int SysBorderHeight();
    int BorderHeight();
    int BorderWidth();
    int CaptionWidth();
    int HeaderHeight();
    int MenuHeight();
    int OffsetX();
    int OffsetY();
    int MaxWidth();
    int MaxHeight();
    bool IconVisible();
    TRect IconRect();
    TSize IconSize();
    TPoint FormLeftTop();
    TPoint CursorToPoint(int X, int Y);
    bool MenuPresent();
    bool MDIButtonsNeeded();
    // The MDI parent's active child while its window is maximised, else null.
    TCustomForm* MaximizedMDIChild();
    // Size of a title button, of an MDI child button, and of the title bar mask with its buttons.
    int ButtonWidth();
    int ButtonHeight();
    int SmallButtonWidth();
    int SmallButtonHeight();
    int SysButtonsCount();
    int BarWidth(int MaskIndex);
    // The form's cache no longer has the form's size.
    bool FormChanged();

    // The title row's buttons from right to left, as painted and as hit-tested: each one's
    // hit-test code and record. Computed from the border icons, the system menu's state and the
    // masks of the skin.
    struct TTitleSlot {
        int Code;
        TsCaptionButton* Button;
    };
    std::vector<TTitleSlot> TitleSlots();

    // Mask indexes of the system buttons from the skin.
    void UpdateIconsIndexes();
    void RepaintMenu();
    // Rebuilds the menu bar in the current drawing mode.
    void UpdateMenu();
    // Hooks (or unhooks) the menus of the form into the skinned menu painter.
    void InitMenuItems(bool AActive);

    // Painting (sSkinProviderPaint.cpp).
    void PaintAll();
    void PaintCaption(HDC DC);
    void PaintForm(HDC DC);
    void OurPaintHandler(TMessage& Message);
    void UpdateRgn();
    void MakeTitleBG();
    void PrepareCaption(const TCacheInfo& CI, const TRect& R);
    void PaintBorderIcons();
    void DrawAppIcon(TBitmap* Bmp);
    // The title band, icon, title bar, buttons and caption over the rows above Bottom.
    void PaintTitleLayers(const TCacheInfo& CI, int Bottom);
    // The menu line's band and items into the cache, and its copy for the line painter.
    void PaintMenuLine();
    // First row of the menu line in the window.
    int MenuLineTop();
    TPoint RBGripPoint(int MaskIndex);
    int GetLinesCount();
    // The top-line items of the menu bar in their window rectangles (rows after rows).
    struct TLineItem {
        TMenuItem* Item;
        TRect Rect;
    };
    std::vector<TLineItem> MenuLineLayout();

    // Hit testing and title buttons (sSkinProviderHit.cpp).
    int HTProcess(TMessage& Message);
    void SetHotHT(int Code);
    void SetPressedHT(int Code);
    void RepaintButton(int Code);
    bool AboveBorder(TMessage& Message);
    void DropSysMenu(int X, int Y);
    // The record of a button by its hit-test code, or null.
    TsCaptionButton* ButtonByCode(int Code);
    // The state of the button under the mouse: 2 pressed while Held, else 1 hot.
    int HotState(int Code, bool Held);
    // The left button is down after a press on this button.
    bool HeldDown(int Code);

    // The form's own skinned scroll bars, shown or hidden as the children need them
    // (sSkinProviderScroll.cpp): the extent of the content, what each direction needs, the
    // content moved back to its place, the content moved, and the bars' change handlers.
    void RefreshScrolls();
    int Range(TScrollBarKind Kind);
    void GetVScrollInfo(TsScrollInfo& Info);
    void GetHScrollInfo(TsScrollInfo& Info);
    void ClearOffset(TScrollBarKind Kind);
    void ScrollBy(int DX, int DY);
    void OnVSBChange(TObject* Sender, int OldValue);
    void OnHSBChange(TObject* Sender, int OldValue);
    TsScrollBar* VertBar() const { return FVBar; }
    // The skinner of an MDI parent's client window (null for other forms).
    TsMDIForm* MDIForm() const { return FMDIForm.get(); }
    TsScrollBar* HorzBar() const { return FHBar; }
    TsGrip* Grip() const { return FGrip; }
    // Pixels the content is moved by (negative: scrolled down or right).
    int VOffset() const { return FVOffset; }
    int HOffset() const { return FHOffset; }

    // The seven button records: minimize, maximize, close, help, and the MDI child buttons.
    TsCaptionButton ButtonMin, ButtonMax, ButtonClose, ButtonHelp, MDIMin, MDIMax, MDIClose;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TsSystemMenu;
    friend class TsFormHook;
    // Takes the form's window procedure / gives it back (see the source).
    void HookForm();
    void UnhookForm();

    // The manager that serves this provider, when it has none yet.
    void TakeManager(TsSkinManager* Manager);
    // Skin changes.
    void NewSkin(TMessage& Message, bool Skinned);
    void RemoveSkin(TMessage& Message);
    void RepaintSkin(TMessage& Message);
    void ApplyGlobalColor();
    void DropCaption();
    // The form's own border icons, no window region and the system's frame, as without a skin.
    void GiveFrameBack();
    // The form's procedure as it was before this provider took it over.
    void CallDefault(TMessage& Message);

    // Parts of the window procedure (sSkinProviderProc.cpp).
    bool CaptionMessage(TMessage& Message);
    // The messages of the system menu, which is tracked for the form's window.
    bool SystemMenuMessage(TMessage& Message);
    void SkinCommand(TMessage& Message);
    void SkinnedMessage(TMessage& Message);
    void NonClientPaint(TMessage& Message);
    void RebuildRgn();
    // The frame's region waits to be cut again (the skin changed it) and the window has a frame:
    // a border of its own or a sizing one.
    bool RgnWanted();
    void PrintForm(HDC DC, LPARAM Flags);
    void NCActivate(TMessage& Message);
    void NCLButtonDown(TMessage& Message);
    void TitleButtonUp(TMessage& Message);
    void NCLButtonDblClk(TMessage& Message);
    void SysCommand(TMessage& Message);
    // A system command of an MDI child: its parent's frame follows.
    void MDIChildCommand(TMessage& Message, TsSkinProvider* Parent);
    void WindowPosChanging(TMessage& Message);
    void WindowPosChanged(TMessage& Message);
    void Activate(TMessage& Message);
    void SetText(TMessage& Message);
    // Outline moving and sizing.
    void StartMove(int X, int Y);
    void StopMove(int X, int Y);
    void DrawFormBorder(int X, int Y);
    void OutlineMouseMove(TMessage& Message);

    bool FormVisible();
    bool FormCreating();
    bool FormDestroying();
    bool Bordered();
    bool IsIconic();
    bool IsZoomed();
    int IconRight();

    // Published values.
    TsBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
    TAlignment FCaptionAlignment = taLeftJustify;
    std::unique_ptr<TsCommonData> FCommonData;
    TsGripMode FGripMode = gmNone;
    AnsiString FMenuLineSkin;
    bool FShowAppIcon = true;
    AnsiString FTitleSkin;

    // Internal state.
    std::unique_ptr<char[]> FCaption;
    std::vector<TRect> ArOR;
    bool RgnChanged = true;
    std::unique_ptr<TBitmap> TempBmp; // the title band copy
    int FHotCode = 0;
    // The button pressed last (the release acts only on it), 0 none.
    int FPressedCode = 0;
    std::unique_ptr<TsTitleIcon> FTitleIcon;
    std::unique_ptr<TsTitleButtons> FTitleButtons;
    bool ChildRepaintNeeded = false;
    bool FirstInitialized = false;
    bool ClearFormIcons = false;
    bool MenuUpdated = false;
    TsBorderIcons SavedBorderIcons;
    bool InRgnUpdate = false;
    bool MenuChanged = true;
    // Only the menu line must be painted again (a menu item changed).
    bool FMenuLineDirty = false;
    TsFormHook* FHook = nullptr;
    bool FormActive = true;
    std::unique_ptr<TBitmap> FMenuLineBmp;
    TsSkinManager* FSkinManager = nullptr;
    TCustomForm* FForm = nullptr;
    int FLinesCount = -1;
    TsSystemMenu* FSystemMenu = nullptr;
    std::unique_ptr<TBitmap> TitleBG;
    bool FPainting = false;
    // The slots of the last painting: the only ones hit testing knows.
    std::vector<TTitleSlot> FSlots;

    // The form's own scrolling with skinned bars (RefreshScrolls): the form's AutoScroll as made,
    // the children's offsets, the last ranges, the guard of a change being applied, the two
    // bars and the grip between them.
    bool FormAutoScroll = false;
    int FVOffset = 0, FHOffset = 0;
    int FVRange = 0, FHRange = 0;
    bool FScrollGuard = false;
    TsScrollBar* FHBar = nullptr;
    TsScrollBar* FVBar = nullptr;
    TsGrip* FGrip = nullptr;
    std::unique_ptr<TsMDIForm> FMDIForm;
    // An MDI parent's client skinner made (and the provider made the MDI provider) once the form
    // is an MDI parent.
    void MakeMDIForm();
    // An MDI child's window went: its parent's client bars, child icon item and menu line follow.
    void MDIChildGone();
    // The MDI parent's provider of this MDI child while both live and a skin is on, else null.
    TsSkinProvider* MDIParentProvider();
    // This MDI parent's frame painted anew, held updates ended (its menu line and caption follow
    // its children), and its client's bars refreshed.
    void RefreshMDIFrame();
    // The other visible MDI children repaint their frames (one of them became active or inactive).
    void RepaintOtherMDIChildren();
    // A maximised child's icon at the start of the menu line and its buttons at the end.
    void PaintMDIChildIcon();
    void PaintMDIButtons();
    // One of them into the cache, in its state and look.
    void DrawMDIButton(int Code);
    // Whether the last painting drew the MDI child's buttons in the menu line.
    bool FMDIButtonsShown = false;
    // The caption the title shows (an MDI parent's is joined by the system with its maximised
    // child's, unseen by this provider).
    AnsiString FPaintedCaption;
    // The number of items on the system's menu bar when the line was painted (the system adds
    // its own to an MDI parent's bar while a child is maximised, unseen by this provider).
    int FPaintedBarItems = -1;
    // An MDI parent's frame no longer shows its window's caption or its bar's items.
    bool MDIFrameStale();
};

// Sizes of a window's window and client rectangles.
int GetWindowWidth(HWND Wnd);
int GetWindowHeight(HWND Wnd);
int GetClientWidth(HWND Wnd);
int GetClientHeight(HWND Wnd);

// The provider that skins the component's form (AC_GETPROVIDER to the owner form), or null.
TsSkinProvider* GetSkinProvider(TComponent* Component);
