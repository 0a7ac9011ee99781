#include "sDialogs.h"

#include "SysUtils.h"
#include "acPathDialog.h"
#include "sStyleSimply.h"
#include "sUtils.h"

bool TsPathDialog::Execute()
{
    AnsiString start = Path;
    if (!DirExists(start))
        start = GetAppPath();
    if (!NoChangeDir)
        SetCurrentDir(start);
    AnsiString chosen = start;
    bool ok;
    if (sSkinData && sSkinData->Active)
        ok = ExecutePathDialogForm(Caption, Root, start, chosen);
    else
        ok = SelectDirectoryUnder(Caption, Root, chosen);
    if (ok && !chosen.empty() && DirExists(chosen))
        Path = chosen;
    return ok;
}
