#include "sFileListView.h"

#include <richedit.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "DriveSeams.h"
#include "SysUtilsFilesNames.h"
#include "Forms.h"
#include "sBitBtn.h"
#include "sCheckBox.h"
#include "sConst.h"
#include "sDialogs.h"
#include "sLabel.h"
#include "sMemo.h"
#include "sPanel.h"
#include "sRichEdit.h"
#include "sSkinProvider.h"

const char InvalidNameChars[] = "\\/:*?\"<>|";

namespace {

const char* const DateFormats[] = {"MM/dd/yyyy", "MM/dd/yy", "dd/MM/yyyy", "dd/MM/yy",
                                   "dd.MM.yy",   "dd-MM-yy", "yyyy-MM-dd", "yy-MM-dd"};

// The most bytes a file may have to be put on the clipboard as contents.
constexpr Int64 ClipboardContentsLimit = Int64(64) << 20;

AnsiString LocaleText(LCTYPE Type)
{
    char buffer[100] = {};
    GetLocaleInfoA(GetThreadLocale(), Type, buffer, sizeof buffer);
    return buffer;
}

AnsiString Quoted(const AnsiString& S) { return "\"" + S + "\""; }

bool IsDriveRoot(const AnsiString& Dir)
{
    return (Dir.size() == 2 || (Dir.size() == 3 && Dir[2] == '\\')) && Dir[1] == ':';
}

// A folder whose parent is the list of drives: a drive's root, or a share ("\\server\share").
bool IsTopFolder(const AnsiString& Dir)
{
    return IsDriveRoot(Dir) || (Dir.starts_with("\\\\") && SameText(DelSlash(Dir), ExtractFileDrive(Dir)));
}

// The name by which a path reaches the entry found (see TFileEntry); "" when there is none.
AnsiString ReachingName(const AnsiString& Name, bool Exact, const wchar_t* ShortName)
{
    if (Exact && NameReachesEntry(Name))
        return Name;
    bool exact = false;
    const AnsiString shortName = NarrowFileName(ShortName, exact);
    return exact ? shortName : AnsiString();
}

// The screen's cursor is the hour-glass while it lives.
class THourGlass {
public:
    THourGlass() : FSaved(Screen->Cursor()) { Screen->SetCursor(crHourGlass); }
    ~THourGlass() { Screen->SetCursor(FSaved); }
    THourGlass(const THourGlass&) = delete;
    THourGlass& operator=(const THourGlass&) = delete;

private:
    TCursor FSaved;
};

struct TFormFree {
    void operator()(TForm* F) const { F->Free(); }
};

} // namespace

// The shell's type name and icon of the entries of one listing. Files of one extension share them
// (asked once), except the kinds whose every file has an icon of its own, and so do plain folders;
// a read-only or system folder (one the shell may give a look of its own) is asked alone.
class TsFileListView::TShellInfoCache {
public:
    void Get(const AnsiString& Path, const TFileEntry& Entry, AnsiString& TypeName, int& Icon)
    {
        const bool folder = (Entry.Attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        AnsiString key;
        if (folder) {
            if (!(Entry.Attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM)))
                key = "\\";
        } else {
            key = UpperCase(ExtractFileExt(Entry.Name));
            static const char* const own[] = {".EXE", ".ICO", ".LNK", ".CUR", ".ANI", ".URL", ".PIF", ".SCR"};
            if (std::any_of(std::begin(own), std::end(own), [&](const char* e) { return key == e; }))
                key.clear();
            else
                key.insert(0, "*");
        }
        if (!key.empty())
            if (const auto it = FKnown.find(key); it != FKnown.end()) {
                TypeName = it->second.first;
                Icon = it->second.second;
                return;
            }
        // What all entries of a kind share comes from the kind alone (the name and attributes), not
        // from the entry on disk, which the shell would read at length.
        SHFILEINFOA info{};
        SHGetFileInfoA(Path.c_str(), key.empty() ? 0 : Entry.Attributes, &info, sizeof info,
                       SHGFI_SYSICONINDEX | SHGFI_TYPENAME | (key.empty() ? 0 : SHGFI_USEFILEATTRIBUTES));
        TypeName.assign(info.szTypeName, strnlen(info.szTypeName, sizeof info.szTypeName));
        Icon = info.iIcon;
        if (!key.empty())
            FKnown.emplace(key, std::make_pair(TypeName, Icon));
    }

private:
    std::map<AnsiString, std::pair<AnsiString, int>> FKnown;
};

namespace {

// The clipboard, open while it lives (empty when EmptyFirst).
class TOpenClipboard {
public:
    explicit TOpenClipboard(HWND Owner) : FOpen(OpenClipboard(Owner) != FALSE)
    {
        if (FOpen)
            EmptyClipboard();
    }
    ~TOpenClipboard()
    {
        if (FOpen)
            CloseClipboard();
    }
    TOpenClipboard(const TOpenClipboard&) = delete;
    TOpenClipboard& operator=(const TOpenClipboard&) = delete;
    bool Open() const { return FOpen; }

private:
    bool FOpen;
};

struct TStreamSource {
    const AnsiString* Text;
    std::size_t Done = 0;
};

DWORD CALLBACK StreamIn(DWORD_PTR Cookie, LPBYTE Buffer, LONG Size, LONG* Read)
{
    auto* source = reinterpret_cast<TStreamSource*>(Cookie);
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(Size), source->Text->size() - source->Done);
    std::copy_n(source->Text->data() + source->Done, n, Buffer);
    source->Done += n;
    *Read = static_cast<LONG>(n);
    return 0;
}

} // namespace

// --- Construction -------------------------------------------------------------------------------

TsFileListView::TsFileListView(TComponent* AOwner)
    : TsCustomListView(AOwner), FClipboard(std::make_unique<TStringList>())
{
    SetViewStyle(vsReport);
    SetMultiSelect(true);
    SetReadOnly(false);
    SetHideSelection(false);
    SetShowColumnHeaders(true);
    SetDaTeFormat(df_Customize);
    OnCompare = TLVCompareEvent(this, &TsFileListView::CompareFiles);
    OnColumnClick = TLVColumnClickEvent(this, &TsFileListView::SortColumnClick);
}

TsFileListView::~TsFileListView() = default;

void TsFileListView::AfterConstruction()
{
    inherited::AfterConstruction();
    FMenu = Create<TsFilelistViewPopUp>(this);
    FMenu->AutoPopup = true;
    FMenu->SetFileListView(this);
    SetPopupMenu(FMenu);
}

void TsFileListView::Loaded()
{
    inherited::Loaded();
    FileColumns();
}

void TsFileListView::CreateWnd()
{
    inherited::CreateWnd();
    Font()->SetName("MS Sans Serif");
    Font()->SetSize(8);
    // A window made again keeps the columns of what it shows.
    if (!ComponentState().Contains(csLoading) && Columns()->Count() == 0)
        FileColumns();
}

// --- Properties ---------------------------------------------------------------------------------

void TsFileListView::SetDirectory(const AnsiString& Value)
{
    if (FChangingDir || AnsiSameText(Value, FDirectory))
        return;
    FChangingDir = true;
    struct TDone {
        bool& Flag;
        ~TDone() { Flag = false; }
    } done{FChangingDir};
    if (Value.empty() || DirectoryExists(Value)) {
        if (OnBeforeDirChanging)
            OnBeforeDirChanging(this);
        // A folder named from the current one is kept as the full path it names now: the rows'
        // paths must not follow a later change of the current folder. ("C:" lists the root.)
        const bool full = Value.empty() || (Value.size() == 2 && Value[1] == ':') ||
                          (Value.size() > 2 && Value[1] == ':' && Value[2] == '\\') || Value.rfind("\\\\", 0) == 0;
        FDirectory = full ? Value : ExpandFileName(Value);
        UpdateFileList();
    }
    if (OnAfterDirChanging)
        OnAfterDirChanging(this);
}

void TsFileListView::SetFileType(TFileType Value)
{
    if (Value == FFileType)
        return;
    FFileType = Value;
    UpdateFileList();
}

void TsFileListView::SetMask(const AnsiString& Value)
{
    if (Value == FMask)
        return;
    FMask = Value;
    UpdateFileList();
}

void TsFileListView::SetShowFolders(bool Value)
{
    if (Value == FShowFolders)
        return;
    FShowFolders = Value;
    UpdateFileList();
}

void TsFileListView::SetShowParentItem(bool Value)
{
    if (Value == FShowParentItem)
        return;
    FShowParentItem = Value;
    UpdateFileList();
}

void TsFileListView::SetPopUpMenuEnabled(bool Value)
{
    FPopUpMenuEnabled = Value;
    ReleaseCapture();
}

void TsFileListView::SetDaTeFormat(TDTFormat Value)
{
    FDateFormat = Value;
    FDateFormatText = Value == df_Customize ? LocaleText(LOCALE_SSHORTDATE) : AnsiString(DateFormats[Value]);
}

void TsFileListView::SetTFormatStr(const AnsiString& Value)
{
    FTimeFormatText = Value.empty() ? LocaleText(LOCALE_STIMEFORMAT) : Value;
}

int TsFileListView::SelectedNumber()
{
    const int n = SelCount();
    return n > 0 ? n : Items()->Count();
}

Int64 TsFileListView::SelectedSize()
{
    Int64 total = 0;
    for (const AnsiString& path : SelectedPaths()) {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA(path.c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE)
            continue;
        total += (static_cast<Int64>(fd.nFileSizeHigh) << 32) + fd.nFileSizeLow;
        FindClose(h);
    }
    return total;
}

Int64 TsFileListView::sGetFreeSpace()
{
    return GetFreeDiskSize(FDirectory.empty() ? AnsiString() : FDirectory.substr(0, 1) + ":\\");
}

bool TsFileListView::Operable(TListItem* Item)
{
    const auto* row = static_cast<const TFileRow*>(Item->Data());
    return !IsParentRow(Item) && (!row || (!row->Parent && row->Reachable));
}

std::vector<AnsiString> TsFileListView::PathsFor(const AnsiString& Action, bool KeepNames)
{
    std::vector<AnsiString> paths;
    AnsiString refused;
    TListItems* items = Items();
    for (int i = 0, n = items->Count(); i < n; ++i) {
        TListItem* item = items->Item(i);
        if (!item->Selected() || IsParentRow(item))
            continue;
        const auto* row = static_cast<const TFileRow*>(item->Data());
        const bool own = !row || RowKind(item) == "drv" || ExtractFileName(RowPath(item)) == row->Name;
        if (Operable(item) && (!KeepNames || own))
            paths.push_back(RowPath(item));
        else
            refused += "\r\n\"" + (row ? row->Name : item->Caption()) + "\"";
    }
    const sDialogs::TOpenFormTexts& texts = sDialogs::OpenFormTexts;
    if (!refused.empty())
        sMessageDlg(Format(texts.Cannot, {Action}) + ":" + refused + "\r\n" +
                        (KeepNames ? texts.NameNotCarried : texts.Unreachable),
                    mtError, TMsgDlgButtons{mbOK}, 0);
    return paths;
}

std::vector<AnsiString> TsFileListView::SelectedPaths()
{
    std::vector<AnsiString> paths;
    TListItems* items = Items();
    for (int i = 0, n = items->Count(); i < n; ++i) {
        TListItem* item = items->Item(i);
        if (item->Selected() && Operable(item))
            paths.push_back(RowPath(item));
    }
    return paths;
}

TListItem* TsFileListView::SelectedFileRow()
{
    TListItem* row = Selected();
    return row && Operable(row) ? row : nullptr;
}

AnsiString TsFileListView::InFolder(const AnsiString& Path) const
{
    if (Path.empty() || !PathIsRelativeA(Path.c_str()))
        return Path.size() > 1 && Path[0] == '\\' && Path[1] != '\\' ? ExtractFileDrive(FDirectory) + Path : Path;
    return AddSlash(FDirectory) + Path;
}

HWND TsFileListView::OwnerWindow() { return Parent() ? Parent()->Handle() : Handle(); }

// --- Listing ------------------------------------------------------------------------------------

void TsFileListView::Createimages()
{
    InitShellImageLists(true, true);
    if (!LargeImages())
        SetLargeImages(LargeShellImages);
    if (!SmallImages())
        SetSmallImages(SmallShellImages);
}

namespace {

struct TColumnPlan {
    const char* Caption;
    int Width;
    TAlignment Alignment;
};

template <std::size_t N>
void SetColumns(TListColumns* Columns, const TColumnPlan (&Plans)[N])
{
    Columns->Clear();
    for (const TColumnPlan& c : Plans) {
        TListColumn* column = Columns->Add();
        column->SetCaption(c.Caption);
        column->SetWidth(c.Width);
        column->SetAlignment(c.Alignment);
    }
}

} // namespace

void TsFileListView::FileColumns()
{
    static const TColumnPlan columns[] = {{"Name", 150, taLeftJustify},
                                          {"Size", 75, taRightJustify},
                                          {"Type", 75, taLeftJustify},
                                          {"Modified", 100, taLeftJustify},
                                          {"Attr", 35, taLeftJustify}};
    SetColumns(Columns(), columns);
    // The times are shown whole: the column is at least as wide as the longest of them (late in
    // the last days of a year) and the margins of a cell.
    TBitmap measure;
    measure.Canvas()->Font()->Assign(Font());
    const TDateTime widest = EncodeDate(2028, 12, 28) + (23 * 3600 + 58 * 60 + 58) / 86400.0;
    const int width = measure.Canvas()->TextWidth(FormatDateTime(FDateFormatText + " " + FTimeFormatText, widest)) + 16;
    Column(3)->SetWidth(std::max(Column(3)->Width(), width));
}

void TsFileListView::DriveColumns()
{
    static const TColumnPlan columns[] = {{"Name", 140, taLeftJustify},
                                          {"Type", 80, taLeftJustify},
                                          {"Disk Size", 80, taRightJustify},
                                          {"Free Space", 90, taRightJustify},
                                          {"Attributes", 36, taLeftJustify}};
    SetColumns(Columns(), columns);
}

AnsiString TsFileListView::ExistingFolder() const
{
    AnsiString folder = FDirectory;
    while (!Trim(folder).empty() && !DirectoryExists(folder)) {
        const AnsiString up = IsTopFolder(folder) ? AnsiString() : ExtractFileDir(DelSlash(folder));
        folder = up == DelSlash(folder) ? AnsiString() : up;
    }
    return folder;
}

void TsFileListView::UpdateFileList()
{
    // A folder shown that has gone gives way to its nearest parent that still exists.
    if (!FChangingDir)
        if (const AnsiString existing = ExistingFolder(); existing != FDirectory) {
            SetDirectory(existing);
            return;
        }
    TListItems* items = Items();
    items->BeginUpdate();
    SkinData()->BeginUpdate();
    THourGlass hourGlass;
    {
        struct TEnd {
            TsFileListView* View;
            ~TEnd()
            {
                View->SkinData()->EndUpdate();
                View->Items()->EndUpdate();
            }
        } end{this};
        Createimages();
        items->Clear();
        FRows.clear();
        FTotalSize = 0;
        if (!FDirectory.empty()) {
            FileColumns();
            static const std::pair<TFileAttr, DWORD> values[] = {{ftReadOnly, FILE_ATTRIBUTE_READONLY},
                                                                 {ftHidden, FILE_ATTRIBUTE_HIDDEN},
                                                                 {ftSystem, FILE_ATTRIBUTE_SYSTEM},
                                                                 {ftArchive, FILE_ATTRIBUTE_ARCHIVE},
                                                                 {ftNormal, FILE_ATTRIBUTE_NORMAL}};
            DWORD attr = 0;
            for (const auto& [member, value] : values)
                if (FFileType.Contains(member))
                    attr |= value;
            const AnsiString folder = AddSlash(FDirectory);
            std::vector<AnsiString> parts;
            for (std::size_t start = 0; start <= FMask.size();) {
                std::size_t end = FMask.find(';', start);
                if (end == AnsiString::npos)
                    end = FMask.size();
                if (AnsiString part = Trim(FMask.substr(start, end - start)); !part.empty())
                    parts.push_back(std::move(part));
                start = end + 1;
            }
            auto every = [](const AnsiString& Part) { return Part == "*.*" || Part == "*"; };
            // The folders' pass sees every file too: a mask of every file takes them from there
            // instead of reading the folder a second time.
            const bool share = FShowFolders && std::any_of(parts.begin(), parts.end(), every);
            std::vector<TFileEntry> files;
            TShellInfoCache shell;
            if (FShowFolders)
                AddFiles(folder + "*.*", attr | FILE_ATTRIBUTE_DIRECTORY, shell, share ? &files : nullptr);
            bool shared = false;
            for (const AnsiString& part : parts) {
                if (share && !shared && every(part)) {
                    shared = true;
                    FFileView = true;
                    for (const TFileEntry& entry : files)
                        AddEntry(entry, shell);
                } else {
                    AddFiles(folder + part, attr, shell);
                }
            }
        } else {
            DriveColumns();
            AddDrives();
        }
        FReverse = true;
        SortColumnClick(this, Column(0));
    }
    RefreshScrolls();
    if (items->Count() > 0 && !Selected())
        items->Item(0)->SetFocused(true);
}

bool TsFileListView::AddFiles(const AnsiString& Path, DWORD Attr, TShellInfoCache& Shell,
                              std::vector<TFileEntry>* Files)
{
    FFileView = true;
    // The search is made by wide names, so that a name the code page cannot hold is known as such.
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW(AnsiToWide(Path).c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    bool added = false;
    const DWORD folderBit = Attr & FILE_ATTRIBUTE_DIRECTORY;
    const DWORD hidingBits = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    do {
        if (fd.dwFileAttributes & hidingBits & ~Attr)
            continue;
        bool exact = false;
        TFileEntry entry{fd.dwFileAttributes, (static_cast<Int64>(fd.nFileSizeHigh) << 32) + fd.nFileSizeLow,
                         fd.ftLastWriteTime, NarrowFileName(fd.cFileName, exact), AnsiString(), fd.cFileName};
        entry.Address = ReachingName(entry.Name, exact, fd.cAlternateFileName);
        if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == folderBit)
            added = AddEntry(entry, Shell) || added;
        else if (Files)
            Files->push_back(std::move(entry));
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return added;
}

bool TsFileListView::AddEntry(const TFileEntry& Entry, TShellInfoCache& Shell)
{
    const AnsiString& name = Entry.Name;
    const bool parent = name == "..";
    if (name == "." || (parent && !FShowParentItem))
        return false;
    const bool folder = (Entry.Attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    // A path of MAX_PATH characters or more is cut short by the calls that take it.
    const AnsiString reaching = AddSlash(FDirectory) + Entry.Address;
    const bool reachable = !Entry.Address.empty() && reaching.size() < MAX_PATH;
    const AnsiString path = reachable ? reaching : AddSlash(FDirectory) + name;
    AnsiString typeName = " ";
    int icon = -1;
    if (!parent)
        Shell.Get(path, Entry, typeName, icon);
    const AnsiString kind = folder ? "dir" : "file";
    // A name the code page spells like another entry's shows the short name that reaches it
    // (or, without one, a mark), so that the two can be told apart.
    const AnsiString shown = parent || Entry.Address == name ? name : reachable ? Entry.Address : name + "~";
    AnsiString caption = shown;
    if (HideFileExt && !parent)
        caption = shown.substr(0, shown.find('.'));
    AnsiString attrText;
    if (Entry.Attributes & FILE_ATTRIBUTE_ARCHIVE)
        attrText += 'A';
    if (Entry.Attributes & FILE_ATTRIBUTE_READONLY)
        attrText += 'R';
    if (Entry.Attributes & FILE_ATTRIBUTE_HIDDEN)
        attrText += 'H';
    if (Entry.Attributes & FILE_ATTRIBUTE_SYSTEM)
        attrText += 'S';

    TFileRow& row = FRows.emplace_back();
    row.Parent = parent;
    row.Folder = folder;
    row.Reachable = reachable;
    row.Size = Entry.Size;
    row.HasTime = FileTimeToDateTime(Entry.LastWrite, row.Time);
    row.Own = Entry.Address == name;
    row.Name = name;
    row.SortName = AnsiUpperCase(caption);
    row.Shown = shown;
    row.Wide = Entry.Wide;
    TListItem* item = Items()->Add();
    item->SetCaption(caption);
    item->SetImageIndex(icon);
    item->SetData(&row);
    TStrings* sub = item->SubItems();
    sub->Add(ConvertSize(Entry.Size, kind));
    sub->Add(typeName);
    sub->Add(row.HasTime ? FormatDateTime(FDateFormatText + " " + FTimeFormatText, row.Time) : AnsiString());
    sub->Add(attrText);
    sub->Add(path);
    sub->Add(kind);
    FTotalSize += Entry.Size;
    return true;
}

void TsFileListView::AddDrives()
{
    FFileView = false;
    TDriveService& drives = Drives();
    const DWORD present = drives.LogicalDrives();
    auto megabytes = [](Int64 KB) {
        const double mb = static_cast<double>(KB) / 1000;
        return (mb < 1 ? AnsiString("0") : FormatFloat("#,##0", mb)) + " Mb";
    };
    for (int i = 0; i < 26; ++i) {
        if (!(present & (1u << i)))
            continue;
        const char letter = static_cast<char>('A' + i);
        const AnsiString root = AnsiString(1, letter) + ":\\";
        AnsiString display;
        int icon = -1;
        drives.ShellName(letter, display, icon);
        const UINT type = drives.DriveType(letter);
        // A floppy or CD drive is not asked: it would spin up, or have no disk.
        const bool ask = type != DRIVE_REMOVABLE && type != DRIVE_CDROM;
        FRows.emplace_back();
        TListItem* item = Items()->Add();
        item->SetCaption(display.substr(0, display.find('(')) + " (" + AnsiString(1, letter) + ":)  ");
        item->SetImageIndex(icon);
        item->SetData(&FRows.back());
        TStrings* sub = item->SubItems();
        sub->Add(DriveTypeName(type));
        sub->Add(megabytes(ask ? GetDiskSize(root) : 0));
        sub->Add(megabytes(ask ? GetFreeDiskSize(root) : 0));
        sub->Add("");
        sub->Add(root);
        sub->Add("drv");
    }
}

// --- Sorting ------------------------------------------------------------------------------------

void TsFileListView::SortColumnClick(TObject*, TListColumn* Column)
{
    if (!FFileView || !Column)
        return;
    if (Column->Index() != FSortColumn) {
        FSortColumn = Column->Index();
        FReverse = true;
    } else {
        FReverse = !FReverse;
    }
    CustomSort(nullptr, 0);
}

void TsFileListView::CompareFiles(TObject*, TListItem* Item1, TListItem* Item2, int, int& Compare)
{
    auto* row1 = static_cast<const TFileRow*>(Item1->Data());
    auto* row2 = static_cast<const TFileRow*>(Item2->Data());
    // The way up stays first whichever way the list is sorted.
    const bool up1 = row1 ? row1->Parent : IsParentRow(Item1), up2 = row2 ? row2->Parent : IsParentRow(Item2);
    if (up1 || up2) {
        Compare = up1 == up2 ? 0 : (up1 ? -1 : 1);
        return;
    }
    const bool dir1 = row1 ? row1->Folder : RowKind(Item1) == "dir";
    const bool dir2 = row2 ? row2->Folder : RowKind(Item2) == "dir";
    int result = 0;
    if (dir1 != dir2) {
        result = dir1 ? -1 : 1;
    } else {
        switch (FSortColumn) {
        case 0:
            result = row1 && row2 ? CompareStr(row1->SortName, row2->SortName)
                                  : CompareStr(AnsiUpperCase(Item1->Caption()), AnsiUpperCase(Item2->Caption()));
            break;
        case 1: {
            auto kb = [](TListItem* Item) {
                const AnsiString text = Item->SubItemText(flSize);
                return StrToInt64Def(text.substr(0, text.find(" KB")), 0);
            };
            const Int64 a = kb(Item1), b = kb(Item2);
            result = a < b ? -1 : (a > b ? 1 : 0);
            break;
        }
        case 3: {
            static const TDateTime none = EncodeDate(1980, 1, 1);
            const TDateTime a = row1 && row1->HasTime ? row1->Time : none;
            const TDateTime b = row2 && row2->HasTime ? row2->Time : none;
            const double d = std::round((a - b) * 100000);
            result = d < 0 ? -1 : (d > 0 ? 1 : 0);
            break;
        }
        default:
            result = AnsiCompareText(Item1->SubItemText(FSortColumn - 1), Item2->SubItemText(FSortColumn - 1));
            break;
        }
    }
    Compare = FReverse ? -result : result;
}

// --- Navigation ---------------------------------------------------------------------------------

void TsFileListView::OpenItem()
{
    TListItem* row = Selected();
    if (!row)
        return;
    THourGlass hourGlass;
    if (IsParentRow(row)) {
        OneLevelUp();
        return;
    }
    if (!Operable(row))
        return;
    const AnsiString kind = RowKind(row), path = RowPath(row);
    if (kind == "dir") {
        SetDirectory(path);
    } else if (kind == "drv") {
        // A floppy or CD drive is asked for its disk first (the system would ask the user); any
        // other drive that does not open says why when it has no medium.
        const UINT type = Drives().DriveType(path[0]);
        if ((type == DRIVE_REMOVABLE || type == DRIVE_CDROM) && !DiskinDrive(path[0], true))
            return;
        SetDirectory(path);
        if (!AnsiSameText(FDirectory, path))
            DiskinDrive(path[0], true);
    } else if (kind == "file" && CanExecute) {
        ExecuteFile("Open", path, "", ExtractFilePath(path), SW_SHOW);
    }
}

void TsFileListView::OneLevelUp()
{
    if (IsTopFolder(FDirectory))
        SetDirectory("");
    else if (!FDirectory.empty())
        SetDirectory(ExtractFileDir(DelSlash(FDirectory)));
}

void TsFileListView::Click()
{
    if (TListItem* row = Selected())
        SelectedItem = RowPath(row);
    inherited::Click();
}

void TsFileListView::DblClick()
{
    TListItem* row = Selected();
    if (!row || row->Caption().empty())
        return;
    if (DblClickToOpen) {
        inherited::DblClick();
        OpenItem();
    } else if (IsParentRow(row)) {
        OneLevelUp();
    } else {
        inherited::DblClick();
    }
}

void TsFileListView::KeyDown(Word& Key, TShiftState Shift)
{
    if (Shift == TShiftState{ssCtrl}) {
        const bool selection = Selected() != nullptr;
        switch (Key) {
        case 'C':
            if (selection)
                CutCopy(0);
            break;
        case 'X':
            if (selection)
                CutCopy(2);
            break;
        case 'V':
            if (FClipboard->Count() > 0)
                Paste();
            break;
        case 'O':
            if (selection)
                OpenItem();
            break;
        case 'F':
            if (selection)
                ViewFile();
            break;
        case 'N':
            if (!FDirectory.empty())
                NewFolder();
            break;
        default: break;
        }
    } else if (Shift.Empty() && !IsEditing()) {
        switch (Key) {
        case VK_DELETE: DeleteItems(); break;
        case VK_BACK: OneLevelUp(); break;
        case VK_RETURN: OpenItem(); break;
        case VK_F2: RenameFile(); break;
        case VK_F3: FindFile(); break;
        case VK_F5: UpdateFileList(); break;
        default: break;
        }
    }
    inherited::KeyDown(Key, Shift);
}

// --- File operations ----------------------------------------------------------------------------

void TsFileListView::CutCopy(int Mode)
{
    FClipboard->Clear();
    const sDialogs::TOpenFormTexts& texts = sDialogs::OpenFormTexts;
    for (const AnsiString& path : PathsFor(Mode == 2 ? texts.MoveAction : texts.CopyAction, true))
        FClipboard->Add(path);
    FClipboardMode = Mode;
}

// Whether a folder shown has gone (a failed operation says so); " " and the drives never go.
static bool FolderGone(const AnsiString& Folder, const AnsiString& Action)
{
    if (Trim(Folder).empty() || DirectoryExists(Folder))
        return false;
    ShowFileFailure(Format(sDialogs::OpenFormTexts.InFolder, {Action, Folder}), FileOperationReason(ERROR_PATH_NOT_FOUND));
    return true;
}

void TsFileListView::Paste()
{
    if (FDirectory.empty() || FolderGone(FDirectory, sDialogs::OpenFormTexts.PasteAction))
        return;
    if (FClipboard->Count() == 0) {
        sMessageDlg(sDialogs::OpenFormTexts.NothingToPaste, mtWarning, TMsgDlgButtons{mbOK}, 0);
        return;
    }
    THourGlass hourGlass;
    std::vector<AnsiString> sources;
    for (int i = 0; i < FClipboard->Count(); ++i)
        sources.push_back(FClipboard->Strings(i));
    CopyInto(OwnerWindow(), FClipboardMode == 2 ? FO_MOVE : FO_COPY, sources, FDirectory);
    FClipboard->Clear();
    UpdateFileList();
}

namespace {

// A path as the file system knows it, for comparing: full, long, upper-case, no final backslash.
std::wstring ComparablePath(const AnsiString& Path)
{
    const int n = MultiByteToWideChar(CP_ACP, 0, Path.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, Path.c_str(), -1, wide.data(), n);
    wide.resize(wcslen(wide.c_str()));
    wchar_t full[MAX_PATH * 2] = {};
    const DWORD f = GetFullPathNameW(wide.c_str(), MAX_PATH * 2, full, nullptr);
    if (f > 0 && f < MAX_PATH * 2)
        wide = full;
    wchar_t longer[MAX_PATH * 2] = {};
    const DWORD l = GetLongPathNameW(wide.c_str(), longer, MAX_PATH * 2);
    if (l > 0 && l < MAX_PATH * 2)
        wide = longer;
    while (wide.size() > 3 && wide.back() == L'\\')
        wide.pop_back();
    CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    return wide;
}

const AnsiString& OperationWord(UINT Op)
{
    const sDialogs::TOpenFormTexts& texts = sDialogs::OpenFormTexts;
    switch (Op) {
    case FO_MOVE: return texts.MoveAction;
    case FO_DELETE: return texts.DeleteAction;
    case FO_RENAME: return texts.RenameAction;
    default: return texts.CopyAction;
    }
}

} // namespace

void TsFileListView::CopyInto(HWND Owner, UINT Op, const std::vector<AnsiString>& Sources, const AnsiString& Folder)
{
    const std::wstring target = ComparablePath(Folder);
    const AnsiString word = OperationWord(Op);
    for (const AnsiString& source : Sources) {
        const std::wstring from = ComparablePath(source);
        std::wstring inside = from, home = from.substr(0, std::min(from.size(), from.find_last_of(L'\\')));
        if (inside.empty() || inside.back() != L'\\')
            inside += L'\\';
        if (home.size() == 2)
            home += L'\\'; // the root of a drive
        const sDialogs::TOpenFormTexts& texts = sDialogs::OpenFormTexts;
        const AnsiString both = Format(texts.CannotInto, {word, source, Folder});
        if (target == from || target.compare(0, inside.size(), inside) == 0) {
            sMessageDlg(both + ": " + texts.IntoItself, mtError, TMsgDlgButtons{mbOK}, 0);
            continue;
        }
        if (home == target) {
            sMessageDlg(both + ": " + texts.AlreadyThere, mtError, TMsgDlgButtons{mbOK}, 0);
            continue;
        }
        bool aborted = false;
        int error = 0;
        if (!DoSHFileOp(Owner, Op, source, SlashSep(Folder, ExtractFileName(source)), aborted, &error) && !aborted)
            ShowFileFailure(word + " \"" + ExtractFileName(source) + "\"", FileOperationReason(error));
    }
}

void TsFileListView::DeleteItems()
{
    if (FDirectory.empty() || FolderGone(FDirectory, sDialogs::OpenFormTexts.DeleteAction))
        return;
    const std::vector<AnsiString> paths = PathsFor(sDialogs::OpenFormTexts.DeleteAction, false);
    if (paths.empty())
        return;
    THourGlass hourGlass;
    AnsiString list, names;
    for (const AnsiString& path : paths) {
        list += AddNullToStr(path);
        names += (names.empty() ? "\"" : ", \"") + ExtractFileName(path) + "\"";
    }
    bool aborted = false;
    int error = 0;
    if (!DoSHFileOp(Handle(), FO_DELETE, list, "", aborted, &error) && !aborted)
        ShowFileFailure(sDialogs::OpenFormTexts.DeleteAction + " " + names, FileOperationReason(error));
    UpdateFileList();
}

void TsFileListView::RenameFile()
{
    if (TListItem* row = Selected(); row && !IsParentRow(row) && !Operable(row)) {
        PathsFor(sDialogs::OpenFormTexts.RenameAction, false); // names the row it cannot take
        return;
    }
    TListItem* row = SelectedFileRow();
    if (!row || RowKind(row) == "drv")
        return;
    if (ReadOnly() || row->SubItemText(flAttributes) == "R") {
        sMessageDlg(sDialogs::OpenFormTexts.ReadOnlyEntry, mtWarning, TMsgDlgButtons{mbOK}, 0);
        return;
    }
    FOldName = RowPath(row);
    row->EditCaption();
}

bool TsFileListView::CanEdit(TListItem* Item)
{
    if (Item && !ReadOnly()) {
        // Neither the way up nor a drive is a name to change, nor one its path does not reach.
        if (!Operable(Item) || RowKind(Item) == "drv")
            return false;
        FOldName = RowPath(Item);
    }
    return inherited::CanEdit(Item);
}

AnsiString TsFileListView::HiddenPart(const TFileRow& Row, const AnsiString& Caption)
{
    if (Row.Shown.size() <= Caption.size() || Row.Shown.compare(0, Caption.size(), Caption) != 0)
        return AnsiString();
    if (!Row.Own)
        if (const std::size_t dot = Row.Wide.find(L'.'); dot != std::wstring::npos) {
            bool exact = false;
            const AnsiString tail = NarrowFileName(Row.Wide.substr(dot).c_str(), exact);
            if (exact)
                return tail;
        }
    return Row.Shown.substr(Caption.size());
}

void TsFileListView::Edit(const LVITEMA& Item)
{
    if (!Item.pszText || FOldName.empty())
        return;
    const AnsiString text = Item.pszText;
    if (Trim(text).empty())
        return;
    if (StrContains(InvalidNameChars, text)) {
        sMessageDlg(sDialogs::OpenFormTexts.InvalidChars, mtWarning, TMsgDlgButtons{mbOK}, 0);
        return;
    }
    const sDialogs::TOpenFormTexts& texts = sDialogs::OpenFormTexts;
    // The row's caption is what was edited: the part of the name it leaves out (an extension
    // hidden) stays, and the name it was listed by counts as the old one.
    AnsiString name = text, listed;
    bool own = true;
    if (Item.iItem >= 0 && Item.iItem < Items()->Count()) {
        TListItem* item = Items()->Item(Item.iItem);
        // The caption left as it was renames nothing (it may stand for a name it does not spell).
        if (text == item->Caption())
            return;
        if (const auto* row = static_cast<const TFileRow*>(item->Data())) {
            listed = row->Name;
            own = row->Own;
            name += HiddenPart(*row, item->Caption());
        }
    }
    const AnsiString oldShown = listed.empty() ? ExtractFileName(FOldName) : listed;
    const AnsiString what = Format(texts.RenameTo, {oldShown, name});
    // A path ending in a device's name would rename the entry into the device.
    if (DeviceName(name)) {
        ShowFileFailure(what, texts.DeviceName);
        return;
    }
    const AnsiString newName = AddSlash(FDirectory) + name;
    if (newName == FOldName || (own && name == listed))
        return;
    // Another case of the same name is this very entry, not another one in the way; that holds
    // only for a row whose path ends in its own name (a short name's row is another entry's look-
    // alike). Any other entry holding the new name refuses the rename before anything moves.
    const bool caseOnly = own && (AnsiSameText(name, listed) || AnsiSameText(newName, FOldName));
    if (!caseOnly && FileDirExist(newName))
        return;
    THourGlass hourGlass;
    bool aborted = false;
    int error = 0;
    bool done;
    AnsiString stranded;
    if (caseOnly) {
        // The shell takes a name of the same entry for one in the way: the entry goes by a free
        // name of its own first, and back to its own name when the new one cannot be given.
        AnsiString between;
        for (int n = 1; between.empty() || GetFileAttributesA(between.c_str()) != INVALID_FILE_ATTRIBUTES; ++n)
            between = AddSlash(FDirectory) + "~rename" + IntToStr(n) + ".tmp";
        done = DoSHFileOp(Handle(), FO_RENAME, FOldName, between, aborted, &error);
        if (done && !(done = DoSHFileOp(Handle(), FO_RENAME, between, newName, aborted, &error))) {
            bool ignored = false;
            if (!DoSHFileOp(Handle(), FO_RENAME, between, FOldName, ignored))
                stranded = ExtractFileName(between);
        }
    } else {
        done = DoSHFileOp(Handle(), FO_RENAME, FOldName, newName, aborted, &error);
    }
    if (!done && (!aborted || !stranded.empty()))
        ShowFileFailure(what, FileOperationReason(error) +
                                  (stranded.empty() ? AnsiString() : ". " + Format(texts.NowNamed, {stranded})));
    UpdateFileList();
}

void TsFileListView::NewFolder()
{
    if (FDirectory.empty() || FolderGone(FDirectory, sDialogs::OpenFormTexts.MakeFolderAction))
        return;
    THourGlass hourGlass;
    const AnsiString folder = AddSlash(FDirectory);
    AnsiString name = "New Folder";
    for (int n = 2; GetFileAttributesA((folder + name).c_str()) != INVALID_FILE_ATTRIBUTES; ++n)
        name = "New Folder(" + IntToStr(n) + ")";
    if (!CreateDirectoryA((folder + name).c_str(), nullptr)) {
        const DWORD error = GetLastError();
        ShowFileFailure(Format(sDialogs::OpenFormTexts.MakeFolderNamed, {folder + name}), SysErrorMessage(error));
        return;
    }
    UpdateFileList();
    TListItems* items = Items();
    for (int i = 0, n = items->Count(); i < n; ++i) {
        TListItem* item = items->Item(i);
        if (!AnsiSameText(RowPath(item), folder + name))
            continue;
        ClearSelection();
        item->SetSelected(true);
        item->SetFocused(true);
        item->MakeVisible(false);
        item->EditCaption();
        break;
    }
}

TForm* TsFileListView::CreateAttrForm(const AnsiString& FileName, DWORD Attributes)
{
    std::unique_ptr<TForm, TFormFree> form(Create<TForm>(Application));
    form->SetBorderStyle(bsDialog);
    form->SetClientSize(266, 172);
    form->Font()->SetName("MS Sans Serif");
    form->Font()->SetSize(8);
    form->SetCaption("Set Attributes");
    form->SetPosition(poScreenCenter);
    Create<TsSkinProvider>(form.get())->SkinData()->SetSkinSection("DIALOG");

    auto* name = Create<TsLabel>(form.get());
    name->SetParent(form.get());
    name->SetLeft(20);
    name->SetTop(12);
    name->Font()->SetSize(10);
    name->SetShowAccelChar(false);
    name->SetCaption(FileName);

    auto* panel = Create<TsPanel>(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(20, 34, 225, 77);
    panel->SetBevelOuter(bvNone);
    panel->SetBevelInner(bvLowered);
    panel->SetCaption("");
    struct TCheck {
        const char* Name;
        const char* Caption;
        int Left, Top;
        DWORD Bit;
    };
    static const TCheck checks[] = {{"cbReadOnly", "ReadOnly", 20, 16, FILE_ATTRIBUTE_READONLY},
                                    {"cbArchive", "Archive", 20, 44, FILE_ATTRIBUTE_ARCHIVE},
                                    {"cbHidden", "Hidden", 120, 16, FILE_ATTRIBUTE_HIDDEN},
                                    {"cbSystem", "System", 120, 44, FILE_ATTRIBUTE_SYSTEM}};
    for (const TCheck& c : checks) {
        auto* box = Create<TsCheckBox>(form.get());
        box->SetName(c.Name);
        box->SetParent(panel);
        box->SetLeft(c.Left);
        box->SetTop(c.Top);
        box->SetCaption(c.Caption);
        box->SetChecked((Attributes & c.Bit) != 0);
    }

    struct TButton {
        const char* Name;
        const char* Caption;
        int Left;
        TModalResult Result;
    };
    static const TButton buttons[] = {{"btnOK", "OK", 44, mrOk}, {"btnCancel", "Cancel", 140, mrCancel}};
    for (const TButton& b : buttons) {
        auto* button = Create<TsBitBtn>(form.get());
        button->SetName(b.Name);
        button->SetParent(form.get());
        button->SetBounds(b.Left, 128, 75, 25);
        button->SetCaption(b.Caption);
        button->SetModalResult(b.Result);
        button->SetDefault(b.Result == mrOk);
        button->SetCancel(b.Result == mrCancel);
    }
    return form.release();
}

void TsFileListView::FileAttr()
{
    TListItem* row = SelectedFileRow();
    if (!row || RowKind(row) == "drv")
        return;
    const AnsiString path = RowPath(row);
    const DWORD attr = GetFileAttributesA(path.c_str());
    if (attr == INVALID_FILE_ATTRIBUTES)
        return;
    std::unique_ptr<TForm, TFormFree> form(CreateAttrForm(ExtractFileName(path), attr));
    if (form->ShowModal() != mrOk)
        return;
    DWORD changed = attr;
    static const std::pair<const char*, DWORD> bits[] = {{"cbReadOnly", FILE_ATTRIBUTE_READONLY},
                                                        {"cbArchive", FILE_ATTRIBUTE_ARCHIVE},
                                                        {"cbHidden", FILE_ATTRIBUTE_HIDDEN},
                                                        {"cbSystem", FILE_ATTRIBUTE_SYSTEM}};
    for (const auto& [name, bit] : bits) {
        auto* box = static_cast<TsCheckBox*>(form->FindComponent(name));
        changed = box->Checked() ? changed | bit : changed & ~bit;
    }
    form.reset();
    if (changed == attr)
        return;
    THourGlass hourGlass;
    if (const Integer error = FileSetAttr(path, static_cast<Integer>(changed)))
        ShowFileFailure(Format(sDialogs::OpenFormTexts.SetAttributesOf, {ExtractFileName(path)}), SysErrorMessage(error));
    UpdateFileList();
}

void TsFileListView::ViewFile()
{
    TListItem* row = SelectedFileRow();
    if (!row || RowKind(row) != "file")
        return;
    const AnsiString path = RowPath(row), ext = UpperCase(ExtractFileExt(path));
    static const std::pair<const char*, const char*> viewers[] = {
        {".C", "NotePad.exe"},   {".CPP", "NotePad.exe"}, {".DPK", "NotePad.exe"}, {".DPR", "NotePad.exe"},
        {".H", "NotePad.exe"},   {".INF", "NotePad.exe"}, {".INI", "NotePad.exe"}, {".PAS", "NotePad.exe"},
        {".PRG", "NotePad.exe"}, {".TXT", "NotePad.exe"}, {".DOC", "Write.exe"},   {".RTF", "Write.exe"},
        {".WRI", "Write.exe"},   {".BMP", "PBrush.exe"}};
    const auto it = std::find_if(std::begin(viewers), std::end(viewers), [&](const auto& v) { return ext == v.first; });
    if (it == std::end(viewers))
        return;
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    ExecuteFile("Open", AddSlash(windows) + it->second, Quoted(path), ExtractFilePath(path), SW_SHOW);
}

void TsFileListView::FindFile() { ExecuteFile("Find", FDirectory, "", "", SW_SHOWNORMAL); }

// --- Send to ------------------------------------------------------------------------------------

void TsFileListView::SendTo(int Kind)
{
    switch (Kind) {
    case 0: {
        AnsiString folder;
        if (sInputQuery(sDialogs::OpenFormTexts.SendToCaption, sDialogs::OpenFormTexts.SendToPrompt, folder) &&
            !folder.empty())
            SendToPath(folder);
        break;
    }
    case 1:
        if (TListItem* row = SelectedFileRow(); row && RowKind(row) == "file")
            CopyContentsToClipboard(RowPath(row));
        break;
    case 2: CopyNamesToClipboard(); break;
    default: break;
    }
}

void TsFileListView::CopyContentsToClipboard(const AnsiString& FileName)
{
    const AnsiString ext = UpperCase(ExtractFileExt(FileName));
    if (ext == ".BMP") {
        TPicture picture;
        picture.LoadFromFile(FileName);
        TOpenClipboard clipboard(Handle());
        if (clipboard.Open())
            SetClipboardData(CF_BITMAP, CopyImage(picture.Bitmap()->Handle(), IMAGE_BITMAP, 0, 0, 0));
        return;
    }
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (GetFileAttributesExA(FileName.c_str(), GetFileExInfoStandard, &data) &&
        ((static_cast<Int64>(data.nFileSizeHigh) << 32) + data.nFileSizeLow) > ClipboardContentsLimit) {
        sMessageDlg(Format(sDialogs::OpenFormTexts.TooLarge, {ExtractFileName(FileName)}), mtError, TMsgDlgButtons{mbOK}, 0);
        return;
    }
    const AnsiString content = LoadFileBytes(FileName);
    if (ext == ".WMF") {
        // A placeable metafile starts with a header of 22 bytes before the metafile itself.
        const bool placeable = content.size() >= 22 && content.compare(0, 4, "\xD7\xCD\xC6\x9A") == 0;
        const AnsiString bits = placeable ? content.substr(22) : content;
        HENHMETAFILE picture =
            SetWinMetaFileBits(static_cast<UINT>(bits.size()), reinterpret_cast<const BYTE*>(bits.data()), nullptr, nullptr);
        if (!picture)
            return;
        TOpenClipboard clipboard(Handle());
        if (!clipboard.Open() || !SetClipboardData(CF_ENHMETAFILE, picture))
            DeleteEnhMetaFile(picture);
        return;
    }
    if (!Parent())
        return;
    // The rich edit puts the text on the clipboard in its rich and plain forms.
    auto* edit = Create<TsRichEdit>(this);
    struct TFree {
        TsRichEdit* Edit;
        ~TFree() { Edit->Free(); }
    } free{edit};
    edit->SetVisible(false);
    edit->SetParent(Parent());
    TStreamSource source{&content};
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&source), 0, StreamIn};
    const bool rich = content.compare(0, 5, "{\\rtf") == 0;
    SendMessageA(edit->Handle(), EM_STREAMIN, rich ? SF_RTF : SF_TEXT, reinterpret_cast<LPARAM>(&stream));
    SendMessageA(edit->Handle(), EM_SETSEL, 0, -1);
    SendMessageA(edit->Handle(), WM_COPY, 0, 0);
}

void TsFileListView::CopyNamesToClipboard()
{
    const std::vector<AnsiString> paths = SelectedPaths();
    if (paths.empty() || !Parent())
        return;
    auto* memo = Create<TsMemo>(this);
    struct TFree {
        TsMemo* Memo;
        ~TFree() { Memo->Free(); }
    } free{memo};
    memo->SetVisible(false);
    memo->SetParent(Parent());
    for (const AnsiString& path : paths)
        memo->Lines()->Add(path);
    memo->SelectAll();
    memo->CopyToClipboard();
}

void TsFileListView::SendTo2(const AnsiString& Target)
{
    if (UpperCase(ExtractFileExt(Target)) != ".LNK") {
        if (DirectoryExists(Target))
            SendToPath(Target);
        return;
    }
    AnsiString target;
    if (!ResolveShortcut(Handle(), Target, target) || target.empty())
        return;
    if (target.size() > 1 && target[1] == ':' && Drives().DriveType(target[0]) == DRIVE_REMOVABLE) {
        SendToDrive(target);
    } else if (DirectoryExists(target)) {
        SendToPath(target);
    } else {
        TListItem* row = SelectedFileRow();
        const AnsiString file = row ? RowPath(row) : AnsiString();
        ExecuteFile("Open", target, file.empty() ? file : Quoted(file), ExtractFilePath(file), SW_SHOW);
    }
}

void TsFileListView::SendToDrive(const AnsiString& Path)
{
    if (!Path.empty() && DiskinDrive(Path[0], true))
        SendToPath(Path);
}

void TsFileListView::SendToPath(const AnsiString& Folder)
{
    if (FDirectory.empty() || FolderGone(FDirectory, sDialogs::OpenFormTexts.SendAction) || Folder.empty())
        return;
    const AnsiString target = InFolder(Folder);
    const std::vector<AnsiString> paths = PathsFor(sDialogs::OpenFormTexts.SendAction, true);
    THourGlass hourGlass;
    CopyInto(Handle(), FO_COPY, paths, target);
}
