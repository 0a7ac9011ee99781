// One-call storage of strings, integers, string lists, fonts and form placement in INI files
// (by file name, or in a TMemIniFile the caller holds) and of strings in the registry.
#pragma once

#include "Forms.h"
#include "Graphics.h"
#include "IniFiles.h"

AnsiString ReadIniString(const AnsiString& Section, const AnsiString& Key, const AnsiString& FileName);
AnsiString ReadIniString(const AnsiString& Section, const AnsiString& Key, TMemIniFile* IniFile);
// Default for a missing or empty value, -1 for a value that is no integer or a missing file object.
int ReadIniInteger(const AnsiString& Section, const AnsiString& Key, int Default, const AnsiString& FileName);
int ReadIniInteger(const AnsiString& Section, const AnsiString& Key, int Default, TMemIniFile* IniFile);
void WriteIniStr(const AnsiString& Section, const AnsiString& Key, const AnsiString& Value,
                 const AnsiString& FileName);
void WriteIniStr(const AnsiString& Section, const AnsiString& Key, const AnsiString& Value, TMemIniFile* IniFile);

// A list under the name N: N + "Count" and N + "Item" + i. A count of 0 leaves List as it was.
void ReadIniStrings(TStrings* List, const AnsiString& Section, const AnsiString& Name, const AnsiString& FileName);
void ReadIniStrings(TStrings* List, const AnsiString& Section, const AnsiString& Name, TMemIniFile* IniFile);
void WriteIniStrings(const AnsiString& Section, const AnsiString& Name, TStrings* List, TMemIniFile* IniFile);
// The same into the named file, saved before the routine returns.
void WriteIniStrings(const AnsiString& Section, const AnsiString& Name, const AnsiString& FileName, TStrings* List);

// A font under the name N: N + "_Color", "_Name", "_Size", "_Bold", "_Italic", "_Underline",
// "_StrikeOut" (1 or 0). Reading adds the styles that read 1 to those the font has.
void WriteIniFont(const AnsiString& Section, const AnsiString& Name, TFont* Font, TMemIniFile* IniFile);
void ReadIniFont(const AnsiString& Section, const AnsiString& Name, TFont* Font, TMemIniFile* IniFile);

// The string Name under RootKey\Key, "" when absent.
AnsiString ReadRegString(HKEY RootKey, const AnsiString& Key, const AnsiString& Name);
// Writes Name = Value under HKEY_LOCAL_MACHINE\Key.
void WriteRegString(const AnsiString& Key, const AnsiString& Name, const AnsiString& Value);

// Section = the form's Name; "Left", "Top", "Width", "Height" (normal state only) and "State"
// (0 normal, 1 minimised, 2 maximised).
void SaveFormPlacement(TForm* Form, const AnsiString& FileName);
void RestoreFormPlacement(TForm* Form, const AnsiString& FileName);
