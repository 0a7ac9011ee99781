// What the library's dialog forms, laid out in code, share: a control placed by name and bounds,
// a caption put before an edit as its bound label, and a holder that frees a form with Free.
#pragma once

#include <memory>

#include "Forms.h"
#include "sCommonData.h"

namespace sformbuild {

// Creates a control owned by Owner, named Name, on Parent at the given bounds.
template <class T>
T* Place(TComponent* Owner, TWinControl* Parent, const char* Name, int Left, int Top, int Width, int Height)
{
    T* control = Create<T>(Owner);
    control->SetName(Name);
    control->SetBounds(Left, Top, Width, Height);
    control->SetParent(Parent);
    return control;
}

template <class T>
T* PlaceCaption(TComponent* Owner, TWinControl* Parent, const char* Name, const AnsiString& Caption, int Left,
                int Top, int Width, int Height)
{
    T* control = Place<T>(Owner, Parent, Name, Left, Top, Width, Height);
    control->SetCaption(Caption);
    return control;
}

// The bound label of an edit-like control, shown with Caption at the layout's side.
template <class T>
void BoundCaption(T* Control, const AnsiString& Caption, TsCaptionLayout Layout = sclLeft)
{
    Control->BoundLabel()->SetLayout(Layout);
    Control->BoundLabel()->SetCaption(Caption);
    Control->BoundLabel()->SetActive(true);
}

struct TFormFree {
    void operator()(TCustomForm* Form) const { Form->Free(); }
};
template <class F = TForm>
using FormHolder = std::unique_ptr<F, TFormFree>;

} // namespace sformbuild
