// The file and folder edits of unit sTooledit.
#include "sTooledit.h"

#include "SysUtils.h"
#include "acPathDialog.h"
#include "sDialogs.h"
#include "sStyleSimply.h"
#include "sUtils.h"

namespace {

// Each ';'-separated part of a list of folders through Convert, joined again with ";".
AnsiString ConvertEachDir(const AnsiString& Text, AnsiString (*Convert)(const AnsiString&))
{
    AnsiString result;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = Text.find(';', start);
        result += Convert(Text.substr(start, end == AnsiString::npos ? AnsiString::npos : end - start));
        if (end == AnsiString::npos)
            return result;
        result += ';';
        start = end + 1;
    }
}

} // namespace

// --- TsFileDirEdit ------------------------------------------------------------------------------

TsFileDirEdit::TsFileDirEdit(TComponent* AOwner) : TsCustomComboEdit(AOwner)
{
    SkinData()->COC = 132;
    SetMaxLength(255);
    FDrop.OnDrop = [this](const std::vector<AnsiString>& Files) { FilesDropped(Files); };
}

void TsFileDirEdit::AfterConstruction()
{
    inherited::AfterConstruction();
    FDrop.Attach(this);
}

void TsFileDirEdit::CreateParams(TCreateParams& Params)
{
    inherited::CreateParams(Params);
    Params.Style |= ES_OEMCONVERT;
}

void TsFileDirEdit::FilesDropped(const std::vector<AnsiString>& Files)
{
    // A name the system's file functions cannot reach is refused whole: cut to fit, it would name
    // another file.
    std::vector<AnsiString> taken;
    AnsiString refused;
    for (const AnsiString& name : Files) {
        if (name.size() < MAX_PATH)
            taken.push_back(name);
        else if (refused.empty())
            refused = name;
    }
    if (!taken.empty()) {
        ClearFileList();
        for (const AnsiString& name : taken)
            ReceptFileDir(name);
        if (OnDropFiles)
            OnDropFiles(this);
    }
    if (!refused.empty())
        ShowError("File name too long:\n" + refused);
}

// --- TsFilenameEdit -----------------------------------------------------------------------------

TsFilenameEdit::TsFilenameEdit(TComponent* AOwner) : TsFileDirEdit(AOwner)
{
    SkinData()->COC = 133;
    DefBmpName = "BTN_OPENFILE";
    GlyphMode()->AssignDefaultBitmap();
    CreateEditDialog();
}

void TsFilenameEdit::CreateEditDialog()
{
    TOpenDialog* dialog = FDialogKind == dkOpen ? static_cast<TOpenDialog*>(Create<TsOpenDialog>(this))
                                                : Create<TsSaveDialog>(this);
    if (TOpenDialog* old = FDialog) {
        dialog->DefaultExt = old->DefaultExt;
        dialog->FileName = old->FileName;
        dialog->Filter = old->Filter;
        dialog->FilterIndex = old->FilterIndex;
        dialog->InitialDir = old->InitialDir;
        dialog->Files()->Assign(old->Files());
        dialog->Options = old->Options;
        dialog->Title = old->Title;
        old->Free();
    } else {
        dialog->Filter = "All files (*.*)|*.*";
        dialog->Title = "File open";
    }
    FDialog = dialog;
}

void TsFilenameEdit::SetDialogKind(TFileDialogKind Value)
{
    if (Value == FDialogKind)
        return;
    FDialogKind = Value;
    CreateEditDialog();
}

void TsFilenameEdit::SetDialogOptions(TOpenOptions Value)
{
    if (Value == FDialog->Options)
        return;
    SetMultiple(Value.Contains(ofAllowMultiSelect));
    FDialog->Options = Value;
    if (!Multiple())
        ClearFileList();
}

void TsFilenameEdit::SetFileName(const AnsiString& Value)
{
    if (!Value.empty() && !ValidFileName(Value))
        throw Exception("Invalid file name");
    SetText(Value);
    ClearFileList();
}

void TsFilenameEdit::ButtonClick()
{
    inherited::ButtonClick();
    AnsiString name = Text();
    if (ValidFileName(name)) {
        const AnsiString folder = ExtractFilePath(name);
        if (DirExists(folder))
            FDialog->InitialDir = folder;
        const AnsiString file = ExtractFileName(name);
        if (file.empty() || !ValidFileName(file))
            name.clear();
        FDialog->FileName = name;
    }
    const bool chosen = FDialog->Execute();
    if (chosen)
        name = FDialog->FileName;
    if (CanFocus())
        SetFocus();
    if (chosen) {
        SetText(name);
        FDialog->InitialDir = ExtractFilePath(FDialog->FileName);
    }
}

AnsiString TsFilenameEdit::GetLongName() { return ShortToLongFileName(Text()); }

AnsiString TsFilenameEdit::GetShortName() { return LongToShortFileName(Text()); }

void TsFilenameEdit::ReceptFileDir(const AnsiString& AFileName)
{
    if (Multiple()) {
        if (FDialog->Files()->Count() == 0)
            SetFileName(AFileName);
        FDialog->Files()->Add(AFileName);
    } else {
        SetFileName(AFileName);
    }
}

void TsFilenameEdit::ClearFileList() { FDialog->Files()->Clear(); }

// --- TsDirectoryEdit ----------------------------------------------------------------------------

TsDirectoryEdit::TsDirectoryEdit(TComponent* AOwner) : TsFileDirEdit(AOwner)
{
    SkinData()->COC = 134;
    DefBmpName = "BTN_OPENFOLDER";
    GlyphMode()->AssignDefaultBitmap();
}

void TsDirectoryEdit::AddFolder(const AnsiString& Folder)
{
    if (MultipleDirs() && !Text().empty())
        SetText(Text() + ";" + Folder);
    else
        SetText(Folder);
}

void TsDirectoryEdit::ButtonClick()
{
    inherited::ButtonClick();
    AnsiString folder = Text().empty() ? InitialDir : Text();
    if (!DirExists(folder))
        folder.clear();
    else if (!NoChangeDir)
        SetCurrentDir(folder);
    if (sSkinData && sSkinData->Active) {
        AnsiString chosen;
        if (ExecutePathDialogForm("", Root, folder, chosen) && !chosen.empty()) {
            InitialDir = chosen;
            AddFolder(chosen);
        }
    } else if (SelectDirectoryUnder("", Root, folder)) {
        AddFolder(folder);
        if (DirExists(folder))
            InitialDir = folder;
    }
    if (CanFocus())
        SetFocus();
}

AnsiString TsDirectoryEdit::GetLongName()
{
    return MultipleDirs() ? ConvertEachDir(Text(), ShortToLongPath) : Text();
}

AnsiString TsDirectoryEdit::GetShortName()
{
    return MultipleDirs() ? ConvertEachDir(Text(), LongToShortPath) : Text();
}

void TsDirectoryEdit::ReceptFileDir(const AnsiString& AFileName)
{
    AddFolder(FileExists(AFileName) ? ExtractFilePath(AFileName) : AFileName);
}
