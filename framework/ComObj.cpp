#include "ComObj.h"

#include "ShellObjects.h"

HRESULT OleCheck(HRESULT Result)
{
    if (FAILED(Result))
        OleError(Result);
    return Result;
}

void OleError(HRESULT Code)
{
    AnsiString text = SysErrorMessage(static_cast<Cardinal>(Code));
    if (text.empty())
        text = Format("OLE error %.8X", {static_cast<unsigned>(Code)});
    throw EOleSysError(text, Code);
}

namespace {
IMalloc* g_malloc = nullptr; // the one in place (a guard's), else null
IMalloc* g_shellMalloc = nullptr; // the shell's, kept once asked for
} // namespace

IMalloc* ShellMalloc()
{
    if (g_malloc)
        return g_malloc;
    if (!g_shellMalloc) {
        OleCheck(SHGetMalloc(&g_shellMalloc));
        if (!g_shellMalloc)
            OleError(E_OUTOFMEMORY);
    }
    return g_shellMalloc;
}

TShellMallocGuard::TShellMallocGuard(IMalloc* Malloc) : FPrevious(g_malloc) { g_malloc = Malloc; }

TShellMallocGuard::~TShellMallocGuard() { g_malloc = FPrevious; }
