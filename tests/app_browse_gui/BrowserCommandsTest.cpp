// The browser view's commands in the main window: the address bar, progress and command states,
// find, source, save and print, and the links that leave the program.
#include "BrowseFixture.h"

#include "HtmlViewWindow.h"
#include "Settings.h"
#include "ShellSeams.h"

using namespace browse;

namespace {

class BrowserCommands : public BrowseTest {};

// Go, a chosen list item and Enter open the typed text alike: a file found as typed or in the
// archive's folder by its full path, anything else (an address) as typed.
TEST_F(BrowserCommands, GoAChosenItemAndEnterOpenTheTypedAddressAlike)
{
    const std::function<void()> ways[] = {
        [&] { form->ToolButton10Click(form->ToolButton10); },
        [&] {
            form->ComboBox1->SetItemIndex(form->ComboBox1->Items()->IndexOf(form->ComboBox1->Text()));
            form->ComboBox1Select(form->ComboBox1);
        },
        [&] {
            char enter = '\r';
            form->ComboBox1KeyPress(form->ComboBox1, enter);
            EXPECT_EQ(enter, 0);
        },
    };
    const struct {
        std::string typed, url, title;
    } cases[] = {{FileUrl("second.html"), FileUrl("second.html"), "Вторая страница"},
                 {"first.html", Path("first.html"), "Первая страница"}};
    for (const auto& way : ways)
        for (const auto& c : cases) {
            form->SkipHistoryOnce = true;
            form->Web->Navigate("about:blank");
            WaitPage("about:blank");
            RememberAddress(form, c.typed);
            form->ComboBox1->SetText(c.typed);
            way();
            WaitPage(c.title);
            EXPECT_EQ(form->Web->LocationURL(), c.url);
            EXPECT_FALSE(form->SkipHistoryOnce);
        }
    char other = 'x';
    form->ComboBox1KeyPress(form->ComboBox1, other);
    EXPECT_EQ(other, 'x');
}

// The address box names the page shown after a navigation, but keeps an address the user is typing
// there while the page loads.
TEST_F(BrowserCommands, TheAddressBoxShowsThePageShownUnlessAnotherAddressIsTyped)
{
    form->Show();
    for (bool typing : {false, true}) {
        form->ComboBox1->SetFocus();
        form->Web->Navigate(Path(typing ? "first.html" : "second.html"));
        if (typing)
            form->ComboBox1->SetText("http://typed.example/");
        WaitPage(typing ? "Первая страница" : "Вторая страница");
        EXPECT_EQ(form->ComboBox1->Text(), typing ? AnsiString("http://typed.example/") : Path("second.html"));
    }
}

// Shift+Delete asks first: "Отмена" (the default answer) keeps the list and its file, OK empties
// both; the key cuts no text either way. Delete alone and Ctrl+Delete ask nothing.
TEST_F(BrowserCommands, ShiftDeleteEmptiesTheAddressListAndItsFileAfterAQuestion)
{
    testkit::WriteFileBytes(dir / "FILES\\list", "http://a.example/\r\nhttp://b.example/\r\n");
    TStringList list;
    settings::LoadAddressList(list);
    UseAddresses(form, list);
    for (TShiftState shift : {TShiftState(), TShiftState() << ssCtrl}) {
        Word key = VK_DELETE;
        form->ComboBox1KeyDown(form->ComboBox1, key, shift);
        EXPECT_EQ(key, VK_DELETE);
    }
    EXPECT_TRUE(boxes.empty());
    for (int answer : {IDCANCEL, IDOK}) {
        ScriptBoxes(answer);
        Word key = VK_DELETE;
        form->ComboBox1KeyDown(form->ComboBox1, key, TShiftState() << ssShift);
        EXPECT_EQ(key, 0);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "Удалить все адреса из списка адресов?\nВосстановить их будет невозможно.");
        EXPECT_EQ(boxes[0].flags, UINT(MB_OKCANCEL | MB_ICONEXCLAMATION | MB_DEFBUTTON2));
        boxes.clear();
        const bool kept = answer == IDCANCEL;
        EXPECT_EQ(form->ComboBox1->Items()->Count(), kept ? 2 : 0);
        EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\list"), kept ? "http://a.example/\r\nhttp://b.example/\r\n" : "");
    }
}

TEST_F(BrowserCommands, CommandStatesSetOnlyTheirOwnPairAndProgressHidesWhenDone)
{
    struct Pair {
        TToolButton* Button;
        TMenuItem* Item;
    };
    const Pair back{form->ToolButton1, form->N26}, forward{form->ToolButton2, form->N27},
        stop{form->ToolButton3, form->N28};
    const struct {
        long Command;
        Pair Own;
    } cases[] = {{2, back}, {1, forward}, {-1, stop}, {0, {nullptr, nullptr}}};
    for (const auto& c : cases) {
        for (const Pair& p : {back, forward, stop}) {
            p.Button->SetEnabled(false);
            p.Item->SetEnabled(false);
        }
        form->WebCommandStateChange(form->Web, c.Command, true);
        for (const Pair& p : {back, forward, stop}) {
            const bool own = p.Button == c.Own.Button;
            EXPECT_EQ(p.Button->Enabled(), own) << c.Command << " " << p.Button->Name();
            EXPECT_EQ(p.Item->Enabled(), own) << c.Command << " " << p.Item->Name();
        }
        if (c.Own.Button) {
            form->WebCommandStateChange(form->Web, c.Command, false);
            EXPECT_FALSE(c.Own.Button->Enabled());
            EXPECT_FALSE(c.Own.Item->Enabled());
        }
    }

    form->WebProgressChange(form->Web, 30, 120);
    EXPECT_TRUE(form->ProgressBar1->Visible());
    EXPECT_EQ(form->ProgressBar1->Max(), 120);
    EXPECT_EQ(form->ProgressBar1->Position(), 30);
    form->WebProgressChange(form->Web, 120, 120);
    EXPECT_FALSE(form->ProgressBar1->Visible());
    form->WebProgressChange(form->Web, 1, 2);
    form->WebProgressChange(form->Web, 0, 0);
    EXPECT_FALSE(form->ProgressBar1->Visible()) << "0 of 0";
    form->WebProgressChange(form->Web, 1, 2);
    form->WebProgressChange(form->Web, -1, 1000000);
    EXPECT_FALSE(form->ProgressBar1->Visible()) << "-1 is the control's finished page";
    form->WebStatusTextChange(form->Web, "Загрузка");
    EXPECT_EQ(form->StatusBar1->Panels()->Items(2)->Text(), "Загрузка");
}

TEST_F(BrowserCommands, FindSourceSaveAndPrintWorkOnTheShownPage)
{
    Open("Первая");
    WaitPage("Первая страница");
    htmlview::View* view = form->Web->OwnView();
    ASSERT_NE(view, nullptr);
    form->N20Click(form->N20);
    EXPECT_NE(view->FindDialog(), nullptr) << "find dialog";
    form->ToolButton6Click(form->ToolButton6);
    HWND source = FindWindowA("VellornHtmlSource", nullptr);
    ASSERT_NE(source, nullptr) << "source window";
    DestroyWindow(source);

    const AnsiString saved = dir / "saved.html";
    prompts.AnswerDialog(true, [&](TCommonDialog& d) { static_cast<TSaveDialog&>(d).FileName = saved; });
    form->N23Click(form->N23);
    ASSERT_EQ(prompts.Shown.size(), 1u);
    EXPECT_EQ(prompts.Shown[0].DialogClass, "TSaveDialog");
    EXPECT_EQ(testkit::ReadFileBytes(saved), testkit::ReadFileBytes(dir / "FILES\\first.html"));

    // The view's notice is the application's box (the skinned one inside a skin).
    if (!htmlview::View::PrinterInstalled()) {
        form->ToolButton5Click(form->ToolButton5);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "Принтер не установлен. Чтобы напечатать страницу, установите принтер.");
        EXPECT_EQ(boxes[0].flags, UINT(MB_OK | MB_ICONINFORMATION));
    }
}

TEST_F(BrowserCommands, BlankPageSettingsAndMessagesToTheProject)
{
    TScopedShellRecorder shell;
    form->SetBrClick(form->SetBr);
    form->N34Click(form->N34);
    form->N70Click(form->N70);
    form->N33Click(form->N33);
    ASSERT_EQ(shell.Calls.size(), 4u);
    EXPECT_EQ(shell.Calls[0].Operation, "open");
    EXPECT_EQ(shell.Calls[0].File, "Rundll32.exe");
    EXPECT_EQ(shell.Calls[0].Parameters, "shell32,Control_RunDLL inetcpl.cpl");
    EXPECT_EQ(shell.Calls[0].ShowCmd, SW_SHOWNORMAL);
    // The subject in UTF-8, percent-encoded: "Ошибка", "Статья" ("Отзывы и предложения" likewise).
    const AnsiString to = "mailto:vellorn@vellorn.example?subject=";
    EXPECT_EQ(shell.Calls[1].File, to + "%D0%9E%D1%88%D0%B8%D0%B1%D0%BA%D0%B0");
    EXPECT_EQ(shell.Calls[2].File, to + "%D0%A1%D1%82%D0%B0%D1%82%D1%8C%D1%8F");
    EXPECT_EQ(shell.Calls[3].File.substr(to.size(), 13), "%D0%9E%D1%82%");

    form->ToolButton1->SetEnabled(false);
    form->N22Click(form->N22);
    EXPECT_TRUE(form->ToolButton1->Enabled());
    WaitPage("about:blank");
}

} // namespace
