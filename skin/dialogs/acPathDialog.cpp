#include "acPathDialog.h"

#include <memory>

#include "FileCtrl.h"
#include "sBitBtn.h"
#include "sSkinProvider.h"
#include "sUtils.h"

TPathDialogForm* PathDialogForm = nullptr;

namespace {

TsBitBtn* AddButton(TPathDialogForm* Form, const char* Name, const char* Caption, int Left, TModalResult Result)
{
    auto* b = Create<TsBitBtn>(Form);
    b->SetName(Name);
    b->SetCaption(Caption);
    b->SetBounds(Left, 316, 75, 25);
    b->SetModalResult(Result);
    b->SetAnchors(TAnchors{akRight, akBottom});
    b->SetParent(Form);
    return b;
}

} // namespace

TPathDialogForm::TPathDialogForm(TComponent* AOwner) : TForm(AOwner)
{
    PathDialogForm = this;
    SetName("PathDialogForm");
    SetCaption("Select directory");
    SetBorderStyle(bsSizeToolWin);
    SetBounds(Left(), Top(), 313, 385);
    Constraints()->SetMinWidth(275);
    Constraints()->SetMinHeight(250);
    SetColor(static_cast<TColor>(4605510));
    SetPosition(poScreenCenter);

    sShellTreeView1 = Create<TsShellTreeView>(this);
    sShellTreeView1->SetName("sShellTreeView1");
    sShellTreeView1->SetBounds(8, 20, 289, 289);
    sShellTreeView1->SetAnchors(TAnchors{akLeft, akTop, akRight, akBottom});
    sShellTreeView1->SetBorderStyle(bsNone);
    sShellTreeView1->SetIndent(19);
    sShellTreeView1->SetRightClickSelect(true);
    sShellTreeView1->SetShowRoot(false);
    sShellTreeView1->SetObjectTypes(TacShellObjectTypes{otFolders});
    sShellTreeView1->SetUseShellImages(true);
    sShellTreeView1->SetAutoRefresh(false);
    sShellTreeView1->SkinData()->SetSkinSection("EDIT");
    sShellTreeView1->OnChange = TTVChangedEvent(this, &TPathDialogForm::sShellTreeView1Change);
    sShellTreeView1->SetParent(this);
    // The label is made on the tree's parent when it becomes active.
    TsBoundLabel* label = sShellTreeView1->BoundLabel();
    label->SetCaption(" ");
    label->SetLayout(sclTopLeft);
    label->SetIndent(4);
    label->SetActive(true);

    sBitBtn1 = AddButton(this, "sBitBtn1", "OK", 129, mrOk);
    sBitBtn1->SetDefault(true);
    sBitBtn2 = AddButton(this, "sBitBtn2", "Cancel", 206, mrCancel);
    sBitBtn2->SetCancel(true);
    sBitBtn3 = AddButton(this, "sBitBtn3", "Create", 12, mrNone);
    sBitBtn3->SetAnchors(TAnchors{akLeft, akBottom});
    sBitBtn3->SetEnabled(false);
    sBitBtn3->SetVisible(false);
    sBitBtn3->OnClick = TNotifyEvent(this, &TPathDialogForm::sBitBtn3Click);

    sSkinProvider1 = Create<TsSkinProvider>(this);
    sSkinProvider1->SkinData()->SetSkinSection("DIALOG");
    sSkinProvider1->SetCaptionAlignment(taCenter);
    sSkinProvider1->SetGripMode(gmRightBottom);
    sSkinProvider1->SetShowAppIcon(false);

    OnCreate = TNotifyEvent(this, &TPathDialogForm::FormCreate);
    OnShow = TNotifyEvent(this, &TPathDialogForm::FormShow);
}

TPathDialogForm::~TPathDialogForm()
{
    // Nobody reaches a freed form through the unit's variable.
    if (PathDialogForm == this)
        PathDialogForm = nullptr;
}

void TPathDialogForm::FormCreate(TObject*) { sShellTreeView1->RefreshScrolls(); }

void TPathDialogForm::FormShow(TObject*) { sShellTreeView1Change(this, nullptr); }

void TPathDialogForm::sShellTreeView1Change(TObject*, TTreeNode*)
{
    const bool folder = DirExists(sShellTreeView1->GetPath());
    sBitBtn1->SetEnabled(folder);
    sBitBtn3->SetEnabled(folder);
}

void TPathDialogForm::sBitBtn3Click(TObject*) {}

bool ExecutePathDialogForm(const AnsiString& Caption, const TacRoot& Root, const AnsiString& Path,
                           AnsiString& Chosen)
{
    struct TFree {
        void operator()(TForm* F) const { F->Free(); }
    };
    const std::unique_ptr<TPathDialogForm, TFree> form(Create<TPathDialogForm>(Application));
    form->sShellTreeView1->BoundLabel()->SetCaption(Caption);
    form->sShellTreeView1->SetRoot(Root);
    if (DirExists(Path))
        form->sShellTreeView1->SetPath(Path);
    if (form->ShowModal() != mrOk)
        return false;
    Chosen = form->sShellTreeView1->GetPath();
    if (!DirExists(Chosen))
        Chosen.clear();
    return true;
}

bool SelectDirectoryUnder(const AnsiString& Caption, const TacRoot& Root, AnsiString& Directory)
{
    // The system chooser's root is a path or parsing name: a root kind stands for its special
    // folder, the desktop for the whole namespace.
    AnsiString root = Root;
    TacRootFolder kind = rfDesktop;
    if (RootFolderFromName(Root, kind)) {
        root.clear();
        if (kind != rfDesktop) {
            LPITEMIDLIST list = nullptr;
            if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, RootFolderCSIDL(kind), &list)) && list) {
                const TItemIDList owned(list);
                // A folder of the disk by the path that reaches it; a virtual one by its "::{...}" name.
                TacShellFolder folder(nullptr, list, nullptr);
                const AnsiString parsing = folder.PathName();
                root = parsing.starts_with("::") ? parsing : folder.FileSystemPath();
            }
        }
    }
    return SelectDirectory(Caption, root, Directory);
}
