#include "acShellCtrlsItems.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "Forms.h"
#include "Menus.h"
#include "ShellSeams.h"
#include "SysUtilsFilesNames.h"

namespace {

// The item's count bytes.
USHORT ItemSize(PCIDL P) { return P->mkid.cb; }

// Wide text in the program's code page, and back.
std::wstring ToWide(const AnsiString& S)
{
    if (S.empty())
        return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, S.data(), static_cast<int>(S.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, S.data(), static_cast<int>(S.size()), w.data(), n);
    return w;
}

AnsiString FromWide(const wchar_t* W)
{
    if (!W || !*W)
        return {};
    const int n = WideCharToMultiByte(CP_ACP, 0, W, -1, nullptr, 0, nullptr, nullptr);
    AnsiString s(static_cast<std::size_t>(n > 0 ? n - 1 : 0), '\0');
    if (n > 1)
        WideCharToMultiByte(CP_ACP, 0, W, -1, s.data(), n, nullptr, nullptr);
    return s;
}

// The wide parsing name of a child (empty when the folder gives none).
std::wstring WideParsingName(IShellFolder* ParentFolder, PCIDL P);

ULONG Attributes(IShellFolder* ParentFolder, PCIDL P, ULONG Flags)
{
    if (ParentFolder && P)
        ParentFolder->GetAttributesOf(1, &P, &Flags);
    return Flags;
}

int MajorVersion()
{
    static const int major = LOBYTE(LOWORD(GetVersion()));
    return major;
}

// The unit's process-wide state: the desktop folder (the system's, or a test's), the desktop
// item and the context menu being tracked. OLE stays initialised for as long as it holds them.
struct TShellState {
    TComInterface<IShellFolder> SystemDesktop;
    TComInterface<IShellFolder> Desktop; // a guard's, else empty
    std::unique_ptr<TacShellFolder> DesktopItem;
    bool MakingDesktopItem = false;
    TComInterface<IContextMenu2> Tracked;
    bool OleStarted = false;

    ~TShellState()
    {
        Tracked.Reset();
        DesktopItem.reset();
        Desktop.Reset();
        SystemDesktop.Reset();
        if (OleStarted)
            OleUninitialize();
    }
    IShellFolder* DesktopFolder()
    {
        if (Desktop)
            return Desktop;
        if (!SystemDesktop) {
            if (!OleStarted)
                OleStarted = SUCCEEDED(OleInitialize(nullptr));
            OleCheck(SHGetDesktopFolder(&SystemDesktop));
        }
        return SystemDesktop;
    }
};

TShellState& State()
{
    static TShellState state;
    return state;
}

const struct {
    const char* Name;
    int CSIDL;
} RootFolders[] = {
    {"rfDesktop", CSIDL_DESKTOP},
    {"rfMyComputer", CSIDL_DRIVES},
    {"rfNetwork", CSIDL_NETWORK},
    {"rfRecycleBin", CSIDL_BITBUCKET},
    {"rfAppData", CSIDL_APPDATA},
    {"rfCommonDesktopDirectory", CSIDL_COMMON_DESKTOPDIRECTORY},
    {"rfCommonPrograms", CSIDL_COMMON_PROGRAMS},
    {"rfCommonStartMenu", CSIDL_COMMON_STARTMENU},
    {"rfCommonStartup", CSIDL_COMMON_STARTUP},
    {"rfDesktopDirectory", CSIDL_DESKTOPDIRECTORY},
    {"rfFavorites", CSIDL_FAVORITES},
    {"rfFonts", CSIDL_FONTS},
    {"rfInternet", CSIDL_INTERNET},
    {"rfPersonal", CSIDL_PERSONAL},
    {"rfPrinters", CSIDL_PRINTERS},
    {"rfPrintHood", CSIDL_PRINTHOOD},
    {"rfControlPanel", CSIDL_CONTROLS},
    {"rfPrograms", CSIDL_PROGRAMS},
    {"rfRecent", CSIDL_RECENT},
    {"rfSendTo", CSIDL_SENDTO},
    {"rfStartMenu", CSIDL_STARTMENU},
    {"rfStartup", CSIDL_STARTUP},
    {"rfTemplates", CSIDL_TEMPLATES},
};

} // namespace

AnsiString FileTimeText(const FILETIME& Time)
{
    FILETIME local, rounded;
    WORD date = 0, time = 0;
    SYSTEMTIME st;
    if (!FileTimeToLocalFileTime(&Time, &local) || !FileTimeToDosDateTime(&local, &date, &time) ||
        !DosDateTimeToFileTime(date, time, &rounded) || !FileTimeToSystemTime(&rounded, &st))
        return {};
    char d[80] = {}, t[80] = {};
    if (!GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, d, sizeof d) ||
        !GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, t, sizeof t))
        return {};
    return AnsiString(d) + " " + t;
}

AnsiString WidestDateText()
{
    // The last days of a year, late in the day: the longest month and day numbers.
    const SYSTEMTIME st{2028, 12, 4, 28, 23, 58, 58, 0};
    char d[80] = {}, t[80] = {};
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, d, sizeof d);
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, t, sizeof t);
    return AnsiString(d) + " " + t;
}

bool RootFolderFromName(const AnsiString& Name, TacRootFolder& Value)
{
    for (std::size_t i = 0; i < std::size(RootFolders); ++i)
        if (SameText(Name, RootFolders[i].Name)) {
            Value = static_cast<TacRootFolder>(i);
            return true;
        }
    return false;
}

int RootFolderCSIDL(TacRootFolder Value) { return RootFolders[static_cast<std::size_t>(Value)].CSIDL; }

// --- Item identifier lists ------------------------------------------------------------------

PIDL CreatePIDL(UINT Size)
{
    void* p = ShellMalloc()->Alloc(Size);
    if (p)
        std::memset(p, 0, Size);
    return static_cast<PIDL>(p);
}

PIDL NextPIDL(PCIDL P)
{
    return reinterpret_cast<PIDL>(const_cast<BYTE*>(reinterpret_cast<const BYTE*>(P) + ItemSize(P)));
}

UINT GetPIDLSize(PCIDL P)
{
    if (!P)
        return 0;
    UINT size = sizeof(USHORT);
    for (; ItemSize(P); P = NextPIDL(P))
        size += ItemSize(P);
    return size;
}

int GetPIDLCount(PCIDL P)
{
    int count = 0;
    for (; P && ItemSize(P); P = NextPIDL(P))
        ++count;
    return count;
}

PIDL CopyPIDL(PCIDL P)
{
    if (!P)
        return nullptr;
    const UINT size = GetPIDLSize(P);
    PIDL r = CreatePIDL(size);
    if (r)
        std::memcpy(r, P, size);
    return r;
}

PIDL ConcatPIDLs(PCIDL A, PCIDL B)
{
    const UINT sizeA = A ? GetPIDLSize(A) - sizeof(USHORT) : 0;
    // A missing B still leaves room for the terminator.
    const UINT sizeB = B ? GetPIDLSize(B) : sizeof(USHORT);
    PIDL r = CreatePIDL(sizeA + sizeB);
    if (!r)
        return nullptr;
    if (A)
        std::memcpy(r, A, sizeA);
    if (B)
        std::memcpy(reinterpret_cast<BYTE*>(r) + sizeA, B, sizeB);
    return r;
}

void StripLastID(PIDL P)
{
    if (!P || !ItemSize(P))
        return;
    PIDL last = P;
    for (PIDL next = NextPIDL(last); ItemSize(next); next = NextPIDL(next))
        last = next;
    last->mkid.cb = 0;
}

void DisposePIDL(PCIDL P)
{
    if (P)
        ShellMalloc()->Free(const_cast<PIDL>(P));
}

PIDL RelativeFromAbsolute(PCIDL P)
{
    if (!P || !ItemSize(P))
        return CreatePIDL(sizeof(USHORT));
    while (ItemSize(NextPIDL(P)))
        P = NextPIDL(P);
    return CopyPIDL(P);
}

TPIDLList CreatePIDLList(PCIDL P)
{
    TPIDLList list;
    const int count = GetPIDLCount(P);
    if (count == 0)
        return list;
    list.resize(static_cast<std::size_t>(count));
    TItemIDList current(CopyPIDL(P));
    for (int i = count - 1; i >= 0; --i) {
        StripLastID(current.get());
        list[static_cast<std::size_t>(i)].reset(CopyPIDL(current.get()));
    }
    return list;
}

PIDL DesktopPIDL()
{
    PIDL p = nullptr;
    OleCheck(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &p));
    return p;
}

TComInterface<IShellFolder> DesktopShellFolder() { return TComInterface<IShellFolder>::Share(State().DesktopFolder()); }

bool SamePIDL(PCIDL A, PCIDL B)
{
    if (!A || !B)
        return A == B;
    // The shell compares item by item, so lists of different lengths never name the same item;
    // it is asked only about the others.
    if (GetPIDLCount(A) != GetPIDLCount(B))
        return false;
    return SameChild(State().DesktopFolder(), A, B);
}

bool SameChild(IShellFolder* Folder, PCIDL A, PCIDL B)
{
    if (!Folder || !A || !B)
        return false;
    // The same bytes name the same item: the shell is not asked (it binds a folder per level of a
    // deep list, about 2 ms for six levels under Wine).
    const UINT size = GetPIDLSize(A);
    if (size == GetPIDLSize(B) && std::memcmp(A, B, size) == 0)
        return true;
    if (Folder->CompareIDs(0, A, B) != S_OK)
        return false;
    // A shell may compare the names as the code page spells them ("\uff53\uff55\uff42" as "sub"):
    // their wide parsing names tell two such items apart.
    const std::wstring a = WideParsingName(Folder, A), b = WideParsingName(Folder, B);
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

PIDL MovedPIDL(PCIDL P, PCIDL From, PCIDL To)
{
    const int depth = GetPIDLCount(From), count = GetPIDLCount(P);
    if (!P || !From || !To || count < depth)
        return nullptr;
    // P's ancestor as deep as From, or P itself.
    const TPIDLList ancestors = CreatePIDLList(P);
    if (!SamePIDL(depth < count ? ancestors[static_cast<std::size_t>(depth)].get() : P, From))
        return nullptr;
    PCIDL below = P;
    for (int i = 0; i < depth; ++i)
        below = NextPIDL(below);
    return ConcatPIDLs(To, below);
}

int GetShellImage(PCIDL P, bool Large, bool Open)
{
    SHFILEINFOA info{};
    UINT flags = SHGFI_PIDL | SHGFI_SYSICONINDEX;
    if (Open)
        flags |= SHGFI_OPENICON;
    if (!Large)
        flags |= SHGFI_SMALLICON;
    if (!P || !SHGetFileInfoA(reinterpret_cast<LPCSTR>(P), 0, &info, sizeof info, flags))
        return -1;
    return info.iIcon;
}

TacDesktopGuard::TacDesktopGuard(IShellFolder* Desktop) : FPrevious(State().Desktop)
{
    State().DesktopFolder(); // OLE started before the guard's folder is taken
    State().DesktopItem.reset();
    State().Desktop = TComInterface<IShellFolder>::Share(Desktop);
}

TacDesktopGuard::~TacDesktopGuard()
{
    State().DesktopItem.reset();
    State().Desktop = FPrevious;
}

// --- Child queries --------------------------------------------------------------------------

TacShellFolderCapabilities GetCaps(IShellFolder* ParentFolder, PCIDL P)
{
    static constexpr ULONG bits[] = {SFGAO_CANCOPY,   SFGAO_CANDELETE,  SFGAO_CANLINK,     SFGAO_CANMOVE,
                                     SFGAO_CANRENAME, SFGAO_DROPTARGET, SFGAO_HASPROPSHEET};
    const ULONG flags = Attributes(ParentFolder, P, 0x177);
    TacShellFolderCapabilities caps;
    for (std::size_t i = 0; i < std::size(bits); ++i)
        if (flags & bits[i])
            caps << static_cast<TacShellFolderCapability>(i);
    return caps;
}

TacShellFolderProperties GetProperties(IShellFolder* ParentFolder, PCIDL P)
{
    static constexpr ULONG first[] = {SFGAO_GHOSTED, SFGAO_LINK, SFGAO_READONLY, SFGAO_SHARE};
    static constexpr ULONG second[] = {SFGAO_FILESYSTEM, SFGAO_FILESYSANCESTOR, SFGAO_REMOVABLE, SFGAO_VALIDATE};
    TacShellFolderProperties props;
    const ULONG a = Attributes(ParentFolder, P, 0xF0000);
    for (std::size_t i = 0; i < std::size(first); ++i)
        if (a & first[i])
            props << static_cast<TacShellFolderProperty>(i);
    // The folder answers only what it is asked: the second four are asked by name.
    const ULONG b = Attributes(ParentFolder, P, SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR | SFGAO_REMOVABLE | SFGAO_VALIDATE);
    for (std::size_t i = 0; i < std::size(second); ++i)
        if (b & second[i])
            props << static_cast<TacShellFolderProperty>(fpFileSystem + i);
    return props;
}

bool GetIsFolder(IShellFolder* ParentFolder, PCIDL P) { return Attributes(ParentFolder, P, SFGAO_FOLDER) & SFGAO_FOLDER; }

bool GetIsLink(IShellFolder* ParentFolder, PCIDL P) { return Attributes(ParentFolder, P, SFGAO_LINK) & SFGAO_LINK; }

bool GetHasSubFolders(IShellFolder* ParentFolder, PCIDL P)
{
    return Attributes(ParentFolder, P, SFGAO_HASSUBFOLDER) & SFGAO_HASSUBFOLDER;
}

bool GetIsFile(IShellFolder* ParentFolder, PCIDL P)
{
    const ULONG flags = Attributes(ParentFolder, P, SFGAO_FILESYSTEM | SFGAO_FOLDER | SFGAO_LINK);
    return (flags & SFGAO_FILESYSTEM) && !(flags & (SFGAO_FOLDER | SFGAO_LINK));
}

bool HasChildItems(IShellFolder* Folder, DWORD Flags)
{
    if (!Folder)
        return false;
    const UINT mode = SetErrorMode(SEM_FAILCRITICALERRORS);
    bool result = false;
    TComInterface<IEnumIDList> items;
    // A folder may answer S_OK (or S_FALSE) with no enumerator at all.
    if (Folder->EnumObjects(nullptr, Flags, &items) == S_OK && items) {
        PIDL child = nullptr;
        ULONG fetched = 0;
        result = items->Next(1, &child, &fetched) == S_OK && child;
        DisposePIDL(child);
    }
    SetErrorMode(mode);
    return result;
}

namespace {

// The object of interface Iid for a child, asked of its parent in turn, then of the desktop.
template <class T>
TComInterface<T> BindChild(IShellFolder* ParentFolder, PCIDL P, HWND Handle, REFIID Iid)
{
    TComInterface<T> r;
    if (!P)
        return r;
    if (ParentFolder) {
        ParentFolder->BindToObject(P, nullptr, Iid, reinterpret_cast<void**>(&r));
        if (!r)
            ParentFolder->GetUIObjectOf(Handle, 1, &P, Iid, nullptr, reinterpret_cast<void**>(&r));
        if (!r)
            ParentFolder->CreateViewObject(Handle, Iid, reinterpret_cast<void**>(&r));
    }
    if (!r)
        State().DesktopFolder()->BindToObject(P, nullptr, Iid, reinterpret_cast<void**>(&r));
    return r;
}

} // namespace

TComInterface<IShellFolder> GetIShellFolder(IShellFolder* ParentFolder, PCIDL P, HWND Handle)
{
    return BindChild<IShellFolder>(ParentFolder, P, Handle, IID_IShellFolder);
}

TComInterface<IShellDetails> GetIShellDetails(IShellFolder* ParentFolder, PCIDL P, HWND Handle)
{
    return BindChild<IShellDetails>(ParentFolder, P, Handle, IID_IShellDetails);
}

TComInterface<IShellFolder2> GetIShellFolder2(IShellFolder* ParentFolder, PCIDL P, HWND Handle)
{
    TComInterface<IShellFolder2> r;
    if (MajorVersion() < 5 || !P)
        return r;
    State().DesktopFolder()->BindToObject(P, nullptr, IID_IShellFolder2, reinterpret_cast<void**>(&r));
    if (!r && ParentFolder)
        ParentFolder->GetUIObjectOf(Handle, 1, &P, IID_IShellFolder2, nullptr, reinterpret_cast<void**>(&r));
    if (!r && ParentFolder)
        ParentFolder->BindToObject(P, nullptr, IID_IShellFolder2, reinterpret_cast<void**>(&r));
    return r;
}

namespace {

std::wstring WideParsingName(IShellFolder* ParentFolder, PCIDL P)
{
    STRRET str{};
    if (!ParentFolder || FAILED(ParentFolder->GetDisplayNameOf(P, SHGDN_FORPARSING, &str)))
        return {};
    if (str.uType == STRRET_WSTR) {
        std::wstring w = str.pOleStr ? str.pOleStr : L"";
        if (str.pOleStr)
            ShellMalloc()->Free(str.pOleStr);
        return w;
    }
    return ToWide(StrRetToString(P, str));
}

// Whether a file-system name shown in the code page may look like another one: the name the
// item is parsed by (its own, last in its path) does not convert exactly, or a path drops its end.
bool LooksLikeAnother(const std::wstring& Parsing)
{
    const std::size_t slash = Parsing.find_last_of(L'\\');
    if (slash == std::wstring::npos || Parsing.compare(0, 2, L"::") == 0)
        return false;
    bool exact = false;
    const AnsiString last = NarrowFileName(Parsing.substr(slash + 1).c_str(), exact);
    return !exact || NameEndDropped(last);
}

// What such a name shows instead: the short name that reaches it, else the name with a mark.
AnsiString LookAlikeName(const std::wstring& Parsing, const AnsiString& Name)
{
    const AnsiString shortName = ExtractFileName(ReachingPath(Parsing));
    return !shortName.empty() && shortName != Name ? shortName : Name + "~";
}

} // namespace

AnsiString StrRetToString(PCIDL P, STRRET& StrRet, bool* Exact)
{
    AnsiString s;
    if (Exact)
        *Exact = true;
    switch (StrRet.uType) {
    case STRRET_WSTR:
        if (Exact && StrRet.pOleStr)
            s = NarrowFileName(StrRet.pOleStr, *Exact);
        else
            s = FromWide(StrRet.pOleStr);
        if (StrRet.pOleStr)
            ShellMalloc()->Free(StrRet.pOleStr);
        StrRet.pOleStr = nullptr;
        break;
    case STRRET_OFFSET:
        // The name lies inside the item: read no further than the item's own bytes.
        if (P && StrRet.uOffset < ItemSize(P)) {
            const char* begin = reinterpret_cast<const char*>(P) + StrRet.uOffset;
            s.assign(begin, strnlen(begin, ItemSize(P) - StrRet.uOffset));
        }
        break;
    case STRRET_CSTR:
        s.assign(StrRet.cStr, strnlen(StrRet.cStr, sizeof StrRet.cStr));
        break;
    default:
        break;
    }
    if (s.size() > 1 && s[0] == '?' && s[1] >= '0' && s[1] <= '9')
        s.erase(std::remove(s.begin(), s.end(), '?'), s.end());
    return s;
}

AnsiString GetDisplayName(IShellFolder* ParentFolder, PCIDL P, DWORD Flags, TacShowExtension ShowExt)
{
    if (!ParentFolder)
        return "parentfolder = nil";
    STRRET str{};
    AnsiString name;
    bool exact = true;
    if (SUCCEEDED(ParentFolder->GetDisplayNameOf(P, Flags, &str)))
        name = StrRetToString(P, str, &exact);
    // A name shown that the code page spells like another one is shown so that the two differ.
    if (!(Flags & SHGDN_FORPARSING)) {
        const std::wstring parsing = WideParsingName(ParentFolder, P);
        if (!exact || NameEndDropped(name) || LooksLikeAnother(parsing))
            name = LookAlikeName(parsing, name);
    }
    if (ShowExt != seSystem) {
        STRRET parsing{};
        AnsiString path;
        if (SUCCEEDED(ParentFolder->GetDisplayNameOf(P, SHGDN_FORPARSING, &parsing)))
            path = StrRetToString(P, parsing);
        if (!path.empty() && FileExists(path)) {
            if (ShowExt == seShow) {
                const AnsiString ext = ExtractFileExt(path);
                if (!ext.empty() && !(name.size() >= ext.size() && SameText(name.substr(name.size() - ext.size()), ext)))
                    name += ext;
            } else {
                name = ChangeFileExt(name, "");
            }
        }
    }
    if (Flags != SHGDN_NORMAL && name.compare(0, 3, "::{") == 0)
        return GetDisplayName(ParentFolder, P, SHGDN_NORMAL, ShowExt);
    return name;
}

DWORD ObjectTypesToFlags(TacShellObjectTypes Types)
{
    DWORD flags = 0;
    if (Types.Contains(otFolders))
        flags |= SHCONTF_FOLDERS;
    if (Types.Contains(otNonFolders))
        flags |= SHCONTF_NONFOLDERS;
    if (Types.Contains(otHidden))
        flags |= SHCONTF_INCLUDEHIDDEN;
    return flags;
}

// --- Context menu ----------------------------------------------------------------------------

namespace {

// A pop-up menu handle, destroyed on every way out.
struct TMenuHandle {
    HMENU Handle = CreatePopupMenu();
    ~TMenuHandle()
    {
        if (Handle)
            DestroyMenu(Handle);
    }
};

// The context menu in the unit's slot for the time of the tracking.
struct TTrackedMenu {
    explicit TTrackedMenu(IContextMenu* Menu)
    {
        State().Tracked = TComInterface<IContextMenu>::Share(Menu).As<IContextMenu2>(IID_IContextMenu2);
    }
    ~TTrackedMenu() { State().Tracked.Reset(); }
};

TComInterface<IContextMenu> ContextMenuOf(TacShellFolder* Folder, HWND Owner)
{
    TComInterface<IContextMenu> menu;
    if (!Folder)
        return menu;
    PCIDL child = Folder->RelativeID();
    IShellFolder* parent = Folder->ParentShellFolder();
    if (parent)
        parent->GetUIObjectOf(Owner, 1, &child, IID_IContextMenu, nullptr, reinterpret_cast<void**>(&menu));
    return menu;
}

} // namespace

void InvokeContextMenu(TWinControl* Owner, TacShellFolder* Folder, int X, int Y)
{
    if (!Owner)
        return;
    const HWND wnd = Owner->Handle();
    TComInterface<IContextMenu> menu = ContextMenuOf(Folder, wnd);
    if (!menu)
        return;
    const TPoint pt = Owner->ClientToScreen(TPoint{X, Y});
    TMenuHandle popup;
    if (!popup.Handle || FAILED(menu->QueryContextMenu(popup.Handle, 0, 1, 0x7FFF, CMF_EXPLORE | CMF_CANRENAME)))
        return;
    UINT command = 0;
    {
        TTrackedMenu tracked(menu);
        command = static_cast<UINT>(TrackMenu(popup.Handle, TPM_RETURNCMD | TPM_RIGHTBUTTON, pt.x, pt.y, wnd));
    }
    if (!command)
        return;
    char verb[256] = {};
    if (FAILED(menu->GetCommandString(command - 1, GCS_VERBA, nullptr, verb, sizeof verb)))
        verb[0] = '\0';
    verb[sizeof verb - 1] = '\0';
    auto* handler = dynamic_cast<IacShellCommandVerb*>(Owner);
    bool handled = false;
    if (handler)
        handler->ExecuteCommand(verb, handled);
    HRESULT result = S_OK;
    if (!handled) {
        CMINVOKECOMMANDINFO info{};
        info.cbSize = sizeof info;
        info.hwnd = wnd;
        info.lpVerb = MAKEINTRESOURCEA(command - 1);
        info.nShow = SW_SHOWNORMAL;
        result = menu->InvokeCommand(&info);
    }
    if (handler)
        handler->CommandCompleted(verb, result == S_OK);
}

void DoContextMenuVerb(TacShellFolder* Folder, const AnsiString& Verb)
{
    TComInterface<IContextMenu> menu = ContextMenuOf(Folder, nullptr);
    if (!menu)
        return;
    CMINVOKECOMMANDINFO info{};
    info.cbSize = sizeof info;
    info.fMask = CMIC_MASK_ASYNCOK;
    info.lpVerb = Verb.c_str();
    info.nShow = SW_SHOWNORMAL;
    menu->InvokeCommand(&info);
}

IContextMenu2* TrackedContextMenu() { return State().Tracked; }

bool ForwardContextMenuMessage(TMessage& Message)
{
    IContextMenu2* menu = State().Tracked;
    if (!menu)
        return false;
    switch (Message.Msg) {
    case WM_INITMENUPOPUP:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_MENUCHAR:
        // The menu may answer "not implemented" (E_NOTIMPL); the message is its all the same.
        menu->HandleMenuMsg(Message.Msg, Message.WParam, Message.LParam);
        Message.Result = 0;
        return true;
    default:
        return false;
    }
}

// --- Roots ----------------------------------------------------------------------------------

TacShellFolder* CreateRootFromPIDL(PCIDL P)
{
    TComInterface<IShellFolder> folder = GetIShellFolder(State().DesktopFolder(), P);
    if (!folder)
        folder = DesktopShellFolder();
    return new TacShellFolder(DesktopFolder(), P, folder);
}

TacShellFolder* CreateRootFolder(TacShellFolder* OldRoot, const AnsiString& OldRootText, AnsiString& NewRootText)
{
    PIDL pidl = nullptr;
    TacRootFolder kind;
    if (RootFolderFromName(NewRootText, kind)) {
        if (FAILED(SHGetSpecialFolderLocation(nullptr, RootFolderCSIDL(kind), &pidl)))
            pidl = nullptr;
    } else if (!NewRootText.empty()) {
        AnsiString path = NewRootText;
        if (path.back() == ':')
            path += '\\';
        std::wstring wide = ToWide(path);
        if (FAILED(State().DesktopFolder()->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr, &pidl, nullptr)))
            pidl = nullptr;
    }
    TItemIDList owned(pidl);
    if (!owned) {
        NewRootText = OldRootText;
        throw Exception("Error Setting Path");
    }
    TacShellFolder* root = CreateRootFromPIDL(owned.get());
    delete OldRoot;
    return root;
}

// --- TacShellFolder -------------------------------------------------------------------------

TacShellFolder* DesktopFolder()
{
    TShellState& state = State();
    if (!state.DesktopItem && !state.MakingDesktopItem) {
        state.MakingDesktopItem = true;
        try {
            TItemIDList desktop(DesktopPIDL());
            state.DesktopItem = std::make_unique<TacShellFolder>(nullptr, desktop.get(), state.DesktopFolder());
        } catch (...) {
            state.MakingDesktopItem = false;
            throw;
        }
        state.MakingDesktopItem = false;
    }
    return state.DesktopItem.get();
}

TacShellFolder::TacShellFolder(TacShellFolder* AParent, PCIDL ID, IShellFolder* SF)
    : FParent(AParent), FIShellFolder(TComInterface<IShellFolder>::Share(SF)), FFolderBound(SF != nullptr)
{
    for (TacShellFolder* p = AParent ? AParent->FParent : nullptr; p; p = p->FParent)
        ++FLevel;
    if (!FParent && !State().MakingDesktopItem)
        FParent = DesktopFolder();
    FPIDL.reset(ID ? CopyPIDL(ID) : CreatePIDL(sizeof(USHORT)));
    FFullPIDL.reset(ConcatPIDLs(FParent ? FParent->AbsoluteID() : nullptr, FPIDL.get()));
    if (!FPIDL || !FFullPIDL)
        OleError(E_OUTOFMEMORY);
}

TacShellFolder::~TacShellFolder() = default;

IShellFolder* TacShellFolder::ShellFolder()
{
    if (!FFolderBound) {
        FFolderBound = true;
        if (IsFolder())
            FIShellFolder = GetIShellFolder(ParentShellFolder(), FPIDL.get());
    }
    return FIShellFolder;
}

IShellFolder* TacShellFolder::ParentShellFolder() const
{
    return FParent ? FParent->ShellFolder() : State().DesktopFolder();
}

TacShellFolderProperties TacShellFolder::Properties() { return GetProperties(ParentShellFolder(), FPIDL.get()); }

TacShellFolderCapabilities TacShellFolder::Capabilities() { return GetCaps(ParentShellFolder(), FPIDL.get()); }

bool TacShellFolder::SubFolders() { return GetHasSubFolders(ParentShellFolder(), FPIDL.get()); }

bool TacShellFolder::IsFolder() { return GetIsFolder(ParentShellFolder(), FPIDL.get()); }

bool TacShellFolder::IsFile() { return GetIsFile(ParentShellFolder(), FPIDL.get()); }

AnsiString TacShellFolder::PathName()
{
    return GetDisplayName(State().DesktopFolder(), FFullPIDL.get(), SHGDN_FORPARSING, seSystem);
}

AnsiString TacShellFolder::FileSystemPath()
{
    return ReachingPath(WideParsingName(State().DesktopFolder(), FFullPIDL.get()));
}

bool TacShellFolder::Exists()
{
    // Asked of the file system by the wide path (the attributes of a gone item may not be known).
    const std::wstring path = WideParsingName(State().DesktopFolder(), FFullPIDL.get());
    // A path on a drive, one in the literal form, or one below a share ("\\server\share\..."); a
    // server or a share alone is not asked (it has no attributes of a file to give).
    const bool drive = path.size() > 2 && path[1] == L':' && path[2] == L'\\';
    const bool literal = path.rfind(L"\\\\?\\", 0) == 0;
    const bool share = !literal && path.rfind(L"\\\\.\\", 0) != 0 && path.rfind(L"\\\\", 0) == 0 &&
                       std::count(path.begin(), path.end(), L'\\') >= 4;
    // Taken literally: "dup " would otherwise be found as "dup".
    return !(drive || literal || share) || GetFileAttributesW(LiteralWidePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void TacShellFolder::ParentRenamed()
{
    if (!FParent)
        return;
    TItemIDList full(ConcatPIDLs(FParent->AbsoluteID(), FPIDL.get()));
    if (!full)
        OleError(E_OUTOFMEMORY);
    FFullPIDL = std::move(full);
    ForgetBindings();
}

void TacShellFolder::ForgetBindings()
{
    FIShellFolder.Reset();
    FFolderBound = false;
    FIShellFolder2.Reset();
    FIShellDetails.Reset();
    FDetailsBound = false;
    FDetails.clear();
}

AnsiString TacShellFolder::DisplayName(TacShowExtension ShowExt)
{
    return GetDisplayName(ParentShellFolder(), FPIDL.get(), SHGDN_INFOLDER, ShowExt);
}

int TacShellFolder::ImageIndex(bool LargeIcon) { return GetShellImage(FFullPIDL.get(), LargeIcon, false); }

bool TacShellFolder::Rename(const AnsiString& NewName)
{
    if (!Capabilities().Contains(fcCanRename))
        return false;
    IShellFolder* parent = ParentShellFolder();
    std::wstring wide = ToWide(NewName);
    PIDL renamed = nullptr;
    const HRESULT hr = parent ? parent->SetNameOf(nullptr, FPIDL.get(), wide.c_str(), SHGDN_NORMAL, &renamed) : E_FAIL;
    if (FAILED(hr)) {
        // The system's reason: the error the result carries, else the last one of the thread (a
        // shell folder may answer E_FAIL for a move that failed with its own reason).
        const DWORD error = HRESULT_FACILITY(hr) == FACILITY_WIN32 ? HRESULT_CODE(hr) : GetLastError();
        DisposePIDL(renamed);
        throw Exception(Format("Rename to %s failed", {NewName}), "", error);
    }
    // A folder may rename without handing out the new item: it is looked up by its new name.
    if (!renamed && FAILED(parent->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr, &renamed, nullptr)))
        renamed = nullptr;
    if (renamed) {
        FPIDL.reset(renamed);
        FFullPIDL.reset(FParent ? ConcatPIDLs(FParent->AbsoluteID(), renamed) : CopyPIDL(renamed));
    }
    // What was bound and read belonged to the old name.
    ForgetBindings();
    return true;
}

bool TacShellFolder::ExecuteDefault()
{
    return Shell().ExecuteItem(Application ? Application->Handle() : nullptr, FFullPIDL.get(), SW_SHOW);
}

void TacShellFolder::GetDetailInterface()
{
    if (FDetailsBound)
        return;
    IShellFolder* folder = ShellFolder();
    if (!folder)
        return;
    FDetailsBound = true;
    FIShellDetails = GetIShellDetails(folder, FFullPIDL.get(), FViewHandle);
    if (!FIShellDetails && MajorVersion() >= 5) {
        FIShellFolder2 = GetIShellFolder2(folder, FFullPIDL.get(), FViewHandle);
        if (!FIShellFolder2)
            FIShellFolder2 = FIShellFolder.As<IShellFolder2>(IID_IShellFolder2);
    }
}

IShellDetails* TacShellFolder::ShellDetails()
{
    GetDetailInterface();
    return FIShellDetails;
}

IShellFolder2* TacShellFolder::ShellFolder2()
{
    GetDetailInterface();
    return FIShellFolder2;
}

void TacShellFolder::LoadColumnDetails(TacShellFolder* RootFolder, HWND Handle, int ColumnCount)
{
    if (DetailCount() >= ColumnCount || !RootFolder)
        return;
    FDetails.clear();
    FViewHandle = Handle;
    PCIDL child = FPIDL.get();
    // One text per column from a detail interface (IShellFolder2 or IShellDetails).
    auto read = [&](auto* Source) {
        for (int c = 1; c <= ColumnCount; ++c) {
            SHELLDETAILS sd{};
            FDetails.push_back(SUCCEEDED(Source->GetDetailsOf(child, static_cast<UINT>(c), &sd))
                                   ? StrRetToString(child, sd.str)
                                   : AnsiString());
        }
    };
    if (IShellFolder2* f2 = RootFolder->ShellFolder2()) {
        read(f2);
    } else if (IShellDetails* d = RootFolder->ShellDetails()) {
        read(d);
    } else if (RootFolder->Properties().Contains(fpFileSystem)) {
        LoadFileDetails(ColumnCount);
    }
}

bool TacShellFolder::FindData(WIN32_FIND_DATAW& Data)
{
    // Asked by the wide name: the name in the code page may name another file.
    const std::wstring path = WideParsingName(State().DesktopFolder(), FFullPIDL.get());
    const HANDLE find = path.empty() ? INVALID_HANDLE_VALUE : FindFirstFileW(LiteralWidePath(path).c_str(), &Data);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    FindClose(find);
    return true;
}

void TacShellFolder::LoadFileDetails(int ColumnCount)
{
    WIN32_FIND_DATAW data{};
    // A file that has gone meanwhile (this runs while the list paints) shows no details.
    const bool found = FindData(data);
    const bool dir = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    for (int c = 1; c <= ColumnCount; ++c) {
        AnsiString text;
        if (found) {
            switch (c) {
            case 1:
                text = dir ? AnsiString("-1")
                           : IntToStr((static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
                break;
            case 2:
                text = ExtractFileExt(FromWide(data.cFileName));
                break;
            case 3:
                // No time shows for a folder, nor for a time that does not convert.
                if (!dir)
                    text = FileTimeText(data.ftLastWriteTime);
                break;
            case 4:
                text = IntToStr(static_cast<unsigned long>(data.dwFileAttributes));
                break;
            default:
                break;
            }
        }
        FDetails.push_back(text);
    }
}

AnsiString TacShellFolder::Details(int Index) const
{
    if (FDetails.empty())
        throw Exception(Format("%s: Missing call to LoadColumnDetails",
                               {const_cast<TacShellFolder*>(this)->DisplayName()}));
    if (Index < 1 || Index > DetailCount())
        return {};
    return FDetails[static_cast<std::size_t>(Index - 1)];
}

void TacShellFolder::SetDetails(int Index, const AnsiString& Value)
{
    if (Index < 1)
        return;
    if (static_cast<std::size_t>(Index) > FDetails.size())
        FDetails.resize(static_cast<std::size_t>(Index));
    FDetails[static_cast<std::size_t>(Index - 1)] = Value;
}

// --- Pictures of many items ------------------------------------------------------------------

int TacShellImageCache::ImageOf(TacShellFolder* Item, ULONG Attributes, bool Large, bool Open)
{
    // Files of these types carry pictures of their own; a folder marked read-only or system may
    // name a picture of its own.
    static const char* const ownPictures[] = {".EXE", ".ICO", ".CUR", ".ANI", ".LNK", ".PIF",
                                              ".SCR", ".URL", ".CPL", ".DLL", ".MSC"};
    AnsiString kind;
    if ((Attributes & SFGAO_FILESYSTEM) && !(Attributes & (SFGAO_LINK | SFGAO_READONLY | SFGAO_SYSTEM))) {
        if (Attributes & SFGAO_FOLDER) {
            kind = "\\";
        } else {
            kind = AnsiUpperCase(ExtractFileExt(
                GetDisplayName(Item->ParentShellFolder(), Item->RelativeID(), SHGDN_INFOLDER | SHGDN_FORPARSING, seSystem)));
            for (const char* own : ownPictures)
                if (kind == own)
                    kind.clear();
        }
    }
    if (kind.empty())
        return GetShellImage(Item->AbsoluteID(), Large, Open);
    auto& known = FKinds[(Large ? 2 : 0) + (Open ? 1 : 0)];
    auto it = known.find(kind);
    if (it == known.end())
        it = known.emplace(kind, GetShellImage(Item->AbsoluteID(), Large, Open)).first;
    return it->second;
}

void TacShellImageCache::Clear()
{
    for (auto& k : FKinds)
        k.clear();
}
