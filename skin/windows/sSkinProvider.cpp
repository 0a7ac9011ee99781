#include "sSkinProvider.h"

#include <algorithm>
#include <cstring>

#include "sConst.h"
#include "sMDIForm.h"
#include "sMaskData.h"
#include "sMessages.h"
#include "sSkinManager.h"
#include "sSkinMenus.h"
#include "sStyleSimply.h"
#include "sUtils.h"
#include "sVclUtils.h"

// --- Construction and destruction -----------------------------------------------------------------

TsSkinProvider::TsSkinProvider(TComponent* AOwner)
    : TComponent(AOwner), FCommonData(std::make_unique<TsCommonData>(this, true)), TempBmp(std::make_unique<TBitmap>()),
      FMenuLineBmp(std::make_unique<TBitmap>())
{
    FForm = GetOwnerForm(AOwner);
    FCommonData->SetSkinSection("FORM");
    FCommonData->COC = 224;
    if (FForm) {
        FormAutoScroll = FForm->AutoScroll();
        // The provider scrolls the form itself while a skin is on it.
        if (sSkinData && sSkinData->Active)
            FForm->SetAutoScroll(false);
        SavedBorderIcons = FForm->BorderIcons();
    }
    FTitleIcon = std::make_unique<TsTitleIcon>();
    FTitleButtons = std::make_unique<TsTitleButtons>(this);
    TakeManager(sSkinData ? sSkinData->DefaultManager : nullptr);
    if (FSkinManager && sSkinData->Active && !gd.empty() && FForm) {
        SavedBorderIcons = FForm->BorderIcons();
        ClearFormIcons = true;
    }
    FSystemMenu = Create<TsSystemMenu>(this);
    FSystemMenu->FOwner = this;
    FSystemMenu->FForm = FForm;
    ArOR.assign(1, TRect{0, 0, 0, 0});
    HookForm();
}

TsSkinProvider::~TsSkinProvider() = default;

void TsSkinProvider::AfterConstruction()
{
    inherited::AfterConstruction();
    FCommonData->SkinIndex = GetSkinIndex(FCommonData->SkinSection());
    // The provider draws the system buttons only where the skin has its section; a form the skin
    // leaves alone keeps its own.
    if (ClearFormIcons) {
        ClearFormIcons = false;
        if (FForm && !FForm->BorderIcons().Empty() && FCommonData->Skinned())
            FForm->SetBorderIcons(TBorderIcons{});
    }
    UpdateIconsIndexes();
    ApplyGlobalColor();
    MakeMDIForm();
    // A new child changes what its parent's client holds.
    if (TsSkinProvider* parent = MDIParentProvider()) {
        parent->FCommonData->BGChanged = true;
        if (parent->FMDIForm)
            parent->FMDIForm->RefreshScrolls();
    }
}

void TsSkinProvider::MakeMDIForm()
{
    if (FMDIForm || !FForm || FForm->FormStyle() != fsMDIForm || FormDestroying())
        return;
    MDISkinProvider = this;
    FMDIForm = std::make_unique<TsMDIForm>(this);
}

void TsSkinProvider::BeforeDestruction()
{
    // The form is still whole here: its caption, its window procedure and, when the skin was
    // on it, its own frame and menu line go back to it.
    if (FForm && !FForm->ComponentState().Contains(csDestroying)) {
        DropCaption();
        const bool skinnedLook = FForm->BorderIcons() != SavedBorderIcons || FirstInitialized;
        UnhookForm();
        if (skinnedLook) {
            if (FSkinManager && FSkinManager->SkinableMenus() && FForm->Menu())
                FSkinManager->SkinableMenus()->InitMenuLine(FForm->Menu(), false);
            GiveFrameBack();
        }
    }
    UnhookForm();
    // A child's menu leaves its parent's menu line.
    if (FForm && FForm->FormStyle() == fsMDIChild && FForm->Menu() && MDISkinProvider && MDISkinProvider != this &&
        MDISkinProvider->FForm && MDISkinProvider->FForm->HandleAllocated() && !MDISkinProvider->FormDestroying()) {
        MDISkinProvider->FCommonData->BGChanged = true;
        SendMessageA(MDISkinProvider->FForm->Handle(), WM_NCPAINT, 0, 0);
    }
    if (MDISkinProvider == this)
        MDISkinProvider = nullptr;
    FMDIForm.reset();
    inherited::BeforeDestruction();
    FSystemMenu = nullptr; // freed with the owned components
}

// The provider's place in the form's chain of window procedures. When the provider goes while a
// later take-over still passes its messages on to it, the hook stays and passes them straight on
// to the procedure the provider had taken over, until the form goes.
class TsFormHook : public TComponent {
    VCL_CLASS(TsFormHook, TComponent)
public:
    using TComponent::TComponent;
    void WndProc(TMessage& Message)
    {
        if (Provider)
            Provider->NewWndProc(Message);
        else
            Old(Message);
    }
    TsSkinProvider* Provider = nullptr;
    TCustomForm* Form = nullptr;
    TWndMethod Old;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        inherited::Notification(AComponent, Operation);
        if (Operation != opRemove || AComponent != Form)
            return;
        // The form goes: it gets back the procedure it had, and the hook goes with it.
        if (Form->WindowProc == TWndMethod(this, &TsFormHook::WndProc))
            Form->WindowProc = Old;
        if (Provider)
            Provider->FHook = nullptr;
        Form = nullptr;
        Provider = nullptr;
        Free();
    }
};

void TsSkinProvider::HookForm()
{
    if (!FForm)
        return;
    FHook = Create<TsFormHook>(nullptr);
    FHook->Provider = this;
    FHook->Form = FForm;
    FHook->Old = FForm->WindowProc;
    FForm->FreeNotification(FHook);
    FForm->WindowProc = TWndMethod(FHook, &TsFormHook::WndProc);
}

void TsSkinProvider::UnhookForm()
{
    if (!FHook)
        return;
    TsFormHook* hook = FHook;
    FHook = nullptr;
    hook->Provider = nullptr;
    if (FForm->WindowProc == TWndMethod(hook, &TsFormHook::WndProc)) {
        FForm->WindowProc = hook->Old;
        hook->Form = nullptr;
        hook->Free();
    }
    // Otherwise a take-over made after this one is still in place: the hook passes its messages on.
}

bool TsSkinProvider::HasWindowProc() const
{
    return FHook && FForm && FForm->WindowProc == TWndMethod(FHook, &TsFormHook::WndProc);
}

void TsSkinProvider::CallDefault(TMessage& Message)
{
    if (FHook)
        FHook->Old(Message);
}

void TsSkinProvider::Loaded()
{
    inherited::Loaded();
    FSystemMenu->UpdateItems();
    const int global = GetSkinIndex("GLOBALINFO");
    int mask = GetMaskIndex(global, "GLOBALINFO", "TITLEBUTTON");
    if (mask < 0)
        mask = GetMaskIndex(FCommonData->SkinIndex, FCommonData->SkinSection(), "TITLEBUTTON");
    for (int i = 0; i < FTitleButtons->Count(); ++i) {
        TsTitleButton* b = FTitleButtons->Items(i);
        b->BtnData.ImageIndex = b->UseSkinData ? mask : -1;
    }
    // The form style is set by now: an MDI parent's client is taken over once the form's
    // windows are made.
    MakeMDIForm();
    if (FMDIForm) {
        Application->ProcessMessages();
        FForm->HandleNeeded();
        FMDIForm->ConnectToClient();
    }
}

void TsSkinProvider::Notification(TComponent* AComponent, TOperation Operation)
{
    inherited::Notification(AComponent, Operation);
    if (auto* manager = dynamic_cast<TsSkinManager*>(AComponent)) {
        if (Operation == opInsert && !FSkinManager)
            TakeManager(manager);
        else if (Operation == opRemove && FSkinManager == manager)
            FSkinManager = nullptr;
        return;
    }
    if (auto* item = dynamic_cast<TMenuItem*>(AComponent)) {
        if (FCommonData->Skinned() && FSkinManager && FSkinManager->SkinableMenus() &&
            !ComponentState().Contains(csDestroying))
            FSkinManager->SkinableMenus()->InitItem(item, Operation == opInsert);
    }
}

void TsSkinProvider::TakeManager(TsSkinManager* Manager)
{
    // The provider hears of the manager's going wherever the two are owned.
    if (FSkinManager || !Manager)
        return;
    FSkinManager = Manager;
    Manager->FreeNotification(this);
}

// --- Published setters --------------------------------------------------------------------------

void TsSkinProvider::SetCaptionAlignment(TAlignment Value)
{
    if (FCaptionAlignment == Value)
        return;
    FCaptionAlignment = Value;
    FCommonData->BGChanged = true;
    if (FormVisible())
        SendMessageA(FForm->Handle(), WM_NCPAINT, 0, 0);
}

void TsSkinProvider::SetShowAppIcon(bool Value)
{
    if (FShowAppIcon == Value)
        return;
    FShowAppIcon = Value;
    FCommonData->BGChanged = true;
    if (FormVisible())
        SendMessageA(FForm->Handle(), WM_NCPAINT, 0, 0);
}

void TsSkinProvider::SetTitleSkin(const AnsiString& Value)
{
    if (FTitleSkin == Value)
        return;
    FTitleSkin = Value;
    FCommonData->BGChanged = true;
    if (FormVisible())
        SendMessageA(FForm->Handle(), WM_NCPAINT, 0, 0);
}

AnsiString TsSkinProvider::TitleSkinSection() const { return FTitleSkin.empty() ? AnsiString("FORMTITLE") : FTitleSkin; }

// --- State of the form ----------------------------------------------------------------------------

bool TsSkinProvider::FormVisible() { return FForm && FForm->HandleAllocated() && IsWindowVisible(FForm->Handle()); }

bool TsSkinProvider::FormCreating() { return !FForm || FForm->FormState().Contains(fsCreating); }

bool TsSkinProvider::FormDestroying() { return !FForm || FForm->ComponentState().Contains(csDestroying); }

bool TsSkinProvider::Bordered() { return FForm && FForm->BorderStyle() != bsNone; }

bool TsSkinProvider::IsIconic() { return FForm && FForm->HandleAllocated() && ::IsIconic(FForm->Handle()); }

bool TsSkinProvider::IsZoomed() { return FForm && FForm->HandleAllocated() && ::IsZoomed(FForm->Handle()); }

// --- Sizes ------------------------------------------------------------------------------------------

int TsSkinProvider::CaptionHeight()
{
    if (!FForm)
        return 0;
    switch (FForm->BorderStyle()) {
    case bsNone: return 0;
    case bsToolWindow:
    case bsSizeToolWin: return GetSystemMetrics(SM_CYSMCAPTION);
    default: return GetSystemMetrics(SM_CYCAPTION);
    }
}

namespace {

// The fixed-frame border styles (the others have a sizing frame).
bool FixedFrame(TCustomForm* Form)
{
    const TFormBorderStyle bs = Form->BorderStyle();
    if (Form->FormStyle() == fsMDIChild)
        return bs == bsSingle || bs == bsToolWindow;
    return bs == bsSingle || bs == bsDialog || bs == bsToolWindow;
}

} // namespace

int TsSkinProvider::SysBorderWidth()
{
    if (!FForm || FForm->BorderStyle() == bsNone)
        return 0;
    return GetSystemMetrics(FixedFrame(FForm) ? SM_CXFIXEDFRAME : SM_CXSIZEFRAME);
}

int TsSkinProvider::SysBorderHeight()
{
    if (!FForm || FForm->BorderStyle() == bsNone)
        return 0;
    return GetSystemMetrics(FixedFrame(FForm) ? SM_CYFIXEDFRAME : SM_CYSIZEFRAME);
}

int TsSkinProvider::BorderHeight() { return SysBorderHeight() + (FForm ? FForm->BorderWidth() : 0); }

int TsSkinProvider::BorderWidth() { return BorderHeight(); }

int TsSkinProvider::CaptionWidth()
{
    if (!FForm)
        return 0;
    if (IsIconic()) {
        RECT r;
        GetWindowRect(FForm->Handle(), &r);
        return r.right - r.left;
    }
    return FForm->Width();
}

int TsSkinProvider::HeaderHeight()
{
    if (!FForm || !FForm->HandleAllocated())
        return 0;
    const HWND h = FForm->Handle();
    int result = GetWindowHeight(h) - GetClientHeight(h);
    if (FForm->BorderStyle() != bsNone)
        result -= SysBorderHeight();
    result = std::max(result, 0);
    if (IsIconic())
        result += SysBorderHeight();
    return result;
}

int TsSkinProvider::MenuHeight() { return FForm && FForm->Menu() ? GetSystemMetrics(SM_CYMENU) - 1 : 0; }

int TsSkinProvider::OffsetX()
{
    if (!FForm || !FForm->HandleAllocated())
        return 0;
    return (GetWindowWidth(FForm->Handle()) - GetClientWidth(FForm->Handle())) / 2;
}

int TsSkinProvider::OffsetY()
{
    if (!FForm || !FForm->HandleAllocated())
        return 0;
    int result = GetWindowHeight(FForm->Handle()) - GetClientHeight(FForm->Handle());
    if (Bordered())
        result -= BorderWidth();
    return result;
}

int TsSkinProvider::MaxWidth()
{
    RECT r{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
    return r.right - r.left;
}

int TsSkinProvider::MaxHeight()
{
    RECT r{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
    return r.bottom - r.top;
}

bool TsSkinProvider::IconVisible()
{
    return FShowAppIcon && FForm && (FForm->BorderStyle() == bsSingle || FForm->BorderStyle() == bsSizeable);
}

TSize TsSkinProvider::IconSize()
{
    if (!IconVisible())
        return TSize{0, 0};
    if (FTitleIcon->Width != 0)
        return TSize{FTitleIcon->Width, FTitleIcon->Width};
    const int h = CaptionHeight();
    const int side = h <= 8 ? 0 : h <= 16 ? 8 : h <= 27 ? 16 : 32;
    return TSize{side, side};
}

TRect TsSkinProvider::IconRect()
{
    const TSize size = IconSize();
    const int left = SysBorderWidth();
    const int top = (CaptionHeight() + SysBorderHeight() - size.cy) / 2;
    return TRect{left, top, left + size.cx, top + size.cy};
}

int TsSkinProvider::IconRight() { return IconVisible() ? IconRect().right : SysBorderWidth(); }

TPoint TsSkinProvider::FormLeftTop()
{
    if (!FForm || !FForm->HandleAllocated())
        return TPoint{0, 0};
    RECT r;
    GetWindowRect(FForm->Handle(), &r);
    return TPoint{r.left, r.top};
}

TPoint TsSkinProvider::CursorToPoint(int X, int Y)
{
    const TPoint p = FormLeftTop();
    return TPoint{X - p.x, Y - p.y};
}

bool TsSkinProvider::MenuPresent()
{
    if (!FForm || FForm->BorderStyle() == bsDialog || FForm->FormStyle() == fsMDIChild || !FForm->Menu())
        return false;
    TMenuItem* root = FForm->Menu()->Items();
    for (int i = 0; i < root->Count(); ++i)
        if (root->Items(i)->Visible())
            return true;
    return false;
}

TCustomForm* TsSkinProvider::MaximizedMDIChild()
{
    if (!FForm || FForm->FormStyle() != fsMDIForm || !FForm->HandleAllocated())
        return nullptr;
    // The child's window state, not its WindowState, which follows only at its size message.
    TCustomForm* child = FForm->ActiveMDIChild();
    return child && child->HandleAllocated() && ::IsZoomed(child->Handle()) ? child : nullptr;
}

bool TsSkinProvider::MDIButtonsNeeded() { return FForm && FForm->Menu() && MaximizedMDIChild(); }

namespace {

TPoint MaskCell(int Index) { return Index >= 0 ? MaskSize(Index) : TPoint{0, 0}; }

} // namespace

int TsSkinProvider::ButtonWidth()
{
    const TPoint cell = MaskCell(ButtonClose.ImageIndex);
    return cell.x > 0 ? cell.x : 21;
}

int TsSkinProvider::ButtonHeight()
{
    const TPoint cell = MaskCell(ButtonClose.ImageIndex);
    return cell.y > 0 ? cell.y : 21;
}

int TsSkinProvider::SmallButtonWidth()
{
    const TPoint cell = MaskCell(MDIClose.ImageIndex);
    return cell.x > 0 ? cell.x : 16;
}

int TsSkinProvider::SmallButtonHeight()
{
    const TPoint cell = MaskCell(MDIClose.ImageIndex);
    return cell.y > 0 ? cell.y : 16;
}

int TsSkinProvider::SysButtonsCount()
{
    if (!FBorderIcons.Contains(biSystemMenu))
        return 0;
    int n = 1;
    if (FSystemMenu->VisibleMax())
        ++n;
    if (FSystemMenu->VisibleMin())
        ++n;
    if (FBorderIcons.Contains(biHelp))
        ++n;
    return n;
}

int TsSkinProvider::BarWidth(int MaskIndex)
{
    int part = 0;
    if (IsValidImgIndex(MaskIndex)) {
        const TsMaskData& m = ma[static_cast<std::size_t>(MaskIndex)];
        part = m.Bmp ? m.Bmp->Width() / 9 : (m.ImageCount > 0 ? WidthOf(m.R) / (m.ImageCount * 3) : 0);
    }
    return 2 * part + SysButtonsCount() * ButtonWidth();
}

bool TsSkinProvider::FormChanged()
{
    TBitmap* cache = FCommonData->FCacheBmp.get();
    return !cache || !FForm || cache->Width() != CaptionWidth() || cache->Height() != FForm->Height();
}

std::vector<TsSkinProvider::TTitleSlot> TsSkinProvider::TitleSlots()
{
    std::vector<TTitleSlot> slots;
    if (!FForm)
        return slots;
    if (FBorderIcons.Contains(biSystemMenu)) {
        if (ButtonClose.ImageIndex >= 0)
            slots.push_back({HTCLOSE, &ButtonClose});
        if (FSystemMenu->VisibleMax())
            slots.push_back({HTMAXBUTTON, &ButtonMax});
        if (FSystemMenu->VisibleMin())
            slots.push_back({HTMINBUTTON, &ButtonMin});
        if (FBorderIcons.Contains(biHelp) && ButtonHelp.ImageIndex >= 0)
            slots.push_back({HTHELP, &ButtonHelp});
    }
    for (int i = 0; i < FTitleButtons->Count(); ++i)
        slots.push_back({HTUDBTN + i, &FTitleButtons->Items(i)->BtnData});
    return slots;
}

// --- Skin indexes of the system buttons -----------------------------------------------------------

void TsSkinProvider::UpdateIconsIndexes()
{
    const int global = GetSkinIndex("GLOBALINFO");
    if (global < 0)
        return;
    const int form = FCommonData->SkinIndex;
    const AnsiString formSection = FCommonData->SkinSection();
    auto globalMask = [&](const char* name) { return GetMaskIndex(global, "GLOBALINFO", name); };
    const bool mdiParent = FForm && FForm->FormStyle() == fsMDIForm;
    ButtonClose.ImageIndex = globalMask("BICONCLOSE");
    if (ButtonClose.ImageIndex < 0) {
        ButtonMin.ImageIndex = GetMaskIndex(form, formSection, "BICONMIN");
        ButtonMax.ImageIndex = GetMaskIndex(form, formSection, "BICONMAX");
        ButtonClose.ImageIndex = GetMaskIndex(form, formSection, "BICONCLOSE");
        ButtonHelp.ImageIndex = GetMaskIndex(form, formSection, "BICONHELP");
        if (mdiParent) {
            MDIMin.ImageIndex = ButtonMin.ImageIndex;
            MDIMax.ImageIndex = ButtonMax.ImageIndex;
            MDIClose.ImageIndex = ButtonClose.ImageIndex;
        }
        return;
    }
    const bool big = FForm && (FForm->BorderStyle() == bsSingle || FForm->BorderStyle() == bsSizeable);
    ButtonMin.ImageIndex = globalMask(big ? "BICONMIN" : "SICONMIN");
    ButtonMax.ImageIndex = globalMask(big ? "BICONMAX" : "SICONMAX");
    ButtonClose.ImageIndex = globalMask(big ? "BICONCLOSE" : "SICONCLOSE");
    ButtonHelp.ImageIndex = globalMask("BICONHELP");
    if (ButtonClose.ImageIndex < 0) {
        ButtonMin.ImageIndex = globalMask("BICONMIN");
        ButtonMax.ImageIndex = globalMask("BICONMAX");
        ButtonClose.ImageIndex = globalMask("BICONCLOSE");
        ButtonHelp.ImageIndex = globalMask("BICONHELP");
        if (mdiParent) {
            MDIMin.ImageIndex = ButtonMin.ImageIndex;
            MDIMax.ImageIndex = ButtonMax.ImageIndex;
            MDIClose.ImageIndex = ButtonClose.ImageIndex;
        }
    } else if (mdiParent) {
        MDIMin.ImageIndex = globalMask("SICONMIN");
        MDIMax.ImageIndex = globalMask("SICONMAX");
        MDIClose.ImageIndex = globalMask("SICONCLOSE");
        if (MDIMin.ImageIndex < 0) {
            MDIMin.ImageIndex = ButtonMin.ImageIndex;
            MDIMax.ImageIndex = ButtonMax.ImageIndex;
            MDIClose.ImageIndex = ButtonClose.ImageIndex;
        }
    }
}

// --- Menus ------------------------------------------------------------------------------------------

void TsSkinProvider::RepaintMenu()
{
    FCommonData->BGChanged = true;
    MenuChanged = true;
    FLinesCount = -1;
    if (FForm && FForm->HandleAllocated()) {
        // The system lays an MDI parent's bar out again (the line is painted where it puts the
        // items, and it puts items of its own there while a child is maximised).
        if (FMDIForm && FForm->Menu())
            DrawMenuBar(FForm->Handle());
        SendMessageA(FForm->Handle(), WM_NCPAINT, 0, 0);
    }
}

void TsSkinProvider::UpdateMenu()
{
    if (!FForm || !FForm->Menu() || FForm->Menu()->Items()->Count() < 1)
        return;
    TMenuItem* first = FForm->Menu()->Items()->Items(0);
    FCommonData->BeginUpdate();
    const AnsiString caption = first->Caption();
    first->SetCaption("");
    FForm->Menu()->SetOwnerDraw(FCommonData->Skinned());
    first->SetCaption(caption);
    FCommonData->EndUpdate();
}

void TsSkinProvider::InitMenuItems(bool AActive)
{
    if (!FSkinManager || !FForm)
        return;
    TsSkinableMenus* menus = FSkinManager->SkinableMenus();
    if (!menus)
        return;
    menus->InitItems(AActive);
    std::function<void(TComponent*)> walk = [&](TComponent* owner) {
        for (int i = 0; i < owner->ComponentCount(); ++i) {
            TComponent* c = owner->Components(i);
            if (auto* mainMenu = dynamic_cast<TMainMenu*>(c)) {
                menus->InitMenuLine(mainMenu, AActive);
            } else if (FSkinManager->SkinnedPopups()) {
                if (auto* popup = dynamic_cast<TPopupMenu*>(c))
                    menus->HookPopupMenu(popup, AActive);
                else if (auto* item = dynamic_cast<TMenuItem*>(c); item && !dynamic_cast<TMainMenu*>(item->GetParentMenu()))
                    menus->HookItem(item, AActive);
            }
            walk(c);
        }
    };
    walk(FForm);
}

// --- Skin changes -----------------------------------------------------------------------------------

void TsSkinProvider::ApplyGlobalColor()
{
    if (FSkinManager && FForm && UseGlobalColor && !FCommonData->CustomColor)
        FForm->SetColor(FSkinManager->GetGlobalColor());
}

void TsSkinProvider::DropCaption()
{
    if (!FCaption)
        return;
    // The window gets the caption that was kept while skinned, so nothing set meanwhile is lost.
    std::unique_ptr<char[]> caption = std::move(FCaption);
    if (FForm && FForm->HandleAllocated()) {
        TMessage m{};
        m.Msg = WM_SETTEXT;
        m.LParam = reinterpret_cast<LPARAM>(caption.get());
        CallDefault(m);
    }
}

void TsSkinProvider::NewSkin(TMessage& Message, bool Skinned)
{
    TsSkinableMenus::DeleteUnusedBmps(true);
    FCommonData->UpdateIndexes();
    if (sSkinData && sSkinData->DefaultManager) {
        UpdateIconsIndexes();
        if (!FSkinManager)
            TakeManager(sSkinData->DefaultManager);
        if (FForm) {
            // The provider draws the system buttons where the skin has the form's section; where
            // it has none the form stays unskinned, its own frame and buttons given back.
            try {
                if (!FCommonData->Skinned()) {
                    if (FForm->BorderIcons() != SavedBorderIcons)
                        GiveFrameBack();
                } else if (!FForm->BorderIcons().Empty()) {
                    FForm->SetBorderIcons(TBorderIcons{});
                }
            } catch (...) {
                // The frame keeps the system's buttons; the rest of the new skin goes on.
            }
            if (Skinned) {
                if (FSkinManager->SkinableMenus())
                    FSkinManager->SkinableMenus()->UpdateMenus();
            } else {
                InitMenuItems(true);
            }
            if (FMDIForm)
                FMDIForm->ConnectToClient();
            // The provider scrolls the form again while the skin is on it.
            FForm->SetAutoScroll(false);
            RefreshScrolls();
            FCommonData->BGChanged = true;
            FLinesCount = -1;
            if (Skinned && FForm->HandleAllocated())
                RepaintFrame(FForm->Handle());
        }
    }
    ApplyGlobalColor();
    if (FForm)
        SkinBroadCast(FForm, Message);
}

void TsSkinProvider::RemoveSkin(TMessage& Message)
{
    CommonMessage(Message, FCommonData.get());
    if (FForm)
        SkinBroadCast(FForm, Message);
    if (FForm && UseGlobalColor && !FCommonData->CustomColor)
        FForm->SetColor(clBtnFace);
    if (FForm) {
        // The content back in its place, the bars gone, and the form scrolls as it was made to.
        RefreshScrolls();
        FForm->SetAutoScroll(FormAutoScroll);
    }
    if (!FSkinManager || !FForm)
        return;
    TsSkinableMenus::DeleteUnusedBmps(true);
    InitMenuItems(false);
    DropCaption();
    GiveFrameBack();
}

void TsSkinProvider::GiveFrameBack()
{
    const bool iconsBack = FForm->BorderIcons() != SavedBorderIcons;
    if (iconsBack)
        FForm->SetBorderIcons(SavedBorderIcons);
    if (!FForm->HandleAllocated())
        return;
    // The plain frame: no shape of the skin, and the system paints the frame again.
    SetWindowRgn(FForm->Handle(), nullptr, TRUE);
    RgnChanged = true;
    if (!iconsBack)
        SetWindowPos(FForm->Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    if (FForm->Menu())
        DrawMenuBar(FForm->Handle());
    RedrawWindow(FForm->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN);
}

void TsSkinProvider::RepaintSkin(TMessage& Message)
{
    FCommonData->BGChanged = true;
    FCommonData->Updating = false;
    TitleBG.reset();
    InitMenuItems(true);
    FLinesCount = -1;
    if (FForm && FForm->HandleAllocated()) {
        RepaintFrame(FForm->Handle());
        // A maximised MDI child covers its parent's client: it is what shows.
        TCustomForm* maximized = MaximizedMDIChild();
        RedrawWindow(maximized ? maximized->Handle() : FForm->Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_NOCHILDREN | (TPaintDeferral::Active() ? 0 : RDW_UPDATENOW));
        if (FMDIForm && !maximized && FForm->ClientHandle()) {
            SendMessageA(FForm->ClientHandle(), WM_SIZE, 0, 0);
            SendMessageA(FForm->ClientHandle(), WM_NCPAINT, 0, 0);
        }
    }
    RefreshScrolls();
    ApplyGlobalColor();
    if (FForm)
        SkinBroadCast(FForm, Message);
}

// --- Window sizes ------------------------------------------------------------------------------------

int GetWindowWidth(HWND Wnd)
{
    RECT r{};
    GetWindowRect(Wnd, &r);
    return r.right - r.left;
}

int GetWindowHeight(HWND Wnd)
{
    RECT r{};
    GetWindowRect(Wnd, &r);
    return r.bottom - r.top;
}

int GetClientWidth(HWND Wnd)
{
    RECT r{};
    GetClientRect(Wnd, &r);
    return r.right;
}

int GetClientHeight(HWND Wnd)
{
    RECT r{};
    GetClientRect(Wnd, &r);
    return r.bottom;
}

// --- The provider of a component's form -----------------------------------------------------------

TsSkinProvider* GetSkinProvider(TComponent* Component)
{
    TCustomForm* form = GetOwnerForm(Component);
    if (!form || !form->HandleAllocated())
        return nullptr;
    const LRESULT r = SendMessageA(form->Handle(), SM_SKINCMD, MAKEWPARAM(0, AC_GETPROVIDER), 0);
    return reinterpret_cast<TsSkinProvider*>(r);
}
