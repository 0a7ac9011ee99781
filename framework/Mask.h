// The mask edit: an edit whose text follows an edit mask "mask;save-literals;blank".
//
// Mask characters, one place each: 0 (digit), L (letter), A (letter or digit), C (any character)
// are required; 9, l, a, c are their optional forms and # is an optional digit, '+' or '-'.
// Every other character is a literal shown as it stands; '/' and ':' show the locale's
// DateSeparator and TimeSeparator (as they are when the mask is set), and '\' makes the character
// after it a literal. Directives take no place: '>' upper-cases the places after it, '<'
// lower-cases them, "<>" stops either; '!' anywhere aligns partial input to the right (a value
// shorter than its places leaves the first ones blank instead of the last ones).
// After the first ';' that is not escaped come the fields: "0" keeps the literals out of Text
// (anything else, or no field, keeps them in), then the character that shows an unfilled place
// ('_' when there is none). Letters are those of code page 1251 (Latin and Cyrillic).
#pragma once

#include "StdCtrls.h"

#include <vector>

// A place left blank where the mask requires one, found when the edit is left.
VCL_EXCEPTION(EDBEditError, Exception)

// A compiled edit mask and the editing steps on its display text (the text with literals and
// blank places, one character per display position). Positions count from 0.
class TEditMask {
public:
    TEditMask() = default;
    explicit TEditMask(const AnsiString& EditMask);

    // Whether the mask has any position (an empty mask edits as the plain edit).
    bool IsMasked() const { return !FPos.empty(); }
    // Characters of the display text.
    int Length() const { return static_cast<int>(FPos.size()); }
    bool SaveLiterals() const { return FSaveLiterals; }
    char Blank() const { return FBlank; }
    bool IsLiteral(int I) const { return FPos[static_cast<size_t>(I)].Kind == 0; }
    // The character place I takes for C (case converted), 0 when it refuses it, C is the blank
    // character or I is a literal.
    char Accept(int I, char C) const;
    // The first place at I or after it (Length() when none); the last place before I (-1 when none).
    int NextPlace(int I) const;
    int PrevPlace(int I) const;

    // The display text of a value. A text with exactly the mask's literals at their positions is
    // taken place by place; otherwise, WithLiterals and when the value holds any of the mask's
    // literals, they cut it into the runs of places between the mask's literals, else its
    // characters fill the places in order. Each run (or the whole, without literals) is aligned by '!'; what does not fit is
    // dropped; ' ', the blank character and characters a place refuses leave the place blank.
    AnsiString Format(const AnsiString& Value, bool WithLiterals) const;
    // Text of a display text: with literals saved the display with blanks made spaces; without,
    // its places alone with the unfilled ones trimmed off the end (off the start with '!') and
    // the remaining blanks made spaces.
    AnsiString TextOf(const AnsiString& Display) const;
    // The places alone, as TextOf gives them without literals.
    AnsiString DataOf(const AnsiString& Display) const;
    // Whether Display is a display text of this mask (length, literals and every place's character).
    bool Fits(const AnsiString& Display) const;
    // The first required place left blank; -1 when none.
    int FirstMissing(const AnsiString& Display) const;

    // Editing steps on a display text with the selection [SelStart, SelStart + SelLength). Each
    // answers the new caret position, or -1 when it refuses (Display unchanged).
    // A typed character blanks the selection and takes the next place from its start; the caret
    // goes past the place and the literals after it. Refused at the end or by the place.
    int Type(AnsiString& Display, int SelStart, int SelLength, char C) const;
    // Blanks the selection (caret at its start), else the place before the caret (Backward: the
    // caret goes there) or the place at or after it (the caret goes past it).
    int Erase(AnsiString& Display, int SelStart, int SelLength, bool Backward) const;
    // Blanks the selection and writes Text from its start: a character equal to the literal under
    // the caret passes it, ' ' and the blank character leave a place blank, characters the next
    // place refuses are dropped; stops at the end.
    int Paste(AnsiString& Display, int SelStart, int SelLength, const AnsiString& Text) const;

private:
    struct TPosition {
        char Kind = 0;    // the mask character of a place, 0 for a literal
        char Literal = 0; // the literal shown
        char Case = 0;    // '>' upper, '<' lower, 0 as typed
    };
    bool Required(int I) const;
    // What place I shows for C: C as it takes it, else the blank.
    char PlaceChar(int I, char C) const;
    void BlankRange(AnsiString& Display, int From, int To) const;
    // Writes Chars into the places [From, To) (aligned by '!').
    void FillPlaces(AnsiString& Display, int From, int To, const AnsiString& Chars) const;
    std::vector<TPosition> FPos;
    AnsiString FEmpty;
    bool FSaveLiterals = true;
    bool FReverse = false;
    char FBlank = '_';
};

class TCustomMaskEdit : public TCustomEdit {
    VCL_CLASS(TCustomMaskEdit, TCustomEdit)
public:
    using TCustomEdit::TCustomEdit;
    void Dispatch(TMessage& Message) override;

    // Setting the mask keeps what the edit holds: the places of the old mask's display go into
    // the new one, a plain text is taken as Text, and clearing the mask leaves the old Text.
    const AnsiString& EditMask() const { return FEditMask; }
    void SetEditMask(const AnsiString& Value);
    bool IsMasked() const { return FMask.IsMasked(); }
    const TEditMask& Mask() const { return FMask; }

    // The value: with literals or without them by the mask's flag (TEditMask::TextOf). SetText
    // (also through TControl, Clear or WM_SETTEXT) formats a value into the mask
    // (TEditMask::Format). TControl::Text() gives the display text.
    AnsiString Text();
    // The display text: literals and blanks as the edit shows them.
    AnsiString EditText() { return TControl::Text(); }
    void SetEditText(const AnsiString& Value);

    // While masked the edit holds exactly the mask's display text; the value set here applies
    // when the mask is cleared.
    void SetMaxLength(int Value);

    // Raises EDBEditError (the focus back in the edit, the caret at the place) when the user
    // changed the text and left a required place blank.
    void ValidateEdit();
    // Gives back the text the edit held when it got the focus (or was last set), if the user
    // changed it.
    virtual void Reset();

protected:
    // Takes the focus back while it leaves after a refusal (a check on exit that raised); the
    // text Reset gives back stays the one from before.
    void KeepFocus();
    // Typing, Backspace and Delete follow the mask, Shift+Insert and Shift+Delete paste and cut
    // through it; Left and Right step over literals; Escape resets. A refused key beeps
    // (SysUtils::Beep).
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char& Key) override;
    // A text changed another way (the system's context menu) is fitted to the mask again first.
    void Change() override;

private:
    void SetTextMessage(TMessage& Message);
    // Sets the display text as it is, without formatting.
    void SetDisplay(const AnsiString& Display);
    // Puts the result of an editing step into the window: the changed range in one replacement
    // (one change notification), then the caret.
    void Apply(const AnsiString& Before, const AnsiString& After, int Caret);
    // The window's text fitted to the mask, and the selection.
    AnsiString Display();
    void GetSel(int& SelStart, int& SelLength);
    // Runs Step(display, SelStart, SelLength) on the display text and the selection and shows its
    // result (Apply); false when it refused (answered a caret below 0).
    template <class TStep>
    bool EditStep(TStep Step);

    TEditMask FMask;
    AnsiString FEditMask;
    AnsiString FOldValue;
    int FPlainMaxLength = 0;
    bool FRawText = false;   // WM_SETTEXT carries a display text
    bool FEditingText = false; // WM_SETTEXT carries a display text to format
    bool FRefitting = false;
    bool FReEnter = false;   // the focus comes back after a refused exit
};

class TMaskEdit : public TCustomMaskEdit {
    VCL_CLASS(TMaskEdit, TCustomMaskEdit)
public:
    using TCustomMaskEdit::TCustomMaskEdit;
};
