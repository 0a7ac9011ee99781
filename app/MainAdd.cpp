// Adding entries: the commands that open the article, link and Flash dialogs centred on the main
// window, the placing of an article written in the editor, and Timer1, which carries out what
// the dialogs ask for (new articles, Flash movies and links, changed links and Flash movies).
#include "MainSession.h"

#include "ArchiveFiles.h"
#include "MainSearch.h"
#include "MainTreeMap.h"

#include "Form12.h"
#include "Form2.h"
#include "Form5.h"
#include "Form8.h"
#include "FormFlash.h"
#include "FormFlashO.h"

namespace {

// The image of a mark code of the article dialog: "1" favourite, "2" read, "3" new, "4" unread.
Integer ImageOfMarkCode(const AnsiString& Code)
{
    if (Code == "1")
        return niArticleFavourite;
    if (Code == "2")
        return niArticleRead;
    if (Code == "4")
        return niArticleUnread;
    return niArticleNew;
}

// A changed link or Flash movie: the node its dialog was opened for takes the new title and value
// with its key and note (unless it has gone, or another entry has the title). False when refused.
bool UpdateEntry(TID_Vellorn* Form, const AnsiString& Title, const AnsiString& Value)
{
    TTreeNode* node = Session(Form).PropertiesNode;
    return !node || RetitleEntry(Form, node, Title, Value, node->ImageIndex());
}

// A new entry from a dialog goes into the folder of the selection; the count follows.
bool AddEntry(TID_Vellorn* Form, const AnsiString& Title, Integer Image, const AnsiString& Value)
{
    if (!Archive(Form).AddEntry(EntryParent(*Form->TreeView1), Title, Image, Value))
        return false;
    ShowArticleCount(Form);
    return true;
}

} // namespace

void CentreOn(TCustomForm* Dialog, const TCustomForm* Owner)
{
    Dialog->SetTop(Owner->Top() + Owner->Height() / 2 - Dialog->Height() / 2);
    Dialog->SetLeft(Owner->Left() + Owner->Width() / 2 - Dialog->Width() / 2);
}

TRect NormalBounds(TCustomForm* Form)
{
    const TRect bounds = Form->BoundsRect();
    if (!Form->HandleAllocated() || (!IsZoomed(Form->Handle()) && !IsIconic(Form->Handle())))
        return bounds;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(Form->Handle(), &placement))
        return bounds;
    // The restored place counts from the work area of the window's monitor.
    RECT normal = placement.rcNormalPosition;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoA(MonitorFromRect(&normal, MONITOR_DEFAULTTONEAREST), &monitor))
        OffsetRect(&normal, monitor.rcWork.left - monitor.rcMonitor.left, monitor.rcWork.top - monitor.rcMonitor.top);
    return normal;
}

void TID_Vellorn::N80Click(TObject*)
{
    CentreOn(Form2, this);
    Form2->Show();
}

void TID_Vellorn::N73Click(TObject* Sender) { N80Click(Sender); }

void TID_Vellorn::N31Click(TObject*)
{
    CentreOn(Form5, this);
    Form5->ShowModal();
}

void TID_Vellorn::N94Click(TObject* Sender) { N31Click(Sender); }

void TID_Vellorn::Flash1Click(TObject*)
{
    CentreOn(Flash, this);
    Flash->ShowModal();
}

void TID_Vellorn::Flash2Click(TObject* Sender) { Flash1Click(Sender); }

void TID_Vellorn::N62Click(TObject*)
{
    ShowTreePage(this, 0);
    CentreOn(Form8, this);
    // Modeless: "Выбрать" places the written article in the tree while the editor stays open.
    Form8->Show();
}

void TID_Vellorn::N72Click(TObject*)
{
    // The page the editor wrote last, as it was written (the editor may hold other text since).
    Form2->Edit1->SetText(Form8->WrittenTitle);
    Form2->Edit2->SetText(Form8->WrittenFile);
    Form2->Edit3->SetText("3");
    PendingAddArticle = true;
}

bool CarryOutPendingEntries(TID_Vellorn* Form)
{
    // Each flag is cleared before its work: a message box shown by the work runs a loop in which
    // the timer ticks again.
    bool taken = true;
    if (Form->PendingAddArticle) {
        Form->TreeView1->SetPopupMenu(Form->PopupMenu1);
        Form->PendingAddArticle = false;
        taken = AddEntry(Form, Form2->Edit1->Text(), ImageOfMarkCode(Form2->Edit3->Text()), Form2->Edit2->Text());
    }
    if (Form->PendingAddFlash) {
        Form->PendingAddFlash = false;
        taken = AddEntry(Form, Flash->Edit1->Text(), niFlash, Flash->Edit2->Text()) && taken;
    }
    if (Form->PendingAddLink) {
        Form->PendingAddLink = false;
        taken = AddEntry(Form, Form5->Edit1->Text(), niLink, Form5->Edit2->Text()) && taken;
    }
    if (Form->PendingUpdateFlash) {
        Form->PendingUpdateFlash = false;
        taken = UpdateEntry(Form, FlashO->Edit1->Text(), FlashO->Edit2->Text()) && taken;
    }
    if (Form->PendingUpdateLink) {
        Form->PendingUpdateLink = false;
        taken = UpdateEntry(Form, Form12->Edit1->Text(), Form12->Edit2->Text()) && taken;
    }
    return taken;
}

void TID_Vellorn::Timer1Timer(TObject*) { CarryOutPendingEntries(this); }
