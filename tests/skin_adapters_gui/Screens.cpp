// A form with a skinned draw grid and a skinned frame scrolled part way, in both shipped skins; a
// picture of each is written into the working folder (skinned_adapters_<skin>.png) to be looked at.
#include <gtest/gtest.h>

#include "../skin_forms_gui/FormsKit.h"
#include "Grids.h"
#include "sButton.h"
#include "sEdit.h"
#include "sFrameAdapter.h"
#include "sGridAdapter.h"
#include "sLabel.h"
#include "sMDIForm.h"
#include "sScrollBar.h"

using namespace formskit;

namespace {

// A frame whose content reaches past it both ways.
class TDemoFrame : public TFrame {
    VCL_CLASS(TDemoFrame, TFrame)
public:
    explicit TDemoFrame(TComponent* AOwner) : TFrame(AOwner)
    {
        SetBounds(330, 10, 280, 200);
        Adapter = Create<TsFrameAdapter>(this);
        for (int i = 0; i < 8; ++i) {
            auto* label = Create<TsLabel>(this);
            label->SetCaption("Field " + std::to_string(i + 1));
            label->SetBounds(10, 14 + 40 * i, 60, 16);
            label->SetParent(this);
            auto* edit = Create<TsEdit>(this);
            edit->SetBounds(80, 10 + 40 * i, 240, 22);
            edit->SetText("Value " + std::to_string(i + 1));
            edit->SetParent(this);
        }
        auto* button = Create<TsButton>(this);
        button->SetCaption("Apply");
        button->SetBounds(80, 330, 90, 26);
        button->SetParent(this);
    }
    TsFrameAdapter* Adapter = nullptr;
};

class TDemoForm : public TForm {
    VCL_CLASS(TDemoForm, TForm)
public:
    explicit TDemoForm(TComponent* AOwner) : TForm(AOwner)
    {
        BeginLoading(this);
        SetBounds(20, 20, 640, 420);
        SetCaption("Adapters");
        Create<TsSkinProvider>(this);
        Create<TsGridAdapter>(this);
        Grid = Create<TDrawGrid>(this);
        Grid->SetName("Grid");
        Grid->SetBounds(10, 10, 300, 200);
        Grid->SetRowCount(30);
        Grid->SetColCount(12);
        Grid->SetDefaultRowHeight(20);
        Grid->OnDrawCell = TDrawCellEvent(this, &TDemoForm::DrawCell);
        Grid->SetParent(this);
        Frame = Create<TDemoFrame>(this);
        Frame->SetParent(this);
        LoadedAll(this);
    }
    void DrawCell(TObject*, int ACol, int ARow, TRect Rect, TGridDrawState)
    {
        TCanvas* canvas = Grid->Canvas();
        canvas->Brush()->SetStyle(bsClear);
        const AnsiString text = ARow == 0 ? AnsiString(1, static_cast<char>('A' + ACol % 26))
                                          : ACol == 0 ? std::to_string(ARow) : std::to_string(ARow * ACol);
        canvas->TextOut(Rect.left + 4, Rect.top + 3, text);
    }
    TDrawGrid* Grid = nullptr;
    TDemoFrame* Frame = nullptr;
};

using Screens = SkinnedFormTest;

} // namespace

TEST_F(Screens, AdaptedControlsAreDrawnByTheSkin)
{
    InShippedSkins<TDemoForm>("skinned_adapters_", [](TDemoForm* form, const char* skin) {
        TsFrameAdapter* adapter = form->Frame->Adapter;
        ASSERT_TRUE(adapter->VertBar && adapter->HorzBar) << skin;
        adapter->VertBar->SetPosition(60);
        Paint(form);
        EXPECT_EQ(form->Grid->Color(), SectionOf("GLOBALINFO").HotColor) << skin;
    });
}

namespace {

// An MDI parent with a menu and a tool bar above its client.
class TMDIDemo : public TForm {
    VCL_CLASS(TMDIDemo, TForm)
public:
    explicit TMDIDemo(TComponent* AOwner) : TForm(AOwner)
    {
        BeginLoading(this);
        SetBounds(20, 20, 640, 420);
        SetCaption("Documents");
        SetFormStyle(fsMDIForm);
        auto* menu = Create<TMainMenu>(this);
        for (const char* caption : {"File", "Window"}) {
            auto* item = Create<TMenuItem>(this);
            item->SetCaption(caption);
            menu->Items()->Add(item);
        }
        SetMenu(menu);
        Create<TsSkinProvider>(this);
        LoadedAll(this);
    }
};

} // namespace

TEST_F(Screens, AnMDIClientIsDrawnByTheSkin)
{
    TCustomForm* savedMain = Application->MainForm();
    AtTearDown([savedMain] { Application->SetMainForm(savedMain); });
    InShippedSkins<TMDIDemo>("skinned_mdi_", [](TMDIDemo* form, const char* skin) {
        Application->SetMainForm(form);
        for (int i = 0; i < 2; ++i) {
            TForm* child = Create<TForm>(form); // freed with the parent
            child->SetFormStyle(fsMDIChild);
            child->SetCaption("Document " + std::to_string(i + 1));
            child->SetBounds(30 + 200 * i, 20 + 190 * i, 260, 180);
            Create<TsSkinProvider>(child);
            child->Show();
        }
        Paint(form);
        TsMDIForm* mdi = ProviderOf(form)->MDIForm();
        ASSERT_TRUE(mdi->VSBar && mdi->VSBar->Visible()) << skin;
    });
}
