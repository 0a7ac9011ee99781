#include "ExtDlgs.h"

#include "Graphics.h"

TOpenPictureDialog::TOpenPictureDialog(TComponent* AOwner)
    : TOpenDialog(AOwner), FPicture(std::make_unique<TPicture>())
{
    Filter = GraphicFilter();
}

TOpenPictureDialog::~TOpenPictureDialog() = default;

bool TSavePictureDialog::DoExecute() { return RunFileDialog(true); }
