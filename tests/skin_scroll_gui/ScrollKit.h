// Helpers of the skinned scroll bar and host tests: one of our skins loaded as the active skin,
// and whether a window is the system's scroll bar or the skinned one.
#pragma once

#include <gtest/gtest.h>

#include "../skin_data/SkinFixture.h"
#include "FormTest.h"
#include "sMaskData.h"
#include "sMessages.h"
#include "sStyleSimply.h"

namespace scrollkit {

// Loads a shipped skin as the manager does and makes it the active skin.
inline void LoadSkin(const char* Name)
{
    LoadSkinFolder(ShippedSkin(Name));
}

inline void UnloadSkin()
{
    sSkinData->Active = false;
    FreeBitmaps();
    FreeJpegs();
    gd.clear();
    sSkinData->SkinFile.reset();
    InitConstantIndexes();
}

// The system's scroll bar answers its position (give the bar a position other than 0); a plain
// window answers 0.
inline bool IsNativeBar(HWND Wnd, int Position)
{
    return SendMessageA(Wnd, SBM_GETPOS, 0, 0) == Position;
}

// A form test with Neutral active from the start.
class SkinnedTest : public testkit::FormTest {
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        LoadSkin("Neutral");
        form = MakeForm();
        form->SetBounds(50, 50, 400, 300);
    }
    void TearDown() override
    {
        FormTest::TearDown();
        UnloadSkin();
    }
    // Sends a skin command to a control's window procedure.
    static void Command(TControl* Control, WORD Command)
    {
        Control->Perform(SM_SKINCMD, MAKEWPARAM(0, Command), 0);
    }
    TForm* form = nullptr;
};

} // namespace scrollkit
