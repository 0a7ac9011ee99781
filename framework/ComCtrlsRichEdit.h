// The rich edit: a memo on the system's rich edit window class (riched20, ANSI), as much of it as
// the skinned controls need: the scroll-bar settings, the text colour of the default character
// format and a background that follows Color (the rich edit asks no parent for its colours).
#pragma once

#include <string>

#include "StdCtrls.h"

class TCustomRichEdit : public TCustomMemo {
    VCL_CLASS(TCustomRichEdit, TCustomMemo)
public:
    explicit TCustomRichEdit(TComponent* AOwner);
    void Dispatch(TMessage& Message) override;

    // Scroll bars show only while there is something to scroll (else they stay, disabled).
    bool HideScrollBars() const { return FHideScrollBars; }
    void SetHideScrollBars(bool Value);
    // The colour of text typed or set without a format of its own (kept across re-creation);
    // text in the old colour throughout takes the new one.
    TColor DefAttributesColor() const { return FDefColor; }
    void SetDefAttributesColor(TColor Value);

protected:
    void CreateParams(TCreateParams& Params) override;
    // A re-created window gets the formatted content of the old one back.
    void CreateWnd() override;
    void DestroyWnd() override;

private:
    // Background and default colour to the window; OldDefColor is the default the text had.
    void ApplyColors(TColor OldDefColor);
    bool FHideScrollBars = true;
    TColor FDefColor = clWindowText;
    // The content (rich text) while the window is re-created.
    std::string FSavedContent;
};

class TRichEdit : public TCustomRichEdit {
    VCL_CLASS(TRichEdit, TCustomRichEdit)
public:
    using TCustomRichEdit::TCustomRichEdit;
};
