#include "Form8.h"

using namespace formkit;

TForm8* Form8 = nullptr;

TForm8::TForm8(TComponent* AOwner) : TForm(AOwner)
{
    Form8 = this;
    SetName("Form8");
    SetCaption("Создание статьи");
    SetBounds(0, 0, 581, 497);
    SetColor(static_cast<TColor>(13750737));
    SetPosition(poMainFormCenter);
    sSkinProvider1 = AddSkinProvider(this);

    MainMenu1 = Create<TMainMenu>(this);
    MainMenu1->SetName("MainMenu1");
    TMenuItem* root = MainMenu1->Items();
    N5 = NewItem(root, "N5", "&Файл");
    N1 = NewItem(N5, "N1", "Создать");
    N2 = NewItem(N5, "N2", "Выход");
    N6 = NewItem(root, "N6", "&Правка");
    N8 = NewItem(N6, "N8", "Отменить", ShortCut('Z', scCtrl));
    N11 = NewItem(N6, "N11", "-");
    N10 = NewItem(N6, "N10", "Вырезать", ShortCut('X', scCtrl));
    N9 = NewItem(N6, "N9", "Копировать", ShortCut('C', scCtrl));
    N12 = NewItem(N6, "N12", "Вставить", ShortCut('V', scCtrl));
    N14 = NewItem(N6, "N14", "-");
    N13 = NewItem(N6, "N13", "Выделить всё", ShortCut('A', scCtrl));
    N15 = NewItem(N6, "N15", "-");
    N3 = NewItem(N6, "N3", "Шрифт");
    N7 = NewItem(root, "N7", "П&омощь");
    N4 = NewItem(N7, "N4", "Как создавать");
    SetMenu(MainMenu1);

    // The four fields, each with its label on the left; the edits keep their right edges in step
    // with the window's width (FormCanResize).
    const int w = Width();
    sLabel1 = PlaceCaption<TsLabel>(this, this, "sLabel1", "Автор", 4, 12, 30, 13);
    Edit2 = PlaceEdit(this, this, "Edit2", 36, 8, w - 47);
    Edit2->SetText("Аноним");
    sLabel2 = PlaceCaption<TsLabel>(this, this, "sLabel2", "e-mail", 4, 38, 30, 13);
    Edit3 = PlaceEdit(this, this, "Edit3", 34, 34, w - 45);
    sLabel3 = PlaceCaption<TsLabel>(this, this, "sLabel3", "Имя файла", 4, 64, 56, 13);
    Edit4 = PlaceEdit(this, this, "Edit4", 64, 60, w - 75);
    sLabel4 = PlaceCaption<TsLabel>(this, this, "sLabel4", "Название статьи", 4, 90, 84, 13);
    Edit1 = PlaceEdit(this, this, "Edit1", 93, 86, w - 104);

    Memo1 = Place<TsMemo>(this, this, "Memo1", 0, 114, ClientWidth(), ClientHeight() - 114);
    Memo1->SetAnchors(TAnchors{akLeft, akTop, akRight, akBottom});
    Memo1->SetScrollBars(ssVertical);
    Memo1->Lines()->Clear();
    Memo2 = Place<TMemo>(this, this, "Memo2", 8, 200, 185, 89);
    Memo2->SetVisible(false);
    Memo2->Lines()->Clear();

    FontDialog1 = Create<TFontDialog>(this);
    FontDialog1->SetName("FontDialog1");
    FontDialog1->Options = TFontDialogOptions{fdForceFontExist, fdScalableOnly, fdNoStyleSel};

    OnShow = Bind(this, &TForm8::FormShow);
    OnClose = Bind(this, &TForm8::FormClose);
    OnCanResize = Bind(this, &TForm8::FormCanResize);
    const std::pair<TMenuItem*, void (TForm8::*)(TObject*)> clicks[] = {
        {N1, &TForm8::N1Click},   {N2, &TForm8::N2Click},   {N3, &TForm8::N3Click},   {N8, &TForm8::N8Click},
        {N10, &TForm8::N10Click}, {N9, &TForm8::N9Click},   {N12, &TForm8::N12Click}, {N13, &TForm8::N13Click},
        {N4, &TForm8::N4Click},
    };
    for (const auto& [item, handler] : clicks)
        item->OnClick = Bind(this, handler);
}

TForm8::~TForm8()
{
    if (Form8 == this)
        Form8 = nullptr;
}

TMenuItem* TForm8::NewItem(TMenuItem* Parent, const char* Name, const AnsiString& Caption, TShortCut Key)
{
    auto* item = Create<TMenuItem>(this);
    item->SetName(Name);
    item->SetCaption(Caption);
    if (Key)
        item->SetShortCut(Key);
    Parent->Add(item);
    return item;
}

// Handlers: bodies come with the behaviour of the article editor.
void TForm8::FormShow(TObject*) {}
void TForm8::FormClose(TObject*, TCloseAction&) {}
void TForm8::FormCanResize(TObject*, int&, int&, bool&) {}
void TForm8::N1Click(TObject*) {}
void TForm8::N2Click(TObject*) {}
void TForm8::N3Click(TObject*) {}
void TForm8::N8Click(TObject*) {}
void TForm8::N10Click(TObject*) {}
void TForm8::N9Click(TObject*) {}
void TForm8::N12Click(TObject*) {}
void TForm8::N13Click(TObject*) {}
void TForm8::N4Click(TObject*) {}
