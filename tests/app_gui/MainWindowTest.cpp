// The main window as laid out: its named components, menus, bars, panels and timers, and the
// saved form of its article tree.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "ClassesFiler.h"
#include "FormTest.h"
#include "ProgramRun.h"
#include "Main.h"

#include "TestKit.h"

namespace {

// Copies a folder with everything below it.
void CopyTree(const AnsiString& from, const AnsiString& to)
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

// The repository's folder (the test data folder is tests\data\ inside it).
AnsiString SourceDir()
{
    AnsiString data = testkit::DataDir();
    return data.substr(0, data.size() - std::strlen("tests\\data\\"));
}

class MainWindow : public testkit::FormTest {
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        ScriptBoxes(IDNO);
        // The window works on a copy of the default archive beside a pretended program file.
        CopyTree(SourceDir() + "app\\defaults\\FILES", dir / "FILES");
        testkit::ProgramRun::CopySkins(dir.Path());
        exe_ = std::make_unique<TExeNameOverride>(dir / "Vellorn.exe");
        form = MakeForm<TID_Vellorn>();
    }
    void TearDown() override
    {
        FormTest::TearDown();
        exe_.reset();
    }

    TMenuItem* Item(const char* name)
    {
        auto* item = dynamic_cast<TMenuItem*>(form->FindComponent(name));
        EXPECT_NE(item, nullptr) << name;
        return item;
    }

    testkit::TempDir dir;
    TID_Vellorn* form = nullptr;

private:
    std::unique_ptr<TExeNameOverride> exe_;
};

TEST_F(MainWindow, EveryNamedComponentExistsWithItsClass)
{
    EXPECT_EQ(form->Name(), "ID_Vellorn");
    EXPECT_EQ(ID_Vellorn, form);
    const struct {
        const char* Name;
        const char* Class;
    } expected[] = {
        {"ImageList1", "TImageList"},       {"sSkinManager1", "TsSkinManager"},
        {"sSkinProvider1", "TsSkinProvider"}, {"sHintManager1", "TsHintManager"},
        {"TrayIcon1", "TTrayIcon"},         {"MainMenu1", "TMainMenu"},
        {"PopupMenu1", "TPopupMenu"},       {"PopupMenu2", "TPopupMenu"},
        {"PopupMenu4", "TPopupMenu"},       {"PopupMenu5", "TPopupMenu"},
        {"PopupMenu8", "TPopupMenu"},       {"PopupMenu9", "TPopupMenu"},
        {"PopupMenu10", "TPopupMenu"},      {"ToolBar1", "TsToolBar"},
        {"ToolBar2", "TsToolBar"},          {"sToolBar1", "TsToolBar"},
        {"sToolBar2", "TsToolBar"},         {"PageControl1", "TsPageControl"},
        {"TabSheet1", "TsTabSheet"},        {"TabSheet2", "TsTabSheet"},
        {"TreeView1", "TsTreeView"},        {"TreeView2", "TsTreeView"},
        {"Panel1", "TsPanel"},              {"Panel2", "TsPanel"},
        {"Panel4", "TsPanel"},              {"Panel5", "TsPanel"},
        {"Splitter1", "TsSplitter"},        {"Splitter3", "TsSplitter"},
        {"Web", "TCppWebBrowser"},          {"Memo1", "TsMemo"},
        {"Edit1", "TsEdit"},                {"Edit2", "TsEdit"},
        {"ComboBoxEx2", "TsComboBoxEx"},    {"Button1", "TsButton"},
        {"Button2", "TsButton"},            {"Button3", "TsButton"},
        {"ComboBox1", "TsComboBox"},        {"sLabelFX1", "TsLabelFX"},
        {"sLabelFX2", "TsLabelFX"},         {"StatusBar1", "TsStatusBar"},
        {"ProgressBar1", "TProgressBar"},   {"ListBox1", "TListBox"},
        {"ListBox2", "TListBox"},           {"ListBox3", "TListBox"},
        {"Timer1", "TTimer"},               {"Timer2", "TTimer"},
        {"Timer3", "TTimer"},               {"Timer4", "TTimer"},
        {"Timer5", "TTimer"},               {"SaveDialog2", "TSaveDialog"},
        {"OpenDialog1", "TOpenDialog"},     {"OpenDialog2", "TOpenDialog"},
        {"OpenDialog4", "TOpenDialog"},
    };
    for (const auto& e : expected) {
        TComponent* c = form->FindComponent(e.Name);
        ASSERT_NE(c, nullptr) << e.Name;
        EXPECT_EQ(c->ClassName(), e.Class) << e.Name;
    }
    for (int i : {1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13, 15, 16, 17, 19, 20}) {
        AnsiString name = "ToolButton" + std::to_string(i);
        EXPECT_NE(dynamic_cast<TToolButton*>(form->FindComponent(name)), nullptr) << name;
    }
}

TEST_F(MainWindow, MenuItemsHaveTheirCaptionsShortcutsImagesAndStates)
{
    const struct {
        const char* Name;
        const char* Caption;
        const char* ShortCut;
        int Image;
    } items[] = {
        {"N3", "Сохранить дерево", "Ctrl+S", -2},  {"N13", "Загрузить дерево", "Ctrl+L", -2},
        {"N4", "Очистить дерево статей", "", -2},  {"N6", "Выход", "", -2},
        {"N15", "Переименовать", "F2", -2},        {"N9", "Категория", "Shift+Ins", -2},
        {"N10", "Подкатегория", "Ctrl+Ins", -2},   {"N80", "Статья", "Ins", -2},
        {"N31", "Ссылка", "", -2},                 {"Flash1", "Flash мультик", "", -2},
        {"N12", "Удалить", "Ctrl+Del", -2},        {"N74", "Примечание", "", -2},
        {"N75", "Добавить заметки", "", -2},       {"N76", "Убрать примечание", "", -2},
        {"N78", "Сохранить", "", -2},              {"N79", "Загрузить", "", -2},
        {"N11", "Отметить статью как", "", -2},    {"N42", "Избранная", "", 35},
        {"N55", "Новая", "", 2},                   {"N56", "Прочитанная", "", 8},
        {"N57", "Непрочитанная", "", 36},          {"N17", "Свойства", "", -2},
        {"N92", "Развернуть дерево", "", -2},      {"N93", "Свернуть дерево", "", -2},
        {"N90", "Дерево статей", "", -2},          {"N5", "Интерфейс", "", -2},
        {"N19", "Поиск статей", "Ctrl+F1", -2},    {"N20", "Искать по тексту", "Ctrl+F", 5},
        {"N22", "Пустая страница", "", -2},        {"N23", "Сохранить", "", 20},
        {"N24", "Печать", "", 3},                  {"N14", "Исходный кода", "", 11},
        {"SetBr", "Настройки браузера", "", -2},   {"N26", "Назад ", "", 9},
        {"N27", "Вперёд", "", 4},                  {"N28", "Остановить загрузку", "", 7},
        {"N29", "Обновить", "", 30},               {"N62", "Создать статью", "F5", -2},
        {"Sett", "Настройки", "", -2},             {"N32", "Перейти на сайт проекта", "", -2},
        {"N34", "Сообщить об ошибке", "", -2},     {"N70", "Отправить свою статью", "", -2},
        {"N33", "Отзывы и предложения", "", -2},   {"N35", "О программе", "", -2},
        {"N25", "Переименовать", "F2", -2},        {"N40", "Категория", "", -2},
        {"N41", "Подкатегория", "", -2},           {"N73", "Статья", "", -2},
        {"N94", "Ссылка", "", -2},                 {"Flash2", "Flash мультик", "", -2},
        {"N43", "Удалить", "", -2},                {"N81", "Примечание", "", -2},
        {"N82", "Добавить заметки", "", -2},       {"N83", "Убрать примечание", "", -2},
        {"N85", "Сохранить", "", -2},              {"N86", "Загрузить", "", -2},
        {"N64", "Отметить статью как", "", -2},    {"N65", "Избранная", "", -2},
        {"N66", "Новая", "", -2},                  {"N67", "Прочитанная", "", -2},
        {"N68", "Непрочитанная", "", -2},          {"N96", "Свойства", "", -2},
        {"N58", "Избранные", "", -2},              {"N59", "Новые", "", -2},
        {"N60", "Прочитанные", "", -2},            {"N61", "Непрочитанные", "", -2},
        {"Flash3", "Flash мультики", "", -2},      {"N38", "ссылки", "", -2},
        {"N72", "Выбрать", "", -2},                {"N88", "Закрыть", "", -2},
    };
    for (const auto& e : items) {
        TMenuItem* item = Item(e.Name);
        if (!item)
            continue;
        EXPECT_EQ(item->Caption(), e.Caption) << e.Name;
        EXPECT_EQ(ShortCutToText(item->ShortCut()), e.ShortCut) << e.Name;
        if (e.Image != -2) {
            EXPECT_EQ(item->ImageIndex(), e.Image) << e.Name;
        }
    }
    // Where the items sit: the menus and submenus that hold them.
    EXPECT_EQ(Item("N9")->Parent()->Caption(), "Добавить ");
    EXPECT_EQ(Item("N40")->Parent()->Caption(), "Добавить");
    EXPECT_EQ(Item("N78")->Parent(), Item("N74"));
    EXPECT_EQ(Item("N85")->Parent(), Item("N81"));
    EXPECT_EQ(Item("N42")->Parent(), Item("N11"));
    EXPECT_EQ(Item("N65")->Parent(), Item("N64"));
    EXPECT_EQ(Item("N25")->GetParentMenu(), form->PopupMenu1);
    EXPECT_EQ(Item("N58")->GetParentMenu(), form->PopupMenu8);
    EXPECT_EQ(Item("N72")->GetParentMenu(), form->PopupMenu9);
    EXPECT_EQ(Item("N88")->GetParentMenu(), form->PopupMenu10);
    EXPECT_EQ(form->Menu(), form->MainMenu1);
    std::vector<AnsiString> top;
    for (int i = 0; i < form->MainMenu1->Items()->Count(); ++i)
        top.push_back(form->MainMenu1->Items()->Items(i)->Caption());
    EXPECT_EQ(top, (std::vector<AnsiString>{"Файл", "Правка", "Вид", "Поиск", "Браузер", "Сервис", "Справка"}));
    // The menus draw their items' pictures from the image list.
    for (TMenu* menu : std::initializer_list<TMenu*>{form->MainMenu1, form->PopupMenu1, form->PopupMenu2,
                                                     form->PopupMenu4, form->PopupMenu8, form->PopupMenu9}) {
        EXPECT_EQ(menu->Images(), form->ImageList1) << menu->Name();
        EXPECT_TRUE(menu->OwnerDraw()) << menu->Name();
    }
    // The browser menu in its order, separators included.
    std::vector<AnsiString> browser;
    for (int i = 0; i < Item("N21")->Count(); ++i)
        browser.push_back(Item("N21")->Items(i)->Caption());
    EXPECT_EQ(browser, (std::vector<AnsiString>{"Пустая страница", "-", "Сохранить", "Печать", "Исходный кода", "-",
                                                "Настройки браузера", "-", "Назад ", "Вперёд", "-",
                                                "Остановить загрузку", "Обновить"}));
    // Initially disabled items; the marks are radio items.
    for (const char* name : {"N11", "N64", "N26", "N27", "N74", "N76", "N78", "N81", "N83", "N85"})
        EXPECT_FALSE(Item(name)->Enabled()) << name;
    for (const char* name : {"N3", "N13", "N12", "N17", "N9"})
        EXPECT_TRUE(Item(name)->Enabled()) << name;
    EXPECT_TRUE(Item("N42")->RadioItem());
    EXPECT_EQ(form->PopupMenu2->Items()->Count(), 0);
    EXPECT_EQ(form->PopupMenu4->Items()->Count(), 0);
}

TEST_F(MainWindow, BarsPanelsTimersAndDialogsAreSetUp)
{
    // Tool buttons with their hints and captions.
    EXPECT_EQ(form->ToolButton1->Caption(), "Назад");
    EXPECT_FALSE(form->ToolButton1->Enabled());
    EXPECT_EQ(form->ToolButton2->Hint(), "Вперёд");
    EXPECT_EQ(form->ToolButton3->Hint(), "Остановить загрузку");
    EXPECT_EQ(form->ToolButton4->Caption(), "Обновить");
    EXPECT_EQ(form->ToolButton5->Hint(), "Печать страницы");
    EXPECT_EQ(form->ToolButton6->Hint(), "Исходный код");
    EXPECT_EQ(form->ToolButton7->Caption(), "Сохранить");
    EXPECT_EQ(form->ToolButton7->MenuItem(), form->N23);
    EXPECT_EQ(form->ToolButton10->Caption(), "Переход");
    EXPECT_EQ(form->ToolButton11->Hint(), "Сохранить дерево");
    EXPECT_EQ(form->ToolButton12->Hint(), "Загрузить дерево");
    EXPECT_EQ(form->ToolButton13->Hint(), "Скрыть дерево статей");
    EXPECT_EQ(form->ToolButton15->Hint(), "О программе");
    EXPECT_EQ(form->ToolButton16->Caption(), "Показать");
    EXPECT_EQ(form->ToolButton16->DropdownMenu(), form->PopupMenu8);
    EXPECT_EQ(form->ToolButton17->Hint(), "Сохранить примечание");
    EXPECT_EQ(form->ToolButton17->ImageIndex(), 22);
    EXPECT_EQ(form->ToolButton19->Hint(), "Загрузить из файла");
    EXPECT_EQ(form->ToolButton19->ImageIndex(), 1);
    EXPECT_EQ(form->ToolButton20->Hint(), "Убрать примечание");
    EXPECT_EQ(form->ToolButton20->ImageIndex(), 7);
    EXPECT_EQ(form->sLabelFX2->Caption(), "Примечание:");
    EXPECT_EQ(form->sLabelFX1->Caption(), "Адрес");

    // The status bar's three panels.
    ASSERT_EQ(form->StatusBar1->Panels()->Count(), 3);
    EXPECT_EQ(form->StatusBar1->Panels()->Items(0)->Width(), 200);
    EXPECT_EQ(form->StatusBar1->Panels()->Items(1)->Width(), 200);
    EXPECT_EQ(form->StatusBar1->Panels()->Items(2)->Width(), 50);
    EXPECT_FALSE(form->ProgressBar1->Visible());

    // The pages and where the trees, the browser and the note memo sit.
    ASSERT_EQ(form->PageControl1->PageCount(), 2);
    EXPECT_EQ(form->PageControl1->Pages(0)->Caption(), "Статьи");
    EXPECT_EQ(form->PageControl1->Pages(1)->Caption(), "Поиск");
    EXPECT_EQ(form->PageControl1->ActivePageIndex(), 0);
    EXPECT_EQ(form->TreeView1->Parent(), form->TabSheet1);
    EXPECT_EQ(form->TreeView2->Parent(), form->TabSheet2);
    EXPECT_EQ(form->PageControl1->Parent(), form->Panel2);
    EXPECT_EQ(form->Web->Parent(), form->Panel4);
    EXPECT_EQ(form->Memo1->Parent(), form->Panel5);
    EXPECT_EQ(form->Panel5->Parent(), form->Panel4);
    EXPECT_FALSE(form->Panel5->Visible());
    EXPECT_FALSE(form->Splitter3->Visible());
    EXPECT_EQ(form->Panel2->Align(), alLeft);
    EXPECT_EQ(form->Panel4->Align(), alClient);
    EXPECT_EQ(form->ComboBox1->Parent(), form->ToolBar2);
    EXPECT_EQ(form->TreeView1->SkinData()->SkinSection(), "EDIT");
    EXPECT_EQ(form->TreeView1->PopupMenu(), form->PopupMenu1);

    // The property panel: hidden, placed and sized as designed, with the four marks.
    EXPECT_FALSE(form->Panel1->Visible());
    EXPECT_EQ(form->Panel1->Left(), 208);
    EXPECT_EQ(form->Panel1->Top(), 128);
    EXPECT_EQ(form->Panel1->Width(), 385);
    EXPECT_EQ(form->Panel1->Height(), 137);
    EXPECT_EQ(form->Button1->Caption(), "Обзор...");
    EXPECT_EQ(form->Button2->Caption(), "Применить");
    EXPECT_EQ(form->Button3->Caption(), "Отмена");
    const std::pair<const char*, int> marks[] = {
        {"Избранная", 35}, {"Прочитанная", 8}, {"Новая", 2}, {"Непрочитанная", 12}};
    ASSERT_EQ(form->ComboBoxEx2->ItemsEx()->Count(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(form->ComboBoxEx2->ItemsEx()->Items(i)->Caption(), marks[i].first);
        EXPECT_EQ(form->ComboBoxEx2->ItemsEx()->Items(i)->ImageIndex(), marks[i].second);
    }

    // Timers: intervals, and the blinking one off.
    const std::pair<TTimer*, Cardinal> timers[] = {
        {form->Timer1, 100}, {form->Timer2, 100}, {form->Timer3, 500}, {form->Timer4, 200}, {form->Timer5, 500}};
    for (const auto& [timer, interval] : timers)
        EXPECT_EQ(timer->Interval(), interval) << timer->Name();
    EXPECT_FALSE(form->Timer4->Enabled());
    EXPECT_TRUE(form->Timer1->Enabled());

    // The image strip and the tray icon.
    EXPECT_EQ(form->ImageList1->Count(), 40);
    EXPECT_EQ(form->ImageList1->Width(), 16);
    EXPECT_EQ(form->TrayIcon1->IconIndex(), 37);
    EXPECT_EQ(form->TrayIcon1->Icons(), form->ImageList1);
    EXPECT_EQ(form->TrayIcon1->PopupMenu(), form->PopupMenu10);

    EXPECT_EQ(form->SaveDialog2->Filter, "Резервные копии дерева (*.vlt)|*.vlt");
    EXPECT_EQ(form->OpenDialog1->Filter, "Резевные копии деревьев(*.vlt)|*.vlt");
    EXPECT_EQ(form->OpenDialog4->Filter, "Текстовые документы (*.txt)|*.txt");
    EXPECT_TRUE(form->SkipHistoryOnce);
}

// --- The saved tree: bytes built from the file format's tables -----------------------------

std::string ShortStr(const std::string& s)
{
    return std::string(1, static_cast<char>(s.size())) + s;
}

std::string Int32(int32_t v)
{
    std::string out(4, '\0');
    std::memcpy(out.data(), &v, 4);
    return out;
}

// An integer value in the smallest of the 8-, 16- and 32-bit types.
std::string IntValue(int32_t v)
{
    if (v >= -128 && v <= 127)
        return std::string{'\x02', static_cast<char>(v)};
    if (v >= -32768 && v <= 32767) {
        int16_t s = static_cast<int16_t>(v);
        std::string out{'\x03', 0, 0};
        std::memcpy(out.data() + 1, &s, 2);
        return out;
    }
    return "\x04" + Int32(v);
}

std::string Ident(const std::string& s) { return "\x07" + ShortStr(s); }
std::string Str(const std::string& s) { return "\x06" + ShortStr(s); }

std::string NodeRecord(const std::string& title, int image, int children)
{
    return Int32(25 + static_cast<int32_t>(title.size())) + Int32(image) + Int32(image) + Int32(-1) + Int32(-1) +
           Int32(0) + Int32(children) + ShortStr(title);
}

std::string ExpectedTree(int width, int height, const std::string& itemsData)
{
    const std::string t = "\x09", f = "\x08", emptySet = std::string("\x0b\x00", 2);
    std::vector<std::pair<std::string, std::string>> props = {
        {"Left", IntValue(0)},
        {"Top", IntValue(0)},
        {"Width", IntValue(width)},
        {"Height", IntValue(height)},
        {"Align", Ident("alClient")},
        {"BorderStyle", Ident("bsNone")},
        {"ChangeDelay", IntValue(2)},
        {"Ctl3D", t},
        {"Font.Charset", Ident("DEFAULT_CHARSET")},
        {"Font.Color", Ident("clWindowText")},
        {"Font.Height", IntValue(-11)},
        {"Font.Name", Str("MS Sans Serif")},
        {"Font.Style", emptySet},
        {"HotTrack", t},
        {"Images", Ident("ID_Vellorn.ImageList1")},
        {"Indent", IntValue(19)},
        {"ParentCtl3D", f},
        {"ParentFont", f},
        {"PopupMenu", Ident("ID_Vellorn.PopupMenu1")},
        {"RightClickSelect", t},
        {"RowSelect", t},
        {"StateImages", Ident("ID_Vellorn.ImageList1")},
        {"TabOrder", IntValue(0)},
    };
    if (!itemsData.empty())
        props.push_back({"Items.Data", "\x0a" + Int32(static_cast<int32_t>(itemsData.size())) + itemsData});
    const std::vector<std::pair<std::string, std::string>> tail = {
        {"BoundLabel.Caption", Str("TreeView1")},
        {"BoundLabel.Indent", IntValue(0)},
        {"BoundLabel.Font.Charset", Ident("DEFAULT_CHARSET")},
        {"BoundLabel.Font.Color", Ident("clWindowText")},
        {"BoundLabel.Font.Height", IntValue(-11)},
        {"BoundLabel.Font.Name", Str("MS Sans Serif")},
        {"BoundLabel.Font.Style", emptySet},
        {"BoundLabel.Layout", Ident("sclLeft")},
        {"BoundLabel.MaxWidth", IntValue(0)},
        {"SkinData.SkinSection", Str("EDIT")},
    };
    props.insert(props.end(), tail.begin(), tail.end());
    std::string out = "TPF0" + ShortStr("TsTreeView") + ShortStr("TreeView1");
    for (const auto& [name, value] : props)
        out += ShortStr(name) + value;
    return out + std::string(2, '\0');
}

std::string WriteTree(TsTreeView* tree)
{
    TMemoryStream stream;
    WriteComponentToStream(stream, *tree);
    return std::string(static_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
}

TEST_F(MainWindow, ArticleTreeWritesTheSavedTreeLayout)
{
    TsTreeView* tree = form->TreeView1;
    tree->Items()->Clear();
    // No nodes: no Items.Data at all.
    EXPECT_EQ(WriteTree(tree), ExpectedTree(tree->Width(), tree->Height(), ""));

    TTreeNode* folder = tree->Items()->AddChild(nullptr, "Категория");
    TTreeNode* article = tree->Items()->AddChild(folder, "Статья");
    article->SetImageIndex(2);
    article->SetSelectedIndex(2);
    const std::string data = Int32(1) + NodeRecord("Категория", 0, 1) + NodeRecord("Статья", 2, 0);
    const std::string bytes = WriteTree(tree);
    EXPECT_EQ(bytes, ExpectedTree(tree->Width(), tree->Height(), data));

    // Read back into the search tree's twin: the nodes come back, the other values are skipped.
    auto* other = Create<TsTreeView>(form);
    TMemoryStream in;
    in.WriteBuffer(bytes.data(), static_cast<Integer>(bytes.size()));
    in.SetPosition(0);
    ReadComponentFromStream(in, *other);
    ASSERT_EQ(other->Items()->Count(), 2);
    EXPECT_EQ(other->Items()->Item(0)->Text(), "Категория");
    EXPECT_EQ(other->Items()->Item(1)->Text(), "Статья");
    EXPECT_EQ(other->Items()->Item(1)->ImageIndex(), 2);
    EXPECT_EQ(other->Items()->Item(1)->Parent(), other->Items()->Item(0));
    EXPECT_EQ(other->PopupMenu(), nullptr) << "references are not resolved";
}

} // namespace
