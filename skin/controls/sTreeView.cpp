#include "sTreeView.h"

#include "ClassesFiler.h"
#include "Menus.h"
#include "sMessages.h"
#include "sStyleSimply.h"

namespace {
// The tree's own message for a refresh of its bars after a burst of changes.
const UINT kRefreshScrolls = RegisterWindowMessageA("Vellorn.TsTreeView.RefreshScrolls");
} // namespace

TsTreeView::TsTreeView(TComponent* AOwner) : TsSkinned(AOwner, "EDIT", 96)
{
}

void TsTreeView::Loaded()
{
    inherited::Loaded();
    RefreshScrolls();
}

bool TsTreeView::Needed(int Kind, SCROLLINFO& Info)
{
    return GetNativeScrollInfo(this, Kind, Info) && Visible() &&
           Info.nMax - Info.nMin > static_cast<int>(Info.nPage) - 1 && Info.nPage > 1;
}

void TsTreeView::RefreshBar(TsScrollBar*& Bar, TScrollBarKind Kind, bool Need, const SCROLLINFO& Info)
{
    if (!Need) {
        if (Bar)
            Bar->SetVisible(false);
        return;
    }
    if (!Bar) {
        Bar = MakeHostBar(this, Kind,
                          Kind == sbVertical ? TOnIntChangeEvent(this, &TsTreeView::OnVSBChange)
                                             : TOnIntChangeEvent(this, &TsTreeView::OnHSBChange));
        if (Kind == sbVertical)
            Bar->SetWidth(std::min(GetSystemMetrics(SM_CXVSCROLL), Width() - 6));
    }
    FillHostBar(Bar, Info, Enabled());
    Bar->SetEnabled(Enabled());
}

void TsTreeView::RefreshScrolls()
{
    if (ControlState().Contains(csCreating) || ComponentState().Contains(csDestroying) || !HandleAllocated())
        return;
    if (!sSkinData->Active || !SkinData()->Skinned() || !Visible() || Width() < 16 || Height() < 16) {
        FreeHostBar(VSBar);
        FreeHostBar(HSBar);
        return;
    }
    SCROLLINFO v, h;
    const bool needV = Needed(SB_VERT, v), needH = Needed(SB_HORZ, h);
    RefreshBar(VSBar, sbVertical, needV, v);
    RefreshBar(HSBar, sbHorizontal, needH, h);
    RefreshScrollBounds(needV, needH);
    for (TsScrollBar* bar : {needV ? VSBar : nullptr, needH ? HSBar : nullptr})
        if (bar) {
            bar->SetVisible(true);
            bar->UpdateBar();
        }
    PaintHostCorner(this, VSBar, HSBar);
}

void TsTreeView::RefreshScrollBounds(bool Vertical, bool Horizontal)
{
    // Inside the system's client edge, where the native bars lie.
    const int b = BorderStyle() == bsSingle ? 2 : 0;
    if (Vertical && VSBar)
        VSBar->SetBounds(UseRightToLeftAlignment() ? Left() + b : Left() + Width() - VSBar->Width() - b, Top() + b,
                         VSBar->Width(), Height() - 2 * b - (Horizontal && HSBar ? HSBar->Height() : 0));
    if (Horizontal && HSBar) {
        HSBar->SetBounds(Left() + b, Top() + Height() - HSBar->Height() - b,
                         Width() - 2 * b - (Vertical && VSBar ? VSBar->Width() : 0), HSBar->Height());
        HSBar->BringToFront();
    }
}

void TsTreeView::OnVSBChange(TObject*, int)
{
    SendHostScroll(this, VSBar);
}

void TsTreeView::OnHSBChange(TObject*, int)
{
    SendHostScroll(this, HSBar);
}

void TsTreeView::PostRefreshScrolls()
{
    if (FRefreshPosted || !HandleAllocated())
        return;
    FRefreshPosted = PostMessageA(Handle(), kRefreshScrolls, 0, 0) != FALSE;
}

void TsTreeView::WndProc(TMessage& Message)
{
    if (Message.Msg == kRefreshScrolls) {
        FRefreshPosted = false;
        RefreshScrolls();
        return;
    }
    if (Message.Msg == SM_SKINCMD) {
        const WORD command = Message.WParamHi;
        inherited::WndProc(Message);
        if (command == AC_REMOVESKIN || command == AC_REPAINT)
            RefreshScrolls();
        return;
    }
    inherited::WndProc(Message);
    if (!sSkinData->Active || !SkinData()->Skinned())
        return;
    switch (Message.Msg) {
    case WM_WINDOWPOSCHANGED: // the bounds are in step after it
    case WM_MOUSEWHEEL:
    case WM_VSCROLL:
    case WM_HSCROLL:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case CN_KEYDOWN: RefreshScrolls(); break;
    case CN_KEYUP:
        switch (Message.WParam) {
        case VK_PRIOR:
        case VK_NEXT:
        case VK_END:
        case VK_HOME:
        case VK_UP:
        case VK_DOWN:
        case VK_SCROLL: RefreshScrolls(); break;
        default: break;
        }
        break;
    case WM_NCPAINT: PaintHostCorner(this, VSBar, HSBar); break;
    case TVM_INSERTITEMA:
    case TVM_DELETEITEM:
    case TVM_EXPAND:
    case TVM_SELECTITEM: // a selected node is scrolled into view
    case TVM_ENSUREVISIBLE: PostRefreshScrolls(); break;
    case CN_NOTIFY:
        if (auto* n = reinterpret_cast<NMHDR*>(Message.LParam);
            n && (n->code == TVN_ITEMEXPANDEDA || n->code == TVN_DELETEITEMA || n->code == TVN_ENDLABELEDITA))
            PostRefreshScrolls();
        break;
    default: break;
    }
}

namespace {

void PutInt(TWriter& W, const char* Name, Int64 Value)
{
    W.WritePropName(Name);
    W.WriteInteger(Value);
}

void PutBool(TWriter& W, const char* Name, bool Value)
{
    W.WritePropName(Name);
    W.WriteBoolean(Value);
}

void PutIdent(TWriter& W, const char* Name, const char* Value)
{
    W.WritePropName(Name);
    W.WriteIdent(Value);
}

void PutRef(TWriter& W, const char* Name, const TComponent* Value)
{
    W.WritePropName(Name);
    W.WriteReference(Value);
}

} // namespace

void TsTreeView::WriteProperties(TWriter& Writer)
{
    static const char* alignNames[] = {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"};
    static const char* sortNames[] = {"stNone", "stData", "stText", "stBoth"};
    PutInt(Writer, "Left", Left());
    PutInt(Writer, "Top", Top());
    PutInt(Writer, "Width", Width());
    PutInt(Writer, "Height", Height());
    if (Align() != alNone)
        PutIdent(Writer, "Align", alignNames[Align()]);
    if (BorderStyle() != bsSingle)
        PutIdent(Writer, "BorderStyle", "bsNone");
    if (ChangeDelay() != 0)
        PutInt(Writer, "ChangeDelay", ChangeDelay());
    if (!ParentColor() && Color() != clWindow)
        WriteColorProperty(Writer, "Color", Color());
    if (!ParentCtl3D())
        PutBool(Writer, "Ctl3D", Ctl3D());
    if (!Enabled())
        PutBool(Writer, "Enabled", false);
    if (!ParentFont())
        WriteFontProperties(Writer, "Font", *Font());
    if (!HideSelection())
        PutBool(Writer, "HideSelection", false);
    if (HotTrack())
        PutBool(Writer, "HotTrack", true);
    if (Images())
        PutRef(Writer, "Images", Images());
    PutInt(Writer, "Indent", Indent());
    if (!ParentCtl3D())
        PutBool(Writer, "ParentCtl3D", false);
    if (!ParentFont())
        PutBool(Writer, "ParentFont", false);
    if (PopupMenu())
        PutRef(Writer, "PopupMenu", PopupMenu());
    if (ReadOnly())
        PutBool(Writer, "ReadOnly", true);
    if (RightClickSelect())
        PutBool(Writer, "RightClickSelect", true);
    if (RowSelect())
        PutBool(Writer, "RowSelect", true);
    if (!ShowButtons())
        PutBool(Writer, "ShowButtons", false);
    if (!ShowLines())
        PutBool(Writer, "ShowLines", false);
    if (!ShowRoot())
        PutBool(Writer, "ShowRoot", false);
    if (SortType() != stNone)
        PutIdent(Writer, "SortType", sortNames[SortType()]);
    if (StateImages())
        PutRef(Writer, "StateImages", StateImages());
    if (TabOrder() >= 0)
        PutInt(Writer, "TabOrder", TabOrder());
    if (!Visible())
        PutBool(Writer, "Visible", false);
    if (Items()->Count() > 0) {
        TMemoryStream data;
        Items()->WriteData(data);
        Writer.WritePropName("Items.Data");
        Writer.WriteBinary(data.Memory(), static_cast<Integer>(data.Size()));
    }
    Writer.BeginPropPath("BoundLabel");
    BoundLabel()->WriteProperties(Writer);
    Writer.EndPropPath();
    Writer.BeginPropPath("SkinData");
    SkinData()->WriteProperties(Writer);
    Writer.EndPropPath();
}

bool TsTreeView::ReadProperty(TReader& Reader, const AnsiString& PropPath)
{
    // The tree view takes its nodes; the skinned values keep what the form set.
    return inherited::ReadProperty(Reader, PropPath);
}
