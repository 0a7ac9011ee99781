#include "sMaskEdit.h"

#include "sEdit.h"
#include "sGraphUtils.h"
#include "sMaskGraph.h"
#include "sMessages.h"
#include "sVclUtils.h"

namespace {
// Left, top, bottom: DT_TOP | DT_SINGLELINE | DT_WORDBREAK | DT_NOPREFIX.
constexpr int MaskTextFlags = 0x830;
} // namespace

TsMaskEdit::TsMaskEdit(TComponent* AOwner) : TsSkinned(AOwner, "EDIT", 0)
{
    SetControlStyle(ControlStyle() - TControlStyle{csSetCaption});
}

void TsMaskEdit::AfterConstruction()
{
    inherited::AfterConstruction();
    SkinData()->Loaded();
}

void TsMaskEdit::SetDisabledKind(TsDisabledKind Value)
{
    if (Value == FDisabledKind)
        return;
    FDisabledKind = Value;
    SkinData()->Invalidate();
}

void TsMaskEdit::Change()
{
    if (ComponentState().Contains(csLoading))
        return;
    SkinData()->BGChanged = true;
    inherited::Change();
}

bool TsMaskEdit::IsActive()
{
    return ControlIsActive(SkinData());
}

void TsMaskEdit::WriteCacheText(const AnsiString& Text, TRect R, int Flags, bool Hot)
{
    if (Text.empty())
        return;
    TsCommonData* sd = SkinData();
    TCanvas* canvas = sd->FCacheBmp->Canvas();
    canvas->Font()->Assign(Font());
    WriteTextEx(canvas, Text.c_str(), true, R, Flags, sd, Hot);
}

void TsMaskEdit::PaintText()
{
    WriteCacheText(EditShownText(this), Rect(3, 3, Width() - 3, Height() - 3), MaskTextFlags, IsActive());
}

void TsMaskEdit::PrepareCache()
{
    PaintEditCache(SkinData(), IsActive() ? 1 : 0, FDisabledKind, [this] { PaintText(); });
}

void TsMaskEdit::OurPaintHandler(HDC DC)
{
    PaintEditClient(SkinData(), DC, false, [this] { PrepareCache(); });
}

void TsMaskEdit::PaintBorder(HDC DC)
{
    TsCommonData* sd = SkinData();
    if (!Parent() || !Visible() || !Parent()->Visible() || ControlState().Contains(csCreating) || sd->GetUpdating())
        return;
    PaintEditFrame(this, sd, DC, [this] { PrepareCache(); });
}

void TsMaskEdit::WndProc(TMessage& Message)
{
    TsCommonData* sd = SkinData();
    if (Message.Msg == SM_SKINCMD) {
        switch (Message.WParamHi) {
        case AC_NEWSKIN:
            SetCtl3D(true);
            CommonWndProc(Message, sd);
            return;
        case AC_REMOVESKIN:
            CommonWndProc(Message, sd);
            RecreateWnd();
            return;
        case AC_REPAINT:
            CommonWndProc(Message, sd);
            if (HandleAllocated())
                RepaintFrame(Handle());
            Repaint();
            return;
        case AC_PARENTUPDATED:
            if (sd->GetUpdating()) {
                sd->SetUpdating(false);
                Perform(WM_PAINT, 0, 0);
                Perform(WM_NCPAINT, 0, 0);
            }
            return;
        case AC_ISSKINNED: Message.LParam = 1; return;
        default: break;
        }
    }
    if (!ControlIsReady(this) || !sd->Skinned()) {
        TMaskEdit::WndProc(Message);
        BoundLabelFollows(BoundLabel(), this, Message.Msg);
        return;
    }
    const HDC dc = reinterpret_cast<HDC>(Message.WParam);
    switch (Message.Msg) {
    case WM_PRINT:
        // The whole picture: the cache holds the client too.
        OurPaintHandler(dc);
        return;
    case WM_PAINT:
        OurPaintHandler(dc);
        PaintBorder(dc);
        break;
    case WM_ERASEBKGND: Message.Result = 1; return;
    case WM_NCPAINT: PaintBorder(nullptr); return;
    case CM_TEXTCHANGED: sd->BGChanged = true; break;
    case CN_DRAWITEM: return;
    default: break;
    }
    if (!CommonWndProc(Message, sd))
        TMaskEdit::WndProc(Message);
    switch (Message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS: Invalidate(); break; // the look of the new state
    case WM_SETFONT:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED: sd->Invalidate(); break;
    default: break;
    }
    BoundLabelFollows(BoundLabel(), this, Message.Msg);
}
