// A shell namespace of the test's own: folders and items by name, served through the shell's
// interfaces (IShellFolder2, IEnumIDList, IContextMenu2) by small COM objects, for what Wine's
// shell lacks (virtual folders, detail interfaces, context-menu messages) and for failures the
// real shell does not produce on demand. Put it in place of the desktop with TacDesktopGuard.
#pragma once

#include <windows.h>

#include "ShellObjects.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace testkit {

// One item of the fake namespace.
struct FakeItem {
    std::string Name;          // its name in its folder (SHGDN_INFOLDER and SHGDN_NORMAL)
    std::string Parsing;       // its parsing name (default: the parent's, a backslash, the name)
    bool Folder = false;
    ULONG Attributes = 0;      // attributes besides SFGAO_FOLDER and SFGAO_HASSUBFOLDER
    UINT NameType = STRRET_WSTR; // how GetDisplayNameOf hands the name out
    std::string Special;       // a display name given instead of Name (e.g. "::{...}") unless SHGDN_NORMAL
    std::vector<std::string> Details; // texts of columns 1, 2... of IShellFolder2::GetDetailsOf
    FakeItem* Parent = nullptr;
    std::vector<std::unique_ptr<FakeItem>> Children;
    unsigned Id = 0;
};

class FakeShell {
public:
    FakeShell();
    ~FakeShell();
    FakeShell(const FakeShell&) = delete;
    FakeShell& operator=(const FakeShell&) = delete;

    // The desktop: the root of the namespace.
    FakeItem* Root() { return root_.get(); }
    // A new folder or item in Parent (the root when null).
    FakeItem* Add(FakeItem* Parent, const std::string& Name, bool Folder, ULONG Attributes = 0);
    // The desktop folder object (a new reference).
    IShellFolder* Desktop();
    // The absolute item identifier list of an item (owned by the caller: CoTaskMemFree).
    LPITEMIDLIST AbsoluteList(const FakeItem* Item) const;
    FakeItem* ItemOf(LPCITEMIDLIST Absolute) const;
    std::string ParsingName(const FakeItem* Item) const;

    // What the folders do: EnumObjects answers this code with no enumerator (when not S_OK), the
    // rename hands out no new item, the column headers and their default states.
    HRESULT EnumResult = S_OK;
    bool EnumWithoutEnumerator = false;
    bool RenameWithoutItem = false;
    // Folders answer IShellFolder2 (its column details); without it they have no detail interface.
    bool Folder2 = true;
    std::vector<std::string> Columns{"Name", "Size"};
    std::vector<SHCOLSTATEF> ColumnStates{SHCOLSTATE_ONBYDEFAULT, SHCOLSTATE_ONBYDEFAULT};

    // The context menu: its verbs (command k + first id is Verbs[k]), what it answers to
    // HandleMenuMsg, and what reached it.
    std::vector<std::string> Verbs{"open", "rename", "delete", "properties"};
    HRESULT MenuMessageResult = E_NOTIMPL;
    HRESULT InvokeResult = S_OK;
    std::vector<UINT> MenuMessages;
    std::vector<std::string> Invoked; // verbs run (ordinal commands as their verb)

    // Counts of calls.
    int Enumerations = 0;
    int Renames = 0;

private:
    friend class FakeFolder;
    FakeItem* Find(unsigned Id) const;
    FakeItem* Resolve(const FakeItem* From, LPCITEMIDLIST List) const;
    std::unique_ptr<FakeItem> root_;
    std::vector<FakeItem*> items_;
};

// The task allocator with a count of the blocks it handed out and has not taken back yet (put
// it in place with TShellMallocGuard). Blocks of the real allocator are freed as usual.
class CountingMalloc : public IMalloc {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    void* STDMETHODCALLTYPE Alloc(SIZE_T cb) override;
    void* STDMETHODCALLTYPE Realloc(void* pv, SIZE_T cb) override;
    void STDMETHODCALLTYPE Free(void* pv) override;
    SIZE_T STDMETHODCALLTYPE GetSize(void*) override { return 0; }
    int STDMETHODCALLTYPE DidAlloc(void* pv) override { return live_.count(pv) ? 1 : 0; }
    void STDMETHODCALLTYPE HeapMinimize() override {}
    int Live() const { return static_cast<int>(live_.size()); }

private:
    std::set<void*> live_;
};

} // namespace testkit
