#include "FileCtrl.h"

#include "SysUtils.h"

namespace {

char LowerLetter(char C) { return C >= 'A' && C <= 'Z' ? static_cast<char>(C - 'A' + 'a') : C; }

// The built-in pictures of the drive kinds, by GetDriveType's value.
const char* DrivePictureName(UINT DriveType)
{
    switch (DriveType) {
    case DRIVE_REMOVABLE: return "DRIVE_REMOVABLE";
    case DRIVE_FIXED: return "DRIVE_FIXED";
    case DRIVE_REMOTE: return "DRIVE_REMOTE";
    case DRIVE_CDROM: return "DRIVE_CDROM";
    case DRIVE_RAMDISK: return "DRIVE_RAMDISK";
    default: return nullptr;
    }
}

} // namespace

AnsiString DriveItemText(char Letter, TDriveService& Service)
{
    AnsiString text = AnsiString(1, LowerLetter(Letter)) + ":";
    AnsiString label;
    if (Service.DriveType(Letter) != DRIVE_REMOVABLE && Service.VolumeLabel(Letter, label) && !label.empty())
        text += " [" + label + "]";
    return text;
}

// --- TDriveComboBox ----------------------------------------------------------------------------

TDriveComboBox::TDriveComboBox(TComponent* AOwner) : TCustomComboBox(AOwner)
{
    FStyle = csOwnerDrawFixed;
    char current[MAX_PATH + 1] = {};
    GetCurrentDirectoryA(sizeof current, current);
    FDrive = current[1] == ':' ? LowerLetter(current[0]) : 0;
    BuildList();
}

TDriveComboBox::~TDriveComboBox() = default;

void TDriveComboBox::BuildList()
{
    TDriveService& drives = Drives();
    const DWORD present = drives.LogicalDrives();
    FItems->BeginUpdate();
    FItems->Clear();
    int chosen = -1;
    for (int i = 0; i < 26; ++i) {
        if (!(present & (1u << i)))
            continue;
        const char letter = static_cast<char>('a' + i);
        const int index = FItems->AddObject(DriveItemText(letter, drives), PictureOf(drives.DriveType(letter)));
        if (letter == FDrive)
            chosen = index;
    }
    FItems->EndUpdate();
    if (chosen < 0 && FItems->Count() > 0) {
        // The drive went (or none was chosen): the first one.
        chosen = 0;
        FDrive = FItems->Get(0)[0];
    } else if (chosen < 0) {
        FDrive = 0;
    }
    SetItemIndex(chosen);
}

TBitmap* TDriveComboBox::PictureOf(UINT DriveType)
{
    const char* name = DrivePictureName(DriveType);
    if (!name)
        return nullptr;
    std::unique_ptr<TBitmap>& picture = FPictures[DriveType];
    if (!picture) {
        auto bmp = std::make_unique<TBitmap>();
        try {
            bmp->LoadFromResourceName(GetModuleHandleA(nullptr), name);
        } catch (const Exception&) {
            // A program without the pictures shows the texts alone.
            return nullptr;
        }
        bmp->SetTransparent(true);
        picture = std::move(bmp);
    }
    return picture.get();
}

TBitmap* TDriveComboBox::DriveBitmap(int Index)
{
    if (Index < 0 || Index >= FItems->Count())
        return nullptr;
    return static_cast<TBitmap*>(FItems->GetObject(Index));
}

void TDriveComboBox::SetDrive(char Value)
{
    const char letter = LowerLetter(Value);
    for (int i = 0; i < FItems->Count(); ++i) {
        if (FItems->Get(i)[0] != letter)
            continue;
        if (ItemIndex() != i)
            SetItemIndex(i);
        if (letter != FDrive) {
            FDrive = letter;
            Change();
        }
        return;
    }
}

void TDriveComboBox::CreateWnd()
{
    inherited::CreateWnd();
    for (int i = 0; i < FItems->Count(); ++i)
        if (FItems->Get(i)[0] == FDrive)
            SetItemIndex(i);
}

void TDriveComboBox::Click()
{
    inherited::Click();
    const int i = ItemIndex();
    if (i >= 0)
        SetDrive(FItems->Get(i)[0]);
}

void TDriveComboBox::Select()
{
    if (OnSelect)
        OnSelect(this);
}

void TDriveComboBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State)
{
    if (OnDrawItem) {
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    TCanvas* canvas = Canvas();
    canvas->FillRect(Rect);
    int left = Rect.left + 2;
    if (TBitmap* picture = DriveBitmap(Index)) {
        canvas->Draw(left, Rect.top + (Rect.bottom - Rect.top - picture->Height()) / 2, picture);
        left += picture->Width() + 4;
    }
    const AnsiString text = FItems->Get(Index);
    canvas->TextOut(left, Rect.top + (Rect.bottom - Rect.top - canvas->TextHeight(text)) / 2, text);
}
