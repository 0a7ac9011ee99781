// Errors told in the program's words: the reasons of the OS error codes and the text of an
// exception for the application's error box.
#include "SysUtils.h"

AnsiString ErrorReasonText(Cardinal errorCode)
{
    switch (errorCode) {
    case 0:
        return "Причина неизвестна.";
    case ERROR_FILE_NOT_FOUND:
        return "Файл не найден.";
    case ERROR_PATH_NOT_FOUND:
        return "Папка не найдена.";
    case ERROR_ACCESS_DENIED:
        return "Доступ запрещён.";
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
        return "Недостаточно памяти.";
    case ERROR_WRITE_PROTECT:
        return "Диск защищён от записи.";
    case ERROR_NOT_READY:
        return "Устройство не готово.";
    case ERROR_CRC:
    case ERROR_SECTOR_NOT_FOUND:
    case ERROR_READ_FAULT:
        return "Данные на диске не читаются.";
    case ERROR_WRITE_FAULT:
        return "Ошибка записи на диск.";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
        return "Файл занят другой программой.";
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL:
        return "Недостаточно места на диске.";
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_NETNAME_DELETED:
    case ERROR_UNEXP_NET_ERR:
        return "Сетевая папка недоступна.";
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return "Файл уже существует.";
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
        return "Недопустимое имя файла.";
    case ERROR_FILENAME_EXCED_RANGE:
        return "Слишком длинное имя файла.";
    case ERROR_DIRECTORY_NOT_SUPPORTED:
        return "На месте файла находится папка.";
    case ERROR_FILE_READ_ONLY:
        return "Файл доступен только для чтения.";
    default:
        return "Системная ошибка " + IntToStr(static_cast<unsigned long>(errorCode)) + ".";
    }
}

namespace {

// Whether a text holds a Russian letter (code page 1251: Ё, ё, А..я): the program's own messages do.
bool RussianText(const AnsiString& Text)
{
    for (unsigned char c : Text)
        if (c >= 0xC0 || c == 0xA8 || c == 0xB8)
            return true;
    return false;
}

} // namespace

AnsiString UserErrorText(const Exception& E)
{
    const bool reading = dynamic_cast<const EFOpenError*>(&E) || dynamic_cast<const EReadError*>(&E);
    if (!E.FileName.empty()) {
        if (dynamic_cast<const EReadError*>(&E) && E.ErrorCode == 0)
            return "Файл \"" + E.FileName + "\" повреждён: прочитать его не удалось.";
        return AnsiString(reading ? "Не удалось прочитать файл \"" : "Не удалось записать файл \"") + E.FileName +
               "\": " + ErrorReasonText(E.ErrorCode);
    }
    if (E.ErrorCode == ERROR_NOT_ENOUGH_MEMORY || E.ErrorCode == ERROR_OUTOFMEMORY)
        return "Недостаточно памяти для этого действия.";
    if (dynamic_cast<const EReadError*>(&E))
        return "Данные повреждены: прочитать их не удалось.";
    if (dynamic_cast<const EInvalidGraphic*>(&E))
        return "Рисунок повреждён, слишком велик или записан в формате, который программа не читает.";
    if (dynamic_cast<const EOutOfResources*>(&E))
        return "Недостаточно системных ресурсов для этого действия.";
    if (E.ErrorCode != 0)
        return "Действие не выполнено: " + ErrorReasonText(E.ErrorCode);
    // The program's own refusals are raised with their Russian text; a text of the framework or of
    // a library (English) is never shown.
    if (RussianText(E.Message))
        return E.Message;
    return "Действие не выполнено: внутренняя ошибка программы.";
}
