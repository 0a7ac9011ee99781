#include "Form8.h"

#include <vector>

#include "ArchiveFiles.h"
#include "IniFiles.h"
#include "MainSession.h"
#include "MainTreeMap.h"
#include "MemoLayout.h"
#include "Settings.h"

#include "Form14.h"
#include "Form7.h"

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
    N5 = NewItem(root, "N5", "Файл");
    N1 = NewItem(N5, "N1", "Создать");
    N2 = NewItem(N5, "N2", "Выход");
    N6 = NewItem(root, "N6", "Правка");
    N8 = NewItem(N6, "N8", "Отменить", ShortCut('Z', scCtrl));
    N11 = NewItem(N6, "N11", "-");
    N10 = NewItem(N6, "N10", "Вырезать", ShortCut('X', scCtrl));
    N9 = NewItem(N6, "N9", "Копировать", ShortCut('C', scCtrl));
    N12 = NewItem(N6, "N12", "Вставить", ShortCut('V', scCtrl));
    N14 = NewItem(N6, "N14", "-");
    N13 = NewItem(N6, "N13", "Выделить всё", ShortCut('A', scCtrl));
    N15 = NewItem(N6, "N15", "-");
    N3 = NewItem(N6, "N3", "Шрифт");
    N7 = NewItem(root, "N7", "Помощь");
    N4 = NewItem(N7, "N4", "Как создавать");
    SetMenu(MainMenu1);

    // The four fields, each with its label on the left; the edits keep their right edges in step
    // with the window's width (FormCanResize).
    const int w = Width();
    sLabel1 = PlaceCaption<TsLabel>(this, this, "sLabel1", "Автор", 2, 12, 34, 13);
    Edit2 = PlaceEdit(this, this, "Edit2", 38, 8, w - 47);
    Edit2->SetText("Аноним");
    sLabel2 = PlaceCaption<TsLabel>(this, this, "sLabel2", "e-mail", 2, 38, 32, 13);
    Edit3 = PlaceEdit(this, this, "Edit3", 36, 34, w - 45);
    sLabel3 = PlaceCaption<TsLabel>(this, this, "sLabel3", "Имя файла", 2, 64, 62, 13);
    Edit4 = PlaceEdit(this, this, "Edit4", 66, 60, w - 75);
    sLabel4 = PlaceCaption<TsLabel>(this, this, "sLabel4", "Название статьи", 2, 90, 93, 13);
    Edit1 = PlaceEdit(this, this, "Edit1", 95, 86, w - 104);
    Edit1->SetMaxLength(MaxTitleLength);

    auto* text = Place<TBoundedMemo>(this, this, "Memo1", 0, 114, ClientWidth(), ClientHeight() - 114);
    text->PasteRefusal = "Текст не вставлен в статью: в нём слишком длинные строки, поле текста статьи не может их показать.";
    Memo1 = text;
    Memo1->SetAnchors(TAnchors{akLeft, akTop, akRight, akBottom});
    Memo1->SetScrollBars(ssVertical);
    Memo1->Lines()->Clear();
    Memo2 = Place<TMemo>(this, this, "Memo2", 8, 200, 185, 89);
    Memo2->SetVisible(false);
    Memo2->SetWordWrap(false); // never shown: a long line costs it its length only
    Memo2->Lines()->Clear();

    FontDialog1 = Create<TFontDialog>(this);
    FontDialog1->SetName("FontDialog1");
    FontDialog1->Options = TFontDialogOptions{fdForceFontExist, fdScalableOnly, fdNoStyleSel};

    OnShow = Bind(this, &TForm8::FormShow);
    OnCloseQuery = Bind(this, &TForm8::FormCloseQuery);
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

namespace {

AnsiString SettingsPath() { return archive::AppPath("FILES\\Settings2.ini"); }

// The largest font size, in points, the font dialog takes.
constexpr Integer MaxFontSize = 1638;

// Whether a page named Name (a file name without its extension, perhaps in a folder) lies under
// FILES\: neither absolute (a leading separator, a drive or any colon) nor stepping up a folder.
bool InsideArchive(const AnsiString& Name)
{
    if (Name.empty() || Name[0] == '\\' || Name[0] == '/' || Name.find(':') != AnsiString::npos)
        return false;
    std::size_t from = 0;
    for (;;) {
        const std::size_t end = Name.find_first_of("\\/", from);
        if (archive::ParentStep(Name.substr(from, end == AnsiString::npos ? AnsiString::npos : end - from)))
            return false;
        if (end == AnsiString::npos)
            return true;
        from = end + 1;
    }
}

// The article page: the template's lines with the title T, the text X (one item, perhaps of
// several lines), the author A and the author's address M, each line ended by CR LF.
AnsiString ArticlePage(const AnsiString& T, const AnsiString& X, const AnsiString& A, const AnsiString& M)
{
    const AnsiString author = M.empty() ? "<br>Автор статьи: " + A
                                        : R"(<br>Автор статьи:<a href="mailto:)" + M + R"(" title="Черкнуть письмецо">)" +
                                              A + "</a>";
    const std::vector<AnsiString> lines = {
        "<html><head><title>" + T + "</title>",
        "</head>",
        "<body leftmargin=0 topmargin=0 rightmargin=0 bottommargin=0>",
        "",
        R"(<table class=whitetable width="100%" cellspacing="0" cellpadding="0">)",
        "<tr height=138>",
        R"(<td width="100%" background="image/polsait.jpg"></td>)",
        R"(<td ><img border="0" src="image/karsait.jpg" width="185" height="138" allign="center"></td>)",
        "</tr>",
        "</table>",
        "",
        R"(<table  cellspacing="0" cellpadding="0" border="0" width=100%>)",
        "<tr height=10>",
        R"(       <td width="100%" align="left"><b>)" + T,
        "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;</b></td>",
        "</tr>",
        "<tr>",
        R"(       <td><hr align="left" width="350" size="1"  noshade color="#696969" ></td>)",
        "</tr>",
        "<tr>",
        R"(<td align="left"><font color="#000000"><p>)",
        "",
        "",
        "<!-- Текcт статьи -->", // the Latin c in its first word is the template's own
        X,
        "<!-- Конец -->",
        "",
        "",
        "<p></tr>",
        "</table>",
        "",
        R"(<table class=whitetable width="100%" cellspacing="0" cellpadding="0" border=2>)",
        "<tr height=15>",
        R"(<td width="100%" background="image/polosa.jpg"></td>)",
        "</tr>",
        "</table>",
        R"(<p align="center"><b>Проект <a href=")" + AnsiString(TForm7::WebSite) +
            R"(" title="Перейти на сайт проекта">Vellorn</a> 2004-2008)",
        R"(<br>Автор проекта: <a href="mailto:)" + AnsiString(TForm7::MailAddress) +
            R"(" title="Отправить статью или интересную работу">Команда Vellorn</a>)",
        author,
        "<br><br></b></p>",
        "</body>",
        "</html>",
    };
    AnsiString page;
    for (const AnsiString& line : lines)
        page += line + "\r\n";
    return page;
}

} // namespace

void TForm8::FormShow(TObject*)
{
    TMemIniFile ini(SettingsPath());
    Edit2->SetText(ini.ReadString("AUTOR", "Name", "Аноним"));
    Edit3->SetText(ini.ReadString("AUTOR", "e-mail", TForm7::MailAddress));
    Memo1->Font()->SetName(ini.ReadString("TEXT", "Name", "0"));
    // A value that is no number, or no size the font dialog or a window can have, counts as its
    // default, so a damaged file never keeps the editor shut or shrunk to its title bar.
    const Integer size = ini.ReadInteger("TEXT", "Size", 0);
    Memo1->Font()->SetSize(size >= 1 && size <= MaxFontSize ? size : 0);
    SetWidth(settings::StoredWindowSize(ini.ReadInteger("FORM", "Width", 400), 400));
    SetHeight(settings::StoredWindowSize(ini.ReadInteger("FORM", "Height", 600), 600));
}

void TForm8::WriteSettings()
{
    // Settings that cannot be written are reported; the editor closes all the same.
    const AnsiString path = SettingsPath();
    AnsiString reason;
    if (!archive::TryReplaceOwnFile(
            path,
            [&] {
                TMemIniFile ini(path);
                ini.WriteString("AUTOR", "Name", Edit2->Text());
                ini.WriteString("AUTOR", "e-mail", Edit3->Text());
                ini.WriteString("TEXT", "Name", Memo1->Font()->Name());
                ini.WriteString("TEXT", "Size", IntToStr(Memo1->Font()->Size()));
                const TRect bounds = NormalBounds(this);
                ini.WriteString("FORM", "Width", IntToStr(bounds.right - bounds.left));
                ini.WriteString("FORM", "Height", IntToStr(bounds.bottom - bounds.top));
                ini.UpdateFile();
            },
            reason))
        Notify("Не удалось сохранить настройки редактора в файл \"" + path + "\": " + reason);
}

void TForm8::FormCloseQuery(TObject*, bool& CanClose)
{
    // The text stays in the editor for its next showing; only a page written from it saves it.
    if (Memo1->Modified() && !Memo1->Text().empty()) {
        // Asked on the main window's close too: the editor comes in front, so that the user sees
        // the text the question is about and, keeping it, goes on in the editor; never while a
        // dialog of the program holds it disabled (the dialog stays in front).
        if (Visible() && HandleAllocated() && IsWindowEnabled(Handle()) && CanFocus()) {
            BringToFront();
            SetFocus();
        }
        CanClose = Confirm("Текст статьи не сохранён.\nЗакрыть редактор?", "Внимание!!!");
    }
}

void TForm8::FormClose(TObject*, TCloseAction&) { WriteSettings(); }

void TForm8::FormCanResize(TObject*, int& NewWidth, int&, bool&)
{
    Edit1->SetWidth(NewWidth - 104);
    Edit2->SetWidth(NewWidth - 47);
    Edit3->SetWidth(NewWidth - 45);
    Edit4->SetWidth(NewWidth - 75);
}

AnsiString TForm8::PageFileName()
{
    const AnsiString typed = Edit4->Text();
    const bool withExtension = typed.size() > 5 && AnsiSameText(typed.substr(typed.size() - 5), ".html");
    return withExtension ? typed : typed + ".html";
}

void TForm8::N1Click(TObject*)
{
    const AnsiString file = PageFileName();
    const AnsiString name = file.substr(0, file.size() - 5);
    if (Edit1->Text().empty() || Memo1->Text().empty() || Edit4->Text().empty()) {
        Notify("Обязательные поля не введены");
        return;
    }
    // The page is written below FILES\ only, and never over an existing one.
    if (!InsideArchive(name)) {
        Notify("Недопустимое имя файла: страница сохраняется только в папке FILES");
        return;
    }
    const AnsiString device = archive::DeviceNameIn(name);
    if (!device.empty()) {
        Notify("Имя \"" + device + "\" занято устройством системы: выберите для страницы другое имя файла");
        return;
    }
    const AnsiString path = archive::AppPath("FILES\\" + file);
    if (FileExists(path)) {
        Notify("Статья с таким именем уже существует");
        return;
    }
    Memo2->Lines()->SetText(ArticlePage(Edit1->Text(), Memo1->Text(), Edit2->Text(), Edit3->Text()));
    Memo2->Lines()->SaveToFile(path);
    WrittenTitle = Edit1->Text();
    WrittenFile = file;
    Memo1->SetModified(false);
    WriteSettings();
    // The tree's menu offers "Выбрать" for the new page.
    if (ID_Vellorn)
        ID_Vellorn->PendingPlaceArticle = true;
    Close();
}

void TForm8::N2Click(TObject*) { Close(); }

void TForm8::N3Click(TObject*)
{
    if (!FontDialog1->Execute())
        return;
    Memo1->Font()->SetName(FontDialog1->Font()->Name());
    Memo1->Font()->SetSize(FontDialog1->Font()->Size());
    Memo1->Font()->SetStyle(FontDialog1->Font()->Style());
}

TCustomEdit* TForm8::EditingTarget()
{
    auto* focused = dynamic_cast<TCustomEdit*>(ActiveControl());
    return focused ? focused : Memo1;
}

void TForm8::N8Click(TObject*) { EditingTarget()->Undo(); }
void TForm8::N10Click(TObject*) { EditingTarget()->CutToClipboard(); }
void TForm8::N9Click(TObject*) { EditingTarget()->CopyToClipboard(); }
void TForm8::N12Click(TObject*) { EditingTarget()->PasteFromClipboard(); }
void TForm8::N13Click(TObject*) { EditingTarget()->SelectAll(); }

void TForm8::N4Click(TObject*)
{
    CentreOn(Form14, this);
    Form14->ShowModal();
}
