#include "Settings.h"

#include "ArchiveFiles.h"
#include "IniFiles.h"

namespace settings {

namespace {

AnsiString FormIniPath() { return archive::AppPath("FILES\\form.ini"); }

} // namespace

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
    return ini.ReadString("FORM", "NameTree", "VLN");
}

TFormSettings ReadFormSettings()
{
    TMemIniFile ini(FormIniPath());
    TFormSettings s;
    s.Width = ini.ReadInteger("FORM", "Width", 0);
    s.Height = ini.ReadInteger("FORM", "Height", 0);
    s.Top = ini.ReadInteger("FORM", "Top", 0);
    s.Left = ini.ReadInteger("FORM", "Left", 0);
    s.PanelWidth = ini.ReadInteger("Panel", "Width", 0);
    s.VisibleTool1 = ini.ReadInteger("VIEW", "Visible_Tool1", 0);
    s.VisibleTool2 = ini.ReadInteger("VIEW", "Visible_Tool2", 0);
    s.VisibleTree = ini.ReadInteger("VIEW", "Visible_Tree", 0);
    s.Skin = ini.ReadString("FORM", "Skin", "Neutral");
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
