// Files dropped on a control through the drop hook: the first name or all of them, the record
// released whatever the handler does, and drops accepted by every window the control makes.
#include "ShellObjects.h"

#include "DropRecord.h"
#include "FormTest.h"
#include "ShellDrop.h"
#include "StdCtrls.h"
#include "WideNames.h"

namespace {

using testkit::MakeDrop;

class FileDrops : public testkit::FormTest {};

bool Accepts(TWinControl* Control)
{
    return (GetWindowLongA(Control->Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0;
}

} // namespace

TEST_F(FileDrops, TheFirstNameOrEveryNameIsTakenAndTheRecordIsAlwaysReleased)
{
    TForm* form = MakeForm();
    auto* edit = Create<TEdit>(form);
    edit->SetParent(form);
    form->Show();
    TFileDropHook hook;
    std::vector<std::string> got;
    hook.OnDrop = [&](const std::vector<AnsiString>& Files) { got.assign(Files.begin(), Files.end()); };
    hook.Attach(edit);
    EXPECT_FALSE(Accepts(edit));
    hook.SetAccept(true);
    EXPECT_TRUE(Accepts(edit));
    edit->RecreateWnd();
    EXPECT_TRUE(Accepts(edit)) << "a new window accepts drops as well";

    const std::string longName = "C:\\" + std::string(300, 'n') + ".txt";
    const std::vector<std::string> names{"C:\\one.txt", longName, "C:\\Папка\\три.txt"};
    HDROP drop = MakeDrop(names);
    SendMessageA(edit->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    EXPECT_EQ(got, (std::vector<std::string>{"C:\\one.txt"}));
    EXPECT_TRUE(testkit::DropReleased(drop));

    hook.Multiple = true;
    drop = MakeDrop(names);
    SendMessageA(edit->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    EXPECT_EQ(got, names);
    EXPECT_TRUE(testkit::DropReleased(drop));

    // The shell's wide names: a look-alike of "a.txt" comes as the path that reaches it, a name no
    // path reaches not at all.
    testkit::TempDir dir;
    testkit::WriteFileBytes(dir / "a.txt", "plain");
    testkit::MakeWide(dir.Path(), L"\uff41.txt", "wide a");
    const std::wstring folder = AnsiToWide(dir.Path().c_str());
    drop = testkit::MakeWideDrop({folder + L"\uff41.txt", folder + L"a.txt", folder + L"\u4e2d\\gone.txt"});
    SendMessageA(edit->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(testkit::ReadFileBytes(got[0]), "wide a");
    EXPECT_EQ(got[1], dir / "a.txt");

    // A handler that raises: the error goes to the application, the record is released all the same.
    int errors = 0;
    Application->OnException = [&](TObject*, Exception*) { ++errors; };
    hook.OnDrop = [](const std::vector<AnsiString>&) { throw Exception("cannot take it"); };
    drop = MakeDrop(names);
    SendMessageA(edit->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    EXPECT_EQ(errors, 1);
    EXPECT_TRUE(testkit::DropReleased(drop));

    hook.SetAccept(false);
    EXPECT_FALSE(Accepts(edit));
    edit->RecreateWnd();
    EXPECT_FALSE(Accepts(edit));
    hook.SetAccept(true);
    hook.Release();
    EXPECT_FALSE(Accepts(edit)) << "the control lets go of drops with the hook";
}
