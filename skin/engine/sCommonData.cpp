#include "sCommonData.h"

#include <algorithm>

#include "ClassesFiler.h"
#include "StdCtrls.h"
#include "sGraphUtils.h"
#include "sLabel.h"
#include "sMaskData.h"
#include "sMaskGraph.h"
#include "sMessages.h"
#include "sPageControl.h"
#include "sStyleSimply.h"
#include "sUtils.h"
#include "sVclUtils.h"

namespace {

bool Destroying(const TComponent* C)
{
    return C && C->ComponentState().Contains(csDestroying);
}

// The default section of a control-type code; empty for a code of no row.
const char* DefaultSection(int Code)
{
    struct TRow {
        int First, Last;
        const char* Section;
    };
    static const TRow rows[] = {
        {2, 8, "EDIT"},        {10, 10, "EDIT"},         {41, 41, "EDIT"},         {76, 76, "EDIT"},
        {78, 78, "EDIT"},      {83, 84, "EDIT"},         {96, 97, "EDIT"},         {131, 131, "EDIT"},
        {140, 140, "EDIT"},    {227, 227, "EDIT"},       {11, 18, "COMBOBOX"},     {81, 82, "COMBOBOX"},
        {19, 19, "BAR"},       {20, 20, "BARTITLE"},     {32, 32, "CHECKBOX"},     {33, 33, "RADIOBUTTON"},
        {51, 51, "PANEL"},     {59, 59, "PANEL"},        {68, 68, "PANEL"},        {73, 73, "PANEL"},
        {52, 52, "PANEL_LOW"}, {58, 58, "PANEL_LOW"},    {54, 54, "TOOLBAR"},      {60, 60, "TOOLBAR"},
        {56, 56, "DRAGBAR"},   {57, 57, "TABSHEET"},     {74, 74, "GROUPBOX"},     {226, 226, "GROUPBOX"},
        {75, 75, "SPLITTER"},  {92, 92, "SPEEDBUTTON"},  {95, 95, "SPEEDBUTTON"},  {93, 94, "BUTTON"},
        {98, 98, "TOOLBUTTON"}, {141, 141, "PAGECONTROL"}, {143, 143, "TABCONTROL"}, {151, 151, "STATUSBAR"},
        {161, 161, "GAUGE"},   {165, 165, "TRACKBAR"},
    };
    for (const TRow& r : rows)
        if (Code >= r.First && Code <= r.Last)
            return r.Section;
    return "";
}

const TsGeneralData* Section(const TsCommonData* SkinData)
{
    return IsValidSkinIndex(SkinData->SkinIndex) ? &gd[static_cast<std::size_t>(SkinData->SkinIndex)] : nullptr;
}

TWinControl* OwnerParent(const TsCommonData* SkinData)
{
    return SkinData->FOwnerControl ? SkinData->FOwnerControl->Parent() : nullptr;
}

// Each colour byte of S mixed toward P by A / 256 (A = 0: S); the fourth byte is P's.
TColor MixCentre(TColor P, TColor S, int A)
{
    const auto p = static_cast<Cardinal>(P), s = static_cast<Cardinal>(S);
    Cardinal r = p & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const int pc = static_cast<int>((p >> shift) & 0xFF), sc = static_cast<int>((s >> shift) & 0xFF);
        r |= static_cast<Cardinal>((A * (pc - sc) + 255 * sc) / 256) << shift;
    }
    return static_cast<TColor>(r);
}

// The visible centre colour of a control into ParentCenterColor.
void AnswerCentreColor(TsCommonData* SkinData)
{
    TControl* owner = SkinData->FOwnerControl;
    const TsGeneralData* g = SkinData->Skinned() ? Section(SkinData) : nullptr;
    if (!g) {
        if (owner)
            ParentCenterColor = ColorToRGB(owner->Color());
        return;
    }
    const int t = g->Transparency;
    TWinControl* parent = OwnerParent(SkinData);
    if (t == 0) {
        ParentCenterColor = g->Color;
    } else if (t == 100) {
        if (parent) {
            SendAMessage(parent, AC_GETCENTERCOLOR);
            if (ParentCenterColor == clSkinKey)
                ParentCenterColor = parent->Color();
        } else if (owner) {
            ParentCenterColor = ColorToRGB(owner->Color());
        }
    } else {
        TColor p = ParentCenterColor;
        if (parent) {
            SendAMessage(parent, AC_GETCENTERCOLOR);
            // What the parent answered may be a system colour, or nothing at all.
            p = ColorToRGB(ParentCenterColor);
            if (p == clSkinKey)
                p = ColorToRGB(parent->Color());
        } else if (owner) {
            p = ColorToRGB(owner->Color());
        }
        ParentCenterColor = MixCentre(p, g->Color, t * 255 / 100);
    }
}

// A move or a parent's resize: mark the cache stale, redraw on request, tell the children.
void RepaintMoved(TMessage& Message, TsCommonData* SkinData)
{
    const bool moved = SkinData->RepaintIfMoved();
    if (moved)
        SkinData->BGChanged = true;
    auto* w = dynamic_cast<TWinControl*>(SkinData->FOwnerControl);
    if (!w)
        return;
    if (Message.WParamLo == 1 && w->HandleAllocated())
        RedrawWindow(w->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_NOINTERNALPAINT | RDW_NOERASE | RDW_ALLCHILDREN);
    if (!moved)
        return;
    // The count is read at every step: a child that handles the command may free another.
    for (int i = 0; i < w->ControlCount(); ++i)
        if (TControl* c = w->Controls(i); !Destroying(c))
            SendAMessage(c, AC_REPAINTIFMOVED);
}

} // namespace

// --- TsCommonData --------------------------------------------------------------------------------

TsCommonData::TsCommonData(TObject* AOwner, bool CreateCacheBmp)
    : FOwnerControl(dynamic_cast<TControl*>(AOwner)), FOwnerObject(AOwner)
{
    if (CreateCacheBmp) {
        FCacheBmp = std::make_unique<TBitmap>();
        FCacheBmp->SetPixelFormat(pf24bit);
    }
}

TsCommonData::~TsCommonData()
{
    FOwnerControl = nullptr;
    FOwnerObject = nullptr;
}

bool TsCommonData::OwnerDestroying() const
{
    return Destroying(dynamic_cast<const TComponent*>(FOwnerObject));
}

bool TsCommonData::GetUpdating()
{
    if (!sSkinData || !sSkinData->Active)
        return true;
    if (!FOwnerControl || Destroying(FOwnerControl))
        return false;
    if (Updating || !FOwnerControl->Parent())
        return true;
    try {
        return GetBoolMsg(FOwnerControl->Parent(), AC_GETUPDATING);
    } catch (...) {
        return false;
    }
}

void TsCommonData::SetSkinSection(const AnsiString& Value)
{
    const AnsiString section = Value.empty() ? AnsiString("UNKNOWN") : Value;
    if (section == FSkinSection)
        return;
    FSkinSection = section;
    if (gd.empty()) {
        SkinIndex = -1;
        BorderIndex = -1;
    } else {
        UpdateIndexes();
    }
    if (FOwnerControl && FOwnerControl->Parent() && !Destroying(FOwnerControl))
        SendAMessage(FOwnerControl, gd.empty() ? AC_REMOVESKIN : AC_REPAINT);
}

void TsCommonData::SetCustomFont(bool Value)
{
    if (Value == CustomFont)
        return;
    CustomFont = Value;
    Invalidate();
}

void TsCommonData::SetCustomColor(bool Value)
{
    if (Value == CustomColor)
        return;
    CustomColor = Value;
    if (Skinned() && dynamic_cast<TCustomEdit*>(FOwnerControl) &&
        !FOwnerControl->ComponentState().Contains(csLoading)) {
        ApplyEditColors(true);
        Invalidate();
    }
}

bool TsCommonData::Skinned() const
{
    return FOwnerObject && !OwnerDestroying() && IsValidSkinIndex(SkinIndex);
}

void TsCommonData::UpdateIndexes()
{
    BGChanged = true;
    SkinIndex = GetSkinIndex(FSkinSection);
    // A section the skin lacks has no border either, whatever the last skin had.
    BorderIndex = SkinIndex >= 0 ? GetMaskIndex(SkinIndex, FSkinSection, "BORDERSMASK") : -1;
}

void TsCommonData::ApplyEditColors(bool Compare)
{
    const TsGeneralData* g = Section(this);
    if (!g || !FOwnerControl)
        return;
    if (!CustomColor && (!Compare || FOwnerControl->Color() != g->Color))
        FOwnerControl->SetColor(g->Color);
    if (!CustomFont && (!Compare || FOwnerControl->Font()->Color() != g->FontColor[0]))
        FOwnerControl->Font()->SetColor(g->FontColor[0]);
}

void TsCommonData::Loaded()
{
    UpdateData(this);
    if (Skinned() && dynamic_cast<TCustomEdit*>(FOwnerControl) &&
        !FOwnerControl->ComponentState().Contains(csLoading))
        ApplyEditColors(true);
}

void TsCommonData::Invalidate()
{
    if (!FOwnerControl || Destroying(FOwnerControl) || FOwnerControl->ComponentState().Contains(csLoading))
        return;
    BGChanged = true;
    if (ControlIsReady(FOwnerControl))
        FOwnerControl->Invalidate();
}

bool TsCommonData::ParentTextured()
{
    TWinControl* parent = OwnerParent(this);
    if (!parent || !parent->HandleAllocated())
        return false;
    return GetBoolMsg(parent, AC_ISTEXTURED);
}

bool TsCommonData::RepaintIfMoved()
{
    if (UrgentPainting)
        return true;
    TControl* owner = FOwnerControl;
    if (!owner || dynamic_cast<TsTabSheet*>(owner) || owner->ControlState().Contains(csCreating) ||
        !owner->Visible())
        return true;
    const TsGeneralData* g = Section(this);
    if (!g)
        return false;
    if (owner->Enabled() && g->Transparency == 0)
        return false;
    TWinControl* parent = owner->Parent();
    if (!parent || !parent->HandleAllocated())
        return true;
    return GetBoolMsg(parent, AC_ISTEXTURED);
}

void TsCommonData::InitCacheBmp()
{
    if (!FCacheBmp)
        FCacheBmp = std::make_unique<TBitmap>();
    FCacheBmp->SetPixelFormat(pf24bit);
    if (!FOwnerControl)
        return;
    if (FCacheBmp->Width() != FOwnerControl->Width() || FCacheBmp->Height() != FOwnerControl->Height())
        FCacheBmp->SetSize(FOwnerControl->Width(), FOwnerControl->Height());
}

void TsCommonData::WriteProperties(TWriter& Writer) const
{
    if (CustomColor) {
        Writer.WritePropName("CustomColor");
        Writer.WriteBoolean(true);
    }
    if (CustomFont) {
        Writer.WritePropName("CustomFont");
        Writer.WriteBoolean(true);
    }
    Writer.WritePropName("SkinSection");
    Writer.WriteString(FSkinSection);
}

// --- Free routines -------------------------------------------------------------------------------

void UpdateData(TsCommonData* SkinData)
{
    if (!SkinData)
        return;
    if (!SkinData->SkinSection().empty()) {
        SkinData->UpdateIndexes();
        return;
    }
    AnsiString section = DefaultSection(SkinData->COC);
    if (section.empty() && SkinData->FOwnerObject)
        section = SkinData->FOwnerObject->ClassName();
    SkinData->SetSkinSection(section);
}

TCacheInfo GetParentCache(TsCommonData* SkinData)
{
    TCacheInfo result{};
    // Cleared whole: a parent that does not answer leaves nothing of an earlier answer.
    GlobalCacheInfo = TCacheInfo{};
    if (TWinControl* parent = SkinData ? OwnerParent(SkinData) : nullptr) {
        SendAMessage(parent, AC_GETCACHEINFO);
        result = GlobalCacheInfo;
    }
    return result;
}

bool ControlIsActive(TsCommonData* SkinData)
{
    TControl* owner = SkinData ? SkinData->FOwnerControl : nullptr;
    if (!owner || Destroying(owner) || !owner->Enabled())
        return false;
    if (SkinData->Focused || (SkinData->MouseAbove && !sForbidMouse.Contains(SkinData->COC)))
        return true;
    // The focus is asked of the window server, so last.
    auto* w = dynamic_cast<TWinControl*>(owner);
    return w && w->HandleAllocated() && w->Focused();
}

bool BgIsTransparent(TsCommonData* SkinData)
{
    const TsGeneralData* g = SkinData ? Section(SkinData) : nullptr;
    return g && g->Transparency > 0;
}

void AlignShadow(TsCommonData*) {}

bool CommonWndProc(TMessage& Message, TsCommonData* SkinData)
{
    if (!SkinData)
        return false;
    TControl* owner = SkinData->FOwnerControl;
    switch (Message.Msg) {
    case WM_MOVE:
        if (owner && SkinData->RepaintIfMoved())
            owner->Perform(SM_SKINCMD, MAKEWPARAM(1, AC_REPAINTIFMOVED), 0);
        break;
    case WM_SIZE: {
        SkinData->BGChanged = true;
        auto* w = dynamic_cast<TWinControl*>(owner);
        const TsGeneralData* g = Section(SkinData);
        if (!w || !SkinData->Skinned() || !g || g->GradientPercent < 1)
            break;
        for (int i = 0; i < w->ControlCount(); ++i)
            if (TControl* c = w->Controls(i);
                !Destroying(c) && !c->Anchors().Contains(akRight) && !c->Anchors().Contains(akBottom))
                c->Perform(SM_SKINCMD, MAKEWPARAM(1, AC_REPAINTIFMOVED), 0);
        break;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (auto* w = dynamic_cast<TWinControl*>(owner); w && w->CanFocus() && w->TabStop()) {
            SkinData->BGChanged = true;
            SkinData->Focused = Message.Msg == WM_SETFOCUS;
        }
        break;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        if (!sForbidMouse.Contains(SkinData->COC))
            SkinData->MouseAbove = Message.Msg == CM_MOUSEENTER;
        break;
    case WM_FONTCHANGE:
    case CM_ENABLEDCHANGED:
        SkinData->Focused = false;
        SkinData->MouseAbove = false;
        break;
    default:
        if (Message.Msg == SM_SKINCMD)
            return CommonMessage(Message, SkinData);
        break;
    }
    return false;
}

bool CommonMessage(TMessage& Message, TsCommonData* SkinData)
{
    if (!SkinData || Message.Msg != SM_SKINCMD)
        return false;
    TControl* owner = SkinData->FOwnerControl;
    switch (Message.WParamHi) {
    case AC_NEWSKIN:
        SkinData->Updating = true;
        SkinData->UpdateIndexes();
        return false;
    case AC_REMOVESKIN:
        SkinData->SkinIndex = -1;
        SkinData->BorderIndex = -1;
        SkinData->Updating = true;
        if (SkinData->FCacheBmp)
            SkinData->FCacheBmp->SetSize(0, 0);
        if (dynamic_cast<TCustomEdit*>(owner)) {
            if (!SkinData->CustomColor)
                owner->SetColor(clWindow);
            if (!SkinData->CustomFont)
                owner->Font()->SetColor(clWindowText);
        }
        return false;
    case AC_REPAINT:
        SkinData->BGChanged = true;
        SkinData->Updating = false;
        if (const TsGeneralData* g = SkinData->Skinned() ? Section(SkinData) : nullptr;
            g && dynamic_cast<TCustomEdit*>(owner)) {
            if (!SkinData->CustomColor)
                owner->SetColor(g->Color);
            if (!SkinData->CustomFont)
                owner->Font()->SetColor(g->FontColor[0]);
        }
        return false;
    case AC_GETCACHEINFO:
        GlobalCacheInfo.Ready = false;
        if (SkinData->FCacheBmp)
            GlobalCacheInfo = TCacheInfo{SkinData->FCacheBmp.get(), 0, 0, true};
        return false;
    case AC_ISSKINNED:
        Message.LParam = 1;
        return true;
    case AC_SETUPDATING:
        SkinData->Updating = Message.WParamLo == 1;
        return false;
    case AC_URGENTPAINTING:
        SkinData->UrgentPainting = Message.WParamLo == 1;
        return false;
    case AC_GETUPDATING:
        Message.LParam = SkinData->BGChanged || SkinData->GetUpdating() ? 1 : 0;
        return true;
    case AC_GETHALFVISIBLE:
        Message.LParam = SkinData->HalfVisible ? 1 : 0;
        return true;
    case AC_SETBGCHANGED:
        if (BgIsTransparent(SkinData) && Message.WParamLo == 1)
            SkinData->BGChanged = true;
        return false;
    case AC_UPDATESKINSECTION:
        if (UpperCase(SkinData->SkinSection()) == GlobalSectionName)
            SkinData->Invalidate();
        return false;
    case AC_SETREPAINTCHILD:
        SkinData->RepaintChild = reinterpret_cast<TControl*>(Message.LParam);
        return false;
    case AC_ISTEXTURED: {
        const TsGeneralData* g = Section(SkinData);
        if (!g)
            return false;
        Message.LParam = g->GradientPercent + g->ImagePercent > 0 || SkinData->RepaintIfMoved() ? 1 : 0;
        return true;
    }
    case AC_REPAINTIFMOVED:
        RepaintMoved(Message, SkinData);
        return false;
    case AC_GETCENTERCOLOR:
        AnswerCentreColor(SkinData);
        return true;
    default:
        return false;
    }
}

void CopyWinControlCache(TWinControl* Control, TsCommonData* SkinData, const TRect& SrcRect, const TRect& DstRect,
                         HDC DC, bool UpdateCorners)
{
    if (!Control || !SkinData || !SkinData->FCacheBmp)
        return;
    if (UpdateCorners)
        ::UpdateCorners(SkinData, 0);
    const int saved = SaveDC(DC);
    IntersectClipRect(DC, DstRect.left, DstRect.top, DstRect.right, DstRect.bottom);
    for (int i = 0; i < Control->ControlCount(); ++i) {
        TControl* c = Control->Controls(i);
        const bool windowed = dynamic_cast<TWinControl*>(c) != nullptr;
        if ((!windowed && StdTransparency) || !c->Visible())
            continue;
        TRect r = c->BoundsRect(), overlap;
        if (!IntersectRect(&overlap, &r, &DstRect))
            continue;
        if (windowed && !c->ControlStyle().Contains(csOpaque))
            continue;
        OffsetRect(&r, SrcRect.right, SrcRect.bottom);
        ExcludeClipRect(DC, r.left, r.top, r.right, r.bottom);
    }
    BitBlt(DC, DstRect.left, DstRect.top, WidthOf(DstRect), HeightOf(DstRect), SkinData->FCacheBmp->Canvas()->Handle(),
           SrcRect.left, SrcRect.top, SRCCOPY);
    RestoreDC(DC, saved);
}

// --- TsBoundLabel --------------------------------------------------------------------------------

TsBoundLabel::TsBoundLabel(TObject* AOwner, TsCommonData* CommonData)
    : FOwner(AOwner), FCommonData(CommonData), FFont(std::make_unique<TFont>())
{
}

TsBoundLabel::~TsBoundLabel()
{
    if (FTheLabel)
        FTheLabel->Free();
}

TFont* TsBoundLabel::Font() const
{
    return FTheLabel ? FTheLabel->Font() : FFont.get();
}

void TsBoundLabel::SetFont(TFont* Value)
{
    if (!FTheLabel) {
        // No label yet: the font waits in the own font for the label to come.
        FFont->Assign(Value);
        FFontWaiting = true;
        return;
    }
    FTheLabel->Font()->Assign(Value);
    FTheLabel->SetParentFont(false);
    AlignLabel();
}

void TsBoundLabel::SetActive(bool Value)
{
    if (Value == FActive)
        return;
    TControl* control = FCommonData ? FCommonData->FOwnerControl : nullptr;
    if (!Value) {
        if (FTheLabel)
            FTheLabel->Free();
        FTheLabel = nullptr;
        FActive = false;
        return;
    }
    FActive = true;
    if (!control)
        return;
    FTheLabel = Create<TsEditLabel>(control, this);
    FTheLabel->SetVisible(false);
    FTheLabel->SetParent(control->Parent());
    FTheLabel->SetFocusControl(dynamic_cast<TWinControl*>(control));
    UpdateAlignment();
    FTheLabel->SetName(control->Name() + "Label");
    if (FCaption.empty())
        FCaption = control->Name();
    FTheLabel->SetCaption(FCaption);
    FTheLabel->SetVisible(control->Visible());
    FTheLabel->SetEnabled(control->Enabled());
    if (FFontWaiting) {
        FTheLabel->Font()->Assign(FFont.get());
        FTheLabel->SetParentFont(false);
    }
    AlignLabel();
}

void TsBoundLabel::SetText(const AnsiString& Value)
{
    if (Value == FCaption)
        return;
    FCaption = Value;
    if (FTheLabel) {
        FTheLabel->SetCaption(FCaption);
        AlignLabel();
    }
}

void TsBoundLabel::SetIndent(int Value)
{
    if (Value == FIndent)
        return;
    FIndent = Value;
    AlignLabel();
}

void TsBoundLabel::SetMaxWidth(int Value)
{
    if (Value == FMaxWidth)
        return;
    FMaxWidth = Value;
    AlignLabel();
}

void TsBoundLabel::SetLayout(TsCaptionLayout Value)
{
    if (Value == FLayout)
        return;
    FLayout = Value;
    UpdateAlignment();
    AlignLabel();
}

void TsBoundLabel::UpdateAlignment()
{
    if (!FTheLabel)
        return;
    static const TAlignment alignments[] = {taRightJustify, taLeftJustify, taCenter, taRightJustify};
    FTheLabel->SetAlignment(alignments[FLayout]);
}

void TsBoundLabel::AlignLabel()
{
    TsEditLabel* l = FTheLabel;
    TControl* c = FCommonData ? FCommonData->FOwnerControl : nullptr;
    if (!l || !c || !l->Visible())
        return;
    l->SetAutoSize(true);
    switch (FLayout) {
    case sclLeft:
        l->SetBounds(c->Left() - l->Width() - 4 - FIndent, (c->Height() - l->Height()) / 2 + c->Top() - 1, l->Width(),
                     l->Height());
        break;
    case sclTopLeft:
        l->SetBounds(c->Left(), c->Top() - l->Height() - FIndent, l->Width(), l->Height());
        break;
    case sclTopCenter:
        l->SetBounds((c->Width() - l->Width()) / 2 + c->Left(), c->Top() - l->Height() - FIndent, l->Width(),
                     l->Height());
        break;
    case sclTopRight:
        l->SetBounds(c->Left() + c->Width() - l->Width(), c->Top() - l->Height() - FIndent, l->Width(), l->Height());
        break;
    }
    if (FMaxWidth != 0) {
        l->SetAutoSize(false);
        l->SetWidth(FMaxWidth);
        l->SetWordWrap(true);
        l->SetHeight(std::max(l->Height(), c->Height()));
    }
}

void TsBoundLabel::LabelDestroyed()
{
    FTheLabel = nullptr;
    FActive = false;
}

void TsBoundLabel::WriteProperties(TWriter& Writer) const
{
    static const char* layoutNames[] = {"sclLeft", "sclTopLeft", "sclTopCenter", "sclTopRight"};
    if (FActive) {
        Writer.WritePropName("Active");
        Writer.WriteBoolean(true);
    }
    if (!FCaption.empty()) {
        Writer.WritePropName("Caption");
        Writer.WriteString(FCaption);
    }
    Writer.WritePropName("Indent");
    Writer.WriteInteger(FIndent);
    WriteFontProperties(Writer, "Font", *Font());
    Writer.WritePropName("Layout");
    Writer.WriteIdent(layoutNames[FLayout]);
    Writer.WritePropName("MaxWidth");
    Writer.WriteInteger(FMaxWidth);
}

// --- The skinned control's frame ----------------------------------------------------------------

TsSkinHolder::TsSkinHolder(TControl* Owner, const char* Section, int ControlCode)
    : FCommonData(std::make_unique<TsCommonData>(Owner, true))
{
    FCommonData->COC = ControlCode;
    FCommonData->SetSkinSection(Section);
}

bool TsSkinHolder::SkinWndProc(TMessage& Message)
{
    TsCommonData* sd = FCommonData.get();
    if (Message.Msg != SM_SKINCMD)
        return CommonWndProc(Message, sd);
    const WORD command = Message.WParamHi;
    if (command != AC_NEWSKIN && command != AC_REMOVESKIN && command != AC_REPAINT)
        return CommonWndProc(Message, sd);
    CommonMessage(Message, sd);
    if (auto* w = dynamic_cast<TWinControl*>(sd->FOwnerControl))
        SkinBroadCast(w, Message);
    if (command != AC_NEWSKIN)
        sd->Invalidate();
    return true;
}
