// The drives of the machine (which letters exist, their kinds, sizes and labels, whether a medium
// is in) and the user's special folders of the shell (SendTo...), behind replaceable interfaces
// so that tests can show drives and folders of their own: a floppy drive without a disk, a CD-ROM,
// an empty SendTo folder.
#pragma once

#include <windows.h>

#include <map>
#include <vector>

#include "SysUtils.h"

// Total and free bytes of a drive's medium.
struct TDriveSpace {
    Int64 Total = 0;
    Int64 Free = 0;
};

// Letters are drive letters in either case; anything else names no drive.
class TDriveService {
public:
    virtual ~TDriveService() = default;
    // GetLogicalDrives: bit 0 is A:.
    virtual DWORD LogicalDrives() = 0;
    // GetDriveTypeA of the root: DRIVE_UNKNOWN (0) .. DRIVE_RAMDISK (6); DRIVE_NO_ROOT_DIR for no drive.
    virtual UINT DriveType(char Letter) = 0;
    // The size of the medium; false when the drive has none or is not ready. The system asks the
    // user for nothing meanwhile.
    virtual bool Space(char Letter, TDriveSpace& Space) = 0;
    // The volume label ("" when it has none); false when the drive has no medium.
    virtual bool VolumeLabel(char Letter, AnsiString& Label) = 0;
    // The shell's name of the root ("System (C:)") and the index of its icon in the system image
    // list (-1: none).
    virtual void ShellName(char Letter, AnsiString& DisplayName, int& IconIndex) = 0;
};

// The real drives.
class TSystemDrives : public TDriveService {
public:
    DWORD LogicalDrives() override;
    UINT DriveType(char Letter) override;
    bool Space(char Letter, TDriveSpace& Space) override;
    bool VolumeLabel(char Letter, AnsiString& Label) override;
    void ShellName(char Letter, AnsiString& DisplayName, int& IconIndex) override;
};

// One drive of a test.
struct TFakeDrive {
    char Letter = 'C';
    UINT Type = DRIVE_FIXED;
    bool Media = true;
    TDriveSpace Space;
    AnsiString Label;
    AnsiString DisplayName;
    int IconIndex = -1;
};

// Drives of a test's own; counts the questions about media and sizes.
class TFakeDrives : public TDriveService {
public:
    DWORD LogicalDrives() override;
    UINT DriveType(char Letter) override;
    bool Space(char Letter, TDriveSpace& Space) override;
    bool VolumeLabel(char Letter, AnsiString& Label) override;
    void ShellName(char Letter, AnsiString& DisplayName, int& IconIndex) override;

    std::vector<TFakeDrive> Drives;
    int SpaceQueries = 0;

private:
    const TFakeDrive* Find(char Letter) const;
};

// The service in use (the real drives unless a guard installed another).
TDriveService& Drives();

// Installs a service for its lifetime and puts the previous one back afterwards.
class TDriveServiceGuard {
public:
    explicit TDriveServiceGuard(TDriveService& Service);
    ~TDriveServiceGuard();
    TDriveServiceGuard(const TDriveServiceGuard&) = delete;
    TDriveServiceGuard& operator=(const TDriveServiceGuard&) = delete;

private:
    TDriveService* FPrevious;
};

// Fake drives installed for their own lifetime (the usual test set-up).
class TScopedFakeDrives : public TFakeDrives {
public:
    TScopedFakeDrives() : FGuard(*this) {}

private:
    TDriveServiceGuard FGuard;
};

// The path that reaches one of the user's special folders (CSIDL_SENDTO...; see ReachingPath),
// without a trailing backslash; false when the shell has none or no path reaches it.
bool GetSpecialFolder(HWND Owner, int CSIDL, AnsiString& Path);

// Puts a folder of a test's own in place of a special folder for its lifetime (an empty path: the
// shell has none).
class TSpecialFolderGuard {
public:
    TSpecialFolderGuard(int CSIDL, const AnsiString& Path);
    ~TSpecialFolderGuard();
    TSpecialFolderGuard(const TSpecialFolderGuard&) = delete;
    TSpecialFolderGuard& operator=(const TSpecialFolderGuard&) = delete;

private:
    int FCSIDL;
    bool FHadPrevious = false;
    AnsiString FPrevious;
};
