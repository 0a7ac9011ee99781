#include "sOpenDialog.h"

#include "Menus.h"
#include "sButton.h"
#include "sCheckBox.h"
#include "sDialogs.h"
#include "sEdit.h"
#include "sFileCtrl.h"
#include "sSkinProvider.h"
#include "sSpeedButton.h"
#include "sStyleSimply.h"
#include "sUtils.h"
#include "SysUtilsFilesNames.h"

namespace {

// Every kind of save dialog (the picture save dialog derives from the picture open dialog).
bool SaveKind(TOpenDialog* Dialog)
{
    return dynamic_cast<TSaveDialog*>(Dialog) || dynamic_cast<TSavePictureDialog*>(Dialog);
}

// The colours of the form's boxes and their captions.
constexpr TColor BoxColor = 4804169;
constexpr TColor BoxTextColor = 13816530;
constexpr TColor CaptionColor = 11645361;

template <class T>
T* Place(TsOpenDialogForm* Form, const char* Name, int Left, int Top, int Width, int Height)
{
    T* c = Create<T>(Form);
    c->SetName(Name);
    c->SetBounds(Left, Top, Width, Height);
    c->SetParent(Form);
    return c;
}

// A tool button with the program's bitmap resource Glyph (none where the program lacks it).
TsSpeedButton* ToolButton(TsOpenDialogForm* Form, const char* Name, const char* Glyph, const AnsiString& Hint, int Left,
                          int Width)
{
    auto* b = Place<TsSpeedButton>(Form, Name, Left, 3, Width, 26);
    b->SkinData()->SetSkinSection("TOOLBUTTON");
    b->SetFlat(true);
    b->SetHint(Hint);
    b->SetShowHint(true);
    LoadResourceGlyph(b, Glyph);
    return b;
}

// Set for the lifetime of the object: the form moves by its own history.
struct TNavigating {
    bool& Flag;
    explicit TNavigating(bool& F) : Flag(F) { Flag = true; }
    ~TNavigating() { Flag = false; }
    TNavigating(const TNavigating&) = delete;
    TNavigating& operator=(const TNavigating&) = delete;
};

template <class T>
void BoxColours(T* Box, const AnsiString& Caption)
{
    Box->SetColor(BoxColor);
    Box->Font()->SetColor(BoxTextColor);
    Box->BoundLabel()->SetActive(true);
    Box->BoundLabel()->SetCaption(Caption);
    Box->BoundLabel()->Font()->SetColor(CaptionColor);
}

TMenuItem* MenuItem(TsOpenDialogForm* Form, TPopupMenu* Menu, const char* Name, const AnsiString& Caption,
                    void (TsOpenDialogForm::*Handler)(TObject*))
{
    auto* item = Create<TMenuItem>(Form);
    item->SetName(Name);
    item->SetCaption(Caption);
    item->OnClick = TNotifyEvent(Form, Handler);
    Menu->Items()->Add(item);
    return item;
}

// A name the user typed that stands for itself: with a drive ("C:\...") or on a server ("\\...").
bool FullName(const AnsiString& Name)
{
    return (Name.size() >= 2 && Name[1] == ':') || Name.starts_with("\\\\");
}

// A typed name as the system reads it: quotes and the blanks around it go, "/" is "\\".
AnsiString CleanName(const AnsiString& Typed)
{
    AnsiString name;
    for (char c : Typed)
        if (c != '"')
            name += c == '/' ? '\\' : c;
    return Trim(name);
}

bool HasWildcards(const AnsiString& Name) { return Name.find_first_of("*?") != AnsiString::npos; }

// The full, canonical path of a cleaned name typed in Folder (the path that reaches the folder
// shown): one with its own drive or server stands for itself, one from the root ("\\x") is on
// Folder's drive; "." and ".." steps are taken. It comes back as the path that reaches the entry it
// names (a short name typed stands for its entry, which comes back in its long form where the code
// page spells it). A mask stays a mask.
AnsiString ResolveName(const AnsiString& Name, const AnsiString& Folder)
{
    AnsiString full = FullName(Name) ? Name : Name.starts_with("\\") ? ExtractFileDrive(Folder) + Name : Folder + Name;
    full = ExpandFileName(full);
    // The system drops blanks and dots that end a name.
    while (full.size() > 3 && (full.back() == ' ' || full.back() == '.'))
        full.pop_back();
    return HasWildcards(full) ? full : ReachingLongPath(full);
}

// A history entry's caption in the menu: every "&" shown as itself.
AnsiString MenuCaption(const AnsiString& Path) { return ReplaceStr(Path, "&", "&&"); }

} // namespace

void LoadResourceGlyph(TsSpeedButton* Button, const char* Resource)
{
    if (!FindResourceA(GetModuleHandleA(nullptr), Resource, MAKEINTRESOURCEA(2)))
        return;
    try {
        TBitmap glyph;
        glyph.LoadFromResourceName(GetModuleHandleA(nullptr), Resource);
        Button->SetGlyph(&glyph);
    } catch (const Exception&) {
    }
}

TsOpenDialogForm::TsOpenDialogForm(TComponent* AOwner) : TForm(AOwner)
{
    const sDialogs::TOpenFormTexts& texts = sDialogs::OpenFormTexts;
    SetCaption(texts.Open);
    SetBorderStyle(bsSizeToolWin);
    SetBounds(0, 0, 480, 310);
    SetClientWidth(472);
    Constraints()->SetMinWidth(480);
    Constraints()->SetMinHeight(310);
    KeyPreview = true;
    SetPosition(poScreenCenter);

    sSkinProvider1 = Create<TsSkinProvider>(this);
    sSkinProvider1->SkinData()->SetSkinSection("DIALOG");
    sSkinProvider1->SetCaptionAlignment(taCenter);
    sSkinProvider1->SetGripMode(gmRightBottom);
    sSkinProvider1->SetShowAppIcon(false);

    HistMenu = Create<TPopupMenu>(this);
    HistMenu->SetName("HistMenu");
    PopupMenu1 = Create<TPopupMenu>(this);
    PopupMenu1->SetName("PopupMenu1");
    List1 = MenuItem(this, PopupMenu1, "List1", texts.List, &TsOpenDialogForm::List1Click);
    List1->SetChecked(true);
    Icons1 = MenuItem(this, PopupMenu1, "Icons1", texts.Report, &TsOpenDialogForm::Icons1Click);
    Icons2 = MenuItem(this, PopupMenu1, "Icons2", texts.Icons, &TsOpenDialogForm::Icons2Click);
    Smallicons1 = MenuItem(this, PopupMenu1, "Smallicons1", texts.SmallIcons, &TsOpenDialogForm::Smallicons1Click);

    DriveComboBox = Place<TsShellComboBox>(this, "DriveComboBox", 57, 6, 270, 24);
    DriveComboBox->SetFillOnDemand(true);
    BoxColours(DriveComboBox, texts.Folder);
    BackBtn = ToolButton(this, "BackBtn", "OPENBACK", texts.Back, 330, 38);
    BackBtn->SetButtonStyle(tbsDropDown);
    BackBtn->SetDropdownMenu(HistMenu);
    BackBtn->SetBlend(30);
    BackBtn->SetWidth(38);
    UpBtn = ToolButton(this, "UpBtn", "OPENUP", texts.Up, 370, 25);
    CreateDirBtn = ToolButton(this, "CreateDirBtn", "OPENNEWDIR", texts.NewFolder, 397, 25);
    CreateDirBtn->SetEnabled(false);
    KindBtn = ToolButton(this, "KindBtn", "OPENVIEW", texts.View, 425, 38);
    KindBtn->SetButtonStyle(tbsDropDown);
    KindBtn->SetDropdownMenu(PopupMenu1);
    KindBtn->SetWidth(38);

    FileListView = Place<TsDlgShellListView>(this, "FileListView", 7, 34, 458, 157);
    FileListView->SetAnchors(TAnchors{akLeft, akTop, akRight, akBottom});
    FileListView->SetColor(BoxColor);
    FileListView->Font()->SetColor(BoxTextColor);
    FileListView->SetHideSelection(false);
    FileListView->SetViewStyle(vsList);
    FileListView->SetShellComboBox(DriveComboBox);
    FileListView->SetColumnTexts({texts.NameColumn, texts.SizeColumn, texts.TypeColumn, texts.ModifiedColumn,
                                  texts.AttributesColumn, texts.FolderType, texts.PlainFileType, texts.ExtensionType,
                                  texts.SizeKB});
    FFileListProc = FileListView->WindowProc;
    FileListView->WindowProc = TWndMethod(this, &TsOpenDialogForm::FileListWindowProc);

    FileNameEdit = Place<TsEdit>(this, "FileNameEdit", 80, 198, 285, 21);
    FileNameEdit->SetText("");
    BoxColours(FileNameEdit, texts.FileName);
    FileTypeBox = Place<TsFilterComboBox>(this, "FileTypeBox", 80, 226, 285, 21);
    BoxColours(FileTypeBox, texts.FileType);

    sButton1 = Place<TsButton>(this, "sButton1", 384, 200, 73, 23);
    sButton1->SetCaption(texts.Open);
    sButton1->SetDefault(true);
    sButton2 = Place<TsButton>(this, "sButton2", 384, 224, 73, 23);
    sButton2->SetCaption(texts.Cancel);
    sButton2->SetCancel(true);
    BtnHelp = Place<TsButton>(this, "BtnHelp", 384, 248, 73, 23);
    BtnHelp->SetCaption(texts.Help);
    CheckBoxReadOnly = Place<TsCheckBox>(this, "CheckBoxReadOnly", 81, 255, 75, 20);
    CheckBoxReadOnly->SetCaption(texts.ReadOnly);
    CheckBoxReadOnly->SetAnchors(TAnchors{akLeft, akBottom});
    CheckBoxReadOnly->SetVisible(false);

    DriveComboBox->OnChange = TNotifyEvent(this, &TsOpenDialogForm::DriveComboBoxChange);
    BackBtn->OnClick = TNotifyEvent(this, &TsOpenDialogForm::BackBtnClick);
    UpBtn->OnClick = TNotifyEvent(this, &TsOpenDialogForm::UpBtnClick);
    CreateDirBtn->OnClick = TNotifyEvent(this, &TsOpenDialogForm::CreateDirBtnClick);
    KindBtn->OnClick = TNotifyEvent(this, &TsOpenDialogForm::KindBtnClick);
    FileListView->OnChange = TLVChangeEvent(this, &TsOpenDialogForm::FileListViewChange);
    FileListView->OnDblClick = TNotifyEvent(this, &TsOpenDialogForm::FileListViewDblClick);
    FileTypeBox->OnChange = TNotifyEvent(this, &TsOpenDialogForm::FileTypeBoxChange);
    sButton1->OnClick = TNotifyEvent(this, &TsOpenDialogForm::sButton1Click);
    sButton2->OnClick = TNotifyEvent(this, &TsOpenDialogForm::sButton2Click);
    BtnHelp->OnClick = TNotifyEvent(this, &TsOpenDialogForm::BtnHelpClick);
    OnShow = TNotifyEvent(this, &TsOpenDialogForm::FormShow);
    OnClose = TCloseEvent(this, &TsOpenDialogForm::FormClose);
    OnCloseQuery = TCloseQueryEvent(this, &TsOpenDialogForm::FormCloseQuery);
    SetModalResult(mrCancel);
}

TsOpenDialogForm::~TsOpenDialogForm() { FileListView->WindowProc = FFileListProc; }

void TsOpenDialogForm::FileListWindowProc(TMessage& Message)
{
    // The box a name is renamed in has the list's colours.
    if (Message.Msg == WM_CTLCOLOREDIT && sSkinData && sSkinData->Active) {
        const HDC dc = reinterpret_cast<HDC>(Message.WParam);
        SetTextColor(dc, ColorToRGB(FileListView->Font()->Color()));
        SetBkColor(dc, ColorToRGB(FileListView->Color()));
        FileListView->Brush()->SetColor(FileListView->Color());
        Message.Result = reinterpret_cast<LRESULT>(FileListView->Brush()->Handle());
        return;
    }
    FFileListProc(Message);
    if (Message.Msg != CN_NOTIFY || reinterpret_cast<NMHDR*>(Message.LParam)->code != NM_CUSTOMDRAW ||
        !sSkinData || !sSkinData->Active)
        return;
    // A selected row shows the selection's colours with the focus elsewhere too (the system
    // draws it as a light box then). Rows are drawn one by one only then: each row's notice reads
    // the row again.
    auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(Message.LParam);
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
        if (!(Message.Result & CDRF_SKIPDEFAULT) && !FileListView->Focused() &&
            ListView_GetSelectedCount(FileListView->Handle()) > 0)
            Message.Result |= CDRF_NOTIFYITEMDRAW;
    } else if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT && (draw->nmcd.uItemState & CDIS_SELECTED) &&
               !FileListView->Focused()) {
        draw->nmcd.uItemState &= ~CDIS_SELECTED;
        draw->clrTextBk = ColorToRGB(clHighlight);
        draw->clrText = ColorToRGB(clHighlightText);
    }
}

// --- OK and Cancel -----------------------------------------------------------------------------

void TsOpenDialogForm::sButton1Click(TObject*)
{
    // Enter while a name in the list is edited ends the edit (the new name is kept), nothing else.
    if (FileListView->IsEditing()) {
        SetModalResult(mrNone);
        FileListView->SetFocus();
        return;
    }
    if (FileListView->Focused()) {
        TacShellFolder* selected = FileListView->SelectedFolder();
        if (selected && selected->IsFolder()) {
            SetModalResult(mrNone);
            TItemIDList id(CopyPIDL(selected->AbsoluteID()));
            FileListView->SetPathFromID(id.get());
            return;
        }
    }
    const sDialogs::TOpenFormTexts& texts = sDialogs::OpenFormTexts;
    // The name box still names the rows selected, and some of them no path reaches.
    if (!FUnreachable.empty() && FileNameEdit->Text() == FSelectionText) {
        ShowWarning(FUnreachable + "\r\n" + texts.Unreachable);
        return;
    }
    // While the box shows what the pick of one row put there, the answer is that row's own path:
    // read back as a typed name, " welcome.html" would lose its blank and name another file.
    const bool picked = !FPickedPath.empty() && FileNameEdit->Text() == FSelectionText;
    TStrings* files = OwnerDialog ? OwnerDialog->Files() : nullptr;
    const AnsiString typed = picked                             ? FPickedPath
                             : files && files->Count() > 1 ? files->Strings(files->Count() - 1)
                                                           : CleanName(FileNameEdit->Text());
    if (typed.empty())
        return;
    // A name in the folder shown is taken by the path that reaches the folder; a folder that no
    // path reaches (a virtual one, or one the code page cannot name) takes full names only.
    const AnsiString folder = DriveComboBox->GetPath();
    if (folder.empty() && !FullName(typed)) {
        ShowWarning(typed + "\r\n" + texts.PathNotFound);
        return;
    }
    // A path ending in a device's name opens the device, whatever the folder holds.
    if (DeviceName(ExtractFileName(typed))) {
        ShowWarning((FullName(typed) ? typed : folder + typed) + "\r\n" + texts.DeviceName);
        return;
    }
    const AnsiString path = picked ? typed : ResolveName(typed, folder);
    // A mask lists the files it matches, in its folder; a folder opens; the form stays.
    if (!picked && HasWildcards(typed)) {
        SetModalResult(mrNone);
        const AnsiString maskFolder = ExtractFilePath(path);
        if (SameText(maskFolder, folder) || (DirectoryExists(maskFolder) && ShowFolder(maskFolder))) {
            FileListView->SetMask(ExtractFileName(path));
            FileNameEdit->SetText(ExtractFileName(path));
        }
        return;
    }
    if (DirectoryExists(path)) {
        SetModalResult(mrNone);
        if (ShowFolder(IncludeTrailingBackslash(path)))
            FileNameEdit->SetText("");
        return;
    }
    FileName = path;
    if (!picked && OwnerDialog && ExtractFileExt(FileName).empty() && !OwnerDialog->DefaultExt.empty())
        FileName += "." + OwnerDialog->DefaultExt;

    const TOpenOptions options = OwnerDialog ? OwnerDialog->Options : TOpenOptions();
    if (options.Contains(ofOverwritePrompt) && SaveKind(OwnerDialog) && FileExists(FileName)) {
        if (CustomRequest(ExtractFileName(FileName) + "\r\n" + texts.Overwrite))
            SetModalResult(mrOk);
        return;
    }
    if (options.Contains(ofPathMustExist) && !DirectoryExists(ExtractFilePath(FileName))) {
        ShowWarning(ExtractFilePath(FileName) + "\r\n" + texts.PathNotFound);
        return;
    }
    if (!FileExists(FileName)) {
        if (options.Contains(ofCreatePrompt)) {
            if (!CustomRequest(FileName + "\r\n" + texts.CreatePrompt))
                return;
            const HANDLE file = CreateFileA(FileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                            FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file != INVALID_HANDLE_VALUE)
                CloseHandle(file);
        }
        if (options.Contains(ofFileMustExist) && !FileExists(FileName)) {
            ShowWarning(FileName + "\r\n" + texts.FileNotFound);
            return;
        }
    }
    SetModalResult(mrOk);
}

void TsOpenDialogForm::sButton2Click(TObject*)
{
    // Escape while a name in the list is edited ends the edit (the old name stays), nothing else.
    if (FileListView->IsEditing()) {
        SetModalResult(mrNone);
        // The edit box's own Escape: the list's cancel message would keep the new name here.
        SendMessageA(ListView_GetEditControl(FileListView->Handle()), WM_KEYDOWN, VK_ESCAPE, 0);
        return;
    }
    SetModalResult(mrCancel);
}

// --- The list -----------------------------------------------------------------------------------

void TsOpenDialogForm::FileListViewChange(TObject*, TListItem* Item, TItemChange Change)
{
    if (Change != ctState || ComponentState().Contains(csDestroying) || !OwnerDialog ||
        OwnerDialog->ComponentState().Contains(csDestroying))
        return;
    // The item whose state changed, when it is a selected file.
    TacShellFolder* selected = Item ? FileListView->GetFolder(Item->Index()) : FileListView->SelectedFolder();
    if (!selected || selected->IsFolder() || (Item && !Item->Selected()))
        return;
    // Each file is handed on by the path that reaches it; the box shows that path's name, or the
    // row's own name for a row that no path reaches (OK then refuses it).
    FUnreachable.clear();
    auto chosen = [this](TacShellFolder* F, AnsiString& Shown) {
        const AnsiString path = F->FileSystemPath();
        Shown = path.empty() ? F->DisplayName() : ExtractFileName(path);
        if (path.empty())
            FUnreachable += (FUnreachable.empty() ? "\"" : "\r\n\"") + Shown + "\"";
        return path;
    };
    AnsiString shownName;
    FPickedPath.clear();
    if (FileListView->MultiSelect()) {
        // Every selected file, in the list's order (folders left out); the box shows their names
        // quoted when there are several.
        TStrings* files = OwnerDialog->Files();
        files->Clear();
        AnsiString shown;
        int count = 0;
        for (int i = static_cast<int>(FileListView->Perform(LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED)); i >= 0;
             i = static_cast<int>(FileListView->Perform(LVM_GETNEXTITEM, WPARAM(i), LVNI_SELECTED))) {
            TacShellFolder* f = FileListView->GetFolder(i);
            if (!f || f->IsFolder())
                continue;
            const AnsiString path = chosen(f, shownName);
            if (!path.empty())
                files->Add(path);
            shown += (shown.empty() ? "\"" : " \"") + shownName + "\"";
            ++count;
        }
        if (count >= 2) {
            FileNameEdit->SetText(shown);
            OwnerDialog->FileName = files->Count() > 0 ? files->Strings(0) : AnsiString();
        } else {
            FUnreachable.clear();
            OwnerDialog->FileName = FPickedPath = chosen(selected, shownName);
            FileNameEdit->SetText(shownName);
        }
    } else {
        OwnerDialog->FileName = FPickedPath = chosen(selected, shownName);
        FileNameEdit->SetText(shownName);
    }
    FSelectionText = FileNameEdit->Text();
    OwnerDialog->DoSelectionChange();
}

void TsOpenDialogForm::FileListViewDblClick(TObject*)
{
    TacShellFolder* selected = FileListView->SelectedFolder();
    if (!selected)
        return;
    if (selected->IsFolder()) {
        TItemIDList id(CopyPIDL(selected->AbsoluteID()));
        FileListView->SetPathFromID(id.get());
    } else {
        sButton1->Click();
    }
}

void TsOpenDialogForm::List1Click(TObject*)
{
    FileListView->SetViewStyle(vsList);
    for (TMenuItem* item : {List1, Icons1, Icons2, Smallicons1})
        item->SetChecked(item == List1);
}

void TsOpenDialogForm::Icons1Click(TObject*)
{
    FileListView->SetViewStyle(vsReport);
    for (TMenuItem* item : {List1, Icons1, Icons2, Smallicons1})
        item->SetChecked(item == Icons1);
}

void TsOpenDialogForm::Icons2Click(TObject*)
{
    FileListView->SetViewStyle(vsIcon);
    for (TMenuItem* item : {List1, Icons1, Icons2, Smallicons1})
        item->SetChecked(item == Icons2);
}

void TsOpenDialogForm::Smallicons1Click(TObject*)
{
    FileListView->SetViewStyle(vsSmallIcon);
    for (TMenuItem* item : {List1, Icons1, Icons2, Smallicons1})
        item->SetChecked(item == Smallicons1);
}

void TsOpenDialogForm::KindBtnClick(TObject*)
{
    switch (FileListView->ViewStyle()) {
    case vsIcon: List1->Click(); break;
    case vsList: Icons1->Click(); break;
    case vsReport: Icons2->Click(); break;
    default: break;
    }
}

void TsOpenDialogForm::FileTypeBoxChange(TObject*)
{
    FileListView->SetMask(FileTypeBox->GetMask());
    if (OwnerDialog && OwnerDialog->OnTypeChange)
        OwnerDialog->OnTypeChange(this);
}

// --- Folders and history ------------------------------------------------------------------------

void TsOpenDialogForm::UpBtnClick(TObject*) { FileListView->Back(); }

void TsOpenDialogForm::DriveComboBoxChange(TObject*) { FolderChanged(); }

void TsOpenDialogForm::FolderChanged()
{
    AddPathToHistory(DriveComboBox->GetPath());
    UpBtn->SetEnabled(DriveComboBox->ItemIndex() != 0);
    BackBtn->SetEnabled(FHistory && FHistory->Count() >= 1);
    FNavigating = false;
    if (OwnerDialog && OwnerDialog->OnFolderChange)
        OwnerDialog->OnFolderChange(this);
}

void TsOpenDialogForm::AddPathToHistory(const AnsiString& Path)
{
    if (FNavigating || Path.empty() || !DirectoryExists(Path))
        return;
    if (!FHistory)
        FHistory = std::make_unique<TStringList>();
    if (FHistory->Count() > 0 && FHistory->Strings(FHistory->Count() - 1) == Path)
        return;
    AddNewHist(Path);
}

void TsOpenDialogForm::AddNewHist(const AnsiString& Path)
{
    TMenuItem* items = HistMenu->Items();
    if (items->Count() > 0)
        items->Items(items->Count() - 1)->SetVisible(true);
    FHistory->Add(Path);
    auto* item = Create<TMenuItem>(this);
    item->SetCaption(MenuCaption(Path));
    item->OnClick = TNotifyEvent(this, &TsOpenDialogForm::OnHistClick);
    item->SetVisible(false);
    items->Add(item);
}

void TsOpenDialogForm::DeleteHistMenu()
{
    if (!FHistory || FHistory->Count() == 0)
        return;
    FHistory->Delete(FHistory->Count() - 1);
    TMenuItem* items = HistMenu->Items();
    if (items->Count() > 0) {
        TMenuItem* last = items->Items(items->Count() - 1);
        items->Remove(last);
        last->Free();
    }
}

bool TsOpenDialogForm::ShowFolder(const AnsiString& Path)
{
    try {
        DriveComboBox->SetPath(Path);
    } catch (const Exception&) {
        return false;
    }
    if (TacShellFolder* f = DriveComboBox->GetFolder(DriveComboBox->ItemIndex()))
        FileListView->TreeUpdate(f->AbsoluteID());
    FolderChanged();
    return true;
}

void TsOpenDialogForm::BackBtnClick(TObject*)
{
    const TNavigating navigating(FNavigating);
    // The entries of the folder shown (the last, and the same folder reached again through the
    // menu) go; the first other one is shown, and one that has gone from the disk is passed over.
    while (FHistory && FHistory->Count() >= 2) {
        const AnsiString prev = FHistory->Strings(FHistory->Count() - 2);
        DeleteHistMenu();
        if (TMenuItem* items = HistMenu->Items(); items->Count() > 0)
            items->Items(items->Count() - 1)->SetVisible(false);
        if (SameText(prev, DriveComboBox->GetPath()) || !ShowFolder(prev))
            continue;
        break;
    }
    BackBtn->SetEnabled(FHistory && FHistory->Count() >= 1);
}

void TsOpenDialogForm::OnHistClick(TObject* Sender)
{
    // The entry's path is the history's own line: the menu's caption shows "&" doubled.
    TMenuItem* item = dynamic_cast<TMenuItem*>(static_cast<TComponent*>(Sender));
    const int index = item ? item->MenuIndex() : -1;
    if (!FHistory || index < 0 || index >= FHistory->Count())
        return;
    const AnsiString path = FHistory->Strings(index);
    const TNavigating navigating(FNavigating);
    if (!SameText(path, DriveComboBox->GetPath()))
        ShowFolder(path);
}

void TsOpenDialogForm::CreateDirBtnClick(TObject*) {}

void TsOpenDialogForm::BtnHelpClick(TObject*)
{
    if (OwnerDialog)
        Application->HelpContext(OwnerDialog->HelpContext);
}

// --- The form ----------------------------------------------------------------------------------

void TsOpenDialogForm::FormShow(TObject*)
{
    if (OwnerDialog && OwnerDialog->OnShow)
        OwnerDialog->OnShow(this);
    if (FileAreaWidth > 0)
        FileListView->SetWidth(FileAreaWidth);
    FolderChanged();
    for (TControl* c : {static_cast<TControl*>(sButton1), static_cast<TControl*>(sButton2),
                        static_cast<TControl*>(BtnHelp)})
        c->SetAnchors(TAnchors{akRight, akBottom});
    FileNameEdit->SetAnchors(TAnchors{akLeft, akRight, akBottom});
    FileTypeBox->SetAnchors(TAnchors{akLeft, akRight, akBottom});
    // A name typed at once goes into the name box.
    SetActiveControl(FileNameEdit);
}

void TsOpenDialogForm::FormClose(TObject*, TCloseAction&)
{
    if (OwnerDialog && OwnerDialog->OnClose)
        OwnerDialog->OnClose(this);
}

void TsOpenDialogForm::FormCloseQuery(TObject*, bool& CanClose)
{
    if (OwnerDialog && OwnerDialog->OnCanClose)
        OwnerDialog->OnCanClose(this, CanClose);
}
