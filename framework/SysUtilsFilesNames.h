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
// A path by which the program's calls reach the very entry of the wide Path: Path itself where
// it converts exactly and no name in it ends in "." or " ", else its short form where that does;
// "" when neither does.
AnsiString ReachingPath(const std::wstring& Path);
// The wide full Path as the system takes it literally ("\\?\" before it, "\\?\UNC\" for a share):
// a last "." or " " of a name is kept, so the call reaches that very entry.
std::wstring LiteralWidePath(const std::wstring& Path);
