// The skinned folder chooser: a sizeable tool window with a shell tree of folders, OK and Cancel.
// OK is enabled only while the selected item is an existing folder, so a virtual item of the
// namespace cannot be chosen.
#pragma once

#include "Forms.h"
#include "acShellCtrls.h"

class TsBitBtn;
class TsSkinProvider;

class TPathDialogForm : public TForm {
    VCL_CLASS(TPathDialogForm, TForm)
public:
    explicit TPathDialogForm(TComponent* AOwner);
    ~TPathDialogForm() override;

    TsShellTreeView* sShellTreeView1 = nullptr; // the folders; its bound label holds the caller's text
    TsBitBtn* sBitBtn1 = nullptr;               // "OK"
    TsBitBtn* sBitBtn2 = nullptr;               // "Cancel"
    TsBitBtn* sBitBtn3 = nullptr;               // "Create": hidden, does nothing
    TsSkinProvider* sSkinProvider1 = nullptr;

    void FormCreate(TObject* Sender);
    // OK in step with the folder selected when the form shows.
    void FormShow(TObject* Sender);
    // OK (and "Create") enabled while the selected path is an existing folder.
    void sShellTreeView1Change(TObject* Sender, TTreeNode* Node);
    void sBitBtn3Click(TObject* Sender);
};

// The form while one exists (the last one made), null otherwise.
extern TPathDialogForm* PathDialogForm;

// Shows the form modally under Root with Path selected when it is an existing folder and Caption
// above the tree. True when OK closed it; Chosen is then the selected folder, or empty when that
// is no existing folder.
bool ExecutePathDialogForm(const AnsiString& Caption, const TacRoot& Root, const AnsiString& Path,
                           AnsiString& Chosen);

// The system's folder chooser below a root of the shell controls (a root kind's name or a path).
bool SelectDirectoryUnder(const AnsiString& Caption, const TacRoot& Root, AnsiString& Directory);
