#include "sSkinManager.h"

#include <algorithm>
#include <vector>

#include "SysUtils.h"

namespace {
TsSkinManager* gDefaultManager = nullptr;
}

TsSkinManager* DefaultManager()
{
    return gDefaultManager;
}

TsSkinManager::TsSkinManager(TComponent* AOwner) : TComponent(AOwner)
{
    if (!gDefaultManager) {
        gDefaultManager = this;
        FActive = true;
        FSkinDirectory = "c:\\Skins";
    }
}

TsSkinManager::~TsSkinManager()
{
    if (gDefaultManager == this)
        gDefaultManager = nullptr;
}

void TsSkinManager::SetSkinName(const AnsiString& Value)
{
    FSkinName = Value;
}

AnsiString TsSkinManager::GetFullSkinDirectory() const
{
    AnsiString dir = FSkinDirectory;
    const AnsiString app = ExeDir();
    if (dir.compare(0, 2, "..") == 0) {
        AnsiString parent = app.substr(0, app.empty() ? 0 : app.size() - 1);
        while (!parent.empty() && parent.back() != '\\' && parent.back() != '/')
            parent.pop_back();
        dir = parent + (dir.size() > 3 ? dir.substr(3) : AnsiString());
    } else if (dir.compare(0, 2, ".\\") == 0 || dir.compare(0, 2, "./") == 0) {
        dir = app + dir.substr(2);
    } else if (dir.find(':') == AnsiString::npos) {
        dir = app + dir;
    }
    if (!dir.empty() && dir.back() == '/')
        dir.back() = '\\';
    else if (dir.empty() || dir.back() != '\\')
        dir += '\\';
    return dir;
}

AnsiString TsSkinManager::GetSkinNames(TStrings* List) const
{
    if (!List)
        return {};
    List->Clear();
    std::vector<AnsiString> names;
    const AnsiString dir = GetFullSkinDirectory();
    if (DirectoryExists(ExcludeTrailingBackslash(dir))) {
        TSearchRec rec;
        if (FindFirst(dir + "*", faDirectory, rec) == 0) {
            do {
                if ((rec.Attr & faDirectory) && !rec.Name.empty() && rec.Name[0] != '.' &&
                    FileExists(dir + rec.Name + "\\Options.dat"))
                    names.push_back(rec.Name);
            } while (FindNext(rec) == 0);
            FindClose(rec);
        }
    }
    AnsiString first = names.empty() ? AnsiString() : names.front();
    std::stable_sort(names.begin(), names.end(),
                     [](const AnsiString& a, const AnsiString& b) { return AnsiCompareText(a, b) < 0; });
    for (const AnsiString& n : names)
        List->Add(n);
    return first;
}
