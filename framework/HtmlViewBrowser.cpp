// The two browser implementations: the system control hosted in place, and our own view.
#include "HtmlViewBrowser.h"

#include <exdisp.h>
#include <exdispid.h>
#include <ole2.h>

#include <cstdlib>

namespace htmlview {

// {ED016940-BD5B-11cf-BA4E-00C04FD70816}
const GUID CGID_BrowserDocumentCommands = {0xED016940, 0xBD5B, 0x11CF, {0xBA, 0x4E, 0x00, 0xC0, 0x4F, 0xD7, 0x08, 0x16}};

namespace {

std::wstring Widen(const std::string& s)
{
    if (s.empty())
        return std::wstring();
    int n = MultiByteToWideChar(1251, 0, s.data(), int(s.size()), nullptr, 0);
    std::wstring w(size_t(n), L'\0');
    MultiByteToWideChar(1251, 0, s.data(), int(s.size()), w.data(), n);
    return w;
}

std::string Narrow(const wchar_t* w, int len = -1)
{
    if (!w)
        return std::string();
    if (len < 0)
        len = int(wcslen(w));
    if (len == 0)
        return std::string();
    int n = WideCharToMultiByte(1251, 0, w, len, nullptr, 0, "?", nullptr);
    std::string s(size_t(n), '\0');
    WideCharToMultiByte(1251, 0, w, len, s.data(), n, "?", nullptr);
    return s;
}

std::string BstrText(BSTR b) { return b ? Narrow(b, int(SysStringLen(b))) : std::string(); }

// A variant argument of an event as text, following a by-reference variant.
std::string VariantText(const VARIANT& v)
{
    const VARIANT* p = &v;
    if (V_VT(p) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(p))
        p = V_VARIANTREF(p);
    if (V_VT(p) == VT_BSTR)
        return BstrText(V_BSTR(p));
    if (V_VT(p) == (VT_BYREF | VT_BSTR) && V_BSTRREF(p))
        return BstrText(*V_BSTRREF(p));
    VARIANT tmp;
    VariantInit(&tmp);
    std::string s;
    if (SUCCEEDED(VariantChangeType(&tmp, const_cast<VARIANT*>(p), 0, VT_BSTR)))
        s = BstrText(V_BSTR(&tmp));
    VariantClear(&tmp);
    return s;
}

long VariantLong(const VARIANT& v)
{
    const VARIANT* p = &v;
    if (V_VT(p) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(p))
        p = V_VARIANTREF(p);
    VARIANT tmp;
    VariantInit(&tmp);
    long r = 0;
    if (SUCCEEDED(VariantChangeType(&tmp, const_cast<VARIANT*>(p), 0, VT_I4)))
        r = V_I4(&tmp);
    VariantClear(&tmp);
    return r;
}

template <class T>
void ReleaseAndNull(T*& p)
{
    if (p) {
        T* tmp = p;
        p = nullptr;
        tmp->Release();
    }
}

// The reference count and the type-information answers of the COM objects here: created with
// one reference, deleted at the last Release; an IDispatch without a type library, called by
// DISPID only.
template <class Self, class... Interfaces>
class DispatchObject : public Interfaces... {
public:
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        LONG r = InterlockedDecrement(&refs_);
        if (r == 0)
            delete static_cast<Self*>(this);
        return ULONG(r);
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override
    {
        if (n)
            *n = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override
    {
        return DISP_E_UNKNOWNNAME;
    }

protected:
    DispatchObject() = default;
    ~DispatchObject() = default;

private:
    LONG refs_ = 1;
};

// ---- Our view ----

// The document object of our view: IOleCommandTarget with the find and view-source commands.
class OwnDocument final : public DispatchObject<OwnDocument, IDispatch, IOleCommandTarget> {
public:
    explicit OwnDocument(View* view) : view_(view) {}
    void Detach() { view_ = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch))
            *out = static_cast<IDispatch*>(this);
        else if (IsEqualIID(riid, IID_IOleCommandTarget))
            *out = static_cast<IOleCommandTarget*>(this);
        else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return DISP_E_MEMBERNOTFOUND;
    }

    HRESULT STDMETHODCALLTYPE QueryStatus(const GUID* group, ULONG count, OLECMD* cmds, OLECMDTEXT*) override
    {
        if (!group || !IsEqualGUID(*group, CGID_BrowserDocumentCommands))
            return OLECMDERR_E_UNKNOWNGROUP;
        for (ULONG i = 0; cmds && i < count; ++i)
            cmds[i].cmdf = (cmds[i].cmdID == BrowserCmdFind || cmds[i].cmdID == BrowserCmdViewSource) && view_
                               ? (OLECMDF_SUPPORTED | OLECMDF_ENABLED)
                               : 0;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Exec(const GUID* group, DWORD id, DWORD, VARIANT*, VARIANT*) override
    {
        if (!group || !IsEqualGUID(*group, CGID_BrowserDocumentCommands))
            return OLECMDERR_E_UNKNOWNGROUP;
        if (!view_ || !view_->HasDocument())
            return E_FAIL;
        try {
            if (id == BrowserCmdFind) {
                view_->ShowFindDialog();
                return S_OK;
            }
            if (id == BrowserCmdViewSource)
                return view_->ShowSource() ? S_OK : E_FAIL;
        } catch (...) {
            return E_FAIL;
        }
        return OLECMDERR_E_NOTSUPPORTED;
    }

private:
    View* view_;
};

class OwnBrowser final : public Browser {
public:
    OwnBrowser(HWND parent, const RECT& r)
    {
        view_.Create(parent, r.left, r.top, r.right - r.left, r.bottom - r.top);
        view_.Events.BeforeNavigate2 = [this](const std::string& url, bool& cancel) {
            if (Events.BeforeNavigate2)
                Events.BeforeNavigate2(url, cancel);
        };
        view_.Events.DownloadBegin = [this] {
            if (Events.DownloadBegin)
                Events.DownloadBegin();
        };
        view_.Events.ProgressChange = [this](long p, long m) {
            if (Events.ProgressChange)
                Events.ProgressChange(p, m);
        };
        view_.Events.NavigateComplete2 = [this](const std::string& url) {
            if (Events.NavigateComplete2)
                Events.NavigateComplete2(url);
        };
        view_.Events.TitleChange = [this](const std::string& t) {
            if (Events.TitleChange)
                Events.TitleChange(t);
        };
        view_.Events.CommandStateChange = [this](long c, bool e) {
            if (Events.CommandStateChange)
                Events.CommandStateChange(c, e);
        };
        view_.Events.DocumentComplete = [this](const std::string& url) {
            if (Events.DocumentComplete)
                Events.DocumentComplete(url);
        };
        view_.Events.DownloadComplete = [this] {
            if (Events.DownloadComplete)
                Events.DownloadComplete();
        };
        view_.Events.StatusTextChange = [this](const std::string& t) {
            if (Events.StatusTextChange)
                Events.StatusTextChange(t);
        };
        document_ = new OwnDocument(&view_);
    }

    ~OwnBrowser() override
    {
        document_->Detach(); // callers may still hold the document: it then refuses commands
        document_->Release();
        view_.Destroy();
    }

    BrowserKind Kind() const override { return BrowserKind::Own; }
    HWND Window() const override { return view_.Handle(); }
    void SetBounds(const RECT& r) override
    {
        if (view_.Handle())
            MoveWindow(view_.Handle(), r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
    }
    void Navigate(const std::string& url, long) override { view_.Navigate(url); }
    void GoBack() override { view_.GoBack(); }
    void GoForward() override { view_.GoForward(); }
    void Stop() override { view_.Stop(); }
    void Refresh() override { view_.Refresh(); }

    HRESULT ExecWB(OLECMDID cmd, OLECMDEXECOPT opt, VARIANT*, VARIANT*) override
    {
        bool prompt = opt != OLECMDEXECOPT_DONTPROMPTUSER;
        switch (cmd) {
        case OLECMDID_SAVEAS:
            return view_.SaveAs(prompt) ? S_OK : OLECMDERR_E_CANCELED;
        case OLECMDID_PRINT:
            return view_.Print(prompt) ? S_OK : OLECMDERR_E_CANCELED;
        default:
            return OLECMDERR_E_NOTSUPPORTED;
        }
    }

    IDispatch* Document() override
    {
        if (!view_.HasDocument())
            return nullptr;
        document_->AddRef();
        return document_;
    }
    std::string LocationName() override { return view_.LocationName(); }
    std::string LocationURL() override { return view_.LocationURL(); }
    bool Busy() override { return view_.Busy(); }
    View* OwnView() override { return &view_; }

private:
    View view_;
    OwnDocument* document_ = nullptr;
};

// ---- The system control ----

class SystemBrowser;

// The control's site: client site, in-place site and frame, and the sink of its events.
class Site final
    : public DispatchObject<Site, IOleClientSite, IOleInPlaceSite, IOleInPlaceFrame, IDispatch> {
public:
    explicit Site(SystemBrowser* owner) : owner_(owner) {}
    void Detach() { owner_ = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleClientSite))
            *out = static_cast<IOleClientSite*>(this);
        else if (IsEqualIID(riid, IID_IOleWindow) || IsEqualIID(riid, IID_IOleInPlaceSite))
            *out = static_cast<IOleInPlaceSite*>(this);
        else if (IsEqualIID(riid, IID_IOleInPlaceUIWindow) || IsEqualIID(riid, IID_IOleInPlaceFrame))
            *out = static_cast<IOleInPlaceFrame*>(this);
        else if (IsEqualIID(riid, IID_IDispatch) || IsEqualIID(riid, DIID_DWebBrowserEvents2))
            *out = static_cast<IDispatch*>(this);
        else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** c) override
    {
        if (c)
            *c = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow (site and frame alike)
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* wnd) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos,
                                               LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow / IOleInPlaceFrame
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // IDispatch: the control's events
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*) override;

private:
    SystemBrowser* owner_;
};

const char kHostClass[] = "VellornWebHost";

class SystemBrowser final : public Browser {
public:
    ~SystemBrowser() override { Shutdown(); }

    bool Init(HWND parent, const RECT& r)
    {
        HRESULT hr = OleInitialize(nullptr);
        oleInitialized_ = SUCCEEDED(hr);
        static bool registered = false;
        if (!registered) {
            WNDCLASSEXA wc{};
            wc.cbSize = sizeof wc;
            wc.lpfnWndProc = HostProc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
            wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
            wc.lpszClassName = kHostClass;
            RegisterClassExA(&wc);
            registered = true;
        }
        host_ = CreateWindowExA(0, kHostClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, r.left, r.top,
                                r.right - r.left, r.bottom - r.top, parent, nullptr, GetModuleHandleA(nullptr), this);
        if (!host_)
            return false;
        site_ = new Site(this);
        if (FAILED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                                    IID_IOleObject, reinterpret_cast<void**>(&ole_))) ||
            !ole_)
            return false;
        if (FAILED(ole_->SetClientSite(static_cast<IOleClientSite*>(site_))))
            return false;
        OleSetContainedObject(ole_, TRUE);
        RECT rc;
        GetClientRect(host_, &rc);
        if (FAILED(ole_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(site_), 0, host_, &rc)))
            return false;
        if (FAILED(ole_->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&web_))) || !web_)
            return false;
        ole_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace_));
        IConnectionPointContainer* cpc = nullptr;
        if (SUCCEEDED(web_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&cpc))) && cpc) {
            if (SUCCEEDED(cpc->FindConnectionPoint(DIID_DWebBrowserEvents2, &cp_)) && cp_)
                cp_->Advise(static_cast<IDispatch*>(site_), &cookie_);
            cpc->Release();
        }
        Resize();
        return true;
    }

    void Shutdown()
    {
        if (cp_) {
            if (cookie_)
                cp_->Unadvise(cookie_);
            cookie_ = 0;
            ReleaseAndNull(cp_);
        }
        if (web_)
            web_->Stop();
        ReleaseAndNull(web_);
        if (inPlace_) {
            inPlace_->InPlaceDeactivate();
            ReleaseAndNull(inPlace_);
        }
        if (ole_) {
            ole_->Close(OLECLOSE_NOSAVE);
            ole_->SetClientSite(nullptr);
            ReleaseAndNull(ole_);
        }
        if (site_) {
            site_->Detach();
            ReleaseAndNull(site_);
        }
        if (host_ && IsWindow(host_)) {
            SetWindowLongPtrA(host_, GWLP_USERDATA, 0);
            DestroyWindow(host_);
        }
        host_ = nullptr;
        if (oleInitialized_)
            OleUninitialize();
        oleInitialized_ = false;
    }

    BrowserKind Kind() const override { return BrowserKind::System; }
    HWND Window() const override { return host_; }
    HWND HostWindow() const { return host_; }

    void SetBounds(const RECT& r) override
    {
        if (host_)
            MoveWindow(host_, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
        Resize();
    }

    void Resize()
    {
        if (!inPlace_ || !host_)
            return;
        RECT rc;
        GetClientRect(host_, &rc);
        inPlace_->SetObjectRects(&rc, &rc);
    }

    void Navigate(const std::string& url, long flags) override
    {
        if (!web_)
            return;
        std::wstring w = Widen(url);
        BSTR b = SysAllocStringLen(w.data(), UINT(w.size()));
        VARIANT vflags, empty;
        VariantInit(&vflags);
        VariantInit(&empty);
        V_VT(&vflags) = VT_I4;
        V_I4(&vflags) = flags;
        web_->Navigate(b, &vflags, &empty, &empty, &empty);
        SysFreeString(b);
    }
    void GoBack() override
    {
        if (web_)
            web_->GoBack();
    }
    void GoForward() override
    {
        if (web_)
            web_->GoForward();
    }
    void Stop() override
    {
        if (web_)
            web_->Stop();
    }
    void Refresh() override
    {
        if (web_)
            web_->Refresh();
    }
    HRESULT ExecWB(OLECMDID cmd, OLECMDEXECOPT opt, VARIANT* in, VARIANT* out) override
    {
        return web_ ? web_->ExecWB(cmd, opt, in, out) : E_FAIL;
    }
    IDispatch* Document() override
    {
        IDispatch* d = nullptr;
        if (!web_ || FAILED(web_->get_Document(&d)))
            return nullptr;
        return d;
    }
    std::string LocationName() override
    {
        BSTR b = nullptr;
        std::string s;
        if (web_ && SUCCEEDED(web_->get_LocationName(&b)))
            s = BstrText(b);
        SysFreeString(b);
        return s;
    }
    std::string LocationURL() override
    {
        BSTR b = nullptr;
        std::string s;
        if (web_ && SUCCEEDED(web_->get_LocationURL(&b)))
            s = BstrText(b);
        SysFreeString(b);
        return s;
    }
    bool Busy() override
    {
        VARIANT_BOOL busy = VARIANT_FALSE;
        return web_ && SUCCEEDED(web_->get_Busy(&busy)) && busy != VARIANT_FALSE;
    }

    void OnEvent(DISPID id, DISPPARAMS* p)
    {
        auto arg = [p](UINT fromLast) -> const VARIANT* {
            // Arguments arrive last first: fromLast 0 is the first declared argument.
            if (!p || fromLast >= p->cArgs)
                return nullptr;
            return &p->rgvarg[p->cArgs - 1 - fromLast];
        };
        switch (id) {
        case DISPID_BEFORENAVIGATE2: {
            const VARIANT* url = arg(1);
            const VARIANT* cancel = arg(6);
            bool c = false;
            if (Events.BeforeNavigate2)
                Events.BeforeNavigate2(url ? VariantText(*url) : std::string(), c);
            if (c && cancel && V_VT(cancel) == (VT_BYREF | VT_BOOL) && V_BOOLREF(cancel))
                *V_BOOLREF(cancel) = VARIANT_TRUE;
            break;
        }
        case DISPID_NAVIGATECOMPLETE2:
            if (Events.NavigateComplete2 && arg(1))
                Events.NavigateComplete2(VariantText(*arg(1)));
            break;
        case DISPID_DOCUMENTCOMPLETE:
            if (Events.DocumentComplete && arg(1))
                Events.DocumentComplete(VariantText(*arg(1)));
            break;
        case DISPID_PROGRESSCHANGE:
            if (Events.ProgressChange && arg(0) && arg(1))
                Events.ProgressChange(VariantLong(*arg(0)), VariantLong(*arg(1)));
            break;
        case DISPID_STATUSTEXTCHANGE:
            if (Events.StatusTextChange && arg(0))
                Events.StatusTextChange(VariantText(*arg(0)));
            break;
        case DISPID_TITLECHANGE:
            if (Events.TitleChange && arg(0))
                Events.TitleChange(VariantText(*arg(0)));
            break;
        case DISPID_COMMANDSTATECHANGE:
            if (Events.CommandStateChange && arg(0) && arg(1))
                Events.CommandStateChange(VariantLong(*arg(0)), VariantLong(*arg(1)) != 0);
            break;
        case DISPID_DOWNLOADBEGIN:
            if (Events.DownloadBegin)
                Events.DownloadBegin();
            break;
        case DISPID_DOWNLOADCOMPLETE:
            if (Events.DownloadComplete)
                Events.DownloadComplete();
            break;
        default:
            break;
        }
    }

private:
    static LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
    {
        if (msg == WM_NCCREATE)
            SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams));
        auto* self = reinterpret_cast<SystemBrowser*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (msg == WM_SIZE && self) {
            try {
                self->Resize();
            } catch (...) {
            }
            return 0;
        }
        return DefWindowProcA(hwnd, msg, wp, lp);
    }

    bool oleInitialized_ = false;
    HWND host_ = nullptr;
    Site* site_ = nullptr;
    IOleObject* ole_ = nullptr;
    IOleInPlaceObject* inPlace_ = nullptr;
    IWebBrowser2* web_ = nullptr;
    IConnectionPoint* cp_ = nullptr;
    DWORD cookie_ = 0;
};

HRESULT Site::GetWindow(HWND* wnd)
{
    if (!wnd)
        return E_POINTER;
    *wnd = owner_ ? owner_->HostWindow() : nullptr;
    return *wnd ? S_OK : E_FAIL;
}

HRESULT Site::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos, LPRECT clip,
                               LPOLEINPLACEFRAMEINFO info)
{
    if (frame) {
        *frame = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
    }
    if (doc)
        *doc = nullptr;
    RECT rc{0, 0, 0, 0};
    HWND host = owner_ ? owner_->HostWindow() : nullptr;
    if (host)
        GetClientRect(host, &rc);
    if (pos)
        *pos = rc;
    if (clip)
        *clip = rc;
    if (info) {
        info->fMDIApp = FALSE;
        info->hwndFrame = host ? GetAncestor(host, GA_ROOT) : nullptr;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
    }
    return S_OK;
}

HRESULT Site::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*)
{
    if (!owner_)
        return S_OK;
    try {
        owner_->OnEvent(id, params);
    } catch (...) {
        // The application's handlers must not unwind into the control.
    }
    return S_OK;
}

} // namespace

bool RunningOnWine()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

BrowserKind PreferredBrowserKind()
{
    char buf[32] = {};
    DWORD n = GetEnvironmentVariableA("VELLORN_BROWSER", buf, sizeof buf);
    std::string v = n < sizeof buf ? std::string(buf, n) : std::string();
    for (char& c : v)
        c = char(tolower((unsigned char)c));
    if (v == "system")
        return BrowserKind::System;
    if (v == "own")
        return BrowserKind::Own;
    return RunningOnWine() ? BrowserKind::Own : BrowserKind::System;
}

std::unique_ptr<Browser> Browser::Make(HWND parent, const RECT& bounds)
{
    return Make(parent, bounds, PreferredBrowserKind());
}

std::unique_ptr<Browser> Browser::Make(HWND parent, const RECT& bounds, BrowserKind kind)
{
    if (kind == BrowserKind::System) {
        auto sys = std::make_unique<SystemBrowser>();
        if (sys->Init(parent, bounds))
            return sys;
    }
    return std::make_unique<OwnBrowser>(parent, bounds);
}

} // namespace htmlview
