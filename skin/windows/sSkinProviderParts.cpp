// The provider's parts: the skinned system menu, the title icon and the user's title buttons.
#include "sSkinProvider.h"

#include "sSkinManager.h"
#include "sUtils.h"

// --- Title icon and title buttons -----------------------------------------------------------------

TsTitleIcon::TsTitleIcon() : FGlyph(std::make_unique<TBitmap>()) {}

TsTitleIcon::~TsTitleIcon() = default;

TsTitleButton::TsTitleButton(TCollection* Collection)
    : TCollectionItem(Collection), FGlyph(std::make_unique<TBitmap>())
{
}

TsTitleButton::~TsTitleButton() = default;

AnsiString TsTitleButton::GetDisplayName() const { return FName.empty() ? AnsiString("TsTitleButton") : FName; }

void TsTitleButton::MouseDown(int, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseDown) {
        TMouseEvent handler = OnMouseDown;
        handler(this, Button, Shift, X, Y);
    }
}

void TsTitleButton::MouseUp(int, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseUp) {
        TMouseEvent handler = OnMouseUp;
        handler(this, Button, Shift, X, Y);
    }
}

TsTitleButtons::TsTitleButtons(TsSkinProvider* AOwner)
    : TOwnedCollection(AOwner, CollectionItemClass<TsTitleButton>()), FOwner(AOwner)
{
}

TsTitleButtons::~TsTitleButtons() { FOwner = nullptr; }

// --- The system menu --------------------------------------------------------------------------------

TsSystemMenu::TsSystemMenu(TComponent* AOwner) : TPopupMenu(AOwner)
{
    ItemRestore = MakeItem("ItemRestore", "Restore", &TsSystemMenu::RestoreClick);
    ItemMove = MakeItem("ItemMove", "Move", &TsSystemMenu::MoveClick);
    ItemSize = MakeItem("ItemSize", "Size", &TsSystemMenu::SizeClick);
    ItemMinimize = MakeItem("ItemMinimize", "Minimize", &TsSystemMenu::MinClick);
    ItemMaximize = MakeItem("ItemMaximize", "Maximize", &TsSystemMenu::MaxClick);
    TMenuItem* line = Create<TMenuItem>(this);
    line->SetCaption("-");
    Items()->Add(line);
    ItemClose = MakeItem("ItemClose", "Close", &TsSystemMenu::CloseClick);
    ItemClose->SetShortCut(ShortCut(VK_F4, scAlt));
}

TMenuItem* TsSystemMenu::MakeItem(const char* Name, const char* Caption, void (TsSystemMenu::*Click)(TObject*))
{
    TMenuItem* item = Create<TMenuItem>(this);
    item->SetName(Name);
    item->SetCaption(Caption);
    item->OnClick = TNotifyEvent(this, Click);
    Items()->Add(item);
    return item;
}

TFormBorderStyle TsSystemMenu::Style() const { return FForm ? FForm->BorderStyle() : bsNone; }

TWindowState TsSystemMenu::State() const
{
    if (!FForm)
        return wsNormal;
    // A window tells its state itself: the form learns of a change only when the window's size
    // message arrives, after the frame has been painted in the new state.
    if (FForm->HandleAllocated()) {
        const HWND wnd = FForm->Handle();
        return IsIconic(wnd) ? wsMinimized : IsZoomed(wnd) ? wsMaximized : wsNormal;
    }
    return FForm->WindowState();
}

TsBorderIcons TsSystemMenu::Icons() const { return FOwner ? FOwner->BorderIcons() : TsBorderIcons{}; }

bool TsSystemMenu::VisibleClose() { return Icons().Contains(biSystemMenu); }

bool TsSystemMenu::VisibleRestore()
{
    const TFormBorderStyle bs = Style();
    return bs != bsNone && bs != bsDialog && bs != bsToolWindow && bs != bsSizeToolWin && VisibleClose();
}

bool TsSystemMenu::VisibleSize()
{
    const TFormBorderStyle bs = Style();
    return bs != bsNone && bs != bsDialog && bs != bsToolWindow;
}

bool TsSystemMenu::VisibleBox(TsBorderIcon Icon)
{
    if (State() == wsMinimized)
        return true;
    const TFormBorderStyle bs = Style();
    if (bs == bsDialog || bs == bsNone || bs == bsToolWindow || bs == bsSizeToolWin)
        return false;
    if (bs == bsSingle && !Icons().Contains(Icon))
        return false;
    return VisibleClose();
}

bool TsSystemMenu::VisibleMin() { return VisibleBox(biMinimize); }

bool TsSystemMenu::VisibleMax() { return VisibleBox(biMaximize); }

bool TsSystemMenu::EnabledRestore()
{
    return (Icons().Contains(biMaximize) && State() != wsNormal) || State() == wsMinimized;
}

bool TsSystemMenu::EnabledMove() { return State() != wsMaximized; }

bool TsSystemMenu::EnabledSize() { return Style() != bsSingle && State() != wsMinimized; }

bool TsSystemMenu::EnabledMin() { return Icons().Contains(biMinimize) && State() != wsMinimized; }

bool TsSystemMenu::EnabledMax()
{
    const TFormBorderStyle bs = Style();
    return Icons().Contains(biMaximize) && State() != wsMaximized &&
           (bs == bsSingle || bs == bsSizeable || bs == bsSizeToolWin);
}

void TsSystemMenu::UpdateItems()
{
    if (!FForm)
        return;
    ItemRestore->SetVisible(VisibleRestore());
    ItemSize->SetVisible(VisibleSize());
    ItemMinimize->SetVisible(VisibleMin());
    ItemMaximize->SetVisible(VisibleMax());
    ItemClose->SetVisible(VisibleClose());
    ItemRestore->SetEnabled(EnabledRestore());
    ItemMove->SetEnabled(EnabledMove());
    ItemSize->SetEnabled(EnabledSize());
    ItemMinimize->SetEnabled(EnabledMin());
    ItemMaximize->SetEnabled(EnabledMax());
}

void TsSystemMenu::RemoveSkinItems()
{
    TMenuItem* root = Items();
    if (root->Count() == 0 || root->Items(0)->Name() != "SkinSelectItem")
        return;
    // The submenu and the separator line below it were added together and go together.
    root->Items(0)->Free();
    if (root->Count() > 0 && root->Items(0)->IsLine() && root->Items(0) != ItemRestore)
        root->Items(0)->Free();
}

void TsSystemMenu::MakeSkinItems()
{
    TsSkinManager* manager = FOwner ? FOwner->SkinManager() : nullptr;
    if (!manager)
        return;
    TStringList names;
    manager->GetSkinNames(&names);
    if (names.Count() == 0)
        return;
    TMenuItem* skins = Create<TMenuItem>(this);
    skins->SetName("SkinSelectItem");
    skins->SetCaption("Available skins");
    for (int i = 0; i < names.Count(); ++i) {
        TMenuItem* item = Create<TMenuItem>(this);
        item->SetName("SkinSelectItem" + IntToStr(i));
        item->SetCaption(names.Strings(i));
        item->SetChecked(names.Strings(i) == manager->SkinName());
        item->OnClick = TNotifyEvent(this, &TsSystemMenu::SkinSelect);
        skins->Add(item);
    }
    TMenuItem* line = Create<TMenuItem>(this);
    line->SetCaption("-");
    Items()->Insert(0, line);
    Items()->Insert(0, skins);
}

void TsSystemMenu::SkinSelect(TObject* Sender)
{
    TsSkinManager* manager = FOwner ? FOwner->SkinManager() : nullptr;
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!manager || !item)
        return;
    manager->SetSkinName(DelChars(item->Caption(), '&'));
}

void TsSystemMenu::SendCommand(WPARAM Command)
{
    if (FForm && FForm->HandleAllocated())
        SendMessageA(FForm->Handle(), WM_SYSCOMMAND, Command, 0);
}

void TsSystemMenu::RestoreClick(TObject*)
{
    SendCommand(SC_RESTORE);
    UpdateItems();
}

void TsSystemMenu::MoveClick(TObject*) { SendCommand(SC_MOVE); }

void TsSystemMenu::SizeClick(TObject*) { SendCommand(SC_SIZE); }

void TsSystemMenu::MinClick(TObject*)
{
    if (Application && FForm && Application->MainForm() == FForm)
        Application->Minimize();
    else
        SendCommand(SC_MINIMIZE);
    UpdateItems();
}

void TsSystemMenu::MaxClick(TObject*)
{
    SendCommand(SC_MAXIMIZE);
    UpdateItems();
}

void TsSystemMenu::CloseClick(TObject*) { SendCommand(SC_CLOSE); }
