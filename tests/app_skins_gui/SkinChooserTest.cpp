// The skin chooser on the real main window: the list, the preview through Timer5, "OK" kept in
// form.ini, "Отмена" and the other closes, skins that fail, the view toggles, and a switch of the skinned tabs.
#include "../app_gui/LogicFixture.h"

#include "Form16.h"
#include "IniFiles.h"
#include "sDialogs.h"
#include "sMaskData.h"
#include "sStyleSimply.h"

using namespace logic;

namespace {

class SkinChooser : public EditingTest {
protected:
    void SetUp() override
    {
        // Skins a user dropped into the skin folder, and a folder that is no skin.
        DropSkin("Zeta", "[GLOBALINFO]\r\n[EDIT]\r\nCOLOR=255\r\n");
        DropSkin("Broken", "[GLOBALINFO]\r\n[EDIT]\r\nPATTERN=Small.jpg\r\n");
        CopyFileA((testkit::DataDir() + "skins\\Truncated\\Small.jpg").c_str(), (dir / "Skins\\Broken\\Small.jpg").c_str(),
                  FALSE);
        CreateDir(dir / "Skins\\Notes");
        EditingTest::SetUp();
        chooser = Create<TForm16>(Application);
    }
    void DropSkin(const char* Name, const char* Options)
    {
        ForceDirectories(dir / ("Skins\\" + std::string(Name)));
        testkit::WriteFileBytes(dir / ("Skins\\" + std::string(Name) + "\\Options.dat"), Options);
    }
    // Picks a skin in the list as a click does.
    void Pick(const char* Name)
    {
        chooser->sListBox1->SetItemIndex(chooser->sListBox1->Items()->IndexOf(Name));
        chooser->sListBox1Click(chooser->sListBox1);
    }
    // One tick of Timer5, as its window receives it.
    void Tick() { SendMessageA(form->Timer5->Handle(), WM_TIMER, 1, 0); }
    AnsiString StoredSkin()
    {
        TIniFile ini(dir / "FILES\\form.ini");
        return ini.ReadString("FORM", "Skin", "-");
    }
    // Opens the chooser and runs action inside its modal loop.
    void Choose(std::function<void()> action)
    {
        WhileModal(chooser, std::move(action));
        form->N5Click(form->N5);
    }
    TColor EditColour() { return gd.at(static_cast<std::size_t>(GetSkinIndex("EDIT"))).Color; }

    TForm16* chooser = nullptr;
};

} // namespace

TEST_F(SkinChooser, ListsPreviewsKeepsOnOkAndGoesBackOnCancel)
{
    ASSERT_TRUE(sSkinData->Active);
    EXPECT_EQ(form->sSkinManager1->SkinName(), "Neutral");
    Choose([&] {
        EXPECT_EQ(chooser->sListBox1->Items()->GetTextStr(), "Broken\r\nDusk\r\nNeutral\r\nZeta\r\n");
        EXPECT_EQ(chooser->sListBox1->GetItemIndex(), 2) << "the current skin is selected";
        // The timer's own tick a whole interval away: the click asks for one at once.
        form->Timer5->SetEnabled(false);
        form->Timer5->SetEnabled(true);
        Pick("Dusk");
        testkit::PumpPending();
        EXPECT_EQ(form->sSkinManager1->SkinName(), "Dusk") << "a click previews once it is handled";
        EXPECT_EQ(StoredSkin(), "Neutral");
        chooser->sButton1Click(chooser->sButton1);
    });
    EXPECT_FALSE(chooser->Visible());
    EXPECT_EQ(StoredSkin(), "Dusk");
    EXPECT_EQ(form->Memo1->Color(), EditColour()) << "the main window's edits follow the new skin";

    Choose([&] {
        Pick("Zeta");
        Tick();
        EXPECT_EQ(form->Memo1->Color(), TColor(255));
        chooser->sButton2Click(chooser->sButton2);
    });
    Tick();
    EXPECT_EQ(form->sSkinManager1->SkinName(), "Dusk") << "cancel goes back to the skin shown at the start";
    EXPECT_EQ(form->Memo1->Color(), EditColour());
    EXPECT_EQ(StoredSkin(), "Dusk");

    // Alt+F4 or the close box is a cancel as well, and the close keeps the skin shown.
    Choose([&] {
        Pick("Zeta");
        Tick();
        EXPECT_EQ(form->sSkinManager1->SkinName(), "Zeta");
        chooser->Perform(WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    Tick();
    EXPECT_EQ(form->sSkinManager1->SkinName(), "Dusk");
    EXPECT_EQ(chooser->sListBox1->GetItemIndex(), chooser->sListBox1->Items()->IndexOf("Dusk"));

    // Cancelled and opened again before the timer has shown the look given back: the new opening
    // shows that look first and goes back to it, not to the preview that was still on screen.
    form->Timer5->SetEnabled(false);
    form->Timer5->SetEnabled(true);
    Choose([&] {
        Pick("Zeta");
        Tick();
        chooser->sButton2Click(chooser->sButton2);
    });
    Choose([&] {
        EXPECT_EQ(form->sSkinManager1->SkinName(), "Dusk");
        Pick("Zeta");
        Tick();
        chooser->sButton2Click(chooser->sButton2);
    });
    Tick();
    EXPECT_EQ(form->sSkinManager1->SkinName(), "Dusk");

    Choose([&] {
        chooser->sListBox1->SetItemIndex(-1);
        chooser->sButton1Click(chooser->sButton1);
    });
    Tick();
    EXPECT_EQ(StoredSkin(), "Dusk") << "OK with nothing selected writes nothing";
    EXPECT_EQ(form->sSkinManager1->SkinName(), "Dusk");
}

TEST_F(SkinChooser, ASkinThatFailsShowsOneBoxAndTheNextOneIsApplied)
{
    // Timer5 goes on ticking while a box is shown.
    Application->MessageBoxFunc = [this](HWND o, const AnsiString& t, const AnsiString& c, UINT f) {
        boxes.push_back({o, t, c, f});
        Tick();
        return IDOK;
    };
    struct TTickingPrompts : TScriptedPromptService {
        std::function<void()> During;
        TModalResult MessageDlg(const AnsiString& title, const AnsiString& msg, TMsgDlgType type, TMsgDlgButtons buttons,
                                int helpCtx, int x, int y) override
        {
            During();
            return TScriptedPromptService::MessageDlg(title, msg, type, buttons, helpCtx, x, y);
        }
    } warnings;
    warnings.During = [this] { Tick(); };
    TPromptServiceGuard guard(warnings);

    Choose([&] {
        Pick("Broken");
        Tick();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "Скин \"Broken\" не загружен: ошибка в файле \"" + dir / "Skins\\Broken\\Small.jpg" +
                                     "\". Рисунок повреждён, слишком велик или записан в формате, который программа не читает.");
        EXPECT_FALSE(sSkinData->Active);
        Pick("Dusk");
        Tick();
        EXPECT_TRUE(sSkinData->Active) << "the program goes on with the next skin";

        // A listed skin whose folder went meanwhile: the warning once, skinning off.
        DeleteFileA((dir / "Skins\\Zeta\\Options.dat").c_str());
        Pick("Zeta");
        Tick();
        ASSERT_EQ(warnings.Shown.size(), 1u);
        EXPECT_EQ(warnings.Shown[0].Text, "Скин \"Zeta\" не найден в папке \"" + dir / "Skins\\" + "\".");
        EXPECT_FALSE(form->sSkinManager1->Active());
        Pick("Neutral");
        Tick();
        EXPECT_TRUE(form->sSkinManager1->Active());
        EXPECT_TRUE(sSkinData->Active);
        EXPECT_EQ(form->sSkinManager1->SkinName(), "Neutral");
        chooser->Close();
    });
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(warnings.Shown.size(), 1u);
}

// The warning of a skin whose folder went comes when the old skin is off: the box looks as one
// shown without a skin (not a plain caption over the old skin's dark body and blank buttons).
TEST_F(SkinChooser, TheMissingSkinWarningLooksAsABoxWithoutASkin)
{
    // The warning is shown from a consistent state: the skin is off in every window before the box
    // is made, so the box is a plain one (not one made from half-loaded skin tables).
    struct TCheckingPrompts : TScriptedPromptService {
        bool SkinActive = true, BoxSkinned = true;
        TModalResult MessageDlg(const AnsiString& title, const AnsiString& msg, TMsgDlgType type, TMsgDlgButtons buttons,
                                int helpCtx, int x, int y) override
        {
            SkinActive = sSkinData->Active;
            std::unique_ptr<TsMessageForm, void (*)(TsMessageForm*)> box(
                sCreateMessageDialog("", msg, mtWarning, TMsgDlgButtons{mbOK}), [](TsMessageForm* f) { f->Free(); });
            box->Show();
            testkit::PumpPending();
            BoxSkinned = box->Provider() && box->Provider()->SkinData()->Skinned();
            testkit::ScreenPixels(box->Handle()).SavePng(testkit::OutputDir() + "missing_skin_warning.png");
            return TScriptedPromptService::MessageDlg(title, msg, type, buttons, helpCtx, x, y);
        }
    } warnings;
    TPromptServiceGuard guard(warnings);
    Choose([&] {
        Pick("Dusk");
        Tick();
        DeleteFileA((dir / "Skins\\Zeta\\Options.dat").c_str());
        Pick("Zeta");
        Tick();
        chooser->Close();
    });
    ASSERT_EQ(warnings.Shown.size(), 1u);
    EXPECT_FALSE(sSkinData->Active);
    EXPECT_FALSE(warnings.SkinActive) << "the skin is off before the warning shows";
    EXPECT_FALSE(warnings.BoxSkinned);
}

TEST_F(SkinChooser, ViewTogglesShowHideAndFollowThePanels)
{
    // A toggle goes by what is shown, also before a tick has checked the items (just after start).
    form->N89->SetChecked(false);
    ASSERT_TRUE(form->ToolBar2->Visible());
    form->N89Click(form->N89);
    EXPECT_FALSE(form->ToolBar2->Visible()) << "the address bar shown at start hides";
    EXPECT_FALSE(form->N89->Checked());
    ASSERT_TRUE(form->ToolBar1->Visible());
    Tick();
    EXPECT_TRUE(form->N87->Checked());
    form->N87Click(form->N87);
    EXPECT_FALSE(form->ToolBar1->Visible());
    EXPECT_FALSE(form->N87->Checked());
    form->N87Click(form->N87);
    EXPECT_TRUE(form->ToolBar1->Visible());
    form->N89Click(form->N89);
    EXPECT_EQ(form->ToolBar2->Visible(), form->N89->Checked());
    form->N90->SetChecked(true);
    form->ToolButton13Click(form->ToolButton13);
    EXPECT_FALSE(form->Panel2->Visible());
    Tick();
    EXPECT_FALSE(form->N90->Checked()) << "the tree panel's own button unchecks its menu item";
}

TEST_F(SkinChooser, AUsersSwitchToTheSearchPageShowsItAndTellsOfTheChange)
{
    ASSERT_TRUE(form->PageControl1->SkinData()->Skinned());
    int shown = 0, changed = 0;
    const TNotifyEvent show = form->TabSheet2->OnShow, change = form->PageControl1->OnChange;
    form->TabSheet2->OnShow = [&](TObject* Sender) {
        ++shown;
        show(Sender);
    };
    form->PageControl1->OnChange = [&](TObject* Sender) {
        ++changed;
        change(Sender);
    };
    const TRect tab = form->PageControl1->TabRect(1);
    const LPARAM at = MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
    PostMessageA(form->PageControl1->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(form->PageControl1->Handle(), WM_LBUTTONUP, 0, at);
    ASSERT_TRUE(testkit::PumpUntil([&] { return form->PageControl1->ActivePageIndex() == 1; }));
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(changed, 1);
    EXPECT_TRUE(form->TreeView2->Visible() && form->TabSheet2->Showing());
    EXPECT_FALSE(form->N3->Enabled()) << "the results page's own state";
}
