// A file list on a skinned demo form, driven by its keys with the real shell: a file copied and
// pasted into a sub-folder lands there, Delete on the ".." row leaves the parent folder alone (both
// read back from the disk). Pictures of the report view, the drive view and the open menu in both
// shipped skins and without a skin, and of the attributes dialog (filelist_<view>_<skin>.png), are
// written to be looked at.
#include "../skin_forms_gui/FormsKit.h"
#include "FileListKit.h"
#include "sPanel.h"

using namespace filelistkit;
using namespace formskit;

namespace {

class TFileListDemo : public TForm {
    VCL_CLASS(TFileListDemo, TForm)
public:
    explicit TFileListDemo(TComponent* AOwner) : TForm(AOwner)
    {
        BeginLoading(this);
        SetBounds(30, 30, 560, 360);
        SetCaption("Файлы");
        Create<TsSkinProvider>(this);
        auto* panel = Create<TsPanel>(this);
        panel->SetAlign(alClient);
        panel->SetParent(this);
        List = Create<TsFileListView>(this);
        List->SetAlign(alClient);
        List->SetShowParentItem(true);
        List->SetParent(panel);
        LoadedAll(this);
    }
    TsFileListView* List = nullptr;
};

class FileListDemo : public SkinnedFormTest {
protected:
    TListItem* Row(TsFileListView* List, const std::string& Caption)
    {
        for (int i = 0; i < List->Items()->Count(); ++i)
            if (List->Items()->Item(i)->Caption() == Caption)
                return List->Items()->Item(i);
        ADD_FAILURE() << "no row " << Caption;
        return nullptr;
    }
    void Select(TsFileListView* List, const std::string& Caption)
    {
        List->ClearSelection();
        if (TListItem* row = Row(List, Caption)) {
            row->SetSelected(true);
            row->SetFocused(true);
        }
    }
};

// Takes the picture of the open menu and closes it.
std::string MenuShot;

void CALLBACK ShootMenu(HWND, UINT, UINT_PTR Id, DWORD)
{
    KillTimer(nullptr, Id);
    testkit::SaveScreenshot(MenuShot);
    EndMenu();
}

// Takes the picture of the attributes dialog and closes it.
std::string DialogShot;

void CALLBACK ShootDialog(HWND, UINT, UINT_PTR Id, DWORD)
{
    auto* box = dynamic_cast<TForm*>(FindControl(GetActiveWindow()));
    if (!box || !box->FindComponent("cbReadOnly"))
        return;
    KillTimer(nullptr, Id);
    RedrawWindow(box->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    testkit::SaveScreenshot(DialogShot, box->Handle());
    box->SetModalResult(mrCancel);
}

} // namespace

TEST_F(FileListDemo, APastedCopyLandsInTheSubFolderAndDeleteOnTheWayUpKeepsTheParent)
{
    testkit::TempDir dir;
    const std::string work = dir / "work", sub = work + "\\sub";
    CreateDirectoryA(work.c_str(), nullptr);
    CreateDirectoryA(sub.c_str(), nullptr);
    testkit::WriteFileBytes(dir / "keep.txt", "parent's own");
    testkit::WriteFileBytes(work + "\\a.txt", "article");

    UseSkin("Dusk");
    auto* form = Create<TFileListDemo>(Application);
    TsFileListView* list = form->List;
    list->SetDirectory(work);
    form->Show();
    Paint(form);
    ASSERT_EQ(list->Items()->Count(), 3);

    Select(list, "a.txt");
    PressKey(list, 'C', true);
    Select(list, "sub");
    PressKey(list, VK_RETURN);
    ASSERT_EQ(list->Directory(), sub);
    PressKey(list, 'V', true);
    EXPECT_EQ(testkit::ReadFileBytes(sub + "\\a.txt"), "article");
    EXPECT_EQ(testkit::ReadFileBytes(work + "\\a.txt"), "article");
    EXPECT_NE(Row(list, "a.txt"), nullptr) << "the list was read again";

    PressKey(list, VK_BACK);
    ASSERT_EQ(list->Directory(), work);
    Select(list, "..");
    PressKey(list, VK_DELETE);
    list->FileMenu()->ItemOnClick(list->FileMenu()->FindComponent("ItemDelete"));
    EXPECT_EQ(testkit::ReadFileBytes(dir / "keep.txt"), "parent's own");
    EXPECT_EQ(testkit::ReadFileBytes(work + "\\a.txt"), "article");
    EXPECT_EQ(testkit::ReadFileBytes(sub + "\\a.txt"), "article");
    form->Free();
}

TEST_F(FileListDemo, PicturesOfTheViewsAndTheMenu)
{
    testkit::TempDir dir;
    CreateDirectoryA((dir / "Статьи").c_str(), nullptr);
    CreateDirectoryA((dir / "FLASH").c_str(), nullptr);
    const char* files[] = {"Standard.html", "Заметки.txt", "list", "form.ini", "picture.bmp", "movie.swf"};
    for (std::size_t i = 0; i < std::size(files); ++i)
        MakeFile(dir / files[i], 700 * (i + 1) * (i + 1));
    for (const char* skin : {"Neutral", "Dusk", "none"}) {
        UseSkinOrNone(skin);
        auto* form = Create<TFileListDemo>(Application);
        TsFileListView* list = form->List;
        list->SetDirectory(dir.Path());
        form->Show();
        SetForegroundWindow(form->Handle());
        Select(list, "Заметки.txt");
        Paint(form);
        testkit::WaitIdle();
        Paint(form);
        testkit::SaveScreenshot("filelist_report_" + std::string(skin) + ".png", form->Handle());

        MenuShot = "filelist_menu_" + std::string(skin) + ".png";
        SetTimer(nullptr, 0, 400, ShootMenu);
        const TRect r = Row(list, "Заметки.txt")->DisplayRect(drLabel);
        const TPoint at = list->ClientToScreen(TPoint{r.left, r.bottom});
        list->FileMenu()->Popup(at.x, at.y);
        testkit::PumpPending();

        DialogShot = "filelist_attributes_" + std::string(skin) + ".png";
        SetTimer(nullptr, 0, 300, ShootDialog);
        list->FileAttr();

        list->SetDirectory("");
        EXPECT_FALSE(list->FileView());
        Paint(form);
        testkit::WaitIdle();
        Paint(form);
        testkit::SaveScreenshot("filelist_drives_" + std::string(skin) + ".png", form->Handle());
        form->Free();
    }
}
