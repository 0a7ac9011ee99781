#include "Classes.h"

void TPersistent::Assign(TPersistent* Source)
{
    if (Source) {
        Source->AssignTo(this);
        return;
    }
    throw EConvertError(AnsiString("Cannot assign a nil to a ") + ClassInfo()->Name);
}

void TPersistent::AssignTo(TPersistent* Dest)
{
    const char* destName = Dest ? Dest->ClassInfo()->Name : "nil";
    throw EConvertError(AnsiString("Cannot assign a ") + ClassInfo()->Name + " to a " + destName);
}
