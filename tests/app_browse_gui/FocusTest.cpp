// The focus never ends on a bare window: a part of the main window hidden while it has the focus, and
// the page editor kept open after its question, leave the focus on a control the user can see.
#include "BrowseFixture.h"

#include "Form8.h"

using namespace browse;

namespace {

class Focus : public BrowseTest {
protected:
    void SetUp() override
    {
        BrowseTest::SetUp();
        form->Show();
        Front(form);
    }
    static void Front(TCustomForm* Form)
    {
        SetForegroundWindow(Form->Handle());
        testkit::PumpUntil([Form] { return GetActiveWindow() == Form->Handle(); });
    }
    // The focus is on a visible control of Form (a window inside a control counts as that
    // control), never on the form's own window, where no key acts.
    static ::testing::AssertionResult OnAVisibleControl(TCustomForm* Form)
    {
        testkit::PumpPending();
        const HWND focus = GetFocus();
        if (!focus)
            return ::testing::AssertionFailure() << "no window has the focus";
        if (focus == Form->Handle())
            return ::testing::AssertionFailure() << "the bare form has the focus";
        if (!IsChild(Form->Handle(), focus) || !IsWindowVisible(focus))
            return ::testing::AssertionFailure() << "a window the user cannot see has the focus";
        return ::testing::AssertionSuccess();
    }
};

} // namespace

// "Убрать примечание" answered "Да" with the focus in the note, and "Вид" > "Дерево статей" hiding
// the tree while its page tabs have the focus.
TEST_F(Focus, APartHiddenWithTheFocusHandsItToTheNextControl)
{
    testkit::WriteFileBytes(dir / "FILES\\text\\Первая_VLN.txt", "заметка\r\n");
    Open("Первая");
    WaitPage("Первая страница");
    ASSERT_TRUE(form->Panel5->Visible());
    form->Memo1->SetFocus();
    ASSERT_EQ(GetFocus(), form->Memo1->Handle());
    ScriptBoxes(IDYES);
    form->N76Click(form->N76);
    ASSERT_FALSE(form->Panel5->Visible());
    EXPECT_TRUE(OnAVisibleControl(form)) << "after the note was removed";

    form->PageControl1->SetFocus();
    ASSERT_EQ(GetFocus(), form->PageControl1->Handle());
    form->N90Click(form->N90);
    ASSERT_FALSE(form->Panel2->Visible());
    EXPECT_TRUE(OnAVisibleControl(form)) << "after the tree was hidden";
    form->N90Click(form->N90);
}

// "Нет" to "Текст статьи не сохранён. Закрыть редактор?": the editor stays with the focus in its text;
// so does any box that closes.
TEST_F(Focus, TheEditorKeptOpenHasTheFocusInItsText)
{
    auto* editor = MakeForm<TForm8>();
    editor->Show();
    Front(editor);
    editor->Memo1->SetText("текст");
    editor->Memo1->SetModified(true);
    editor->Memo1->SetFocus();
    ScriptBoxes(IDNO);
    editor->Close();
    ASSERT_EQ(boxes.size(), 1u);
    ASSERT_TRUE(editor->Visible());
    EXPECT_TRUE(OnAVisibleControl(editor));
    EXPECT_EQ(GetFocus(), editor->Memo1->Handle());
    // Any box that closes while the bare window had the focus gives it to the form's control.
    ::SetFocus(editor->Handle());
    Application->MessageBox("Текст", "Заголовок", MB_OK);
    EXPECT_EQ(GetFocus(), editor->Memo1->Handle());
    editor->Memo1->SetModified(false);
    editor->Free();
}
