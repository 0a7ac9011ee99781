// The browser view's commands in the main window: the address bar, progress and command states,
// find, source, save and print, and the links that leave the program.
#include "BrowseFixture.h"

#include "HtmlViewWindow.h"
#include "ShellSeams.h"

using namespace browse;

namespace {

class BrowserCommands : public BrowseTest {};

TEST_F(BrowserCommands, AddressBarGoOpensFilesOnlyAndEnterOpensAnyAddress)
{
    // A web address with Go: a blank page.
    form->ComboBox1->SetText("http://example.org/");
    form->ToolButton10Click(form->ToolButton10);
    WaitPage("about:blank");
    EXPECT_TRUE(form->SkipHistoryOnce);

    // A page name found under FILES\ opens that file.
    form->ComboBox1->SetText("first.html");
    form->ToolButton10Click(form->ToolButton10);
    WaitPage("Первая страница");
    EXPECT_EQ(form->Web->LocationURL(), Path("first.html"));
    EXPECT_FALSE(form->SkipHistoryOnce);

    // Choosing a list item goes the same way; Enter opens the text as it is.
    form->SkipHistoryOnce = true;
    form->ComboBox1->Items()->Add(Path("second.html"));
    form->ComboBox1->SetItemIndex(0);
    form->ComboBox1Select(form->ComboBox1);
    WaitPage("Вторая страница");
    EXPECT_FALSE(form->SkipHistoryOnce);
    form->SkipHistoryOnce = true;
    form->ComboBox1->SetText(FileUrl("first.html"));
    char enter = '\r';
    form->ComboBox1KeyPress(form->ComboBox1, enter);
    WaitPage("Первая страница");
    EXPECT_EQ(form->Web->LocationURL(), FileUrl("first.html"));
    EXPECT_FALSE(form->SkipHistoryOnce);
    char other = 'x';
    form->ComboBox1KeyPress(form->ComboBox1, other);
    EXPECT_EQ(other, 'x');
}

TEST_F(BrowserCommands, ShiftDeleteEmptiesTheAddressListAndItsFileDeleteAloneDoesNot)
{
    form->ComboBox1->Items()->Add("http://a.example/");
    form->ComboBox1->Items()->Add("http://b.example/");
    Word key = VK_DELETE;
    form->ComboBox1KeyDown(form->ComboBox1, key, TShiftState());
    form->ComboBox1KeyDown(form->ComboBox1, key, TShiftState() << ssCtrl);
    EXPECT_EQ(form->ComboBox1->Items()->Count(), 2);
    EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\list"), "");
    testkit::WriteFileBytes(dir / "FILES\\list", "http://a.example/\r\n");
    form->ComboBox1KeyDown(form->ComboBox1, key, TShiftState() << ssShift);
    EXPECT_EQ(form->ComboBox1->Items()->Count(), 0);
    EXPECT_EQ(testkit::ReadFileBytes(dir / "FILES\\list"), "");
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

    if (!htmlview::View::PrinterInstalled()) {
        form->ToolButton5Click(form->ToolButton5);
        ASSERT_EQ(prompts.Shown.size(), 2u);
        EXPECT_EQ(prompts.Shown[1].Text, "Принтер не установлен. Чтобы напечатать страницу, установите принтер.");
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
