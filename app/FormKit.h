// What the application's dialog forms share: the skinned controls they are made of, and small
// helpers that place a named control and bind a form's handler to an event.
#pragma once

#include <initializer_list>
#include <utility>

#include "Dialogs.h"
#include "ExtCtrls.h"
#include "ExtCtrlsPanels.h"
#include "Forms.h"
#include "Menus.h"
#include "StdCtrls.h"

#include "sBevel.h"
#include "sButton.h"
#include "sCheckBox.h"
#include "sComboBoxes.h"
#include "sDialogs.h"
#include "sEdit.h"
#include "sFormBuild.h"
#include "sGroupBox.h"
#include "sLabel.h"
#include "sCustomListBox.h"
#include "sMemo.h"
#include "sRadioButton.h"
#include "sSkinProvider.h"

namespace formkit {

// A handler of form F as an event value: the form's member is called with the event's arguments
// (comparable with another binding of the same member).
template <class F, class... Args>
TMethod<void(Args...)> Bind(F* Form, void (F::*Handler)(Args...))
{
    return TMethod<void(Args...)>(Form, Handler);
}

// A control placed by name and bounds, with a caption where it has one.
using sformbuild::Place;
using sformbuild::PlaceCaption;

// An edit box with empty text (a new edit would otherwise show its name).
inline TsEdit* PlaceEdit(TComponent* Owner, TWinControl* Parent, const char* Name, int Left, int Top, int Width,
                         int Height = 21)
{
    TsEdit* edit = Place<TsEdit>(Owner, Parent, Name, Left, Top, Width, Height);
    edit->SetText("");
    return edit;
}

// Gives a borderless window its rounded shape: a rounded rectangle from (0, 1) to the window's
// width and height with 50 x 50 corner ellipses, redrawn at once. The window owns the region.
inline void RoundWindow(TCustomForm* Form)
{
    HRGN region = CreateRoundRectRgn(0, 1, Form->Width(), Form->Height(), 50, 50);
    if (region && !SetWindowRgn(Form->Handle(), region, TRUE))
        DeleteObject(region);
}

// A picture of the program's resources (a bitmap drawn for it) into Image; a build without the
// resources shows none.
inline void LoadPicture(TImage* Image, const char* ResourceName)
{
    try {
        Image->Picture()->Bitmap()->LoadFromResourceName(GetModuleHandleA(nullptr), ResourceName);
    } catch (const Exception&) {
    }
}

// A label of a form that carries no skin provider (the about box, the splash): the form is drawn
// by the system, so the label keeps its own font colour in every skin rather than the skin's text
// colour, which may be as light as the picture under it. A shadowed label is drawn plain.
template <class Label>
class TSystemColoured : public Label {
public:
    explicit TSystemColoured(TComponent* AOwner) : Label(AOwner)
    {
        if constexpr (requires { this->Shadow(); })
            this->Shadow()->SetMode(smNone);
    }
    TFont* GetCurrentFont() override { return this->Font(); }
};

// The form provider that skins a dialog; it draws the title buttons the dialog's frame has.
inline TsSkinProvider* AddSkinProvider(TComponent* Form)
{
    auto* provider = Create<TsSkinProvider>(Form);
    provider->SetName("sSkinProvider1");
    provider->SetBorderIcons(provider->SavedFormIcons());
    return provider;
}

// A dialog's frame: a single border with only the system-menu icon, the caption and the client
// area.
inline void DialogFrame(TForm* Form, const AnsiString& Caption, int ClientWidth, int ClientHeight)
{
    Form->SetBorderStyle(bsSingle);
    Form->SetBorderIcons(TBorderIcons{biSystemMenu});
    Form->SetCaption(Caption);
    Form->SetClientWidth(ClientWidth);
    Form->SetClientHeight(ClientHeight);
}

// A dialog shown again starts as it did the first time: the focus in its first field (not on the
// button that closed it), and the boxes of an entry it adds empty, so that nothing of an add that
// was cancelled comes back. Called from the dialog's OnShow.
inline void StartFresh(TForm* Form, TWinControl* First, std::initializer_list<TCustomEdit*> Emptied = {})
{
    for (TCustomEdit* edit : Emptied)
        edit->SetText("");
    Form->SetActiveControl(First);
}

} // namespace formkit
