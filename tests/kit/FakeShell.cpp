#include "FakeShell.h"

#include <atomic>
#include <cstring>

#include "ComObj.h"

namespace testkit {

namespace {

// One item of a list: its count, a mark, the item's number.
#pragma pack(push, 1)
struct FakeID {
    USHORT cb;
    char mark[2];
    unsigned id;
};
#pragma pack(pop)

LPITEMIDLIST AllocList(std::size_t Bytes)
{
    auto* p = static_cast<BYTE*>(ShellMalloc()->Alloc(static_cast<SIZE_T>(Bytes)));
    std::memset(p, 0, Bytes);
    return reinterpret_cast<LPITEMIDLIST>(p);
}

LPITEMIDLIST ChildList(unsigned Id)
{
    LPITEMIDLIST p = AllocList(sizeof(FakeID) + 2);
    auto* item = reinterpret_cast<FakeID*>(p);
    item->cb = sizeof(FakeID);
    item->mark[0] = 'F';
    item->mark[1] = 'k';
    item->id = Id;
    return p;
}

// The number of a list's first item, 0 when it is none of ours.
unsigned FirstId(LPCITEMIDLIST P)
{
    const auto* item = reinterpret_cast<const FakeID*>(P);
    if (!P || item->cb != sizeof(FakeID) || item->mark[0] != 'F' || item->mark[1] != 'k')
        return 0;
    return item->id;
}

LPCITEMIDLIST Next(LPCITEMIDLIST P) { return reinterpret_cast<LPCITEMIDLIST>(reinterpret_cast<const BYTE*>(P) + P->mkid.cb); }

std::wstring Wide(const std::string& S)
{
    std::wstring w(S.size(), L'\0');
    const int n = MultiByteToWideChar(CP_ACP, 0, S.data(), static_cast<int>(S.size()), w.data(), static_cast<int>(w.size()));
    w.resize(static_cast<std::size_t>(n));
    return w;
}

std::string Narrow(const wchar_t* W)
{
    const int n = WideCharToMultiByte(CP_ACP, 0, W, -1, nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n > 0 ? n - 1 : 0), '\0');
    if (n > 1)
        WideCharToMultiByte(CP_ACP, 0, W, -1, s.data(), n, nullptr, nullptr);
    return s;
}

// Text into a STRRET of the given kind (an offset points into the item's own bytes, which
// hold no text: the name goes as a wide string then).
void PutText(STRRET* Out, const std::string& Text, UINT Type)
{
    if (Type == STRRET_CSTR) {
        Out->uType = STRRET_CSTR;
        lstrcpynA(Out->cStr, Text.c_str(), MAX_PATH);
        return;
    }
    Out->uType = STRRET_WSTR;
    const std::wstring w = Wide(Text);
    auto* p = static_cast<wchar_t*>(ShellMalloc()->Alloc((w.size() + 1) * sizeof(wchar_t)));
    std::memcpy(p, w.c_str(), (w.size() + 1) * sizeof(wchar_t));
    Out->pOleStr = p;
}

template <class... I>
class ComObject : public I... {
public:
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG r = --refs_;
        if (!r)
            delete this;
        return r;
    }

protected:
    virtual ~ComObject() = default;

private:
    std::atomic<ULONG> refs_{1};
};

class FakeEnum : public ComObject<IEnumIDList> {
public:
    explicit FakeEnum(std::vector<unsigned> Ids) : ids_(std::move(Ids)) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (riid == IID_IUnknown || riid == IID_IEnumIDList) {
            *ppv = static_cast<IEnumIDList*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE Next(ULONG celt, LPITEMIDLIST* rgelt, ULONG* fetched) override
    {
        ULONG n = 0;
        while (n < celt && pos_ < ids_.size())
            rgelt[n++] = ChildList(ids_[pos_++]);
        if (fetched)
            *fetched = n;
        return n == celt ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG celt) override
    {
        pos_ += celt;
        return pos_ <= ids_.size() ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override
    {
        pos_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumIDList** out) override
    {
        *out = new FakeEnum(ids_);
        return S_OK;
    }

private:
    std::vector<unsigned> ids_;
    std::size_t pos_ = 0;
};

class FakeMenu : public ComObject<IContextMenu2> {
public:
    explicit FakeMenu(FakeShell& Shell) : shell_(Shell) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (riid == IID_IUnknown || riid == IID_IContextMenu || riid == IID_IContextMenu2) {
            *ppv = static_cast<IContextMenu2*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE QueryContextMenu(HMENU menu, UINT index, UINT first, UINT, UINT) override
    {
        for (std::size_t k = 0; k < shell_.Verbs.size(); ++k)
            InsertMenuA(menu, index + static_cast<UINT>(k), MF_BYPOSITION | MF_STRING, first + k,
                        shell_.Verbs[k].c_str());
        return MAKE_HRESULT(SEVERITY_SUCCESS, 0, shell_.Verbs.size());
    }
    HRESULT STDMETHODCALLTYPE InvokeCommand(CMINVOKECOMMANDINFO* info) override
    {
        const auto verb = reinterpret_cast<UINT_PTR>(info->lpVerb);
        if (HIWORD(verb) == 0)
            shell_.Invoked.push_back(verb < shell_.Verbs.size() ? shell_.Verbs[verb] : "?");
        else
            shell_.Invoked.push_back(info->lpVerb);
        return shell_.InvokeResult;
    }
    HRESULT STDMETHODCALLTYPE GetCommandString(UINT_PTR id, UINT type, UINT*, CHAR* name, UINT max) override
    {
        if (type != GCS_VERBA || id >= shell_.Verbs.size())
            return E_INVALIDARG;
        lstrcpynA(name, shell_.Verbs[id].c_str(), static_cast<int>(max));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE HandleMenuMsg(UINT msg, WPARAM, LPARAM) override
    {
        shell_.MenuMessages.push_back(msg);
        return shell_.MenuMessageResult;
    }

private:
    FakeShell& shell_;
};

} // namespace

class FakeFolder : public ComObject<IShellFolder2> {
public:
    FakeFolder(FakeShell& Shell, FakeItem* Item) : shell_(Shell), item_(Item) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (riid == IID_IUnknown || riid == IID_IShellFolder || (riid == IID_IShellFolder2 && shell_.Folder2)) {
            *ppv = static_cast<IShellFolder2*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ParseDisplayName(HWND, IBindCtx*, LPWSTR name, ULONG* eaten, LPITEMIDLIST* out,
                                               ULONG*) override
    {
        *out = nullptr;
        // A path of names below this folder, or a parsing name of the namespace.
        std::string path = Narrow(name);
        const FakeItem* at = item_;
        for (FakeItem* i : shell_.items_)
            if (!path.empty() && _stricmp(shell_.ParsingName(i).c_str(), path.c_str()) == 0) {
                at = i;
                path.clear();
                break;
            }
        while (!path.empty()) {
            const std::size_t cut = path.find('\\');
            const std::string part = path.substr(0, cut);
            path = cut == std::string::npos ? std::string() : path.substr(cut + 1);
            const FakeItem* found = nullptr;
            for (auto& c : at->Children)
                if (_stricmp(c->Name.c_str(), part.c_str()) == 0)
                    found = c.get();
            if (!found)
                return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
            at = found;
        }
        // The list from this folder down to the item.
        std::vector<unsigned> ids;
        for (const FakeItem* i = at; i && i != item_; i = i->Parent)
            ids.insert(ids.begin(), i->Id);
        LPITEMIDLIST p = AllocList(ids.size() * sizeof(FakeID) + 2);
        auto* item = reinterpret_cast<FakeID*>(p);
        for (unsigned id : ids) {
            *item = FakeID{sizeof(FakeID), {'F', 'k'}, id};
            ++item;
        }
        *out = p;
        if (eaten)
            *eaten = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnumObjects(HWND, SHCONTF flags, IEnumIDList** out) override
    {
        ++shell_.Enumerations;
        *out = nullptr;
        if (shell_.EnumWithoutEnumerator || shell_.EnumResult != S_OK)
            return shell_.EnumWithoutEnumerator ? S_FALSE : shell_.EnumResult;
        std::vector<unsigned> ids;
        for (auto& c : item_->Children) {
            if ((c->Attributes & SFGAO_HIDDEN) && !(flags & SHCONTF_INCLUDEHIDDEN))
                continue;
            if (c->Folder ? (flags & SHCONTF_FOLDERS) : (flags & SHCONTF_NONFOLDERS))
                ids.push_back(c->Id);
        }
        *out = new FakeEnum(std::move(ids));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE BindToObject(LPCITEMIDLIST pidl, IBindCtx*, REFIID riid, void** ppv) override
    {
        *ppv = nullptr;
        FakeItem* target = shell_.Resolve(item_, pidl);
        if (!target || !target->Folder || target == item_)
            return E_FAIL;
        auto* folder = new FakeFolder(shell_, target);
        const HRESULT hr = folder->QueryInterface(riid, ppv);
        folder->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE BindToStorage(LPCITEMIDLIST, IBindCtx*, REFIID, void** ppv) override
    {
        *ppv = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CompareIDs(LPARAM, LPCITEMIDLIST a, LPCITEMIDLIST b) override
    {
        const FakeItem* from = item_;
        while (a->mkid.cb && b->mkid.cb) {
            const FakeItem* x = shell_.Find(FirstId(a));
            const FakeItem* y = shell_.Find(FirstId(b));
            if (!x || !y)
                return E_INVALIDARG;
            const int r = _stricmp(x->Name.c_str(), y->Name.c_str());
            if (r || x != y)
                return MAKE_HRESULT(SEVERITY_SUCCESS, 0, static_cast<USHORT>(r < 0 ? -1 : r > 0 ? 1 : x->Id < y->Id ? -1 : 1));
            from = x;
            a = Next(a);
            b = Next(b);
        }
        (void)from;
        const int r = a->mkid.cb ? 1 : b->mkid.cb ? -1 : 0;
        return MAKE_HRESULT(SEVERITY_SUCCESS, 0, static_cast<USHORT>(r));
    }
    HRESULT STDMETHODCALLTYPE CreateViewObject(HWND, REFIID, void** ppv) override
    {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE GetAttributesOf(UINT cidl, LPCITEMIDLIST* apidl, SFGAOF* inout) override
    {
        ULONG common = ~0u;
        for (UINT k = 0; k < cidl; ++k) {
            const FakeItem* i = shell_.Resolve(item_, apidl[k]);
            if (!i)
                return E_INVALIDARG;
            ULONG a = i->Attributes;
            if (i->Folder) {
                a |= SFGAO_FOLDER;
                for (auto& c : i->Children)
                    if (c->Folder)
                        a |= SFGAO_HASSUBFOLDER;
            }
            common &= a;
        }
        *inout &= common;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetUIObjectOf(HWND, UINT cidl, LPCITEMIDLIST* apidl, REFIID riid, UINT*,
                                            void** ppv) override
    {
        *ppv = nullptr;
        if (riid != IID_IContextMenu && riid != IID_IContextMenu2)
            return E_NOINTERFACE;
        if (cidl != 1 || !shell_.Resolve(item_, apidl[0]))
            return E_INVALIDARG;
        auto* menu = new FakeMenu(shell_);
        const HRESULT hr = menu->QueryInterface(riid, ppv);
        menu->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE GetDisplayNameOf(LPCITEMIDLIST pidl, SHGDNF flags, STRRET* out) override
    {
        const FakeItem* i = shell_.Resolve(item_, pidl);
        if (!i)
            return E_INVALIDARG;
        if (flags & SHGDN_FORPARSING)
            PutText(out, shell_.ParsingName(i), STRRET_WSTR);
        else
            PutText(out, !i->Special.empty() && flags != SHGDN_NORMAL ? i->Special : i->Name, i->NameType);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetNameOf(HWND, LPCITEMIDLIST pidl, LPCWSTR name, SHGDNF, LPITEMIDLIST* out) override
    {
        FakeItem* i = shell_.Resolve(item_, pidl);
        if (!i)
            return E_INVALIDARG;
        ++shell_.Renames;
        i->Name = Narrow(name);
        if (out)
            *out = shell_.RenameWithoutItem ? nullptr : ChildList(i->Id);
        return S_OK;
    }
    // IShellFolder2
    HRESULT STDMETHODCALLTYPE GetDefaultSearchGUID(GUID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumSearches(IEnumExtraSearch** out) override
    {
        *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetDefaultColumn(DWORD, ULONG*, ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDefaultColumnState(UINT column, SHCOLSTATEF* flags) override
    {
        if (column >= shell_.ColumnStates.size())
            return E_INVALIDARG;
        *flags = shell_.ColumnStates[column];
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDetailsEx(LPCITEMIDLIST, const SHCOLUMNID*, VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDetailsOf(LPCITEMIDLIST pidl, UINT column, SHELLDETAILS* out) override
    {
        if (!pidl) {
            if (column >= shell_.Columns.size())
                return E_INVALIDARG;
            out->fmt = column == 1 ? LVCFMT_RIGHT : LVCFMT_LEFT;
            out->cxChar = 10 + static_cast<int>(column);
            PutText(&out->str, shell_.Columns[column], STRRET_WSTR);
            return S_OK;
        }
        const FakeItem* i = shell_.Resolve(item_, pidl);
        if (!i)
            return E_INVALIDARG;
        if (column == 0) {
            PutText(&out->str, i->Name, STRRET_WSTR);
            return S_OK;
        }
        if (column > i->Details.size())
            return E_INVALIDARG;
        PutText(&out->str, i->Details[column - 1], STRRET_WSTR);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE MapColumnToSCID(UINT, SHCOLUMNID*) override { return E_NOTIMPL; }

private:
    FakeShell& shell_;
    FakeItem* item_;
};

FakeShell::FakeShell() : root_(std::make_unique<FakeItem>())
{
    root_->Name = "Desktop";
    root_->Folder = true;
    root_->Id = 1;
    items_.push_back(root_.get());
}

FakeShell::~FakeShell() = default;

FakeItem* FakeShell::Add(FakeItem* Parent, const std::string& Name, bool Folder, ULONG Attributes)
{
    if (!Parent)
        Parent = root_.get();
    auto item = std::make_unique<FakeItem>();
    item->Name = Name;
    item->Folder = Folder;
    item->Attributes = Attributes;
    item->Parent = Parent;
    item->Id = static_cast<unsigned>(items_.size()) + 1;
    items_.push_back(item.get());
    Parent->Children.push_back(std::move(item));
    return Parent->Children.back().get();
}

IShellFolder* FakeShell::Desktop() { return new FakeFolder(*this, root_.get()); }

LPITEMIDLIST FakeShell::AbsoluteList(const FakeItem* Item) const
{
    std::vector<unsigned> ids;
    for (const FakeItem* i = Item; i && i != root_.get(); i = i->Parent)
        ids.insert(ids.begin(), i->Id);
    LPITEMIDLIST p = AllocList(ids.size() * sizeof(FakeID) + 2);
    auto* item = reinterpret_cast<FakeID*>(p);
    for (unsigned id : ids)
        *item++ = FakeID{sizeof(FakeID), {'F', 'k'}, id};
    return p;
}

FakeItem* FakeShell::ItemOf(LPCITEMIDLIST Absolute) const { return Resolve(root_.get(), Absolute); }

std::string FakeShell::ParsingName(const FakeItem* Item) const
{
    if (!Item->Parsing.empty())
        return Item->Parsing;
    if (Item == root_.get())
        return "Fake:";
    return ParsingName(Item->Parent) + "\\" + Item->Name;
}

FakeItem* FakeShell::Find(unsigned Id) const
{
    return Id >= 1 && Id <= items_.size() ? items_[Id - 1] : nullptr;
}

FakeItem* FakeShell::Resolve(const FakeItem* From, LPCITEMIDLIST List) const
{
    FakeItem* at = const_cast<FakeItem*>(From);
    for (; List && List->mkid.cb; List = Next(List)) {
        FakeItem* next = Find(FirstId(List));
        if (!next || next->Parent != at)
            return nullptr;
        at = next;
    }
    return at;
}

HRESULT CountingMalloc::QueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IUnknown || riid == IID_IMalloc) {
        *ppv = this;
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

void* CountingMalloc::Alloc(SIZE_T cb)
{
    void* p = CoTaskMemAlloc(cb);
    if (p)
        live_.insert(p);
    return p;
}

void* CountingMalloc::Realloc(void* pv, SIZE_T cb)
{
    live_.erase(pv);
    void* p = CoTaskMemRealloc(pv, cb);
    if (p)
        live_.insert(p);
    return p;
}

void CountingMalloc::Free(void* pv)
{
    live_.erase(pv);
    CoTaskMemFree(pv);
}

} // namespace testkit
