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

// "FILES\tree\" + TreeFile + ".ini" as a full path.
AnsiString MapPath(const AnsiString& TreeFile);

// Runs Write, which replaces Path, a file of the program's own (the runtime refuses a read-only
// one before anything is written). Answers whether it was written; otherwise Reason tells why in
// the user's words, from the error code ("Файл доступен только для чтения."), also for a failure
// that gives none ("Причина неизвестна."); a failure of another file names that file.
bool TryReplaceOwnFile(const AnsiString& Path, const std::function<void()>& Write, AnsiString& Reason);
// The reason of a failure, in the user's words: the reason of its error code for a failure of the
// system, else what the exception tells.
AnsiString FailureReason(const Exception& E);

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

// Whether a part of a path is the name of a device (CON, PRN, AUX, NUL, COM1..COM9, LPT1..LPT9,
// CONIN$, CONOUT$; also with an extension or with blanks and dots after it): no file can have it.
bool DeviceName(const AnsiString& Part);

// Where the file name of an entry leads, resolved as the system resolves it when the entry is
// opened (a relative name below the archive folder, "." and ".." steps taken; a step of dots and
// blanks counts as one up; a name ending in a separator names a folder, which is elsewhere).
enum class TFilePlace {
    Inside,  // a file in the folder (or no name at all: an entry may have none)
    Outside, // elsewhere: above the folder, another drive, a share, a folder
    Device,  // a part of it names a device
    Stream,  // a ":" other than a drive's: a stream inside a file, not a file
};
// Full = true takes a full name inside the folder (Relative then gets the name relative to it);
// false refuses every full name, as a stored relative name must never be one.
TFilePlace PlaceOfFile(const AnsiString& Folder, const AnsiString& Name, bool Full, AnsiString& Relative);
// The refusal of a name that is not Inside, naming the folder or the name.
AnsiString PlaceRefusal(TFilePlace Place, const AnsiString& Folder, const AnsiString& Name);

// Whether the file name typed into Target names a file in the archive folder Folder
// (PlaceOfFile, full names taken). A full name inside the folder becomes the name relative to it,
// as BrowseFile gives it; any other name is refused with PlaceRefusal's message. An empty name
// passes: an entry may have none.
bool TypedFileInside(const AnsiString& Folder, TCustomEdit& Target);

} // namespace archive
