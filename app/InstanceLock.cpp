#include "InstanceLock.h"

AnsiString TInstanceLock::LockName(const AnsiString& Path)
{
    // A hash of the upper-cased full path keeps the name short and free of backslashes.
    const AnsiString full = AnsiUpperCase(ExpandFileName(Path));
    unsigned long long h = 14695981039346656037ull;
    for (unsigned char c : full) {
        h ^= c;
        h *= 1099511628211ull;
    }
    static const char digits[] = "0123456789ABCDEF";
    AnsiString name = "Vellorn.TreeLock.";
    for (int shift = 60; shift >= 0; shift -= 4)
        name += digits[(h >> shift) & 0xF];
    return name;
}

TInstanceLock::TInstanceLock(const AnsiString& Path)
{
    HANDLE h = CreateMutexA(nullptr, FALSE, LockName(Path).c_str());
    if (h && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(h);
        h = nullptr;
    }
    FHandle = h;
}

TInstanceLock::~TInstanceLock()
{
    if (FHandle)
        CloseHandle(FHandle);
}
