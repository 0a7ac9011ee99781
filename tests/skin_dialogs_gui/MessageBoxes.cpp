// The skinned message and input boxes: layout, default and cancel buttons, placement, the answers of
// the real modal windows and of a test's prompt service, and pictures of both boxes in both shipped
// skins (skinned_message_<skin>.png, skinned_input_<skin>.png).
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "../skin_forms_gui/FormsKit.h"
#include "ModalDriver.h"
#include "ExtCtrls.h"
#include "sBitBtn.h"
#include "sButton.h"
#include "sDialogs.h"
#include "sEdit.h"
#include "sLabel.h"

using namespace formskit;

namespace {

using TBoxDriver = TModalDriver<TsMessageForm>;

struct FormFree {
    void operator()(TForm* F) const { F->Free(); }
};
using BoxPtr = std::unique_ptr<TsMessageForm, FormFree>;

template <class T = TsBitBtn>
T* Part(TComponent* Box, const char* Name)
{
    return dynamic_cast<T*>(Box->FindComponent(Name));
}

// Closes a system box (answering OK) once it is up, and a skinned box titled "Вложенный" (with
// mrAbort).
void CALLBACK CloseSystemBox(HWND, UINT, UINT_PTR, DWORD)
{
    if (HWND box = FindWindowA("#32770", nullptr))
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    if (auto* box = dynamic_cast<TsMessageForm*>(FindControl(GetActiveWindow())); box && box->Caption() == "Вложенный")
        box->SetModalResult(mrAbort);
}

using MessageBoxes = SkinnedFormTest;

} // namespace

TEST_F(MessageBoxes, DefaultAndCancelButtonsFollowTheSet)
{
    struct Case {
        TMsgDlgButtons Buttons;
        const char* Default;
        const char* Cancel;
    };
    for (const Case& c : {Case{TMsgDlgButtons{mbYes, mbNo}, "Yes", "No"},
                          Case{TMsgDlgButtons{mbAbort, mbRetry, mbIgnore}, "Retry", ""},
                          Case{TMsgDlgButtons{mbOK}, "OK", "OK"}}) {
        BoxPtr box(sCreateMessageDialog("", "Text", mtConfirmation, c.Buttons));
        for (int i = 0; i < box->ComponentCount(); ++i)
            if (auto* b = dynamic_cast<TsBitBtn*>(box->Components(i))) {
                EXPECT_EQ(b->Default(), b->Name() == c.Default) << b->Name();
                EXPECT_EQ(b->Cancel(), b->Name() == c.Cancel) << b->Name();
            }
        EXPECT_EQ(box->Caption(), "Confirm");
        EXPECT_EQ(box->Provider()->SkinData()->SkinSection(), "DIALOG");
    }
}

TEST_F(MessageBoxes, LayoutOfIconTextAndButtons)
{
    BoxPtr warn(sCreateMessageDialog("", "Файл занят", mtWarning, TMsgDlgButtons{mbOK}));
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, warn->Font()->Handle());
    SIZE du{};
    GetTextExtentPoint32A(dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &du);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    const int horzMargin = MulDiv(16, du.cx / 52, 4), vertMargin = MulDiv(12, du.cy, 8);
    EXPECT_EQ(Part<TImage>(warn.get(), "Image")->BoundsRect(),
              Rect(horzMargin, vertMargin, horzMargin + 32, vertMargin + 32));
    EXPECT_EQ(Part<TsLabel>(warn.get(), "Message")->Left(), horzMargin + 32 + MulDiv(10, du.cx / 52, 4));
    auto* ok = Part(warn.get(), "OK");
    EXPECT_EQ(ok->Left(), (warn->ClientWidth() - ok->Width()) / 2);
    EXPECT_EQ(ok->Top(), vertMargin + 32 + MulDiv(10, du.cy, 8));

    // No buttons and no icon: the text starts at the margin and alone gives the width; the title
    // is the application's; "&" is no hot-key mark.
    BoxPtr custom(sCreateMessageDialog("", "A & B", mtCustom, TMsgDlgButtons()));
    auto* text = Part<TsLabel>(custom.get(), "Message");
    EXPECT_EQ(Part<TImage>(custom.get(), "Image"), nullptr);
    EXPECT_EQ(text->Left(), horzMargin);
    EXPECT_EQ(custom->ClientWidth(), text->Width() + 2 * horzMargin);
    EXPECT_FALSE(text->ShowAccelChar());
    EXPECT_EQ(custom->Caption(), Application->Title());

    // A message wider than half the screen wraps, and the box grows in height instead.
    AnsiString longText;
    for (int i = 0; i < 60; ++i)
        longText += "слово длинного сообщения ";
    BoxPtr wide(sCreateMessageDialog("Длинное", longText, mtCustom, TMsgDlgButtons{mbOK}));
    EXPECT_LE(Part<TsLabel>(wide.get(), "Message")->Width(), Screen->Width() / 2);
    EXPECT_GT(wide->ClientHeight(), custom->ClientHeight() + 2 * du.cy);
}

TEST_F(MessageBoxes, RealBoxesAnswerThePressedButton)
{
    UseSkin("Neutral");
    RECT placed{};
    TBoxDriver no([&](TsMessageForm* box) {
        GetWindowRect(box->Handle(), &placed);
        Part(box, "No")->Click();
        return true;
    });
    BoxPtr probe(sCreateMessageDialog("", "Удалить?", mtConfirmation, TMsgDlgButtons{mbYes, mbNo}));
    EXPECT_EQ(sMessageDlgPos("Удалить?", mtConfirmation, TMsgDlgButtons{mbYes, mbNo}, 0, 10, -1), mrNo);
    EXPECT_TRUE(no.Done());
    EXPECT_EQ(placed.left, 10) << "X sets the left edge only";
    EXPECT_EQ(placed.top, probe->Top()) << "the top stays the centred one";

    TBoxDriver esc([](TsMessageForm*) {
        return PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1), true;
    });
    EXPECT_EQ(sMessageDlg("Продолжить?", mtConfirmation, TMsgDlgButtons{mbYes, mbNo}, 0), mrNo);

    // The input box starts with the value selected; Enter takes the edited text, Esc keeps the value.
    TBoxDriver enter([](TsMessageForm* box) {
        auto* edit = dynamic_cast<TsEdit*>(box->ActiveControl());
        EXPECT_EQ(edit->SelLength(), 6);
        edit->SetText("новое");
        return PostMessageA(edit->Handle(), WM_KEYDOWN, VK_RETURN, 1), true;
    });
    EXPECT_EQ(sInputBox("Название", "Введите:", "старое"), "новое");
    AnsiString value = "прежнее";
    TBoxDriver cancel([](TsMessageForm* box) {
        dynamic_cast<TsEdit*>(box->ActiveControl())->SetText("другое");
        return PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1), true;
    });
    EXPECT_FALSE(sInputQuery("Название", "Введите:", value));
    EXPECT_EQ(value, "прежнее");
    EXPECT_EQ(Screen->FormCount(), 1) << "every box is freed";
}

TEST_F(MessageBoxes, EnterAndSpaceAnswerWithTheFocusedButtonNotTheDefaultOne)
{
    // Keys pressed in the focused window, a press or a release on each tick (the release after the
    // character the press makes): Tab, Tab, ..., then the answering key.
    auto keys = [](int Tabs, WPARAM Answer) {
        return [Tabs, Answer, step = 0](TsMessageForm*) mutable {
            const bool release = step % 2 != 0;
            const WPARAM key = step++ / 2 < Tabs ? VK_TAB : Answer;
            PostMessageA(GetFocus(), release ? WM_KEYUP : WM_KEYDOWN, key,
                         release ? static_cast<LPARAM>(0xC0000001u) : 1);
            return release && key == Answer;
        };
    };
    for (const char* skin : {"Dusk", "none"}) {
        UseSkinOrNone(skin);
        for (WPARAM answer : {VK_RETURN, VK_SPACE}) {
            TBoxDriver no(keys(1, answer));
            EXPECT_EQ(sMessageDlg("Удалить?", mtConfirmation, TMsgDlgButtons{mbYes, mbNo}, 0), mrNo) << skin;
            AnsiString value = "прежнее";
            TBoxDriver cancel(keys(2, answer));
            EXPECT_FALSE(sInputQuery("Название", "Введите:", value)) << skin << " the input box's Cancel";
        }
    }
}

TEST_F(MessageBoxes, TheApplicationsBoxIsTheSkinnedOneWhileASkinIsOnAndAnswersAsTheSystemsDoes)
{
    // Any system box is closed at once: only the skinned ones are to be answered here.
    const UINT_PTR closer = SetTimer(nullptr, 0, 20, &CloseSystemBox);
    AtTearDown([closer] { KillTimer(nullptr, closer); });
    UseSkin("Dusk");
    struct Case {
        UINT Flags;
        const char* Buttons; // the box's buttons, in their order
        LPCSTR Icon;
        const char* Press;
        int Answer;
    };
    for (const Case& c : {Case{MB_YESNO | MB_ICONEXCLAMATION, "Yes No ", IDI_EXCLAMATION, "No", IDNO},
                          Case{MB_OK, "OK ", nullptr, "OK", IDOK},
                          Case{MB_OKCANCEL | MB_ICONINFORMATION, "OK Cancel ", IDI_ASTERISK, "Cancel", IDCANCEL},
                          Case{MB_ABORTRETRYIGNORE | MB_ICONSTOP, "Abort Retry Ignore ", IDI_HAND, "Ignore", IDIGNORE},
                          Case{MB_YESNOCANCEL | MB_ICONQUESTION, "Yes No Cancel ", IDI_QUESTION, "Yes", IDYES},
                          Case{MB_RETRYCANCEL, "Retry Cancel ", nullptr, "Retry", IDRETRY}}) {
        AnsiString caption, buttons;
        HICON icon = nullptr;
        int nested = 0;
        TBoxDriver press([&](TsMessageForm* box) {
            // A box asked for while this one is open (an error painting it) is the system's.
            nested = sMessageBox("Сбой", "Вложенный", MB_OK | MB_ICONSTOP);
            caption = box->Caption();
            for (int i = 0; i < box->ComponentCount(); ++i)
                if (auto* b = dynamic_cast<TsBitBtn*>(box->Components(i)))
                    buttons += b->Name() + " ";
            if (auto* image = Part<TImage>(box, "Image"))
                icon = image->Picture()->Icon()->Handle();
            Part(box, c.Press)->Click();
            return true;
        });
        EXPECT_EQ(sMessageBox("Текст", "Заголовок", c.Flags), c.Answer) << c.Buttons;
        EXPECT_EQ(caption, "Заголовок");
        EXPECT_EQ(buttons, c.Buttons);
        EXPECT_EQ(icon, c.Icon ? LoadIconA(nullptr, c.Icon) : nullptr) << c.Buttons;
        EXPECT_EQ(nested, IDOK);
    }
    // What only the system's box shows or does is left to it; the modality the application's box
    // has anyway stays skinned.
    for (const UINT flags : {UINT(MB_SETFOREGROUND), UINT(MB_TOPMOST), UINT(MB_SYSTEMMODAL), UINT(MB_HELP),
                             UINT(MB_USERICON), UINT(MB_RIGHT), UINT(MB_RTLREADING), UINT(MB_CANCELTRYCONTINUE)})
        EXPECT_EQ(BoxPtr(sCreateMessageBox("Текст", "Заголовок", MB_OK | flags)), nullptr) << std::hex << flags;
    for (const UINT flags : {UINT(MB_APPLMODAL), UINT(MB_TASKMODAL)})
        EXPECT_NE(BoxPtr(sCreateMessageBox("Текст", "Заголовок", MB_YESNO | flags)), nullptr) << std::hex << flags;
    // Without a skin the system's own box.
    Manager()->SetActive(false);
    bool skinned = false;
    TBoxDriver none([&](TsMessageForm* box) { return skinned = true, box->SetModalResult(mrCancel), true; });
    EXPECT_EQ(sMessageBox("Текст", "Без оформления", MB_YESNO), IDOK) << "closed by the closer";
    EXPECT_FALSE(skinned);
}

// The application's box keeps the system box's promises in both shipped skins: the focus starts on
// the button MB_DEFBUTTONn names (the first where the box has fewer) and Enter answers it; Esc and
// the close command answer only in a box with a Cancel button (OK in a box of OK alone) and do
// nothing otherwise. Without a skin the system's box itself shows the same focus (Wine's answers
// Esc with IDCANCEL in every box, and Enter with IDOK where no button is the default: Space on the
// focused button answers there).
TEST_F(MessageBoxes, TheFocusedButtonEscAndCloseAreTheSystemBoxs)
{
    struct Case {
        UINT Flags;
        int Focused; // the answer of the button that has the focus
        int Esc;     // the answer of Esc and of the close command; 0: the box stays
    };
    const Case cases[] = {
        {MB_OK, IDOK, IDOK},
        {MB_OK | MB_DEFBUTTON2, IDOK, IDOK},
        {MB_OKCANCEL | MB_ICONEXCLAMATION | MB_DEFBUTTON2, IDCANCEL, IDCANCEL},
        {MB_YESNO | MB_ICONEXCLAMATION, IDYES, 0},
        {MB_YESNO | MB_DEFBUTTON2, IDNO, 0},
        {MB_YESNO | MB_DEFBUTTON3, IDYES, 0},
        {MB_YESNOCANCEL | MB_DEFBUTTON2, IDNO, IDCANCEL},
        {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL, IDCANCEL},
        {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, IDIGNORE, 0},
        {MB_RETRYCANCEL | MB_DEFBUTTON2, IDCANCEL, IDCANCEL},
    };
    auto press = [](HWND Wnd, WPARAM Key) {
        PostMessageA(Wnd, WM_KEYDOWN, Key, 1);
        PostMessageA(Wnd, WM_KEYUP, Key, static_cast<LPARAM>(0xC0000001u));
    };
    for (const char* skin : {"Neutral", "Dusk", "none"}) {
        UseSkinOrNone(skin);
        const bool skinned = std::string(skin) != "none";
        for (const Case& c : cases) {
            // A step on each tick while the box is up (a tick comes only once the keys posted
            // before it are taken): Esc, then the close command, then Enter (Space alone without
            // a skin).
            int focused = 0, step = skinned ? 0 : 2;
            testkit::TModalDriver driver([&] {
                const HWND box = GetActiveWindow();
                char cls[16] = {};
                if (!box || !IsWindowVisible(box) ||
                    !(dynamic_cast<TsMessageForm*>(FindControl(box)) ||
                      (GetClassNameA(box, cls, sizeof cls) && std::string(cls) == "#32770")))
                    return false;
                const HWND focus = GetFocus();
                if (!focused) {
                    auto* button = dynamic_cast<TsBitBtn*>(FindControl(focus));
                    focused = button ? static_cast<int>(button->ModalResult()) : GetDlgCtrlID(focus);
                }
                if (step == 0)
                    press(focus, VK_ESCAPE);
                else if (step == 1)
                    PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
                else
                    press(focus, skinned ? VK_RETURN : VK_SPACE);
                return ++step == 3;
            });
            const int answer = sMessageBox("Текст", "Заголовок", c.Flags);
            EXPECT_EQ(focused, c.Focused) << skin << " " << std::hex << c.Flags;
            const int esc = skinned ? c.Esc : 0;
            EXPECT_EQ(answer, esc ? esc : c.Focused) << skin << " " << std::hex << c.Flags;
            EXPECT_EQ(step, esc ? 1 : 3) << skin << " " << std::hex << c.Flags;
        }
    }
}

TEST_F(MessageBoxes, AHelpButtonShowsOnlyWhereTheApplicationHasHelpAndAsksItForTheTopic)
{
    std::vector<std::pair<int, int>> asked; // command, topic
    for (const bool help : {false, true}) {
        Application->OnHelp = help ? THelpEvent([&](Word Command, int Data, bool&) {
            asked.emplace_back(Command, Data);
            return true;
        })
                                   : THelpEvent();
        bool shown = false;
        TBoxDriver press([&](TsMessageForm* box) {
            if (auto* button = Part(box, "Help")) {
                shown = true;
                button->Click();
            }
            Part(box, "OK")->Click();
            return true;
        });
        EXPECT_EQ(sMessageDlg("Текст", mtInformation, TMsgDlgButtons{mbOK, mbHelp}, 7), mrOk);
        EXPECT_EQ(shown, help);
    }
    Application->OnHelp = THelpEvent();
    EXPECT_EQ(asked, (std::vector<std::pair<int, int>>{{HELP_CONTEXT, 7}}));
    // Topic 0 is no help at all.
    EXPECT_FALSE(Application->HelpAvailable(0, "help.hlp"));
    EXPECT_TRUE(Application->HelpAvailable(3, "help.hlp"));
}

TEST_F(MessageBoxes, TheTextsAreTheProgramsAndTheFrameIsItsDialogs)
{
    const auto saved = sDialogs::ButtonCaptions;
    AtTearDown([saved] { sDialogs::ButtonCaptions = saved; });
    sDialogs::ButtonCaptions[mbCancel] = "Отменить всё, что было";
    BoxPtr box(sCreateMessageDialog("", "Текст", mtWarning, TMsgDlgButtons{mbOK, mbCancel}));
    auto* cancel = Part(box.get(), "Cancel");
    EXPECT_EQ(cancel->Caption(), "Отменить всё, что было");
    EXPECT_EQ(Part(box.get(), "OK")->Width(), cancel->Width()) << "one width, the widest caption's";
    EXPECT_GT(cancel->Width(), Part(BoxPtr(sCreateMessageDialog("", "Текст", mtWarning, mbOK)).get(), "OK")->Width());
    EXPECT_EQ(box->BorderStyle(), bsSingle);
    EXPECT_TRUE(box->BorderIcons() == TBorderIcons{biSystemMenu});

    UseSkin("Neutral");
    AnsiString captions;
    bool icon = false, boxes = true;
    TBoxDriver input([&](TsMessageForm* box) {
        for (int i = 0; i < box->ComponentCount(); ++i)
            if (auto* b = dynamic_cast<TsButton*>(box->Components(i)))
                captions += b->Caption() + "|";
        TsSkinProvider* p = box->Provider();
        icon = p->IconVisible();
        boxes = p->SystemMenu()->VisibleMin() || p->SystemMenu()->VisibleMax();
        return box->SetModalResult(mrCancel), true;
    });
    sInputBox("Название", "Введите:", "");
    EXPECT_EQ(captions, "OK|Отменить всё, что было|");
    EXPECT_TRUE(icon) << "the application's icon in the skinned title";
    EXPECT_FALSE(boxes) << "only the close button";
}

TEST_F(MessageBoxes, AScriptedPromptServiceAnswersInsteadOfAWindow)
{
    TScriptedPromptService prompts;
    TPromptServiceGuard guard(prompts);
    prompts.Answer(mrYes);
    prompts.AnswerInput("Новости");
    prompts.Answer(IDNO);
    EXPECT_EQ(sMessageDlg("Заголовок", "Удалить?", mtConfirmation, TMsgDlgButtons{mbYes, mbNo}, 0), mrYes);
    EXPECT_EQ(sInputBox("Новая категория", "Название:", ""), "Новости");
    EXPECT_EQ(sMessageBox("Удалить?", "Удаление", MB_YESNO | MB_ICONEXCLAMATION), IDNO);
    ShowError("Сбой");
    ASSERT_EQ(prompts.Shown.size(), 4u);
    EXPECT_EQ(prompts.Shown[0].Caption, "Заголовок");
    EXPECT_EQ(prompts.Shown[1].Kind, TScriptedPromptService::pkInputQuery);
    EXPECT_EQ(prompts.Shown[2].Kind, TScriptedPromptService::pkMessageBox);
    EXPECT_EQ(prompts.Shown[2].Flags, UINT(MB_YESNO | MB_ICONEXCLAMATION));
    EXPECT_EQ(prompts.Shown[3].DlgType, mtError);
}

TEST_F(MessageBoxes, BothBoxesInTheShippedSkins)
{
    for (const char* skin : {"Neutral", "Dusk"}) {
        UseSkin(skin);
        auto shot = [skin](const char* Name, TsMessageForm* Box) {
            SkinnedFormTest::Paint(Box);
            testkit::WaitIdle();
            const testkit::PixelImage look = testkit::PrintWindowPixels(Box->Handle());
            EXPECT_EQ(look.CountColor(TRect(0, 0, look.Width(), look.Height()), 0xFF00FF), 0) << skin;
            testkit::SaveScreenshot(std::string(Name) + skin + ".png", Box->Handle());
        };
        TBoxDriver message([&](TsMessageForm* box) {
            return shot("skinned_message_", box), Part(box, "Yes")->Click(), true;
        });
        EXPECT_EQ(sMessageDlg("Удалить статью «Новости» вместе с её заметками?", mtConfirmation,
                              TMsgDlgButtons{mbYes, mbNo, mbCancel}, 0),
                  mrYes);
        TBoxDriver input([&](TsMessageForm* box) {
            return shot("skinned_input_", box), box->SetModalResult(mrCancel), true;
        });
        EXPECT_EQ(sInputBox("Новая подкатегория", "Введите название подкатегории", "Архив"), "Архив");
    }
}
