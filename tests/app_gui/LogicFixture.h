// Shared set-up of the main window's behaviour tests: a copy of the default archive beside a
// pretended program file, a chosen command line, scripted prompts and tree files built byte by
// byte from the file format.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ArchiveFiles.h"
#include "ExtCtrls.h"
#include "Form12.h"
#include "Form2.h"
#include "Form5.h"
#include "Form8.h"
#include "Form9.h"
#include "FormFlash.h"
#include "FormFlashO.h"
#include "Dialogs.h"
#include "FormTest.h"
#include "IniFiles.h"
#include "ProgramRun.h"
#include "MainSession.h"
#include "TestKit.h"
#include "ShellSeams.h"

namespace logic {

inline std::string I32(int v)
{
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i)
        s[i] = static_cast<char>((static_cast<unsigned>(v) >> (8 * i)) & 0xFF);
    return s;
}
inline std::string Short(const std::string& t) { return std::string(1, static_cast<char>(t.size())) + t; }
// An integer value in the smallest type that holds it.
inline std::string Int(int v)
{
    if (v >= -128 && v <= 127)
        return "\x02" + std::string(1, static_cast<char>(v));
    if (v >= -32768 && v <= 32767)
        return "\x03" + I32(v).substr(0, 2);
    return "\x04" + I32(v);
}

struct N {
    std::string text;
    int image;
    std::vector<N> kids;
};

inline void PutNode(std::string& out, const N& n)
{
    const std::string text = n.text.substr(0, 255);
    out += I32(25 + static_cast<int>(text.size())) + I32(n.image) + I32(n.image) + I32(-1) + I32(-1) + I32(0) +
           I32(static_cast<int>(n.kids.size())) + Short(text);
    for (const N& k : n.kids)
        PutNode(out, k);
}

inline std::string ItemsData(const std::vector<N>& top)
{
    std::string out = I32(static_cast<int>(top.size()));
    for (const N& n : top)
        PutNode(out, n);
    return out;
}

// The whole tree file of the main window's article tree, property by property as the format
// lists them; no Items.Data when there are no nodes.
inline std::string MainTreeFile(int width, int height, const std::vector<N>& top)
{
    const std::string t = "\x09", f = "\x08", emptySet = std::string("\x0b\x00", 2);
    auto ident = [](const std::string& s) { return "\x07" + Short(s); };
    auto str = [](const std::string& s) { return "\x06" + Short(s); };
    std::vector<std::pair<std::string, std::string>> props = {
        {"Left", Int(0)}, {"Top", Int(0)}, {"Width", Int(width)}, {"Height", Int(height)},
        {"Align", ident("alClient")}, {"BorderStyle", ident("bsNone")}, {"ChangeDelay", Int(2)}, {"Ctl3D", t},
        {"Font.Charset", ident("DEFAULT_CHARSET")}, {"Font.Color", ident("clWindowText")},
        {"Font.Height", Int(-11)}, {"Font.Name", str("MS Sans Serif")}, {"Font.Style", emptySet},
        {"HotTrack", t}, {"Images", ident("ID_Vellorn.ImageList1")}, {"Indent", Int(19)},
        {"ParentCtl3D", f}, {"ParentFont", f}, {"PopupMenu", ident("ID_Vellorn.PopupMenu1")},
        {"RightClickSelect", t}, {"RowSelect", t}, {"StateImages", ident("ID_Vellorn.ImageList1")},
        {"TabOrder", Int(0)},
    };
    if (!top.empty()) {
        const std::string data = ItemsData(top);
        props.push_back({"Items.Data", "\x0a" + I32(static_cast<int>(data.size())) + data});
    }
    const std::vector<std::pair<std::string, std::string>> tail = {
        {"BoundLabel.Caption", str("TreeView1")}, {"BoundLabel.Indent", Int(0)},
        {"BoundLabel.Font.Charset", ident("DEFAULT_CHARSET")}, {"BoundLabel.Font.Color", ident("clWindowText")},
        {"BoundLabel.Font.Height", Int(-11)}, {"BoundLabel.Font.Name", str("MS Sans Serif")},
        {"BoundLabel.Font.Style", emptySet}, {"BoundLabel.Layout", ident("sclLeft")},
        {"BoundLabel.MaxWidth", Int(0)}, {"SkinData.SkinSection", str("EDIT")},
    };
    props.insert(props.end(), tail.begin(), tail.end());
    std::string out = "TPF0" + Short("TsTreeView") + Short("TreeView1");
    for (const auto& [name, value] : props)
        out += Short(name) + value;
    return out + std::string(2, '\0');
}

// A small file in the format with only the nodes (what any writer must at least produce).
inline std::string PlainTreeFile(const std::vector<N>& top)
{
    const std::string data = ItemsData(top);
    return "TPF0" + Short("TsTreeView") + Short("TreeView1") + Short("Items.Data") + "\x0a" +
           I32(static_cast<int>(data.size())) + data + std::string(2, '\0');
}

// The sample tree: two folders, four articles with every mark, a Flash movie and a link.
inline std::vector<N> SampleTree()
{
    return {
        {"Категория", 0, {{"Новая статья", 2, {}}, {"Прочитанная", 8, {}}, {"Подкатегория", 0, {{"Избранная", 35, {}}}}}},
        {"Разное", 0, {{"Непрочитанная", 36, {}}, {"Мультик", 38, {}}, {"Ссылка", 39, {}}}},
    };
}

inline std::string Dump(TTreeNodes* nodes)
{
    std::string out;
    for (TTreeNode* n = nodes->GetFirstNode(); n; n = n->GetNext())
        out += std::string(n->Level(), ' ') + n->Text() + "/" + std::to_string(n->ImageIndex()) + "\n";
    return out;
}

// Copies a folder with everything below it.
inline void CopyTree(const AnsiString& from, const AnsiString& to)
{
    ForceDirectories(to);
    TSearchRec rec;
    if (FindFirst(from + "\\*", faAnyFile, rec) != 0)
        return;
    do {
        if (rec.Name == "." || rec.Name == "..")
            continue;
        if (rec.Attr & faDirectory)
            CopyTree(from + "\\" + rec.Name, to + "\\" + rec.Name);
        else
            CopyFileA((from + "\\" + rec.Name).c_str(), (to + "\\" + rec.Name).c_str(), FALSE);
    } while (FindNext(rec) == 0);
    FindClose(rec);
}

inline AnsiString SourceDir()
{
    AnsiString data = testkit::DataDir();
    return data.substr(0, data.size() - std::strlen("tests\\data\\"));
}

// The main window on a copy of the default archive whose working tree is the sample tree.
class MainLogicTest : public testkit::FormTest {
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        ScriptBoxes(IDOK);
        prompts_ = std::make_unique<TPromptServiceGuard>(prompts);
        CopyTree(SourceDir() + "app\\defaults\\FILES", dir / "FILES");
        testkit::ProgramRun::CopySkins(dir.Path());
        testkit::WriteFileBytes(dir / "FILES\\tree\\Temp.vlt", PlainTreeFile(SampleTree()));
        exe_ = std::make_unique<TExeNameOverride>(dir / "Vellorn.exe");
        savedTitle_ = Application->Title();
    }
    void TearDown() override
    {
        FormTest::TearDown();
        Application->SetTitle(savedTitle_);
        cmd_.reset();
        exe_.reset();
        prompts_.reset();
    }
    // Starts the window with the raw command line (the program path alone when empty).
    TID_Vellorn* Start(const AnsiString& args = "")
    {
        cmd_.reset();
        cmd_ = std::make_unique<TCmdLineOverride>("\"" + dir / "Vellorn.exe" + "\"" + (args.empty() ? "" : " " + args));
        return MakeForm<TID_Vellorn>();
    }
    // Closes the window as the user does and frees it.
    void CloseAndFree(TID_Vellorn* form)
    {
        form->Close();
        form->Free();
    }
    AnsiString StatusText(TID_Vellorn* form) { return form->StatusBar1->Panels()->Items(1)->Text(); }

    testkit::TempDir dir;
    TScriptedPromptService prompts;

private:
    // The real shell, but the window's notification-area icon is only answered: Wine's desktop
    // keeps a window for every icon it was ever given, which slows the whole session down.
    struct TQuietTrayShell : TSystemShell {
        bool NotifyIcon(DWORD, const NOTIFYICONDATAA&) override { return true; }
    } shell_;
    TShellServiceGuard shellGuard_{shell_};
    std::unique_ptr<TPromptServiceGuard> prompts_;
    std::unique_ptr<TExeNameOverride> exe_;
    std::unique_ptr<TCmdLineOverride> cmd_;
    AnsiString savedTitle_;
};

// The map of the sample tree: every entry with its file or address.
inline const char* SampleMap()
{
    return "[FILES]\r\nНовая статья=new.html\r\nПрочитанная=read.html\r\nИзбранная=sub\\fav.html\r\n"
           "Непрочитанная=unread.html\r\n[FLASH]\r\nМультик=m.swf\r\n[URL]\r\nСсылка=http://example.org/\r\n";
}

// The main window shown on the sample tree and its map, with the dialogs it opens.
class EditingTest : public MainLogicTest {
protected:
    void SetUp() override
    {
        MainLogicTest::SetUp();
        testkit::WriteFileBytes(dir / "FILES\\tree\\Temp.ini", SampleMap());
        form = Start();
        Create<TForm2>(Application);
        Create<TForm5>(Application);
        Create<TFlash>(Application);
        Create<TFlashO>(Application);
        Create<TForm12>(Application);
        Create<TForm9>(Application);
        Create<TForm8>(Application);
        form->Show();
    }
    // The node with the title (null when none).
    TTreeNode* Node(const AnsiString& title)
    {
        for (TTreeNode* n = form->TreeView1->Items()->GetFirstNode(); n; n = n->GetNext())
            if (n->Text() == title)
                return n;
        return nullptr;
    }
    // Selects the node as a click does.
    void Click(const AnsiString& title)
    {
        form->TreeView1->SetSelected(Node(title));
        form->TreeView1Click(form->TreeView1);
    }
    std::string Map() { return testkit::ReadFileBytes(dir / "FILES\\tree\\Temp.ini"); }
    AnsiString Key(const char* section, const AnsiString& title)
    {
        return TMemIniFile(dir / "FILES\\tree\\Temp.ini").ReadString(section, title, "");
    }
    // Runs action once the modal dialog shows (from a timer of its modal loop).
    void WhileModal(TForm* dialog, std::function<void()> action)
    {
        auto* timer = Create<TTimer>(form);
        timer->SetInterval(20);
        timer->OnTimer = [dialog, action, timer](TObject*) {
            if (!dialog->Visible())
                return;
            timer->SetEnabled(false);
            action();
        };
    }

    TID_Vellorn* form = nullptr;
};

// A window of another process shows a picture other than Before without being asked to paint, and
// that picture is the one a full paint of it gives.
inline ::testing::AssertionResult RepaintedOnItsOwn(HWND Wnd, const testkit::PixelImage& Before)
{
    auto same = [](const testkit::PixelImage& A, const testkit::PixelImage& B) {
        return A.Width() == B.Width() && A.Height() == B.Height() &&
               std::equal(A.Data(), A.Data() + A.Width() * A.Height(), B.Data());
    };
    if (!testkit::WaitUntil([&] { return !same(testkit::ScreenPixels(Wnd), Before); }))
        return ::testing::AssertionFailure() << "still the old picture";
    // The change may have been seen in the middle of the paint: the picture is taken once the
    // window's thread is back at its messages.
    testkit::Answers(Wnd);
    const testkit::PixelImage shown = testkit::ScreenPixels(Wnd);
    RedrawWindow(Wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    SendMessageA(Wnd, WM_NULL, 0, 0);
    if (!same(testkit::ScreenPixels(Wnd), shown))
        return ::testing::AssertionFailure() << "a full paint shows something else";
    return ::testing::AssertionSuccess();
}

} // namespace logic
