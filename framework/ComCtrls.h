// The framework's ComCtrls unit: tree view, list view, bars, tab and page controls, extended combo
// box, rich edit.
#pragma once

#include "ComCtrlsTree.h"
#include "ComCtrlsBars.h"
#include "ComCtrlsComboEx.h"
#include "ComCtrlsPages.h"
#include "ComCtrlsRichEdit.h"
#include "ComCtrlsListView.h"
