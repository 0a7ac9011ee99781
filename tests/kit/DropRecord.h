// Drop records as the shell hands them to a window with WM_DROPFILES, built by hand.
#pragma once

#include <windows.h>

#include "ShellObjects.h"

#include <cstring>
#include <string>
#include <vector>

namespace testkit {

// The header, then the names, each ended by a NUL, and one more NUL.
inline HDROP MakeDrop(const std::vector<std::string>& Names)
{
    std::string list;
    for (const std::string& n : Names)
        list += n + '\0';
    list += '\0';
    HGLOBAL h = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size());
    auto* header = static_cast<DROPFILES*>(GlobalLock(h));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = FALSE;
    memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), list.data(), list.size());
    GlobalUnlock(h);
    return static_cast<HDROP>(h);
}

// The same with wide names, as the shell's own records are.
inline HDROP MakeWideDrop(const std::vector<std::wstring>& Names)
{
    std::wstring list;
    for (const std::wstring& n : Names)
        list += n + L'\0';
    list += L'\0';
    const std::size_t bytes = list.size() * sizeof(wchar_t);
    HGLOBAL h = GlobalAlloc(GHND, sizeof(DROPFILES) + bytes);
    auto* header = static_cast<DROPFILES*>(GlobalLock(h));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), list.data(), bytes);
    GlobalUnlock(h);
    return static_cast<HDROP>(h);
}

// The receiver let go of the record (DragFinish).
inline bool DropReleased(HDROP Drop) { return GlobalFlags(Drop) == GMEM_INVALID_HANDLE; }

} // namespace testkit
