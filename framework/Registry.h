// The framework's Registry unit: the system registry through one open key at a time (TRegistry)
// and as an INI file whose sections are sub-keys (TRegIniFile). Names and values are CP1251
// text; integers are 32-bit.
#pragma once

#include "Classes.h"

#include <windows.h>

VCL_EXCEPTION(ERegistryException, Exception)

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

class TRegistry : public TObject {
    VCL_CLASS(TRegistry, TObject)
public:
    // Root HKEY_CURRENT_USER, full access.
    TRegistry();
    explicit TRegistry(REGSAM Access);
    ~TRegistry() override;
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    HKEY RootKey() const { return FRootKey; }
    // Closes the open key first.
    void SetRootKey(HKEY Value);
    // The open key (0 when none) and its path below the root, without a leading backslash.
    HKEY CurrentKey() const { return FCurrentKey; }
    const AnsiString& CurrentPath() const { return FCurrentPath; }
    REGSAM Access() const { return FAccess; }
    void SetAccess(REGSAM Value) { FAccess = Value; }

    // Opens Key, relative to the open key, or to the root when Key begins with "\" or no key is
    // open; with CanCreate a missing key is made. Closes the previous key on success only.
    bool OpenKey(const AnsiString& Key, bool CanCreate);
    bool OpenKeyReadOnly(const AnsiString& Key);
    void CloseKey();
    bool CreateKey(const AnsiString& Key);
    // Removes Key with everything below it.
    bool DeleteKey(const AnsiString& Key);
    bool KeyExists(const AnsiString& Key);
    bool HasSubKeys() const;
    void GetKeyNames(TStrings* Strings) const;

    bool ValueExists(const AnsiString& Name) const;
    bool DeleteValue(const AnsiString& Name);
    void GetValueNames(TStrings* Strings) const;
    TRegDataType GetDataType(const AnsiString& Name) const;

    // A missing value reads as ""; a value of another type raises ERegistryException
    // "Invalid data type for '<name>'".
    AnsiString ReadString(const AnsiString& Name) const;
    void WriteString(const AnsiString& Name, const AnsiString& Value);
    // A missing value raises "Failed to get data for '<name>'"; another type "Invalid data type".
    Integer ReadInteger(const AnsiString& Name) const;
    void WriteInteger(const AnsiString& Name, Integer Value);
    bool ReadBool(const AnsiString& Name) const { return ReadInteger(Name) != 0; }
    void WriteBool(const AnsiString& Name, bool Value) { WriteInteger(Name, Value ? 1 : 0); }

private:
    // The key that Key starts from (the open key or the root), Key's name below it (Sub) and
    // the full path below the root that it gives (Path).
    HKEY Resolve(const AnsiString& Key, AnsiString& Sub, AnsiString& Path) const;

    HKEY FRootKey = HKEY_CURRENT_USER;
    HKEY FCurrentKey = nullptr;
    AnsiString FCurrentPath;
    REGSAM FAccess = KEY_ALL_ACCESS;
};

// An INI file kept in the registry: the file name is a key below the root (HKEY_CURRENT_USER
// unless set otherwise), each section a sub-key of it, each key a value. Integers and booleans
// are written as text, as the INI classes do; reading accepts text or a 32-bit number.
class TRegIniFile : public TRegistry {
    VCL_CLASS(TRegIniFile, TRegistry)
public:
    explicit TRegIniFile(const AnsiString& FileName);
    TRegIniFile(const AnsiString& FileName, REGSAM Access);
    // The file key below another root (HKEY_LOCAL_MACHINE and the like).
    TRegIniFile(HKEY Root, const AnsiString& FileName);

    const AnsiString& FileName() const { return FFileName; }

    // An empty Section means the file key itself. Missing sections or keys give Default.
    AnsiString ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default);
    void WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value);
    Integer ReadInteger(const AnsiString& Section, const AnsiString& Ident, Integer Default);
    void WriteInteger(const AnsiString& Section, const AnsiString& Ident, Integer Value);
    bool ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default);
    void WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value);
    // Key names of a section / section names / "key=value" lines of a section.
    void ReadSection(const AnsiString& Section, TStrings* Strings);
    void ReadSections(TStrings* Strings);
    void ReadSectionValues(const AnsiString& Section, TStrings* Strings);
    void EraseSection(const AnsiString& Section);
    void DeleteKey(const AnsiString& Section, const AnsiString& Ident);

private:
    // The section's key below the file key (the file key itself for ""), opened for reading or
    // made for writing; 0 when it cannot be had. The caller closes a key it got for a section.
    HKEY SectionKey(const AnsiString& Section, bool Create) const;

    AnsiString FFileName;
};
