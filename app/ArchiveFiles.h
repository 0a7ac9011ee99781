// Paths of the archive beside the executable, the tree map file and the command-line tree path.
// Every path is the executable's folder followed by a relative path, so nothing depends on the
// current directory.
#pragma once

#include <functional>

#include "SysUtils.h"

class TOpenDialog;
class TCustomEdit;

namespace archive {

// The executable's folder with its trailing backslash followed by Relative ("FILES\form.ini").
AnsiString AppPath(const AnsiString& Relative);

// Map sections: articles (file relative to FILES\), Flash movies (relative to FILES\FLASH\) and
// links (the address as typed).
inline constexpr const char* SectionFiles = "FILES";
inline constexpr const char* SectionFlash = "FLASH";
inline constexpr const char* SectionUrl = "URL";

// Base name of this instance's working map and tree under FILES\tree\: "Temp", or, in an
// instance started while another one holds the working tree, the loaded tree's own name. The
// map operations given as "FILES\tree\Temp.ini" use MapPath(WorkingTreeFile()).
const AnsiString& WorkingTreeFile();
void SetWorkingTreeFile(const AnsiString& Name);

// "FILES\tree\" + TreeFile + ".ini" as a full path.
AnsiString MapPath(const AnsiString& TreeFile);

// Runs Write, which replaces Path, a file of the program's own. A read-only file is refused before
// anything is written (the runtime would clear the attribute and replace it). Answers "" when it
// was written, else the reason in the user's words ("Доступ запрещён.").
AnsiString TryReplaceOwnFile(const AnsiString& Path, const std::function<void()>& Write);

// The tree map: one INI file object per access, freed right after it. A read of a missing key
// or file gives the empty text.
AnsiString ReadMapEntry(const AnsiString& TreeFile, const AnsiString& Section, const AnsiString& Title);
void WriteMapEntry(const AnsiString& TreeFile, const AnsiString& Section, const AnsiString& Title,
                   const AnsiString& Value);
void DeleteMapEntry(const AnsiString& TreeFile, const AnsiString& Section, const AnsiString& Title);

// The tree path given on the raw command line: what follows the program path. The program path
// is the quoted text when the line starts with a quote, else the text up to the first blank; the
// blanks after it are skipped and one pair of quotes around the rest is removed, so both
// `"prog.exe" "D:\a b.vlt"` and `"prog.exe" D:\a b.vlt` give `D:\a b.vlt`. "" when there is none.
AnsiString TreePathFromCommandLine(const AnsiString& RawCmdLine);

// The tree name of a tree file path: its file name without a ".vlt" extension (compared without
// case), used alike when saving and loading so that a name with dots ("2024.05.vlt") keeps them.
AnsiString TreeNameFromPath(const AnsiString& Path);

// The part of a note's file name that stands for an entry's title: the title itself, with each
// character a file name cannot hold (\ / : * ? " < > |, control characters) and "=" written as
// "=" and its two hex digits ("Что такое C++?" gives "Что такое C++=3F"). A title that is a map
// key holds no "=", so the form is reversible, and a title that could name a file keeps its name.
AnsiString NoteName(const AnsiString& Title);

// The title part (as NoteName writes it) of a note file named Title + "_" + TreeName + ".txt"
// (the suffix compared without case); false when the name has another form (a note of another
// tree, "VLN2" for "VLN").
bool NoteTitle(const AnsiString& NoteFileName, const AnsiString& TreeName, AnsiString& Title);

// The name of FullName relative to the archive folder Folder ("FILES\\" or "FILES\\FLASH"
// beside the program), compared without case; false when the file lies elsewhere.
bool RelativeName(const AnsiString& FullName, const AnsiString& Folder, AnsiString& Relative);

// Lets the user pick a file in the archive folder Folder: the dialog starts there, and the name
// relative to the folder goes into Target; a file elsewhere is refused with
// "Файл должен находиться в папке\n" and the folder's full path.
void BrowseFile(TOpenDialog& Dialog, const AnsiString& Folder, TCustomEdit& Target);

// The first step of the relative name Name (steps parted by "\\" or "/") that the system takes for
// a device whatever its extension ("nul", "CON.txt", "com1 .html"); "" when there is none.
AnsiString DeviceNameIn(const AnsiString& Name);

// A step up out of a folder: "..", or a name of dots and blanks that the system may read as one.
bool ParentStep(const AnsiString& Part);

// Whether the file name typed into Target names a file in the archive folder Folder, resolved as
// the system resolves it when the entry is opened (a relative name below the folder, "." and
// ".." steps taken; a step of dots and blanks is refused as one up). A full name inside the folder becomes the name relative to it, as
// BrowseFile gives it; a name elsewhere is refused with BrowseFile's message. An empty name
// passes: an entry may have none.
bool TypedFileInside(const AnsiString& Folder, TCustomEdit& Target);

} // namespace archive
