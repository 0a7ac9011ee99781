// The settings files beside the program: FILES\settings.ini (how saved trees are opened),
// FILES\form.ini (window geometry, view flags, skin, tree name, count of new articles) and the
// address list FILES\list.
#pragma once

#include "Classes.h"
#include "SysUtils.h"

namespace settings {

// OPEN_TREE/TreeOpen of FILES\settings.ini: true exactly when the value is "true" (case-sensitive);
// true when the file is missing or has no such key.
bool ReadOpenTreesInNewWindow();
// Writes OPEN_TREE/TreeOpen: "true" or "false".
void WriteOpenTreesInNewWindow(bool Value);

// FORM/NameTree of FILES\form.ini, "VLN" when absent or when it cannot be a tree's name (a file
// name: at most 251 characters, no control characters, none of \ / : * ? " < > |).
AnsiString ReadTreeName();
// FORM/TreeFile of FILES\form.ini: the tree file the last close saved the tree to because it could
// not write the working tree; "" when absent or when it cannot be a path (longer than MAX_PATH,
// control characters).
AnsiString ReadSavedTreeFile();
// Writes FORM/TreeFile (removed when Path is empty), leaving every other key as it is.
void WriteSavedTreeFile(const AnsiString& Path);

// What the main window takes from FILES\form.ini at start (0 for every missing integer, and for
// one outside -32768..32767, which no window bound can be; the skin "Neutral" for a value that
// cannot name a skin folder).
struct TFormSettings {
    Integer Width = 0;
    Integer Height = 0;
    Integer Top = 0;
    Integer Left = 0;
    Integer PanelWidth = 0;
    Integer VisibleTool1 = 0;
    Integer VisibleTool2 = 0;
    Integer VisibleTree = 0;
    AnsiString Skin = "Neutral";
};
TFormSettings ReadFormSettings();

// A window's width or height read from a settings file: Value when a window can have it
// (1..32767), else Default.
Integer StoredWindowSize(Integer Value, Integer Default);

// What the main window writes to FILES\form.ini at close, in this order: FORM NameTree, Width,
// Height, Top, Left, Skin; VIEW Visible_Tool1, Visible_Tool2, Visible_Tree; Panel Width; ST Count.
// WithTreeKeys = false leaves NameTree, TreeFile and ST/Count as they are (they describe the
// working tree, which an instance started beside another one does not own).
struct TFormCloseSettings {
    AnsiString NameTree;
    Integer Width = 0;
    Integer Height = 0;
    Integer Top = 0;
    Integer Left = 0;
    AnsiString Skin;
    bool VisibleTool1 = false;
    bool VisibleTool2 = false;
    bool VisibleTree = false;
    Integer PanelWidth = 0;
    Integer NewArticleCount = 0;
    // FORM/TreeFile: written when not empty, removed otherwise (with the tree keys only).
    AnsiString SavedTreeFile;
    bool WithTreeKeys = true;
};
// Writes the keys (one safe replacement of the file) and then leaves the file hidden only.
void WriteFormSettings(const TFormCloseSettings& Values);

// The address list FILES\list into Items, one entry per line. A missing file is an empty list.
void LoadAddressList(TStrings& Items);
// Writes Items to FILES\list through a safe replacement.
void SaveAddressList(const TStrings& Items);

} // namespace settings
