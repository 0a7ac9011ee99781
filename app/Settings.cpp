#include "Settings.h"

#include "ArchiveFiles.h"
#include "IniFiles.h"

#include <algorithm>

namespace settings {

namespace {

AnsiString FormIniPath() { return archive::AppPath("FILES\\form.ini"); }

// Whether a value read from a settings file can be used as a name: not longer than MaxLength,
// no control characters and none of Forbidden. Anything else (a damaged or hand-edited file) is
// taken as missing.
bool UsableName(const AnsiString& Value, std::size_t MaxLength, const char* Forbidden)
{
    if (Value.size() > MaxLength || Value.find_first_of(Forbidden) != AnsiString::npos)
        return false;
    return std::none_of(Value.begin(), Value.end(), [](char c) { return static_cast<unsigned char>(c) < ' '; });
}

constexpr const char* FileNameForbidden = "\\/:*?\"<>|";

// An integer of the file that no window bound can be counts as missing.
Integer Bound(Integer Value) { return Value < -32768 || Value > 32767 ? 0 : Value; }

} // namespace

Integer StoredWindowSize(Integer Value, Integer Default) { return Value >= 1 && Value <= 32767 ? Value : Default; }

bool ReadOpenTreesInNewWindow()
{
    const AnsiString path = archive::AppPath("FILES\\settings.ini");
    if (!FileExists(path))
        return true;
    TIniFile ini(path);
    return ini.ReadString("OPEN_TREE", "TreeOpen", "true") == "true";
}

void WriteOpenTreesInNewWindow(bool Value)
{
    TIniFile ini(archive::AppPath("FILES\\settings.ini"));
    ini.WriteString("OPEN_TREE", "TreeOpen", Value ? "true" : "false");
}

AnsiString ReadTreeName()
{
    TIniFile ini(FormIniPath());
    const AnsiString name = ini.ReadString("FORM", "NameTree", "VLN");
    return UsableName(name, 251, FileNameForbidden) ? name : AnsiString("VLN");
}

AnsiString ReadSavedTreeFile()
{
    TIniFile ini(FormIniPath());
    const AnsiString path = ini.ReadString("FORM", "TreeFile", "");
    return UsableName(path, MAX_PATH, "*?\"<>|") ? path : AnsiString();
}

void WriteSavedTreeFile(const AnsiString& Path)
{
    const AnsiString path = FormIniPath();
    {
        TMemIniFile ini(path);
        if (Path.empty())
            ini.DeleteKey("FORM", "TreeFile");
        else
            ini.WriteString("FORM", "TreeFile", Path);
        ini.UpdateFile();
    }
    FileSetAttr(path, faHidden);
}

TFormSettings ReadFormSettings()
{
    TMemIniFile ini(FormIniPath());
    TFormSettings s;
    s.Width = Bound(ini.ReadInteger("FORM", "Width", 0));
    s.Height = Bound(ini.ReadInteger("FORM", "Height", 0));
    s.Top = Bound(ini.ReadInteger("FORM", "Top", 0));
    s.Left = Bound(ini.ReadInteger("FORM", "Left", 0));
    s.PanelWidth = Bound(ini.ReadInteger("Panel", "Width", 0));
    s.VisibleTool1 = ini.ReadInteger("VIEW", "Visible_Tool1", 0);
    s.VisibleTool2 = ini.ReadInteger("VIEW", "Visible_Tool2", 0);
    s.VisibleTree = ini.ReadInteger("VIEW", "Visible_Tree", 0);
    s.Skin = ini.ReadString("FORM", "Skin", "Neutral");
    if (!UsableName(s.Skin, 255, FileNameForbidden))
        s.Skin = "Neutral";
    return s;
}

void WriteFormSettings(const TFormCloseSettings& v)
{
    const AnsiString path = FormIniPath();
    {
        TMemIniFile ini(path);
        if (v.WithTreeKeys)
            ini.WriteString("FORM", "NameTree", v.NameTree);
        ini.WriteInteger("FORM", "Width", v.Width);
        ini.WriteInteger("FORM", "Height", v.Height);
        ini.WriteInteger("FORM", "Top", v.Top);
        ini.WriteInteger("FORM", "Left", v.Left);
        ini.WriteString("FORM", "Skin", v.Skin);
        ini.WriteString("VIEW", "Visible_Tool1", v.VisibleTool1 ? "1" : "0");
        ini.WriteString("VIEW", "Visible_Tool2", v.VisibleTool2 ? "1" : "0");
        ini.WriteString("VIEW", "Visible_Tree", v.VisibleTree ? "1" : "0");
        ini.WriteInteger("Panel", "Width", v.PanelWidth);
        if (v.WithTreeKeys)
            ini.WriteInteger("ST", "Count", v.NewArticleCount);
        if (v.WithTreeKeys && !v.SavedTreeFile.empty())
            ini.WriteString("FORM", "TreeFile", v.SavedTreeFile);
        else if (v.WithTreeKeys)
            ini.DeleteKey("FORM", "TreeFile");
        ini.UpdateFile();
    }
    FileSetAttr(path, faHidden);
}

void LoadAddressList(TStrings& Items)
{
    const AnsiString path = archive::AppPath("FILES\\list");
    if (!FileExists(path)) {
        Items.Clear();
        return;
    }
    Items.LoadFromFile(path);
}

void SaveAddressList(const TStrings& Items)
{
    SafeWriteFileBytes(archive::AppPath("FILES\\list"), Items.Text());
}

} // namespace settings
