// The file dialogs of sDialogs: the skinned open form shown while a skin is active, the options
// copied into it and the results back, and the picture preview of the picture dialogs.
#include <functional>
#include <memory>

#include "ExtCtrls.h"
#include "sButton.h"
#include "sCheckBox.h"
#include "sDialogs.h"
#include "sEdit.h"
#include "sFileCtrl.h"
#include "sGraphUtils.h"
#include "sLabel.h"
#include "sOpenDialog.h"
#include "sPanel.h"
#include "sSkinProvider.h"
#include "sSpeedButton.h"
#include "sStyleSimply.h"
#include "sUtils.h"

namespace sDialogs {
AnsiString PictureLabelText = "Picture:";
AnsiString PictureSizeFormat = " (%dx%d)";
AnsiString NoPictureText = "(None)";
AnsiString PreviewText = "Preview";
TOpenFormTexts OpenFormTexts;

TRect PicturePreviewRect(const TRect& Client, int Width, int Height)
{
    const int cw = Client.right - Client.left, ch = Client.bottom - Client.top;
    if (Width <= cw && Height <= ch) {
        const int left = Client.left + (cw - Width) / 2, top = Client.top + (ch - Height) / 2;
        return TRect{left, top, left + Width, top + Height};
    }
    // Scaled by the side that limits it, so that the other side fits as well.
    TRect r = Client;
    if (static_cast<long long>(Width) * ch <= static_cast<long long>(Height) * cw)
        r.right = r.left + MulDiv(Width, ch, Height);
    else
        r.bottom = r.top + MulDiv(Height, cw, Width);
    return r;
}
} // namespace sDialogs

namespace {

struct TFormFree {
    void operator()(TForm* F) const { F->Free(); }
};

bool SkinActive() { return sSkinData && sSkinData->Active; }

// The preview panel beside the list of a picture dialog's form; its controls are the dialog's
// while the form exists.
template <class D>
void AddPreview(TsOpenDialogForm* Form, D& Dialog)
{
    auto* panel = Create<TsPanel>(Form);
    panel->SetName("sPicturePanel");
    panel->SetParent(Form);
    panel->SetCaption("");
    panel->SetBounds(Form->Width() - 12, 5, 200, Form->Height() - 40);
    panel->SetBevelOuter(bvNone);
    panel->SetBorderWidth(6);
    panel->SetTabOrder(1);
    panel->SkinData()->SetSkinSection("CHECKBOX");

    auto* label = Create<TsLabel>(Form);
    label->SetName("sPictureLabel");
    label->SetParent(panel);
    label->SetAutoSize(false);
    label->SetBounds(6, 6, 157, 21);
    label->SetAlign(alTop);
    label->SetCaption(sDialogs::PictureLabelText);

    auto* preview = Create<TsSpeedButton>(Form);
    preview->SetName("sPreviewButton");
    preview->SetParent(panel);
    preview->SetBounds(panel->Width() - 28, 1, 23, 22);
    preview->SkinData()->SetSkinSection("TOOLBUTTON");
    preview->SetEnabled(false);
    LoadResourceGlyph(preview, "PREVIEWGLYPH");
    preview->SetHint(sDialogs::PreviewText);
    preview->SetParentShowHint(false);
    preview->SetShowHint(true);
    preview->OnClick = TNotifyEvent(&Dialog, &D::PreviewClick);

    auto* paintPanel = Create<TsPanel>(Form);
    paintPanel->SetName("sPaintPanel");
    paintPanel->SetParent(panel);
    paintPanel->SetCaption("");
    paintPanel->SetBorderWidth(4);
    paintPanel->SetBounds(6, 29, 157, 145);
    paintPanel->SetAlign(alClient);
    paintPanel->SetBevelInner(bvRaised);
    paintPanel->SetBevelOuter(bvLowered);
    paintPanel->SetTabOrder(0);
    paintPanel->SkinData()->SetSkinSection("PANEL_LOW");

    auto* paintBox = Create<TPaintBox>(Form);
    paintBox->SetName("sPaintBox");
    paintBox->SetParent(paintPanel);
    paintBox->SetBounds(0, 0, 153, 141);
    paintBox->SetAlign(alClient);
    paintBox->OnDblClick = TNotifyEvent(&Dialog, &D::PreviewClick);
    paintBox->OnPaint = TNotifyEvent(&Dialog, &D::PaintBoxPaint);

    Form->SetWidth(Form->Width() + 200);
    Form->FileAreaWidth = Form->Width() - 228;
    panel->SetAnchors(TAnchors{akTop, akRight});
    Form->Constraints()->SetMinWidth(Form->Width());

    Dialog.PicturePanel = panel;
    Dialog.PictureLabel = label;
    Dialog.PreviewButton = preview;
    Dialog.PaintPanel = paintPanel;
    Dialog.PaintBox = paintBox;
}

void ForgetPreview(TOpenPictureDialog& Dialog)
{
    Dialog.PicturePanel = nullptr;
    Dialog.PictureLabel = nullptr;
    Dialog.PreviewButton = nullptr;
    Dialog.PaintPanel = nullptr;
    Dialog.PaintBox = nullptr;
}

// The list starts in FileName's folder (the box shows the name alone), else in InitialDir when
// it exists, else in the program's folder (the box shows FileName as it is).
void StartFolder(TsOpenDialogForm* Form, const TOpenDialog& Dialog)
{
    // A full name's "." and ".." steps are taken: the shell would show them as folders of their own.
    const AnsiString given = Dialog.FileName;
    const bool full = given.size() > 2 && (given[1] == ':' || given.starts_with("\\\\"));
    const AnsiString name = full ? ExpandFileName(given) : given;
    bool shown = false;
    if (!name.empty() && !ExtractFilePath(name).empty()) {
        try {
            Form->DriveComboBox->SetPath(ExtractFilePath(name));
            Form->FileNameEdit->SetText(ExtractFileName(name));
            shown = true;
        } catch (const Exception&) {
            // A folder that has gone: the list starts where it would without one.
        }
    }
    if (!shown) {
        const AnsiString folder = !Dialog.InitialDir.empty() && DirectoryExists(Dialog.InitialDir)
                                      ? Dialog.InitialDir
                                      : ExtractFilePath(ExpandFileName(ParamStr(0)));
        try {
            Form->DriveComboBox->SetPath(folder);
        } catch (const Exception&) {
        }
        Form->FileNameEdit->SetText(name);
    }
    if (Form->DriveComboBox->GetPath().empty())
        Form->DriveComboBox->SetPath("C:\\");
    if (TacShellFolder* f = Form->DriveComboBox->GetFolder(Form->DriveComboBox->ItemIndex()))
        Form->FileListView->TreeUpdate(f->AbsoluteID());
    else
        Form->FileListView->TreeUpdate(TItemIDList(DesktopPIDL()).get());
}

// Shows the skinned form for a dialog and copies the results back: true when the user confirmed.
// Save: the save dialogs' caption and button. ChangeDir: the current folder follows the folder
// chosen (the open dialog's way). Prepare adds to the form before it is set up (the preview).
bool ExecuteForm(TOpenDialog& Dialog, bool Save, bool ChangeDir,
                 const std::function<void(TsOpenDialogForm*)>& Prepare = {})
{
    std::unique_ptr<TsOpenDialogForm, TFormFree> holder(Create<TsOpenDialogForm>(Application));
    TsOpenDialogForm* form = holder.get();
    form->OwnerDialog = &Dialog;
    if (Prepare)
        Prepare(form);
    // OK takes the last of several selected names from Files: a list left by an earlier use of
    // the dialog would answer a file not chosen this time.
    Dialog.Files()->Clear();
    const TOpenOptions options = Dialog.Options;
    form->BtnHelp->SetVisible(options.Contains(ofShowHelp));
    form->CheckBoxReadOnly->SetVisible(!options.Contains(ofHideReadOnly));
    form->FileListView->SetMultiSelect(options.Contains(ofAllowMultiSelect));
    if (form->CheckBoxReadOnly->Visible())
        form->CheckBoxReadOnly->SetChecked(options.Contains(ofReadOnly));
    // The dialog's title, else the program's, else the system's own, else ours.
    const AnsiString& programs = Save ? sDialogs::OpenFormTexts.SaveTitle : sDialogs::OpenFormTexts.OpenTitle;
    AnsiString title = !Dialog.Title.empty() ? Dialog.Title : !programs.empty() ? programs : LoadDlg32Msg(Save ? 385 : 384);
    form->SetCaption(!title.empty() ? title : AnsiString(Save ? "Save As" : "Open"));
    form->SetModalResult(mrCancel);
    // The box's window first: a new window lists the filter afresh from its first entry.
    form->FileTypeBox->HandleNeeded();
    form->FileTypeBox->SetFilter(Dialog.Filter);
    form->FileTypeBox->SetItemIndex(Dialog.FilterIndex >= 1 ? Dialog.FilterIndex - 1 : 0);
    form->FileListView->SetMask(form->FileTypeBox->GetMask());
    const AnsiString remembered = options.Contains(ofNoChangeDir) ? GetCurrentDir() : AnsiString();
    if (!options.Contains(ofEnableSizing)) {
        form->SetBorderStyle(bsSingle);
        form->sSkinProvider1->SetGripMode(gmNone);
    }
    if (Save)
        form->sButton1->SetCaption(sDialogs::OpenFormTexts.Save);
    form->FileListView->MeasureOnRoot();
    StartFolder(form, Dialog);

    // The filter and the current folder are given back however the form ends.
    struct TGiveBack {
        TsOpenDialogForm* Form;
        TOpenDialog& Dialog;
        const AnsiString& Remembered;
        ~TGiveBack()
        {
            Dialog.FilterIndex = Form->FileTypeBox->ItemIndex() + 1;
            if (!Remembered.empty())
                SetCurrentDir(Remembered);
        }
    } giveBack{form, Dialog, remembered};
    form->ShowModal();
    const bool result = form->ModalResult() == mrOk;
    if (result) {
        if (ChangeDir && remembered.empty())
            SetCurrentDir(form->DriveComboBox->GetPath());
        Dialog.FileName = form->FileName;
    }
    return result;
}

// A picture dialog's form: the open form with the preview beside the list, the current folder
// left alone.
template <class D>
bool ExecutePicture(D& Dialog, bool Save)
{
    struct TForget {
        TOpenPictureDialog& Dialog;
        ~TForget() { ForgetPreview(Dialog); }
    } forget{Dialog};
    return ExecuteForm(Dialog, Save, false, [&Dialog](TsOpenDialogForm* Form) { AddPreview(Form, Dialog); });
}

// The picture of the selected file into a picture dialog's preview.
void SelectionChanged(TOpenPictureDialog& Dialog)
{
    if (Dialog.ComponentState().Contains(csDestroying) || !Dialog.PictureLabel)
        return;
    const AnsiString name = Dialog.FileName;
    bool valid = FileExists(name) && GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (valid) {
        try {
            Dialog.ImagePicture()->LoadFromFile(name);
            Dialog.PictureLabel->SetCaption(
                Format(sDialogs::PictureSizeFormat, {Dialog.ImagePicture()->Width(), Dialog.ImagePicture()->Height()}));
            Dialog.PreviewButton->SetEnabled(true);
        } catch (const Exception&) {
            valid = false;
        }
    }
    if (!valid) {
        Dialog.PictureLabel->SetCaption(sDialogs::PictureLabelText);
        Dialog.PreviewButton->SetEnabled(false);
        Dialog.ImagePicture()->SetGraphic(nullptr);
    }
    Dialog.PaintBox->Invalidate();
}

void PaintPreview(TOpenPictureDialog& Dialog)
{
    TPaintBox* box = Dialog.PaintBox;
    if (!box)
        return;
    TCanvas* canvas = box->Canvas();
    canvas->Brush()->SetColor(box->Color());
    const TRect client{0, 0, box->Width(), box->Height()};
    TPicture* picture = Dialog.ImagePicture();
    if (picture->Width() < 1) {
        // The panel's text: its font and, with a skin, its section's colour, on the panel itself.
        auto* panel = dynamic_cast<TsPanel*>(Dialog.PaintPanel);
        if (!panel)
            return;
        canvas->Font()->Assign(panel->Font());
        canvas->Brush()->SetStyle(bsClear);
        TRect r = client;
        WriteTextEx(canvas, sDialogs::NoPictureText.c_str(), true, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                    panel->SkinData(), false);
        return;
    }
    canvas->StretchDraw(sDialogs::PicturePreviewRect(client, picture->Width(), picture->Height()), picture->Graphic());
}

void ShowPreview(TOpenPictureDialog& Dialog, TKeyPressEvent KeyPress)
{
    std::unique_ptr<TForm, TFormFree> holder(Create<TForm>(Application));
    TForm* form = holder.get();
    form->SetName("PreviewForm");
    form->SetAutoScroll(false);
    auto* provider = Create<TsSkinProvider>(form);
    provider->SkinData()->SetSkinSection("DIALOG");
    form->SetCaption(sDialogs::PreviewText);
    form->KeyPreview = true;
    form->SetPosition(poScreenCenter);
    form->OnKeyPress = KeyPress;
    auto* panel = Create<TsPanel>(form);
    panel->SetName("Panel");
    panel->SetParent(form);
    panel->SetCaption("");
    panel->SetBevelOuter(bvNone);
    panel->SetBorderWidth(5);
    panel->SkinData()->SetSkinSection("PANEL_LOW");
    panel->SetColor(clWindow);
    panel->SetBounds(0, 4, form->Width() - 1, form->Height() - 5);
    panel->SetAnchors(TAnchors{akLeft, akTop, akRight, akBottom});
    auto* image = Create<TImage>(form);
    image->SetName("Image");
    image->SetParent(panel);
    image->SetAlign(alClient);
    image->SetStretch(true);
    image->SetPicture(Dialog.ImagePicture());
    if (const int w = Dialog.ImagePicture()->Width(); w > 0) {
        form->SetClientWidth(form->ClientWidth() - panel->ClientWidth() + w + 10);
        form->SetClientHeight(form->ClientHeight() - panel->ClientHeight() + Dialog.ImagePicture()->Height() + 10);
    }
    form->ShowModal();
}

void ClosePreview(TObject* Sender, char Key)
{
    if (Key == 27)
        if (auto* form = dynamic_cast<TCustomForm*>(static_cast<TComponent*>(Sender)))
            form->Close();
}

} // namespace

bool TsOpenDialog::Execute()
{
    return SkinActive() ? ExecuteForm(*this, false, true) : inherited::Execute();
}

bool TsSaveDialog::Execute()
{
    return SkinActive() ? ExecuteForm(*this, true, false) : inherited::Execute();
}

bool TsOpenPictureDialog::Execute() { return SkinActive() ? ExecutePicture(*this, false) : inherited::Execute(); }

void TsOpenPictureDialog::DoSelectionChange()
{
    SelectionChanged(*this);
    inherited::DoSelectionChange();
}

void TsOpenPictureDialog::PreviewClick(TObject*)
{
    ShowPreview(*this, TKeyPressEvent(this, &TsOpenPictureDialog::PreviewKeyPress));
}

void TsOpenPictureDialog::PreviewKeyPress(TObject* Sender, char& Key) { ClosePreview(Sender, Key); }

void TsOpenPictureDialog::PaintBoxPaint(TObject*) { PaintPreview(*this); }

bool TsSavePictureDialog::Execute() { return SkinActive() ? ExecutePicture(*this, true) : inherited::Execute(); }

void TsSavePictureDialog::DoSelectionChange()
{
    SelectionChanged(*this);
    inherited::DoSelectionChange();
}

void TsSavePictureDialog::PreviewClick(TObject*)
{
    ShowPreview(*this, TKeyPressEvent(this, &TsSavePictureDialog::PreviewKeyPress));
}

void TsSavePictureDialog::PreviewKeyPress(TObject* Sender, char& Key) { ClosePreview(Sender, Key); }

void TsSavePictureDialog::PaintBoxPaint(TObject*) { PaintPreview(*this); }
