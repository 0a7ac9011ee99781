// The timers with which skinned buttons change their look gradually: TsFadeTimer for the
// windowed buttons, TsAnimTimer for the speed button. Each step blends a stored image of the old
// look with the button's freshly painted cache: alpha A = 255 - Step * 255 div Iterations is the
// weight of the first image (SumBitmaps). Interval and step count come from the button's section.
#pragma once

#include <functional>
#include <memory>

#include "ExtCtrls.h"
#include "Graphics.h"
#include "sCommonData.h"

enum TFadeDirection { fdNone, fdUp, fdDown };

class TsFadeTimer : public TTimer {
    VCL_CLASS(TsFadeTimer, TTimer)
public:
    explicit TsFadeTimer(TComponent* AOwner);

    TFadeDirection Direction() const { return FDirection; }
    // Stores it; the timer runs unless it is fdNone.
    void SetDirection(TFadeDirection Value);
    // Binds the button's skin state: a snapshot of its cache, interval and step count from its
    // section; a reversed run goes on from the step the running one stands at.
    void SetOwnerData(TsCommonData* Value);

    TsCommonData* OwnerData = nullptr; // not owned
    int Iterations = 0;
    int Step = 0;
    TBitmap* Bmp() const { return FBmp.get(); }

    // One step toward the new look / back toward the old one, drawn on the owner's window.
    void FadeUp();
    void FadeDown();
    // Ends a run that has nothing more to do; true when it told the owner to stop (AC_STOPFADING):
    // the tick then touches nothing of the timer any more.
    bool ToEnd();

protected:
    void Timer() override;

private:
    TControl* LiveOwner() const;
    void Show(TBitmap* First, TBitmap* Second);

    TFadeDirection FDirection = fdNone;
    std::unique_ptr<TBitmap> FBmp;
};

class TsAnimTimer : public TTimer {
    VCL_CLASS(TsAnimTimer, TTimer)
public:
    explicit TsAnimTimer(TComponent* AOwner);

    // Binds the speed button's skin state: interval and step count from its section.
    void SetOwnerData(TsCommonData* Value);
    // One step: WorkBmp := OldBmp blended over the owner's cache, then the owner repaints.
    void DoFade();
    // Repaints the owner with its parent told that it paints itself meanwhile.
    void Repaint();
    // True when the run is over (the owner was told to stop when its steps were done).
    bool ToEnd();

    bool Busy = false;
    TBitmap* OldBmp() const { return FOldBmp.get(); }
    TBitmap* WorkBmp() const { return FWorkBmp.get(); }
    TsCommonData* OwnerData = nullptr; // not owned
    int Iterations = 0;
    int Step = 0;

protected:
    void Timer() override;

private:
    std::unique_ptr<TBitmap> FOldBmp, FWorkBmp;
};

// The fade timer of one button, given up without being freed inside its own tick: a stopped
// timer is kept, disabled, until the next one is made or the button goes.
template <class T>
class TsTimerSlot {
public:
    T* Timer() const { return FTimer; }
    // The running timer, made (owned by Owner) when there is none.
    T* Make(TComponent* Owner)
    {
        FreeRetired();
        if (!FTimer)
            FTimer = Create<T>(Owner);
        return FTimer;
    }
    void Release()
    {
        if (!FTimer)
            return;
        FTimer->SetEnabled(false);
        FreeRetired();
        FRetired = FTimer;
        FTimer = nullptr;
    }
    T* Retired() const { return FRetired; }

private:
    void FreeRetired()
    {
        if (FRetired)
            FRetired->Free();
        FRetired = nullptr;
    }
    T* FTimer = nullptr;
    T* FRetired = nullptr;
};

// The fading of a windowed button: the hot look fades in when the mouse comes, out when it goes.
class TsButtonFader {
public:
    // Paint, when given, draws the button's new look into its cache; without it the section's
    // background and border are drawn in the new state.
    TsButtonFader(TWinControl* Button, TsCommonData* SkinData, std::function<void()> Paint = {})
        : FButton(Button), FSkinData(SkinData), FPaint(std::move(Paint))
    {
    }
    // Both only when the section fades: the cache is painted in the new state and the timer
    // blends toward it. A fade-in starts one step on; a fade-out with no timer left from a
    // fade-in starts at the end of its run.
    void StartFadeIn() { Start(1, fdUp); }
    void StartFadeOut() { Start(0, fdDown); }
    // Ends the run (also on AC_STOPFADING): invalidates a button caught between looks.
    void StopFading();
    // StopFading for AC_STOPFADING; true when the message was that command.
    bool StopCommand(const TMessage& Message);
    TsFadeTimer* Timer() const { return FSlot.Timer(); }
    TsFadeTimer* Retired() const { return FSlot.Retired(); }

private:
    void Start(int State, TFadeDirection Direction);
    TWinControl* FButton;
    TsCommonData* FSkinData;
    std::function<void()> FPaint;
    TsTimerSlot<TsFadeTimer> FSlot;
};
