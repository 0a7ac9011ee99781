// A window holding the common controls together, as the main window does; it saves a picture of
// itself when VELLORN_SCREENSHOT names a file.
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Menus.h"
#include "ScrollBox.h"
#include "StdCtrlsScrollBar.h"
#include "Support.h"

#include <cstdlib>

using namespace testkit;

TEST_F(FormTest, ControlsShowTogether)
{
    TForm* form = MakeForm();
    form->SetCaption("Vellorn");
    form->SetBounds(20, 20, 720, 480);

    TToolBar* tools = Create<TToolBar>(form);
    tools->SetParent(form);
    tools->SetShowCaptions(true);
    tools->SetButtonWidth(70);
    for (const char* caption : {"Назад", "Вперёд", "", "Обновить", "Печать"}) {
        TToolButton* b = Create<TToolButton>(form);
        b->SetStyle(*caption ? tbsButton : tbsSeparator);
        b->SetCaption(caption);
        b->SetParent(tools);
    }
    TComboBoxEx* address = Create<TComboBoxEx>(form);
    address->SetWidth(180);
    address->ItemsEx()->AddItem("file:///C:/Vellorn/FILES/Standard.html");
    address->SetItemIndex(0);
    address->SetParent(tools);

    TStatusBar* status = Create<TStatusBar>(form);
    status->SetParent(form);
    for (int w : {200, 200, 50})
        status->Panels()->Add()->SetWidth(w);
    status->Panels()->Items(0)->SetText("Vellorn");
    status->Panels()->Items(1)->SetText("Количество статей: 42");
    status->Panels()->Items(2)->SetText("Готово");

    TPanel* treePanel = Create<TPanel>(form);
    treePanel->SetParent(form);
    treePanel->SetAlign(alLeft);
    treePanel->SetWidth(230);
    TSplitter* splitter = Create<TSplitter>(form);
    splitter->SetParent(form);
    splitter->SetLeft(240);
    splitter->SetBeveled(true);
    splitter->SetWidth(5);
    TPanel* right = Create<TPanel>(form);
    right->SetParent(form);
    right->SetAlign(alClient);
    right->SetBevelOuter(bvLowered);
    right->SetBevelInner(bvRaised);
    right->SetBorderWidth(4);
    right->SetCaption("Панель с рамкой");

    TPageControl* pages = Create<TPageControl>(form);
    pages->SetParent(treePanel);
    pages->SetAlign(alClient);
    TTabSheet* articles = Create<TTabSheet>(form);
    articles->SetCaption("Статьи");
    articles->SetPageControl(pages);
    TTabSheet* search = Create<TTabSheet>(form);
    search->SetCaption("Поиск");
    search->SetPageControl(pages);

    TTabControl* tabs = Create<TTabControl>(form);
    tabs->SetParent(articles);
    tabs->SetBounds(5, 5, 210, 60);
    tabs->Tabs()->Add("Один");
    tabs->Tabs()->Add("Два");
    TBevel* bevel = Create<TBevel>(form);
    bevel->SetParent(articles);
    bevel->SetBounds(5, 75, 210, 40);
    bevel->SetShape(bsFrame);
    TUpDown* updown = Create<TUpDown>(form);
    updown->SetParent(articles);
    updown->SetBounds(10, 125, 17, 30);
    TScrollBar* hbar = Create<TScrollBar>(form);
    hbar->SetParent(articles);
    hbar->SetBounds(35, 130, 170, 17);
    hbar->SetPageSize(20);
    hbar->SetPosition(30);
    TScrollBox* box = Create<TScrollBox>(form);
    box->SetParent(articles);
    box->SetBounds(5, 160, 210, 120);
    TPanel* distant = Create<TPanel>(form);
    distant->SetParent(box);
    distant->SetBounds(150, 150, 120, 60);
    distant->SetCaption("Внутри");

    TImage* image = Create<TImage>(form);
    image->SetParent(right);
    image->SetBounds(20, 40, 120, 90);
    image->SetStretch(true);
    auto bmp = std::make_unique<TBitmap>(40, 30);
    bmp->Canvas()->Brush()->SetColor(clNavy);
    bmp->Canvas()->FillRect(RECT{0, 0, 40, 30});
    bmp->Canvas()->Brush()->SetColor(clYellow);
    bmp->Canvas()->FillRect(RECT{10, 8, 30, 22});
    image->Picture()->SetGraphic(bmp.get());

    form->Show();
    PumpPending();
    TProgressBar* progress = Create<TProgressBar>(form);
    progress->SetParent(status);
    progress->SetBounds(0, 2, 190, status->Height() - 2);
    progress->SetPosition(60);
    form->Repaint();
    WaitIdle();

    EXPECT_EQ(GetParent(progress->Handle()), status->Handle());
    EXPECT_EQ(splitter->Left(), 230);
    EXPECT_EQ(address->Parent(), tools);
    if (const char* path = std::getenv("VELLORN_SCREENSHOT")) {
        EXPECT_TRUE(SaveScreenshot(path, form->Handle()));
    }
}
