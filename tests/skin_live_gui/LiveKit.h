// Helpers of the tests of the library message and the per-control skin state: skin tables made by
// hand, and probe controls that record the commands they receive.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Controls.h"
#include "FormTest.h"
#include "sCommonData.h"
#include "sMaskData.h"
#include "sMessages.h"
#include "sStyleSimply.h"

namespace livekit {

// What probes received: "name:command" entries in arrival order.
inline std::vector<std::string>& Log()
{
    static std::vector<std::string> log;
    return log;
}

inline void Record(const TControl* Control, const TMessage& Message)
{
    if (Message.Msg == SM_SKINCMD)
        Log().push_back(std::string(Control->Name().c_str()) + ":" + std::to_string(Message.WParamHi));
}

// A section record with the defaults of the options file.
inline TsGeneralData Section(const char* Name, TColor Color = 0xFFFFFF, int Transparency = 0)
{
    TsGeneralData g;
    g.ClassName = Name;
    g.Color = Color;
    g.Transparency = Transparency;
    g.HotColor = 0xFFFFFF;
    return g;
}

// Replaces the skin tables for a test and empties them afterwards; the skin is active meanwhile.
class TablesTest : public testkit::FormTest {
protected:
    void SetUp() override
    {
        testkit::FormTest::SetUp();
        Clear();
        Log().clear();
    }
    void TearDown() override
    {
        testkit::FormTest::TearDown();
        Clear();
    }
    static void Clear()
    {
        FreeBitmaps();
        FreeJpegs();
        gd.clear();
        sSkinData->Active = false;
        GlobalSectionName.clear();
    }
    static void Activate(std::vector<TsGeneralData> Sections)
    {
        gd = std::move(Sections);
        sSkinData->Active = true;
    }
    // A border mask with a bitmap of its own for a section.
    static void AddBorder(const char* SectionName)
    {
        TsMaskData m;
        m.Bmp = std::make_unique<TBitmap>(9, 6, pf24bit);
        m.ClassName = SectionName;
        m.PropertyName = "BORDERSMASK";
        m.R = Rect(0, 0, 9, 6);
        m.ImageCount = 3;
        m.MaskType = 1;
        ma.push_back(std::move(m));
    }
};

// A windowed control that answers AC_ISSKINNED when Skinned, records every command and passes
// none on.
class TProbeBox : public TCustomControl {
    VCL_CLASS(TProbeBox, TCustomControl)
public:
    TProbeBox(TComponent* AOwner, const char* Name, bool ASkinned) : TCustomControl(AOwner), Skinned(ASkinned)
    {
        SetName(Name);
        SetBounds(0, 0, 40, 30);
    }
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == SM_SKINCMD && Message.WParamHi == AC_ISSKINNED) {
            if (Skinned)
                Message.LParam = 1;
            return;
        }
        Record(this, Message);
        if (Message.Msg == SM_SKINCMD && OnCommand)
            OnCommand(this);
        inherited::WndProc(Message);
    }
    bool Skinned;
    TNotifyEvent OnCommand;
};

// A windowless control that records the commands and paints itself in one colour (clNone:
// nothing).
class TProbeShape : public TGraphicControl {
    VCL_CLASS(TProbeShape, TGraphicControl)
public:
    TProbeShape(TComponent* AOwner, const char* Name, TColor APaint = clNone) : TGraphicControl(AOwner), PaintColor(APaint)
    {
        SetName(Name);
        SetBounds(0, 0, 10, 10);
    }
    void WndProc(TMessage& Message) override
    {
        Record(this, Message);
        inherited::WndProc(Message);
    }
    TColor PaintColor;

protected:
    void Paint() override
    {
        if (PaintColor == clNone)
            return;
        Canvas()->Brush()->SetColor(PaintColor);
        Canvas()->FillRect(Rect(0, 0, Width(), Height()));
    }
};

// Places a control on a parent.
template <class T>
T* On(TWinControl* Parent, T* Control)
{
    Control->SetParent(Parent);
    return Control;
}

} // namespace livekit
