#include "sComboBoxEx.h"

#if __has_include("ComCtrlsComboEx.h")
TsComboBoxEx::TsComboBoxEx(TComponent* AOwner) : TComboBoxEx(AOwner), TsBoundHolder(this, "COMBOBOX", 0)
{
}
#endif
