// The application's own page history: each completed navigation records the page it left in the
// back list (ListBox2 with the menu PopupMenu2, addresses in FILES\tmpB.ini); the menus' items move
// pages between the back list and the forward list (ListBox3, PopupMenu4, FILES\tmpF.ini). The
// lists and their menus stay parallel: both append, and both lose the same position together. A
// page is its address: pages of one title are items of their own, each going to its own address.
// The completion also shows the page's address in the address box.
#include "MainBrowse.h"

#include "ArchiveFiles.h"
#include "IniFiles.h"
#include "MainSession.h"
#include "MainTreeMap.h"

namespace {

const char HistorySection[] = "URL";

// An item of a history menu: a page's title with the page's own address.
class THistoryItem : public TMenuItem {
    VCL_CLASS(THistoryItem, TMenuItem)
public:
    explicit THistoryItem(TComponent* AOwner) : TMenuItem(AOwner) {}
    AnsiString Url;
};

bool HasPage(TPopupMenu* Menu, const AnsiString& Url)
{
    for (int i = 0; i < Menu->Items()->Count(); ++i)
        if (auto* item = dynamic_cast<THistoryItem*>(Menu->Items()->Items(i)); item && item->Url == Url)
            return true;
    return false;
}

AnsiString BackFile() { return archive::AppPath("FILES\\tmpB.ini"); }
AnsiString ForwardFile() { return archive::AppPath("FILES\\tmpF.ini"); }

// Appends a page to one history: its address in File first, then the title to List and an item
// to Menu whose click runs Click.
void AppendPage(TID_Vellorn* Form, const AnsiString& File, TListBox* List, TPopupMenu* Menu,
                void (TID_Vellorn::*Click)(TObject*), const AnsiString& Title, const AnsiString& Url)
{
    // The history files are the first running copy's: a copy beside it keeps its history in memory.
    if (Session(Form).FirstCopy)
        TIniFile(File).WriteString(HistorySection, HistoryKey(Title), Url);
    List->Items()->Add(Title);
    auto* item = Create<THistoryItem>(Form);
    item->Url = Url;
    item->SetCaption(Title);
    item->SetImageIndex(2);
    item->OnClick = [Form, Click](TObject* Sender) { (Form->*Click)(Sender); };
    Menu->Items()->Add(item);
}

// Takes the clicked item's page out of its history (with the title at the item's position in
// List), goes to the page's address and turns Button and Item off when the history is empty then.
void GoToTakenPage(TID_Vellorn* Form, TObject* Sender, TListBox* List, TPopupMenu* Menu, TToolButton* Button,
                   TMenuItem* Item)
{
    auto* clicked = dynamic_cast<THistoryItem*>(Sender);
    if (!clicked || clicked->Parent() != Menu->Items())
        return;
    const int index = clicked->MenuIndex();
    const AnsiString url = clicked->Url;
    if (index < List->Items()->Count())
        List->Items()->Delete(index);
    clicked->Free();
    if (!url.empty())
        Form->Web->Navigate(url);
    if (Menu->Items()->Count() == 0) {
        Item->SetEnabled(false);
        Button->SetEnabled(false);
    }
}

} // namespace

AnsiString HistoryKey(const AnsiString& Title)
{
    if (IsValidTitle(Title) && Trim(Title) == Title)
        return Title;
    static const char hex[] = "0123456789ABCDEF";
    AnsiString key;
    for (size_t i = 0; i < Title.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(Title[i]);
        const bool edge = (i == 0 || i + 1 == Title.size()) && c == ' ';
        if (c == '=' || c == '%' || c < ' ' || edge || (i == 0 && (c == '[' || c == ';'))) {
            key += '%';
            key += hex[c >> 4];
            key += hex[c & 15];
        } else {
            key += char(c);
        }
    }
    return key.empty() ? AnsiString("%") : key;
}

void RecordBackPage(TID_Vellorn* Form, const AnsiString& Title, const AnsiString& Url)
{
    AppendPage(Form, BackFile(), Form->ListBox2, Form->PopupMenu2, &TID_Vellorn::NClick, Title, Url);
    Form->ToolButton1->SetEnabled(true);
    Form->N26->SetEnabled(true);
}

void TID_Vellorn::WebBeforeNavigate2(TObject*, const AnsiString&, bool&)
{
    if (StartupDone || !SkipHistoryOnce) {
        PrevPageUrl = Web->LocationURL();
        PrevPageTitle = Web->LocationName();
    }
    LeftPageTitle = Web->LocationName();
    LeftPageUrl = Web->LocationURL();
    Session(this).AddressAtStart = ComboBox1->Text();
}

void TID_Vellorn::WebNavigateComplete2(TObject*, const AnsiString&)
{
    StatusBar1->Panels()->Items(2)->SetText("Готово");
    SetCaption(PageCaption(this));
    ProgressBar1->Hide();
    // The address box names the page shown, however the view came to it (the blank page that
    // stands for an article's missing file keeps that file's path), unless the user is typing
    // another address there meanwhile.
    TMainSession& s = Session(this);
    const AnsiString url = Web->LocationURL();
    const bool typing = ComboBox1->HandleAllocated() &&
                        (ComboBox1->Focused() || IsChild(ComboBox1->Handle(), GetFocus())) &&
                        ComboBox1->Text() != s.AddressAtStart;
    if (!typing)
        ComboBox1->SetText(url == "about:blank" && !s.MissingPage.empty() ? s.MissingPage : url);
    s.MissingPage.clear();
    if (SkipHistoryOnce || PrevPageUrl.empty())
        return;
    if (!HasPage(PopupMenu2, PrevPageUrl))
        RecordBackPage(this, PrevPageTitle, PrevPageUrl);
    SkipHistoryOnce = false;
}

void TID_Vellorn::NClick(TObject* Sender)
{
    SkipHistoryOnce = false;
    if (!HasPage(PopupMenu4, LeftPageUrl)) {
        AppendPage(this, ForwardFile(), ListBox3, PopupMenu4, &TID_Vellorn::BClick, LeftPageTitle, LeftPageUrl);
        ToolButton2->SetEnabled(true);
        N27->SetEnabled(true);
    }
    GoToTakenPage(this, Sender, ListBox2, PopupMenu2, ToolButton1, N26);
}

void TID_Vellorn::BClick(TObject* Sender)
{
    if (!HasPage(PopupMenu2, LeftPageUrl))
        RecordBackPage(this, LeftPageTitle, LeftPageUrl);
    GoToTakenPage(this, Sender, ListBox3, PopupMenu4, ToolButton2, N27);
}
