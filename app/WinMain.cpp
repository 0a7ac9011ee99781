// Program entry: the application object, the fifteen forms with the main window first, the
// message loop, the end of the process. Every error that reaches this level is shown in the
// application's error box.
#include <windows.h>
#include <ole2.h>

#include "Forms.h"
#include "MainSession.h"
#include "sDialogs.h"

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
#include "FormFLog.h"
#include "FormFlash.h"
#include "FormFlashO.h"

namespace {

// The application's message boxes, the library's boxes and its open form speak the program's
// language, and take the skin while one is active.
void UseSkinnedBoxes()
{
    sDialogs::Captions = {"Предупреждение", "Ошибка", "Информация", "Подтверждение", ""};
    sDialogs::ButtonCaptions = {"&Да",        "&Нет", "OK",           "Отмена",       "&Прервать", "&Повторить",
                                "&Пропустить", "&Все", "Н&ет для всех", "Д&а для всех", "&Справка"};
    sDialogs::OpenFormTexts = {.OpenTitle = "Открыть",
                               .SaveTitle = "Сохранить как",
                               .Folder = "Папка:",
                               .FileName = "Имя файла: ",
                               .FileType = "Тип файлов: ",
                               .Open = "Открыть",
                               .Save = "Сохранить",
                               .Cancel = "Отмена",
                               .Help = "Справка",
                               .ReadOnly = "Только чтение",
                               .Back = "Назад",
                               .Up = "Вверх на один уровень",
                               .NewFolder = "Создать папку",
                               .View = "Вид",
                               .List = "Список",
                               .Report = "Таблица",
                               .Icons = "Значки",
                               .SmallIcons = "Мелкие значки",
                               .Overwrite = "Файл уже существует. Заменить?",
                               .PathNotFound = "Путь не найден",
                               .FileNotFound = "Файл не найден",
                               .CreatePrompt = "Файл не найден. Создать?",
                               .Unreachable = "Путь к нему не записать в кодировке программы.",
                               .NameNotCarried = "Путь в кодировке программы не передаёт его имени.",
                               .DeviceName = "Это имя устройства, а не файла",
                               .Cannot = "Не удалось %s",
                               .Failure = "Не удалось %s. %s",
                               .CannotInto = "Не удалось %s \"%s\" в \"%s\"",
                               .IntoItself = "папку нельзя поместить в неё саму",
                               .AlreadyThere = "он уже в этой папке",
                               .DeleteAction = "удалить",
                               .CopyAction = "скопировать",
                               .MoveAction = "переместить",
                               .SendAction = "отправить",
                               .PasteAction = "вставить",
                               .RenameAction = "переименовать",
                               .MakeFolderAction = "создать папку",
                               .RenameTo = "переименовать \"%s\" в \"%s\"",
                               .MakeFolderNamed = "создать папку \"%s\"",
                               .SetAttributesOf = "изменить атрибуты \"%s\"",
                               .InFolder = "%s в \"%s\"",
                               .TooLarge = "\"%s\" слишком велик для буфера обмена",
                               .NowNamed = "Теперь он называется \"%s\".",
                               .NothingToPaste = "Нет вырезанных или скопированных файлов",
                               .ReadOnlyEntry = "Только для чтения: переименовать нельзя",
                               .InvalidChars = "Имя файла не может содержать знаки:\r\n\\ / : * ? \" < > |",
                               .NameTaken = "\"%s\" уже существует",
                               .CannotOpen = "Не удалось открыть \"%s\"",
                               .InvalidDrive = "Недопустимое имя диска",
                               .NoDisk = "В дисководе %s нет диска,\rили диск %s: не готов",
                               .SendToCaption = "Отправить в папку",
                               .SendToPrompt = "Путь к папке:",
                               .BrowseTitle = "Выберите папку",
                               .NotFoundReason = "Файл или папка не существует",
                               .DeniedReason = "Доступ запрещён",
                               .InUseReason = "Файл занят другой программой",
                               .ExistsReason = "Файл или папка с таким именем уже существует",
                               .SameReason = "Источник и цель совпадают",
                               .InsideReason = "Папка назначения находится внутри исходной",
                               .TooLongReason = "Слишком длинное имя или путь",
                               .InvalidNameReason = "Недопустимое имя",
                               .DiskFullReason = "Диск заполнен",
                               .CancelledReason = "Операция отменена",
                               .UnknownReason = "Неизвестная ошибка (код %d)",
                               .NameColumn = "Имя",
                               .SizeColumn = "Размер",
                               .TypeColumn = "Тип",
                               .ModifiedColumn = "Изменён",
                               .AttributesColumn = "Атрибуты",
                               .FolderType = "Папка с файлами",
                               .PlainFileType = "Файл",
                               .ExtensionType = "Файл \"%s\"",
                               .SizeKB = "%s КБ"};
    sDialogs::PictureLabelText = "Изображение:";
    sDialogs::NoPictureText = "(Нет)";
    sDialogs::PreviewText = "Просмотр";
    sDialogs::FontSizeText = "Размер должен быть числом от %d до %d.";
    Application->MessageBoxFunc = [](HWND, const AnsiString& Text, const AnsiString& Caption, UINT Flags) {
        return sMessageBox(Text, Caption, Flags);
    };
    // The error box tells every failure in the program's words, never in the runtime's English.
    Application->OnException = [](TObject*, Exception* E) {
        Application->MessageBox(E ? UserErrorText(*E) : ErrorReasonText(0), Application->Title(), MB_OK | MB_ICONSTOP);
    };
}

void ShowFatal(Exception& E)
{
    if (Application)
        Application->MessageBox(UserErrorText(E), Application->Title(), MB_OK | MB_ICONSTOP);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    try {
        Application->Initialize();
        Application->SetTitle("Vellorn");
        UseSkinnedBoxes();
        Application->CreateForm(ID_Vellorn);
        Application->CreateForm(Form2);
        Application->CreateForm(FLog);
        Application->CreateForm(Form4);
        Application->CreateForm(Form7);
        Application->CreateForm(Form8);
        Application->CreateForm(Form9);
        Application->CreateForm(Flash);
        Application->CreateForm(Form5);
        Application->CreateForm(FlashO);
        Application->CreateForm(Form12);
        Application->CreateForm(Form13);
        Application->CreateForm(Form14);
        Application->CreateForm(Form15);
        Application->CreateForm(Form16);
        Application->Run();
    } catch (Exception& exception) {
        ShowFatal(exception);
    } catch (...) {
        // Anything else is reported as an error without a text of its own.
        Exception exception("");
        ShowFatal(exception);
    }
    // Only when the main window's close has written everything the program keeps does the process
    // end here rather than take every window apart: the tree's window would give back its items
    // one at a time (a second for a hundred thousand). What the program put on the clipboard
    // through OLE (a shell "Copy" in the open form) is rendered first, so that it outlives the
    // process. Any other end (a start that failed, a quit from elsewhere) returns normally.
    if (!ID_Vellorn || !Session(ID_Vellorn).CloseFinished)
        return 0;
    OleFlushClipboard();
    ExitProcess(0);
}
