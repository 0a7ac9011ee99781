#include "acShellCtrlsList.h"

#include <algorithm>
#include <cmath>

#include "Forms.h"
#include "ShellSeams.h"
#include "acShellCtrlsCombo.h"
#include "acShellCtrlsTree.h"
#include "sConst.h"
#include "sFileListView.h"
#include "sUtils.h"
#include "sVclUtils.h"

namespace {

// Paints waiting while a long listing runs, at most this often (milliseconds).
constexpr DWORD PaintPumpInterval = 100;

// Folders first; between two of a kind the folder's own order (by name).
int CompareRows(IShellFolder* Folder, bool FolderA, PCIDL A, bool FolderB, PCIDL B)
{
    if (FolderA != FolderB)
        return FolderA ? -1 : 1;
    const HRESULT hr = Folder->CompareIDs(0, A, B);
    return SUCCEEDED(hr) ? static_cast<short>(HRESULT_CODE(hr)) : 0;
}

// The upper-cased extension of a name, its dots left out.
AnsiString ExtensionWord(const AnsiString& Name)
{
    AnsiString ext = ExtractFileExt(Name);
    ext.erase(std::remove(ext.begin(), ext.end(), '.'), ext.end());
    return AnsiUpperCase(ext);
}

// The width of a text in a control's font.
int TextWidth(TFont* Font, const AnsiString& Text)
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Font->Handle());
    SIZE size{};
    GetTextExtentPoint32A(dc, Text.c_str(), static_cast<int>(Text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return size.cx;
}

// What a column takes beside its text (the margins of the header and the cells).
constexpr int ColumnMargin = 16;

} // namespace

TacHourGlass::TacHourGlass() : FSaved(Screen ? Screen->Cursor() : crDefault)
{
    if (Screen)
        Screen->SetCursor(crHourGlass);
}

TacHourGlass::~TacHourGlass()
{
    if (Screen)
        Screen->SetCursor(FSaved);
}

TacCustomShellListView::TacCustomShellListView(TComponent* AOwner) : TsCustomListView(AOwner)
{
    SetOwnerData(true);
    SetHideSelection(false);
    InitShellImageLists(true, true);
    SetSmallImages(SmallShellImages);
    SetLargeImages(LargeShellImages);
}

TacCustomShellListView::~TacCustomShellListView() { ClearItems(); }

void TacCustomShellListView::Loaded()
{
    inherited::Loaded();
    SetAutoRefresh(FAutoRefresh);
}

void TacCustomShellListView::Notification(TComponent* AComponent, TOperation Operation)
{
    inherited::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FTreeView)
        FTreeView = nullptr;
    if (AComponent == FComboBox)
        FComboBox = nullptr;
    if (AComponent == FNotifier)
        FNotifier = nullptr;
}

void TacCustomShellListView::CreateWnd()
{
    inherited::CreateWnd();
    // The rows and the folder belong to the object: a window made again shows them as they are.
    if (!FRootFolder) {
        CreateRoot();
        if (FMeasuring)
            Populate();
        else
            RootChanged();
    }
}

void TacCustomShellListView::WndProc(TMessage& Message)
{
    if (ForwardContextMenuMessage(Message))
        return;
    inherited::WndProc(Message);
    if (Message.Msg == WM_SETFOCUS)
        MarkFocusedRow();
    if (Message.Msg == WM_STYLECHANGED && ViewStyle() == vsReport &&
        !ComponentState().Contains(csLoading) && !ComponentState().Contains(csReading))
        EnumColumns();
}

// --- The folder shown ---------------------------------------------------------------------------

bool TacCustomShellListView::Deferred(std::function<void()> Action)
{
    if (!FPopulating)
        return false;
    FDeferred = std::move(Action);
    return true;
}

void TacCustomShellListView::SetRoot(const TacRoot& Value)
{
    if (SameText(Value, FRoot))
        return;
    if (Deferred([this, Value] { SetRoot(Value); }))
        return;
    FOldRoot = FRoot;
    FRoot = Value;
    CreateRoot();
    FRootChanged = true;
    RootChanged();
}

void TacCustomShellListView::CreateRoot()
{
    // The new root is made before anything goes: a text the shell cannot use leaves the list as
    // it was.
    std::unique_ptr<TacShellFolder> root(CreateRootFolder(nullptr, FOldRoot, FRoot));
    ClearItems();
    FRootFolder = std::move(root);
}

void TacCustomShellListView::SetPathFromID(PCIDL ID)
{
    if (!ID)
        return;
    // A copy: the list given may belong to a row or a partner that the navigation frees.
    auto copy = std::make_shared<TItemIDList>(CopyPIDL(ID));
    if (!Deferred([this, copy] { SetPathFromID(copy->get()); }))
        Navigate(copy->get(), false);
}

void TacCustomShellListView::Navigate(PCIDL ID, bool Force)
{
    if (FUpdating)
        return;
    if (!Force && FRootFolder && SamePIDL(FRootFolder->AbsoluteID(), ID))
        return;
    ClearItems();
    FRootFolder.reset(CreateRootFromPIDL(ID));
    FRootChanged = false;
    RootChanged();
}

void TacCustomShellListView::Back()
{
    if (!FRootFolder)
        return;
    TItemIDList up(CopyPIDL(FRootFolder->AbsoluteID()));
    StripLastID(up.get());
    SetPathFromID(up.get());
}

void TacCustomShellListView::Refresh()
{
    if (!FRootFolder || Deferred([this] { Refresh(); }))
        return;
    // A folder that has gone gives way to its nearest ancestor that still exists.
    if (!FRootFolder->Exists()) {
        TItemIDList up(CopyPIDL(FRootFolder->AbsoluteID()));
        do
            StripLastID(up.get());
        while (GetPIDLCount(up.get()) > 0 && !std::unique_ptr<TacShellFolder>(CreateRootFromPIDL(up.get()))->Exists());
        SetPathFromID(up.get());
        return;
    }
    const int selected = HandleAllocated() ? static_cast<int>(Perform(LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED)) : -1;
    ClearSelection();
    TItemIDList again(CopyPIDL(FRootFolder->AbsoluteID()));
    Navigate(again.get(), true);
    // The row at the same place is selected again where there still is one (the last row too).
    if (selected >= 0 && selected < FolderCount() && HandleAllocated())
        Items()->Item(selected)->SetSelected(true);
}

void TacCustomShellListView::RootChanged()
{
    if (FUpdating)
        return;
    {
        FUpdating = true;
        struct TRestore {
            TacCustomShellListView* View;
            bool Refresh;
            ~TRestore()
            {
                View->FUpdating = false;
                try {
                    View->SetAutoRefresh(Refresh);
                } catch (...) {
                }
            }
        } restore{this, FAutoRefresh};
        SetAutoRefresh(false);
        SynchPaths();
        // The columns first: the window lays out fewer rows then.
        if (ViewStyle() == vsReport)
            EnumColumns();
        Populate();
    }
    MarkFocusedRow();
    RunDeferred();
}

void TacCustomShellListView::MeasureOnRoot()
{
    // The rows listed for the measure alone; a window made already keeps its rows and folder.
    const bool listed = !HandleAllocated() && !FRootFolder;
    if (listed) {
        TFlagUp measuring(FMeasuring);
        HandleNeeded();
    }
    // The measure is taken before anything is drawn: nothing is, within an empty clip.
    TBitmap bmp;
    bmp.SetWidth(8);
    bmp.SetHeight(8);
    const HDC dc = bmp.Canvas()->Handle();
    IntersectClipRect(dc, 0, 0, 0, 0);
    SendMessageA(Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    SelectClipRgn(dc, nullptr);
    if (listed) {
        ClearItems();
        FRootFolder.reset();
    }
}

void TacCustomShellListView::MarkFocusedRow()
{
    if (!HandleAllocated() || !Focused() || FolderCount() == 0 ||
        Perform(LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED) >= 0)
        return;
    LVITEMA state{};
    state.stateMask = LVIS_FOCUSED;
    state.state = LVIS_FOCUSED;
    Perform(LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
}

void TacCustomShellListView::RunDeferred()
{
    if (FDeferred && !FUpdating && !FPopulating) {
        auto action = std::move(FDeferred);
        FDeferred = nullptr;
        action();
    }
}

void TacCustomShellListView::SynchPaths()
{
    if (FRootChanged) {
        if (FTreeView)
            FTreeView->SetRoot(FRoot);
        if (FComboBox)
            FComboBox->SetRoot(FRoot);
    } else if (FRootFolder) {
        if (FTreeView)
            FTreeView->SetPathFromID(FRootFolder->AbsoluteID());
        if (FComboBox)
            FComboBox->TreeUpdate(FRootFolder->AbsoluteID());
    }
    FRootChanged = false;
}

// --- Listing -------------------------------------------------------------------------------------

void TacCustomShellListView::ClearItems()
{
    if (!ComponentState().Contains(csDestroying))
        Items()->SetCount(0);
    FFolders.clear();
    FImages.Clear();
}

void TacCustomShellListView::Populate()
{
    if ((ComponentState().Contains(csLoading) && !HandleAllocated()) || FPopulating)
        return;
    {
        struct TScope {
            TacCustomShellListView* View;
            explicit TScope(TacCustomShellListView* V) : View(V)
            {
                View->FPopulating = true;
                View->SkinData()->BeginUpdate();
                View->Items()->BeginUpdate();
            }
            ~TScope()
            {
                View->Items()->EndUpdate();
                View->SkinData()->EndUpdate();
                View->FPopulating = false;
            }
        } scope(this);
        TacHourGlass hourGlass;
        ClearItems();
        IShellFolder* folder = FRootFolder ? FRootFolder->ShellFolder() : nullptr;
        TComInterface<IEnumIDList> items;
        // A folder may report success and hand out no enumerator: it lists nothing then.
        if (folder && SUCCEEDED(folder->EnumObjects(Application->Handle(), ObjectTypesToFlags(FObjectTypes), &items)) &&
            items) {
            const TSysCharSet delims("*.;");
            std::vector<AnsiString> words;
            for (int i = 1, n = WordCount(FMask, delims); i <= n; ++i)
                words.push_back(AnsiUpperCase(ExtractWord(i, FMask, delims)));
            DWORD lastPump = GetTickCount();
            PIDL child = nullptr;
            ULONG fetched = 0;
            while (items->Next(1, &child, &fetched) == S_OK && child) {
                TItemIDList owned(child);
                TRow row;
                row.Folder = std::make_unique<TacShellFolder>(FRootFolder.get(), child, nullptr);
                PCIDL one = child;
                row.Attributes = TacShellImageCache::ImageAttributes;
                folder->GetAttributesOf(1, &one, &row.Attributes);
                row.IsFolder = row.Attributes & SFGAO_FOLDER;
                bool add = true;
                if (!row.IsFolder && !words.empty()) {
                    const AnsiString ext =
                        ExtensionWord(GetDisplayName(folder, child, SHGDN_INFOLDER | SHGDN_FORPARSING, seSystem));
                    add = !ext.empty() && std::find(words.begin(), words.end(), ext) != words.end();
                }
                if (OnAddFolder)
                    OnAddFolder(this, row.Folder.get(), add);
                if (add)
                    FFolders.push_back(std::move(row));
                // A long listing keeps the windows painted; nothing else runs meanwhile.
                if ((FFolders.size() & 255) == 0 && GetTickCount() - lastPump > PaintPumpInterval) {
                    MSG msg;
                    while (PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE))
                        DispatchMessageA(&msg);
                    lastPump = GetTickCount();
                }
            }
            // The width measured is the widest row's, in any order.
            if (FSorted && !FMeasuring)
                SortRows(folder);
        }
        Items()->SetCount(FolderCount());
    }
    RunDeferred();
}

void TacCustomShellListView::SortRows(IShellFolder* Folder)
{
    // Folders first, each kind in the folder's order, rows the folder finds equal in the order they
    // came. Each kind is compared row by row first: a shell that lists in that order already (Wine
    // lists a folder of the disk by name) is not sorted again.
    const auto files = std::stable_partition(FFolders.begin(), FFolders.end(), [](const TRow& r) { return r.IsFolder; });
    const auto before = [Folder](const TRow& a, const TRow& b) {
        return CompareRows(Folder, a.IsFolder, a.Folder->RelativeID(), b.IsFolder, b.Folder->RelativeID()) < 0;
    };
    for (const auto& [from, to] : {std::pair{FFolders.begin(), files}, std::pair{files, FFolders.end()}})
        if (!std::is_sorted(from, to, before))
            std::stable_sort(from, to, before);
}

void TacCustomShellListView::EnumColumns()
{
    IShellFolder* folder = FRootFolder ? FRootFolder->ShellFolder() : nullptr;
    if (!folder)
        return;
    FRootFolder->SetViewHandle(HandleAllocated() ? Handle() : nullptr);
    struct TColumnPlan {
        AnsiString Caption;
        TAlignment Alignment;
        int Width;
        int Index; // the shell's column
    };
    std::vector<TColumnPlan> plans;
    const int x = TextWidth(Font(), "X");
    // A column of times is at least as wide as its longest text.
    const int dateWidth = TextWidth(Font(), WidestDateText()) + ColumnMargin;
    // Adds the shell's column Index; false for a caption already used. A column is never narrower
    // than its caption.
    auto add = [&](const SHELLDETAILS& Detail, int Index, const AnsiString& Caption, bool Dates = false) {
        for (const TColumnPlan& u : plans)
            if (SameText(u.Caption, Caption))
                return false;
        // The first column is left-aligned whatever the folder says, as the window shows it.
        const int format = plans.empty() ? LVCFMT_LEFT : Detail.fmt & LVCFMT_JUSTIFYMASK;
        const int width = std::max(Dates ? std::max(x * Detail.cxChar, dateWidth) : x * Detail.cxChar,
                                   TextWidth(Font(), Caption) + ColumnMargin);
        plans.push_back({Caption,
                         format == LVCFMT_RIGHT    ? taRightJustify
                         : format == LVCFMT_CENTER ? taCenter
                                                   : taLeftJustify,
                         width, Index});
        return true;
    };
    // A folder could answer for ever: no list has more columns than this.
    constexpr int MaxColumns = 1024;
    SHELLDETAILS sd{};
    const bool files = FRootFolder->Properties().Contains(fpFileSystem);
    // A folder of the disk: one that a path reaches.
    FOwnColumns = FColumnTexts && !FRootFolder->FileSystemPath().empty();
    if (FOwnColumns) {
        const TacColumnTexts& t = *FColumnTexts;
        const struct {
            const AnsiString* Caption;
            int Chars;
            int Format;
        } own[] = {{&t.Name, 25, LVCFMT_LEFT},
                   {&t.Size, 10, LVCFMT_RIGHT},
                   {&t.Type, 14, LVCFMT_LEFT},
                   {&t.Modified, 14, LVCFMT_LEFT},
                   {&t.Attributes, 4, LVCFMT_LEFT}};
        for (int c = 0; c < static_cast<int>(std::size(own)); ++c) {
            sd = {};
            sd.fmt = own[c].Format;
            sd.cxChar = own[c].Chars;
            add(sd, c, *own[c].Caption, c == 3);
        }
    } else if (IShellFolder2* f2 = FRootFolder->ShellFolder2()) {
        bool metDefault = false;
        for (int c = 0; c < MaxColumns && SUCCEEDED(f2->GetDetailsOf(nullptr, static_cast<UINT>(c), &(sd = {}))); ++c) {
            const AnsiString caption = StrRetToString(nullptr, sd.str);
            SHCOLSTATEF state = 0;
            f2->GetDefaultColumnState(static_cast<UINT>(c), &state);
            if (state & SHCOLSTATE_ONBYDEFAULT)
                metDefault = true;
            else if (metDefault)
                break;
            if (!caption.empty())
                add(sd, c, caption, (state & SHCOLSTATE_TYPEMASK) == SHCOLSTATE_TYPE_DATE);
        }
    } else if (IShellDetails* d = FRootFolder->ShellDetails()) {
        for (int c = 0; c < MaxColumns && SUCCEEDED(d->GetDetailsOf(nullptr, static_cast<UINT>(c), &(sd = {}))); ++c) {
            const AnsiString caption = StrRetToString(nullptr, sd.str);
            if (!caption.empty() && !add(sd, c, caption))
                break;
        }
    } else {
        const struct {
            const char* Caption;
            int Chars;
            int Format;
        } defaults[] = {{"Name", 25, LVCFMT_LEFT}, {"Size", 10, LVCFMT_RIGHT}, {"Type", 10, LVCFMT_LEFT}, {"Modified", 14, LVCFMT_LEFT}};
        for (int c = 0; c < (files ? 4 : 1); ++c) {
            sd = {};
            sd.fmt = defaults[c].Format;
            sd.cxChar = defaults[c].Chars;
            add(sd, c, defaults[c].Caption, c == 3);
        }
    }
    // The same columns as shown (a folder of the same kind) stay as they are, with the widths
    // the user gave them.
    TListColumns* columns = Columns();
    bool same = columns->Count() == static_cast<int>(plans.size());
    for (int c = 0; same && c < columns->Count(); ++c)
        same = Column(c)->Caption() == plans[static_cast<std::size_t>(c)].Caption &&
               Column(c)->Tag == plans[static_cast<std::size_t>(c)].Index;
    if (same)
        return;
    columns->BeginUpdate();
    SkinData()->BeginUpdate();
    columns->Clear();
    for (const TColumnPlan& plan : plans) {
        TListColumn* c = columns->Add();
        c->SetCaption(plan.Caption);
        c->SetAlignment(plan.Alignment);
        c->SetWidth(plan.Width);
        c->Tag = plan.Index;
    }
    SkinData()->EndUpdate();
    columns->EndUpdate();
    if (SkinData()->Skinned())
        RefreshScrolls();
}

bool TacCustomShellListView::OwnerDataFetch(TListItem* Item, TItemRequest Request)
{
    const int index = Item->Index();
    if (index < 0 || index >= FolderCount())
        return false;
    TRow& row = FFolders[static_cast<std::size_t>(index)];
    TacShellFolder* folder = row.Folder.get();
    if (Request.Contains(irText))
        Item->SetCaption(RowName(row));
    if (Request.Contains(irImage)) {
        Item->SetImageIndex(RowImage(row, ViewStyle() == vsIcon));
    }
    if (ViewStyle() == vsReport && Request.Contains(irText) && Columns()->Count() > 1) {
        int last = 0;
        for (int c = 1; c < Columns()->Count(); ++c)
            last = std::max(last, Column(c)->Tag);
        if (FOwnColumns)
            LoadOwnDetails(row);
        else
            folder->LoadColumnDetails(FRootFolder.get(), HandleAllocated() ? Handle() : nullptr, last);
        for (int c = 1; c < Columns()->Count(); ++c)
            Item->SubItems()->Add(folder->DetailCount() ? folder->Details(Column(c)->Tag) : AnsiString());
    }
    return true;
}

int TacCustomShellListView::OwnerDataFind(TItemFind Find, const AnsiString& FindString, const TPoint&, void*,
                                          int StartIndex, TSearchDirection, bool Wrap)
{
    const int count = FolderCount();
    if ((Find != ifPartialString && Find != ifExactString) || count == 0)
        return -1;
    // The window may ask from before the first row or from beyond the last one.
    int i = StartIndex < 0 ? 0 : StartIndex < count ? StartIndex : Wrap ? 0 : count;
    const int start = i;
    const AnsiString wanted = AnsiUpperCase(FindString);
    while (i < count) {
        const AnsiString name = AnsiUpperCase(RowName(FFolders[static_cast<std::size_t>(i)]));
        if (name.compare(0, wanted.size(), wanted) == 0)
            return i;
        if (++i >= count && Wrap)
            i = 0;
        if (i == start)
            break;
    }
    return -1;
}

// --- Rows ----------------------------------------------------------------------------------------

int TacCustomShellListView::RowImage(TRow& Row, bool Large)
{
    int& image = Row.Image[Large ? 1 : 0];
    if (image == -2)
        image = FImages.ImageOf(Row.Folder.get(), Row.Attributes, Large, false);
    return image;
}

const AnsiString& TacCustomShellListView::RowName(TRow& Row)
{
    if (!Row.HasName) {
        Row.Name = Row.Folder->DisplayName(FShowExt);
        Row.HasName = true;
    }
    return Row.Name;
}

void TacCustomShellListView::LoadOwnDetails(TRow& Row)
{
    TacShellFolder* folder = Row.Folder.get();
    if (folder->DetailCount() > 0 || !FColumnTexts)
        return;
    const TacColumnTexts& t = *FColumnTexts;
    WIN32_FIND_DATAW data{};
    // An entry gone meanwhile (this runs while the list paints) shows no details.
    if (!folder->FindData(data)) {
        folder->SetDetails(4, AnsiString());
        return;
    }
    const bool dir = data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
    if (!dir) {
        const double bytes = static_cast<double>((static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
        folder->SetDetails(1, Format(t.SizeKB, {FormatFloat("#,##0", std::ceil(bytes / 1024))}));
    }
    // A type of the program's own words: a folder, a file, a file of an extension.
    const std::wstring name = data.cFileName;
    const std::size_t dot = name.find_last_of(L'.');
    const AnsiString ext = dot == std::wstring::npos || dot == 0 ? AnsiString() : AnsiUpperCase(WideToAnsi(name.substr(dot + 1)));
    folder->SetDetails(2, dir ? t.FolderType : ext.empty() ? t.FileType : Format(t.ExtensionType, {ext}));
    if (!dir)
        folder->SetDetails(3, FileTimeText(data.ftLastWriteTime));
    // The attributes' letters in the system's order.
    static const std::pair<DWORD, char> letters[] = {{FILE_ATTRIBUTE_READONLY, 'R'},
                                                      {FILE_ATTRIBUTE_HIDDEN, 'H'},
                                                      {FILE_ATTRIBUTE_SYSTEM, 'S'},
                                                      {FILE_ATTRIBUTE_ARCHIVE, 'A'}};
    AnsiString attributes;
    for (const auto& [bit, letter] : letters)
        if (data.dwFileAttributes & bit)
            attributes += letter;
    folder->SetDetails(4, attributes);
}

void TacCustomShellListView::SetColumnTexts(const TacColumnTexts& Value)
{
    FColumnTexts = std::make_unique<TacColumnTexts>(Value);
    for (TRow& row : FFolders)
        row.Folder->ClearDetails();
    if (ViewStyle() == vsReport && FRootFolder)
        EnumColumns();
}

TacShellFolder* TacCustomShellListView::GetFolder(int Index) const
{
    return Index >= 0 && Index < FolderCount() ? FFolders[static_cast<std::size_t>(Index)].Folder.get() : nullptr;
}

TacShellFolder* TacCustomShellListView::SelectedFolder()
{
    if (!HandleAllocated())
        return nullptr;
    return GetFolder(static_cast<int>(Perform(LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED)));
}

void TacCustomShellListView::EditText()
{
    const int index = HandleAllocated() ? static_cast<int>(Perform(LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED)) : -1;
    if (index >= 0) {
        SetFocus();
        Perform(LVM_EDITLABELA, static_cast<WPARAM>(index));
    }
}

void TacCustomShellListView::OpenRow(TacShellFolder* Folder)
{
    if (!Folder)
        return;
    if (GetIsFolder(Folder->ParentShellFolder(), Folder->RelativeID())) {
        TItemIDList id(CopyPIDL(Folder->AbsoluteID()));
        SetPathFromID(id.get());
    } else {
        // Started by its item list: a path in the code page may name another file.
        Folder->ExecuteDefault();
    }
}

void TacCustomShellListView::DblClick()
{
    if (AutoNavigate)
        OpenRow(SelectedFolder());
    inherited::DblClick();
}

void TsDlgShellListView::DblClick() { TsCustomListView::DblClick(); }

void TacCustomShellListView::KeyDown(Word& Key, TShiftState Shift)
{
    if (AutoNavigate) {
        if (Key == VK_BACK && !IsEditing()) {
            Back();
        } else if (Key == VK_RETURN && Shift.Contains(ssAlt)) {
            if (TacShellFolder* f = SelectedFolder())
                DoContextMenuVerb(f, "properties");
            Key = 0;
        } else if (Key == VK_RETURN) {
            OpenRow(SelectedFolder());
        } else if (Key == VK_F5) {
            Refresh();
        } else if (Key == VK_F2 && !ReadOnly()) {
            EditText();
        }
    }
    inherited::KeyDown(Key, Shift);
}

void TacCustomShellListView::Edit(const LVITEMA& Item)
{
    TacShellFolder* folder = GetFolder(Item.iItem);
    if (!folder || !Item.pszText)
        return;
    TRow& row = FFolders[static_cast<std::size_t>(Item.iItem)];
    // The caption left as it was renames nothing (it may be a look-alike of the real name).
    if (Item.pszText == RowName(row))
        return;
    const TItemIDList old(row.IsFolder ? CopyPIDL(folder->AbsoluteID()) : nullptr);
    if (!RenameShellItem(folder, RowName(row), Item.pszText))
        return;
    // A partner tree that has read the folder reads its parent again: its node had the old name.
    if (FTreeView && old)
        if (TTreeNode* node = FTreeView->FolderExists(old.get(), FTreeView->Items()->GetFirstNode()); node && node->Parent())
            FTreeView->Refresh(node->Parent());
    row.HasName = false;
    row.Image[0] = row.Image[1] = -2;
    Perform(LVM_REDRAWITEMS, static_cast<WPARAM>(Item.iItem), Item.iItem);
}

void TacCustomShellListView::DoContextPopup(TPoint MousePos, bool& Handled)
{
    TacShellFolder* folder = AutoContextMenus ? SelectedFolder() : nullptr;
    if (!folder) {
        inherited::DoContextPopup(MousePos, Handled);
        return;
    }
    if (MousePos.x == -1 && MousePos.y == -1) {
        // From the keyboard: at the selected row.
        RECT r{};
        r.left = LVIR_BOUNDS;
        Perform(LVM_GETITEMRECT, Perform(LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED), reinterpret_cast<LPARAM>(&r));
        MousePos = TPoint{r.left + 8, (r.top + r.bottom) / 2};
    }
    InvokeContextMenu(this, folder, MousePos.x, MousePos.y);
    Handled = true;
}

void TacCustomShellListView::ExecuteCommand(const AnsiString& Verb, bool& Handled)
{
    if (SameText(Verb, "rename")) {
        EditText();
        Handled = true;
    } else if (SameText(Verb, "open")) {
        FSavePath = GetCurrentDir();
        if (TacShellFolder* f = SelectedFolder())
            if (const AnsiString path = f->FileSystemPath(); !path.empty())
                SetCurrentDir(ExtractFilePath(path));
    }
}

void TacCustomShellListView::CommandCompleted(const AnsiString& Verb, bool Succeeded)
{
    // The current folder comes back whether the item opened or not.
    if (SameText(Verb, "open"))
        SetCurrentDir(FSavePath);
    else if (Succeeded && (SameText(Verb, "delete") || SameText(Verb, "paste")))
        Refresh();
}

// --- Settings and partners -----------------------------------------------------------------------

void TacCustomShellListView::SetMask(const AnsiString& Value)
{
    if (Value == FMask)
        return;
    FMask = Value;
    if (!Deferred([this] { Populate(); }))
        Populate();
}

void TacCustomShellListView::SetSorted(bool Value)
{
    if (Value == FSorted)
        return;
    FSorted = Value;
    if (!Deferred([this] { Populate(); }))
        Populate();
}

void TacCustomShellListView::SetObjectTypes(TacShellObjectTypes Value)
{
    FObjectTypes = Value;
    if (!ComponentState().Contains(csLoading) && FRootFolder && !Deferred([this] { RootChanged(); }))
        RootChanged();
}

void TacCustomShellListView::SetShowExt(TacShowExtension Value)
{
    FShowExt = Value;
    for (TRow& row : FFolders)
        row.HasName = false;
    if (HandleAllocated())
        InvalidateRect(Handle(), nullptr, TRUE);
}

void TacCustomShellListView::SetAutoRefresh(bool Value)
{
    FAutoRefresh = Value;
    if (ComponentState().Contains(csLoading))
        return;
    FreeAndNil(FNotifier);
    if (Value && FRootFolder) {
        // Watched by the path that reaches it (its short path where the code page cannot spell it).
        const AnsiString path = FRootFolder->FileSystemPath();
        if (path.empty()) {
            OutputDebugStringA(("Shell list: no automatic refresh of \"" + FRootFolder->PathName() +
                                "\": no path in the code page reaches it\n").c_str());
            return;
        }
        FNotifier = Create<TacShellChangeNotifier>(this);
        FNotifier->SetWatchSubTree(false);
        FNotifier->SetRoot(path);
        FNotifier->SetOnChange(TThreadMethod(this, &TacCustomShellListView::Refresh));
    }
}

void TacCustomShellListView::SetShellTreeView(TacCustomShellTreeView* Value)
{
    LinkPartner(this, FTreeView, Value, &TacCustomShellTreeView::FListView);
}

void TacCustomShellListView::SetShellComboBox(TacCustomShellComboBox* Value)
{
    LinkPartner(this, FComboBox, Value, &TacCustomShellComboBox::FListView);
}
