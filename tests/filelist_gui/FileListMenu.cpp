// The file list's pop-up menu: its entries, which of them are enabled for a selection, the Send To
// entries read from the SendTo folder and dispatched by their number.
#include <objbase.h>
#include "ShellObjects.h"

#include "DriveSeams.h"
#include "FileListKit.h"

using namespace filelistkit;

namespace {

class FileListMenu : public FileListTest {
protected:
    // The entries the rules are about, in the order of Enabled().
    static constexpr const char* Entries[] = {"ItemOpen",   "ItemView",     "SubMenuSend", "ItemOpCut", "ItemOpCopy",
                                              "ItemOpPaste", "ItemRename",  "ItemDelete",  "ItemFileAttr",
                                              "ItemFolder", "Send_To0",     "Send_To1",    "Send_To2"};
    // '1' for each enabled entry, after the menu enabled them.
    std::string Enabled()
    {
        TsFilelistViewPopUp* menu = view->FileMenu();
        menu->EnableItems();
        std::string bits;
        for (const char* name : Entries)
            bits += static_cast<TMenuItem*>(menu->FindComponent(name))->Enabled() ? '1' : '0';
        return bits;
    }
    std::vector<std::string> SendToCaptions() const
    {
        std::vector<std::string> c;
        for (int i = 0; i < view->FileMenu()->SendToMenu()->Count(); ++i)
            c.push_back(view->FileMenu()->SendToMenu()->Items(i)->Caption());
        return c;
    }
};

// A shell link at Link to Target.
void MakeShortcut(const std::string& Link, const std::string& Target)
{
    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                           reinterpret_cast<void**>(&link))));
    link->SetPath(Target.c_str());
    IPersistFile* file = nullptr;
    link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    std::wstring wide(Link.begin(), Link.end());
    EXPECT_TRUE(SUCCEEDED(file->Save(wide.c_str(), TRUE)));
    file->Release();
    link->Release();
}

} // namespace

TEST_F(FileListMenu, EntriesAreEnabledByTheSelectionTheClipboardAndTheFolder)
{
    const std::vector<std::string> top{"&Open", "&View",   "-",      "Se&nd To",        "-", "Cu&t",
                                       "&Copy", "&Paste",  "-",      "&Rename",         "&Delete",
                                       "-",     "&Attributes ...", "-", "&New Folder ..."};
    TMenuItem* items = view->FileMenu()->Items();
    ASSERT_EQ(items->Count(), static_cast<int>(top.size()));
    for (int i = 0; i < items->Count(); ++i)
        EXPECT_EQ(items->Items(i)->Caption(), top[static_cast<std::size_t>(i)]) << i;
    EXPECT_EQ(view->PopupMenu(), view->FileMenu());

    CreateDirectoryA((dir / "sub").c_str(), nullptr);
    for (const char* name : {"a.txt", "b.doc", "c.exe", "d.bmp", "e.wmf"})
        MakeFile(dir / name, 1);
    view->SetDirectory(dir.Path());
    //                          Open View Send Cut Copy Paste Rename Delete Attr Folder Any Contents Names
    const struct {
        std::vector<const char*> Rows;
        const char* Enabled;
    } cases[] = {{{}, "0000000001000"},
                 {{"a.txt"}, "1111101111111"},
                 {{"sub"}, "1011101111101"},
                 {{"c.exe"}, "1011101111101"},
                 {{"d.bmp"}, "1111101111111"},
                 {{"e.wmf"}, "1011101111111"},
                 {{"a.txt", "b.doc"}, "1111100111101"},
                 {{"c.exe", "e.wmf"}, "1011100111101"}};
    for (const auto& c : cases) {
        Select(c.Rows);
        EXPECT_EQ(Enabled(), c.Enabled) << (c.Rows.size() ? *c.Rows.begin() : "none");
    }
    Select({"a.txt"});
    view->CutCopy(0);
    view->ClearSelection();
    EXPECT_EQ(Enabled(), "0000010001000");

    TScopedFakeDrives drives;
    drives.Drives = {{'C', DRIVE_FIXED, true, {}, "", "System (C:)", -1}};
    view->SetDirectory("");
    Select({"System  (C:)  "});
    EXPECT_EQ(Enabled(), "1011111110101");

    // Switched off, the menu does not come up at all.
    int popups = 0;
    view->FileMenu()->OnPopup = [&](TObject*) { ++popups; };
    view->SetPopUpMenuEnabled(false);
    view->FileMenu()->Popup(10, 10);
    EXPECT_EQ(popups, 0);
}

TEST_F(FileListMenu, SendToListsTheShortcutsOfTheSendToFolderAndRunsThemByNumber)
{
    testkit::TempDir sendTo;
    {
        TSpecialFolderGuard none(CSIDL_SENDTO, "");
        view->FileMenu()->GetSendToSubMenu();
        EXPECT_EQ(SendToCaptions(), (std::vector<std::string>{"Any Folder ...", "Clipboard as Contents",
                                                              "Clipboard as FileName", "-"}));
    }
    TSpecialFolderGuard folder(CSIDL_SENDTO, sendTo.Path());
    view->FileMenu()->GetSendToSubMenu();
    EXPECT_EQ(SendToCaptions().size(), 4u) << "an empty folder adds nothing";

    const std::string backup = dir / "backup", archive = dir / "archive";
    CreateDirectoryA(backup.c_str(), nullptr);
    CreateDirectoryA(archive.c_str(), nullptr);
    MakeShortcut(sendTo / "Backup.lnk", backup);
    MakeShortcut(sendTo / "Archive.lnk", archive);
    MakeFile(sendTo / "notes.txt", 1);
    view->FileMenu()->GetSendToSubMenu();
    TMenuItem* send = view->FileMenu()->SendToMenu();
    TStringList* links = view->FileMenu()->SendToList();
    ASSERT_EQ(send->Count(), 6);
    ASSERT_EQ(links->Count(), 2);
    for (int k = 0; k < 2; ++k) {
        EXPECT_EQ(send->Items(4 + k)->Name(), "Send_To" + IntToStr(4 + k));
        const std::string name = ChangeFileExt(ExtractFileName(links->Strings(k)), "");
        EXPECT_EQ(send->Items(4 + k)->Caption().rfind(name, 0), 0u) << send->Items(4 + k)->Caption();
    }

    MakeFile(dir / "a.txt", 1);
    view->SetDirectory(dir.Path());
    Select({"a.txt"});
    const int archiveEntry = ExtractFileName(links->Strings(0)) == "Archive.lnk" ? 4 : 5;
    send->Items(archiveEntry)->Click();
    ASSERT_EQ(Operations().size(), 1u);
    EXPECT_EQ(Operations()[0].Targets, (std::vector<AnsiString>{archive + "\\a.txt"}));

    // Entry 104 is the hundred-and-first shortcut.
    links->Clear();
    for (int k = 0; k < 100; ++k)
        links->Add(backup);
    links->Add(archive);
    TMenuItem* hundredFirst = view->FileMenu()->AddNewItem("hundredFirst", 0, false, true,
                                                  TNotifyEvent(view->FileMenu(), &TsFilelistViewPopUp::ItemOnClick),
                                                  "Send_To104");
    send->Add(hundredFirst);
    hundredFirst->Click();
    ASSERT_EQ(Operations().size(), 2u);
    EXPECT_EQ(Operations()[1].Targets, (std::vector<AnsiString>{archive + "\\a.txt"}));

    // A shortcut named outside the code page ("\uff42\uff41\uff43\uff4b.lnk" reads as "back.lnk") is
    // listed by the path that reaches it.
    MakeShortcut(sendTo / "wide.lnk", backup);
    ASSERT_TRUE(MoveFileW(AnsiToWide((sendTo / "wide.lnk").c_str()).c_str(),
                          (AnsiToWide(sendTo.Path().c_str()) + L"\uff42\uff41\uff43\uff4b.lnk").c_str()));
    view->FileMenu()->GetSendToSubMenu();
    ASSERT_EQ(links->Count(), 3);
    for (int k = 0; k < 3; ++k)
        EXPECT_TRUE(FileExists(links->Strings(k))) << links->Strings(k);
}
