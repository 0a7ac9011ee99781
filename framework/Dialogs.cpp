#include "Dialogs.h"

#include "Forms.h"

#include <algorithm>
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

constexpr int kHelpButtonId = 1000;

// The owner of a box: the active window, else the application's hidden window.
HWND BoxOwner()
{
    if (HWND active = GetActiveWindow())
        return active;
    return Application ? Application->Handle() : nullptr;
}

// Disables the thread's other visible top-level windows while a modal box runs, as the
// framework's modal forms do, and enables them again (before the box goes, so that activation
// returns to its owner).
class TTaskWindows {
public:
    void Disable()
    {
        EnumThreadWindows(GetCurrentThreadId(), &TTaskWindows::Collect, reinterpret_cast<LPARAM>(this));
    }
    void Enable()
    {
        for (HWND h : disabled_)
            if (IsWindow(h))
                EnableWindow(h, TRUE);
        disabled_.clear();
    }
    ~TTaskWindows() { Enable(); }

private:
    static BOOL CALLBACK Collect(HWND h, LPARAM self)
    {
        if (IsWindowVisible(h) && IsWindowEnabled(h)) {
            EnableWindow(h, FALSE);
            reinterpret_cast<TTaskWindows*>(self)->disabled_.push_back(h);
        }
        return TRUE;
    }
    std::vector<HWND> disabled_;
};

// The message font of the system's non-client metrics, owned.
class TMessageFont {
public:
    TMessageFont()
    {
        NONCLIENTMETRICSA ncm{};
        ncm.cbSize = sizeof ncm;
        if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0))
            font_ = CreateFontIndirectA(&ncm.lfMessageFont);
    }
    ~TMessageFont()
    {
        if (font_)
            DeleteObject(font_);
    }
    TMessageFont(const TMessageFont&) = delete;
    TMessageFont& operator=(const TMessageFont&) = delete;
    HFONT Handle() const { return font_ ? font_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

private:
    HFONT font_ = nullptr;
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

// One modal box: its description, its state while shown, and the outcome.
struct TBox {
    bool Input = false;
    AnsiString Title, Text;
    TMsgDlgType Type = mtCustom;
    TMsgDlgButtons Buttons;
    int X = -1, Y = -1;
    AnsiString* Value = nullptr;

    TMessageFont Font;
    TTaskWindows Windows;
    HWND Edit = nullptr;
    std::exception_ptr Error;
};

HWND AddChild(HWND parent, const char* cls, const AnsiString& text, DWORD style, int id, RECT r, HFONT font,
              DWORD exStyle = 0)
{
    HWND h = CreateWindowExA(exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                             r.right - r.left, r.bottom - r.top, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return h;
}

// Sizes the box's window to the client size and places it.
void PlaceBox(HWND dlg, int clientW, int clientH, int x, int y)
{
    RECT r{0, 0, clientW, clientH};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongA(dlg, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(dlg, GWL_EXSTYLE)));
    int w = r.right - r.left, h = r.bottom - r.top;
    int left = GetSystemMetrics(SM_CXSCREEN) / 2 - w / 2;
    int top = GetSystemMetrics(SM_CYSCREEN) / 2 - h / 2;
    if (x >= 0)
        left = x;
    if (y >= 0)
        top = y;
    SetWindowPos(dlg, nullptr, left, top, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Builds a message box: icon, word-wrapped text and a centred row of buttons; returns the
// control to focus.
HWND BuildMessageBox(HWND dlg, TBox& box)
{
    HFONT font = box.Font.Handle();
    TMeasureDC mdc(font);
    POINT du = mdc.BaseUnits();
    const int horzMargin = MulDiv(16, du.x, 4), vertMargin = MulDiv(12, du.y, 8);
    const int horzSpacing = MulDiv(10, du.x, 4), vertSpacing = MulDiv(10, du.y, 8);
    int buttonWidth = MulDiv(50, du.x, 4);
    int count = 0;
    for (int b = 0; b < kButtonCount; ++b) {
        if (!box.Buttons.Contains(TMsgDlgBtn(b)))
            continue;
        ++count;
        buttonWidth = std::max<int>(buttonWidth, mdc.TextSize(kButtons[b].Caption, DT_SINGLELINE).cx + 8);
    }
    const int buttonHeight = MulDiv(14, du.y, 8), buttonSpacing = MulDiv(4, du.x, 4);

    // The text keeps every character as it stands: "&" is no hot-key mark in a message.
    const UINT textFlags = DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX;
    SIZE text = mdc.TextSize(box.Text, textFlags, GetSystemMetrics(SM_CXSCREEN) / 2);
    LPCSTR iconId = nullptr;
    switch (box.Type) {
    case mtWarning:
        iconId = IDI_EXCLAMATION;
        break;
    case mtError:
        iconId = IDI_HAND;
        break;
    case mtInformation:
        iconId = IDI_ASTERISK;
        break;
    case mtConfirmation:
        iconId = IDI_QUESTION;
        break;
    default:
        break;
    }
    int iconTextW = text.cx, iconTextH = text.cy;
    if (iconId) {
        iconTextW += 32 + horzSpacing;
        iconTextH = std::max<int>(iconTextH, 32);
    }
    const int groupW = count ? buttonWidth * count + buttonSpacing * (count - 1) : 0;
    const int clientW = std::max(iconTextW, groupW) + 2 * horzMargin;
    const int clientH = iconTextH + buttonHeight + vertSpacing + 2 * vertMargin;

    SetWindowTextA(dlg, MsgDlgTitle(box.Title, box.Type).c_str());
    PlaceBox(dlg, clientW, clientH, box.X, box.Y);

    if (iconId) {
        HWND icon = AddChild(dlg, "STATIC", "", SS_ICON, -1,
                             RECT{horzMargin, vertMargin, horzMargin + 32, vertMargin + 32}, font);
        SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconA(nullptr, iconId)), 0);
    }
    const int textLeft = iconTextW - text.cx + horzMargin;
    AddChild(dlg, "STATIC", box.Text, SS_LEFT | SS_NOPREFIX | SS_EDITCONTROL, -1,
             RECT{textLeft, vertMargin, textLeft + text.cx, vertMargin + text.cy}, font);

    const int def = MsgDlgDefaultButton(box.Buttons);
    HWND focus = nullptr;
    int x = (clientW - groupW) / 2;
    const int top = iconTextH + vertMargin + vertSpacing;
    for (int b = 0; b < kButtonCount; ++b) {
        if (!box.Buttons.Contains(TMsgDlgBtn(b)))
            continue;
        int id = b == mbHelp ? kHelpButtonId : kButtons[b].Result;
        DWORD style = WS_TABSTOP | (b == def ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        HWND h = AddChild(dlg, "BUTTON", kButtons[b].Caption, style, id,
                          RECT{x, top, x + buttonWidth, top + buttonHeight}, font);
        if (b == def || !focus)
            focus = h;
        x += buttonWidth + buttonSpacing;
    }
    if (def >= 0)
        SendMessageA(dlg, DM_SETDEFID, kButtons[def].Result, 0);
    return focus;
}

HWND BuildInputBox(HWND dlg, TBox& box)
{
    HFONT font = box.Font.Handle();
    TMeasureDC mdc(font);
    POINT du = mdc.BaseUnits();
    SetWindowTextA(dlg, box.Title.c_str());
    PlaceBox(dlg, MulDiv(180, du.x, 4), MulDiv(63, du.y, 8), -1, -1);

    const int left = MulDiv(8, du.x, 4);
    SIZE prompt = mdc.TextSize(box.Text, DT_SINGLELINE);
    int top = MulDiv(8, du.y, 8);
    AddChild(dlg, "STATIC", box.Text, SS_LEFT, -1, RECT{left, top, left + prompt.cx, top + prompt.cy}, font);

    TEXTMETRICA tm{};
    GetTextMetricsA(mdc.Handle(), &tm);
    top = MulDiv(19, du.y, 8);
    box.Edit = AddChild(dlg, "EDIT", *box.Value, ES_AUTOHSCROLL | WS_TABSTOP, 100,
                        RECT{left, top, left + MulDiv(164, du.x, 4), top + tm.tmHeight + 8}, font, WS_EX_CLIENTEDGE);
    SendMessageA(box.Edit, EM_LIMITTEXT, 255, 0);
    SendMessageA(box.Edit, EM_SETSEL, 0, -1);

    top = MulDiv(41, du.y, 8);
    const int w = MulDiv(50, du.x, 4), h = MulDiv(14, du.y, 8);
    int x = MulDiv(38, du.x, 4);
    AddChild(dlg, "BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, RECT{x, top, x + w, top + h}, font);
    x = MulDiv(92, du.x, 4);
    AddChild(dlg, "BUTTON", "Cancel", WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL, RECT{x, top, x + w, top + h}, font);
    return box.Edit;
}

void EndBox(HWND dlg, TBox& box, TModalResult result)
{
    box.Windows.Enable();
    EndDialog(dlg, result);
}

void BoxCommand(HWND dlg, TBox& box, int id)
{
    if (box.Input) {
        if (id == IDOK) {
            int n = GetWindowTextLengthA(box.Edit);
            AnsiString text(static_cast<size_t>(n) + 1, '\0');
            n = GetWindowTextA(box.Edit, text.data(), n + 1);
            text.resize(static_cast<size_t>(std::max(n, 0)));
            *box.Value = text;
            EndBox(dlg, box, mrOk);
        } else if (id == IDCANCEL) {
            EndBox(dlg, box, mrCancel);
        }
        return;
    }
    if (id == kHelpButtonId)
        return; // there is no help system to show
    if (id == IDCANCEL && !box.Buttons.Contains(mbCancel)) {
        // Esc presses the cancel button (No, else OK); without one it does nothing.
        int cancel = MsgDlgCancelButton(box.Buttons);
        if (cancel >= 0)
            EndBox(dlg, box, kButtons[cancel].Result);
        return;
    }
    for (int b = 0; b < kButtonCount; ++b)
        if (box.Buttons.Contains(TMsgDlgBtn(b)) && kButtons[b].Result == id && id != mrNone) {
            EndBox(dlg, box, id);
            return;
        }
}

INT_PTR CALLBACK BoxProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TBox* box = reinterpret_cast<TBox*>(GetWindowLongPtrA(dlg, DWLP_USER));
    try {
        switch (msg) {
        case WM_INITDIALOG: {
            box = reinterpret_cast<TBox*>(lParam);
            SetWindowLongPtrA(dlg, DWLP_USER, lParam);
            HWND focus = box->Input ? BuildInputBox(dlg, *box) : BuildMessageBox(dlg, *box);
            if (focus)
                SetFocus(focus);
            return FALSE;
        }
        case WM_COMMAND:
            if (box && (HIWORD(wParam) == BN_CLICKED || lParam == 0))
                BoxCommand(dlg, *box, LOWORD(wParam));
            return TRUE;
        case WM_CLOSE:
            // The title bar's close button gives Cancel, whatever the buttons.
            if (box)
                EndBox(dlg, *box, mrCancel);
            return TRUE;
        default:
            return FALSE;
        }
    } catch (...) {
        if (box) {
            box->Error = std::current_exception();
            EndBox(dlg, *box, mrCancel);
        }
        return TRUE;
    }
}

// Runs a box modally; an exception raised while it was shown is passed on after it is gone.
TModalResult RunBox(TBox& box)
{
    // An empty in-memory dialog template: the controls are made when the box initialises.
    alignas(DWORD) WORD tmpl[32] = {};
    auto* t = reinterpret_cast<DLGTEMPLATE*>(tmpl);
    t->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    t->dwExtendedStyle = WS_EX_DLGMODALFRAME;
    HWND owner = BoxOwner();
    box.Windows.Disable();
    INT_PTR r = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), t, owner, BoxProc, reinterpret_cast<LPARAM>(&box));
    box.Windows.Enable();
    if (box.Error)
        std::rethrow_exception(box.Error);
    if (r == -1)
        throw EOutOfResources("Cannot create the dialog window");
    return static_cast<TModalResult>(r);
}

} // namespace

int ShowSystemMessageBox(const AnsiString& text, const AnsiString& caption, UINT flags)
{
    TTaskWindows windows;
    HWND owner = BoxOwner();
    windows.Disable();
    if (owner)
        EnableWindow(owner, TRUE); // the system box disables and enables its owner itself
    return MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
}

TModalResult ShowSystemMessageDlg(const AnsiString& title, const AnsiString& msg, TMsgDlgType type,
                                  TMsgDlgButtons buttons, int, int x, int y)
{
    TBox box;
    box.Title = title;
    box.Text = msg;
    box.Type = type;
    box.Buttons = buttons;
    box.X = x;
    box.Y = y;
    return RunBox(box);
}

bool ShowSystemInputQuery(const AnsiString& caption, const AnsiString& prompt, AnsiString& value)
{
    TBox box;
    box.Input = true;
    box.Title = caption;
    box.Text = prompt;
    AnsiString edited = value;
    box.Value = &edited;
    if (RunBox(box) != mrOk)
        return false;
    value = edited;
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
        // The system dialog disables only its owner; the other windows of the program wait too.
        TTaskWindows windows;
        HWND owner = GetActiveWindow();
        windows.Disable();
        if (owner)
            EnableWindow(owner, TRUE);
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
std::string SystemFilter(const AnsiString& filter)
{
    if (filter.empty())
        return {};
    std::string s = filter;
    for (char& c : s)
        if (c == '|')
            c = '\0';
    s.push_back('\0');
    s.push_back('\0');
    return s;
}

AnsiString JoinPath(const AnsiString& dir, const AnsiString& name)
{
    if (dir.empty() || dir.back() == '\\')
        return dir + name;
    return dir + "\\" + name;
}

} // namespace

bool TOpenDialog::RunFileDialog(bool save)
{
    // Room for many names when several files may be chosen.
    std::vector<char> buffer(Options.Contains(ofAllowMultiSelect) ? 0x10000 : MAX_PATH * 4, '\0');
    FileName.copy(buffer.data(), std::min(FileName.size(), buffer.size() - 2));
    std::string filter = SystemFilter(Filter);
    AnsiString defExt = DefaultExt;
    if (!defExt.empty() && defExt.front() == '.')
        defExt.erase(0, 1);

    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = GetActiveWindow();
    ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(std::max(FilterIndex, 0));
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
    ofn.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
    ofn.lpstrDefExt = defExt.empty() ? nullptr : defExt.c_str();
    ofn.Flags = OFN_EXPLORER;
    for (auto [option, flag] : kOpenFlags)
        if (Options.Contains(option))
            ofn.Flags |= flag;

    BOOL ok = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
    if (!ok)
        return false;

    Options.Exclude(ofReadOnly).Exclude(ofExtensionDifferent);
    if (ofn.Flags & OFN_READONLY)
        Options.Include(ofReadOnly);
    if (ofn.Flags & OFN_EXTENSIONDIFFERENT)
        Options.Include(ofExtensionDifferent);
    FilterIndex = static_cast<int>(ofn.nFilterIndex);

    // Several names come as the folder, then each name, separated by NULs.
    Files.clear();
    const char* p = buffer.data();
    AnsiString first = p;
    p += first.size() + 1;
    if (Options.Contains(ofAllowMultiSelect) && *p) {
        while (*p) {
            AnsiString name = p;
            Files.push_back(JoinPath(first, name));
            p += name.size() + 1;
        }
    } else {
        Files.push_back(first);
    }
    FileName = Files.front();
    return true;
}

bool TOpenDialog::DoExecute() { return RunFileDialog(false); }
bool TSaveDialog::DoExecute() { return RunFileDialog(true); }

bool TColorDialog::DoExecute()
{
    COLORREF custom[16];
    for (COLORREF& c : custom)
        c = 0xFFFFFF;
    // Lines "ColorA=hex" .. "ColorP=hex"; anything else is ignored.
    for (const AnsiString& line : CustomColors) {
        if (line.size() < 8 || line.compare(0, 5, "Color") != 0 || line[6] != '=')
            continue;
        int index = AnsiUpperChar(line[5]) - 'A';
        if (index < 0 || index >= 16)
            continue;
        Integer value;
        if (TryStrToInt("$" + line.substr(7), value))
            custom[index] = static_cast<COLORREF>(value) & 0xFFFFFF;
    }
    CHOOSECOLORA cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = GetActiveWindow();
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
    CustomColors.clear();
    for (int i = 0; i < 16; ++i)
        CustomColors.push_back(AnsiString("Color") + char('A' + i) + "=" + IntToHex(custom[i], 6));
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
    cf.hwndOwner = GetActiveWindow();
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
