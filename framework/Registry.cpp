#include "Registry.h"

#include <vector>

namespace {

std::wstring W(const AnsiString& s) { return AnsiToWide(s); }

// A key handle closed when it goes out of scope (root keys are never closed).
class TKeyHolder {
public:
    explicit TKeyHolder(HKEY key, bool owned) : key_(key), owned_(owned) {}
    ~TKeyHolder()
    {
        if (key_ && owned_)
            RegCloseKey(key_);
    }
    TKeyHolder(const TKeyHolder&) = delete;
    TKeyHolder& operator=(const TKeyHolder&) = delete;
    HKEY Get() const { return key_; }

private:
    HKEY key_;
    bool owned_;
};

TRegDataType DataTypeOf(DWORD type)
{
    switch (type) {
    case REG_SZ:
        return rdString;
    case REG_EXPAND_SZ:
        return rdExpandString;
    case REG_DWORD:
        return rdInteger;
    case REG_BINARY:
        return rdBinary;
    default:
        return rdUnknown;
    }
}

bool QueryInfo(HKEY key, const AnsiString& name, DWORD& type, DWORD& size)
{
    type = REG_NONE;
    size = 0;
    return key && RegQueryValueExW(key, W(name).c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
}

bool ValueExistsIn(HKEY key, const AnsiString& name)
{
    DWORD type, size;
    return QueryInfo(key, name, type, size);
}

// The text of a string value; "" when missing; ERegistryException for another type.
AnsiString ReadStringIn(HKEY key, const AnsiString& name)
{
    DWORD type, size;
    if (!QueryInfo(key, name, type, size))
        return {};
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        throw ERegistryException("Invalid data type for '" + name + "'");
    std::vector<wchar_t> buf(size / sizeof(wchar_t) + 1, L'\0');
    DWORD got = static_cast<DWORD>(buf.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key, W(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &got) !=
        ERROR_SUCCESS)
        throw ERegistryException("Failed to get data for '" + name + "'");
    return WideToAnsi(std::wstring(buf.data()));
}

Integer ReadIntegerIn(HKEY key, const AnsiString& name)
{
    DWORD type, size;
    if (!QueryInfo(key, name, type, size))
        throw ERegistryException("Failed to get data for '" + name + "'");
    if (type != REG_DWORD)
        throw ERegistryException("Invalid data type for '" + name + "'");
    DWORD value = 0, got = sizeof value;
    if (RegQueryValueExW(key, W(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &got) !=
        ERROR_SUCCESS)
        throw ERegistryException("Failed to get data for '" + name + "'");
    return static_cast<Integer>(value);
}

void PutDataIn(HKEY key, const AnsiString& name, const void* data, DWORD size, DWORD type)
{
    if (!key || RegSetValueExW(key, W(name).c_str(), 0, type, static_cast<const BYTE*>(data), size) != ERROR_SUCCESS)
        throw ERegistryException("Failed to set data for '" + name + "'");
}

void WriteStringIn(HKEY key, const AnsiString& name, const AnsiString& value)
{
    const std::wstring w = W(value);
    PutDataIn(key, name, w.c_str(), static_cast<DWORD>((w.size() + 1) * sizeof(wchar_t)), REG_SZ);
}

void ValueNamesIn(HKEY key, TStrings* strings)
{
    strings->Clear();
    if (!key)
        return;
    wchar_t name[16384];
    for (DWORD i = 0;; ++i) {
        DWORD len = 16384;
        if (RegEnumValueW(key, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        strings->Add(WideToAnsi(std::wstring(name, len)));
    }
}

void KeyNamesIn(HKEY key, TStrings* strings)
{
    strings->Clear();
    if (!key)
        return;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD len = 256;
        if (RegEnumKeyExW(key, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        strings->Add(WideToAnsi(std::wstring(name, len)));
    }
}

} // namespace

// --- TRegistry ---------------------------------------------------------------------------------

TRegistry::TRegistry() = default;

TRegistry::TRegistry(REGSAM Access) : FAccess(Access) {}

TRegistry::~TRegistry()
{
    CloseKey();
}

void TRegistry::SetRootKey(HKEY Value)
{
    if (Value == FRootKey)
        return;
    CloseKey();
    FRootKey = Value;
}

void TRegistry::CloseKey()
{
    if (FCurrentKey)
        RegCloseKey(FCurrentKey);
    FCurrentKey = nullptr;
    FCurrentPath.clear();
}

HKEY TRegistry::Resolve(const AnsiString& Key, AnsiString& Sub, AnsiString& Path) const
{
    const bool absolute = !Key.empty() && Key[0] == '\\';
    Sub = absolute ? Key.substr(1) : Key;
    while (!Sub.empty() && Sub.back() == '\\')
        Sub.pop_back();
    if (absolute || !FCurrentKey) {
        Path = Sub;
        return FRootKey;
    }
    Path = Sub.empty() ? FCurrentPath : (FCurrentPath.empty() ? Sub : FCurrentPath + "\\" + Sub);
    return FCurrentKey;
}

bool TRegistry::OpenKey(const AnsiString& Key, bool CanCreate)
{
    AnsiString sub, path;
    HKEY base = Resolve(Key, sub, path);
    HKEY key = nullptr;
    const LONG rc = CanCreate ? RegCreateKeyExW(base, W(sub).c_str(), 0, nullptr, 0, FAccess, nullptr, &key, nullptr)
                              : RegOpenKeyExW(base, W(sub).c_str(), 0, FAccess, &key);
    if (rc != ERROR_SUCCESS)
        return false;
    CloseKey();
    FCurrentKey = key;
    FCurrentPath = path;
    return true;
}

bool TRegistry::OpenKeyReadOnly(const AnsiString& Key)
{
    const REGSAM saved = FAccess;
    FAccess = KEY_READ;
    const bool ok = OpenKey(Key, false);
    FAccess = saved;
    return ok;
}

bool TRegistry::CreateKey(const AnsiString& Key)
{
    AnsiString sub, path;
    HKEY base = Resolve(Key, sub, path);
    HKEY key = nullptr;
    if (sub.empty() ||
        RegCreateKeyExW(base, W(sub).c_str(), 0, nullptr, 0, FAccess, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool TRegistry::DeleteKey(const AnsiString& Key)
{
    AnsiString sub, path;
    HKEY base = Resolve(Key, sub, path);
    // With a sub-key name the tree call removes the key itself as well.
    return !sub.empty() && RegDeleteTreeW(base, W(sub).c_str()) == ERROR_SUCCESS;
}

bool TRegistry::KeyExists(const AnsiString& Key)
{
    AnsiString sub, path;
    HKEY base = Resolve(Key, sub, path);
    HKEY key = nullptr;
    if (RegOpenKeyExW(base, W(sub).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool TRegistry::HasSubKeys() const
{
    DWORD count = 0;
    return FCurrentKey &&
           RegQueryInfoKeyW(FCurrentKey, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
           count > 0;
}

void TRegistry::GetKeyNames(TStrings* Strings) const { KeyNamesIn(FCurrentKey, Strings); }

bool TRegistry::ValueExists(const AnsiString& Name) const { return ValueExistsIn(FCurrentKey, Name); }

bool TRegistry::DeleteValue(const AnsiString& Name)
{
    return FCurrentKey && RegDeleteValueW(FCurrentKey, W(Name).c_str()) == ERROR_SUCCESS;
}

void TRegistry::GetValueNames(TStrings* Strings) const { ValueNamesIn(FCurrentKey, Strings); }

TRegDataType TRegistry::GetDataType(const AnsiString& Name) const
{
    DWORD type, size;
    return QueryInfo(FCurrentKey, Name, type, size) ? DataTypeOf(type) : rdUnknown;
}

AnsiString TRegistry::ReadString(const AnsiString& Name) const { return ReadStringIn(FCurrentKey, Name); }

void TRegistry::WriteString(const AnsiString& Name, const AnsiString& Value)
{
    WriteStringIn(FCurrentKey, Name, Value);
}

Integer TRegistry::ReadInteger(const AnsiString& Name) const { return ReadIntegerIn(FCurrentKey, Name); }

void TRegistry::WriteInteger(const AnsiString& Name, Integer Value)
{
    const DWORD v = static_cast<DWORD>(Value);
    PutDataIn(FCurrentKey, Name, &v, sizeof v, REG_DWORD);
}

// --- TRegIniFile -------------------------------------------------------------------------------

TRegIniFile::TRegIniFile(const AnsiString& FileName) : TRegIniFile(FileName, KEY_ALL_ACCESS) {}

TRegIniFile::TRegIniFile(const AnsiString& FileName, REGSAM Access) : TRegistry(Access), FFileName(FileName)
{
    OpenKey(FileName, true);
}

TRegIniFile::TRegIniFile(HKEY Root, const AnsiString& FileName) : FFileName(FileName)
{
    SetRootKey(Root);
    OpenKey(FileName, true);
}

HKEY TRegIniFile::SectionKey(const AnsiString& Section, bool Create) const
{
    if (!CurrentKey())
        return nullptr;
    if (Section.empty())
        return CurrentKey();
    HKEY key = nullptr;
    const std::wstring name = AnsiToWide(Section);
    const LONG rc = Create ? RegCreateKeyExW(CurrentKey(), name.c_str(), 0, nullptr, 0, Access(), nullptr, &key, nullptr)
                           : RegOpenKeyExW(CurrentKey(), name.c_str(), 0, KEY_READ, &key);
    return rc == ERROR_SUCCESS ? key : nullptr;
}

AnsiString TRegIniFile::ReadString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Default)
{
    TKeyHolder key(SectionKey(Section, false), !Section.empty());
    DWORD type, size;
    if (!QueryInfo(key.Get(), Ident, type, size) || (type != REG_SZ && type != REG_EXPAND_SZ))
        return Default;
    return ReadStringIn(key.Get(), Ident);
}

void TRegIniFile::WriteString(const AnsiString& Section, const AnsiString& Ident, const AnsiString& Value)
{
    TKeyHolder key(SectionKey(Section, true), !Section.empty());
    if (!key.Get())
        throw ERegistryException("Failed to create key " + FFileName + "\\" + Section);
    WriteStringIn(key.Get(), Ident, Value);
}

Integer TRegIniFile::ReadInteger(const AnsiString& Section, const AnsiString& Ident, Integer Default)
{
    TKeyHolder key(SectionKey(Section, false), !Section.empty());
    DWORD type, size;
    if (!QueryInfo(key.Get(), Ident, type, size))
        return Default;
    if (type == REG_DWORD)
        return ReadIntegerIn(key.Get(), Ident);
    if (type == REG_SZ || type == REG_EXPAND_SZ)
        return StrToIntDef(ReadStringIn(key.Get(), Ident), Default);
    return Default;
}

void TRegIniFile::WriteInteger(const AnsiString& Section, const AnsiString& Ident, Integer Value)
{
    WriteString(Section, Ident, IntToStr(Value));
}

bool TRegIniFile::ReadBool(const AnsiString& Section, const AnsiString& Ident, bool Default)
{
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TRegIniFile::WriteBool(const AnsiString& Section, const AnsiString& Ident, bool Value)
{
    WriteInteger(Section, Ident, Value ? 1 : 0);
}

void TRegIniFile::ReadSection(const AnsiString& Section, TStrings* Strings)
{
    TKeyHolder key(SectionKey(Section, false), !Section.empty());
    ValueNamesIn(key.Get(), Strings);
}

void TRegIniFile::ReadSections(TStrings* Strings)
{
    GetKeyNames(Strings);
}

void TRegIniFile::ReadSectionValues(const AnsiString& Section, TStrings* Strings)
{
    TStringList names;
    ReadSection(Section, &names);
    Strings->Clear();
    for (int i = 0; i < names.Count(); ++i)
        Strings->Add(names[i] + "=" + ReadString(Section, names[i], ""));
}

void TRegIniFile::EraseSection(const AnsiString& Section)
{
    if (!Section.empty() && CurrentKey())
        RegDeleteTreeW(CurrentKey(), AnsiToWide(Section).c_str());
}

void TRegIniFile::DeleteKey(const AnsiString& Section, const AnsiString& Ident)
{
    TKeyHolder key(SectionKey(Section, false), !Section.empty());
    if (key.Get())
        RegDeleteValueW(key.Get(), AnsiToWide(Ident).c_str());
}
