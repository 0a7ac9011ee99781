#include "sMessages.h"

UINT SkinMessageNumber(UINT Registered)
{
    return static_cast<int>(Registered) < 0xC000 ? 0xA100 : Registered;
}

UINT SM_SKINCMD = SkinMessageNumber(RegisterWindowMessageA("SM_SKINCMD"));
