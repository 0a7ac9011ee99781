#include "sFontDialog.h"

#include "SysUtils.h"
#include "sBitBtn.h"
#include "sCheckBox.h"
#include "sComboBox.h"
#include "sComboBoxes.h"
#include "sDialogs.h"
#include "sEdit.h"
#include "sFontCtrls.h"
#include "sFormBuild.h"
#include "sGroupBox.h"
#include "sCustomListBox.h"
#include "sPanel.h"
#include "sSkinProvider.h"
#include "sStyleSimply.h"

using namespace sformbuild;

TFormFont* FormFont = nullptr;

namespace sDialogs {
AnsiString FontSizeText = "Size must be a number from %d to %d.";
}

namespace {

// The styles offered, as their bold and italic make them, and the sizes listed.
const struct {
    const char* Name;
    TFontStyles Style;
} Styles[] = {{"Regular", {}}, {"Italic", {fsItalic}}, {"Bold", {fsBold}}, {"Bold Italic", {fsBold, fsItalic}}};
const int Sizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
// The largest size a typed number may ask for.
constexpr int MaxSize = 1638;

} // namespace

TFormFont::TFormFont(TComponent* AOwner) : TForm(AOwner)
{
    FormFont = this;
    SetName("FormFont");
    SetCaption("Font");
    SetBorderStyle(bsDialog);
    SetClientWidth(422);
    SetClientHeight(296);
    SetPosition(poScreenCenter);
    sSkinProvider1 = Create<TsSkinProvider>(this);
    sSkinProvider1->SetName("sSkinProvider1");
    sSkinProvider1->SkinData()->SetSkinSection("DIALOG");
    sSkinProvider1->SetCaptionAlignment(taCenter);

    sEdit1 = Place<TsEdit>(this, this, "sEdit1", 16, 28, 136, 21);
    BoundCaption(sEdit1, "Font :", sclTopLeft);
    sFontListBox1 = Place<TsFontListBox>(this, this, "sFontListBox1", 16, 50, 136, 202);
    sEdit2 = Place<TsEdit>(this, this, "sEdit2", 160, 28, 112, 21);
    BoundCaption(sEdit2, "Style :", sclTopLeft);
    sListBox1 = Place<TsListBox>(this, this, "sListBox1", 160, 50, 112, 90);
    sEdit3 = Place<TsEdit>(this, this, "sEdit3", 160, 162, 112, 21);
    BoundCaption(sEdit3, "Size :", sclTopLeft);
    sListBox2 = Place<TsListBox>(this, this, "sListBox2", 160, 184, 112, 68);
    for (TsEdit* e : {sEdit1, sEdit2, sEdit3})
        e->SetText("");
    sEdit2->SetReadOnly(true);
    for (const auto& style : Styles)
        sListBox1->Items()->Add(style.Name);
    for (const int size : Sizes)
        sListBox2->Items()->Add(IntToStr(size));

    sGroupBox1 = PlaceCaption<TsGroupBox>(this, this, "sGroupBox1", "Kind :", 280, 22, 125, 111);
    sCheckBox1 = PlaceCaption<TsCheckBox>(this, sGroupBox1, "sCheckBox1", "StrikeOut", 10, 18, 105, 17);
    sCheckBox2 = PlaceCaption<TsCheckBox>(this, sGroupBox1, "sCheckBox2", "Underline", 10, 38, 105, 17);
    sColorBox1 = Place<TsColorBox>(this, sGroupBox1, "sColorBox1", 10, 78, 105, 22);
    sColorBox1->SetStyle({cbStandardColors, cbCustomColor, cbPrettyNames});
    BoundCaption(sColorBox1, "Color :", sclTopLeft);

    sGroupBox2 = PlaceCaption<TsGroupBox>(this, this, "sGroupBox2", "Preview :", 280, 140, 125, 112);
    sPanel1 = PlaceCaption<TsPanel>(this, sGroupBox2, "sPanel1", "AaBbБбФф", 8, 18, 109, 86);
    sPanel1->SkinData()->SetSkinSection("PANEL_LOW");
    sPanel1->SkinData()->SetCustomFont(true);
    sPanel1->SetParentFont(false);

    sComboBox1 = Place<TsComboBox>(this, this, "sComboBox1", 60, 259, 157, 21);
    sComboBox1->SetStyle(csDropDownList);

    sBitBtn1 = PlaceCaption<TsBitBtn>(this, this, "sBitBtn1", "OK", 252, 262, 75, 25);
    sBitBtn1->SetModalResult(mrOk);
    sBitBtn1->SetDefault(true);
    sBitBtn2 = PlaceCaption<TsBitBtn>(this, this, "sBitBtn2", "Cancel", 334, 262, 75, 25);
    sBitBtn2->SetModalResult(mrCancel);
    sBitBtn2->SetCancel(true);

    sFontListBox1->OnClick = TNotifyEvent(this, &TFormFont::sFontListBox1Click);
    sColorBox1->OnChange = TNotifyEvent(this, &TFormFont::sColorBox1Change);
    sCheckBox1->OnClick = TNotifyEvent(this, &TFormFont::sCheckBoxClick);
    sCheckBox2->OnClick = TNotifyEvent(this, &TFormFont::sCheckBoxClick);
    sListBox1->OnClick = TNotifyEvent(this, &TFormFont::sListBox1Click);
    sListBox2->OnClick = TNotifyEvent(this, &TFormFont::sListBox2Click);
    sEdit3->OnChange = TNotifyEvent(this, &TFormFont::sEdit3Change);
    OnCloseQuery = TCloseQueryEvent(this, &TFormFont::FormCloseQuery);
}

TFormFont::~TFormFont()
{
    if (FormFont == this)
        FormFont = nullptr;
}

TFont* TFormFont::ChosenFont() const { return sPanel1->Font(); }

void TFormFont::SetChosenFont(TFont* Font)
{
    sPanel1->Font()->Assign(Font);
    sEdit1->SetText(Font->Name());
    sFontListBox1->SetItemIndex(sFontListBox1->Items()->IndexOf(Font->Name()));
    sCheckBox1->SetCheckedValue(Font->Style().Contains(fsStrikeOut));
    sCheckBox2->SetCheckedValue(Font->Style().Contains(fsUnderline));
    sColorBox1->SetSelected(ColorToRGB(Font->Color()));
    const TFontStyles boldItalic = Font->Style() * TFontStyles{fsBold, fsItalic};
    for (int i = 0; i < static_cast<int>(std::size(Styles)); ++i)
        if (Styles[i].Style == boldItalic) {
            sListBox1->SetItemIndex(i);
            sEdit2->SetText(Styles[i].Name);
        }
    // The edit may hear no change before its window exists: the list is set as well.
    sEdit3->SetText(IntToStr(Font->Size()));
    sListBox2->SetItemIndex(sListBox2->Items()->IndexOf(IntToStr(Font->Size())));
}

void TFormFont::sListBox1Click(TObject*)
{
    const int i = sListBox1->ItemIndex();
    if (i < 0 || i >= static_cast<int>(std::size(Styles)))
        return;
    sEdit2->SetText(Styles[i].Name);
    sPanel1->Font()->SetStyle(sPanel1->Font()->Style() - TFontStyles{fsBold, fsItalic} + Styles[i].Style);
}

void TFormFont::sListBox2Click(TObject*)
{
    const int i = sListBox2->ItemIndex();
    if (i >= 0)
        sEdit3->SetText(sListBox2->Items()->Get(i));
}

namespace {

// The size typed, when it is one (a whole number from 1 to MaxSize).
bool TypedSize(const AnsiString& Text, int& Size) { return TryStrToInt(Trim(Text), Size) && Size >= 1 && Size <= MaxSize; }

} // namespace

void TFormFont::FormCloseQuery(TObject*, bool& CanClose)
{
    // OK with a size that is none says so and keeps the form, the size box focused.
    int size = 0;
    if (ModalResult() != mrOk || TypedSize(sEdit3->Text(), size))
        return;
    CanClose = false;
    sMessageDlg(Format(sDialogs::FontSizeText, {1, MaxSize}), mtWarning, TMsgDlgButtons{mbOK}, 0);
    if (sEdit3->CanFocus()) {
        sEdit3->SetFocus();
        sEdit3->SelectAll();
    }
}

void TFormFont::sEdit3Change(TObject*)
{
    // A size typed or picked; anything else leaves the preview's size as it is (OK says so).
    int size = 0;
    if (!TypedSize(sEdit3->Text(), size))
        return;
    sPanel1->Font()->SetSize(size);
    sListBox2->SetItemIndex(sListBox2->Items()->IndexOf(IntToStr(size)));
}

void TFormFont::sFontListBox1Click(TObject*)
{
    const int i = sFontListBox1->ItemIndex();
    if (i < 0)
        return;
    sEdit1->SetText(sFontListBox1->Items()->Get(i));
    sPanel1->Font()->SetName(sEdit1->Text());
}

void TFormFont::sColorBox1Change(TObject*) { sPanel1->Font()->SetColor(sColorBox1->Selected()); }

void TFormFont::sCheckBoxClick(TObject*)
{
    TFontStyles style = sPanel1->Font()->Style() - TFontStyles{fsStrikeOut, fsUnderline};
    if (sCheckBox1->Checked())
        style.Include(fsStrikeOut);
    if (sCheckBox2->Checked())
        style.Include(fsUnderline);
    sPanel1->Font()->SetStyle(style);
}

bool TsFontDialog::Execute()
{
    if (!sSkinData->Active)
        return inherited::Execute();
    FormHolder<TFormFont> form(Create<TFormFont>(Application));
    form->SetChosenFont(Font());
    if (OnShow)
        OnShow(this);
    const bool result = form->ShowModal() == mrOk;
    if (OnClose)
        OnClose(this);
    if (result)
        Font()->Assign(form->ChosenFont());
    return result;
}
