#include "sDialogs.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "ExtCtrls.h"
#include "sBitBtn.h"
#include "sButton.h"
#include "sEdit.h"
#include "sLabel.h"
#include "sSkinProvider.h"
#include "sStyleSimply.h"
#include "sUtils.h"

namespace sDialogs {
std::array<AnsiString, mtCustom + 1> Captions{"Warning", "Error", "Information", "Confirm", ""};
std::array<AnsiString, mbHelp + 1> ButtonCaptions{"&Yes",    "&No",  "OK",         "Cancel",      "&Abort", "&Retry",
                                                  "&Ignore", "&All", "N&o to All", "Yes to &All", "&Help"};
} // namespace sDialogs

namespace {

// The buttons stand in a box in the order of TMsgDlgBtn.
constexpr int ButtonCount = mbHelp + 1;

// Caption width + 8 of each button, measured with the font of the first box that shows it, and
// again when its caption was changed since.
struct TButtonWidth {
    AnsiString Caption;
    int Width = 0;
};
TButtonWidth ButtonWidths[ButtonCount];

// A screen context in the form's font: the dialog base units and text extents of the box.
class TBoxMetrics {
public:
    explicit TBoxMetrics(TCustomForm* Form) : dc_(GetDC(nullptr))
    {
        old_ = SelectObject(dc_, Form->Font()->Handle());
        SIZE sz{};
        GetTextExtentPoint32A(dc_, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &sz);
        X = sz.cx / 52;
        Y = sz.cy;
    }
    ~TBoxMetrics()
    {
        SelectObject(dc_, old_);
        ReleaseDC(nullptr, dc_);
    }
    TBoxMetrics(const TBoxMetrics&) = delete;
    TBoxMetrics& operator=(const TBoxMetrics&) = delete;

    int H(int Dlu) const { return MulDiv(Dlu, X, 4); }
    int V(int Dlu) const { return MulDiv(Dlu, Y, 8); }
    SIZE Extent(const AnsiString& Text, UINT Flags, int MaxWidth = 0) const
    {
        RECT r{0, 0, MaxWidth, 0};
        DrawTextA(dc_, Text.c_str(), static_cast<int>(Text.size()), &r, Flags | DT_CALCRECT);
        return SIZE{r.right - r.left, r.bottom - r.top};
    }

    int X = 0, Y = 0;

private:
    HDC dc_;
    HGDIOBJ old_;
};

struct TFormFree {
    void operator()(TForm* F) const { F->Free(); }
};
using TFormHolder = std::unique_ptr<TsMessageForm, TFormFree>;

// The prompt service a test put in place of the real windows, or null.
IPromptService* ScriptedPrompts()
{
    IPromptService& service = PromptService();
    return dynamic_cast<TSystemPromptService*>(&service) ? nullptr : &service;
}

AnsiString BoxTitle(const AnsiString& Title, TMsgDlgType Type)
{
    if (!Title.empty())
        return Title;
    return Type == mtCustom ? ApplicationTitle() : sDialogs::Captions[Type];
}

template <class T>
T* AddControl(TsMessageForm* Form, int Left, int Top, int Width, int Height)
{
    T* c = Create<T>(Form);
    c->SetParent(Form);
    c->SetBounds(Left, Top, Width, Height);
    return c;
}

} // namespace

// --- The form ---------------------------------------------------------------------------------

TsMessageForm::TsMessageForm(TComponent* AOwner) : TForm(AOwner)
{
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof ncm;
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0))
        if (HFONT f = CreateFontIndirectA(&ncm.lfMessageFont))
            Font()->SetHandle(f);
    SetAutoScroll(false);
}

void TsMessageForm::AfterConstruction()
{
    inherited::AfterConstruction();
    // The frame of the program's dialogs: fixed, the application's icon and the close button in
    // the title.
    SetBorderStyle(bsSingle);
    SetBorderIcons(TBorderIcons{biSystemMenu});
    FProvider = Create<TsSkinProvider>(this);
    FProvider->SkinData()->SetSkinSection("DIALOG");
    FProvider->MakeSkinMenu = false;
    FProvider->SetBorderIcons(FProvider->SavedFormIcons());
    if (FProvider->SystemMenu())
        FProvider->SystemMenu()->UpdateItems();
}

void TsMessageForm::HelpButtonClick(TObject*) { Application->HelpContext(HelpContext, HelpFile); }

// --- Message boxes ----------------------------------------------------------------------------

namespace {

// The box with its buttons in Order; Default and Cancel index Order (-1: none).
TsMessageForm* BuildBox(const AnsiString& Title, const AnsiString& Msg, TMsgDlgType DlgType,
                        const std::vector<TMsgDlgBtn>& Order, int Default, int Cancel)
{
    TFormHolder holder(Create<TsMessageForm>(Application));
    TsMessageForm* form = holder.get();
    const TBoxMetrics m(form);
    const int horzMargin = m.H(16), vertMargin = m.V(12), horzSpacing = m.H(10), vertSpacing = m.V(10);
    int buttonWidth = m.H(50);
    const int count = static_cast<int>(Order.size());
    for (TMsgDlgBtn b : Order) {
        TButtonWidth& measured = ButtonWidths[b];
        if (measured.Width == 0 || measured.Caption != sDialogs::ButtonCaptions[b]) {
            measured.Caption = sDialogs::ButtonCaptions[b];
            measured.Width = m.Extent(measured.Caption, DT_SINGLELINE).cx + 8;
        }
        buttonWidth = std::max(buttonWidth, measured.Width);
    }
    const int buttonHeight = m.V(14), buttonSpacing = m.H(4);

    // The text shows every character as it stands: "&" marks no hot key in a message.
    const SIZE text = m.Extent(Msg, DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX, Screen->Width() / 2);
    const LPCSTR icon = MsgDlgIcon(DlgType);
    int iconTextW = text.cx, iconTextH = text.cy;
    if (icon) {
        iconTextW += 32 + horzSpacing;
        iconTextH = std::max<int>(iconTextH, 32);
    }
    const int groupW = count ? buttonWidth * count + buttonSpacing * (count - 1) : 0;
    const int clientW = std::max(iconTextW, groupW) + 2 * horzMargin;
    form->SetClientSize(clientW, iconTextH + buttonHeight + vertSpacing + 2 * vertMargin);
    form->SetBounds(Screen->Width() / 2 - form->Width() / 2, Screen->Height() / 2 - form->Height() / 2,
                    form->Width(), form->Height());
    form->SetCaption(BoxTitle(Title, DlgType));

    if (icon) {
        auto* image = AddControl<TImage>(form, horzMargin, vertMargin, 32, 32);
        image->SetName("Image");
        image->Picture()->Icon()->SetHandle(LoadIconA(nullptr, icon));
    }
    auto* label = Create<TsLabel>(form);
    label->SetName("Message");
    label->SetParent(form);
    label->SetShowAccelChar(false);
    label->SetWordWrap(true);
    label->SetCaption(Msg);
    label->SetBounds(iconTextW - text.cx + horzMargin, vertMargin, text.cx, text.cy);

    int left = (clientW - groupW) / 2;
    for (int i = 0; i < count; ++i) {
        const TMsgDlgBtn b = Order[static_cast<std::size_t>(i)];
        auto* button = AddControl<TsBitBtn>(form, left, iconTextH + vertMargin + vertSpacing, buttonWidth,
                                            buttonHeight);
        button->SetName(MsgDlgButtonName(b));
        button->SetCaption(sDialogs::ButtonCaptions[b]);
        button->SetModalResult(MsgDlgButtonResult(b));
        button->SetDefault(i == Default);
        button->SetCancel(i == Cancel);
        if (i == Default)
            form->SetActiveControl(button);
        if (b == mbHelp)
            button->OnClick = TNotifyEvent(form, &TsMessageForm::HelpButtonClick);
        left += buttonWidth + buttonSpacing;
    }
    return holder.release();
}

} // namespace

TsMessageForm* sCreateMessageDialog(const AnsiString& Title, const AnsiString& Msg, TMsgDlgType DlgType,
                                    TMsgDlgButtons Buttons)
{
    std::vector<TMsgDlgBtn> order;
    int def = -1, cancel = -1;
    for (int b = 0; b < ButtonCount; ++b) {
        if (!Buttons.Contains(TMsgDlgBtn(b)))
            continue;
        if (b == MsgDlgDefaultButton(Buttons))
            def = static_cast<int>(order.size());
        if (b == MsgDlgCancelButton(Buttons))
            cancel = static_cast<int>(order.size());
        order.push_back(TMsgDlgBtn(b));
    }
    return BuildBox(Title, Msg, DlgType, order, def, cancel);
}

void TsMessageForm::WndProc(TMessage& Message)
{
    if (!Closable && Message.Msg == WM_SYSCOMMAND && (Message.WParam & 0xFFF0) == SC_CLOSE)
        return;
    inherited::WndProc(Message);
}

TsMessageForm* sCreateMessageBox(const AnsiString& Text, const AnsiString& Caption, UINT Flags)
{
    // What only the system's box shows or does.
    constexpr UINT systemOnly = MB_HELP | MB_USERICON | MB_RIGHT | MB_RTLREADING | MB_SETFOREGROUND | MB_TOPMOST |
                                MB_SYSTEMMODAL | MB_SERVICE_NOTIFICATION | MB_DEFAULT_DESKTOP_ONLY;
    if (Flags & systemOnly)
        return nullptr;
    // The system box's buttons in its order, and the one that answers Esc and the close button.
    std::vector<TMsgDlgBtn> order;
    int cancel = -1;
    switch (Flags & MB_TYPEMASK) {
    case MB_OK: order = {mbOK}, cancel = 0; break;
    case MB_OKCANCEL: order = {mbOK, mbCancel}, cancel = 1; break;
    case MB_ABORTRETRYIGNORE: order = {mbAbort, mbRetry, mbIgnore}; break;
    case MB_YESNOCANCEL: order = {mbYes, mbNo, mbCancel}, cancel = 2; break;
    case MB_YESNO: order = {mbYes, mbNo}; break;
    case MB_RETRYCANCEL: order = {mbRetry, mbCancel}, cancel = 1; break;
    default: return nullptr;
    }
    TMsgDlgType type = mtCustom;
    switch (Flags & MB_ICONMASK) {
    case 0: break;
    case MB_ICONHAND: type = mtError; break;
    case MB_ICONQUESTION: type = mtConfirmation; break;
    case MB_ICONEXCLAMATION: type = mtWarning; break;
    case MB_ICONASTERISK: type = mtInformation; break;
    default: return nullptr;
    }
    int def = static_cast<int>((Flags & MB_DEFMASK) >> 8);
    if (def >= static_cast<int>(order.size()))
        def = 0;
    TsMessageForm* form = BuildBox(Caption, Text, type, order, def, cancel);
    form->Closable = cancel >= 0;
    form->SetPosition(poScreenCenter);
    return form;
}

TModalResult sMessageDlgPosHelp(const AnsiString& Title, const AnsiString& Msg, TMsgDlgType DlgType,
                                TMsgDlgButtons Buttons, int HelpCtx, int X, int Y, const AnsiString& HelpFileName)
{
    // No Help button where it would show nothing.
    if (!Application->HelpAvailable(HelpCtx, HelpFileName))
        Buttons >> mbHelp;
    if (IPromptService* scripted = ScriptedPrompts())
        return scripted->MessageDlg(Title, Msg, DlgType, Buttons, HelpCtx, X, Y);
    TFormHolder form(sCreateMessageDialog(Title, Msg, DlgType, Buttons));
    form->HelpContext = HelpCtx;
    form->HelpFile = HelpFileName;
    if (X >= 0)
        form->SetLeft(X);
    if (Y >= 0)
        form->SetTop(Y);
    if (X < 0 && Y < 0)
        form->SetPosition(poScreenCenter);
    return form->ShowModal();
}

TModalResult sMessageDlg(const AnsiString& Msg, TMsgDlgType Type, TMsgDlgButtons Buttons, int HelpCtx)
{
    return sMessageDlgPosHelp("", Msg, Type, Buttons, HelpCtx, -1, -1, "");
}

TModalResult sMessageDlg(const AnsiString& Title, const AnsiString& Msg, TMsgDlgType Type, TMsgDlgButtons Buttons,
                         int HelpCtx)
{
    return sMessageDlgPosHelp(Title, Msg, Type, Buttons, HelpCtx, -1, -1, "");
}

TModalResult sMessageDlgPos(const AnsiString& Msg, TMsgDlgType Type, TMsgDlgButtons Buttons, int HelpCtx, int X,
                            int Y)
{
    return sMessageDlgPosHelp("", Msg, Type, Buttons, HelpCtx, X, Y, "");
}

TModalResult sMessageDlgPos(const AnsiString& Title, const AnsiString& Msg, TMsgDlgType Type,
                            TMsgDlgButtons Buttons, int HelpCtx, int X, int Y)
{
    return sMessageDlgPosHelp(Title, Msg, Type, Buttons, HelpCtx, X, Y, "");
}

int sMessageBox(const AnsiString& Text, const AnsiString& Caption, UINT Flags)
{
    if (IPromptService* scripted = ScriptedPrompts())
        return scripted->MessageBox(Text, Caption, Flags);
    // A box asked for while a skinned one is open (an error raised painting it) is the system's,
    // so that a skin that fails to paint cannot bring box after box.
    static int skinnedOpen = 0;
    TFormHolder form(sSkinData && sSkinData->Active && skinnedOpen == 0 ? sCreateMessageBox(Text, Caption, Flags)
                                                                         : nullptr);
    if (!form)
        return PromptService().MessageBox(Text, Caption, Flags);
    struct TOpen {
        TOpen() { ++skinnedOpen; }
        ~TOpen() { --skinnedOpen; }
    } opened;
    // The modal results of the buttons are the system box's answers (mrOk = IDOK ... mrNo = IDNO);
    // the close button and Esc answer with the box's Cancel button (OK in a box of OK alone).
    const TModalResult result = form->ShowModal();
    if (result != mrNone && result != mrCancel)
        return static_cast<int>(result);
    return (Flags & MB_TYPEMASK) == MB_OK ? IDOK : IDCANCEL;
}

void sShowMessage(const AnsiString& Msg) { sShowMessagePos(Msg, -1, -1); }
void sShowMessage(const AnsiString& Title, const AnsiString& Msg) { sShowMessagePos(Title, Msg, -1, -1); }

void sShowMessageFmt(const AnsiString& Msg, std::initializer_list<TVarRec> Params)
{
    sShowMessage(Format(Msg, Params));
}

void sShowMessageFmt(const AnsiString& Title, const AnsiString& Msg, std::initializer_list<TVarRec> Params)
{
    sShowMessage(Title, Format(Msg, Params));
}

void sShowMessagePos(const AnsiString& Msg, int X, int Y) { sMessageDlgPos(Msg, mtCustom, mbOK, 0, X, Y); }

void sShowMessagePos(const AnsiString& Title, const AnsiString& Msg, int X, int Y)
{
    sMessageDlgPos(Title, Msg, mtCustom, mbOK, 0, X, Y);
}

// --- The input box ----------------------------------------------------------------------------

bool sInputQuery(const AnsiString& ACaption, const AnsiString& APrompt, AnsiString& Value)
{
    if (IPromptService* scripted = ScriptedPrompts())
        return scripted->InputQuery(ACaption, APrompt, Value);
    TFormHolder form(Create<TsMessageForm>(Application));
    const TBoxMetrics m(form.get());
    form->SetCaption(ACaption);
    form->SetClientSize(m.H(180), m.V(63));
    form->SetPosition(poScreenCenter);

    auto* prompt = Create<TsLabel>(form.get());
    prompt->SetParent(form.get());
    prompt->SetLeft(m.H(8));
    prompt->SetTop(m.V(8));
    prompt->SetCaption(APrompt);

    auto* edit = Create<TsEdit>(form.get());
    edit->SetParent(form.get());
    edit->SetBounds(prompt->Left(), m.V(19), m.H(164), edit->Height());
    edit->SetMaxLength(255);
    edit->SetText(Value);
    edit->SelectAll();
    form->SetActiveControl(edit);

    const int top = m.V(41), width = m.H(50), height = m.V(14);
    auto* ok = AddControl<TsButton>(form.get(), m.H(38), top, width, height);
    ok->SetCaption(sDialogs::ButtonCaptions[mbOK]);
    ok->SetModalResult(mrOk);
    ok->SetDefault(true);
    auto* cancel = AddControl<TsButton>(form.get(), m.H(92), top, width, height);
    cancel->SetCaption(sDialogs::ButtonCaptions[mbCancel]);
    cancel->SetModalResult(mrCancel);
    cancel->SetCancel(true);

    if (form->ShowModal() != mrOk)
        return false;
    Value = edit->Text();
    return true;
}

AnsiString sInputBox(const AnsiString& ACaption, const AnsiString& APrompt, const AnsiString& ADefault)
{
    AnsiString value = ADefault;
    sInputQuery(ACaption, APrompt, value);
    return value;
}

// --- Strings of the common-dialog library -----------------------------------------------------

AnsiString LoadDlg32Msg(int Ident)
{
    AnsiString result;
    const AnsiString path = GetSystemDir() + "\\comdlg32.dll";
    if (HMODULE lib = LoadLibraryExA(path.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES | LOAD_LIBRARY_AS_DATAFILE)) {
        char buffer[256] = {};
        if (const int n = LoadStringA(lib, static_cast<UINT>(Ident), buffer, sizeof buffer))
            result.assign(buffer, static_cast<std::size_t>(n));
        FreeLibrary(lib);
    }
    return result;
}
