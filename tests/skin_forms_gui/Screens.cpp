// The application's skinned dialogs in both shipped skins: each takes the skin's shape and frame,
// and a picture of each is written into the working folder (skinned_<form>_<skin>.png) to be
// looked at.
#include <functional>
#include <string>
#include <vector>

#include "FormsKit.h"

#include "Form12.h"
#include "Form13.h"
#include "Form14.h"
#include "Form15.h"
#include "Form16.h"
#include "Form2.h"
#include "Form4.h"
#include "Form5.h"
#include "Form8.h"
#include "Form9.h"
#include "FormFlash.h"
#include "FormFlashO.h"

using namespace formskit;

namespace {

using Screens = SkinnedFormTest;

template <class T>
TForm* Make()
{
    return Create<T>(Application);
}

} // namespace

TEST_F(Screens, EveryDialogIsDrawnByTheSkin)
{
    const std::vector<std::function<TForm*()>> makers = {
        Make<TForm2>,  Make<TForm4>,  Make<TForm5>,  Make<TForm8>,  Make<TForm9>, Make<TForm12>,
        Make<TForm13>, Make<TForm14>, Make<TForm15>, Make<TForm16>, Make<TFlash>, Make<TFlashO>,
    };
    for (const char* skin : {"Neutral", "Dusk"}) {
        UseSkin(skin);
        for (const auto& make : makers) {
            TForm* form = make();
            SCOPED_TRACE(std::string(form->Name()) + " " + skin);
            form->SetLeft(40);
            form->SetTop(40);
            form->Show();
            SetForegroundWindow(form->Handle());
            Paint(form);
            TsSkinProvider* provider = ProviderOf(form);
            ASSERT_NE(provider, nullptr);
            // The frame is the skin's: the system draws no buttons of its own, the window has the
            // skin's rounded shape and the client shows the form section's colour.
            EXPECT_EQ(GetWindowLongA(form->Handle(), GWL_STYLE) & WS_SYSMENU, 0);
            HRGN rgn = CreateRectRgn(0, 0, 0, 0);
            EXPECT_NE(GetWindowRgn(form->Handle(), rgn), ERROR);
            EXPECT_FALSE(PtInRegion(rgn, 0, 0));
            DeleteObject(rgn);
            // The title buttons of the form's own frame: close, and maximise where the frame sizes
            // or asks for it.
            const TBorderIcons icons = provider->SavedFormIcons();
            const bool maximise = form->BorderStyle() == bsSizeable ||
                                  (form->BorderStyle() == bsSingle && icons.Contains(biMaximize));
            EXPECT_EQ(provider->ButtonClose.State, 0);
            EXPECT_EQ(provider->ButtonMax.State, maximise ? 0 : -1);
            testkit::SaveScreenshot(testkit::OutputDir() + "skinned_" + std::string(form->Name()) + "_" + skin + ".png",
                                    form->Handle());
            form->Free();
        }
    }
}
