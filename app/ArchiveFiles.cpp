#include "ArchiveFiles.h"

#include <algorithm>
#include <cstring>

#include "Dialogs.h"
#include "Forms.h"
#include "IniFiles.h"
#include "StdCtrls.h"

namespace archive {

AnsiString AppPath(const AnsiString& Relative) { return ExeDir() + Relative; }

AnsiString MapPath(const AnsiString& TreeFile) { return AppPath("FILES\\tree\\" + TreeFile + ".ini"); }

AnsiString FailureReason(const Exception& E)
{
    return E.ErrorCode != 0 || !E.FileName.empty() ? ErrorReasonText(E.ErrorCode) : UserErrorText(E);
}

bool TryReplaceOwnFile(const AnsiString& Path, const std::function<void()>& Write, AnsiString& Reason)
{
    try {
        Write();
        return true;
    } catch (Exception& e) {
        Reason = e.FileName.empty() || SameText(ExpandFileName(e.FileName), ExpandFileName(Path)) ? FailureReason(e)
                                                                                               : UserErrorText(e);
    } catch (std::bad_alloc&) {
        Reason = ErrorReasonText(ERROR_NOT_ENOUGH_MEMORY);
    } catch (...) {
        Reason = ErrorReasonText(0);
    }
    return false;
}

AnsiString TreePathFromCommandLine(const AnsiString& RawCmdLine)
{
    const AnsiString& s = RawCmdLine;
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    if (i < s.size() && s[i] == '"') {
        size_t close = s.find('"', i + 1);
        i = close == AnsiString::npos ? s.size() : close + 1;
    } else {
        while (i < s.size() && s[i] != ' ' && s[i] != '\t')
            ++i;
    }
    AnsiString rest = Trim(s.substr(i));
    if (rest.size() >= 2 && rest.front() == '"' && rest.back() == '"')
        rest = rest.substr(1, rest.size() - 2);
    return rest;
}

AnsiString TreeNameFromPath(const AnsiString& Path)
{
    AnsiString name = ExtractFileName(Path);
    if (name.size() >= 4 && AnsiSameText(name.substr(name.size() - 4), ".vlt"))
        name.resize(name.size() - 4);
    return name;
}

AnsiString NoteName(const AnsiString& Title)
{
    static const char Hex[] = "0123456789ABCDEF";
    AnsiString name;
    for (const char c : Title) {
        const auto u = static_cast<unsigned char>(c);
        if (u < ' ' || std::strchr("\\/:*?\"<>|=", c)) {
            name += '=';
            name += Hex[u >> 4];
            name += Hex[u & 15];
        } else {
            name += c;
        }
    }
    return name;
}

bool NoteTitle(const AnsiString& NoteFileName, const AnsiString& TreeName, AnsiString& Title)
{
    const AnsiString suffix = "_" + TreeName + ".txt";
    if (NoteFileName.size() <= suffix.size())
        return false;
    const size_t cut = NoteFileName.size() - suffix.size();
    if (!AnsiSameText(NoteFileName.substr(cut), suffix))
        return false;
    Title = NoteFileName.substr(0, cut);
    return true;
}

bool RelativeName(const AnsiString& FullName, const AnsiString& Folder, AnsiString& Relative)
{
    AnsiString prefix = AppPath(Folder);
    if (prefix.empty() || prefix.back() != '\\')
        prefix += '\\';
    if (FullName.size() <= prefix.size() || !AnsiSameText(FullName.substr(0, prefix.size()), prefix))
        return false;
    Relative = FullName.substr(prefix.size());
    return true;
}

namespace {

void RefuseOutside(const AnsiString& Folder)
{
    Application->MessageBox(PlaceRefusal(TFilePlace::Outside, Folder, ""), Application->Title(), MB_OK);
}

// A name the system does not read below a folder: one with a drive ("C:") or a leading separator.
bool FullName(const AnsiString& Name)
{
    return Name[0] == '\\' || Name[0] == '/' || (Name.size() > 1 && Name[1] == ':');
}

} // namespace

void BrowseFile(TOpenDialog& Dialog, const AnsiString& Folder, TCustomEdit& Target)
{
    // Every use starts in the folder with no name: a name of an earlier use (a refused one too)
    // would start it in that name's folder. The file picked must exist.
    Dialog.InitialDir = AppPath(Folder);
    Dialog.FileName = "";
    Dialog.Options = Dialog.Options + TOpenOptions{ofPathMustExist, ofFileMustExist};
    if (!Dialog.Execute())
        return;
    AnsiString relative;
    if (RelativeName(Dialog.FileName, Folder, relative))
        Target.SetText(relative);
    else
        RefuseOutside(Folder);
}

AnsiString DeviceNameIn(const AnsiString& Name)
{
    for (std::size_t from = 0; from <= Name.size();) {
        const std::size_t end = std::min(Name.find_first_of("\\/", from), Name.size());
        const AnsiString part = Name.substr(from, end - from);
        if (DeviceName(part))
            return part;
        from = end + 1;
    }
    return "";
}

bool ParentStep(const AnsiString& Part)
{
    return Part.find_first_not_of(". ") == AnsiString::npos && Part.find("..") != AnsiString::npos;
}

bool DeviceName(const AnsiString& Part)
{
    // The system takes the name before the first dot, without the blanks after it.
    AnsiString base = Part.substr(0, Part.find('.'));
    while (!base.empty() && base.back() == ' ')
        base.pop_back();
    base = UpperCase(base);
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL" || base == "CONIN$" || base == "CONOUT$")
        return true;
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) && base[3] >= '1' &&
           base[3] <= '9';
}

TFilePlace PlaceOfFile(const AnsiString& Folder, const AnsiString& Name, bool Full, AnsiString& Relative)
{
    Relative = Name;
    if (Name.empty())
        return TFilePlace::Inside;
    const bool full = FullName(Name);
    // The parts of the name: a device or a stream is no file whatever folder it is in; ".." itself
    // is resolved below, ".. " or "..." may or may not step up, so they never pass.
    bool oddStep = false;
    for (std::size_t from = 0; from <= Name.size();) {
        const std::size_t end = std::min(Name.find_first_of("\\/", from), Name.size());
        const AnsiString part = Name.substr(from, end - from);
        if (DeviceName(part))
            return TFilePlace::Device;
        oddStep = oddStep || (part != ".." && ParentStep(part));
        from = end + 1;
    }
    // A name in the system's own namespaces ("\\?\", "\\.\") is never a file of the archive.
    if ((full && !Full) || Name.rfind("\\\\?\\", 0) == 0 || Name.rfind("\\\\.\\", 0) == 0)
        return TFilePlace::Outside;
    if (Name.find(':', Name.size() > 1 && Name[1] == ':' ? 2 : 0) != AnsiString::npos)
        return TFilePlace::Stream;
    // A name ending in a separator names a folder (the archive folder itself for ".\"), never a file.
    const bool folder = Name.back() == '\\' || Name.back() == '/';
    AnsiString relative;
    if (oddStep || folder ||
        !RelativeName(ExpandFileName(full ? Name : IncludeTrailingBackslash(AppPath(Folder)) + Name), Folder, relative))
        return TFilePlace::Outside;
    if (full)
        Relative = relative;
    return TFilePlace::Inside;
}

AnsiString PlaceRefusal(TFilePlace Place, const AnsiString& Folder, const AnsiString& Name)
{
    switch (Place) {
    case TFilePlace::Device:
        return "Имя \"" + Name + "\" не может быть именем файла: система отдаёт такие имена устройствам "
               "(CON, PRN, AUX, NUL, COM1–COM9, LPT1–LPT9), в том числе с расширением.";
    case TFilePlace::Stream:
        return "Имя \"" + Name + "\" не может быть именем файла: двоеточие в нём указывает на поток внутри файла.";
    default:
        return "Файл должен находиться в папке\n" + AppPath(Folder);
    }
}

bool TypedFileInside(const AnsiString& Folder, TCustomEdit& Target)
{
    const AnsiString typed = Target.Text();
    AnsiString relative;
    const TFilePlace place = PlaceOfFile(Folder, typed, true, relative);
    if (place != TFilePlace::Inside) {
        Application->MessageBox(PlaceRefusal(place, Folder, typed), Application->Title(), MB_OK);
        return false;
    }
    if (relative != typed)
        Target.SetText(relative);
    return true;
}

} // namespace archive
