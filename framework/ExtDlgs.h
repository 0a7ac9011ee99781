// The framework's picture dialogs: the open and save dialogs with the filter of every picture
// format, the picture of the selected file and the preview's controls beside the list of a form
// that shows them. The system's dialog shows no preview.
#pragma once

#include <memory>

#include "Dialogs.h"

class TCustomLabel;
class TPaintBox;
class TPanel;
class TSpeedButton;

class TOpenPictureDialog : public TOpenDialog {
    VCL_CLASS(TOpenPictureDialog, TOpenDialog)
public:
    // Filter: GraphicFilter().
    explicit TOpenPictureDialog(TComponent* AOwner);
    ~TOpenPictureDialog() override;

    // The picture of the selected file (empty when there is none or it cannot be read).
    TPicture* ImagePicture() const { return FPicture.get(); }

    // The preview's controls while a form shows them, null otherwise (the form owns them): the
    // panel, its label with the picture's size, the button that shows the picture at full size,
    // the panel with the paint box that draws it.
    TPanel* PicturePanel = nullptr;
    TCustomLabel* PictureLabel = nullptr;
    TSpeedButton* PreviewButton = nullptr;
    TPanel* PaintPanel = nullptr;
    TPaintBox* PaintBox = nullptr;

private:
    std::unique_ptr<TPicture> FPicture;
};

class TSavePictureDialog : public TOpenPictureDialog {
    VCL_CLASS(TSavePictureDialog, TOpenPictureDialog)
public:
    using TOpenPictureDialog::TOpenPictureDialog;
    bool DoExecute() override;
};
