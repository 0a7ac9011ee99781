// The framework's COM unit: an owning interface pointer, OleCheck and the OLE exceptions, and the
// ownership of memory that the shell's allocator hands out (item identifier lists, strings).
#pragma once

#include <windows.h>
#include <ole2.h>
#include <shtypes.h>

#include <memory>
#include <utility>

#include "SysUtils.h"

// Owning COM interface pointer: takes the reference it is given, copies add one, Release on
// destruction. `&p` hands out the slot for an out parameter (releasing what it held).
template <class T>
class TComInterface {
public:
    TComInterface() = default;
    TComInterface(T* p) : p_(p) {} // takes over the caller's reference
    TComInterface(const TComInterface& o) : p_(o.p_)
    {
        if (p_)
            p_->AddRef();
    }
    TComInterface(TComInterface&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
    TComInterface& operator=(TComInterface o) noexcept
    {
        std::swap(p_, o.p_);
        return *this;
    }
    ~TComInterface() { Reset(); }
    // A new reference to p (the caller keeps its own).
    static TComInterface Share(T* p)
    {
        if (p)
            p->AddRef();
        return TComInterface(p);
    }
    void Reset()
    {
        if (p_) {
            T* t = p_;
            p_ = nullptr;
            t->Release();
        }
    }
    T* operator->() const { return p_; }
    operator T*() const { return p_; }
    T** operator&()
    {
        Reset();
        return &p_;
    }
    T* Get() const { return p_; }
    bool IsBound() const { return p_ != nullptr; }
    // The object's interface Iid, empty when it has none (or this pointer is empty).
    template <class U>
    TComInterface<U> As(REFIID Iid) const
    {
        TComInterface<U> r;
        if (p_)
            p_->QueryInterface(Iid, reinterpret_cast<void**>(&r));
        return r;
    }

private:
    T* p_ = nullptr;
};

// A failed OLE call (EOleError is SysUtils'); ErrorCode is its HRESULT.
class EOleSysError : public EOleError {
    VCL_CLASS(EOleSysError, EOleError)
public:
    EOleSysError(const AnsiString& Message, HRESULT Code) : EOleError(Message), ErrorCode(Code) {}
    HRESULT ErrorCode;
};

// Raises EOleSysError (the system's text of the code) when Result is a failure; answers Result.
HRESULT OleCheck(HRESULT Result);
// Raises EOleSysError with the system's text of Code.
[[noreturn]] void OleError(HRESULT Code);

// The shell's allocator (SHGetMalloc, kept), or the one a guard put in place; raises
// EOleSysError when the shell gives none. Item identifier lists and the strings the shell hands
// out are allocated and freed through it.
IMalloc* ShellMalloc();
// Puts another allocator in place for its lifetime (tests count what is allocated and freed).
class TShellMallocGuard {
public:
    explicit TShellMallocGuard(IMalloc* Malloc);
    ~TShellMallocGuard();
    TShellMallocGuard(const TShellMallocGuard&) = delete;
    TShellMallocGuard& operator=(const TShellMallocGuard&) = delete;

private:
    IMalloc* FPrevious;
};

// Memory of the shell's allocator, freed through it.
struct TShellFree {
    void operator()(void* p) const
    {
        if (p)
            ShellMalloc()->Free(p);
    }
};
template <class T>
using TShellPtr = std::unique_ptr<T, TShellFree>;
// An owned item identifier list.
using TItemIDList = TShellPtr<ITEMIDLIST>;
