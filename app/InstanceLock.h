// The working tree belongs to one running instance: the first instance takes a named lock on its
// tree file; an instance that finds the lock held works on the files of the tree it loaded.
#pragma once

#include "SysUtils.h"

class TInstanceLock {
public:
    // Tries to take the lock on the file Path (compared as a full path, without case).
    explicit TInstanceLock(const AnsiString& Path);
    ~TInstanceLock();
    TInstanceLock(const TInstanceLock&) = delete;
    TInstanceLock& operator=(const TInstanceLock&) = delete;

    // True when this object holds the lock; false when another instance held it already.
    bool Held() const { return FHandle != nullptr; }

    // The name of the lock of a file.
    static AnsiString LockName(const AnsiString& Path);

private:
    HANDLE FHandle = nullptr;
};
