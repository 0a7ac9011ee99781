// Names the system gives as wide text. The program's calls take names in its code page, where a
// character the code page lacks becomes "?" (a wildcard) or a look-alike naming another entry,
// and where a path drops a last "." or " " of a name: such a name must not be used to act on the
// entry it came from.
#pragma once

#include <string>

#include "System.h"

// Name in the program's code page; Exact tells whether it converts back to the very same name.
AnsiString NarrowFileName(const wchar_t* Name, bool& Exact);
// Whether a path drops the end of the name ("." and ".." aside): it ends in "." or " ".
bool NameEndDropped(const AnsiString& Name);
// Whether a name is a device's ("con", "prn", "aux", "nul", "com1".."com9", "lpt1".."lpt9", in any
// case, with any extension or blanks after it): a path ending in it opens the device, not the entry.
bool DeviceName(const AnsiString& Name);
// Whether a name that converts exactly reaches its own entry as the last name of a path: its end
// is kept and it names no device.
bool NameReachesEntry(const AnsiString& Name);
// A path by which the program's calls reach the very entry of the wide Path: Path itself where
// every name in it converts exactly and reaches its entry (NameReachesEntry), else with the short
// name its folder lists for each name that does not; "" when some name has neither.
AnsiString ReachingPath(const std::wstring& Path);
// The path by which the program's calls reach the entry a full path in the code page names (a
// short name in it stands for its entry): in its long form where the code page spells it (see
// ReachingPath). For a path to no entry, its folder so and its last name as given; Path itself
// when its folder does not exist either.
AnsiString ReachingLongPath(const AnsiString& Path);
// The path by which the program's calls reach the entry that a system dialog handed back as the
// wide full Path (a short name in it stands for its entry): the reaching path of its long form
// when it exists; for a name that does not exist yet, the reaching path of its folder and the name,
// when the name converts exactly and reaches its entry. "" when no path reaches it: the dialog's
// choice is then refused (UnreachableChoiceText), never handed on as another entry's path.
AnsiString ChosenPath(const std::wstring& Path);
// The message that refuses a chosen Path no path reaches, in the program's language: the path
// shown with "?" for each character the code page lacks.
AnsiString UnreachableChoiceText(const std::wstring& Path);
// The wide full Path as the system takes it literally ("\\?\" before it, "\\?\UNC\" for a share;
// a path in that form already stays as it is): a last "." or " " of a name is kept, so the call
// reaches that very entry.
std::wstring LiteralWidePath(const std::wstring& Path);
