// The dialog forms of the application as laid out: caption, frame, client size, the skin
// provider, and every named control with its class and text; and the order in which the program
// creates its forms.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "FormTest.h"
#include "FormKit.h"

#include "Form12.h"
#include "Form13.h"
#include "Form14.h"
#include "Form15.h"
#include "Form16.h"
#include "Form2.h"
#include "Form4.h"
#include "Form5.h"
#include "Form7.h"
#include "Form8.h"
#include "Form9.h"
#include "FormFlash.h"
#include "FormFlashO.h"
#include "Main.h"
#include "FormFLog.h"

namespace {

// A named control and what it must be: its class and its caption (or text).
struct Part {
    const char* Name;
    const char* Class;
    const char* Text;
};

struct FormSpec {
    const char* Name;
    const char* Caption;
    int ClientWidth, ClientHeight; // 0: not fixed by the layout
    TFormBorderStyle Border;
    bool Skinned;
    std::vector<Part> Parts;
};

class AppForms : public testkit::FormTest {
protected:
    // Checks a built form against its description.
    void Check(TForm* form, const FormSpec& desc)
    {
        SCOPED_TRACE(desc.Name);
        EXPECT_EQ(form->Name(), desc.Name);
        EXPECT_EQ(form->Caption(), desc.Caption);
        EXPECT_EQ(form->BorderStyle(), desc.Border);
        if (desc.Border == bsSingle) {
            EXPECT_EQ(form->BorderIcons(), TBorderIcons{biSystemMenu});
        }
        if (desc.ClientWidth) {
            EXPECT_EQ(form->ClientWidth(), desc.ClientWidth);
            EXPECT_EQ(form->ClientHeight(), desc.ClientHeight);
        }
        TComponent* provider = form->FindComponent("sSkinProvider1");
        if (desc.Skinned) {
            ASSERT_NE(provider, nullptr);
            EXPECT_EQ(provider->ClassName(), "TsSkinProvider");
        } else {
            EXPECT_EQ(provider, nullptr);
        }
        for (const Part& part : desc.Parts) {
            SCOPED_TRACE(part.Name);
            TComponent* c = form->FindComponent(part.Name);
            ASSERT_NE(c, nullptr);
            EXPECT_EQ(c->ClassName(), part.Class);
            if (auto* control = dynamic_cast<TControl*>(c)) {
                if (part.Text) {
                    EXPECT_EQ(control->Caption(), part.Text);
                }
                // Every control lies inside its parent's client area.
                TWinControl* parent = control->Parent();
                ASSERT_NE(parent, nullptr);
                if (control->Visible() && control->Align() == alNone) {
                    EXPECT_GE(control->Left(), 0);
                    EXPECT_GE(control->Top(), 0);
                    EXPECT_LE(control->Left() + control->Width(), parent->ClientWidth());
                    EXPECT_LE(control->Top() + control->Height(), parent->ClientHeight());
                }
            }
        }
    }

    template <class T>
    T* Build(T*& global)
    {
        T* form = MakeForm<T>();
        EXPECT_EQ(global, form);
        return form;
    }
};

std::vector<AnsiString> ComboItems(TsComboBoxEx* box)
{
    std::vector<AnsiString> items;
    for (int i = 0; i < box->ItemsEx()->Count(); ++i)
        items.push_back(box->ItemsEx()->Items(i)->Caption());
    return items;
}

TEST_F(AppForms, AddArticleDialog)
{
    TForm2* form = Build(Form2);
    Check(form, {"Form2", "Добавление статьи", 0, 0, bsSingle, true,
                 {{"sLabel1", "TsLabel", "Название"},
                  {"sLabel2", "TsLabel", "Файл"},
                  {"sLabel3", "TsLabel", "Тип"},
                  {"Edit1", "TsEdit", ""},
                  {"Edit2", "TsEdit", ""},
                  {"Edit3", "TsEdit", nullptr},
                  {"ComboBoxEx1", "TsComboBoxEx", nullptr},
                  {"Button1", "TsButton", "Создать"},
                  {"Button2", "TsButton", "Отмена"},
                  {"Button3", "TsButton", "Обзор..."},
                  {"sOpenDialog1", "TsOpenDialog", nullptr}}});
    EXPECT_FALSE(form->Edit3->Visible());
    EXPECT_EQ(ComboItems(form->ComboBoxEx1),
              (std::vector<AnsiString>{"Новая", "Избранная", "Прочитанная", "Непрочитанная"}));
    EXPECT_EQ(form->sOpenDialog1->Filter,
              "Web-страницы (*.html;*.htm;*.shtml;*.shtm;*.xml;*.mht)|*.html; *.htm;*.shtml;*.shtm;*.xml;*.mht|"
              "Acrobat Reader (*.pdf)|*.pdf|Все файлы (*.*)|*.*");
    EXPECT_TRUE(form->OnShow);
    EXPECT_TRUE(form->ComboBoxEx1->OnChange);
    for (TsButton* b : {form->Button1, form->Button2, form->Button3})
        EXPECT_TRUE(b->OnClick);
    form->Free();
    EXPECT_EQ(Form2, nullptr);
}

TEST_F(AppForms, SearchDialog)
{
    TForm4* form = Build(Form4);
    Check(form, {"Form4", "Поиск", 0, 0, bsSingle, true,
                 {{"sLabel1", "TsLabel", "Что"},
                  {"Edit1", "TsEdit", ""},
                  {"GroupBox1", "TsGroupBox", "Параметры поиска"},
                  {"RadioButton2", "TsRadioButton", "Вхождение всех слов"},
                  {"RadioButton3", "TsRadioButton", "Наличие любого слова"},
                  {"GroupBox2", "TsGroupBox", "Опции"},
                  {"CheckBox1", "TsCheckBox", "Искать в найденом"},
                  {"CheckBox2", "TsCheckBox", "C учётом регистра"},
                  {"Button1", "TsButton", "Найти"},
                  {"Button2", "TsButton", "Закрыть"}}});
    // The options start as "all words", neither in-found nor case-sensitive.
    EXPECT_TRUE(form->RadioButton2->Checked());
    EXPECT_FALSE(form->RadioButton3->Checked());
    EXPECT_FALSE(form->CheckBox1->Checked());
    EXPECT_FALSE(form->CheckBox2->Checked());
    EXPECT_EQ(form->RadioButton2->Parent(), form->GroupBox1);
    EXPECT_EQ(form->CheckBox2->Parent(), form->GroupBox2);
    EXPECT_TRUE(form->Edit1->OnKeyPress);
    for (TButtonControl* b : std::initializer_list<TButtonControl*>{form->RadioButton2, form->RadioButton3,
                                                                    form->CheckBox1, form->CheckBox2, form->Button1,
                                                                    form->Button2})
        EXPECT_TRUE(b->OnClick) << b->Name();
}

TEST_F(AppForms, LinkDialogs)
{
    TForm5* add = Build(Form5);
    Check(add, {"Form5", "Создание ссылки", 0, 0, bsSingle, true,
                {{"sLabel1", "TsLabel", "Название"},
                 {"sLabel2", "TsLabel", LinkAddressCaption},
                 {"Edit1", "TsEdit", ""},
                 {"Edit2", "TsEdit", ""},
                 {"Button1", "TsButton", "OK"},
                 {"Button2", "TsButton", "Отмена"}}});
    TForm12* props = Build(Form12);
    Check(props, {"Form12", "Свойства ссылки", 0, 0, bsSingle, true,
                  {{"sLabel1", "TsLabel", "Название"},
                   {"sLabel2", "TsLabel", LinkAddressCaption},
                   {"Edit1", "TsEdit", ""},
                   {"Edit2", "TsEdit", ""},
                   {"Button1", "TsButton", "Применить"},
                   {"Button2", "TsButton", "Отмена"}}});
    // The address label asks for the address and shows an example in brackets.
    const std::string caption = LinkAddressCaption;
    EXPECT_NE(caption.find("(например: http://"), std::string::npos);
    EXPECT_EQ(caption.back(), ')');
    for (TsButton* b : {add->Button1, add->Button2, props->Button1, props->Button2})
        EXPECT_TRUE(b->OnClick);
}

TEST_F(AppForms, FlashDialogs)
{
    const std::vector<Part> parts = {{"sLabel1", "TsLabel", "Название"}, {"sLabel2", "TsLabel", "Файл"},
                                     {"Edit1", "TsEdit", ""},            {"Edit2", "TsEdit", ""},
                                     {"Button1", "TsButton", "Обзор..."}, {"Button2", "TsButton", "OK"},
                                     {"Button3", "TsButton", "Отмена"},  {"sOpenDialog1", "TsOpenDialog", nullptr}};
    TFlash* add = Build(Flash);
    Check(add, {"Flash", "Flash", 0, 0, bsSingle, true, parts});
    TFlashO* props = Build(FlashO);
    Check(props, {"FlashO", "Свойства Flash", 0, 0, bsSingle, true, parts});
    EXPECT_EQ(add->sOpenDialog1->Filter, "Flash файлы (*.swf)|*.swf");
    EXPECT_EQ(props->sOpenDialog1->Filter, "Flash файлы (*.swf)|*.swf");
    for (TsButton* b : {add->Button1, add->Button2, add->Button3, props->Button1, props->Button2, props->Button3})
        EXPECT_TRUE(b->OnClick);
}

TEST_F(AppForms, CategoryPropertiesAndSettings)
{
    TForm9* props = Build(Form9);
    Check(props, {"Form9", "Свойства", 0, 0, bsSingle, true,
                  {{"Label1", "TsLabel", "Количество подкатегорий:"},
                   {"Label2", "TsLabel", "Количество статей:"},
                   {"Label3", "TsLabel", nullptr},
                   {"Label4", "TsLabel", nullptr},
                   {"Button1", "TsButton", "OK"}}});
    // Each number stands on the line of its label, to its right.
    EXPECT_EQ(props->Label3->Top(), props->Label1->Top());
    EXPECT_GT(props->Label3->Left(), props->Label1->Left() + props->Label1->Width() - 1);
    EXPECT_EQ(props->Label4->Top(), props->Label2->Top());
    EXPECT_TRUE(props->OnShow);

    TForm13* settings = Build(Form13);
    Check(settings, {"Form13", "Настройки", 268, 88, bsSingle, true,
                     {{"RadioButton1", "TsRadioButton", "Открывать деревья в новом окне"},
                      {"RadioButton2", "TsRadioButton", "Открывать деревья в одном окне "},
                      {"Button1", "TsButton", "OK"},
                      {"Button2", "TsButton", "Отмена"}}});
    EXPECT_EQ(settings->Color(), static_cast<TColor>(14675954));
    EXPECT_TRUE(settings->OnShow);
    EXPECT_TRUE(settings->RadioButton1->OnClick);
    EXPECT_TRUE(settings->RadioButton2->OnClick);
}

TEST_F(AppForms, AboutBoxIsBorderlessAndUnskinned)
{
    TForm7* about = Build(Form7);
    Check(about, {"Form7", "О программе", 423, 185, bsNone, false,
                  {{"Image1", "TImage", nullptr},
                   {"sLabel1", "TsLabel", "(Версия 2.0)"},
                   {"sLabel2", "TsLabel", "e-mail:"},
                   {"sLabel3", "TsLabel", "Web:"},
                   {"sLabelFX1", "TsLabelFX", TForm7::MailAddress},
                   {"sLabelFX2", "TsLabelFX", TForm7::WebSite}}});
    EXPECT_EQ(about->Image1->Align(), alClient);
    EXPECT_TRUE(about->sLabel1->Font()->Style().Contains(fsBold));
    EXPECT_EQ(about->sLabelFX1->Cursor(), crHandPoint);
    EXPECT_EQ(about->sLabelFX2->Cursor(), crHandPoint);
    // The labels lie above the picture.
    EXPECT_LT(about->Image1->ComponentIndex(), about->sLabel1->ComponentIndex());
    EXPECT_TRUE(about->OnCreate);
    EXPECT_TRUE(about->Image1->OnClick);
    EXPECT_TRUE(about->sLabelFX1->OnClick);
    EXPECT_TRUE(about->sLabelFX2->OnClick);
}

TEST_F(AppForms, SplashIsBorderlessAndUnskinned)
{
    TFLog* splash = Build(FLog);
    Check(splash, {"FLog", "", 427, 187, bsNone, false,
                   {{"Image1", "TImage", nullptr}, {"sLabel1", "TsLabel", "(Версия 2.0)"}, {"Timer1", "TTimer", nullptr}}});
    EXPECT_EQ(splash->Position(), poScreenCenter);
    EXPECT_EQ(splash->Cursor(), crHourGlass);
    EXPECT_TRUE(splash->KeyPreview);
    EXPECT_EQ(splash->Image1->Align(), alClient);
    EXPECT_LT(splash->Image1->ComponentIndex(), splash->sLabel1->ComponentIndex());
    EXPECT_TRUE(splash->sLabel1->Font()->Style().Contains(fsBold));
    EXPECT_EQ(splash->Timer1->Interval(), 3000u);
    // A press anywhere on the splash reaches its mouse handler, the picture included.
    EXPECT_TRUE(splash->OnCreate);
    EXPECT_TRUE(splash->OnKeyDown);
    EXPECT_TRUE(splash->OnMouseDown);
    EXPECT_TRUE(splash->Image1->OnMouseDown);
    EXPECT_TRUE(splash->Timer1->OnTimer);
    splash->Free();
    EXPECT_EQ(FLog, nullptr);
}

TEST_F(AppForms, ArticleEditorAndItsHelp)
{
    TForm8* editor = Build(Form8);
    Check(editor, {"Form8", "Создание статьи", 0, 0, bsSizeable, true,
                   {{"sLabel1", "TsLabel", "Автор"},
                    {"sLabel2", "TsLabel", "e-mail"},
                    {"sLabel3", "TsLabel", "Имя файла"},
                    {"sLabel4", "TsLabel", "Название статьи"},
                    {"Edit2", "TsEdit", "Аноним"},
                    {"Edit3", "TsEdit", ""},
                    {"Edit4", "TsEdit", ""},
                    {"Edit1", "TsEdit", ""},
                    {"Memo1", "TsMemo", ""},
                    {"Memo2", "TMemo", nullptr},
                    {"FontDialog1", "TFontDialog", nullptr},
                    {"MainMenu1", "TMainMenu", nullptr}}});
    EXPECT_EQ(editor->Width(), 581);
    EXPECT_EQ(editor->Height(), 497);
    EXPECT_EQ(editor->Color(), static_cast<TColor>(13750737));
    EXPECT_FALSE(editor->Memo2->Visible());
    EXPECT_EQ(editor->Menu(), editor->MainMenu1);
    EXPECT_EQ(editor->FontDialog1->Options, (TFontDialogOptions{fdForceFontExist, fdScalableOnly, fdNoStyleSel}));
    // Top to bottom: author, address, file name, title, then the text.
    EXPECT_LT(editor->Edit2->Top(), editor->Edit3->Top());
    EXPECT_LT(editor->Edit3->Top(), editor->Edit4->Top());
    EXPECT_LT(editor->Edit4->Top(), editor->Edit1->Top());
    EXPECT_LT(editor->Edit1->Top() + editor->Edit1->Height(), editor->Memo1->Top() + 1);
    // The edits' widths follow the window's width as the resize rule gives them.
    EXPECT_EQ(editor->Edit1->Width(), 581 - 104);
    EXPECT_EQ(editor->Edit2->Width(), 581 - 47);
    EXPECT_EQ(editor->Edit3->Width(), 581 - 45);
    EXPECT_EQ(editor->Edit4->Width(), 581 - 75);

    struct Item {
        const char* Name;
        const char* Caption;
        TShortCut Key;
    };
    const Item items[] = {{"N1", "Создать", 0},
                          {"N2", "Выход", 0},
                          {"N8", "Отменить", ShortCut('Z', scCtrl)},
                          {"N10", "Вырезать", ShortCut('X', scCtrl)},
                          {"N9", "Копировать", ShortCut('C', scCtrl)},
                          {"N12", "Вставить", ShortCut('V', scCtrl)},
                          {"N13", "Выделить всё", ShortCut('A', scCtrl)},
                          {"N3", "Шрифт", 0},
                          {"N4", "Как создавать", 0}};
    for (const Item& item : items) {
        auto* m = dynamic_cast<TMenuItem*>(editor->FindComponent(item.Name));
        ASSERT_NE(m, nullptr) << item.Name;
        EXPECT_EQ(m->Caption(), item.Caption);
        EXPECT_EQ(m->ShortCut(), item.Key) << item.Name;
        EXPECT_TRUE(m->OnClick) << item.Name;
    }
    // The menu "Правка" in its order, separators included.
    std::vector<AnsiString> edit;
    for (int i = 0; i < editor->N6->Count(); ++i)
        edit.push_back(editor->N6->Items(i)->Caption());
    EXPECT_EQ(edit, (std::vector<AnsiString>{"Отменить", "-", "Вырезать", "Копировать", "Вставить", "-",
                                             "Выделить всё", "-", "Шрифт"}));
    EXPECT_TRUE(editor->OnShow);
    EXPECT_TRUE(editor->OnClose);
    EXPECT_TRUE(editor->OnCanResize);

    TForm14* help = Build(Form14);
    Check(help, {"Form14", "Как создавать", 0, 0, bsSingle, true,
                 {{"sLabel1", "TsLabel", nullptr}, {"Button1", "TsButton", "OK"}}});
    EXPECT_FALSE(help->sLabel1->Caption().empty());
    EXPECT_TRUE(help->Button1->OnClick);
}

TEST_F(AppForms, SkinChooserAndEmptyForm)
{
    TForm16* chooser = Build(Form16);
    Check(chooser, {"Form16", "Интерфейс", 353, 298, bsSingle, true,
                    {{"sBevel1", "TsBevel", nullptr},
                     {"sLabel1", "TsLabel", "Выберите скин:"},
                     {"sListBox1", "TsListBox", nullptr},
                     {"sButton1", "TsButton", "OK"},
                     {"sButton2", "TsButton", "Отмена"}}});
    EXPECT_EQ(chooser->Color(), static_cast<TColor>(14215660));
    EXPECT_EQ(chooser->sBevel1->Shape(), bsBottomLine);
    EXPECT_EQ(chooser->sListBox1->ItemHeight(), 16);
    EXPECT_EQ(chooser->sListBox1->Items()->Count(), 0);
    EXPECT_EQ(chooser->sListBox1->GetItemIndex(), -1);
    EXPECT_TRUE(chooser->OnShow);
    EXPECT_TRUE(chooser->sListBox1->OnClick);
    EXPECT_TRUE(chooser->sButton1->OnClick);
    EXPECT_TRUE(chooser->sButton2->OnClick);

    TForm15* empty = Build(Form15);
    EXPECT_EQ(empty->Name(), "Form15");
    // Only its skin provider.
    ASSERT_EQ(empty->ComponentCount(), 1);
    EXPECT_EQ(empty->Components(0), empty->sSkinProvider1);
    EXPECT_EQ(empty->ControlCount(), 0);
}

// Every dialog shows with its controls laid out and closes again.
TEST_F(AppForms, EveryDialogShowsAndCloses)
{
    std::vector<TForm*> forms = {MakeForm<TForm2>(),  MakeForm<TForm4>(),  MakeForm<TForm7>(),
                                 MakeForm<TForm8>(),  MakeForm<TForm9>(),  MakeForm<TFlash>(),
                                 MakeForm<TForm5>(),  MakeForm<TFlashO>(), MakeForm<TForm12>(),
                                 MakeForm<TForm13>(), MakeForm<TForm14>(), MakeForm<TForm15>(),
                                 MakeForm<TForm16>()};
    for (TForm* form : forms) {
        SCOPED_TRACE(form->Name());
        form->Show();
        EXPECT_TRUE(IsWindowVisible(form->Handle()));
        char text[256] = {};
        GetWindowTextA(form->Handle(), text, sizeof text);
        EXPECT_EQ(AnsiString(text), form->Caption());
        Application->ProcessMessages();
        form->Hide();
        EXPECT_FALSE(IsWindowVisible(form->Handle()));
    }
}

} // namespace

namespace {

// The program creates its fifteen forms in one order, the main window first (so that it becomes
// the main form), each through the application's form creation.
TEST(ProgramEntry, CreatesTheFormsInOrder)
{
    const char* source = std::getenv("VELLORN_SOURCE_DIR");
    if (!source)
        GTEST_SKIP() << "the source folder is not known";
    std::string path = std::string(source) + "/app/WinMain.cpp";
    if (path.rfind("/", 0) == 0)
        path = "Z:" + path;
    std::ifstream in(path);
    ASSERT_TRUE(in) << path;
    std::stringstream text;
    text << in.rdbuf();
    const std::string body = text.str();
    std::vector<std::string> created;
    const std::regex call(R"(Application->CreateForm\((\w+)\))");
    for (auto it = std::sregex_iterator(body.begin(), body.end(), call); it != std::sregex_iterator(); ++it)
        created.push_back((*it)[1]);
    EXPECT_EQ(created, (std::vector<std::string>{"ID_Vellorn", "Form2", "FLog", "Form4", "Form7", "Form8", "Form9",
                                                 "Flash", "Form5", "FlashO", "Form12", "Form13", "Form14", "Form15",
                                                 "Form16"}));
}

} // namespace
