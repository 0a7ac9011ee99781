// The library's registered window message SM_SKINCMD and its command codes. The command travels
// in the high word of WParam and a one-bit argument in its low word; yes/no queries are answered
// by writing 1 into the record's LParam, which the sender hands straight to the receiver's
// WindowProc and reads back.
#pragma once

#include <windows.h>

// The message number: the registered "SM_SKINCMD", or 0xA100 when registration gives no number
// of the registered range (0xC000 and above).
extern UINT SM_SKINCMD;

// The message number for what registration answered.
UINT SkinMessageNumber(UINT Registered);

constexpr WORD AC_NEWSKIN = 1;            // a new skin was loaded: re-resolve the indexes
constexpr WORD AC_REMOVESKIN = 2;         // the skin is gone
constexpr WORD AC_REPAINT = 3;            // repaint with the current skin
constexpr WORD AC_GETPROVIDER = 4;        // Result := the form's skin provider
constexpr WORD AC_GETCACHEINFO = 5;       // GlobalCacheInfo := the receiver's cache
constexpr WORD AC_PARENTUPDATED = 6;      // the parent finished updating
constexpr WORD AC_ISSKINNED = 7;          // LParam := 1 when skinned by the library
constexpr WORD AC_SETUPDATING = 8;        // updating := argument
constexpr WORD AC_URGENTPAINTING = 9;     // urgent painting := argument
constexpr WORD AC_GETUPDATING = 10;       // LParam := 1 while updating
constexpr WORD AC_GETHALFVISIBLE = 11;    // LParam := the half-visible flag
constexpr WORD AC_SETBGCHANGED = 12;      // background changed, when transparent
constexpr WORD AC_UPDATESKINSECTION = 13; // the section named by GlobalSectionName changed
constexpr WORD AC_GETDROPPEDDOWN = 14;    // Result := the combo box is dropped down
constexpr WORD AC_SETREPAINTCHILD = 15;   // LParam: the child that repaints itself (or 0)
constexpr WORD AC_STOPFADING = 16;        // stop a running fade at once
constexpr WORD AC_FULLREPAINT = 18;       // WM_PAINT and WM_NCPAINT to itself
constexpr WORD AC_ISTEXTURED = 19;        // LParam := 1 when textured or repainted when moved
constexpr WORD AC_REPAINTIFMOVED = 20;    // moved or parent resized
constexpr WORD AC_GETCENTERCOLOR = 21;    // ParentCenterColor := the visible centre colour
// Codes above this one are ignored by every receiver.
constexpr WORD AC_LASTCOMMAND = AC_GETCENTERCOLOR;
