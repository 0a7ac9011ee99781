// One window holding every standard control of the framework layer together, with the tree and
// the browser view; it saves a picture of the screen when VELLORN_SCREENSHOT names a file.
#include "Buttons.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "FormTest.h"
#include "RadioGroup.h"
#include "SHDocVw.h"
#include "ScrollBox.h"
#include "StdCtrls.h"
#include "StdCtrlsScrollBar.h"

#include <cstdlib>

using namespace testkit;

namespace {

template <class T>
T* Put(TForm* form, TWinControl* parent, int x, int y, int w, int h, const char* caption = nullptr)
{
    T* c = Create<T>(form);
    c->SetParent(parent);
    c->SetBounds(x, y, w, h);
    if (caption)
        c->SetCaption(caption);
    return c;
}

class DemoTest : public FormTest {};

} // namespace

TEST_F(DemoTest, EveryControlShowsOnOneForm)
{
    TForm* form = MakeForm();
    form->SetCaption("Vellorn — все элементы");
    form->SetBounds(10, 10, 1000, 700);

    TStatusBar* status = Create<TStatusBar>(form);
    status->SetParent(form);
    for (int w : {200, 200, 50})
        status->Panels()->Add()->SetWidth(w);
    status->Panels()->Items(1)->SetText("Количество статей: 7");
    TProgressBar* progress = Put<TProgressBar>(form, status, 0, 2, 190, 16);
    progress->SetPosition(40);

    TToolBar* tools = Create<TToolBar>(form);
    tools->SetParent(form);
    tools->SetShowCaptions(true);
    tools->SetButtonWidth(70);
    for (const char* caption : {"Назад", "Вперёд", "", "Обновить"}) {
        TToolButton* b = Create<TToolButton>(form);
        b->SetStyle(*caption ? tbsButton : tbsSeparator);
        b->SetCaption(caption);
        b->SetParent(tools);
    }

    TPanel* left = Create<TPanel>(form);
    left->SetParent(form);
    left->SetAlign(alLeft);
    left->SetWidth(250);
    TSplitter* splitter = Create<TSplitter>(form);
    splitter->SetParent(form);
    splitter->SetLeft(260);
    TPanel* right = Create<TPanel>(form);
    right->SetParent(form);
    right->SetAlign(alClient);

    TPageControl* pages = Create<TPageControl>(form);
    pages->SetParent(left);
    pages->SetAlign(alClient);
    TTabSheet* articles = Create<TTabSheet>(form);
    articles->SetCaption("Статьи");
    articles->SetPageControl(pages);
    TTabSheet* search = Create<TTabSheet>(form);
    search->SetCaption("Поиск");
    search->SetPageControl(pages);
    TTreeView* tree = Create<TTreeView>(form);
    tree->SetParent(articles);
    tree->SetAlign(alClient);
    TTreeNode* cat = tree->Items()->Add(nullptr, "Категория");
    tree->Items()->AddChild(cat, "Статья");
    tree->Items()->AddChild(cat, "Ссылка");
    tree->FullExpand();

    // Right side: the standard controls.
    Put<TLabel>(form, right, 10, 10, 120, 16, "&Название:");
    TEdit* edit = Put<TEdit>(form, right, 130, 8, 200, 22);
    edit->SetText("Новая статья");
    TComboBox* combo = Put<TComboBox>(form, right, 340, 8, 200, 22);
    combo->Items()->Add("http://example.org/");
    combo->Items()->Add("file:///C:/FILES/Standard.html");
    combo->SetItemIndex(0);
    TComboBoxEx* comboEx = Put<TComboBoxEx>(form, right, 550, 8, 160, 22);
    comboEx->ItemsEx()->AddItem("Избранная");
    comboEx->SetItemIndex(0);

    TMemo* memo = Put<TMemo>(form, right, 10, 40, 320, 90);
    memo->SetWordWrap(true);
    memo->SetScrollBars(ssVertical);
    memo->Lines()->Add("Примечание к статье.");
    memo->Lines()->Add("Вторая строка.");
    TListBox* list = Put<TListBox>(form, right, 340, 40, 200, 90);
    for (const char* s : {"Первая", "Вторая", "Третья"})
        list->Items()->Add(s);
    list->SetItemIndex(1);

    TGroupBox* group = Put<TGroupBox>(form, right, 10, 140, 320, 100, "Открывать деревья");
    TRadioButton* r1 = Put<TRadioButton>(form, group, 10, 20, 200, 20, "В новом окне");
    Put<TRadioButton>(form, group, 10, 45, 200, 20, "В текущем окне");
    r1->SetChecked(true);
    TCheckBox* check = Put<TCheckBox>(form, group, 10, 70, 200, 20, "Показывать заставку");
    check->SetChecked(true);
    TRadioGroup* marks = Put<TRadioGroup>(form, right, 340, 140, 200, 100, "Отметка");
    for (const char* s : {"Новая", "Прочитанная", "Избранная"})
        marks->Items()->Add(s);
    marks->SetItemIndex(0);

    TButton* ok = Put<TButton>(form, right, 10, 250, 90, 26, "OK");
    ok->SetDefault(true);
    TBitBtn* cancel = Put<TBitBtn>(form, right, 110, 250, 90, 26);
    cancel->SetKind(bkCancel);
    TSpeedButton* speed = Put<TSpeedButton>(form, right, 210, 250, 90, 26, "Быстрая");
    speed->SetGroupIndex(1);
    speed->SetDown(true);
    TBevel* bevel = Put<TBevel>(form, right, 10, 284, 530, 4);
    bevel->SetShape(bsTopLine);
    TUpDown* updown = Put<TUpDown>(form, right, 310, 250, 17, 26);
    updown->SetMax(10);
    TScrollBar* bar = Put<TScrollBar>(form, right, 340, 255, 200, 17);
    bar->SetPosition(30);
    TTabControl* tabs = Put<TTabControl>(form, right, 550, 40, 160, 90);
    tabs->Tabs()->Add("Один");
    tabs->Tabs()->Add("Два");
    TScrollBox* box = Put<TScrollBox>(form, right, 550, 140, 160, 100);
    Put<TPanel>(form, box, 100, 100, 120, 60, "Внутри");
    TImage* image = Put<TImage>(form, right, 720, 10, 40, 30);
    auto bmp = std::make_unique<TBitmap>(40, 30);
    bmp->Canvas()->Brush()->SetColor(clNavy);
    bmp->Canvas()->FillRect(RECT{0, 0, 40, 30});
    image->Picture()->SetGraphic(bmp.get());

    TCppWebBrowser* web = Put<TCppWebBrowser>(form, right, 10, 300, 700, 300);

    form->Show();
    PumpPending();
    web->Navigate("about:blank");
    form->Repaint();
    WaitIdle();

    for (TWinControl* c : std::initializer_list<TWinControl*>{
             status, progress, tools, pages, tree, edit, combo, comboEx, memo, list, group, r1, check, marks,
             ok, cancel, updown, bar, tabs, box, web}) {
        ASSERT_TRUE(c->HandleAllocated()) << c->ClassName();
        EXPECT_TRUE(IsWindowVisible(c->Handle())) << c->ClassName();
    }
    EXPECT_EQ(list->Items()->Count(), 3);
    EXPECT_EQ(memo->Lines()->Strings(1), "Вторая строка.");
    EXPECT_EQ(combo->Text(), "http://example.org/");
    EXPECT_EQ(GetParent(progress->Handle()), status->Handle());
    if (const char* path = std::getenv("VELLORN_SCREENSHOT")) {
        EXPECT_TRUE(SaveScreenshot(path));
    }
    // VELLORN_DEMO_HOLD_MS keeps the form on the screen for a look from outside.
    if (const char* hold = std::getenv("VELLORN_DEMO_HOLD_MS"))
        PumpFor(static_cast<unsigned>(std::atoi(hold)));
}
