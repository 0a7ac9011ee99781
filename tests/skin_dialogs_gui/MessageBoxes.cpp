// The skinned message and input boxes: their layout, the default and cancel buttons, placement,
// the answers of the real modal windows and of a test's prompt service, and pictures of both boxes
// in both shipped skins (skinned_message_<skin>.png, skinned_input_<skin>.png).
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "../skin_forms_gui/FormsKit.h"
#include "ExtCtrls.h"
#include "sBitBtn.h"
#include "sButton.h"
#include "sDialogs.h"
#include "sEdit.h"
#include "sLabel.h"

using namespace formskit;

namespace {

// Runs a step on the box that is open (timers keep firing inside modal loops) until the step answers
// true; after a bound it closes the box so that a failing test cannot hang.
class TBoxDriver {
public:
    explicit TBoxDriver(std::function<bool(TsMessageForm*)> Step) : step_(std::move(Step))
    {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 20, &TBoxDriver::Tick);
    }
    ~TBoxDriver()
    {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    bool Done() const { return done_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        TBoxDriver* self = current_;
        if (!self || self->done_ || self->busy_)
            return;
        auto* box = dynamic_cast<TsMessageForm*>(FindControl(GetActiveWindow()));
        if (++self->ticks_ > 250) {
            if (box)
                box->SetModalResult(mrAbort);
            return;
        }
        if (box && IsWindowVisible(box->Handle())) {
            // A step that pumps messages meets the next ticks inside itself.
            self->busy_ = true;
            self->done_ = self->step_(box);
            self->busy_ = false;
        }
    }
    static inline TBoxDriver* current_ = nullptr;
    std::function<bool(TsMessageForm*)> step_;
    UINT_PTR timer_ = 0;
    int ticks_ = 0;
    bool done_ = false;
    bool busy_ = false;
};

struct FormFree {
    void operator()(TForm* F) const { F->Free(); }
};
using BoxPtr = std::unique_ptr<TsMessageForm, FormFree>;

template <class T>
T* Part(TComponent* Box, const char* Name)
{
    return dynamic_cast<T*>(Box->FindComponent(Name));
}

// Dialog base units of the system's message font, measured here the way a box measures them.
POINT BaseUnits(TsMessageForm* Box)
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Box->Font()->Handle());
    SIZE sz{};
    GetTextExtentPoint32A(dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &sz);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return POINT{sz.cx / 52, sz.cy};
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
                          Case{TMsgDlgButtons{mbOK}, "OK", "OK"},
                          Case{TMsgDlgButtons{mbOK, mbCancel, mbHelp}, "OK", "Cancel"}}) {
        BoxPtr box(sCreateMessageDialog("", "Text", mtConfirmation, c.Buttons));
        int count = 0;
        for (int i = 0; i < box->ComponentCount(); ++i)
            if (auto* b = dynamic_cast<TsBitBtn*>(box->Components(i))) {
                ++count;
                EXPECT_EQ(b->Default(), b->Name() == c.Default) << b->Name();
                EXPECT_EQ(b->Cancel(), b->Name() == c.Cancel) << b->Name();
            }
        EXPECT_GE(count, 1);
    }
    BoxPtr box(sCreateMessageDialog("", "Text", mtConfirmation, TMsgDlgButtons{mbYes, mbNo, mbHelp}));
    EXPECT_EQ(Part<TsBitBtn>(box.get(), "Yes")->ModalResult(), 6);
    EXPECT_EQ(Part<TsBitBtn>(box.get(), "No")->Caption(), "&No");
    EXPECT_EQ(Part<TsBitBtn>(box.get(), "Help")->ModalResult(), mrNone);
    EXPECT_EQ(Part<TsBitBtn>(box.get(), "No")->Left() - Part<TsBitBtn>(box.get(), "Yes")->Left(),
              Part<TsBitBtn>(box.get(), "Help")->Left() - Part<TsBitBtn>(box.get(), "No")->Left());
    EXPECT_EQ(box->Caption(), "Confirm");
    EXPECT_EQ(box->Provider()->SkinData()->SkinSection(), "DIALOG");
}

TEST_F(MessageBoxes, LayoutOfIconTextAndButtons)
{
    // With an icon the text starts after it; the buttons are centred below.
    BoxPtr warn(sCreateMessageDialog("", "Файл занят", mtWarning, TMsgDlgButtons{mbOK}));
    const POINT du = BaseUnits(warn.get());
    const int horzMargin = MulDiv(16, du.x, 4), vertMargin = MulDiv(12, du.y, 8);
    auto* image = Part<TImage>(warn.get(), "Image");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->BoundsRect(), Rect(horzMargin, vertMargin, horzMargin + 32, vertMargin + 32));
    auto* text = Part<TsLabel>(warn.get(), "Message");
    EXPECT_EQ(text->Left(), horzMargin + 32 + MulDiv(10, du.x, 4));
    EXPECT_EQ(text->Caption(), "Файл занят");
    EXPECT_EQ(warn->Caption(), "Warning");
    auto* ok = Part<TsBitBtn>(warn.get(), "OK");
    EXPECT_EQ(ok->Left(), (warn->ClientWidth() - ok->Width()) / 2);
    EXPECT_EQ(ok->Top(), vertMargin + 32 + MulDiv(10, du.y, 8));

    // No buttons and no icon: the width comes from the text alone, which starts at the margin, and
    // the title is the application's.
    BoxPtr custom(sCreateMessageDialog("", "A & B", mtCustom, TMsgDlgButtons()));
    EXPECT_EQ(Part<TImage>(custom.get(), "Image"), nullptr);
    auto* plain = Part<TsLabel>(custom.get(), "Message");
    EXPECT_EQ(plain->Left(), horzMargin);
    EXPECT_EQ(custom->ClientWidth(), plain->Width() + 2 * horzMargin);
    EXPECT_FALSE(plain->ShowAccelChar()) << "the ampersand shows as it stands";
    EXPECT_EQ(custom->Caption(), Application->Title());

    // A message wider than half the screen wraps, and the box grows in height instead.
    AnsiString longText;
    for (int i = 0; i < 60; ++i)
        longText += "слово длинного сообщения ";
    BoxPtr wide(sCreateMessageDialog("Длинное", longText, mtCustom, TMsgDlgButtons{mbOK}));
    EXPECT_LE(Part<TsLabel>(wide.get(), "Message")->Width(), Screen->Width() / 2);
    EXPECT_GT(wide->ClientHeight(), custom->ClientHeight() + 2 * du.y);
    EXPECT_EQ(wide->Caption(), "Длинное");
}

TEST_F(MessageBoxes, RealBoxAnswersThePressedButtonAndKeepsItsPlace)
{
    UseSkin("Neutral");
    RECT placed{};
    TBoxDriver driver([&](TsMessageForm* box) {
        GetWindowRect(box->Handle(), &placed);
        Part<TsBitBtn>(box, "No")->Click();
        return true;
    });
    BoxPtr probe(sCreateMessageDialog("", "Удалить?", mtConfirmation, TMsgDlgButtons{mbYes, mbNo}));
    EXPECT_EQ(sMessageDlgPos("Удалить?", mtConfirmation, TMsgDlgButtons{mbYes, mbNo}, 0, 10, -1), mrNo);
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(placed.left, 10) << "X sets the left edge only";
    EXPECT_EQ(placed.top, probe->Top()) << "the top stays the centred one";
    EXPECT_EQ(Screen->FormCount(), 1) << "the box is freed";

    // Esc presses the cancel button: No of a question.
    TBoxDriver esc([](TsMessageForm*) {
        PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 1);
        return true;
    });
    EXPECT_EQ(sMessageDlg("Продолжить?", mtConfirmation, TMsgDlgButtons{mbYes, mbNo}, 0), mrNo);
    EXPECT_TRUE(esc.Done());
}

TEST_F(MessageBoxes, InputBoxTakesTheTextOnOkAndKeepsTheDefaultOnCancel)
{
    TBoxDriver ok([](TsMessageForm* box) {
        auto* edit = dynamic_cast<TsEdit*>(box->ActiveControl());
        EXPECT_NE(edit, nullptr);
        if (!edit)
            return false;
        EXPECT_EQ(edit->Text(), "старое");
        EXPECT_EQ(edit->SelLength(), 6) << "the value is selected";
        edit->SetText("новое");
        PostMessageA(edit->Handle(), WM_KEYDOWN, VK_RETURN, 1);
        return true;
    });
    EXPECT_EQ(sInputBox("Название", "Введите:", "старое"), "новое");
    EXPECT_TRUE(ok.Done());

    AnsiString value = "прежнее";
    TBoxDriver cancel([](TsMessageForm* box) {
        dynamic_cast<TsEdit*>(box->ActiveControl())->SetText("другое");
        for (int i = 0; i < box->ComponentCount(); ++i)
            if (auto* b = dynamic_cast<TsButton*>(box->Components(i)); b && b->Caption() == "Cancel")
                b->Click();
        return true;
    });
    EXPECT_FALSE(sInputQuery("Название", "Введите:", value));
    EXPECT_EQ(value, "прежнее");
    EXPECT_TRUE(cancel.Done());
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
    EXPECT_EQ(prompts.Unanswered, 1);
}

TEST_F(MessageBoxes, BothBoxesInTheShippedSkins)
{
    for (const char* skin : {"Neutral", "Dusk"}) {
        UseSkin(skin);
        TBoxDriver message([&](TsMessageForm* box) {
            RedrawWindow(box->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
            testkit::PumpFor(50);
            const testkit::PixelImage look = testkit::PrintWindowPixels(box->Handle());
            EXPECT_EQ(look.CountColor(TRect(0, 0, look.Width(), look.Height()), 0xFF00FF), 0) << skin;
            testkit::SaveScreenshot(std::string("skinned_message_") + skin + ".png", box->Handle());
            Part<TsBitBtn>(box, "Yes")->Click();
            return true;
        });
        EXPECT_EQ(sMessageDlg("Удалить статью «Новости» вместе с её заметками?", mtConfirmation,
                              TMsgDlgButtons{mbYes, mbNo, mbCancel}, 0),
                  mrYes);
        TBoxDriver input([&](TsMessageForm* box) {
            RedrawWindow(box->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
            testkit::PumpFor(50);
            testkit::SaveScreenshot(std::string("skinned_input_") + skin + ".png", box->Handle());
            box->SetModalResult(mrCancel);
            return true;
        });
        EXPECT_EQ(sInputBox("Новая подкатегория", "Введите название подкатегории", "Архив"), "Архив");
        EXPECT_TRUE(message.Done() && input.Done()) << skin;
    }
}
