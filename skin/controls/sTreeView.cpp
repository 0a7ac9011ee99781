#include "sTreeView.h"

#include "ClassesFiler.h"
#include "Menus.h"
#include "sEdit.h"
#include "sGraphUtils.h"
#include "sMaskData.h"
#include "sMaskGraph.h"
#include "sMessages.h"
#include "sStyleSimply.h"
#include "sVclUtils.h"

namespace {
// The tree's own message for a refresh of its bars after a burst of changes.
const UINT kRefreshScrolls = RegisterWindowMessageA("Vellorn.TsTreeView.RefreshScrolls");

// The next node on the rows of a tree: a shown child, else the next sibling of the node or of
// the nearest ancestor that has one.
TTreeNode* NextVisible(TTreeNode* Node)
{
    if (Node->Expanded() && Node->getFirstChild())
        return Node->getFirstChild();
    for (TTreeNode* n = Node; n; n = n->Parent())
        if (n->getNextSibling())
            return n->getNextSibling();
    return nullptr;
}
} // namespace

TsTreeView::TsTreeView(TComponent* AOwner) : TsSkinned(AOwner, "EDIT", 96)
{
}

void TsTreeView::AfterConstruction()
{
    inherited::AfterConstruction();
    SkinData()->Loaded();
    SavedBorderStyle = BorderStyle();
    RefreshScrolls();
}

void TsTreeView::Loaded()
{
    inherited::Loaded();
    // A layout sets the border style after the construction: the style without a skin is this one.
    if (!FSkinBorder)
        SavedBorderStyle = BorderStyle();
    RefreshScrolls();
    if (SkinData()->Skinned())
        ApplySkinColors();
}

void TsTreeView::CreateParams(TCreateParams& Params)
{
    inherited::CreateParams(Params);
    if (BiDiMode() == bdRightToLeft)
        Params.ExStyle |= WS_EX_LEFTSCROLLBAR;
}

void TsTreeView::CreateWnd()
{
    inherited::CreateWnd();
    // The window takes its nodes while it is made: the bars follow once it is settled.
    PostRefreshScrolls();
}

void TsTreeView::BiDiModeChanged()
{
    if (!HandleAllocated())
        return;
    const LONG ex = GetWindowLongA(Handle(), GWL_EXSTYLE);
    const LONG next = BiDiMode() == bdRightToLeft ? ex | WS_EX_LEFTSCROLLBAR : ex & ~WS_EX_LEFTSCROLLBAR;
    if (next == ex)
        return;
    SetWindowLongA(Handle(), GWL_EXSTYLE, next);
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RefreshScrolls();
}

void TsTreeView::ApplySkinColors()
{
    TsCommonData* sd = SkinData();
    const TsGeneralData& g = gd[static_cast<std::size_t>(sd->SkinIndex)];
    if (!sd->CustomColor)
        SetColor(g.Color);
    if (!sd->CustomFont)
        Font()->SetColor(g.FontColor[0]);
}

void TsTreeView::RestoreColors()
{
    if (!SkinData()->CustomColor)
        SetColor(clWindow);
    if (!SkinData()->CustomFont)
        Font()->SetColor(clWindowText);
}

void TsTreeView::ChangeFrame(TBorderStyle Style)
{
    if (!HandleAllocated()) {
        SetBorderStyle(Style);
        return;
    }
    if (BorderStyle() == Style) {
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    TTreeNode* top = TopItem();
    SetBorderStyle(Style);
    SetTopItem(top);
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
        if (Kind == sbVertical) {
            Bar->SetWidth(std::min(GetSystemMetrics(SM_CXVSCROLL), Width() - 6));
            Bar->OnHostPosition = THostPositionEvent(this, &TsTreeView::OnVSBPosition);
        }
    }
    FillHostBar(Bar, Info, Enabled());
    Bar->SetEnabled(Enabled());
}

void TsTreeView::RefreshScrolls()
{
    if (ControlState().Contains(csCreating) || ComponentState().Contains(csDestroying) || !HandleAllocated())
        return;
    // While the windows take a new skin (the skin is off for that moment) the bars stay: the
    // repaint that follows refreshes them, rather than a bar window freed and made again.
    if (RestrictDrawing)
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
    PaintCorner();
}

void TsTreeView::RefreshScrollBounds(bool Vertical, bool Horizontal)
{
    const int b = FrameWidth();
    if (Vertical && VSBar)
        VSBar->SetBounds(BiDiMode() == bdRightToLeft ? Left() + b : Left() + Width() - VSBar->Width() - b, Top() + b,
                         VSBar->Width(), Height() - 2 * b - (Horizontal && HSBar ? HSBar->Height() : 0));
    if (Horizontal && HSBar) {
        // Right to left the vertical bar is at the left: the horizontal one starts beside it and
        // reaches the right edge, over the whole native bar.
        const int v = Vertical && VSBar ? VSBar->Width() : 0;
        HSBar->SetBounds(Left() + b + (BiDiMode() == bdRightToLeft ? v : 0), Top() + Height() - HSBar->Height() - b,
                         Width() - 2 * b - v, HSBar->Height());
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

TTreeNode* TsTreeView::VisibleNode(int Index) const
{
    TTreeNode* node = Index >= 0 ? Items()->GetFirstNode() : nullptr;
    for (int i = 0; node && i < Index; ++i)
        node = NextVisible(node);
    return node;
}

void TsTreeView::OnVSBPosition(TObject*, int Position)
{
    // The native position is the visible row at the top.
    if (TTreeNode* node = VisibleNode(Position))
        SetTopItem(node);
}

TTreeNode* TsTreeView::GetNodeFromItem(const TVITEMA& Item)
{
    if (!Items())
        return nullptr;
    if (Item.mask & TVIF_PARAM)
        return reinterpret_cast<TTreeNode*>(Item.lParam);
    return Items()->GetNode(Item.hItem);
}

void TsTreeView::PrepareCache()
{
    TsCommonData* sd = SkinData();
    try {
        sd->InitCacheBmp();
        PaintItem(sd, GetParentCache(sd), false, ControlIsActive(sd) ? 1 : 0, Rect(0, 0, Width(), Height()),
                  TPoint{Left(), Top()}, sd->FCacheBmp.get(), false);
    } catch (...) {
        // The frame is drawn from whatever the cache holds.
    }
    sd->BGChanged = false;
}

void TsTreeView::PaintFrame(HDC DC)
{
    TsCommonData* sd = SkinData();
    if (!HandleAllocated() || !sd->Skinned() || ComponentState().Contains(csDestroying) ||
        ComponentState().Contains(csLoading))
        return;
    sd->Updating = sd->GetUpdating();
    if (sd->Updating)
        return; // the parent's AC_PARENTUPDATED brings the paint back
    const int w = Width(), h = Height(), b = FrameWidth();
    if (sd->BGChanged || !sd->FCacheBmp || sd->FCacheBmp->Width() != w || sd->FCacheBmp->Height() != h)
        PrepareCache();
    TWindowDC dc(Handle(), DC);
    UpdateCorners(sd, 0);
    HDC src = sd->FCacheBmp->Canvas()->Handle();
    BitBlt(dc.Handle(), 0, 0, w, b, src, 0, 0, SRCCOPY);
    BitBlt(dc.Handle(), 0, b, b, h - b, src, 0, b, SRCCOPY);
    BitBlt(dc.Handle(), b, h - b, w - b, b, src, b, h - b, SRCCOPY);
    BitBlt(dc.Handle(), w - b, b, b, h - 2 * b, src, w - b, b, SRCCOPY);
    PaintCorner(dc.Handle());
}

void TsTreeView::PaintCorner(HDC DC)
{
    TsCommonData* sd = SkinData();
    if (!VSBar || !HSBar || !VSBar->Visible() || !HSBar->Visible() || !sd->FCacheBmp || sd->Updating ||
        !HandleAllocated())
        return;
    const int x = VSBar->Left() - Left(), y = HSBar->Top() - Top();
    TWindowDC dc(Handle(), DC);
    BitBlt(dc.Handle(), x, y, VSBar->Width(), HSBar->Height(), sd->FCacheBmp->Canvas()->Handle(), x, y, SRCCOPY);
}

void TsTreeView::LookChanged()
{
    SkinData()->BGChanged = true;
    PaintFrame();
}

void TsTreeView::PostRefreshScrolls()
{
    if (FRefreshPosted || !HandleAllocated())
        return;
    FRefreshPosted = PostMessageA(Handle(), kRefreshScrolls, 0, 0) != FALSE;
}

void TsTreeView::NCCalcSize(TMessage& Message)
{
    inherited::Dispatch(Message);
    if (ComponentState().Contains(csDestroying) || !SkinData()->Skinned())
        return;
    // The frame is FrameWidth() whatever the native edge: 2 pixels of it are the client edge.
    RECT* r = Message.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0]
                             : reinterpret_cast<RECT*>(Message.LParam);
    const int d = (BorderStyle() == bsSingle ? 1 : 3) + BorderWidth();
    r->left = std::min(r->left + d, r->right);
    r->top = std::min(r->top + d, r->bottom);
    r->right = std::max(r->right - d, r->left);
    r->bottom = std::max(r->bottom - d, r->top);
}

void TsTreeView::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_NCCALCSIZE: NCCalcSize(Message); return;
    case CN_NOTIFY: {
        inherited::Dispatch(Message);
        const auto* n = reinterpret_cast<const NMHDR*>(Message.LParam);
        if (n && (n->code == TVN_ITEMEXPANDEDA || n->code == TVN_DELETEITEMA || n->code == TVN_ENDLABELEDITA ||
                  n->code == TVN_SELCHANGEDA))
            PostRefreshScrolls();
        return;
    }
    default: inherited::Dispatch(Message);
    }
}

void TsTreeView::WndProc(TMessage& Message)
{
    TsCommonData* sd = SkinData();
    if (Message.Msg == kRefreshScrolls) {
        // Done already when a batch of changes ended meanwhile.
        if (!FRefreshPosted)
            return;
        FRefreshPosted = false;
        RefreshScrolls();
        return;
    }
    // The one message a whole tree goes in by: nothing else of the skin concerns it.
    if (Message.Msg == TVM_INSERTITEMA) {
        TTreeView::WndProc(Message);
        if (sd->Skinned())
            PostRefreshScrolls();
        return;
    }
    if (Message.Msg == SM_SKINCMD) {
        switch (Message.WParamHi) {
        case AC_NEWSKIN:
            CommonWndProc(Message, sd);
            // The native edge goes; the frame is painted from the skin.
            FSkinBorder = true;
            ChangeFrame(bsNone);
            return;
        case AC_REMOVESKIN:
            CommonWndProc(Message, sd);
            RefreshScrolls();
            RestoreColors();
            FSkinBorder = false;
            ChangeFrame(SavedBorderStyle);
            return;
        case AC_REPAINT:
            CommonWndProc(Message, sd);
            if (sd->Skinned())
                ApplySkinColors();
            RefreshScrolls();
            LookChanged();
            return;
        case AC_PARENTUPDATED:
            if (sd->Updating) {
                sd->Updating = false;
                PaintFrame();
                return;
            }
            break;
        case AC_ISSKINNED: Message.LParam = 1; return;
        default: break;
        }
    }
    if (Message.Msg == CM_BIDIMODECHANGED) {
        TTreeView::WndProc(Message);
        BiDiModeChanged();
        BoundLabelFollows(BoundLabel(), this, Message.Msg);
        return;
    }
    if (!ControlIsReady(this) || !sd->Skinned()) {
        TTreeView::WndProc(Message);
        BoundLabelFollows(BoundLabel(), this, Message.Msg);
        return;
    }
    switch (Message.Msg) {
    case WM_ERASEBKGND: return; // the native control paints its background with its rows
    case WM_NCPAINT: PaintFrame(); return;
    case WM_PRINT: {
        HDC dc = reinterpret_cast<HDC>(Message.WParam);
        const int saved = SaveDC(dc);
        const int b = FrameWidth();
        OffsetViewportOrgEx(dc, b, b, nullptr);
        IntersectClipRect(dc, 0, 0, Width() - 2 * b, Height() - 2 * b);
        TMessage client{WM_PRINTCLIENT, Message.WParam, PRF_CLIENT, 0};
        TTreeView::WndProc(client);
        RestoreDC(dc, saved);
        PaintFrame(dc);
        return;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case CM_ENTER:
    case CM_EXIT:
        sd->Focused = Message.Msg == WM_SETFOCUS || Message.Msg == CM_ENTER;
        sd->MouseAbove = false;
        sd->BGChanged = true;
        break;
    default: break;
    }
    if (!CommonWndProc(Message, sd))
        TTreeView::WndProc(Message);
    switch (Message.Msg) {
    case WM_PAINT: PaintCorner(); break; // the native control draws its bars and their corner
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
    case CM_ENABLEDCHANGED:
        RefreshScrolls();
        LookChanged();
        break;
    case WM_MOVE:
    case CM_VISIBLECHANGED: sd->BGChanged = true; [[fallthrough]];
    case WM_KEYDOWN: // the tree has moved by the key (a typed letter, a held page key)
    case WM_CHAR:
    case WM_WINDOWPOSCHANGED: // the bounds are in step after it
    case WM_MOUSEWHEEL:
    case WM_VSCROLL:
    case WM_HSCROLL: RefreshScrolls(); break;
    case TVM_DELETEITEM:
    case TVM_EXPAND:
    case TVM_SETITEMA:
    case TVM_SELECTITEM: // a selected node is scrolled into view
    case TVM_ENSUREVISIBLE: PostRefreshScrolls(); break;
    case WM_SETREDRAW: // the end of a change made in one pass: the bars follow with the rows
        if (Message.WParam && Items()->UpdateCount() == 0) {
            FRefreshPosted = false;
            RefreshScrolls();
        } else if (Message.WParam) {
            PostRefreshScrolls();
        }
        break;
    default: break;
    }
    BoundLabelFollows(BoundLabel(), this, Message.Msg);
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
    // The values the skin gave are written as the control has them without it.
    const bool skinColors = SkinData()->Skinned();
    const TColor color = skinColors && !SkinData()->CustomColor ? clWindow : Color();
    TFont font;
    font.Assign(Font());
    if (skinColors && !SkinData()->CustomFont)
        font.SetColor(clWindowText);
    const TBorderStyle border = FSkinBorder ? SavedBorderStyle : BorderStyle();
    PutInt(Writer, "Left", Left());
    PutInt(Writer, "Top", Top());
    PutInt(Writer, "Width", Width());
    PutInt(Writer, "Height", Height());
    if (Align() != alNone)
        PutIdent(Writer, "Align", alignNames[Align()]);
    if (border != bsSingle)
        PutIdent(Writer, "BorderStyle", "bsNone");
    if (ChangeDelay() != 0)
        PutInt(Writer, "ChangeDelay", ChangeDelay());
    if (!ParentColor() && color != clWindow)
        WriteColorProperty(Writer, "Color", color);
    if (!ParentCtl3D())
        PutBool(Writer, "Ctl3D", Ctl3D());
    if (!Enabled())
        PutBool(Writer, "Enabled", false);
    if (!ParentFont())
        WriteFontProperties(Writer, "Font", font);
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
