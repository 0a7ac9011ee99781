// The path combo box: a skinned combo box with pictures that lists the drives by their shell
// names and icons and, under the drive of its Directory, one item per folder level down to it.
// Each item's caption is its full path with a trailing backslash; choosing an item makes it the
// Directory.
#pragma once

#include "sComboBoxes.h"

// The drive letter of a path: the character before its first ":", 0 when there is none (no ":",
// or nothing before it).
char PathDrive(const AnsiString& Path);

class TsPathComboBox : public TsCustomComboBoxEx {
    VCL_CLASS(TsPathComboBox, TsCustomComboBoxEx)
public:
    explicit TsPathComboBox(TComponent* AOwner);
    void AfterConstruction() override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;

    // The folder shown, with a trailing backslash ("" for none).
    const AnsiString& Directory() const { return FDirectory; }
    // Unless it names the same folder (letter case aside): the folder with a trailing backslash,
    // the list built again and its item chosen.
    void SetDirectory(const AnsiString& Value);
    // The drive letter of Directory (0 without one).
    char GetDrive() const { return PathDrive(FDirectory); }
    // The drives, and under Directory's drive its levels, from the drive service and the shell.
    virtual void BuildList();
    void Click() override;

protected:
    void CreateWnd() override;

private:
    // The system's small icons, shared by every path combo box, unless Images are set.
    void CreateImages();
    // The item of Directory chosen (none when it has none).
    void ChooseDirectoryItem();
    void AddItem(const AnsiString& Text, const AnsiString& Path, int Icon, int Indent);

    AnsiString FDirectory;
};
