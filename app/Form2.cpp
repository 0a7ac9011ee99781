#include "Form2.h"

#include "ArchiveFiles.h"
#include "Main.h"
#include "MainTreeMap.h"

using namespace formkit;

TForm2* Form2 = nullptr;

TForm2::TForm2(TComponent* AOwner) : TForm(AOwner)
{
    Form2 = this;
    SetName("Form2");
    DialogFrame(this, "Добавление статьи", 361, 137);
    SetPosition(poDesigned); // centred on the main window by the command that opens it
    sSkinProvider1 = AddSkinProvider(this);

    sLabel1 = PlaceCaption<TsLabel>(this, this, "sLabel1", "Название", 8, 12, 68, 13);
    Edit1 = PlaceEdit(this, this, "Edit1", 80, 8, 273);
    Edit1->SetMaxLength(MaxTitleLength);
    sLabel2 = PlaceCaption<TsLabel>(this, this, "sLabel2", "Файл", 8, 40, 68, 13);
    Edit2 = PlaceEdit(this, this, "Edit2", 80, 36, 192);
    Button3 = PlaceCaption<TsButton>(this, this, "Button3", "Обзор...", 278, 34, 75, 25);
    sLabel3 = PlaceCaption<TsLabel>(this, this, "sLabel3", "Тип", 8, 68, 68, 13);
    ComboBoxEx1 = Place<TsComboBoxEx>(this, this, "ComboBoxEx1", 80, 64, 145, 22);
    ComboBoxEx1->ItemsEx()->AddItem("Новая", 2, 2);
    ComboBoxEx1->ItemsEx()->AddItem("Избранная", 35, 35);
    ComboBoxEx1->ItemsEx()->AddItem("Прочитанная", 8, 8);
    ComboBoxEx1->ItemsEx()->AddItem("Непрочитанная", 36, 36);
    Edit3 = PlaceEdit(this, this, "Edit3", 232, 64, 33);
    Edit3->SetVisible(false);
    Button1 = PlaceCaption<TsButton>(this, this, "Button1", "Создать", 197, 104, 75, 25);
    Button1->SetDefault(true);
    Button2 = PlaceCaption<TsButton>(this, this, "Button2", "Отмена", 278, 104, 75, 25);
    Button2->SetCancel(true);

    sOpenDialog1 = Create<TsOpenDialog>(this);
    sOpenDialog1->SetName("sOpenDialog1");
    sOpenDialog1->Filter = "Web-страницы (*.html;*.htm;*.shtml;*.shtm;*.xml;*.mht)|*.html; "
                           "*.htm;*.shtml;*.shtm;*.xml;*.mht|Acrobat Reader (*.pdf)|*.pdf|Все файлы (*.*)|*.*";

    OnShow = Bind(this, &TForm2::FormShow);
    ComboBoxEx1->OnChange = Bind(this, &TForm2::ComboBoxEx1Change);
    Button1->OnClick = Bind(this, &TForm2::Button1Click);
    Button2->OnClick = Bind(this, &TForm2::Button2Click);
    Button3->OnClick = Bind(this, &TForm2::Button3Click);
}

TForm2::~TForm2()
{
    if (Form2 == this)
        Form2 = nullptr;
}

void TForm2::FormShow(TObject*)
{
    StartFresh(this, Edit1, {Edit1, Edit2});
    ComboBoxEx1->SetItemIndex(0);
    Edit3->SetText("3");
}

void TForm2::ComboBoxEx1Change(TObject*)
{
    // The items "Новая", "Избранная", "Прочитанная", "Непрочитанная" and their mark codes.
    static const char* const codes[] = {"3", "1", "2", "4"};
    const int i = ComboBoxEx1->ItemIndex();
    if (i >= 0 && i < 4)
        Edit3->SetText(codes[i]);
}

void TForm2::Button1Click(TObject*)
{
    if (!TitleAccepted(*Edit1, niArticleNew, nullptr) || !archive::TypedFileInside("FILES\\", *Edit2))
        return;
    ID_Vellorn->PendingAddArticle = true;
    Close();
}

void TForm2::Button2Click(TObject*) { Close(); }

void TForm2::Button3Click(TObject*) { archive::BrowseFile(*sOpenDialog1, "FILES\\", *Edit2); }
