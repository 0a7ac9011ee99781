// The splash window shown when the main window first appears: a borderless box with the version
// label; it closes itself after 3 seconds or on the first key or mouse press and is then freed.
#pragma once

#include "Main.h"

class TFLog : public TForm {
    VCL_CLASS(TFLog, TForm)
public:
    explicit TFLog(TComponent* AOwner);
    ~TFLog() override;

    TImage* Image1 = nullptr; // the picture, filling the window
    TsLabel* sLabel1 = nullptr;
    TTimer* Timer1 = nullptr;

    void FormCreate(TObject* Sender);
    void Timer1Timer(TObject* Sender);
    void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void FormMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void FormClose(TObject* Sender, TCloseAction& Action);
};

// The splash while it exists (null once it has closed and been freed).
extern TFLog* FLog;
