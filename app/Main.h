// The main window of the article archive: the article tree on the left, the browser view on the
// right with the note panel below it, tool bars, menus, the status bar and the timers that carry
// out what the dialogs ask for. The layout is built in MainLayout.cpp; the behaviour lives in the
// other Main*.cpp files.
#pragma once

#include "ComCtrlsBars.h"
#include "ComCtrlsTree.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "ImgList.h"
#include "Menus.h"
#include "SHDocVw.h"
#include "StdCtrls.h"
#include "TrayIcon.h"

#include "sComboBox.h"
#include "sComboBoxes.h"
#include "sEdit.h"
#include "sHintManager.h"
#include "sButton.h"
#include "sLabel.h"
#include "sMemo.h"
#include "sPageControl.h"
#include "sPanel.h"
#include "sSkinManager.h"
#include "sSkinProvider.h"
#include "sSplitter.h"
#include "sStatusBar.h"
#include "sToolBar.h"
#include "sTreeView.h"

// A node's image is its kind and, for an article, its mark.
enum TNodeImage : Integer {
    niFolderClosed = 0,
    niFolderOpen = 1,
    niArticleNew = 2,
    niArticleRead = 8,
    niArticleFavourite = 35,
    niArticleUnread = 36,
    niFlash = 38,
    niLink = 39,
};

class TID_Vellorn : public TForm {
    VCL_CLASS(TID_Vellorn, TForm)
public:
    // Builds the window's components (firing FormCreate), then initialises OLE for the thread.
    explicit TID_Vellorn(TComponent* AOwner);
    ~TID_Vellorn() override;

    // --- Components -------------------------------------------------------------------------
    TImageList* ImageList1 = nullptr;
    TsSkinManager* sSkinManager1 = nullptr;
    TsSkinProvider* sSkinProvider1 = nullptr;
    TsHintManager* sHintManager1 = nullptr;
    TTrayIcon* TrayIcon1 = nullptr;

    // Main menu: Файл, Правка, Вид, Поиск, Браузер, Сервис, Справка.
    TMainMenu* MainMenu1 = nullptr;
    TMenuItem* N1 = nullptr; // "Файл"
    TMenuItem* N3 = nullptr;
    TMenuItem* N13 = nullptr;
    TMenuItem* N2 = nullptr;
    TMenuItem* N4 = nullptr;
    TMenuItem* N8 = nullptr;
    TMenuItem* N6 = nullptr;
    TMenuItem* N7 = nullptr; // "Правка"
    TMenuItem* N15 = nullptr;
    TMenuItem* N30 = nullptr; // "Добавить "
    TMenuItem* N9 = nullptr;
    TMenuItem* N10 = nullptr;
    TMenuItem* N80 = nullptr;
    TMenuItem* N31 = nullptr;
    TMenuItem* Flash1 = nullptr;
    TMenuItem* N12 = nullptr;
    TMenuItem* N16 = nullptr;
    TMenuItem* N74 = nullptr;
    TMenuItem* N75 = nullptr;
    TMenuItem* N76 = nullptr;
    TMenuItem* N77 = nullptr;
    TMenuItem* N78 = nullptr;
    TMenuItem* N79 = nullptr;
    TMenuItem* N11 = nullptr;
    TMenuItem* N42 = nullptr;
    TMenuItem* N55 = nullptr;
    TMenuItem* N56 = nullptr;
    TMenuItem* N57 = nullptr;
    TMenuItem* N18 = nullptr;
    TMenuItem* N17 = nullptr;
    TMenuItem* N36 = nullptr; // "Вид"
    TMenuItem* N92 = nullptr;
    TMenuItem* N93 = nullptr;
    TMenuItem* N37 = nullptr;
    TMenuItem* N87 = nullptr;
    TMenuItem* N89 = nullptr;
    TMenuItem* N90 = nullptr;
    TMenuItem* N39 = nullptr;
    TMenuItem* N5 = nullptr;
    TMenuItem* N44 = nullptr; // "Поиск"
    TMenuItem* N19 = nullptr;
    TMenuItem* N20 = nullptr;
    TMenuItem* N21 = nullptr; // "Браузер"
    TMenuItem* N22 = nullptr;
    TMenuItem* N45 = nullptr;
    TMenuItem* N23 = nullptr;
    TMenuItem* N24 = nullptr;
    TMenuItem* N14 = nullptr;
    TMenuItem* N46 = nullptr;
    TMenuItem* SetBr = nullptr;
    TMenuItem* N47 = nullptr;
    TMenuItem* N26 = nullptr;
    TMenuItem* N27 = nullptr;
    TMenuItem* N48 = nullptr;
    TMenuItem* N28 = nullptr;
    TMenuItem* N29 = nullptr;
    TMenuItem* N49 = nullptr; // "Сервис"
    TMenuItem* N62 = nullptr;
    TMenuItem* Sett = nullptr;
    TMenuItem* N50 = nullptr; // "Справка"
    TMenuItem* N32 = nullptr;
    TMenuItem* N34 = nullptr;
    TMenuItem* N70 = nullptr;
    TMenuItem* N33 = nullptr;
    TMenuItem* N51 = nullptr;
    TMenuItem* N35 = nullptr;

    // Tree pop-up menu.
    TPopupMenu* PopupMenu1 = nullptr;
    TMenuItem* N25 = nullptr;
    TMenuItem* N52 = nullptr; // "Добавить"
    TMenuItem* N40 = nullptr;
    TMenuItem* N41 = nullptr;
    TMenuItem* N73 = nullptr;
    TMenuItem* N94 = nullptr;
    TMenuItem* Flash2 = nullptr;
    TMenuItem* N43 = nullptr;
    TMenuItem* N53 = nullptr;
    TMenuItem* N81 = nullptr;
    TMenuItem* N82 = nullptr;
    TMenuItem* N83 = nullptr;
    TMenuItem* N84 = nullptr;
    TMenuItem* N85 = nullptr;
    TMenuItem* N86 = nullptr;
    TMenuItem* N64 = nullptr;
    TMenuItem* N65 = nullptr;
    TMenuItem* N66 = nullptr;
    TMenuItem* N67 = nullptr;
    TMenuItem* N68 = nullptr;
    TMenuItem* N54 = nullptr;
    TMenuItem* N96 = nullptr;
    // Back and forward page history (one item per page title), the scratch menu of caption
    // lookups, the filters of "Показать", the placing of an article written in the editor, and
    // the tray icon's menu.
    TPopupMenu* PopupMenu2 = nullptr;
    TPopupMenu* PopupMenu4 = nullptr;
    TPopupMenu* PopupMenu5 = nullptr;
    TPopupMenu* PopupMenu8 = nullptr;
    TMenuItem* N58 = nullptr;
    TMenuItem* N59 = nullptr;
    TMenuItem* N60 = nullptr;
    TMenuItem* N61 = nullptr;
    TMenuItem* N63 = nullptr;
    TMenuItem* Flash3 = nullptr;
    TMenuItem* N38 = nullptr;
    TPopupMenu* PopupMenu9 = nullptr;
    TMenuItem* N72 = nullptr;
    TPopupMenu* PopupMenu10 = nullptr;
    TMenuItem* N88 = nullptr;

    // Navigation bar.
    TsToolBar* ToolBar1 = nullptr;
    TToolButton* ToolButton1 = nullptr;
    TToolButton* ToolButton2 = nullptr;
    TToolButton* ToolButton3 = nullptr;
    TToolButton* ToolButton4 = nullptr;
    TToolButton* ToolButton9 = nullptr;
    TToolButton* ToolButton5 = nullptr;
    TToolButton* ToolButton6 = nullptr;
    TToolButton* ToolButton7 = nullptr;
    TToolButton* ToolButton14 = nullptr;
    TToolButton* ToolButton15 = nullptr;
    // Address bar.
    TsToolBar* ToolBar2 = nullptr;
    TsLabelFX* sLabelFX1 = nullptr;
    TsComboBox* ComboBox1 = nullptr;
    TToolButton* ToolButton10 = nullptr;

    // Tree panel with its own bar and the pages "Статьи" and "Поиск".
    TsPanel* Panel2 = nullptr;
    TsToolBar* sToolBar1 = nullptr;
    TToolButton* ToolButton11 = nullptr;
    TToolButton* ToolButton12 = nullptr;
    TToolButton* ToolButton18 = nullptr;
    TToolButton* ToolButton8 = nullptr;
    TToolButton* ToolButton16 = nullptr;
    TToolButton* ToolButton21 = nullptr;
    TToolButton* ToolButton13 = nullptr;
    TsPageControl* PageControl1 = nullptr;
    TsTabSheet* TabSheet1 = nullptr;
    TsTreeView* TreeView1 = nullptr;
    TsTabSheet* TabSheet2 = nullptr;
    TsTreeView* TreeView2 = nullptr;
    TsSplitter* Splitter1 = nullptr;

    // Browser and note panels.
    TsPanel* Panel4 = nullptr;
    TCppWebBrowser* Web = nullptr;
    TsSplitter* Splitter3 = nullptr;
    TsPanel* Panel5 = nullptr;
    TsToolBar* sToolBar2 = nullptr;
    TsLabelFX* sLabelFX2 = nullptr;
    TToolButton* ToolButton17 = nullptr;
    TToolButton* ToolButton19 = nullptr;
    TToolButton* ToolButton20 = nullptr;
    TsMemo* Memo1 = nullptr;

    // Property panel of an article (floating, hidden at start).
    TsPanel* Panel1 = nullptr;
    TsLabel* sLabel1 = nullptr;
    TsEdit* Edit1 = nullptr;
    TsLabel* sLabel2 = nullptr;
    TsEdit* Edit2 = nullptr;
    TsButton* Button1 = nullptr;
    TsLabel* sLabel3 = nullptr;
    TsComboBoxEx* ComboBoxEx2 = nullptr;
    TsButton* Button2 = nullptr;
    TsButton* Button3 = nullptr;

    // Status bar with the page-load progress.
    TsStatusBar* StatusBar1 = nullptr;
    TProgressBar* ProgressBar1 = nullptr;

    // Hidden scratch and page-history lists.
    TListBox* ListBox1 = nullptr;
    TListBox* ListBox2 = nullptr;
    TListBox* ListBox3 = nullptr;

    // Timers: pending additions and updates (100 ms), menu enabling (100 ms), search (500 ms),
    // property panel blink (200 ms, off until needed), skin and view menu (500 ms).
    TTimer* Timer1 = nullptr;
    TTimer* Timer2 = nullptr;
    TTimer* Timer3 = nullptr;
    TTimer* Timer4 = nullptr;
    TTimer* Timer5 = nullptr;

    TSaveDialog* SaveDialog2 = nullptr;
    TOpenDialog* OpenDialog1 = nullptr;
    TOpenDialog* OpenDialog2 = nullptr;
    TOpenDialog* OpenDialog4 = nullptr;

    // --- Application state -----------------------------------------------------------------
    AnsiString TreeName;                  // display name of the current tree
    bool OpenTreesInNewWindow = true;     // "Загрузить дерево" starts a new instance
    Integer ArticleCount = 0;             // article, link and Flash nodes (status panel 1)
    Integer TreePanelWidth = 0;           // width of Panel2, kept by Splitter1
    bool StartupDone = false;             // FormCreate has finished
    AnsiString OpenedTitle;               // title looked up last in the tree map
    AnsiString LastFileEntry;             // value read by the last FILES lookup
    bool SkipHistoryOnce = true;          // the next completed navigation is not recorded
    AnsiString PrevPageTitle, PrevPageUrl;
    AnsiString LeftPageTitle, LeftPageUrl;
    TTreeNode* ClickedNode = nullptr;     // node of the last click on the tree
    TTreeNode* PanelNode = nullptr;       // entry shown in the property panel
    // Pending flags raised by the dialogs and carried out by the timers.
    bool PendingAddArticle = false;
    bool PendingAddFlash = false;
    bool PendingAddLink = false;
    bool PendingUpdateFlash = false;
    bool PendingUpdateLink = false;
    bool PendingPlaceArticle = false;
    bool PendingSearch = false;
    bool PendingSkin = false;
    // Search options.
    Byte SearchAllWords = 1;
    Byte SearchAnyWord = 0;
    Byte SearchInFound = 0;
    Byte SearchMatchCase = 0;
    // Counts shown by the folder properties dialog.
    Integer SubcategoryCount = 0;
    Integer EntryCount = 0;
    // Skin chooser: the list index selected when it was last shown.
    Integer SkinStartIndex = -1;
    // Timer5 is applying a skin (its boxes run a message loop in which the timer ticks again).
    bool ApplyingSkin = false;

    // --- Handlers (bodies in the Main*.cpp files) ------------------------------------------
    // Window life cycle and settings.
    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void N6Click(TObject* Sender);
    // Saved trees.
    void N3Click(TObject* Sender);
    void ToolButton11Click(TObject* Sender);
    void N13Click(TObject* Sender);
    void ToolButton12Click(TObject* Sender);
    // Tree editing and marks.
    void N4Click(TObject* Sender);
    void N7Click(TObject* Sender);
    void N9Click(TObject* Sender);
    void N40Click(TObject* Sender);
    void N10Click(TObject* Sender);
    void N41Click(TObject* Sender);
    void N15Click(TObject* Sender);
    void N25Click(TObject* Sender);
    void N12Click(TObject* Sender);
    void N43Click(TObject* Sender);
    void N42Click(TObject* Sender);
    void N65Click(TObject* Sender);
    void N55Click(TObject* Sender);
    void N66Click(TObject* Sender);
    void N56Click(TObject* Sender);
    void N67Click(TObject* Sender);
    void N57Click(TObject* Sender);
    void N68Click(TObject* Sender);
    void N92Click(TObject* Sender);
    void N93Click(TObject* Sender);
    void TreeView1Edited(TObject* Sender, TTreeNode* Node, AnsiString& S);
    void TreeView1Expanded(TObject* Sender, TTreeNode* Node);
    void TreeView1Collapsed(TObject* Sender, TTreeNode* Node);
    void TreeView1Deletion(TObject* Sender, TTreeNode* Node);
    void TreeView1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void TreeView1MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void TreeView1Editing(TObject* Sender, TTreeNode* Node, bool& AllowEdit);
    void TreeView1DragOver(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept);
    void TreeView1DragDrop(TObject* Sender, TObject* Source, int X, int Y);
    void TreeView1Click(TObject* Sender);
    void TreeView1ContextPopup(TObject* Sender, TPoint MousePos, bool& Handled);
    void Timer2Timer(TObject* Sender);
    // Opening an entry.
    void TreeView1DblClick(TObject* Sender);
    void TreeView1KeyPress(TObject* Sender, char& Key);
    // Adding entries.
    void N80Click(TObject* Sender);
    void N73Click(TObject* Sender);
    void N31Click(TObject* Sender);
    void N94Click(TObject* Sender);
    void Flash1Click(TObject* Sender);
    void Flash2Click(TObject* Sender);
    void N62Click(TObject* Sender);
    void N72Click(TObject* Sender);
    void Timer1Timer(TObject* Sender);
    // Entry properties and the property panel.
    void N17Click(TObject* Sender);
    void N96Click(TObject* Sender);
    void Button1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void Button3Click(TObject* Sender);
    void Panel1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void Timer4Timer(TObject* Sender);
    // Browser view, navigation and page history.
    void ToolButton1Click(TObject* Sender);
    void N26Click(TObject* Sender);
    void ToolButton2Click(TObject* Sender);
    void N27Click(TObject* Sender);
    void ToolButton3Click(TObject* Sender);
    void N28Click(TObject* Sender);
    void ToolButton4Click(TObject* Sender);
    void N29Click(TObject* Sender);
    void ToolButton5Click(TObject* Sender);
    void N24Click(TObject* Sender);
    void N23Click(TObject* Sender);
    void ToolButton6Click(TObject* Sender);
    void N14Click(TObject* Sender);
    void N20Click(TObject* Sender);
    void N22Click(TObject* Sender);
    void SetBrClick(TObject* Sender);
    void N32Click(TObject* Sender);
    void N34Click(TObject* Sender);
    void N70Click(TObject* Sender);
    void N33Click(TObject* Sender);
    void ToolButton10Click(TObject* Sender);
    void ComboBox1Select(TObject* Sender);
    void ComboBox1KeyPress(TObject* Sender, char& Key);
    void ComboBox1KeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    // The address box gives way to a narrow bar, so that its arrow and "Переход" stay in view.
    void ToolBar2Resize(TObject* Sender);
    void WebStatusTextChange(TObject* Sender, const AnsiString& Text);
    void WebProgressChange(TObject* Sender, long Progress, long ProgressMax);
    void WebCommandStateChange(TObject* Sender, long Command, bool Enable);
    void WebBeforeNavigate2(TObject* Sender, const AnsiString& URL, bool& Cancel);
    void WebNavigateComplete2(TObject* Sender, const AnsiString& URL);
    void NClick(TObject* Sender);
    void BClick(TObject* Sender);
    void N88Click(TObject* Sender);
    // Search and filtered views.
    void N19Click(TObject* Sender);
    void Timer3Timer(TObject* Sender);
    void N58Click(TObject* Sender);
    void N59Click(TObject* Sender);
    void N60Click(TObject* Sender);
    void N61Click(TObject* Sender);
    void Flash3Click(TObject* Sender);
    void N38Click(TObject* Sender);
    void ToolButton16Click(TObject* Sender);
    void PageControl1Change(TObject* Sender);
    void TabSheet4Show(TObject* Sender);
    void TreeView2Click(TObject* Sender);
    void TreeView2DblClick(TObject* Sender);
    void TreeView2KeyPress(TObject* Sender, char& Key);
    // Notes.
    void N75Click(TObject* Sender);
    void N82Click(TObject* Sender);
    void ToolButton17Click(TObject* Sender);
    void N78Click(TObject* Sender);
    void Memo1Change(TObject* Sender);
    void sToolBar2Enter(TObject* Sender);
    void N85Click(TObject* Sender);
    void ToolButton19Click(TObject* Sender);
    void N79Click(TObject* Sender);
    void N86Click(TObject* Sender);
    void ToolButton20Click(TObject* Sender);
    void N76Click(TObject* Sender);
    void N83Click(TObject* Sender);
    // Skin chooser and view toggles.
    void N5Click(TObject* Sender);
    void Timer5Timer(TObject* Sender);
    void N87Click(TObject* Sender);
    void N89Click(TObject* Sender);
    void N90Click(TObject* Sender);
    void ToolButton13Click(TObject* Sender);
    // About box, settings and the tree panel's width.
    void N35Click(TObject* Sender);
    void ToolButton15Click(TObject* Sender);
    void SettClick(TObject* Sender);
    void Splitter1CanResize(TObject* Sender, int& NewSize, bool& Accept);
    // --- End of handlers -------------------------------------------------------------------

protected:
    // The menu bar takes its height from the client area once the window exists: align the
    // bars and panels again.
    void CreateWnd() override;
    // The end of the session closes the window as the user's close does: its questions when the
    // system asks, the files written when the session ends.
    void WndProc(TMessage& Message) override;

private:
    // Creates every component with its name, captions, hints, shortcuts and events.
    void BuildLayout();
    void BuildMenus();
    void BuildToolBars();
    void BuildPanels();
    void BuildTimersAndDialogs();
    // Loads ImageList1 from the program's bitmap resource (magenta key).
    void LoadImages();

    TMenuItem* NewItem(TMenuItem* Parent, const char* Name, const AnsiString& Caption, TShortCut ShortCut = 0,
                       int ImageIndex = -1);
    TToolButton* NewButton(TToolBar* Bar, const char* Name, const AnsiString& Caption, const AnsiString& Hint,
                           int ImageIndex, TToolButtonStyle Style = tbsButton);
};

// The main window (the first form created).
extern TID_Vellorn* ID_Vellorn;
