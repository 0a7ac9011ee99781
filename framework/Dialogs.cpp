#include "Dialogs.h"

#include "Forms.h"
#include "SysUtilsFilesNames.h"

#include <algorithm>
#include <cwchar>
#include <exception>

namespace {

IPromptService* g_promptService = nullptr;

struct TButtonInfo {
    const char* Name;
    const char* Caption;
    TModalResult Result;
};

constexpr TButtonInfo kButtons[] = {
    {"Yes", "&Yes", mrYes},       {"No", "&No", mrNo},
    {"OK", "OK", mrOk},           {"Cancel", "Cancel", mrCancel},
    {"Abort", "&Abort", mrAbort}, {"Retry", "&Retry", mrRetry},
    {"Ignore", "&Ignore", mrIgnore}, {"All", "&All", mrAll},
    {"NoToAll", "N&o to All", mrNoToAll}, {"YesToAll", "Yes to &All", mrYesToAll},
    {"Help", "&Help", mrNone},
};
constexpr int kButtonCount = sizeof kButtons / sizeof kButtons[0];

} // namespace

// --- Tables -----------------------------------------------------------------------------------

AnsiString MsgDlgTypeCaption(TMsgDlgType type)
{
    switch (type) {
    case mtWarning:
        return "Warning";
    case mtError:
        return "Error";
    case mtInformation:
        return "Information";
    case mtConfirmation:
        return "Confirm";
    default:
        return "";
    }
}

AnsiString MsgDlgButtonCaption(TMsgDlgBtn button) { return kButtons[button].Caption; }
AnsiString MsgDlgButtonName(TMsgDlgBtn button) { return kButtons[button].Name; }
TModalResult MsgDlgButtonResult(TMsgDlgBtn button) { return kButtons[button].Result; }

int MsgDlgDefaultButton(TMsgDlgButtons buttons)
{
    if (buttons.Contains(mbOK))
        return mbOK;
    if (buttons.Contains(mbYes))
        return mbYes;
    if (buttons.Contains(mbRetry))
        return mbRetry;
    return -1;
}

int MsgDlgCancelButton(TMsgDlgButtons buttons)
{
    if (buttons.Contains(mbCancel))
        return mbCancel;
    if (buttons.Contains(mbNo))
        return mbNo;
    if (buttons.Contains(mbOK))
        return mbOK;
    return -1;
}

LPCSTR MsgDlgIcon(TMsgDlgType type)
{
    switch (type) {
    case mtWarning:
        return IDI_EXCLAMATION;
    case mtError:
        return IDI_HAND;
    case mtInformation:
        return IDI_ASTERISK;
    case mtConfirmation:
        return IDI_QUESTION;
    default:
        return nullptr;
    }
}

AnsiString ApplicationTitle()
{
    if (Application)
        return Application->Title();
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    AnsiString name(path, n);
    size_t slash = name.find_last_of("\\/:");
    if (slash != AnsiString::npos)
        name.erase(0, slash + 1);
    size_t dot = name.rfind('.');
    if (dot != AnsiString::npos)
        name.erase(dot);
    return name;
}

AnsiString MsgDlgTitle(const AnsiString& title, TMsgDlgType type)
{
    if (!title.empty())
        return title;
    if (type == mtCustom)
        return ApplicationTitle();
    return MsgDlgTypeCaption(type);
}

// --- The service ------------------------------------------------------------------------------

IPromptService& PromptService()
{
    static TSystemPromptService systemService;
    return g_promptService ? *g_promptService : systemService;
}

TPromptServiceGuard::TPromptServiceGuard(IPromptService& service) : previous_(g_promptService)
{
    g_promptService = &service;
}

TPromptServiceGuard::~TPromptServiceGuard() { g_promptService = previous_; }

int TSystemPromptService::MessageBox(const AnsiString& text, const AnsiString& caption, UINT flags)
{
    return ShowSystemMessageBox(text, caption, flags);
}

TModalResult TSystemPromptService::MessageDlg(const AnsiString& title, const AnsiString& msg, TMsgDlgType type,
                                              TMsgDlgButtons buttons, int helpCtx, int x, int y)
{
    return ShowSystemMessageDlg(title, msg, type, buttons, helpCtx, x, y);
}

bool TSystemPromptService::InputQuery(const AnsiString& caption, const AnsiString& prompt, AnsiString& value)
{
    return ShowSystemInputQuery(caption, prompt, value);
}

TScriptedPromptService::TAnswer TScriptedPromptService::Next()
{
    if (Answers.empty()) {
        ++Unanswered;
        return TAnswer{};
    }
    TAnswer a = std::move(Answers.front());
    Answers.pop_front();
    return a;
}

int TScriptedPromptService::MessageBox(const AnsiString& text, const AnsiString& caption, UINT flags)
{
    TRecord r;
    r.Kind = pkMessageBox;
    r.Caption = caption;
    r.Text = text;
    r.Flags = flags;
    Shown.push_back(r);
    return Next().Result;
}

TModalResult TScriptedPromptService::MessageDlg(const AnsiString& title, const AnsiString& msg, TMsgDlgType type,
                                                TMsgDlgButtons buttons, int helpCtx, int, int)
{
    TRecord r;
    r.Kind = pkMessageDlg;
    r.Caption = MsgDlgTitle(title, type);
    r.Text = msg;
    r.DlgType = type;
    r.Buttons = buttons;
    r.HelpCtx = helpCtx;
    Shown.push_back(r);
    return Next().Result;
}

bool TScriptedPromptService::InputQuery(const AnsiString& caption, const AnsiString& prompt, AnsiString& value)
{
    TRecord r;
    r.Kind = pkInputQuery;
    r.Caption = caption;
    r.Text = prompt;
    r.Value = value;
    Shown.push_back(r);
    TAnswer a = Next();
    if (a.Result == 0)
        return false;
    value = a.Value;
    return true;
}

// --- Dialog functions -------------------------------------------------------------------------

TModalResult MessageDlg(const AnsiString& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx)
{
    return PromptService().MessageDlg("", msg, type, buttons, helpCtx, -1, -1);
}

TModalResult MessageDlgPos(const AnsiString& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx, int x,
                           int y)
{
    return PromptService().MessageDlg("", msg, type, buttons, helpCtx, x, y);
}

void ShowMessage(const AnsiString& msg) { ShowMessagePos(msg, -1, -1); }

void ShowMessagePos(const AnsiString& msg, int x, int y) { MessageDlgPos(msg, mtCustom, mbOK, 0, x, y); }

bool InputQuery(const AnsiString& caption, const AnsiString& prompt, AnsiString& value)
{
    return PromptService().InputQuery(caption, prompt, value);
}

AnsiString InputBox(const AnsiString& caption, const AnsiString& prompt, const AnsiString& defaultValue)
{
    AnsiString value = defaultValue;
    InputQuery(caption, prompt, value);
    return value;
}

// --- The real windows -------------------------------------------------------------------------

namespace {

// The owner of a box: the active window while it shows, else the application's hidden window.
HWND BoxOwner()
{
    // Never a hidden window: one going away would take the box with it.
    if (HWND active = GetActiveWindow(); active && IsWindowVisible(active))
        return active;
    return Application ? Application->Handle() : nullptr;
}

// The other windows of the program wait while a system box or dialog is open (the system
// disables only the owner, which it enables again itself).
class TTaskWindows {
public:
    explicit TTaskWindows(HWND owner) : windows_(DisableTaskWindows(owner)) {}
    ~TTaskWindows() { EnableTaskWindows(windows_); }
    TTaskWindows(const TTaskWindows&) = delete;
    TTaskWindows& operator=(const TTaskWindows&) = delete;

private:
    std::vector<HWND> windows_;
};

// A screen DC with a font selected, for measuring.
class TMeasureDC {
public:
    explicit TMeasureDC(HFONT font) : dc_(GetDC(nullptr)) { old_ = SelectObject(dc_, font); }
    ~TMeasureDC()
    {
        SelectObject(dc_, old_);
        ReleaseDC(nullptr, dc_);
    }
    TMeasureDC(const TMeasureDC&) = delete;
    TMeasureDC& operator=(const TMeasureDC&) = delete;
    HDC Handle() const { return dc_; }

    // Average character width and height (the dialog base units of the font).
    POINT BaseUnits() const
    {
        const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        SIZE sz{};
        GetTextExtentPoint32A(dc_, letters, 52, &sz);
        return POINT{sz.cx / 52, sz.cy};
    }
    SIZE TextSize(const AnsiString& text, UINT flags, int maxWidth = 0) const
    {
        RECT r{0, 0, maxWidth, 0};
        DrawTextA(dc_, text.c_str(), static_cast<int>(text.size()), &r, flags | DT_CALCRECT);
        return SIZE{r.right - r.left, r.bottom - r.top};
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// --- The box forms ---------------------------------------------------------------------------

// A push button of a box: a click (or Enter while it is the active button, or Esc when it is the
// cancel button) sets its form's modal result.
class TMsgDlgButton : public TWinControl {
    VCL_CLASS(TMsgDlgButton, TWinControl)
public:
    explicit TMsgDlgButton(TComponent* AOwner) : TWinControl(AOwner) { SetTabStop(true); }
    TModalResult ModalResult = mrNone;
    bool Default = false;
    bool Cancel = false;

    void Click() override
    {
        inherited::Click();
        if (ModalResult != mrNone)
            if (TCustomForm* form = GetParentForm(this))
                form->SetModalResult(ModalResult);
    }

protected:
    void CreateParams(TCreateParams& Params) override
    {
        inherited::CreateParams(Params);
        CreateSubClass(Params, "BUTTON");
        Params.Style |= WS_TABSTOP | (Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    }
    void Dispatch(TMessage& Message) override
    {
        if (Message.Msg == CN_COMMAND) {
            if (HIWORD(Message.WParam) == BN_CLICKED)
                Click();
            return;
        }
        if (Message.Msg == CM_DIALOGKEY) {
            // Enter goes to the focused button, else to the default one.
            HWND focus = GetFocus();
            TWinControl* focused = focus ? FindControl(focus) : nullptr;
            const bool active = dynamic_cast<TMsgDlgButton*>(focused) ? focused == this : Default;
            if (((Message.WParam == VK_RETURN && active) || (Message.WParam == VK_ESCAPE && Cancel)) &&
                Enabled() && Visible()) {
                Click();
                Message.Result = 1;
                return;
            }
        }
        inherited::Dispatch(Message);
    }
};

// A static text, a system icon or a one-line edit of a box.
class TMsgDlgStatic : public TWinControl {
    VCL_CLASS(TMsgDlgStatic, TWinControl)
public:
    TMsgDlgStatic(TComponent* AOwner, DWORD style, LPCSTR icon = nullptr)
        : TWinControl(AOwner), FStyle(style), FIcon(icon)
    {
    }

protected:
    void CreateParams(TCreateParams& Params) override
    {
        inherited::CreateParams(Params);
        CreateSubClass(Params, "STATIC");
        Params.Style |= FStyle;
    }
    void CreateWnd() override
    {
        inherited::CreateWnd();
        if (FIcon)
            SendMessageA(Handle(), STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, FIcon)), 0);
    }

private:
    DWORD FStyle;
    LPCSTR FIcon;
};

class TMsgDlgEdit : public TWinControl {
    VCL_CLASS(TMsgDlgEdit, TWinControl)
public:
    explicit TMsgDlgEdit(TComponent* AOwner) : TWinControl(AOwner) { SetTabStop(true); }

protected:
    void CreateParams(TCreateParams& Params) override
    {
        inherited::CreateParams(Params);
        CreateSubClass(Params, "EDIT");
        Params.Style |= WS_TABSTOP | ES_AUTOHSCROLL;
        Params.ExStyle |= WS_EX_CLIENTEDGE;
    }
    void CreateWnd() override
    {
        inherited::CreateWnd();
        SendMessageA(Handle(), EM_LIMITTEXT, 255, 0);
        SendMessageA(Handle(), EM_SETSEL, 0, -1);
    }
};

// The form of a message or input box, in the system's message font.
class TMessageForm : public TForm {
    VCL_CLASS(TMessageForm, TForm)
public:
    explicit TMessageForm(TComponent* AOwner) : TForm(AOwner)
    {
        SetBorderStyle(bsDialog);
        NONCLIENTMETRICSA ncm{};
        ncm.cbSize = sizeof ncm;
        if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0))
            if (HFONT f = CreateFontIndirectA(&ncm.lfMessageFont))
                Font()->SetHandle(f);
    }

    template <class T, class... Args>
    T* AddControl(const AnsiString& name, const AnsiString& text, RECT r, Args&&... args)
    {
        T* c = Create<T>(this, std::forward<Args>(args)...);
        if (!name.empty())
            c->SetName(name);
        c->SetParent(this);
        c->SetFont(Font());
        c->SetText(text);
        c->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
        return c;
    }

    // Gives the form this client size and places it: centred on the screen, or at X / Y where
    // they are not negative.
    void Place(int clientW, int clientH, int x, int y)
    {
        SetClientSize(clientW, clientH);
        int left = GetSystemMetrics(SM_CXSCREEN) / 2 - Width() / 2;
        int top = GetSystemMetrics(SM_CYSCREEN) / 2 - Height() / 2;
        SetBounds(x >= 0 ? x : left, y >= 0 ? y : top, Width(), Height());
    }
};

struct TFormFree {
    void operator()(TForm* f) const { f->Free(); }
};
using TFormPtr = std::unique_ptr<TForm, TFormFree>;

TForm* BuildMessageForm(const AnsiString& title, const AnsiString& msg, TMsgDlgType type, TMsgDlgButtons buttons,
                        int x, int y)
{
    TFormPtr holder(Create<TMessageForm>(Application));
    auto* form = static_cast<TMessageForm*>(holder.get());
    TMeasureDC mdc(form->Font()->Handle());
    POINT du = mdc.BaseUnits();
    const int horzMargin = MulDiv(16, du.x, 4), vertMargin = MulDiv(12, du.y, 8);
    const int horzSpacing = MulDiv(10, du.x, 4), vertSpacing = MulDiv(10, du.y, 8);
    int buttonWidth = MulDiv(50, du.x, 4);
    int count = 0;
    for (int b = 0; b < kButtonCount; ++b) {
        if (!buttons.Contains(TMsgDlgBtn(b)))
            continue;
        ++count;
        buttonWidth = std::max<int>(buttonWidth, mdc.TextSize(kButtons[b].Caption, DT_SINGLELINE).cx + 8);
    }
    const int buttonHeight = MulDiv(14, du.y, 8), buttonSpacing = MulDiv(4, du.x, 4);

    // The text keeps every character as it stands: "&" is no hot-key mark in a message.
    SIZE text = mdc.TextSize(msg, DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX, GetSystemMetrics(SM_CXSCREEN) / 2);
    LPCSTR icon = MsgDlgIcon(type);
    int iconTextW = text.cx, iconTextH = text.cy;
    if (icon) {
        iconTextW += 32 + horzSpacing;
        iconTextH = std::max<int>(iconTextH, 32);
    }
    const int groupW = count ? buttonWidth * count + buttonSpacing * (count - 1) : 0;
    const int clientW = std::max(iconTextW, groupW) + 2 * horzMargin;
    const int clientH = iconTextH + buttonHeight + vertSpacing + 2 * vertMargin;

    form->SetCaption(MsgDlgTitle(title, type));
    form->Place(clientW, clientH, x, y);
    if (icon)
        form->AddControl<TMsgDlgStatic>("Image", "", RECT{horzMargin, vertMargin, horzMargin + 32, vertMargin + 32},
                                        DWORD(SS_ICON), icon);
    const int textLeft = iconTextW - text.cx + horzMargin;
    form->AddControl<TMsgDlgStatic>("Message", msg,
                                    RECT{textLeft, vertMargin, textLeft + text.cx, vertMargin + text.cy},
                                    DWORD(SS_LEFT | SS_NOPREFIX));

    const int def = MsgDlgDefaultButton(buttons), cancel = MsgDlgCancelButton(buttons);
    int left = (clientW - groupW) / 2;
    const int top = iconTextH + vertMargin + vertSpacing;
    for (int b = 0; b < kButtonCount; ++b) {
        if (!buttons.Contains(TMsgDlgBtn(b)))
            continue;
        auto* button = form->AddControl<TMsgDlgButton>(kButtons[b].Name, kButtons[b].Caption,
                                                       RECT{left, top, left + buttonWidth, top + buttonHeight});
        button->ModalResult = kButtons[b].Result;
        button->Default = b == def;
        button->Cancel = b == cancel;
        if (b == def)
            form->SetActiveControl(button);
        // The help button has no help system to call: it does nothing.
        left += buttonWidth + buttonSpacing;
    }
    return holder.release();
}

} // namespace

TForm* CreateMessageDialog(const AnsiString& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons)
{
    return BuildMessageForm("", Msg, DlgType, Buttons, -1, -1);
}

namespace {

} // namespace

int ShowSystemMessageBox(const AnsiString& text, const AnsiString& caption, UINT flags)
{
    HWND owner = BoxOwner();
    TTaskWindows windows(owner);
    return MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
}

TModalResult ShowSystemMessageDlg(const AnsiString& title, const AnsiString& msg, TMsgDlgType type,
                                  TMsgDlgButtons buttons, int helpCtx, int x, int y)
{
    // There is no help system: the help context is not used.
    (void)helpCtx;
    TFormPtr form(BuildMessageForm(title, msg, type, buttons, x, y));
    return form->ShowModal();
}

bool ShowSystemInputQuery(const AnsiString& caption, const AnsiString& prompt, AnsiString& value)
{
    TFormPtr holder(Create<TMessageForm>(Application));
    auto* form = static_cast<TMessageForm*>(holder.get());
    TMeasureDC mdc(form->Font()->Handle());
    POINT du = mdc.BaseUnits();
    form->SetCaption(caption);
    form->Place(MulDiv(180, du.x, 4), MulDiv(63, du.y, 8), -1, -1);

    const int left = MulDiv(8, du.x, 4);
    SIZE size = mdc.TextSize(prompt, DT_SINGLELINE);
    int top = MulDiv(8, du.y, 8);
    form->AddControl<TMsgDlgStatic>("", prompt, RECT{left, top, left + size.cx, top + size.cy}, DWORD(SS_LEFT));
    TEXTMETRICA tm{};
    GetTextMetricsA(mdc.Handle(), &tm);
    top = MulDiv(19, du.y, 8);
    auto* edit = form->AddControl<TMsgDlgEdit>("", value,
                                               RECT{left, top, left + MulDiv(164, du.x, 4), top + tm.tmHeight + 8});
    form->SetActiveControl(edit);

    top = MulDiv(41, du.y, 8);
    const int w = MulDiv(50, du.x, 4), h = MulDiv(14, du.y, 8);
    int x = MulDiv(38, du.x, 4);
    auto* ok = form->AddControl<TMsgDlgButton>("", "OK", RECT{x, top, x + w, top + h});
    ok->ModalResult = mrOk;
    ok->Default = true;
    x = MulDiv(92, du.x, 4);
    auto* cancel = form->AddControl<TMsgDlgButton>("", "Cancel", RECT{x, top, x + w, top + h});
    cancel->ModalResult = mrCancel;
    cancel->Cancel = true;

    if (form->ShowModal() != mrOk)
        return false;
    value = edit->Text();
    return true;
}

// --- Common dialogs ---------------------------------------------------------------------------

bool TCommonDialog::Execute() { return PromptService().ExecuteDialog(*this); }

bool TSystemPromptService::ExecuteDialog(TCommonDialog& dialog)
{
    if (dialog.OnShow)
        dialog.OnShow(&dialog);
    bool ok;
    {
        TTaskWindows windows(BoxOwner());
        ok = dialog.DoExecute();
    }
    if (dialog.OnClose)
        dialog.OnClose(&dialog);
    return ok;
}

bool TScriptedPromptService::ExecuteDialog(TCommonDialog& dialog)
{
    TRecord r;
    r.Kind = pkDialog;
    r.DialogClass = dialog.ClassName();
    if (auto* file = dynamic_cast<TOpenDialog*>(&dialog)) {
        r.Caption = file->Title;
        r.Value = file->FileName;
    }
    Shown.push_back(r);
    TAnswer a = Next();
    if (a.Result == 0)
        return false;
    if (a.FillDialog)
        a.FillDialog(dialog);
    return true;
}

namespace {

const std::pair<TOpenOption, DWORD> kOpenFlags[] = {
    {ofReadOnly, OFN_READONLY},
    {ofOverwritePrompt, OFN_OVERWRITEPROMPT},
    {ofHideReadOnly, OFN_HIDEREADONLY},
    {ofNoChangeDir, OFN_NOCHANGEDIR},
    {ofShowHelp, OFN_SHOWHELP},
    {ofNoValidate, OFN_NOVALIDATE},
    {ofAllowMultiSelect, OFN_ALLOWMULTISELECT},
    {ofPathMustExist, OFN_PATHMUSTEXIST},
    {ofFileMustExist, OFN_FILEMUSTEXIST},
    {ofCreatePrompt, OFN_CREATEPROMPT},
    {ofShareAware, OFN_SHAREAWARE},
    {ofNoReadOnlyReturn, OFN_NOREADONLYRETURN},
    {ofNoTestFileCreate, OFN_NOTESTFILECREATE},
    {ofNoNetworkButton, OFN_NONETWORKBUTTON},
    {ofNoLongNames, OFN_NOLONGNAMES},
    {ofNoDereferenceLinks, OFN_NODEREFERENCELINKS},
    {ofEnableIncludeNotify, OFN_ENABLEINCLUDENOTIFY},
    {ofEnableSizing, OFN_ENABLESIZING},
    {ofDontAddToRecent, OFN_DONTADDTORECENT},
    {ofForceShowHidden, OFN_FORCESHOWHIDDEN},
};

// "Text|*.txt|All|*.*" as the system wants it: parts separated and ended by NULs.
std::wstring SystemFilter(const AnsiString& filter)
{
    if (filter.empty())
        return {};
    std::wstring s = AnsiToWide(filter);
    for (wchar_t& c : s)
        if (c == L'|')
            c = L'\0';
    s.push_back(L'\0');
    s.push_back(L'\0');
    return s;
}

std::wstring JoinPath(const std::wstring& dir, const std::wstring& name)
{
    if (dir.empty() || dir.back() == L'\\')
        return dir + name;
    return dir + L"\\" + name;
}

// The entries a file dialog's buffer names: the path, or with several files the folder and then
// each name, separated by NULs.
std::vector<std::wstring> ChosenEntries(const wchar_t* p, bool multi)
{
    const std::wstring first = p;
    p += first.size() + 1;
    if (!multi || !*p)
        return {first};
    std::vector<std::wstring> entries;
    for (; *p; p += std::wcslen(p) + 1)
        entries.push_back(JoinPath(first, p));
    return entries;
}

} // namespace

TOpenDialog::TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner), FFiles(std::make_unique<TStringList>()) {}
TOpenDialog::~TOpenDialog() = default;

void ShowUnreachableChoice(const std::wstring& Path)
{
    const AnsiString text = UnreachableChoiceText(Path);
    if (Application)
        Application->MessageBox(text, Application->Title(), MB_OK | MB_ICONERROR);
    else
        PromptService().MessageBox(text, ApplicationTitle(), MB_OK | MB_ICONERROR);
}

bool TOpenDialog::RunFileDialog(bool save)
{
    // Wide, so that a name the code page cannot spell comes back as itself and is handed on by
    // the path that reaches that very entry.
    const bool multi = Options.Contains(ofAllowMultiSelect);
    std::vector<wchar_t> buffer(multi ? 0x10000 : MAX_PATH * 4, L'\0');
    const std::wstring start = AnsiToWide(FileName);
    std::copy_n(start.begin(), std::min(start.size(), buffer.size() - 2), buffer.begin());
    const std::wstring filter = SystemFilter(Filter);
    AnsiString defExt = DefaultExt;
    if (!defExt.empty() && defExt.front() == '.')
        defExt.erase(0, 1);
    const std::wstring initialDir = AnsiToWide(InitialDir), title = AnsiToWide(Title), ext = AnsiToWide(defExt);

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = BoxOwner();
    ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(std::max(FilterIndex, 0));
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
    ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
    ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
    ofn.Flags = OFN_EXPLORER;
    for (auto [option, flag] : kOpenFlags)
        if (Options.Contains(option))
            ofn.Flags |= flag;

    BOOL ok = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    if (!ok)
        return false;

    // Every chosen entry by the path that reaches it; a choice with one that none reaches is
    // refused as a whole.
    std::vector<AnsiString> paths;
    for (const std::wstring& entry : ChosenEntries(buffer.data(), multi)) {
        paths.push_back(ChosenPath(entry));
        if (paths.back().empty()) {
            ShowUnreachableChoice(entry);
            return false;
        }
    }

    Options.Exclude(ofReadOnly).Exclude(ofExtensionDifferent);
    if (ofn.Flags & OFN_READONLY)
        Options.Include(ofReadOnly);
    if (ofn.Flags & OFN_EXTENSIONDIFFERENT)
        Options.Include(ofExtensionDifferent);
    FilterIndex = static_cast<int>(ofn.nFilterIndex);
    FFiles->Clear();
    for (const AnsiString& path : paths)
        FFiles->Add(path);
    FileName = FFiles->Get(0);
    return true;
}

void TOpenDialog::DoSelectionChange()
{
    if (OnSelectionChange)
        OnSelectionChange(this);
}

bool TOpenDialog::DoExecute() { return RunFileDialog(false); }
bool TSaveDialog::DoExecute() { return RunFileDialog(true); }

AnsiString CustomColorLine(int Index, TColor Color)
{
    return AnsiString("Color") + char('A' + Index) + "=" + IntToHex(Color & 0xFFFFFF, 6);
}

bool ReadCustomColorLine(const AnsiString& Line, int& Index, TColor& Color)
{
    if (Line.size() < 8 || !SameText(Line.substr(0, 5), "Color") || Line[6] != '=')
        return false;
    const int index = AnsiUpperChar(Line[5]) - 'A';
    Integer value = 0;
    if (index < 0 || index >= 16 || !TryStrToInt("$" + Line.substr(7), value))
        return false;
    Index = index;
    Color = value & 0xFFFFFF;
    return true;
}

TColorDialog::TColorDialog(TComponent* AOwner) : TCommonDialog(AOwner), FCustomColors(std::make_unique<TStringList>())
{
}
TColorDialog::~TColorDialog() = default;

bool TColorDialog::DoExecute()
{
    COLORREF custom[16];
    for (COLORREF& c : custom)
        c = 0xFFFFFF;
    for (int i = 0; i < FCustomColors->Count(); ++i) {
        int index = 0;
        TColor value = 0;
        if (ReadCustomColorLine(FCustomColors->Get(i), index, value))
            custom[index] = static_cast<COLORREF>(value);
    }
    CHOOSECOLORA cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = BoxOwner();
    cc.rgbResult = static_cast<COLORREF>(ColorToRGB(Color)) & 0xFFFFFF;
    cc.lpCustColors = custom;
    cc.Flags = CC_RGBINIT;
    if (Options.Contains(cdFullOpen))
        cc.Flags |= CC_FULLOPEN;
    if (Options.Contains(cdPreventFullOpen))
        cc.Flags |= CC_PREVENTFULLOPEN;
    if (Options.Contains(cdShowHelp))
        cc.Flags |= CC_SHOWHELP;
    if (Options.Contains(cdSolidColor))
        cc.Flags |= CC_SOLIDCOLOR;
    if (Options.Contains(cdAnyColor))
        cc.Flags |= CC_ANYCOLOR;
    if (!ChooseColorA(&cc))
        return false;
    Color = static_cast<TColor>(cc.rgbResult);
    FCustomColors->Clear();
    for (int i = 0; i < 16; ++i)
        FCustomColors->Add(CustomColorLine(i, static_cast<TColor>(custom[i])));
    return true;
}

TFontDialog::TFontDialog(TComponent* AOwner) : TCommonDialog(AOwner), font_(std::make_unique<TFont>()) {}
TFontDialog::~TFontDialog() = default;

bool TFontDialog::DoExecute()
{
    LOGFONTA lf{};
    GetObjectA(font_->Handle(), sizeof lf, &lf);
    CHOOSEFONTA cf{};
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = BoxOwner();
    cf.lpLogFont = &lf;
    cf.rgbColors = static_cast<COLORREF>(ColorToRGB(font_->Color())) & 0xFFFFFF;
    cf.Flags = CF_INITTOLOGFONTSTRUCT | CF_SCREENFONTS;
    const std::pair<TFontDialogOption, DWORD> flags[] = {
        {fdAnsiOnly, CF_SCRIPTSONLY},         {fdTrueTypeOnly, CF_TTONLY},
        {fdEffects, CF_EFFECTS},              {fdFixedPitchOnly, CF_FIXEDPITCHONLY},
        {fdForceFontExist, CF_FORCEFONTEXIST}, {fdNoFaceSel, CF_NOFACESEL},
        {fdNoOEMFonts, CF_NOOEMFONTS},        {fdNoSimulations, CF_NOSIMULATIONS},
        {fdNoSizeSel, CF_NOSIZESEL},          {fdNoStyleSel, CF_NOSTYLESEL},
        {fdNoVectorFonts, CF_NOVECTORFONTS},  {fdShowHelp, CF_SHOWHELP},
        {fdWysiwyg, CF_WYSIWYG},              {fdLimitSize, CF_LIMITSIZE},
        {fdScalableOnly, CF_SCALABLEONLY},    {fdApplyButton, CF_APPLY},
    };
    for (auto [option, flag] : flags)
        if (Options.Contains(option))
            cf.Flags |= flag;
    cf.nSizeMin = MinFontSize;
    cf.nSizeMax = MaxFontSize;
    if (!ChooseFontA(&cf))
        return false;
    TColor color = static_cast<TColor>(cf.rgbColors);
    font_->SetHandle(CreateFontIndirectA(&lf));
    font_->SetColor(color);
    return true;
}
