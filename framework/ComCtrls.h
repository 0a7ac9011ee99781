// The framework's ComCtrls unit: tree view, bars, tab and page controls, extended combo box.
#pragma once

#if __has_include("ComCtrlsTree.h")
#include "ComCtrlsTree.h"
#endif
#include "ComCtrlsBars.h"
#include "ComCtrlsComboEx.h"
#include "ComCtrlsPages.h"
