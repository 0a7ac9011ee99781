// The file list tests' own kit: a form with a file list view over a temporary folder, files made
// with a size and a time, rows found by caption, keys pressed with Ctrl held or not, and the
// view's protected steps within reach.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Dialogs.h"
#include "FormTest.h"
#include "ShellSeams.h"
#include "TestKit.h"
#include "WideNames.h"
#include "sDialogs.h"
#include "sFileListView.h"

namespace filelistkit {

class TTestFileList : public TsFileListView {
    VCL_CLASS(TTestFileList, TsFileListView)
public:
    using TsFileListView::TsFileListView;
    using TsFileListView::CanEdit;
    using TsFileListView::Edit;
};

// A file of Size bytes (and, when given, that local time).
inline void MakeFile(const std::string& Path, std::size_t Size, const SYSTEMTIME* Time = nullptr)
{
    testkit::WriteFileBytes(Path, std::string(Size, 'x'));
    if (!Time)
        return;
    FILETIME local{}, utc{};
    SystemTimeToFileTime(Time, &local);
    LocalFileTimeToFileTime(&local, &utc);
    HANDLE h = CreateFileA(Path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(h, nullptr, nullptr, &utc);
    CloseHandle(h);
}

inline SYSTEMTIME Time(WORD Year, WORD Month, WORD Day, WORD Hour = 12, WORD Minute = 0, WORD Second = 0)
{
    SYSTEMTIME t{};
    t.wYear = Year;
    t.wMonth = Month;
    t.wDay = Day;
    t.wHour = Hour;
    t.wMinute = Minute;
    t.wSecond = Second;
    return t;
}

// A key as a control gets it from the keyboard, with Ctrl held or not.
inline void PressKey(TWinControl* Control, WORD VirtualKey, bool Ctrl = false)
{
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = Ctrl ? 0x80 : 0;
    SetKeyboardState(keys);
    SendMessageA(Control->Handle(), WM_KEYDOWN, VirtualKey, 1);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
}

inline bool Exists(const std::string& Path) { return GetFileAttributesA(Path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The list's messages in the program's language for a test's time: a message written into the code
// instead of taken from the table would come out in English.
struct TRussianMessages {
    TRussianMessages()
    {
        sDialogs::TOpenFormTexts& t = sDialogs::OpenFormTexts;
        t.NothingToPaste = "Нет вырезанных или скопированных файлов";
        t.ReadOnlyEntry = "Только для чтения";
        t.InvalidChars = "Недопустимые знаки";
        t.NameTaken = "\"%s\" уже существует";
        t.CannotOpen = "Не удалось открыть \"%s\"";
        t.NoDisk = "В дисководе %s нет диска, диск %s: не готов";
        t.SendToCaption = "Отправить в папку";
        t.SendToPrompt = "Путь к папке:";
    }
    ~TRussianMessages() { sDialogs::OpenFormTexts = saved; }
    TRussianMessages(const TRussianMessages&) = delete;
    TRussianMessages& operator=(const TRussianMessages&) = delete;
    const sDialogs::TOpenFormTexts saved = sDialogs::OpenFormTexts;
};

class FileListTest : public testkit::FormTest {
protected:
    void SetUp() override
    {
        testkit::FormTest::SetUp();
        form = MakeForm();
        form->SetBounds(40, 40, 560, 380);
        view = Create<TTestFileList>(form);
        view->SetBounds(8, 8, 520, 320);
        view->SetParent(form);
        form->Show();
        guard = std::make_unique<TPromptServiceGuard>(prompts);
    }
    void TearDown() override
    {
        guard.reset();
        testkit::FormTest::TearDown();
    }

    // The captions of the rows, in order.
    std::vector<std::string> Captions() const
    {
        std::vector<std::string> c;
        for (int i = 0; i < view->Items()->Count(); ++i)
            c.push_back(view->Items()->Item(i)->Caption());
        return c;
    }
    TListItem* Row(const std::string& Caption) const
    {
        for (int i = 0; i < view->Items()->Count(); ++i)
            if (view->Items()->Item(i)->Caption() == Caption)
                return view->Items()->Item(i);
        ADD_FAILURE() << "no row " << Caption;
        return nullptr;
    }
    void Select(const std::vector<const char*>& Rows)
    {
        view->ClearSelection();
        for (const char* r : Rows)
            if (TListItem* item = Row(r))
                item->SetSelected(true);
    }
    void Key(WORD VirtualKey, bool Ctrl = false) { PressKey(view, VirtualKey, Ctrl); }
    // A row's name edited in place to To, as the end of the edit hands it to the view.
    void Rename(const std::string& From, const std::string& To)
    {
        ASSERT_TRUE(view->CanEdit(Row(From)));
        LVITEMA item{};
        item.iItem = Row(From)->Index();
        std::string text = To;
        item.pszText = text.data();
        view->Edit(item);
    }
    // The texts of the message boxes asked for.
    std::vector<std::string> Boxes() const
    {
        std::vector<std::string> t;
        for (const auto& r : prompts.Shown)
            t.push_back(r.Text);
        return t;
    }
    // The file operations the shell was asked for.
    std::vector<TShellCall> Operations() const
    {
        std::vector<TShellCall> ops;
        for (const TShellCall& c : shell.Calls)
            if (c.Kind == TShellCall::ckFileOperation)
                ops.push_back(c);
        return ops;
    }

    testkit::TempDir dir;
    TForm* form = nullptr;
    TTestFileList* view = nullptr;
    TScriptedPromptService prompts;
    std::unique_ptr<TPromptServiceGuard> guard;
    TScopedShellRecorder shell;
    TRussianMessages messages;
};

} // namespace filelistkit
