// Message, input and common dialogs: the scripted prompt service, and the real modal windows
// driven from a timer inside their modal loops.
#include <gtest/gtest.h>

#include "Dialogs.h"
#include "FileCtrl.h"
#include "Forms.h"
#include "ModalDriver.h"
#include "TestKit.h"
#include "WideNames.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <functional>
#include <string>

using testkit::TModalDriver;

namespace {

std::string WindowText(HWND h)
{
    char buf[1024] = {};
    GetWindowTextA(h, buf, sizeof buf);
    return buf;
}

std::string ClassOf(HWND h)
{
    char buf[256] = {};
    GetClassNameA(h, buf, sizeof buf);
    return buf;
}

struct FindCtx {
    std::string title;
    HWND found;
};
BOOL CALLBACK FindProc(HWND h, LPARAM p)
{
    auto* c = reinterpret_cast<FindCtx*>(p);
    if (IsWindowVisible(h) && WindowText(h) == c->title) {
        c->found = h;
        return FALSE;
    }
    return TRUE;
}

// The visible top-level window of this thread with the given title, or null.
HWND FindBox(const std::string& title)
{
    FindCtx ctx{title, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindProc, reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

// Child controls of a box with their class and text.
struct Child {
    HWND h;
    std::string cls, text;
};
std::vector<Child> Children(HWND box)
{
    std::vector<Child> out;
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        out.push_back({c, ClassOf(c), WindowText(c)});
    return out;
}

// Whether a window class is of the kind (the system's "Button" or our "TMsgDlgButton").
bool IsKind(const std::string& cls, const std::string& kind)
{
    auto lower = [](std::string s) {
        for (char& ch : s)
            ch = static_cast<char>(tolower(static_cast<unsigned char>(ch)));
        return s;
    };
    return lower(cls).find(lower(kind)) != std::string::npos;
}

HWND FindChild(HWND box, const std::string& cls, const std::string& text)
{
    for (auto& c : Children(box))
        if (IsKind(c.cls, cls) && c.text == text)
            return c.h;
    return nullptr;
}

void Click(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

void PressKey(WORD vk)
{
    HWND focus = GetFocus();
    PostMessageA(focus, WM_KEYDOWN, vk, 1);
    PostMessageA(focus, WM_KEYUP, vk, 0xC0000001);
}

} // namespace

// --- The scripted service ---------------------------------------------------------------------

TEST(ScriptedPrompts, RecordTextsCaptionsAndReturnScriptedAnswers)
{
    TScriptedPromptService script;
    TPromptServiceGuard guard(script);
    script.Answer(mrYes);
    script.Answer(IDNO);

    EXPECT_EQ(MessageDlg("Удалить?", mtConfirmation, TMsgDlgButtons{mbYes, mbNo}, 7), mrYes);
    EXPECT_EQ(PromptService().MessageBox("Вы уверены, что хотите удалить?", "Удаление", MB_YESNO | MB_ICONEXCLAMATION),
              IDNO);
    ShowMessage("Готово");

    ASSERT_EQ(script.Shown.size(), 3u);
    EXPECT_EQ(script.Shown[0].Kind, TScriptedPromptService::pkMessageDlg);
    EXPECT_EQ(script.Shown[0].Caption, "Confirm");
    EXPECT_EQ(script.Shown[0].Text, "Удалить?");
    EXPECT_TRUE(script.Shown[0].Buttons == (TMsgDlgButtons{mbYes, mbNo}));
    EXPECT_EQ(script.Shown[0].HelpCtx, 7);
    EXPECT_EQ(script.Shown[1].Kind, TScriptedPromptService::pkMessageBox);
    EXPECT_EQ(script.Shown[1].Caption, "Удаление");
    EXPECT_EQ(script.Shown[1].Flags, UINT(MB_YESNO | MB_ICONEXCLAMATION));
    // ShowMessage is a custom box titled with the application's title and one OK button.
    EXPECT_EQ(script.Shown[2].DlgType, mtCustom);
    EXPECT_EQ(script.Shown[2].Caption, ApplicationTitle());
    EXPECT_TRUE(script.Shown[2].Buttons == TMsgDlgButtons(mbOK));
    EXPECT_EQ(script.Unanswered, 1);
}

TEST(ScriptedPrompts, InputBoxKeepsTheDefaultOnCancelAndTakesTheTextOnOk)
{
    TScriptedPromptService script;
    TPromptServiceGuard guard(script);
    script.CancelInput();
    script.AnswerInput("новое");
    EXPECT_EQ(InputBox("Название", "Введите название:", "старое"), "старое");
    EXPECT_EQ(InputBox("Название", "Введите название:", "старое"), "новое");

    AnsiString value = "x";
    EXPECT_FALSE(InputQuery("c", "p", value)); // nothing scripted: cancelled
    EXPECT_EQ(value, "x");
    EXPECT_EQ(script.Unanswered, 1);
    ASSERT_EQ(script.Shown.size(), 3u);
    EXPECT_EQ(script.Shown[0].Caption, "Название");
    EXPECT_EQ(script.Shown[0].Text, "Введите название:");
    EXPECT_EQ(script.Shown[0].Value, "старое");
}

TEST(ScriptedPrompts, GuardsNestAndRestoreTheSystemService)
{
    IPromptService* system = &PromptService();
    TScriptedPromptService outer, inner;
    {
        TPromptServiceGuard g1(outer);
        {
            TPromptServiceGuard g2(inner);
            EXPECT_EQ(&PromptService(), &inner);
        }
        EXPECT_EQ(&PromptService(), &outer);
    }
    EXPECT_EQ(&PromptService(), system);
}

TEST(ScriptedPrompts, CommonDialogsAnswerThroughTheService)
{
    TScriptedPromptService script;
    TPromptServiceGuard guard(script);
    std::unique_ptr<TOpenDialog> dlg(Create<TOpenDialog>(nullptr));
    dlg->Title = "Открыть";
    script.AnswerDialog(true, [](TCommonDialog& d) { static_cast<TOpenDialog&>(d).FileName = "C:\\a.html"; });
    EXPECT_TRUE(dlg->Execute());
    EXPECT_EQ(dlg->FileName, "C:\\a.html");
    EXPECT_FALSE(dlg->Execute());
    ASSERT_EQ(script.Shown.size(), 2u);
    EXPECT_EQ(script.Shown[0].DialogClass, "TOpenDialog");
    EXPECT_EQ(script.Shown[0].Caption, "Открыть");
}

TEST(MessageDialogTables, DefaultAndCancelButtons)
{
    EXPECT_EQ(MsgDlgDefaultButton({mbYes, mbNo}), mbYes);
    EXPECT_EQ(MsgDlgCancelButton({mbYes, mbNo}), mbNo);
    EXPECT_EQ(MsgDlgDefaultButton({mbAbort, mbRetry, mbIgnore}), mbRetry);
    EXPECT_EQ(MsgDlgCancelButton({mbAbort, mbRetry, mbIgnore}), -1);
    EXPECT_EQ(MsgDlgDefaultButton(mbOK), mbOK);
    EXPECT_EQ(MsgDlgCancelButton(mbOK), mbOK);
    EXPECT_EQ(MsgDlgButtonCaption(mbNoToAll), "N&o to All");
    EXPECT_EQ(MsgDlgButtonResult(mbYesToAll), mrYesToAll);
    EXPECT_EQ(MsgDlgButtonResult(mbHelp), mrNone);
    EXPECT_EQ(MsgDlgTitle("", mtError), "Error");
    EXPECT_EQ(MsgDlgTitle("Свой", mtError), "Свой");
}

// --- The real windows -------------------------------------------------------------------------

TEST(RealMessageDlg, ShowsTextIconAndButtonsAndReturnsThePressedButton)
{
    std::vector<std::pair<LONG, std::string>> buttons; // left edge and caption
    std::string text;
    bool hasIcon = false;
    TModalDriver driver([&] {
        HWND box = FindBox("Confirm");
        if (!box)
            return false;
        for (auto& c : Children(box)) {
            RECT r;
            GetWindowRect(c.h, &r);
            if (IsKind(c.cls, "Button"))
                buttons.emplace_back(r.left, c.text);
            else if (IsKind(c.cls, "Static") && (GetWindowLongA(c.h, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
                hasIcon = true;
            else if (IsKind(c.cls, "Static"))
                text = c.text;
        }
        Click(FindChild(box, "Button", "&No"));
        return true;
    });
    EXPECT_EQ(MessageDlg("Удалить статью \"A & B\"?", mtConfirmation, TMsgDlgButtons{mbYes, mbNo}, 0), mrNo);
    EXPECT_TRUE(driver.Done());
    std::sort(buttons.begin(), buttons.end());
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[0].second, "&Yes");
    EXPECT_EQ(buttons[1].second, "&No");
    EXPECT_EQ(text, "Удалить статью \"A & B\"?");
    EXPECT_TRUE(hasIcon);
}

TEST(RealMessageDlg, EscPressesTheCancelButtonOrNothingWithoutOne)
{
    {
        TModalDriver driver([&] {
            if (!FindBox("Warning"))
                return false;
            PressKey(VK_ESCAPE);
            return true;
        });
        EXPECT_EQ(MessageDlg("w", mtWarning, TMsgDlgButtons{mbYes, mbNo}, 0), mrNo);
    }
    {
        int step = 0;
        TModalDriver driver([&] {
            HWND box = FindBox("Error");
            if (!box)
                return false;
            if (step++ == 0) {
                PressKey(VK_ESCAPE); // no cancel button: the box stays
                return false;
            }
            if (step < 5)
                return false;
            Click(FindChild(box, "Button", "&Ignore"));
            return true;
        });
        EXPECT_EQ(MessageDlg("e", mtError, TMsgDlgButtons{mbAbort, mbRetry, mbIgnore}, 0), mrIgnore);
    }
    {
        // Enter presses the default button; OK is default and cancel of [mbOK].
        TModalDriver driver([&] {
            if (!FindBox("Information"))
                return false;
            PressKey(VK_RETURN);
            return true;
        });
        EXPECT_EQ(MessageDlg("i", mtInformation, TMsgDlgButtons{mbOK, mbCancel}, 0), mrOk);
    }
}

TEST(RealMessageDlg, TitleCloseGivesCancelAndPositionIsKept)
{
    RECT where{};
    TModalDriver driver([&] {
        HWND box = FindBox(ApplicationTitle());
        if (!box)
            return false;
        GetWindowRect(box, &where);
        PostMessageA(box, WM_CLOSE, 0, 0);
        return true;
    });
    // A custom box without buttons closes only through its title bar.
    EXPECT_EQ(MessageDlgPos("Без кнопок", mtCustom, TMsgDlgButtons(), 0, 10, -1), mrCancel);
    EXPECT_EQ(where.left, 10);
    const int height = where.bottom - where.top;
    EXPECT_EQ(where.top, GetSystemMetrics(SM_CYSCREEN) / 2 - height / 2) << "the top stays centred";
}

TEST(RealMessageDlg, LongTextWrapsAndGrowsTheBox)
{
    SIZE shortBox{}, longBox{};
    auto measure = [](SIZE& out) {
        return [&out] {
            HWND box = FindBox("Information");
            if (!box)
                return false;
            RECT r;
            GetWindowRect(box, &r);
            out = SIZE{r.right - r.left, r.bottom - r.top};
            Click(FindChild(box, "Button", "OK"));
            return true;
        };
    };
    {
        TModalDriver d(measure(shortBox));
        MessageDlg("Коротко", mtInformation, mbOK, 0);
    }
    {
        TModalDriver d(measure(longBox));
        std::string text;
        for (int i = 0; i < 80; ++i)
            text += "слово ";
        MessageDlg(text, mtInformation, mbOK, 0);
    }
    EXPECT_GT(longBox.cy, shortBox.cy);
    EXPECT_LE(longBox.cx, GetSystemMetrics(SM_CXSCREEN) / 2 + 200);
}

TEST(RealInputQuery, OkTakesTheEditedTextCancelKeepsTheValue)
{
    AnsiString value = "старое";
    std::string seenPrompt, seenEdit;
    TModalDriver driver([&] {
        HWND box = FindBox("Название");
        if (!box)
            return false;
        seenPrompt = WindowText(FindChild(box, "Static", "Введите:"));
        for (auto& c : Children(box))
            if (IsKind(c.cls, "Edit")) {
                seenEdit = c.text;
                SetWindowTextA(c.h, "новое");
            }
        Click(FindChild(box, "Button", "OK"));
        return true;
    });
    EXPECT_TRUE(InputQuery("Название", "Введите:", value));
    EXPECT_EQ(value, "новое");
    EXPECT_EQ(seenPrompt, "Введите:");
    EXPECT_EQ(seenEdit, "старое");

    TModalDriver cancel([&] {
        HWND box = FindBox("Название");
        if (!box)
            return false;
        for (auto& c : Children(box))
            if (IsKind(c.cls, "Edit"))
                SetWindowTextA(c.h, "другое");
        PressKey(VK_ESCAPE);
        return true;
    });
    EXPECT_EQ(InputBox("Название", "Введите:", "по умолчанию"), "по умолчанию");

    // Enter in the edit presses the default OK button.
    TModalDriver enter([&] {
        HWND box = FindBox("Название");
        if (!box)
            return false;
        for (auto& c : Children(box))
            if (IsKind(c.cls, "Edit"))
                SetWindowTextA(c.h, "по Enter");
        PressKey(VK_RETURN);
        return true;
    });
    EXPECT_EQ(InputBox("Название", "Введите:", "x"), "по Enter");
}

TEST(RealMessageBox, ReturnsThePressedButton)
{
    TModalDriver driver([&] {
        HWND box = FindBox("Удаление");
        if (!box)
            return false;
        PostMessageA(box, WM_COMMAND, IDYES, 0);
        return true;
    });
    EXPECT_EQ(PromptService().MessageBox("Вы уверены, что хотите удалить?", "Удаление", MB_YESNO | MB_ICONEXCLAMATION),
              IDYES);
}

TEST(RealOpenDialog, ReturnsTheTypedFileWithItsFullPath)
{
    testkit::TempDir dir;
    testkit::WriteFileBytes(dir / "a.txt", "x");
    std::unique_ptr<TOpenDialog> dlg(Create<TOpenDialog>(nullptr));
    dlg->Title = "Выбор файла";
    dlg->InitialDir = dir.Path();
    dlg->Filter = "Text|*.txt|All|*.*";
    dlg->Options.Include(ofFileMustExist);
    TModalDriver driver([&] {
        HWND box = FindBox("Выбор файла");
        if (!box)
            return false;
        // The file name box of the explorer-style dialog.
        HWND edit = GetDlgItem(box, 0x47C); // cmb13
        if (edit)
            SetWindowTextA(edit, "a.txt");
        else
            SetDlgItemTextA(box, 0x480, "a.txt"); // edt1
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return true;
    });
    ASSERT_TRUE(dlg->Execute());
    EXPECT_TRUE(SameText(dlg->FileName, dir / "a.txt")) << dlg->FileName;
    EXPECT_EQ(dlg->Files()->Count(), 1);
    EXPECT_EQ(dlg->FilterIndex, 1);
}

TEST(ScriptedPrompts, ApplicationMessageBoxAndErrorBoxGoThroughTheService)
{
    ASSERT_NE(Application, nullptr);
    TScriptedPromptService script;
    TPromptServiceGuard guard(script);
    script.Answer(IDYES);
    EXPECT_EQ(Application->MessageBox("Удалить?", "Удаление", MB_YESNO), IDYES);
    Exception e("Сбой");
    Application->ShowException(&e);
    ASSERT_EQ(script.Shown.size(), 2u);
    EXPECT_EQ(script.Shown[0].Caption, "Удаление");
    EXPECT_EQ(script.Shown[1].Caption, Application->Title());
    EXPECT_EQ(script.Shown[1].Flags & MB_ICONMASK, UINT(MB_ICONSTOP));
    EXPECT_EQ(ApplicationTitle(), Application->Title());
}

TEST(RealMessageDlg, CreateMessageDialogBuildsAFormTheCallerShows)
{
    TForm* form = CreateMessageDialog("Сохранить изменения?", mtWarning, TMsgDlgButtons{mbYes, mbNo, mbCancel});
    ASSERT_NE(form, nullptr);
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(form->Caption(), "Warning");
    EXPECT_NE(form->FindComponent("Image"), nullptr);
    auto* message = dynamic_cast<TControl*>(form->FindComponent("Message"));
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->Text(), "Сохранить изменения?");
    for (const char* name : {"Yes", "No", "Cancel"})
        EXPECT_NE(form->FindComponent(name), nullptr) << name;
    EXPECT_EQ(form->FindComponent("OK"), nullptr);
    TModalDriver driver([&] {
        HWND box = FindBox("Warning");
        if (!box)
            return false;
        PressKey(VK_ESCAPE);
        return true;
    });
    EXPECT_EQ(form->ShowModal(), mrCancel) << "Esc presses Cancel";
    form->Free();
}

namespace {
BOOL CALLBACK FindSystemDialogProc(HWND h, LPARAM p)
{
    if (IsWindowVisible(h) && ClassOf(h) == "#32770") {
        *reinterpret_cast<HWND*>(p) = h;
        return FALSE;
    }
    return TRUE;
}
// The visible system dialog of this thread, whatever its (localised) title.
HWND FindSystemDialog()
{
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindSystemDialogProc, reinterpret_cast<LPARAM>(&found));
    return found;
}
} // namespace

TEST(RealCommonDialogs, SaveColourAndFontDialogsReturnWhatTheUserConfirmed)
{
    testkit::TempDir dir;
    std::unique_ptr<TSaveDialog> save(Create<TSaveDialog>(nullptr));
    save->InitialDir = dir.Path();
    save->DefaultExt = "vlt";
    save->Filter = "Деревья|*.vlt";
    {
        TModalDriver driver([&] {
            HWND box = FindSystemDialog();
            if (!box)
                return false;
            if (HWND edit = GetDlgItem(box, 0x47C))
                SetWindowTextA(edit, "Новое");
            else
                SetDlgItemTextA(box, 0x480, "Новое");
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            return true;
        });
        ASSERT_TRUE(save->Execute());
    }
    EXPECT_TRUE(SameText(save->FileName, dir / "Новое.vlt")) << save->FileName << " takes the default extension";

    std::unique_ptr<TColorDialog> colour(Create<TColorDialog>(nullptr));
    colour->Color = clTeal;
    for (const char* line : {"ColorA=0000FF", "ColorP=00FF00", "Junk", "ColorZ=000000"})
        colour->CustomColors()->Add(line);
    {
        TModalDriver driver([&] {
            HWND box = FindSystemDialog();
            if (!box)
                return false;
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            return true;
        });
        ASSERT_TRUE(colour->Execute());
    }
    EXPECT_EQ(colour->Color, clTeal);
    ASSERT_EQ(colour->CustomColors()->Count(), 16);
    EXPECT_EQ(colour->CustomColors()->Get(0), "ColorA=0000FF");
    EXPECT_EQ(colour->CustomColors()->Get(15), "ColorP=00FF00");
    EXPECT_EQ(colour->CustomColors()->Get(1), "ColorB=FFFFFF");

    std::unique_ptr<TFontDialog> font(Create<TFontDialog>(nullptr));
    font->Font()->SetName("Tahoma");
    font->Font()->SetSize(12);
    font->Font()->SetColor(clRed);
    {
        TModalDriver driver([&] {
            HWND box = FindSystemDialog();
            if (!box)
                return false;
            PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
            return true;
        });
        EXPECT_FALSE(font->Execute());
    }
    EXPECT_EQ(font->Font()->Name(), "Tahoma") << "a cancelled dialog changes nothing";
    {
        TModalDriver driver([&] {
            HWND box = FindSystemDialog();
            if (!box)
                return false;
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            return true;
        });
        ASSERT_TRUE(font->Execute());
    }
    EXPECT_EQ(font->Font()->Size(), 12);
    EXPECT_EQ(font->Font()->Color(), clRed);
}

namespace {
// Types Name into the file name box of the system file dialog and presses OK (as wide text: the
// name need not be one the code page spells).
bool TypeIntoFileDialog(const std::wstring& Name)
{
    HWND box = FindSystemDialog();
    if (!box)
        return false;
    HWND edit = GetDlgItem(box, 0x47C); // cmb13
    if (!edit)
        edit = GetDlgItem(box, 0x480); // edt1
    SetWindowTextW(edit, Name.c_str());
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    return true;
}
} // namespace

// A name the code page cannot spell ("\uff41.txt", which it would give as its look-alike "a.txt")
// comes back as a path that reaches that very file; a new such name is refused, not handed on.
TEST(RealFileDialogs, AChosenLookAlikeIsHandedOnAsThePathThatReachesIt)
{
    testkit::TempDir dir;
    testkit::MakeWide(dir.Path(), L"a.txt", "plain");
    testkit::MakeWide(dir.Path(), L"\uff41.txt", "wide a");
    std::unique_ptr<TOpenDialog> open(Create<TOpenDialog>(nullptr));
    open->InitialDir = dir.Path();
    open->Options.Include(ofFileMustExist);
    {
        TModalDriver driver([&] { return TypeIntoFileDialog(L"\uff41.txt"); });
        ASSERT_TRUE(open->Execute());
    }
    EXPECT_EQ(testkit::ReadFileBytes(open->FileName), "wide a") << open->FileName;
    EXPECT_EQ(open->Files()->Count(), 1);

    open->Options.Include(ofAllowMultiSelect);
    {
        TModalDriver driver([&] { return TypeIntoFileDialog(L"\"\uff41.txt\" \"a.txt\""); });
        ASSERT_TRUE(open->Execute());
    }
    ASSERT_EQ(open->Files()->Count(), 2);
    std::vector<std::string> contents;
    for (int i = 0; i < 2; ++i)
        contents.push_back(testkit::ReadFileBytes(open->Files()->Get(i)));
    std::sort(contents.begin(), contents.end());
    EXPECT_EQ(contents, (std::vector<std::string>{"plain", "wide a"}));

    // A new name that no path carries: one message, nothing handed on.
    std::unique_ptr<TSaveDialog> save(Create<TSaveDialog>(nullptr));
    save->InitialDir = dir.Path();
    TScriptedPromptService script;
    TPromptServiceGuard guard(script);
    {
        TModalDriver driver([&] { return TypeIntoFileDialog(L"\uff42.txt"); });
        EXPECT_FALSE(save->DoExecute());
    }
    EXPECT_EQ(save->FileName, "");
    ASSERT_EQ(script.Shown.size(), 1u);
    EXPECT_EQ(script.Shown[0].Text, "Программа не может работать с \"" + dir / "?.txt" +
                                        "\": в имени есть знаки вне её кодировки, оно оканчивается точкой или "
                                        "пробелом либо означает устройство. Выберите другое имя.");
    EXPECT_EQ(script.Shown[0].Flags & MB_ICONMASK, UINT(MB_ICONERROR));
}

// The folder "\uff53\uff55\uff42" beside "sub" comes back as the path that reaches it, not "sub".
TEST(RealFileDialogs, AChosenLookAlikeFolderIsHandedOnAsThePathThatReachesIt)
{
    testkit::TempDir dir;
    testkit::MakeWide(dir.Path(), L"sub\\");
    testkit::MakeWide(dir.Path(), L"sub\\in.txt", "plain");
    testkit::MakeWide(dir.Path(), L"\uff53\uff55\uff42\\");
    testkit::MakeWide(dir.Path(), L"\uff53\uff55\uff42\\in.txt", "wide");
    AnsiString chosen = dir.Path();
    // The chooser's tree starts at the folder: its child of that name is selected as a click
    // would, and OK pressed. (Selecting by path compares the items' stored dates too, so another
    // program touching a folder above makes it fail for the rest of the box's life.)
    TModalDriver driver([&] {
        HWND box = FindSystemDialog();
        HWND tree = box ? FindWindowExA(box, nullptr, "SysTreeView32", nullptr) : nullptr;
        const auto root = tree ? reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0))
                               : nullptr;
        if (!root)
            return false;
        SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
        auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD,
                                                             reinterpret_cast<LPARAM>(root)));
        for (; item; item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT,
                                                                     reinterpret_cast<LPARAM>(item)))) {
            wchar_t text[64] = {};
            TVITEMW data{};
            data.mask = TVIF_TEXT;
            data.hItem = item;
            data.pszText = text;
            data.cchTextMax = 64;
            if (SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data)) &&
                std::wstring(text) == L"\uff53\uff55\uff42")
                break;
        }
        if (!item)
            return false;
        SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return true;
    });
    ASSERT_TRUE(SelectDirectory("Папка", dir.Path(), chosen));
    EXPECT_EQ(testkit::ReadFileBytes(IncludeTrailingBackslash(chosen) + "in.txt"), "wide") << chosen;
}
