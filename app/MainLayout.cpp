// The main window's layout: every component with its name, captions, hints, shortcuts, images and
// events, as the form was designed.
#include "Main.h"
#include "MainBrowse.h"
#include "MainSession.h"
#include "MainTreeMap.h"

#include <ole2.h>

#include <algorithm>

TID_Vellorn* ID_Vellorn = nullptr;

namespace {

// The address box's width as the window was designed; a narrower window narrows it.
constexpr int AddressWidth = 640;

// Binds a handler of the main window to an event member.
template <class... Args>
auto Bind(TID_Vellorn* Form, void (TID_Vellorn::*Handler)(Args...))
{
    return [Form, Handler](Args... args) { (Form->*Handler)(std::forward<Args>(args)...); };
}

} // namespace

TID_Vellorn::TID_Vellorn(TComponent* AOwner) : TForm(AOwner)
{
    ID_Vellorn = this;
    BuildLayout();
    OnCreate = Bind(this, &TID_Vellorn::FormCreate);
    OnShow = Bind(this, &TID_Vellorn::FormShow);
    OnCloseQuery = Bind(this, &TID_Vellorn::FormCloseQuery);
    OnClose = Bind(this, &TID_Vellorn::FormClose);
    // The window's components build during the inherited construction (FormCreate runs from
    // AfterConstruction); OLE serves the browser view.
    OleInitialize(nullptr);
}

TID_Vellorn::~TID_Vellorn()
{
    if (ID_Vellorn == this)
        ID_Vellorn = nullptr;
    OleUninitialize();
}

void TID_Vellorn::CreateWnd()
{
    inherited::CreateWnd();
    Realign();
}

TMenuItem* TID_Vellorn::NewItem(TMenuItem* Parent, const char* Name, const AnsiString& Caption, TShortCut ShortCut,
                                int ImageIndex)
{
    auto* item = Create<TMenuItem>(this);
    item->SetName(Name);
    item->SetCaption(Caption);
    if (ShortCut)
        item->SetShortCut(ShortCut);
    if (ImageIndex >= 0)
        item->SetImageIndex(ImageIndex);
    Parent->Add(item);
    return item;
}

TToolButton* TID_Vellorn::NewButton(TToolBar* Bar, const char* Name, const AnsiString& Caption,
                                    const AnsiString& Hint, int ImageIndex, TToolButtonStyle Style)
{
    auto* b = Create<TToolButton>(this);
    b->SetName(Name);
    b->SetStyle(Style);
    if (Style == tbsSeparator)
        b->SetWidth(8);
    b->SetCaption(Caption);
    b->SetHint(Hint);
    b->SetImageIndex(ImageIndex);
    b->SetParent(Bar);
    return b;
}

void TID_Vellorn::LoadImages()
{
    ImageList1 = Create<TImageList>(this);
    ImageList1->SetName("ImageList1");
    TBitmap strip;
    strip.LoadFromResourceName(GetModuleHandleA(nullptr), "IMAGELIST1");
    ImageList1->AddMasked(&strip, clFuchsia);
}

void TID_Vellorn::BuildLayout()
{
    SetName("ID_Vellorn");
    SetCaption("Vellorn");
    SetBounds(0, 0, 960, 680);
    SetPosition(poScreenCenter);
    SetShowHint(true);

    try {
        LoadImages();
    } catch (const Exception&) {
        // A program without its image resource (a test build) shows no pictures.
    }

    sSkinManager1 = Create<TsSkinManager>(this);
    sSkinManager1->SetName("sSkinManager1");
    sSkinProvider1 = Create<TsSkinProvider>(this);
    sSkinProvider1->SetName("sSkinProvider1");
    sHintManager1 = Create<TsHintManager>(this);
    sHintManager1->SetName("sHintManager1");
    sHintManager1->SetPredefinitions(shTransparent);

    BuildMenus();
    BuildTimersAndDialogs();
    BuildPanels();
    BuildToolBars();
}

void TID_Vellorn::BuildMenus()
{
    MainMenu1 = Create<TMainMenu>(this);
    MainMenu1->SetName("MainMenu1");
    TMenuItem* root = MainMenu1->Items();

    N1 = NewItem(root, "N1", "Файл");
    N3 = NewItem(N1, "N3", "Сохранить дерево", ShortCut('S', scCtrl), 22);
    N13 = NewItem(N1, "N13", "Загрузить дерево", ShortCut('L', scCtrl), 1);
    N2 = NewItem(N1, "N2", "-");
    N4 = NewItem(N1, "N4", "Очистить дерево статей");
    N8 = NewItem(N1, "N8", "-");
    N6 = NewItem(N1, "N6", "Выход");

    N7 = NewItem(root, "N7", "Правка");
    N15 = NewItem(N7, "N15", "Переименовать", ShortCut(VK_F2, 0));
    N30 = NewItem(N7, "N30", "Добавить ");
    N9 = NewItem(N30, "N9", "Категория", ShortCut(VK_INSERT, scShift), 0);
    N10 = NewItem(N30, "N10", "Подкатегория", ShortCut(VK_INSERT, scCtrl), 0);
    N80 = NewItem(N30, "N80", "Статья", ShortCut(VK_INSERT, 0), 2);
    N31 = NewItem(N30, "N31", "Ссылка", 0, 39);
    Flash1 = NewItem(N30, "Flash1", "Flash мультик", 0, 38);
    N12 = NewItem(N7, "N12", "Удалить", ShortCut(VK_DELETE, scCtrl));
    N16 = NewItem(N7, "N16", "-");
    N74 = NewItem(N7, "N74", "Примечание");
    N74->SetEnabled(false);
    N75 = NewItem(N74, "N75", "Добавить заметки");
    N76 = NewItem(N74, "N76", "Убрать примечание", 0, 7);
    N76->SetEnabled(false);
    N77 = NewItem(N74, "N77", "-");
    N78 = NewItem(N74, "N78", "Сохранить", 0, 22);
    N78->SetEnabled(false);
    N79 = NewItem(N74, "N79", "Загрузить", 0, 1);
    N11 = NewItem(N7, "N11", "Отметить статью как");
    N11->SetEnabled(false);
    N42 = NewItem(N11, "N42", "Избранная", 0, 35);
    N55 = NewItem(N11, "N55", "Новая", 0, 2);
    N56 = NewItem(N11, "N56", "Прочитанная", 0, 8);
    N57 = NewItem(N11, "N57", "Непрочитанная", 0, 36);
    for (TMenuItem* m : {N42, N55, N56, N57})
        m->SetRadioItem(true);
    N18 = NewItem(N7, "N18", "-");
    N17 = NewItem(N7, "N17", "Свойства");

    N36 = NewItem(root, "N36", "Вид");
    N92 = NewItem(N36, "N92", "Развернуть дерево");
    N93 = NewItem(N36, "N93", "Свернуть дерево");
    N37 = NewItem(N36, "N37", "-");
    N87 = NewItem(N36, "N87", "Панель навигации");
    N89 = NewItem(N36, "N89", "Адресная строка");
    N90 = NewItem(N36, "N90", "Дерево статей");
    N39 = NewItem(N36, "N39", "-");
    N5 = NewItem(N36, "N5", "Интерфейс");

    N44 = NewItem(root, "N44", "Поиск");
    N19 = NewItem(N44, "N19", "Поиск статей", ShortCut(VK_F1, scCtrl), 5);
    N20 = NewItem(N44, "N20", "Искать по тексту", ShortCut('F', scCtrl), 5);

    N21 = NewItem(root, "N21", "Браузер");
    N22 = NewItem(N21, "N22", "Пустая страница");
    N45 = NewItem(N21, "N45", "-");
    N23 = NewItem(N21, "N23", "Сохранить", 0, 20);
    N24 = NewItem(N21, "N24", "Печать", 0, 3);
    N14 = NewItem(N21, "N14", "Исходный кода", 0, 11);
    N46 = NewItem(N21, "N46", "-");
    SetBr = NewItem(N21, "SetBr", "Настройки браузера");
    N47 = NewItem(N21, "N47", "-");
    N26 = NewItem(N21, "N26", "Назад ", 0, 9);
    N26->SetEnabled(false);
    N27 = NewItem(N21, "N27", "Вперёд", 0, 4);
    N27->SetEnabled(false);
    N48 = NewItem(N21, "N48", "-");
    N28 = NewItem(N21, "N28", "Остановить загрузку", 0, 7);
    N29 = NewItem(N21, "N29", "Обновить", 0, 30);

    N49 = NewItem(root, "N49", "Сервис");
    N62 = NewItem(N49, "N62", "Создать статью", ShortCut(VK_F5, 0), 2);
    Sett = NewItem(N49, "Sett", "Настройки");

    N50 = NewItem(root, "N50", "Справка");
    N32 = NewItem(N50, "N32", "Перейти на сайт проекта");
    N34 = NewItem(N50, "N34", "Сообщить об ошибке");
    N70 = NewItem(N50, "N70", "Отправить свою статью");
    N33 = NewItem(N50, "N33", "Отзывы и предложения");
    N51 = NewItem(N50, "N51", "-");
    N35 = NewItem(N50, "N35", "О программе", 0, 37);
    SetMenu(MainMenu1);

    PopupMenu1 = Create<TPopupMenu>(this);
    PopupMenu1->SetName("PopupMenu1");
    TMenuItem* pm = PopupMenu1->Items();
    N25 = NewItem(pm, "N25", "Переименовать", ShortCut(VK_F2, 0));
    N52 = NewItem(pm, "N52", "Добавить");
    N40 = NewItem(N52, "N40", "Категория", 0, 0);
    N41 = NewItem(N52, "N41", "Подкатегория", 0, 0);
    N73 = NewItem(N52, "N73", "Статья", 0, 2);
    N94 = NewItem(N52, "N94", "Ссылка", 0, 39);
    Flash2 = NewItem(N52, "Flash2", "Flash мультик", 0, 38);
    N43 = NewItem(pm, "N43", "Удалить");
    N53 = NewItem(pm, "N53", "-");
    N81 = NewItem(pm, "N81", "Примечание");
    N81->SetEnabled(false);
    N82 = NewItem(N81, "N82", "Добавить заметки");
    N83 = NewItem(N81, "N83", "Убрать примечание", 0, 7);
    N83->SetEnabled(false);
    N84 = NewItem(N81, "N84", "-");
    N85 = NewItem(N81, "N85", "Сохранить", 0, 22);
    N85->SetEnabled(false);
    N86 = NewItem(N81, "N86", "Загрузить", 0, 1);
    N64 = NewItem(pm, "N64", "Отметить статью как");
    N64->SetEnabled(false);
    N65 = NewItem(N64, "N65", "Избранная", 0, 35);
    N66 = NewItem(N64, "N66", "Новая", 0, 2);
    N67 = NewItem(N64, "N67", "Прочитанная", 0, 8);
    N68 = NewItem(N64, "N68", "Непрочитанная", 0, 36);
    N54 = NewItem(pm, "N54", "-");
    N96 = NewItem(pm, "N96", "Свойства");

    PopupMenu2 = Create<TPopupMenu>(this);
    PopupMenu2->SetName("PopupMenu2");
    PopupMenu2->SetImages(ImageList1);
    PopupMenu4 = Create<TPopupMenu>(this);
    PopupMenu4->SetName("PopupMenu4");
    PopupMenu4->SetImages(ImageList1);
    PopupMenu5 = Create<TPopupMenu>(this);
    PopupMenu5->SetName("PopupMenu5");

    PopupMenu8 = Create<TPopupMenu>(this);
    PopupMenu8->SetName("PopupMenu8");
    N58 = NewItem(PopupMenu8->Items(), "N58", "Избранные", 0, 35);
    N59 = NewItem(PopupMenu8->Items(), "N59", "Новые", 0, 2);
    N60 = NewItem(PopupMenu8->Items(), "N60", "Прочитанные", 0, 8);
    N61 = NewItem(PopupMenu8->Items(), "N61", "Непрочитанные", 0, 36);
    N63 = NewItem(PopupMenu8->Items(), "N63", "-");
    Flash3 = NewItem(PopupMenu8->Items(), "Flash3", "Flash мультики", 0, 38);
    N38 = NewItem(PopupMenu8->Items(), "N38", "ссылки", 0, 39);

    PopupMenu9 = Create<TPopupMenu>(this);
    PopupMenu9->SetName("PopupMenu9");
    N72 = NewItem(PopupMenu9->Items(), "N72", "Выбрать");

    PopupMenu10 = Create<TPopupMenu>(this);
    PopupMenu10->SetName("PopupMenu10");
    N88 = NewItem(PopupMenu10->Items(), "N88", "Закрыть");

    // The menus show the pictures of their items from the image list, drawn by the menus.
    for (TMenu* menu : std::initializer_list<TMenu*>{MainMenu1, PopupMenu1, PopupMenu2, PopupMenu4, PopupMenu8,
                                                     PopupMenu9}) {
        menu->SetImages(ImageList1);
        menu->SetOwnerDraw(true);
    }

    // Menu events.
    const std::pair<TMenuItem*, void (TID_Vellorn::*)(TObject*)> clicks[] = {
        {N3, &TID_Vellorn::N3Click},       {N13, &TID_Vellorn::N13Click},   {N4, &TID_Vellorn::N4Click},
        {N6, &TID_Vellorn::N6Click},       {N7, &TID_Vellorn::N7Click},     {N15, &TID_Vellorn::N15Click},
        {N9, &TID_Vellorn::N9Click},       {N10, &TID_Vellorn::N10Click},   {N80, &TID_Vellorn::N80Click},
        {N31, &TID_Vellorn::N31Click},     {Flash1, &TID_Vellorn::Flash1Click}, {N12, &TID_Vellorn::N12Click},
        {N75, &TID_Vellorn::N75Click},     {N76, &TID_Vellorn::N76Click},   {N78, &TID_Vellorn::N78Click},
        {N79, &TID_Vellorn::N79Click},     {N42, &TID_Vellorn::N42Click},   {N55, &TID_Vellorn::N55Click},
        {N56, &TID_Vellorn::N56Click},     {N57, &TID_Vellorn::N57Click},   {N17, &TID_Vellorn::N17Click},
        {N92, &TID_Vellorn::N92Click},     {N93, &TID_Vellorn::N93Click},   {N87, &TID_Vellorn::N87Click},
        {N89, &TID_Vellorn::N89Click},     {N90, &TID_Vellorn::N90Click},   {N5, &TID_Vellorn::N5Click},
        {N19, &TID_Vellorn::N19Click},     {N20, &TID_Vellorn::N20Click},   {N22, &TID_Vellorn::N22Click},
        {N23, &TID_Vellorn::N23Click},     {N24, &TID_Vellorn::N24Click},   {N14, &TID_Vellorn::N14Click},
        {SetBr, &TID_Vellorn::SetBrClick}, {N26, &TID_Vellorn::N26Click},   {N27, &TID_Vellorn::N27Click},
        {N28, &TID_Vellorn::N28Click},     {N29, &TID_Vellorn::N29Click},   {N62, &TID_Vellorn::N62Click},
        {Sett, &TID_Vellorn::SettClick},   {N32, &TID_Vellorn::N32Click},   {N34, &TID_Vellorn::N34Click},
        {N70, &TID_Vellorn::N70Click},     {N33, &TID_Vellorn::N33Click},   {N35, &TID_Vellorn::N35Click},
        {N25, &TID_Vellorn::N25Click},     {N40, &TID_Vellorn::N40Click},   {N41, &TID_Vellorn::N41Click},
        {N73, &TID_Vellorn::N73Click},     {N94, &TID_Vellorn::N94Click},   {Flash2, &TID_Vellorn::Flash2Click},
        {N43, &TID_Vellorn::N43Click},     {N82, &TID_Vellorn::N82Click},   {N83, &TID_Vellorn::N83Click},
        {N85, &TID_Vellorn::N85Click},     {N86, &TID_Vellorn::N86Click},   {N65, &TID_Vellorn::N65Click},
        {N66, &TID_Vellorn::N66Click},     {N67, &TID_Vellorn::N67Click},   {N68, &TID_Vellorn::N68Click},
        {N96, &TID_Vellorn::N96Click},     {N58, &TID_Vellorn::N58Click},   {N59, &TID_Vellorn::N59Click},
        {N60, &TID_Vellorn::N60Click},     {N61, &TID_Vellorn::N61Click},   {Flash3, &TID_Vellorn::Flash3Click},
        {N38, &TID_Vellorn::N38Click},     {N72, &TID_Vellorn::N72Click},   {N88, &TID_Vellorn::N88Click},
    };
    for (const auto& [item, handler] : clicks)
        item->OnClick = Bind(this, handler);
}

void TID_Vellorn::BuildTimersAndDialogs()
{
    const struct {
        TTimer** Field;
        const char* Name;
        Cardinal Interval;
        bool Enabled;
        void (TID_Vellorn::*Handler)(TObject*);
    } timers[] = {
        {&Timer1, "Timer1", 100, true, &TID_Vellorn::Timer1Timer},
        {&Timer2, "Timer2", 100, true, &TID_Vellorn::Timer2Timer},
        {&Timer3, "Timer3", 500, true, &TID_Vellorn::Timer3Timer},
        {&Timer4, "Timer4", 200, false, &TID_Vellorn::Timer4Timer},
        {&Timer5, "Timer5", 500, true, &TID_Vellorn::Timer5Timer},
    };
    for (const auto& t : timers) {
        auto* timer = Create<TTimer>(this);
        timer->SetName(t.Name);
        timer->SetEnabled(false);
        timer->SetInterval(t.Interval);
        timer->OnTimer = Bind(this, t.Handler);
        timer->SetEnabled(t.Enabled);
        *t.Field = timer;
    }

    SaveDialog2 = Create<TSaveDialog>(this);
    SaveDialog2->SetName("SaveDialog2");
    SaveDialog2->Filter = "Резервные копии дерева (*.vlt)|*.vlt";
    OpenDialog1 = Create<TOpenDialog>(this);
    OpenDialog1->SetName("OpenDialog1");
    OpenDialog1->Filter = "Резевные копии деревьев(*.vlt)|*.vlt";
    OpenDialog2 = Create<TOpenDialog>(this);
    OpenDialog2->SetName("OpenDialog2");
    OpenDialog2->Filter = "Web-страницы (*.html;*.html;*.shtml;*.shtm;*.mht;*.xml)|*.html;*.htm;*.php,*.shtml;*.shtm;"
                          "*.mht;*.xml|Acrobat Reader (*.pdf)|*.pdf";
    OpenDialog4 = Create<TOpenDialog>(this);
    OpenDialog4->SetName("OpenDialog4");
    OpenDialog4->Filter = "Текстовые документы (*.txt)|*.txt";

    TrayIcon1 = Create<TTrayIcon>(this);
    TrayIcon1->SetName("TrayIcon1");
    TrayIcon1->SetIcons(ImageList1);
    TrayIcon1->SetIconIndex(37);
    TrayIcon1->SetPopupMenu(PopupMenu10);
    TrayIcon1->RestoreOn = imDoubleClick;
    TrayIcon1->PopupMenuOn = imRightClickUp;
    TrayIcon1->HideTaskbarButton = true;
    TrayIcon1->SetHint("Vellorn");
    TrayIcon1->SetVisible(true);
}

void TID_Vellorn::ToolBar2Resize(TObject*)
{
    // The bar lays the label, the box and the button out one after the other from its left edge
    // (once its window exists; the width is set before then too). At most the designed width, at
    // least room for a few characters beside the arrow.
    const int room = ToolBar2->ClientWidth() - sLabelFX1->Width() - ToolButton10->Width();
    ComboBox1->SetWidth(std::clamp(room, 60, AddressWidth));
}

void TID_Vellorn::BuildToolBars()
{
    // Navigation bar: back and forward through the browser's history, stop, refresh, print,
    // page source, save page; the about box at its end.
    ToolBar1 = Create<TsToolBar>(this);
    ToolBar1->SetName("ToolBar1");
    ToolBar1->SetAlign(alTop);
    ToolBar1->SetImages(ImageList1);
    ToolBar1->SetFlat(true);
    ToolBar1->SetList(true);
    ToolBar1->SetShowCaptions(true);
    ToolBar1->SetButtonHeight(22);
    ToolBar1->SetHeight(26);
    ToolBar1->SetShowHint(true);
    ToolBar1->SetParent(this);
    // Back and forward drop down the page history menus beside their own click.
    ToolButton1 = NewButton(ToolBar1, "ToolButton1", "Назад", "Назад", 9, tbsDropDown);
    ToolButton1->SetEnabled(false);
    ToolButton1->SetDropdownMenu(PopupMenu2);
    ToolButton2 = NewButton(ToolBar1, "ToolButton2", "", "Вперёд", 4, tbsDropDown);
    ToolButton2->SetDropdownMenu(PopupMenu4);
    ToolButton3 = NewButton(ToolBar1, "ToolButton3", "", "Остановить загрузку", 7);
    ToolButton4 = NewButton(ToolBar1, "ToolButton4", "Обновить", "Обновить", 30);
    ToolButton9 = NewButton(ToolBar1, "ToolButton9", "", "", -1, tbsSeparator);
    ToolButton5 = NewButton(ToolBar1, "ToolButton5", "", "Печать страницы", 3);
    ToolButton6 = NewButton(ToolBar1, "ToolButton6", "", "Исходный код", 11);
    ToolButton7 = NewButton(ToolBar1, "ToolButton7", "Сохранить", "Сохранить страницу", 20);
    ToolButton7->SetMenuItem(N23);
    ToolButton14 = NewButton(ToolBar1, "ToolButton14", "", "", -1, tbsSeparator);
    ToolButton15 = NewButton(ToolBar1, "ToolButton15", "", "О программе", 37);

    // Address bar.
    ToolBar2 = Create<TsToolBar>(this);
    ToolBar2->SetName("ToolBar2");
    ToolBar2->SetAlign(alTop);
    ToolBar2->SetTop(26);
    ToolBar2->SetImages(ImageList1);
    ToolBar2->SetFlat(true);
    ToolBar2->SetList(true);
    ToolBar2->SetShowCaptions(true);
    ToolBar2->SetButtonHeight(22);
    ToolBar2->SetHeight(26);
    ToolBar2->SetShowHint(true);
    ToolBar2->SetParent(this);
    sLabelFX1 = Create<TsLabelFX>(this);
    sLabelFX1->SetName("sLabelFX1");
    sLabelFX1->SetCaption("Адрес");
    sLabelFX1->SetAutoSize(false);
    sLabelFX1->SetAlignment(taCenter);
    sLabelFX1->SetLayout(tlCenter);
    sLabelFX1->SetWidth(48);
    sLabelFX1->SetParent(ToolBar2);
    ComboBox1 = Create<TsComboBox>(this);
    ComboBox1->SetName("ComboBox1");
    ComboBox1->SetWidth(AddressWidth);
    ComboBox1->SetDropDownCount(16);
    ComboBox1->SetParent(ToolBar2);
    ToolButton10 = NewButton(ToolBar2, "ToolButton10", "Переход", "Переход", 4);
    ToolBar2->OnResize = Bind(this, &TID_Vellorn::ToolBar2Resize);

    // Tree panel's own bar: save and load trees, search, filters, hide the panel.
    sToolBar1 = Create<TsToolBar>(this);
    sToolBar1->SetName("sToolBar1");
    sToolBar1->SetAlign(alTop);
    sToolBar1->SetImages(ImageList1);
    sToolBar1->SetFlat(true);
    sToolBar1->SetList(true);
    sToolBar1->SetShowCaptions(true);
    sToolBar1->SetButtonHeight(22);
    sToolBar1->SetHeight(26);
    sToolBar1->SetShowHint(true);
    sToolBar1->SetParent(Panel2);
    ToolButton11 = NewButton(sToolBar1, "ToolButton11", "", "Сохранить дерево", 22);
    ToolButton12 = NewButton(sToolBar1, "ToolButton12", "", "Загрузить дерево", 1);
    ToolButton18 = NewButton(sToolBar1, "ToolButton18", "", "", -1, tbsSeparator);
    ToolButton8 = NewButton(sToolBar1, "ToolButton8", "", "Поиск статей", 5);
    ToolButton16 = NewButton(sToolBar1, "ToolButton16", "Показать", "Показать", 35, tbsDropDown);
    ToolButton16->SetDropdownMenu(PopupMenu8);
    ToolButton21 = NewButton(sToolBar1, "ToolButton21", "", "", -1, tbsSeparator);
    ToolButton13 = NewButton(sToolBar1, "ToolButton13", "", "Скрыть дерево статей", 7);

    // Note bar.
    sToolBar2 = Create<TsToolBar>(this);
    sToolBar2->SetName("sToolBar2");
    sToolBar2->SetAlign(alTop);
    sToolBar2->SetImages(ImageList1);
    sToolBar2->SetFlat(true);
    sToolBar2->SetList(true);
    sToolBar2->SetButtonHeight(22);
    sToolBar2->SetHeight(26);
    sToolBar2->SetShowHint(true);
    sToolBar2->SetParent(Panel5);
    // Tab reaches the note's buttons: the arrows choose one, Enter or Space presses it.
    sToolBar2->SetTabStop(true);
    sToolBar2->OnEnter = Bind(this, &TID_Vellorn::sToolBar2Enter);
    sLabelFX2 = Create<TsLabelFX>(this);
    sLabelFX2->SetName("sLabelFX2");
    sLabelFX2->SetCaption("Примечание:");
    sLabelFX2->SetAutoSize(false);
    sLabelFX2->SetLayout(tlCenter);
    sLabelFX2->SetWidth(92);
    sLabelFX2->SetParent(sToolBar2);
    ToolButton17 = NewButton(sToolBar2, "ToolButton17", "", "Сохранить примечание", 22);
    ToolButton17->SetEnabled(false); // until an entry is opened
    ToolButton19 = NewButton(sToolBar2, "ToolButton19", "", "Загрузить из файла", 1);
    ToolButton20 = NewButton(sToolBar2, "ToolButton20", "", "Убрать примечание", 7);
    // The tree panel and the note panel come before their bars so that the bars can be placed on
    // them; put the bars at the top of their parents.
    sToolBar1->SetTop(0);
    sToolBar2->SetTop(0);

    const std::pair<TToolButton*, void (TID_Vellorn::*)(TObject*)> clicks[] = {
        {ToolButton1, &TID_Vellorn::ToolButton1Click},   {ToolButton2, &TID_Vellorn::ToolButton2Click},
        {ToolButton3, &TID_Vellorn::ToolButton3Click},   {ToolButton4, &TID_Vellorn::ToolButton4Click},
        {ToolButton5, &TID_Vellorn::ToolButton5Click},   {ToolButton6, &TID_Vellorn::ToolButton6Click},
        {ToolButton15, &TID_Vellorn::ToolButton15Click}, {ToolButton10, &TID_Vellorn::ToolButton10Click},
        {ToolButton11, &TID_Vellorn::ToolButton11Click}, {ToolButton12, &TID_Vellorn::ToolButton12Click},
        {ToolButton8, &TID_Vellorn::N19Click},           {ToolButton16, &TID_Vellorn::ToolButton16Click},
        {ToolButton13, &TID_Vellorn::ToolButton13Click}, {ToolButton17, &TID_Vellorn::ToolButton17Click},
        {ToolButton19, &TID_Vellorn::ToolButton19Click}, {ToolButton20, &TID_Vellorn::ToolButton20Click},
    };
    for (const auto& [button, handler] : clicks)
        button->OnClick = Bind(this, handler);
    ComboBox1->OnSelect = Bind(this, &TID_Vellorn::ComboBox1Select);
    ComboBox1->OnKeyPress = Bind(this, &TID_Vellorn::ComboBox1KeyPress);
    ComboBox1->OnKeyDown = Bind(this, &TID_Vellorn::ComboBox1KeyDown);
}

void TID_Vellorn::BuildPanels()
{
    // Status bar with the maker line, the counts and the browser's status text.
    StatusBar1 = Create<TsStatusBar>(this);
    StatusBar1->SetName("StatusBar1");
    StatusBar1->SetAlign(alBottom);
    StatusBar1->SetHeight(20);
    for (int width : {200, 200, 50})
        StatusBar1->Panels()->Add()->SetWidth(width);
    StatusBar1->Panels()->Items(0)->SetText("Vellorn");
    StatusBar1->SetParent(this);
    ProgressBar1 = Create<TProgressBar>(this);
    ProgressBar1->SetName("ProgressBar1");
    ProgressBar1->SetVisible(false);
    ProgressBar1->SetBounds(0, 2, 200, 16);
    ProgressBar1->SetParent(this);

    // Tree panel on the left.
    Panel2 = Create<TsPanel>(this);
    Panel2->SetName("Panel2");
    Panel2->SetAlign(alLeft);
    Panel2->SetWidth(260);
    Panel2->SetBevelOuter(bvNone);
    Panel2->SetCaption("");
    Panel2->SetParent(this);
    PageControl1 = Create<TsPageControl>(this);
    PageControl1->SetName("PageControl1");
    PageControl1->SetAlign(alClient);
    PageControl1->SetTop(26);
    PageControl1->SetParent(Panel2);
    TabSheet1 = Create<TsTabSheet>(this);
    TabSheet1->SetName("TabSheet1");
    TabSheet1->SetCaption("Статьи");
    TabSheet1->SetPageControl(PageControl1);
    TabSheet2 = Create<TsTabSheet>(this);
    TabSheet2->SetName("TabSheet2");
    TabSheet2->SetCaption("Поиск");
    TabSheet2->SetPageControl(PageControl1);
    PageControl1->SetActivePageIndex(0);

    TreeView1 = Create<TsTreeView>(this);
    TreeView1->SetName("TreeView1");
    TreeView1->SetParent(TabSheet1);
    TreeView1->SetBounds(0, 0, 252, 560);
    TreeView1->SetAlign(alClient);
    TreeView1->SetBorderStyle(bsNone);
    TreeView1->SetChangeDelay(2);
    TreeView1->SetCtl3D(true);
    TreeView1->SetParentFont(false);
    TreeView1->SetHotTrack(true);
    TreeView1->SetImages(ImageList1);
    TreeView1->SetStateImages(ImageList1);
    TreeView1->SetIndent(19);
    TreeView1->SetPopupMenu(PopupMenu1);
    TreeView1->SetRightClickSelect(true);
    TreeView1->SetRowSelect(true);
    TreeView1->SetTabOrder(0);
    // The tree has the focus when the window first shows (the tab strip would take the first
    // arrow keys).
    SetActiveControl(TreeView1);
    TreeView1->BoundLabel()->SetCaption("TreeView1");
    TreeView1->OnDblClick = Bind(this, &TID_Vellorn::TreeView1DblClick);
    TreeView1->OnKeyPress = Bind(this, &TID_Vellorn::TreeView1KeyPress);
    TreeView1->OnEdited = Bind(this, &TID_Vellorn::TreeView1Edited);
    TreeView1->OnExpanded = Bind(this, &TID_Vellorn::TreeView1Expanded);
    TreeView1->OnCollapsed = Bind(this, &TID_Vellorn::TreeView1Collapsed);
    TreeView1->OnDeletion = Bind(this, &TID_Vellorn::TreeView1Deletion);
    TreeView1->OnMouseDown = Bind(this, &TID_Vellorn::TreeView1MouseDown);
    TreeView1->OnMouseMove = Bind(this, &TID_Vellorn::TreeView1MouseMove);
    TreeView1->OnEditing = Bind(this, &TID_Vellorn::TreeView1Editing);
    TreeView1->OnDragOver = Bind(this, &TID_Vellorn::TreeView1DragOver);
    TreeView1->OnDragDrop = Bind(this, &TID_Vellorn::TreeView1DragDrop);
    TreeView1->OnClick = Bind(this, &TID_Vellorn::TreeView1Click);
    TreeView1->OnContextPopup = Bind(this, &TID_Vellorn::TreeView1ContextPopup);

    TreeView2 = Create<TsTreeView>(this);
    TreeView2->SetName("TreeView2");
    TreeView2->SetParent(TabSheet2);
    TreeView2->SetAlign(alClient);
    TreeView2->SetBorderStyle(bsNone);
    TreeView2->SetHotTrack(true);
    TreeView2->SetImages(ImageList1);
    TreeView2->SetReadOnly(true);
    TreeView2->SetRowSelect(true);
    TreeView2->SetShowRoot(false);
    TreeView2->SetShowLines(false);
    TreeView2->BoundLabel()->SetCaption("TreeView2");
    TreeView2->OnClick = Bind(this, &TID_Vellorn::TreeView2Click);
    TreeView2->OnDblClick = Bind(this, &TID_Vellorn::TreeView2DblClick);
    TreeView2->OnKeyPress = Bind(this, &TID_Vellorn::TreeView2KeyPress);
    TabSheet2->OnShow = Bind(this, &TID_Vellorn::TabSheet4Show);
    PageControl1->OnChange = Bind(this, &TID_Vellorn::PageControl1Change);

    Splitter1 = Create<TsSplitter>(this);
    Splitter1->SetName("Splitter1");
    Splitter1->SetAlign(alLeft);
    Splitter1->SetLeft(260);
    Splitter1->SetWidth(4);
    Splitter1->SetMinSize(60);
    Splitter1->SetParent(this);
    Splitter1->OnCanResize = Bind(this, &TID_Vellorn::Splitter1CanResize);

    // Browser view with the note panel below it.
    Panel4 = Create<TsPanel>(this);
    Panel4->SetName("Panel4");
    Panel4->SetAlign(alClient);
    Panel4->SetBevelOuter(bvNone);
    Panel4->SetCaption("");
    Panel4->SetParent(this);
    Panel5 = Create<TsPanel>(this);
    Panel5->SetName("Panel5");
    Panel5->SetVisible(false);
    Panel5->SetAlign(alBottom);
    Panel5->SetHeight(160);
    Panel5->SetBevelOuter(bvNone);
    Panel5->SetCaption("");
    Panel5->SetParent(Panel4);
    Splitter3 = Create<TsSplitter>(this);
    Splitter3->SetName("Splitter3");
    Splitter3->SetVisible(false);
    Splitter3->SetAlign(alBottom);
    Splitter3->SetHeight(4);
    Splitter3->SetParent(Panel4);
    auto* note = Create<TBoundedMemo>(this);
    note->MaxBytes = MaxNoteBytes;
    note->PasteRefusal = "Текст не вставлен в примечание: в нём слишком длинные строки, поле примечания не может их показать.";
    Memo1 = note;
    Memo1->SetName("Memo1");
    Memo1->SetAlign(alClient);
    Memo1->SetTop(26);
    Memo1->SetScrollBars(ssVertical);
    Memo1->SetMaxLength(static_cast<int>(MaxNoteBytes));
    Memo1->SetParent(Panel5);
    Memo1->OnChange = Bind(this, &TID_Vellorn::Memo1Change);
    Web = Create<TCppWebBrowser>(this);
    Web->SetName("Web");
    Web->SetAlign(alClient);
    Web->SetParent(Panel4);
    Web->OnStatusTextChange = Bind(this, &TID_Vellorn::WebStatusTextChange);
    Web->OnProgressChange = Bind(this, &TID_Vellorn::WebProgressChange);
    Web->OnCommandStateChange = Bind(this, &TID_Vellorn::WebCommandStateChange);
    Web->OnBeforeNavigate2 = Bind(this, &TID_Vellorn::WebBeforeNavigate2);
    Web->OnNavigateComplete2 = Bind(this, &TID_Vellorn::WebNavigateComplete2);

    // Property panel of an article: floats over the window, dragged by its background.
    Panel1 = Create<TsPanel>(this);
    Panel1->SetName("Panel1");
    Panel1->SetVisible(false);
    Panel1->SetBounds(208, 128, 385, 137);
    Panel1->SetBevelInner(bvRaised);
    Panel1->SetBevelOuter(bvLowered);
    Panel1->SetCaption("");
    Panel1->SetParent(this);
    Panel1->OnMouseDown = Bind(this, &TID_Vellorn::Panel1MouseDown);
    sLabel1 = Create<TsLabel>(this);
    sLabel1->SetName("sLabel1");
    sLabel1->SetCaption("Название:");
    sLabel1->SetBounds(12, 18, 60, 13);
    sLabel1->SetParent(Panel1);
    Edit1 = Create<TsEdit>(this);
    Edit1->SetName("Edit1");
    Edit1->SetBounds(80, 14, 290, 21);
    Edit1->SetParent(Panel1);
    Edit1->SetMaxLength(MaxTitleLength);
    sLabel2 = Create<TsLabel>(this);
    sLabel2->SetName("sLabel2");
    sLabel2->SetCaption("Файл:");
    sLabel2->SetBounds(12, 46, 60, 13);
    sLabel2->SetParent(Panel1);
    Edit2 = Create<TsEdit>(this);
    Edit2->SetName("Edit2");
    Edit2->SetBounds(80, 42, 206, 21);
    Edit2->SetParent(Panel1);
    Button1 = Create<TsButton>(this);
    Button1->SetName("Button1");
    Button1->SetCaption("Обзор...");
    Button1->SetBounds(294, 41, 76, 23);
    Button1->SetParent(Panel1);
    sLabel3 = Create<TsLabel>(this);
    sLabel3->SetName("sLabel3");
    sLabel3->SetCaption("Тип:");
    sLabel3->SetBounds(12, 74, 60, 13);
    sLabel3->SetParent(Panel1);
    ComboBoxEx2 = Create<TsComboBoxEx>(this);
    ComboBoxEx2->SetName("ComboBoxEx2");
    ComboBoxEx2->SetImages(ImageList1);
    ComboBoxEx2->SetBounds(80, 70, 160, 22);
    ComboBoxEx2->ItemsEx()->AddItem("Избранная", 35, 35);
    ComboBoxEx2->ItemsEx()->AddItem("Прочитанная", 8, 8);
    ComboBoxEx2->ItemsEx()->AddItem("Новая", 2, 2);
    ComboBoxEx2->ItemsEx()->AddItem("Непрочитанная", 12, 12);
    ComboBoxEx2->SetParent(Panel1);
    Button2 = Create<TsButton>(this);
    Button2->SetName("Button2");
    Button2->SetCaption("Применить");
    Button2->SetBounds(214, 104, 76, 23);
    Button2->SetParent(Panel1);
    Button3 = Create<TsButton>(this);
    Button3->SetName("Button3");
    Button3->SetCaption("Отмена");
    Button3->SetBounds(294, 104, 76, 23);
    Button3->SetParent(Panel1);
    // The panel's "Обзор..." browses, "Применить" applies, "Отмена" hides the panel.
    Button1->OnClick = Bind(this, &TID_Vellorn::Button3Click);
    Button2->OnClick = Bind(this, &TID_Vellorn::Button1Click);
    Button3->OnClick = Bind(this, &TID_Vellorn::Button2Click);
    UsePanelKeys(this);

    // Hidden lists: search scratch, back and forward page history.
    for (auto [field, name] : {std::pair{&ListBox1, "ListBox1"}, std::pair{&ListBox2, "ListBox2"},
                               std::pair{&ListBox3, "ListBox3"}}) {
        auto* list = Create<TListBox>(this);
        list->SetName(name);
        list->SetVisible(false);
        list->SetBounds(0, 0, 100, 60);
        list->SetParent(this);
        *field = list;
    }
}
