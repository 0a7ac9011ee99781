// The shell calls the program makes (opening documents and links, copying files, the
// notification-area icon), behind one replaceable interface so that tests can record them
// instead of starting programs or touching the task bar.
#pragma once

#include <windows.h>
#include <shellapi.h>
#include <shtypes.h>

#include <memory>
#include <string>
#include <vector>

#include "SysUtils.h"

class TShellService {
public:
    virtual ~TShellService() = default;
    // ShellExecuteA: answers the instance value (above 32 on success).
    virtual INT_PTR Execute(HWND Owner, const AnsiString& Operation, const AnsiString& File,
                            const AnsiString& Parameters, const AnsiString& Directory, int ShowCmd) = 0;
    // ShellExecuteExA of an item identifier list's default verb (SEE_MASK_INVOKEIDLIST): answers
    // whether it started.
    virtual bool ExecuteItem(HWND Owner, LPCITEMIDLIST Item, int ShowCmd) = 0;
    // SHFileOperationA with the lists of source and target names: answers 0 on success; Aborted
    // tells whether the user cancelled.
    virtual int FileOperation(HWND Owner, UINT Func, const std::vector<AnsiString>& Sources,
                              const std::vector<AnsiString>& Targets, FILEOP_FLAGS Flags, bool& Aborted) = 0;
    // Shell_NotifyIconA.
    virtual bool NotifyIcon(DWORD Message, const NOTIFYICONDATAA& Data) = 0;
};

// The real shell.
class TSystemShell : public TShellService {
public:
    INT_PTR Execute(HWND Owner, const AnsiString& Operation, const AnsiString& File, const AnsiString& Parameters,
                    const AnsiString& Directory, int ShowCmd) override;
    bool ExecuteItem(HWND Owner, LPCITEMIDLIST Item, int ShowCmd) override;
    // Refuses (ERROR_INVALID_PARAMETER, nothing done) an empty source list, an empty name or a
    // name holding a NUL byte, which would cut the double-NUL-terminated list short.
    int FileOperation(HWND Owner, UINT Func, const std::vector<AnsiString>& Sources,
                      const std::vector<AnsiString>& Targets, FILEOP_FLAGS Flags, bool& Aborted) override;
    bool NotifyIcon(DWORD Message, const NOTIFYICONDATAA& Data) override;
};

// One recorded call.
struct TShellCall {
    enum TKind { ckExecute, ckExecuteItem, ckFileOperation, ckNotifyIcon } Kind = ckExecute;
    HWND Owner = nullptr;
    // Execute (and ExecuteItem's ShowCmd).
    AnsiString Operation, File, Parameters, Directory;
    int ShowCmd = 0;
    // ExecuteItem: the bytes of the item identifier list, its terminator left out.
    std::string Item;
    // FileOperation.
    UINT Func = 0;
    std::vector<AnsiString> Sources, Targets;
    FILEOP_FLAGS Flags = 0;
    // NotifyIcon.
    DWORD Message = 0;
    UINT ID = 0;
    UINT NotifyFlags = 0;
    UINT CallbackMessage = 0;
    HICON Icon = nullptr;
    AnsiString Tip;
};

// Records every call and answers with the configured results.
class TRecordingShell : public TShellService {
public:
    INT_PTR Execute(HWND Owner, const AnsiString& Operation, const AnsiString& File, const AnsiString& Parameters,
                    const AnsiString& Directory, int ShowCmd) override;
    bool ExecuteItem(HWND Owner, LPCITEMIDLIST Item, int ShowCmd) override;
    int FileOperation(HWND Owner, UINT Func, const std::vector<AnsiString>& Sources,
                      const std::vector<AnsiString>& Targets, FILEOP_FLAGS Flags, bool& Aborted) override;
    bool NotifyIcon(DWORD Message, const NOTIFYICONDATAA& Data) override;

    std::vector<TShellCall> Calls;
    INT_PTR ExecuteResult = 42;
    int FileOperationResult = 0;
    bool FileOperationAborted = false;
    bool NotifyIconResult = true;
};

// The service in use (the real shell unless a guard installed another).
TShellService& Shell();

// Installs a service for its lifetime and puts the previous one back afterwards.
class TShellServiceGuard {
public:
    explicit TShellServiceGuard(TShellService& Service);
    ~TShellServiceGuard();
    TShellServiceGuard(const TShellServiceGuard&) = delete;
    TShellServiceGuard& operator=(const TShellServiceGuard&) = delete;

private:
    TShellService* FPrevious;
};

// A recording service installed for its own lifetime (the usual test set-up).
class TScopedShellRecorder : public TRecordingShell {
public:
    TScopedShellRecorder() : FGuard(*this) {}

private:
    TShellServiceGuard FGuard;
};

// "open" of a document, program or address.
INT_PTR ShellOpen(HWND Owner, const AnsiString& File, const AnsiString& Parameters = AnsiString(),
                  const AnsiString& Directory = AnsiString(), int ShowCmd = SW_SHOWNORMAL);
// Copies the sources to the targets (one target folder, or one target per source).
int ShellCopyFiles(HWND Owner, const std::vector<AnsiString>& Sources, const std::vector<AnsiString>& Targets,
                   FILEOP_FLAGS Flags, bool* Aborted = nullptr);
