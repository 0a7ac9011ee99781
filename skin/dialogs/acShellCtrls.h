// The shell controls: shell items, the change notifier, and the shell list view, tree view and
// combo box that follow each other.
#pragma once

#include "acShellCtrlsCombo.h"
#include "acShellCtrlsItems.h"
#include "acShellCtrlsList.h"
#include "acShellCtrlsNotify.h"
#include "acShellCtrlsTree.h"
