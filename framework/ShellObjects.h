// The shell's object interfaces (shlobj.h: IShellFolder, IEnumIDList, IContextMenu...). The
// system header also names a class Shell, which would hide our shell service's Shell(): it is
// renamed here, so that both can be used in one unit.
#pragma once

#define Shell SystemShellObject
#include <shlobj.h>
#undef Shell
