// Entries with names the program's code page cannot spell, made by the tests beside their others.
#pragma once

#include <string>

namespace testkit {

// A file with Bytes, or a folder (Name ending in a backslash), made in Dir by its wide name, which
// the program's code page may not spell; a last "." or " " of the name is kept.
void MakeWide(const std::string& Dir, const std::wstring& Name, const std::string& Bytes = "x");

} // namespace testkit
