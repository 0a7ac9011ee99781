#include "ArchiveFiles.h"

#include <algorithm>
#include <cstring>

#include "Dialogs.h"
#include "Forms.h"
#include "IniFiles.h"
#include "StdCtrls.h"

namespace archive {

AnsiString AppPath(const AnsiString& Relative) { return ExeDir() + Relative; }

namespace {
AnsiString& WorkingName()
{
    static AnsiString name = "Temp";
    return name;
}
} // namespace

const AnsiString& WorkingTreeFile() { return WorkingName(); }
void SetWorkingTreeFile(const AnsiString& Name) { WorkingName() = Name; }

AnsiString MapPath(const AnsiString& TreeFile) { return AppPath("FILES\\tree\\" + TreeFile + ".ini"); }

AnsiString TryReplaceOwnFile(const AnsiString& Path, const std::function<void()>& Write)
{
    const Integer attr = FileGetAttr(Path);
    if (attr != -1 && (attr & faReadOnly) && !(attr & faDirectory))
        return "Файл доступен только для чтения.";
    try {
        Write();
        return "";
    } catch (Exception& e) {
        // The runtime's refusals read "<what> "<path>". <reason>": the reason is the system's text.
        const std::size_t at = e.Message.rfind("\". ");
        const AnsiString reason = at == AnsiString::npos ? e.Message : e.Message.substr(at + 3);
        return reason.empty() ? AnsiString("Неизвестная ошибка.") : reason;
    }
}

AnsiString ReadMapEntry(const AnsiString& TreeFile, const AnsiString& Section, const AnsiString& Title)
{
    TIniFile ini(MapPath(TreeFile));
    return ini.ReadString(Section, Title, "");
}

void WriteMapEntry(const AnsiString& TreeFile, const AnsiString& Section, const AnsiString& Title,
                   const AnsiString& Value)
{
    TIniFile ini(MapPath(TreeFile));
    ini.WriteString(Section, Title, Value);
}

void DeleteMapEntry(const AnsiString& TreeFile, const AnsiString& Section, const AnsiString& Title)
{
    TIniFile ini(MapPath(TreeFile));
    ini.DeleteKey(Section, Title);
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
    Application->MessageBox("Файл должен находиться в папке\n" + AppPath(Folder), Application->Title(), MB_OK);
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
    static const char* const Devices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (std::size_t from = 0; from <= Name.size();) {
        const std::size_t end = std::min(Name.find_first_of("\\/", from), Name.size());
        const AnsiString part = Name.substr(from, end - from);
        // The system reads the name before the first dot, without the blanks at its end.
        AnsiString base = part.substr(0, part.find('.'));
        base = AnsiUpperCase(base.substr(0, base.find_last_not_of(' ') + 1));
        const bool port = base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
                          base[3] >= '1' && base[3] <= '9';
        if (port || std::find(std::begin(Devices), std::end(Devices), base) != std::end(Devices))
            return part;
        from = end + 1;
    }
    return "";
}

bool ParentStep(const AnsiString& Part)
{
    return Part.find_first_not_of(". ") == AnsiString::npos && Part.find("..") != AnsiString::npos;
}

bool TypedFileInside(const AnsiString& Folder, TCustomEdit& Target)
{
    const AnsiString typed = Target.Text();
    if (typed.empty())
        return true;
    // ".." itself is resolved below; ".. " or "..." may or may not step up, so they never pass.
    bool oddStep = false;
    for (std::size_t from = 0; from <= typed.size();) {
        const std::size_t end = std::min(typed.find_first_of("\\/", from), typed.size());
        const AnsiString part = typed.substr(from, end - from);
        oddStep = oddStep || (part != ".." && ParentStep(part));
        from = end + 1;
    }
    const bool full = FullName(typed);
    // A name ending in a separator names a folder (the archive folder itself for ".\"), never a file.
    const bool folder = typed.back() == '\\' || typed.back() == '/';
    AnsiString relative;
    if (oddStep || folder || !RelativeName(ExpandFileName(full ? typed : IncludeTrailingBackslash(AppPath(Folder)) + typed),
                                 Folder, relative)) {
        RefuseOutside(Folder);
        return false;
    }
    if (full)
        Target.SetText(relative);
    return true;
}

} // namespace archive
