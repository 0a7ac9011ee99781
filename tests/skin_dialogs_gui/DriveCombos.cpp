// The drive and path combo boxes over drives of the test's own: the drive items' texts and the
// chosen drive, a read-only drive box that keys and presses leave alone, the path box's drives and
// folder levels, a folder named without its trailing backslash, a path without a drive letter, and
// pictures of both on a demo form in both shipped skins and without a skin
// (drive_combos_<skin>.png, drive_combos_open_<skin>.png).
#include "../skin_forms_gui/FormsKit.h"
#include "sDriveComboBox.h"
#include "sLabel.h"
#include "sPanel.h"
#include "sPathComboBox.h"

using namespace formskit;

namespace {

// C: with a label, D: a CD-ROM without a disk, F: a floppy (never asked), N: a share.
void FillDrives(TFakeDrives& Drives)
{
    Drives.Drives = {
        {'C', DRIVE_FIXED, true, {}, "SYSTEM", "System (C:)"},
        {'D', DRIVE_CDROM, false, {}, "", "CD (D:)"},
        {'F', DRIVE_REMOVABLE, true, {}, "FLOPPY", "Floppy (F:)"},
        {'N', DRIVE_REMOTE, true, {}, "", "Share (N:)"},
    };
}

class DriveCombos : public SkinnedFormTest {
protected:
    void SetUp() override
    {
        SkinnedFormTest::SetUp();
        FillDrives(drives);
        form = MakeForm();
        form->SetBounds(50, 50, 300, 200);
    }
    template <class T>
    T* Make(int Top)
    {
        auto* c = Create<T>(form);
        c->SetBounds(10, Top, 220, 22);
        c->SetParent(form);
        return c;
    }
    // The path box's items: caption, text and indent each.
    static std::vector<std::string> Rows(TsPathComboBox* Box)
    {
        std::vector<std::string> rows;
        for (int i = 0; i < Box->ItemsEx()->Count(); ++i) {
            TsComboItem* item = Box->ItemsEx()->Items(i);
            rows.push_back(std::string(item->Caption()) + "|" + std::string(Box->Items()->Get(i)) + "|" +
                           std::to_string(item->Indend()));
        }
        return rows;
    }

    TScopedFakeDrives drives;
    TForm* form = nullptr;
};

class TBuildCounting : public TsPathComboBox {
    VCL_CLASS(TBuildCounting, TsPathComboBox)
public:
    using TsPathComboBox::TsPathComboBox;
    void BuildList() override
    {
        ++Builds;
        inherited::BuildList();
    }
    int Builds = 0;
};

} // namespace

TEST_F(DriveCombos, TheDriveBoxListsEachDriveWithItsLabelAndKeepsItsChoice)
{
    EXPECT_EQ(DriveItemText('C', drives), "c: [SYSTEM]");
    EXPECT_EQ(DriveItemText('d', drives), "d:") << "no disk, no label";
    EXPECT_EQ(DriveItemText('F', drives), "f:") << "a floppy is not asked";
    EXPECT_EQ(DriveItemText('N', drives), "n:");

    auto* box = Make<TsDriveComboBox>(10);
    form->Show();
    EXPECT_EQ(box->Items()->Text(), "c: [SYSTEM]\r\nd:\r\nf:\r\nn:\r\n");
    EXPECT_NE(box->DriveBitmap(1), nullptr) << "the CD-ROM's picture";
    int changes = 0;
    box->OnChange = [&](TObject*) { ++changes; };
    box->SetDrive('N');
    EXPECT_EQ(box->Drive(), 'n');
    EXPECT_EQ(box->ItemIndex(), 3);
    box->SetDrive('n');
    box->SetDrive('q');
    EXPECT_EQ(box->Drive(), 'n') << "a letter of no drive is ignored";
    EXPECT_EQ(changes, 1);

    drives.Drives.pop_back();
    box->BuildList();
    EXPECT_EQ(box->Drive(), 'c') << "the chosen drive went: the first one";
    drives.Drives.clear();
    box->BuildList();
    EXPECT_EQ(box->Drive(), 0);
    EXPECT_EQ(box->ItemIndex(), -1);
}

TEST_F(DriveCombos, AReadOnlyDriveBoxTakesTheFocusButNeitherOpensNorChanges)
{
    auto* box = Make<TsDriveComboBox>(10);
    box->SetReadOnly(true);
    form->Show();
    testkit::WaitIdle();
    int changes = 0;
    box->OnChange = [&](TObject*) { ++changes; };
    const char before = box->Drive();
    SendMessageA(box->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(box->Width() - 8, 10));
    SendMessageA(box->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(box->Width() - 8, 10));
    EXPECT_TRUE(box->Focused()) << "a press focuses";
    SendMessageA(box->Handle(), WM_KEYDOWN, VK_DOWN, 0);
    SendMessageA(box->Handle(), WM_CHAR, 'n', 0);
    SendMessageA(box->Handle(), WM_SYSKEYDOWN, VK_DOWN, 0x20000000);
    testkit::WaitIdle();
    EXPECT_FALSE(box->DroppedDown());
    EXPECT_EQ(box->Drive(), before);
    EXPECT_EQ(changes, 0);
    // Alt+F4 still closes the window.
    bool closing = false;
    form->OnCloseQuery = [&](TObject*, bool& CanClose) {
        closing = true;
        CanClose = false;
    };
    SendMessageA(box->Handle(), WM_SYSKEYDOWN, VK_F4, 0x20000000);
    testkit::WaitIdle();
    EXPECT_TRUE(closing);
    form->OnCloseQuery = nullptr;

    box->SetReadOnly(false);
    SendMessageA(box->Handle(), WM_KEYDOWN, VK_DOWN, 0);
    testkit::WaitIdle();
    EXPECT_NE(box->Drive(), before) << "the same key moves a box that is not read-only";
    SendMessageA(box->Handle(), WM_SYSKEYDOWN, VK_DOWN, 0x20000000);
    testkit::WaitIdle();
    EXPECT_TRUE(box->DroppedDown()) << "and Alt+Down opens it";
    box->SetDroppedDown(false);
}

TEST_F(DriveCombos, ThePathBoxListsTheDrivesAndTheLevelsOfItsFolder)
{
    auto* box = Make<TBuildCounting>(10);
    form->Show();
    EXPECT_EQ(Rows(box), (std::vector<std::string>{"C:\\|System (C:)|-1", "D:\\|CD (D:)|-1", "F:\\|Floppy (F:)|-1",
                                                   "N:\\|Share (N:)|-1"}));
    EXPECT_EQ(box->ItemIndex(), -1) << "no folder, no choice";

    // A folder the shell does not know shows its own name; named without the trailing backslash it
    // is still chosen.
    box->SetDirectory("n:\\Archive\\Pages");
    EXPECT_EQ(box->Directory(), "n:\\Archive\\Pages\\");
    EXPECT_EQ(Rows(box), (std::vector<std::string>{"C:\\|System (C:)|-1", "D:\\|CD (D:)|-1", "F:\\|Floppy (F:)|-1",
                                                   "N:\\|Share (N:)|-1", "N:\\Archive\\|Archive|1",
                                                   "N:\\Archive\\Pages\\|Pages|2"}));
    EXPECT_EQ(box->ItemIndex(), 5);
    const int builds = box->Builds;
    box->SetDirectory("N:\\ARCHIVE\\pages\\");
    EXPECT_EQ(box->Builds, builds) << "the same folder in other letter case";
    EXPECT_EQ(box->Directory(), "n:\\Archive\\Pages\\");

    // Choosing a level makes it the folder.
    SendMessageA(box->Handle(), WM_KEYDOWN, VK_UP, 0);
    testkit::WaitIdle();
    EXPECT_EQ(box->Directory(), "N:\\Archive\\");
    EXPECT_EQ(box->ItemsEx()->Count(), 5);
    EXPECT_EQ(box->ItemIndex(), 4);

    // The wheel does not move from a drive.
    box->SetDirectory("c:\\");
    EXPECT_EQ(box->ItemIndex(), 0);
    SendMessageA(box->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    testkit::WaitIdle();
    EXPECT_EQ(box->ItemIndex(), 0);
}

TEST_F(DriveCombos, APathWithoutADriveLetterHasNoDrive)
{
    const struct {
        const char* path;
        char drive;
    } cases[] = {{"c:\\Pages", 'c'}, {"N:", 'N'}, {":\\Pages", 0}, {"\\\\server\\share", 0}, {"", 0}, {"Pages", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(PathDrive(c.path), c.drive) << c.path;

    auto* box = Make<TsPathComboBox>(10);
    form->Show();
    box->SetDirectory(":\\Pages");
    EXPECT_EQ(box->ItemsEx()->Count(), 4) << "the drives alone";
    EXPECT_EQ(box->ItemIndex(), -1);
}

namespace {

class TCombosDemo : public TForm {
    VCL_CLASS(TCombosDemo, TForm)
public:
    explicit TCombosDemo(TComponent* AOwner) : TForm(AOwner)
    {
        BeginLoading(this);
        SetBounds(40, 40, 350, 220);
        SetCaption("Диски");
        Create<TsSkinProvider>(this);
        auto* panel = Create<TsPanel>(this);
        panel->SetAlign(alClient);
        panel->SetParent(this);
        Focused = Place<TsDriveComboBox>(panel, 20, "Диск:");
        Place<TsDriveComboBox>(panel, 55, "Чтение:")->SetReadOnly(true);
        Place<TsDriveComboBox>(panel, 90, "Недоступен:")->SetEnabled(false);
        Path = Place<TsPathComboBox>(panel, 125, "Папка:");
        LoadedAll(this);
    }
    template <class T>
    T* Place(TWinControl* Parent, int Top, const char* Caption)
    {
        auto* c = Create<T>(this);
        c->SetBounds(140, Top, 180, 22);
        c->SetParent(Parent);
        c->BoundLabel()->SetCaption(Caption);
        c->BoundLabel()->SetActive(true);
        return c;
    }
    TsDriveComboBox* Focused = nullptr;
    TsPathComboBox* Path = nullptr;
};

} // namespace

TEST_F(DriveCombos, PicturesOnADemoForm)
{
    form->Free();
    form = nullptr;
    // The real system drive's icon for every drive, so that the pictures show icons.
    AnsiString name;
    int icon = -1;
    TSystemDrives().ShellName('C', name, icon);
    for (TFakeDrive& d : drives.Drives)
        d.IconIndex = icon;
    for (const char* skin : {"Neutral", "Dusk", "none"}) {
        UseSkinOrNone(skin);
        auto* demo = Create<TCombosDemo>(Application);
        // A real folder on C:, whose levels have the shell's names and icons.
        char windows[MAX_PATH] = {};
        GetWindowsDirectoryA(windows, MAX_PATH);
        demo->Path->SetDirectory(AnsiString(windows) + "\\system32");
        demo->Show();
        SetForegroundWindow(demo->Handle());
        demo->Focused->SetFocus();
        Paint(demo);
        testkit::WaitIdle();
        Paint(demo);
        // A box that selects nothing fails here instead of ending the program.
        const auto* selected = demo->Path->GetSelectedItem();
        EXPECT_NE(selected, nullptr) << skin;
        EXPECT_EQ(selected ? selected->Indend() : -1, 2) << skin;
        testkit::SaveScreenshot("drive_combos_" + std::string(skin) + ".png", demo->Handle());
        demo->Path->SetDroppedDown(true);
        testkit::WaitIdle();
        testkit::SaveScreenshot("drive_combos_open_" + std::string(skin) + ".png");
        demo->Path->SetDroppedDown(false);
        demo->Free();
    }
}
