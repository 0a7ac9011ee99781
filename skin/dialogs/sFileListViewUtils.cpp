// The file and drive utilities of the file list view and its menu.
#include "sFileListView.h"

#include <shellapi.h>
#include "ShellObjects.h"

#include <climits>

#include "DriveSeams.h"
#include "FileCtrl.h"
#include "Forms.h"
#include "ShellSeams.h"
#include "SysUtilsFilesNames.h"
#include "acShellCtrlsItems.h"
#include "sDialogs.h"

namespace {

// The names of a list whose names each end in a NUL.
std::vector<AnsiString> SplitNullList(const AnsiString& List)
{
    std::vector<AnsiString> names;
    const AnsiString all = AddNullToStr(List);
    std::size_t start = 0;
    for (std::size_t end = all.find('\0'); end != AnsiString::npos; end = all.find('\0', start)) {
        if (end > start)
            names.push_back(all.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

int SmallIcon(const AnsiString& Path, UINT Flags)
{
    SHFILEINFOA info{};
    if (!SHGetFileInfoA(Path.c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON | Flags))
        return -1;
    return info.iIcon;
}

// The KB of a drive's whole medium or of its free part; -1 for no drive, no medium or an empty Root.
Int64 DriveKB(const AnsiString& Root, bool Free)
{
    if (Root.empty())
        return -1;
    TDriveSpace space;
    if (!Drives().Space(Root[0], space))
        return -1;
    return (Free ? space.Free : space.Total) / 1024;
}

// Releases a COM interface when it goes.
template <class T>
struct TComRelease {
    T* Ptr = nullptr;
    ~TComRelease()
    {
        if (Ptr)
            Ptr->Release();
    }
};

} // namespace

INT_PTR ExecuteFile(const AnsiString& Operation, const AnsiString& FileName, const AnsiString& Params,
                    const AnsiString& DefaultDir, int ShowCmd)
{
    const INT_PTR result = Shell().Execute(Application->Handle(), Operation, FileName, Params, DefaultDir, ShowCmd);
    if (result < 33)
        sMessageDlg(Format(sDialogs::OpenFormTexts.CannotOpen, {FileName}), mtError, TMsgDlgButtons{mbOK}, 0);
    return result;
}

bool DoSHFileOp(HWND Handle, UINT Op, const AnsiString& Src, const AnsiString& Dest, bool& Aborted, int* Error)
{
    const std::vector<AnsiString> targets = SplitNullList(Dest);
    // Without a target the shell copies, moves or renames into the process's current folder.
    if (Op != FO_DELETE && targets.empty()) {
        Aborted = false;
        if (Error)
            *Error = ERROR_INVALID_PARAMETER;
        return false;
    }
    // The shell shows no box of its own on failure: the caller's message is the one.
    const int result =
        Shell().FileOperation(Handle, Op, SplitNullList(Src), targets, FOF_ALLOWUNDO | FOF_NOERRORUI, Aborted);
    if (Error)
        *Error = result;
    return result == 0 && !Aborted;
}

AnsiString FileOperationReason(int Result)
{
    // The shell's own codes (DE_...) mean other things than the system's error codes of the same
    // numbers; the codes it passes on from the system are taken as such. A failure at the target
    // is told apart by a flag, left out here.
    const sDialogs::TOpenFormTexts& texts = sDialogs::OpenFormTexts;
    switch (Result & ~0x10000) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case 0x7C:  // DE_INVALIDFILES
    case 0x402: // a source that is not there
        return texts.NotFoundReason;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case 0x78: // DE_ACCESSDENIEDSRC
        return texts.DeniedReason;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return texts.InUseReason;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
    case 0x7E: // DE_FLDDESTISFILE
    case 0x80: // DE_FILEDESTISFLD
        return texts.ExistsReason;
    case 0x71: // DE_SAMEFILE
        return texts.SameReason;
    case 0x76: // DE_DESTSUBTREE
    case 0x7D: // DE_DESTSAMETREE
        return texts.InsideReason;
    case ERROR_FILENAME_EXCED_RANGE:
    case 0x79: // DE_PATHTOODEEP
    case 0x81: // DE_FILENAMETOOLONG
        return texts.TooLongReason;
    case ERROR_INVALID_NAME:
        return texts.InvalidNameReason;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return texts.DiskFullReason;
    case ERROR_CANCELLED:
    case 0x75: // DE_OPCANCELLED
        return texts.CancelledReason;
    default:
        return Format(texts.UnknownReason, {Result});
    }
}

void ShowFileFailure(const AnsiString& What, const AnsiString& Reason)
{
    sMessageDlg(Format(sDialogs::OpenFormTexts.Failure, {What, Reason}), mtError, TMsgDlgButtons{mbOK}, 0);
}

bool RenameShellItem(TacShellFolder* Item, const AnsiString& OldName, const AnsiString& NewName)
{
    const sDialogs::TOpenFormTexts& texts = sDialogs::OpenFormTexts;
    if (Trim(NewName).empty())
        return false;
    if (StrContains(InvalidNameChars, NewName)) {
        sMessageDlg(texts.InvalidChars, mtWarning, TMsgDlgButtons{mbOK}, 0);
        return false;
    }
    const AnsiString what = Format(texts.RenameTo, {OldName, NewName});
    // The system would take the name as the device's, or rename the entry into it.
    if (DeviceName(NewName)) {
        ShowFileFailure(what, texts.DeviceName);
        return false;
    }
    if (!AnsiSameText(OldName, NewName) || OldName == NewName) {
        try {
            return Item->Rename(NewName);
        } catch (const Exception& E) {
            ShowFileFailure(what, FileOperationReason(static_cast<int>(E.ErrorCode)));
            return false;
        }
    }
    // Another case of the same name: the system may take it for the entry itself and keep the name
    // as it was. The entry goes by a free name of its own first, and back to its own name when the
    // new one cannot be given.
    const AnsiString folder = ExtractFilePath(Item->PathName());
    AnsiString between;
    for (int n = 1; between.empty() || FileDirExist(folder + between) || FileDirExist(folder + between + ExtractFileExt(OldName)); ++n)
        between = "~rename" + IntToStr(n);
    try {
        if (!Item->Rename(between))
            return false;
    } catch (const Exception& E) {
        ShowFileFailure(what, FileOperationReason(static_cast<int>(E.ErrorCode)));
        return false;
    }
    try {
        return Item->Rename(NewName);
    } catch (const Exception& E) {
        AnsiString stranded;
        try {
            Item->Rename(OldName);
        } catch (const Exception&) {
            stranded = ". " + Format(texts.NowNamed, {ExtractFileName(Item->PathName())});
        }
        ShowFileFailure(what, FileOperationReason(static_cast<int>(E.ErrorCode)) + stranded);
        return false;
    }
}

AnsiString AddNullToStr(const AnsiString& S)
{
    if (S.empty() || S.back() == '\0')
        return S;
    return S + '\0';
}

bool StrContains(const AnsiString& Str1, const AnsiString& Str2)
{
    return Str2.find_first_of(Str1) != AnsiString::npos;
}

bool BrowseForDir(HWND, AnsiString& Dir)
{
    // The framework's chooser hands on the path that reaches the chosen folder, or refuses it.
    AnsiString chosen;
    if (!SelectDirectory(sDialogs::OpenFormTexts.BrowseTitle, "", chosen))
        return false;
    Dir = AddSlash(chosen);
    return true;
}

int numpos(char C, const AnsiString& S, int N)
{
    int seen = 0;
    for (std::size_t i = 0; i < S.size(); ++i)
        if (S[i] == C && ++seen == N)
            return static_cast<int>(i) + 1;
    return INT_MAX;
}

int GetCount(char C, const AnsiString& S)
{
    int n = 0;
    for (char c : S)
        n += c == C;
    return n;
}

Int64 GetDiskSize(const AnsiString& Root) { return DriveKB(Root, false); }

Int64 GetFreeDiskSize(const AnsiString& Root) { return DriveKB(Root, true); }

bool DiskinDrive(char Drive, bool ShowMsg)
{
    const char letter = Drive >= 'a' && Drive <= 'z' ? static_cast<char>(Drive - 'a' + 'A') : Drive;
    if (letter < 'A' || letter > 'Z') {
        sMessageDlg(sDialogs::OpenFormTexts.InvalidDrive, mtError, TMsgDlgButtons{mbOK}, 0);
        return false;
    }
    if (GetDiskSize(AnsiString(1, letter)) != -1)
        return true;
    if (ShowMsg) {
        SysUtils::Beep();
        const AnsiString drive(1, letter);
        sMessageDlg(Format(sDialogs::OpenFormTexts.NoDisk, {drive, drive}), mtWarning, TMsgDlgButtons{mbOK}, 0);
    }
    return false;
}

AnsiString AddSlash(const AnsiString& S)
{
    if (S.empty() || S.back() == '\\')
        return S;
    return S + '\\';
}

AnsiString DelSlash(const AnsiString& S)
{
    if (!S.empty() && S.back() == '\\')
        return S.substr(0, S.size() - 1);
    return S;
}

AnsiString SlashSep(const AnsiString& Path, const AnsiString& FName)
{
    if (Path.empty() || FName.empty())
        return AnsiString();
    return AddSlash(Path) + FName;
}

bool FileTimeToDateTime(const FILETIME& FTime, TDateTime& Value)
{
    FILETIME local{};
    SYSTEMTIME st{};
    if (!FileTimeToLocalFileTime(&FTime, &local) || !FileTimeToSystemTime(&local, &st))
        return false;
    if (st.wYear < 1980 || st.wYear > 2099)
        return false;
    TDateTime date = 0;
    if (!TryEncodeDate(st.wYear, st.wMonth, st.wDay, date))
        return false;
    Value = date + (((st.wHour * 60 + st.wMinute) * 60 + st.wSecond) * 1000 + st.wMilliseconds) / 86400000.0;
    return true;
}

AnsiString FileTimeToDateTimeStr(const FILETIME& FTime, const AnsiString& DFormat, const AnsiString& TFormat)
{
    TDateTime value = 0;
    if (!FileTimeToDateTime(FTime, value))
        return AnsiString();
    return FormatDateTime(DFormat + " " + TFormat, value);
}

bool FileDirExist(const AnsiString& Name)
{
    AnsiString name = Name;
    while (!name.empty() && name.back() == '\0')
        name.pop_back();
    name = DelSlash(name);
    WIN32_FIND_DATAA fd;
    HANDLE h = name.empty() ? INVALID_HANDLE_VALUE : FindFirstFileA(name.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    FindClose(h);
    sMessageDlg(Format(sDialogs::OpenFormTexts.NameTaken, {ExtractFileName(name)}), mtError, TMsgDlgButtons{mbOK}, 0);
    return true;
}

int GetNormalIcon(const AnsiString& Path) { return SmallIcon(Path, 0); }

int GetSelectedIcon(const AnsiString& Path) { return SmallIcon(Path, SHGFI_OPENICON); }

AnsiString ConvertSize(Int64 FSize, const AnsiString& FType)
{
    if (UpperCase(FType) == "DIR")
        return " ";
    if (FSize >= 1 && FSize < 1024)
        FSize = 1024;
    return IntToStr(FSize / 1024) + " KB";
}

AnsiString DriveTypeName(UINT Type)
{
    static const char* const names[] = {"Unknown",     "Not exist",   "Removable Disk", "Fixed Disk",
                                        "Network Disk", "CD-ROM Disk", "RAM Disk"};
    return Type < sizeof names / sizeof names[0] ? names[Type] : names[0];
}

bool GetSpecialFolderPath(HWND Handle, int CSIDL, AnsiString& Path) { return GetSpecialFolder(Handle, CSIDL, Path); }

bool ResolveShortcut(HWND, const AnsiString& LinkFile, AnsiString& Target)
{
    // The target read wide, so that it is handed on by the path that reaches that very entry.
    TComRelease<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link.Ptr))))
        return false;
    TComRelease<IPersistFile> file;
    if (FAILED(link.Ptr->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.Ptr))))
        return false;
    if (FAILED(file.Ptr->Load(AnsiToWide(LinkFile).c_str(), STGM_READ)))
        return false;
    if (FAILED(link.Ptr->Resolve(Application->Handle(), SLR_ANY_MATCH)))
        return false;
    // By the link's item, which keeps the target's own name where a path stored in the code page
    // may not; by its path when it has no item of the disk.
    wchar_t path[MAX_PATH] = {};
    LPITEMIDLIST item = nullptr;
    const bool byItem = SUCCEEDED(link.Ptr->GetIDList(&item)) && item && SHGetPathFromIDListW(item, path) && path[0];
    CoTaskMemFree(item);
    if (!byItem && FAILED(link.Ptr->GetPath(path, MAX_PATH, nullptr, 0)))
        return false;
    const AnsiString reached = ChosenPath(path);
    if (reached.empty())
        return false;
    Target = reached;
    return true;
}
