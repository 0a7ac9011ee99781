#include "sPathComboBox.h"

#include <shellapi.h>

#include "DriveSeams.h"
#include "sConst.h"
#include "sUtils.h"

char PathDrive(const AnsiString& Path)
{
    const size_t colon = Path.find(':');
    // A path without a drive ("\\server\share", a relative one) has none: nothing is read before
    // the text starts.
    return colon == AnsiString::npos || colon == 0 ? 0 : Path[colon - 1];
}

TsPathComboBox::TsPathComboBox(TComponent* AOwner) : TsCustomComboBoxEx(AOwner) { SetStyle(csOwnerDrawFixed); }

void TsPathComboBox::AfterConstruction()
{
    inherited::AfterConstruction();
    if (!ComponentState().Contains(csLoading))
        CreateImages();
}

void TsPathComboBox::Loaded()
{
    inherited::Loaded();
    CreateImages();
}

void TsPathComboBox::CreateImages()
{
    if (Images())
        return;
    InitShellImageLists(false, true);
    SetImages(SmallShellImages);
}

void TsPathComboBox::CreateWnd()
{
    inherited::CreateWnd();
    BuildList();
    ChooseDirectoryItem();
}

void TsPathComboBox::ChooseDirectoryItem()
{
    // The items' captions end in a backslash: so does Directory.
    int chosen = -1;
    for (int i = 0; i < ItemsEx()->Count() && chosen < 0; ++i)
        if (AnsiSameText(ItemsEx()->Items(i)->Caption(), FDirectory))
            chosen = i;
    SetItemIndex(chosen);
}

void TsPathComboBox::AddItem(const AnsiString& Text, const AnsiString& Path, int Icon, int Indent)
{
    const int image = Images() ? Icon : -1;
    ItemsEx()->AddItem(Path, image, image, -1, Indent);
    Items()->Add(Text);
}

void TsPathComboBox::BuildList()
{
    // The window holds the texts: a box without one is built when it gets it.
    if (!HandleAllocated())
        return;
    TDriveService& drives = Drives();
    const DWORD present = drives.LogicalDrives();
    const char drive = GetDrive();
    const char current = drive >= 'a' && drive <= 'z' ? static_cast<char>(drive - 'a' + 'A') : drive;
    Items()->BeginUpdate();
    ItemsEx()->BeginUpdate();
    Items()->Clear();
    ItemsEx()->Clear();
    for (int i = 0; i < 26; ++i) {
        if (!(present & (1u << i)))
            continue;
        const char letter = static_cast<char>('A' + i);
        AnsiString path = AnsiString(1, letter) + ":\\";
        AnsiString name;
        int icon = -1;
        drives.ShellName(letter, name, icon);
        AddItem(name.empty() ? path : name, path, icon, -1);
        if (letter != current)
            continue;
        // Under the drive, one item per level of the folder.
        const AnsiString rest = FDirectory.substr(FDirectory.find(':') + 1);
        int level = 0;
        for (size_t start = 0; start < rest.size();) {
            size_t end = rest.find('\\', start);
            if (end == AnsiString::npos)
                end = rest.size();
            const AnsiString word = rest.substr(start, end - start);
            start = end + 1;
            if (word.empty())
                continue;
            path += word + "\\";
            SHFILEINFOA info{};
            const bool known = SHGetFileInfoA(path.c_str(), 0, &info, sizeof info,
                                              SHGFI_SYSICONINDEX | SHGFI_DISPLAYNAME | SHGFI_SMALLICON) != 0;
            // A folder the shell does not know still shows its name.
            AddItem(known && info.szDisplayName[0] ? AnsiString(info.szDisplayName) : word, path,
                    known ? info.iIcon : -1, ++level);
        }
    }
    ItemsEx()->EndUpdate();
    Items()->EndUpdate();
}

void TsPathComboBox::SetDirectory(const AnsiString& Value)
{
    const AnsiString dir = NormalDir(Value);
    if (AnsiSameText(dir, FDirectory))
        return;
    FDirectory = dir;
    if (HandleAllocated()) {
        BuildList();
        ChooseDirectoryItem();
    }
}

void TsPathComboBox::Click()
{
    inherited::Click();
    if (TsComboItem* item = GetSelectedItem())
        SetDirectory(item->Caption());
}

void TsPathComboBox::WndProc(TMessage& Message)
{
    // The wheel does not move from a drive to the next one.
    if (Message.Msg == WM_MOUSEWHEEL) {
        if (TsComboItem* item = GetSelectedItem(); item && item->Indend() == -1)
            return;
    }
    inherited::WndProc(Message);
}
