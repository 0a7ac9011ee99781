// Skinned forms for the tests: a skin manager over the shipped skins (or a changed copy of one), and
// forms with a provider, shown, whose frame is read back from the provider's cache or the screen.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "FormTest.h"
#include "Menus.h"
#include "SubclassWindow.h"
#include "TestKit.h"
#include "sMaskData.h"
#include "sSkinManager.h"
#include "sSkinProvider.h"
#include "sStyleSimply.h"
#include "sUtils.h"

namespace formskit {

// The folder of the shipped skins, with a trailing backslash.
inline AnsiString SkinsDir() { return testkit::DataDir() + "..\\..\\app\\defaults\\Skins\\"; }

// A colour of a 24-bit bitmap as a TColor (red in the low byte).
inline TColor PixelOf(TBitmap* Bmp, int X, int Y)
{
    const Byte* p = static_cast<const Byte*>(Bmp->ScanLine(Y)) + 3 * X;
    return static_cast<TColor>(p[2] | (p[1] << 8) | (p[0] << 16));
}

// The section record of the current skin (the test fails when the skin lacks it).
inline const TsGeneralData& SectionOf(const char* Name)
{
    const int i = GetSkinIndex(Name);
    EXPECT_GE(i, 0) << Name;
    return gd.at(static_cast<std::size_t>(i < 0 ? 0 : i));
}

// A mask of a section (null when the skin has none).
inline const TsMaskData* MaskOf(const char* Section, const char* Property)
{
    const int i = GetMaskIndex(GetSkinIndex(Section), Section, Property);
    return i < 0 ? nullptr : &ma[static_cast<std::size_t>(i)];
}

// The first provider of a form.
inline TsSkinProvider* ProviderOf(TCustomForm* Form)
{
    for (int i = 0; i < Form->ComponentCount(); ++i)
        if (auto* p = dynamic_cast<TsSkinProvider*>(Form->Components(i)))
            return p;
    return nullptr;
}

class SkinnedFormTest : public testkit::FormTest {
protected:
    void TearDown() override
    {
        if (manager_)
            manager_->Free();
        manager_ = nullptr;
        testkit::FormTest::TearDown();
    }

    // The default skin manager of the test, made on first use.
    TsSkinManager* Manager()
    {
        if (!manager_)
            manager_ = Create<TsSkinManager>(Application);
        return manager_;
    }
    // Loads a skin of a folder of skins and applies it to every window.
    void UseSkin(const char* Name, const AnsiString& Folder = SkinsDir())
    {
        Manager()->SetSkinDirectory(Folder);
        Manager()->SetSkinName(Name);
        ASSERT_TRUE(sSkinData->Active) << Name;
    }
    // A shipped skin by name, or no skin at all for "none".
    void UseSkinOrNone(const char* Name)
    {
        if (std::string(Name) != "none")
            UseSkin(Name);
        else if (sSkinData->Active)
            Manager()->SetActive(false);
    }
    // A copy of a shipped skin in Dir under Name, its options file changed by Edit first.
    static void CopySkin(const char* From, const testkit::TempDir& Dir, const char* Name,
                         const std::function<void(std::string&)>& Edit)
    {
        const std::string src = std::string(SkinsDir()) + From + "\\";
        const std::string dst = Dir / Name;
        CreateDirectoryA(dst.c_str(), nullptr);
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((src + "*").c_str(), &fd);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                CopyFileA((src + fd.cFileName).c_str(), (dst + "\\" + fd.cFileName).c_str(), FALSE);
        } while (FindNextFileA(h, &fd));
        FindClose(h);
        std::string options = testkit::ReadFileBytes(dst + "\\Options.dat");
        Edit(options);
        testkit::WriteFileBytes(dst + "\\Options.dat", options);
    }

    // A form with a provider at (100, 100), shown and painted.
    TForm* SkinnedForm(TFormBorderStyle Style = bsSizeable, int Width = 400, int Height = 300,
                       TsSkinProvider** Provider = nullptr)
    {
        TForm* form = MakeForm();
        form->SetBorderStyle(Style);
        form->SetBounds(100, 100, Width, Height);
        form->SetCaption("Skinned");
        auto* provider = Create<TsSkinProvider>(form);
        if (Provider)
            *Provider = provider;
        form->Show();
        Paint(form);
        return form;
    }
    // For each shipped skin: a form made by Make, shown, painted and given to Check, its picture
    // written into the working folder as <Prefix><skin>.png; then freed.
    template <class TDemo>
    void InShippedSkins(const std::string& Prefix, const std::function<void(TDemo*, const char*)>& Check)
    {
        for (const char* skin : {"Neutral", "Dusk"}) {
            UseSkin(skin);
            auto* form = Create<TDemo>(Application);
            form->Show();
            SetForegroundWindow(form->Handle());
            Paint(form);
            testkit::WaitIdle();
            Paint(form);
            Check(form, skin);
            testkit::SaveScreenshot(Prefix + skin + ".png", form->Handle());
            form->Free();
        }
    }
    // Lets the form paint what is pending.
    static void Paint(TWinControl* Form)
    {
        RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
        testkit::PumpPending();
    }
    // The hit-test answer at a point of the window (window coordinates).
    static int HitTest(TCustomForm* Form, int X, int Y)
    {
        RECT r;
        GetWindowRect(Form->Handle(), &r);
        return static_cast<int>(SendMessageA(Form->Handle(), WM_NCHITTEST, 0, MAKELPARAM(r.left + X, r.top + Y)));
    }

private:
    TsSkinManager* manager_ = nullptr;
};

// A take-over of a control's window procedure made after the others: it counts the messages it
// passes on.
class TLaterTakeOver : public TObject {
public:
    explicit TLaterTakeOver(TControl* Control) { Hook.Hook(Control, TWndMethod(this, &TLaterTakeOver::Proc)); }
    void Proc(TMessage& Message)
    {
        ++Seen;
        Hook.CallDefault(Message);
    }
    TWindowProcHook Hook;
    int Seen = 0;
};

// Runs a step on the active modal form of class F from a thread timer (timers fire inside modal
// loops) until the step answers true; after a bound it ends the form with mrAbort, so that a
// failing test cannot hang.
template <class F>
class TModalDriver {
public:
    explicit TModalDriver(std::function<bool(F*)> Step) : step_(std::move(Step))
    {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 20, &TModalDriver::Tick);
    }
    ~TModalDriver() { KillTimer(nullptr, timer_), current_ = nullptr; }
    TModalDriver(const TModalDriver&) = delete;
    TModalDriver& operator=(const TModalDriver&) = delete;
    bool Done() const { return done_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        TModalDriver* self = current_;
        auto* form = dynamic_cast<F*>(FindControl(GetActiveWindow()));
        if (!self || self->done_ || self->busy_ || !form || !IsWindowVisible(form->Handle()))
            return;
        if (GetTickCount64() - self->start_ > testkit::kModalLimitMs)
            return form->SetModalResult(mrAbort);
        self->busy_ = true; // a step that pumps meets the next ticks inside itself
        self->done_ = self->step_(form);
        self->busy_ = false;
    }
    static inline TModalDriver* current_ = nullptr;
    std::function<bool(F*)> step_;
    UINT_PTR timer_ = 0;
    ULONGLONG start_ = GetTickCount64();
    bool done_ = false, busy_ = false;
};

// Runs Execute, which opens a system dialog of this thread (class "#32770"): once the dialog has
// painted, its picture is saved as Name and the dialog is cancelled. Answers whether a dialog was
// seen; after a bound any open box is closed, so that a failing test cannot hang.
inline bool ShotOfSystemDialog(const std::string& Name, const std::function<void()>& Execute)
{
    static int seen = 0;
    static ULONGLONG start = 0;
    static const std::string* name = nullptr;
    seen = 0;
    start = GetTickCount64();
    name = &Name;
    struct TFind {
        static BOOL CALLBACK Proc(HWND h, LPARAM p)
        {
            char cls[16] = {};
            GetClassNameA(h, cls, sizeof cls);
            if (IsWindowVisible(h) && std::string(cls) == "#32770")
                return *reinterpret_cast<HWND*>(p) = h, FALSE;
            return TRUE;
        }
        static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
        {
            HWND box = nullptr;
            EnumThreadWindows(GetCurrentThreadId(), &Proc, reinterpret_cast<LPARAM>(&box));
            if (GetTickCount64() - start > testkit::kModalLimitMs) {
                if (HWND h = GetActiveWindow())
                    PostMessageA(h, WM_CLOSE, 0, 0);
            } else if (box && ++seen == 3) { // a few ticks for the dialog to paint
                RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
                testkit::SaveScreenshot(*name, box);
                PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
            }
        }
    };
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, &TFind::Tick);
    Execute();
    KillTimer(nullptr, timer);
    return seen >= 3;
}

} // namespace formskit
