// The pop-up menu of the file list view.
#include "sFileListView.h"

#include <string>

#include "SysUtilsFilesNames.h"

#include <shellapi.h>
#include "ShellObjects.h"

#include <algorithm>

namespace {

// The extensions that View opens (and that Clipboard as Contents takes besides ".BMP" and ".WMF").
const char* const ViewExtensions[] = {".C",   ".CPP", ".DPK", ".DPR", ".H",   ".INF", ".INI",
                                      ".PAS", ".PRG", ".TXT", ".DOC", ".RTF", ".WRI", ".BMP"};

bool IsViewExtension(const AnsiString& Ext)
{
    return std::any_of(std::begin(ViewExtensions), std::end(ViewExtensions),
                       [&](const char* e) { return Ext == e; });
}

// The entries of the Send To sub-menu are "Send_To" and a number: the three fixed ones 0..2, the
// shortcuts from 4 on (as many as the folder holds).
const char SendToPrefix[] = "Send_To";
constexpr int FirstShortcut = 4;

// The number after "Send_To", -1 when the rest is no number.
int SendToNumber(const AnsiString& Name)
{
    const AnsiString digits = Name.substr(sizeof SendToPrefix - 1);
    if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != AnsiString::npos)
        return -1;
    return StrToInt(digits);
}

} // namespace

// The upper-cased extension of a row's path (the view opens files by it).
static AnsiString RowExtension(TListItem* Item) { return UpperCase(ExtractFileExt(TsFileListView::RowPath(Item))); }

TsFilelistViewPopUp::TsFilelistViewPopUp(TComponent* AOwner)
    : TPopupMenu(AOwner), FSendToList(std::make_unique<TStringList>())
{
}

TsFilelistViewPopUp::~TsFilelistViewPopUp() = default;

void TsFilelistViewPopUp::AfterConstruction()
{
    inherited::AfterConstruction();
    FIcons = Create<TCustomImageList>(this);
    FIcons->SetShareImages(true);
    FIcons->SetBkColor(clNone);
    SHFILEINFOA info{};
    FIcons->SetHandle(
        reinterpret_cast<HIMAGELIST>(SHGetFileInfoA("", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON)));
    SetImages(FIcons);
    BuildItems();
}

void TsFilelistViewPopUp::SetFileListView(TsFileListView* Value)
{
    if (FFileListView == Value)
        return;
    if (FFileListView)
        FFileListView->RemoveFreeNotification(this);
    FFileListView = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TsFilelistViewPopUp::Notification(TComponent* AComponent, TOperation Operation)
{
    inherited::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFileListView)
        FFileListView = nullptr;
}

TMenuItem* TsFilelistViewPopUp::AddNewItem(const AnsiString& Caption, TShortCut ShortCut, bool Checked, bool Enabled,
                                           TNotifyEvent OnClick, const AnsiString& Name)
{
    auto* item = Create<TMenuItem>(this);
    if (!Name.empty())
        item->SetName(Name);
    item->SetCaption(Caption);
    item->SetShortCut(ShortCut);
    item->SetChecked(Checked);
    item->SetEnabled(Enabled);
    item->OnClick = OnClick;
    return item;
}

void TsFilelistViewPopUp::BuildItems()
{
    const TNotifyEvent click(this, &TsFilelistViewPopUp::ItemOnClick);
    struct TEntry {
        const char* Caption;
        const char* Name;
    };
    static const TEntry entries[] = {
        {"&Open", "ItemOpen"},       {"&View", "ItemView"},     {"-", ""},
        {"Se&nd To", "SubMenuSend"}, {"-", ""},                 {"Cu&t", "ItemOpCut"},
        {"&Copy", "ItemOpCopy"},     {"&Paste", "ItemOpPaste"}, {"-", ""},
        {"&Rename", "ItemRename"},   {"&Delete", "ItemDelete"}, {"-", ""},
        {"&Attributes ...", "ItemFileAttr"}, {"-", ""},         {"&New Folder ...", "ItemFolder"},
    };
    Items()->Clear();
    for (const TEntry& e : entries)
        Items()->Add(AddNewItem(e.Caption, 0, false, true, click, e.Name));
    FSendToMenu = Items()->Items(3);
    static const char* const fixed[] = {"Any Folder ...", "Clipboard as Contents", "Clipboard as FileName"};
    for (int i = 0; i < 3; ++i)
        FSendToMenu->Add(AddNewItem(fixed[i], 0, false, true, click, SendToPrefix + IntToStr(i)));
    FSendToMenu->Add(AddNewItem("-", 0, false, true, click, ""));
    GetSendToSubMenu();
}

void TsFilelistViewPopUp::GetSendToSubMenu()
{
    FSendToList->Clear();
    while (FSendToMenu->Count() > FirstShortcut)
        FSendToMenu->Delete(FSendToMenu->Count() - 1);
    AnsiString folder;
    if (!GetSpecialFolderPath(nullptr, CSIDL_SENDTO, folder))
        return;
    // Searched by wide names: each shortcut is taken by the path that reaches it (one no path
    // reaches is left out).
    const std::wstring wide = AnsiToWide(AddSlash(folder));
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((wide + L"*.LNK").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    const TNotifyEvent click(this, &TsFilelistViewPopUp::ItemOnClick);
    do {
        const std::wstring found = fd.cFileName;
        if (found == L"." || found == L".." || (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        const AnsiString path = ReachingPath(wide + found);
        if (path.empty())
            continue;
        const AnsiString name = ExtractFileName(path);
        SHFILEINFOA info{};
        SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_DISPLAYNAME | SHGFI_SMALLICON);
        const AnsiString caption = info.szDisplayName[0] ? AnsiString(info.szDisplayName) : ChangeFileExt(name, "");
        TMenuItem* item = AddNewItem(caption, 0, false, true, click,
                                     SendToPrefix + IntToStr(FSendToList->Count() + FirstShortcut));
        item->SetImageIndex(info.iIcon);
        FSendToMenu->Add(item);
        FSendToList->Add(path);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
}

void TsFilelistViewPopUp::ItemOnClick(TObject* Sender)
{
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    TsFileListView* view = FFileListView;
    if (!item || !view)
        return;
    const AnsiString name = item->Name();
    if (name == "ItemOpen")
        view->OpenItem();
    else if (name == "ItemView")
        view->ViewFile();
    else if (name == "ItemOpCut")
        view->CutCopy(2);
    else if (name == "ItemOpCopy")
        view->CutCopy(0);
    else if (name == "ItemOpPaste")
        view->Paste();
    else if (name == "ItemRename")
        view->RenameFile();
    else if (name == "ItemDelete")
        view->DeleteItems();
    else if (name == "ItemFileAttr")
        view->FileAttr();
    else if (name == "ItemFolder")
        view->NewFolder();
    else if (name.compare(0, sizeof SendToPrefix - 1, SendToPrefix) == 0) {
        const int n = SendToNumber(name);
        if (n >= 0 && n < 3)
            view->SendTo(n);
        else if (n >= FirstShortcut && n - FirstShortcut < FSendToList->Count())
            view->SendTo2(FSendToList->Strings(n - FirstShortcut));
    }
}

void TsFilelistViewPopUp::EnableItems()
{
    TsFileListView* view = FFileListView;
    if (!view)
        return;
    const int selected = view->SelCount();
    TListItem* row = view->Selected();
    const AnsiString ext = row ? RowExtension(row) : AnsiString();
    const bool file = row && TsFileListView::RowKind(row) == "file";
    auto enable = [this](const char* Name, bool On) {
        if (auto* item = dynamic_cast<TMenuItem*>(FindComponent(Name)))
            item->SetEnabled(On);
    };
    for (const char* name : {"ItemOpen", "SubMenuSend", "ItemOpCut", "ItemOpCopy", "ItemDelete", "ItemFileAttr"})
        enable(name, selected > 0);
    enable("ItemView", file && IsViewExtension(ext));
    enable("ItemOpPaste", view->ClipboardList()->Count() > 0);
    enable("ItemRename", selected == 1);
    enable("ItemFolder", !view->Directory().empty() && UpperCase(view->Directory()) != "DRIVES");
    enable("Send_To0", selected > 0);
    enable("Send_To2", selected > 0);
    enable("Send_To1", selected == 1 && (IsViewExtension(ext) || ext == ".BMP" || ext == ".WMF"));
}

void TsFilelistViewPopUp::Popup(int X, int Y)
{
    if (FFileListView && !FFileListView->PopUpMenuEnabled())
        return;
    EnableItems();
    inherited::Popup(X + 10, Y + 10);
}
