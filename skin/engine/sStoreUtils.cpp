#include "sStoreUtils.h"

#include "Registry.h"

AnsiString ReadIniString(const AnsiString& Section, const AnsiString& Key, const AnsiString& FileName)
{
    return TIniFile(FileName).ReadString(Section, Key, "");
}

AnsiString ReadIniString(const AnsiString& Section, const AnsiString& Key, TMemIniFile* IniFile)
{
    return IniFile ? IniFile->ReadString(Section, Key, "") : AnsiString();
}

namespace {
int IntegerOf(const AnsiString& Text, int Default)
{
    if (Text.empty())
        return Default;
    int v;
    return TryStrToInt(Text, v) ? v : -1;
}
} // namespace

int ReadIniInteger(const AnsiString& Section, const AnsiString& Key, int Default, const AnsiString& FileName)
{
    return IntegerOf(TIniFile(FileName).ReadString(Section, Key, ""), Default);
}

int ReadIniInteger(const AnsiString& Section, const AnsiString& Key, int Default, TMemIniFile* IniFile)
{
    return IniFile ? IntegerOf(IniFile->ReadString(Section, Key, ""), Default) : -1;
}

void WriteIniStr(const AnsiString& Section, const AnsiString& Key, const AnsiString& Value,
                 const AnsiString& FileName)
{
    TIniFile(FileName).WriteString(Section, Key, Value);
}

void WriteIniStr(const AnsiString& Section, const AnsiString& Key, const AnsiString& Value, TMemIniFile* IniFile)
{
    IniFile->WriteString(Section, Key, Value);
}

namespace {
void ReadStringsFrom(const TCustomIniFile& Ini, TStrings* List, const AnsiString& Section, const AnsiString& Name)
{
    const int count = Ini.ReadInteger(Section, Name + "Count", 0);
    if (count == 0)
        return;
    List->BeginUpdate();
    List->Clear();
    for (int i = 0; i < count; ++i)
        List->Add(Ini.ReadString(Section, Name + "Item" + IntToStr(i), ""));
    List->EndUpdate();
}

void WriteStringsTo(TCustomIniFile& Ini, const AnsiString& Section, const AnsiString& Name, TStrings* List)
{
    Ini.WriteInteger(Section, Name + "Count", List->Count());
    for (int i = 0; i < List->Count(); ++i)
        Ini.WriteString(Section, Name + "Item" + IntToStr(i), (*List)[i]);
}
} // namespace

void ReadIniStrings(TStrings* List, const AnsiString& Section, const AnsiString& Name, const AnsiString& FileName)
{
    ReadStringsFrom(TMemIniFile(FileName), List, Section, Name);
}

void ReadIniStrings(TStrings* List, const AnsiString& Section, const AnsiString& Name, TMemIniFile* IniFile)
{
    ReadStringsFrom(*IniFile, List, Section, Name);
}

void WriteIniStrings(const AnsiString& Section, const AnsiString& Name, TStrings* List, TMemIniFile* IniFile)
{
    WriteStringsTo(*IniFile, Section, Name, List);
}

void WriteIniStrings(const AnsiString& Section, const AnsiString& Name, const AnsiString& FileName, TStrings* List)
{
    TMemIniFile ini(FileName);
    WriteStringsTo(ini, Section, Name, List);
    ini.UpdateFile();
}

namespace {
const struct {
    const char* Suffix;
    TFontStyle Style;
} fontStyleKeys[] = {{"_Bold", fsBold}, {"_Italic", fsItalic}, {"_Underline", fsUnderline}, {"_StrikeOut", fsStrikeOut}};
} // namespace

void WriteIniFont(const AnsiString& Section, const AnsiString& Name, TFont* Font, TMemIniFile* IniFile)
{
    IniFile->WriteInteger(Section, Name + "_Color", Font->Color());
    IniFile->WriteString(Section, Name + "_Name", Font->Name());
    IniFile->WriteInteger(Section, Name + "_Size", Font->Size());
    for (const auto& k : fontStyleKeys)
        IniFile->WriteInteger(Section, Name + k.Suffix, Font->Style().Contains(k.Style) ? 1 : 0);
}

void ReadIniFont(const AnsiString& Section, const AnsiString& Name, TFont* Font, TMemIniFile* IniFile)
{
    Font->SetColor(IniFile->ReadInteger(Section, Name + "_Color", 0));
    Font->SetName(IniFile->ReadString(Section, Name + "_Name", ""));
    Font->SetSize(IniFile->ReadInteger(Section, Name + "_Size", 8));
    TFontStyles style = Font->Style();
    for (const auto& k : fontStyleKeys)
        if (IniFile->ReadInteger(Section, Name + k.Suffix, 0) == 1)
            style.Include(k.Style);
    Font->SetStyle(style);
}

AnsiString ReadRegString(HKEY RootKey, const AnsiString& Key, const AnsiString& Name)
{
    TRegistry reg(KEY_READ);
    reg.SetRootKey(RootKey);
    if (!reg.OpenKeyReadOnly(Key) || reg.GetDataType(Name) != rdString)
        return {};
    return reg.ReadString(Name);
}

void WriteRegString(const AnsiString& Key, const AnsiString& Name, const AnsiString& Value)
{
    TRegIniFile reg(HKEY_LOCAL_MACHINE, Key);
    reg.WriteString("", Name, Value);
}

void SaveFormPlacement(TForm* Form, const AnsiString& FileName)
{
    TIniFile ini(FileName);
    const AnsiString section = Form->Name();
    if (Form->WindowState() == wsNormal) {
        ini.WriteInteger(section, "Left", Form->Left());
        ini.WriteInteger(section, "Top", Form->Top());
        ini.WriteInteger(section, "Width", Form->Width());
        ini.WriteInteger(section, "Height", Form->Height());
    }
    ini.WriteInteger(section, "State", static_cast<int>(Form->WindowState()));
}

void RestoreFormPlacement(TForm* Form, const AnsiString& FileName)
{
    TIniFile ini(FileName);
    const AnsiString section = Form->Name();
    const int state = ini.ReadInteger(section, "State", -1);
    if (state >= 0 && state <= 2)
        Form->SetWindowState(static_cast<TWindowState>(state));
    if (Form->WindowState() != wsNormal)
        return;
    const int left = ini.ReadInteger(section, "Left", -1), top = ini.ReadInteger(section, "Top", -1),
              width = ini.ReadInteger(section, "Width", -1), height = ini.ReadInteger(section, "Height", -1);
    if (left != -1)
        Form->SetLeft(left);
    if (top != -1)
        Form->SetTop(top);
    if (width != -1)
        Form->SetWidth(width);
    if (height != -1)
        Form->SetHeight(height);
}
