// The framework's drive combo box: one item per drive of the drive service, with the picture of
// its kind and its volume text.
#pragma once

#include <array>
#include <memory>

#include "DriveSeams.h"
#include "StdCtrls.h"

// The text of a drive's item: the lower-case letter and ":", then the volume label in brackets
// when the drive has a medium with a label. A removable drive is not asked (no floppy spins up).
AnsiString DriveItemText(char Letter, TDriveService& Service);

// Drives of the drive service, lower-case letters; Drive is the chosen one.
class TDriveComboBox : public TCustomComboBox {
    VCL_CLASS(TDriveComboBox, TCustomComboBox)
public:
    explicit TDriveComboBox(TComponent* AOwner);
    ~TDriveComboBox() override;

    // The chosen drive's letter (lower case; 0 without drives).
    char Drive() const { return FDrive; }
    // Chooses the drive of that letter (either case) and raises OnChange; a letter that names no
    // item is ignored.
    virtual void SetDrive(char Value);
    // The items anew from the drive service; the chosen drive stays when it is still there.
    void BuildList();
    // The picture of an item's drive kind (null when the kind has none, or for no item).
    TBitmap* DriveBitmap(int Index);

protected:
    void CreateWnd() override;
    void Click() override;
    // OnSelect only: OnChange follows a change of Drive.
    void Select() override;
    void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override;

private:
    TBitmap* PictureOf(UINT DriveType);

    char FDrive = 0;
    // Pictures by GetDriveType's value, loaded on first use.
    std::array<std::unique_ptr<TBitmap>, DRIVE_RAMDISK + 1> FPictures;
};
