// The skinned message and input boxes: layout, default and cancel buttons, placement, the answers of
// the real modal windows and of a test's prompt service, and pictures of both boxes in both shipped
// skins (skinned_message_<skin>.png, skinned_input_<skin>.png).
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "../skin_forms_gui/FormsKit.h"
#include "ExtCtrls.h"
#include "sBitBtn.h"
#include "sDialogs.h"
#include "sEdit.h"
#include "sLabel.h"

using namespace formskit;

namespace {

// Runs a step on the open box from a thread timer (timers fire inside modal loops) until the step
// answers true; after a bound it ends the box with mrAbort so that a failing test cannot hang.
class TBoxDriver {
public:
    explicit TBoxDriver(std::function<bool(TsMessageForm*)> Step) : step_(std::move(Step))
    {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 20, &TBoxDriver::Tick);
    }
    ~TBoxDriver() { KillTimer(nullptr, timer_), current_ = nullptr; }
    bool Done() const { return done_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        TBoxDriver* self = current_;
        auto* box = dynamic_cast<TsMessageForm*>(FindControl(GetActiveWindow()));
        if (!self || self->done_ || self->busy_ || !box || !IsWindowVisible(box->Handle()))
            return;
        if (++self->ticks_ > 250)
            return box->SetModalResult(mrAbort);
        self->busy_ = true; // a step that pumps meets the next ticks inside itself
        self->done_ = self->step_(box);
        self->busy_ = false;
    }
    static inline TBoxDriver* current_ = nullptr;
    std::function<bool(TsMessageForm*)> step_;
    UINT_PTR timer_ = 0;
    int ticks_ = 0;
    bool done_ = false, busy_ = false;
};

struct FormFree {
    void operator()(TForm* F) const { F->Free(); }
};
using BoxPtr = std::unique_ptr<TsMessageForm, FormFree>;

template <class T = TsBitBtn>
T* Part(TComponent* Box, const char* Name)
{
    return dynamic_cast<T*>(Box->FindComponent(Name));
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

TEST_F(MessageBoxes, AScriptedPromptServiceAnswersInsteadOfAWindow)
{
    TScriptedPromptService prompts;
    TPromptServiceGuard guard(prompts);
    prompts.Answer(mrYes);
    prompts.AnswerInput("Новости");
    EXPECT_EQ(sMessageDlg("Заголовок", "Удалить?", mtConfirmation, TMsgDlgButtons{mbYes, mbNo}, 0), mrYes);
    EXPECT_EQ(sInputBox("Новая категория", "Название:", ""), "Новости");
    ShowError("Сбой");
    ASSERT_EQ(prompts.Shown.size(), 3u);
    EXPECT_EQ(prompts.Shown[0].Caption, "Заголовок");
    EXPECT_EQ(prompts.Shown[1].Kind, TScriptedPromptService::pkInputQuery);
    EXPECT_EQ(prompts.Shown[2].DlgType, mtError);
}

TEST_F(MessageBoxes, BothBoxesInTheShippedSkins)
{
    for (const char* skin : {"Neutral", "Dusk"}) {
        UseSkin(skin);
        auto shot = [skin](const char* Name, TsMessageForm* Box) {
            SkinnedFormTest::Paint(Box);
            testkit::PumpFor(50);
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
