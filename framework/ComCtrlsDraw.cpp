#include "ComCtrlsDraw.h"

#include <utility>

TCustomDrawState CustomDrawStateOf(UINT ItemState)
{
    static const std::pair<UINT, TCustomDrawStateItem> bits[] = {
        {CDIS_SELECTED, cdsSelected}, {CDIS_GRAYED, cdsGrayed}, {CDIS_DISABLED, cdsDisabled},
        {CDIS_CHECKED, cdsChecked},   {CDIS_FOCUS, cdsFocused}, {CDIS_DEFAULT, cdsDefault},
        {CDIS_HOT, cdsHot},           {CDIS_MARKED, cdsMarked}, {CDIS_INDETERMINATE, cdsIndeterminate}};
    TCustomDrawState state;
    for (const auto& [bit, item] : bits)
        if (ItemState & bit)
            state << item;
    return state;
}

void SetWindowStyleBit(HWND Wnd, DWORD Bit, bool On)
{
    if (!Wnd)
        return;
    const LONG style = GetWindowLongA(Wnd, GWL_STYLE);
    const LONG next = On ? (style | static_cast<LONG>(Bit)) : (style & ~static_cast<LONG>(Bit));
    if (next != style) {
        SetWindowLongA(Wnd, GWL_STYLE, next);
        InvalidateRect(Wnd, nullptr, TRUE);
    }
}
