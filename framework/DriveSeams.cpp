#include "DriveSeams.h"

#include <shellapi.h>
#include "ShellObjects.h"
#include "SysUtilsFilesNames.h"

namespace {

TSystemDrives gSystemDrives;
TDriveService* gDrives = &gSystemDrives;

// Special folders a test put in place.
std::map<int, AnsiString>& SpecialFolderOverrides()
{
    static std::map<int, AnsiString> overrides;
    return overrides;
}

// The upper-case letter, or 0 for a character that names no drive.
char DriveLetter(char Letter)
{
    const char c = Letter >= 'a' && Letter <= 'z' ? static_cast<char>(Letter - 'a' + 'A') : Letter;
    return c >= 'A' && c <= 'Z' ? c : 0;
}

AnsiString RootOf(char Letter) { return AnsiString(1, Letter) + ":\\"; }

// While it lives the system shows no box asking for a medium.
class TCriticalErrorsOff {
public:
    TCriticalErrorsOff() : FSaved(SetErrorMode(SEM_FAILCRITICALERRORS)) {}
    ~TCriticalErrorsOff() { SetErrorMode(FSaved); }
    TCriticalErrorsOff(const TCriticalErrorsOff&) = delete;
    TCriticalErrorsOff& operator=(const TCriticalErrorsOff&) = delete;

private:
    UINT FSaved;
};

} // namespace

// --- The real drives ---------------------------------------------------------------------------

DWORD TSystemDrives::LogicalDrives() { return GetLogicalDrives(); }

UINT TSystemDrives::DriveType(char Letter)
{
    const char c = DriveLetter(Letter);
    return c ? GetDriveTypeA(RootOf(c).c_str()) : DRIVE_NO_ROOT_DIR;
}

bool TSystemDrives::Space(char Letter, TDriveSpace& Space)
{
    const char c = DriveLetter(Letter);
    if (!c)
        return false;
    TCriticalErrorsOff quiet;
    ULARGE_INTEGER available{}, total{}, free{};
    if (!GetDiskFreeSpaceExA(RootOf(c).c_str(), &available, &total, &free))
        return false;
    Space.Total = static_cast<Int64>(total.QuadPart);
    Space.Free = static_cast<Int64>(free.QuadPart);
    return true;
}

bool TSystemDrives::VolumeLabel(char Letter, AnsiString& Label)
{
    const char c = DriveLetter(Letter);
    if (!c)
        return false;
    TCriticalErrorsOff quiet;
    char name[MAX_PATH + 1] = {};
    if (!GetVolumeInformationA(RootOf(c).c_str(), name, sizeof name, nullptr, nullptr, nullptr, nullptr, 0))
        return false;
    Label = name;
    return true;
}

void TSystemDrives::ShellName(char Letter, AnsiString& DisplayName, int& IconIndex)
{
    DisplayName.clear();
    IconIndex = -1;
    const char c = DriveLetter(Letter);
    if (!c)
        return;
    TCriticalErrorsOff quiet;
    SHFILEINFOA info{};
    if (SHGetFileInfoA(RootOf(c).c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_DISPLAYNAME)) {
        DisplayName = info.szDisplayName;
        IconIndex = info.iIcon;
    }
}

// --- Drives of a test --------------------------------------------------------------------------

const TFakeDrive* TFakeDrives::Find(char Letter) const
{
    const char c = DriveLetter(Letter);
    for (const TFakeDrive& d : Drives)
        if (c && DriveLetter(d.Letter) == c)
            return &d;
    return nullptr;
}

DWORD TFakeDrives::LogicalDrives()
{
    DWORD bits = 0;
    for (const TFakeDrive& d : Drives)
        if (const char c = DriveLetter(d.Letter))
            bits |= 1u << (c - 'A');
    return bits;
}

UINT TFakeDrives::DriveType(char Letter)
{
    const TFakeDrive* d = Find(Letter);
    return d ? d->Type : DRIVE_NO_ROOT_DIR;
}

bool TFakeDrives::Space(char Letter, TDriveSpace& Space)
{
    ++SpaceQueries;
    const TFakeDrive* d = Find(Letter);
    if (!d || !d->Media)
        return false;
    Space = d->Space;
    return true;
}

bool TFakeDrives::VolumeLabel(char Letter, AnsiString& Label)
{
    const TFakeDrive* d = Find(Letter);
    if (!d || !d->Media)
        return false;
    Label = d->Label;
    return true;
}

void TFakeDrives::ShellName(char Letter, AnsiString& DisplayName, int& IconIndex)
{
    const TFakeDrive* d = Find(Letter);
    DisplayName = d ? d->DisplayName : AnsiString();
    IconIndex = d ? d->IconIndex : -1;
}

TDriveService& Drives() { return *gDrives; }

TDriveServiceGuard::TDriveServiceGuard(TDriveService& Service) : FPrevious(gDrives) { gDrives = &Service; }

TDriveServiceGuard::~TDriveServiceGuard() { gDrives = FPrevious; }

// --- Special folders ---------------------------------------------------------------------------

bool GetSpecialFolder(HWND Owner, int CSIDL, AnsiString& Path)
{
    const auto& overrides = SpecialFolderOverrides();
    if (const auto it = overrides.find(CSIDL); it != overrides.end()) {
        Path = it->second;
        return !Path.empty();
    }
    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(Owner, CSIDL, &list)) || !list)
        return false;
    // By the path that reaches the folder itself (none when its name has no such path).
    wchar_t buffer[MAX_PATH] = {};
    const bool found = SHGetPathFromIDListW(list, buffer) && buffer[0];
    CoTaskMemFree(list);
    const AnsiString reached = found ? ReachingPath(buffer) : AnsiString();
    if (!reached.empty())
        Path = ExcludeTrailingBackslash(reached);
    return !reached.empty();
}

TSpecialFolderGuard::TSpecialFolderGuard(int CSIDL, const AnsiString& Path) : FCSIDL(CSIDL)
{
    auto& overrides = SpecialFolderOverrides();
    if (const auto it = overrides.find(CSIDL); it != overrides.end()) {
        FHadPrevious = true;
        FPrevious = it->second;
    }
    overrides[CSIDL] = Path;
}

TSpecialFolderGuard::~TSpecialFolderGuard()
{
    auto& overrides = SpecialFolderOverrides();
    if (FHadPrevious)
        overrides[FCSIDL] = FPrevious;
    else
        overrides.erase(FCSIDL);
}
