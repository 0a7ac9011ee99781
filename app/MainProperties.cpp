// Entry properties: the counts of a folder, the link and Flash dialogs, and the floating property
// panel of an article (filled from the tree, grown into view, flashed when asked again, applied
// to the article it shows).
#include "MainSession.h"

#include "ArchiveFiles.h"
#include "MainTreeMap.h"

#include "Form12.h"
#include "Form9.h"
#include "FormFlashO.h"

namespace {

// The mark items of the panel's type box, in order, and their images.
constexpr Integer PanelMarks[] = {niArticleFavourite, niArticleRead, niArticleNew, niArticleUnread};

// The panel shows the title, file and mark of Node (an article), as nothing had been typed.
void FillPanel(TID_Vellorn* Form, TTreeNode* Node)
{
    Form->PanelNode = Node;
    Form->Edit1->SetText(Node->Text());
    Form->Edit2->SetText(Archive(Form).Value(Node));
    for (int i = 0; i < 4; ++i)
        if (PanelMarks[i] == Node->ImageIndex())
            Form->ComboBoxEx2->SetItemIndex(i);
}

// Enter applies the panel, Esc cancels it, from any of its controls (a list dropped down takes
// them itself).
void PanelKeyDown(TID_Vellorn* Form, TObject* Sender, Word& Key)
{
    if ((Key != VK_RETURN && Key != VK_ESCAPE) || (Sender == Form->ComboBoxEx2 && Form->ComboBoxEx2->DroppedDown()))
        return;
    // Enter on a button is the button's own click.
    if (Key == VK_RETURN && dynamic_cast<TsButton*>(Sender))
        return;
    const Word key = Key;
    Key = 0;
    if (key == VK_RETURN)
        Form->Button1Click(Sender);
    else
        Form->Button2Click(Sender);
}

// Shows the properties of the selected node; Limit bounds the width to which the panel grows.
void ShowProperties(TID_Vellorn* Form, int Limit)
{
    TTreeNode* node = Form->TreeView1->Selected();
    if (!node)
        return;
    TMainSession& s = Session(Form);
    if (node->ImageIndex() == niFlash || node->ImageIndex() == niLink) {
        const bool flash = node->ImageIndex() == niFlash;
        TForm* dialog = flash ? static_cast<TForm*>(FlashO) : Form12;
        TsEdit* title = flash ? FlashO->Edit1 : Form12->Edit1;
        TsEdit* value = flash ? FlashO->Edit2 : Form12->Edit2;
        title->SetText(node->Text());
        value->SetText(Archive(Form).Value(node));
        s.PropertiesNode = node;
        dialog->ShowModal();
        return;
    }
    if (IsFolder(node)) {
        Form->SubcategoryCount = 0;
        Form->EntryCount = 0;
        for (TTreeNode* child = node->getFirstChild(); child; child = child->getNextSibling())
            ++(IsFolder(child) ? Form->SubcategoryCount : Form->EntryCount);
        CentreOn(Form9, Form);
        Form9->ShowModal();
        return;
    }
    // An article. The panel shows the selected one (it may have been reached from the keyboard).
    TsPanel* panel = Form->Panel1;
    if (panel->Visible()) {
        if (node != Form->PanelNode)
            ShowInPanel(Form, node);
        panel->SetColor(clBackground);
        Form->Timer4->SetEnabled(true);
        return;
    }
    // Opened afresh: the article's own values, the title focused.
    FillPanel(Form, node);
    panel->SetVisible(true);
    int width = 100;
    panel->SetWidth(width);
    while (width + 3 < Limit) {
        width += 3;
        panel->SetWidth(width);
    }
    if (Form->Edit1->CanFocus()) {
        Form->Edit1->SetFocus();
        Form->Edit1->SelectAll();
    }
}

} // namespace

void ShowInPanel(TID_Vellorn* Form, TTreeNode* Node)
{
    if (!IsArticle(Node) || (Node != Form->PanelNode && !KeepPanelEdits(Form)))
        return;
    FillPanel(Form, Node);
}

bool PanelChanged(TID_Vellorn* Form)
{
    TTreeNode* node = Form->PanelNode;
    if (!node || !Form->Panel1->Visible())
        return false;
    const int mark = Form->ComboBoxEx2->ItemIndex();
    return Form->Edit1->Text() != node->Text() ||
           Form->Edit2->Text() != Archive(Form).Value(node) ||
           (mark >= 0 && mark < 4 && PanelMarks[mark] != node->ImageIndex());
}

bool KeepPanelEdits(TID_Vellorn* Form)
{
    if (!PanelChanged(Form))
        return true;
    switch (Application->MessageBox("Свойства статьи «" + Form->PanelNode->Text() +
                                        "» изменены и не применены.\nПрименить их?",
                                    "Внимание!!!", MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDYES:
        // A refused value keeps the panel open with it.
        Form->Button1Click(Form->Button2);
        return !Form->Panel1->Visible();
    case IDNO:
        Form->Button2Click(Form->Button3);
        return true;
    default:
        return false;
    }
}

void UsePanelKeys(TID_Vellorn* Form)
{
    for (TWinControl* control : std::initializer_list<TWinControl*>{Form->Edit1, Form->Edit2, Form->ComboBoxEx2,
                                                                    Form->Button1, Form->Button2, Form->Button3})
        control->OnKeyDown = [Form](TObject* Sender, Word& Key, TShiftState) { PanelKeyDown(Form, Sender, Key); };
}

void TID_Vellorn::N17Click(TObject*) { ShowProperties(this, 430); }

void TID_Vellorn::N96Click(TObject*) { ShowProperties(this, 400); }

void TID_Vellorn::Button1Click(TObject*)
{
    TTreeNode* node = PanelNode;
    if (node) {
        // Title, file and mark in one change, by the archive's one title rule.
        const int mark = ComboBoxEx2->ItemIndex();
        const Integer image = mark >= 0 && mark < 4 ? PanelMarks[mark] : node->ImageIndex();
        if (!TitleAccepted(*Edit1, node->ImageIndex(), node) || !archive::TypedFileInside("FILES\\", *Edit2) ||
            !RetitleEntry(this, node, Edit1->Text(), Edit2->Text(), image))
            return;
    }
    Panel1->SetVisible(false);
    if (TreeView1->CanFocus())
        TreeView1->SetFocus();
}

void TID_Vellorn::Button2Click(TObject*)
{
    if (TreeView1->CanFocus())
        TreeView1->SetFocus();
    Panel1->SetVisible(false);
    // What was typed goes with the cancel: nothing of it shows or applies later.
    if (PanelNode)
        FillPanel(this, PanelNode);
}

void TID_Vellorn::Button3Click(TObject*) { archive::BrowseFile(*OpenDialog2, "FILES\\", *Edit2); }

void TID_Vellorn::Panel1MouseDown(TObject*, TMouseButton, TShiftState, int, int)
{
    // The system's move loop drags the panel.
    ReleaseCapture();
    SendMessageA(Panel1->Handle(), WM_SYSCOMMAND, 61458, 0);
}

void TID_Vellorn::Timer4Timer(TObject*)
{
    Panel1->SetColor(clBtnFace);
    Timer4->SetEnabled(false);
}
