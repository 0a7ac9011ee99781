#include "sFade.h"

#include <algorithm>

#include "Forms.h"
#include "sGraphUtils.h"
#include "sMaskData.h"
#include "sMaskGraph.h"
#include "sMessages.h"

namespace {

// The weight of the first image at a step.
TsColor Alpha(int Step, int Iterations)
{
    const auto a = static_cast<Byte>(std::clamp(255 - Step * 255 / Iterations, 0, 255));
    return TsColor{a, a, a, 0};
}

// The owner control of a skin state while it can still be drawn on.
TControl* LiveControl(const TsCommonData* Data)
{
    TControl* c = Data ? Data->FOwnerControl : nullptr;
    if (!c || c->ComponentState().Contains(csDestroying) || (Application && Application->Terminated()))
        return nullptr;
    return c;
}

const TsGeneralData* SectionOf(const TsCommonData* Data)
{
    return Data && IsValidSkinIndex(Data->SkinIndex) ? &gd[static_cast<std::size_t>(Data->SkinIndex)] : nullptr;
}

void StopCommand(TControl* Owner)
{
    Owner->Perform(SM_SKINCMD, MAKEWPARAM(0, AC_STOPFADING), 0);
}

} // namespace

// --- TsFadeTimer -------------------------------------------------------------------------------

TsFadeTimer::TsFadeTimer(TComponent* AOwner) : TTimer(AOwner), FBmp(std::make_unique<TBitmap>())
{
    SetDirection(fdNone);
}

void TsFadeTimer::SetDirection(TFadeDirection Value)
{
    FDirection = Value;
    SetEnabled(Value != fdNone);
}

void TsFadeTimer::SetOwnerData(TsCommonData* Value)
{
    OwnerData = Value;
    if (Value && Value->FCacheBmp)
        FBmp->Assign(Value->FCacheBmp.get());
    if (const TsGeneralData* g = SectionOf(Value)) {
        SetInterval(static_cast<Cardinal>(std::max(g->FadingIntervalIn, 0)));
        Iterations = g->FadingIterations;
    }
    // A reversed run starts from where the running one stands.
    if (FDirection == fdUp)
        Iterations = Step;
    else if (FDirection == fdDown)
        Iterations -= Step;
}

TControl* TsFadeTimer::LiveOwner() const
{
    return LiveControl(OwnerData);
}

void TsFadeTimer::Show(TBitmap* First, TBitmap* Second)
{
    auto* w = dynamic_cast<TWinControl*>(LiveOwner());
    TBitmap blend;
    blend.Assign(First);
    SumBitmaps(&blend, Second, Alpha(Step, Iterations));
    if (!w || !w->HandleAllocated())
        return;
    HDC dc = GetDC(w->Handle());
    const int saved = SaveDC(dc);
    BitBlt(dc, 0, 0, blend.Width(), blend.Height(), blend.Canvas()->Handle(), 0, 0, SRCCOPY);
    RestoreDC(dc, saved);
    ReleaseDC(w->Handle(), dc);
}

void TsFadeTimer::FadeUp()
{
    if (!LiveOwner() || Iterations == 0 || !OwnerData->FCacheBmp)
        return;
    Show(FBmp.get(), OwnerData->FCacheBmp.get());
    ++Step;
}

void TsFadeTimer::FadeDown()
{
    if (!LiveOwner() || Iterations == 0 || Step < 0 || !OwnerData->FCacheBmp)
        return;
    Show(OwnerData->FCacheBmp.get(), FBmp.get());
    --Step;
}

bool TsFadeTimer::ToEnd()
{
    TControl* owner = LiveOwner();
    if (!owner) {
        FDirection = fdNone;
    } else if (Step > Iterations) {
        --Step;
        FDirection = fdNone;
    } else if (Step < 0) {
        // The owner stops the run and gives the timer up: nothing of it is touched after this.
        StopCommand(owner);
        return true;
    }
    return false;
}

void TsFadeTimer::Timer()
{
    try {
        if (ToEnd())
            return;
        switch (FDirection) {
        case fdNone:
            SetEnabled(false);
            break;
        case fdUp:
            FadeUp();
            break;
        case fdDown:
            FadeDown();
            break;
        }
    } catch (...) {
        // A step that fails is left out.
    }
}

// --- TsAnimTimer -------------------------------------------------------------------------------

TsAnimTimer::TsAnimTimer(TComponent* AOwner)
    : TTimer(AOwner), FOldBmp(std::make_unique<TBitmap>()), FWorkBmp(std::make_unique<TBitmap>())
{
    SetEnabled(false);
}

void TsAnimTimer::SetOwnerData(TsCommonData* Value)
{
    OwnerData = Value;
    if (const TsGeneralData* g = SectionOf(Value)) {
        SetInterval(static_cast<Cardinal>(std::max(g->FadingIntervalIn, 0)));
        Iterations = g->FadingIterations;
    }
}

bool TsAnimTimer::ToEnd()
{
    TControl* owner = LiveControl(OwnerData);
    if (owner && Step >= 0 && Step <= Iterations)
        return false;
    SetEnabled(false);
    if (owner)
        StopCommand(owner);
    return true;
}

void TsAnimTimer::DoFade()
{
    if (!Busy && LiveControl(OwnerData) && Iterations != 0 && Step >= 0 && OwnerData->FCacheBmp) {
        Busy = true;
        FWorkBmp->Assign(FOldBmp.get());
        SumBitmaps(FWorkBmp.get(), OwnerData->FCacheBmp.get(), Alpha(Step, Iterations));
        Repaint();
        Busy = false;
    }
    ++Step;
}

void TsAnimTimer::Repaint()
{
    TControl* owner = OwnerData->FOwnerControl;
    TWinControl* parent = owner->Parent();
    const bool tell = parent && parent->HandleAllocated();
    if (tell)
        SendMessageA(parent->Handle(), SM_SKINCMD, MAKEWPARAM(0, AC_SETREPAINTCHILD), reinterpret_cast<LPARAM>(owner));
    owner->Perform(SM_SKINCMD, MAKEWPARAM(0, AC_SETUPDATING), 0);
    owner->Repaint();
    if (tell)
        SendMessageA(parent->Handle(), SM_SKINCMD, MAKEWPARAM(0, AC_SETREPAINTCHILD), 0);
}

void TsAnimTimer::Timer()
{
    if (ComponentState().Contains(csDestroying) || ToEnd())
        return;
    DoFade();
}

// --- TsButtonFader -----------------------------------------------------------------------------

void TsButtonFader::Start(int State, TFadeDirection Direction)
{
    const TsGeneralData* g = SectionOf(FSkinData);
    if (FadingForbidden || !FSkinData->Skinned() || !g || !g->FadingEnabled)
        return;
    const bool fresh = !FSlot.Timer();
    TsFadeTimer* timer = FSlot.Make(FButton);
    // A new timer starts a fade-in at its first step and a fade-out at step 0.
    if (fresh)
        timer->Step = Direction == fdUp ? 1 : 0;
    timer->SetOwnerData(FSkinData);
    // The new look in the cache: the timer blends toward it.
    if (FPaint) {
        FPaint();
    } else {
        FSkinData->InitCacheBmp();
        PaintItem(FSkinData, GetParentCache(FSkinData), true, State, Rect(0, 0, FButton->Width(), FButton->Height()),
                  Point(FButton->Left(), FButton->Top()), FSkinData->FCacheBmp.get(), false);
    }
    UpdateCorners(FSkinData, State);
    timer->SetDirection(Direction);
}

void TsButtonFader::StopFading()
{
    TsFadeTimer* timer = FSlot.Timer();
    if (!timer)
        return;
    timer->SetDirection(fdNone);
    if (timer->Step != 0)
        FSkinData->Invalidate();
    FSlot.Release();
}

bool TsButtonFader::StopCommand(const TMessage& Message)
{
    if (Message.Msg != SM_SKINCMD || Message.WParamHi != AC_STOPFADING)
        return false;
    StopFading();
    return true;
}
