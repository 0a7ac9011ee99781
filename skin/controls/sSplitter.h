// The skinned splitter (section "SPLITTER"): the framework splitter's dragging and resizing, each
// paint drawn from the section in a normal, hot (under the mouse) or pressed look; the pressed
// look only where the panels follow the bar while it is dragged (rsUpdate).
#pragma once

#include <memory>

#include "ExtCtrlsPanels.h"
#include "sCommonData.h"
#include "sVclUtils.h"

class TsSplitter : public TSplitter {
    VCL_CLASS(TsSplitter, TSplitter)
public:
    explicit TsSplitter(TComponent* AOwner);
    ~TsSplitter() override;
    void AfterConstruction() override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;

    TsCommonData* SkinData() const { return FCommonData.get(); }
    // 2 pressed (rsUpdate only), 1 hot or focused, 0 normal.
    int CurrentState();

protected:
    void Paint() override;
    bool DoCanResize(int& NewSize) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    bool Skinned() const { return FCommonData && FCommonData->Skinned(); }
    // The look changed: painted again at once.
    void Relook();

    std::unique_ptr<TsCommonData> FCommonData;
    // Dragged by the user; during a drag the last answer whether the neighbour may take the size.
    bool FPressed = false;
    TsHintHold FHints;
};
