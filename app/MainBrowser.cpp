// The browser view's commands: the navigation bar and the "Браузер" menu, find and source, the
// address bar, the status line, progress and command states, and the project's links.
#include "MainBrowse.h"

#include <ole2.h>

#include <unordered_set>

#include "ArchiveFiles.h"
#include "MainSession.h"
#include "Settings.h"
#include "ShellSeams.h"

#include "Form7.h"

namespace {

// Runs a command of the document shown (find, view source); nothing without a document.
void DocumentCommand(TID_Vellorn* Form, DWORD Command)
{
    TComInterface<IDispatch> doc = Form->Web->Document();
    if (!doc.IsBound())
        return;
    TComInterface<IOleCommandTarget> target;
    if (SUCCEEDED(doc->QueryInterface(IID_IOleCommandTarget, reinterpret_cast<void**>(&target))) && target)
        target->Exec(&CGID_IWebBrowser, Command, 0, nullptr, nullptr);
}

// A new message to the project with Subject, in the user's mail program. The subject travels
// percent-encoded in UTF-8, as mail links carry text.
void WriteToProject(const AnsiString& Subject)
{
    const std::wstring wide = AnsiToWide(Subject);
    std::string utf8(size_t(WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr)),
                     '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), utf8.data(), int(utf8.size()), nullptr, nullptr);
    static const char hex[] = "0123456789ABCDEF";
    AnsiString encoded;
    for (unsigned char c : utf8) {
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-' || c == '.' || c == '_' || c == '~') {
            encoded += char(c);
        } else {
            encoded += '%';
            encoded += hex[c >> 4];
            encoded += hex[c & 15];
        }
    }
    ShellOpen(nullptr, AnsiString("mailto:") + TForm7::MailAddress + "?subject=" + encoded);
}

// The address bar's text as a file: the text itself (a full path, or relative to the current
// folder), else a file of that name under FILES\; "" when there is none.
AnsiString AddressFile(const AnsiString& Text)
{
    const AnsiString found = Text.empty() ? AnsiString() : FileSearch(Text, archive::AppPath("FILES\\"));
    return found.empty() ? found : ExpandFileName(found);
}

// Opens what the address box holds, the same way for Enter, the go button and a chosen item: a file
// (as typed, or under FILES\) by its full path, anything else (a web address) as typed; an empty
// box gives a blank page.
void OpenTypedAddress(TID_Vellorn* Form)
{
    const AnsiString text = Form->ComboBox1->Text();
    const AnsiString file = AddressFile(text);
    Form->SkipHistoryOnce = false;
    Form->Web->Navigate(file.empty() ? text : file);
}

} // namespace

void MergeAddresses(TStrings& List, const std::vector<AnsiString>& Loaded, const std::vector<AnsiString>& Items)
{
    // One pass over each list: the addresses are compared by their keys in hash sets.
    const auto key = [](const AnsiString& Address) { return AnsiUpperCase(StripHotkey(Address)); };
    const std::unordered_set<AnsiString> loaded(Loaded.begin(), Loaded.end());
    std::unordered_set<AnsiString> listed;
    listed.reserve(static_cast<std::size_t>(List.Count()) + Items.size());
    for (int i = 0; i < List.Count(); ++i)
        listed.insert(key(List[i]));
    List.BeginUpdate();
    for (const AnsiString& item : Items)
        if (!loaded.count(item) && listed.insert(key(item)).second)
            List.Add(item);
    List.EndUpdate();
}

void WriteAddressList(TID_Vellorn* Form)
{
    TMainSession& s = Session(Form);
    TStringList list;
    settings::LoadAddressList(list);
    MergeAddresses(list, s.LoadedAddresses, s.Addresses);
    settings::SaveAddressList(list);
    s.LoadedAddresses = s.Addresses;
}

void ClearAddressList(TID_Vellorn* Form)
{
    TMainSession& s = Session(Form);
    Form->ComboBox1->Items()->Clear();
    s.Addresses.clear();
    s.AddressKeys.clear();
    settings::SaveAddressList(*Form->ComboBox1->Items());
    s.LoadedAddresses.clear();
}

namespace {
AnsiString AddressKey(const AnsiString& Address) { return AnsiUpperCase(StripHotkey(Address)); }
} // namespace

void RememberAddress(TID_Vellorn* Form, const AnsiString& Address)
{
    TMainSession& s = Session(Form);
    if (!s.AddressKeys.insert(AddressKey(Address)).second)
        return;
    s.Addresses.push_back(Address);
    Form->ComboBox1->Items()->Add(Address);
}

void UseAddresses(TID_Vellorn* Form, TStrings& Items)
{
    TMainSession& s = Session(Form);
    s.Addresses = ItemsOf(Items);
    s.AddressKeys.clear();
    for (const AnsiString& address : s.Addresses)
        s.AddressKeys.insert(AddressKey(address));
    Form->ComboBox1->Items()->Assign(&Items);
}

void TID_Vellorn::ToolButton1Click(TObject*)
{
    Web->GoBack();
    ShowNotePanel(this, false);
}

void TID_Vellorn::N26Click(TObject* Sender) { ToolButton1Click(Sender); }

void TID_Vellorn::ToolButton2Click(TObject*)
{
    Web->GoForward();
    ShowNotePanel(this, false);
}

void TID_Vellorn::N27Click(TObject* Sender) { ToolButton2Click(Sender); }
void TID_Vellorn::ToolButton3Click(TObject*) { Web->Stop(); }
void TID_Vellorn::N28Click(TObject* Sender) { ToolButton3Click(Sender); }
void TID_Vellorn::ToolButton4Click(TObject*) { Web->Refresh(); }
void TID_Vellorn::N29Click(TObject* Sender) { ToolButton4Click(Sender); }
void TID_Vellorn::ToolButton5Click(TObject*) { Web->ExecWB(OLECMDID_PRINT, OLECMDEXECOPT_PROMPTUSER); }
void TID_Vellorn::N24Click(TObject* Sender) { ToolButton5Click(Sender); }
void TID_Vellorn::N23Click(TObject*) { Web->ExecWB(OLECMDID_SAVEAS, OLECMDEXECOPT_PROMPTUSER); }
void TID_Vellorn::ToolButton6Click(TObject*) { DocumentCommand(this, HTMLID_VIEWSOURCE); }
void TID_Vellorn::N14Click(TObject* Sender) { ToolButton6Click(Sender); }
void TID_Vellorn::N20Click(TObject*) { DocumentCommand(this, HTMLID_FIND); }

void TID_Vellorn::N22Click(TObject*)
{
    Web->Navigate("about:blank");
    ToolButton1->SetEnabled(true);
}

void TID_Vellorn::SetBrClick(TObject*)
{
    ShellOpen(Handle(), "Rundll32.exe", "shell32,Control_RunDLL inetcpl.cpl", "", SW_SHOWNORMAL);
}

void TID_Vellorn::N32Click(TObject*) { Web->Navigate(TForm7::WebSite); }
void TID_Vellorn::N34Click(TObject*) { WriteToProject("Ошибка"); }
void TID_Vellorn::N70Click(TObject*) { WriteToProject("Статья"); }
void TID_Vellorn::N33Click(TObject*) { WriteToProject("Отзывы и предложения"); }

void TID_Vellorn::ToolButton10Click(TObject*) { OpenTypedAddress(this); }
void TID_Vellorn::ComboBox1Select(TObject*) { OpenTypedAddress(this); }

void TID_Vellorn::ComboBox1KeyPress(TObject*, char& Key)
{
    if (Key != '\r')
        return;
    Key = 0;
    OpenTypedAddress(this);
}

void TID_Vellorn::ComboBox1KeyDown(TObject*, Word& Key, TShiftState Shift)
{
    // Shift+Delete erases the whole address list, after a question ("Отмена" is the default
    // answer, so a key typed ahead keeps the list); the key cuts no text either way.
    if (Key != VK_DELETE || !Shift.Contains(ssShift))
        return;
    Key = 0;
    if (Application->MessageBox("Удалить все адреса из списка адресов?\nВосстановить их будет невозможно.",
                                "Удаление", MB_OKCANCEL | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != IDOK)
        return;
    ClearAddressList(this);
}

void TID_Vellorn::WebStatusTextChange(TObject*, const AnsiString& Text)
{
    StatusBar1->Panels()->Items(2)->SetText(Text);
}

void TID_Vellorn::WebProgressChange(TObject*, long Progress, long ProgressMax)
{
    // A progress of -1 is the control's word for a finished page.
    if (Progress == ProgressMax || Progress < 0) {
        ProgressBar1->Hide();
        return;
    }
    ProgressBar1->Show();
    ProgressBar1->SetMax(int(ProgressMax));
    ProgressBar1->SetPosition(int(Progress));
}

void TID_Vellorn::WebCommandStateChange(TObject*, long Command, bool Enable)
{
    // The back and forward buttons also drop down the page history: they stay on while it has
    // pages, whatever the view's own history says.
    switch (Command) {
    case CSC_NAVIGATEBACK:
        ToolButton1->SetEnabled(Enable || PopupMenu2->Items()->Count() > 0);
        N26->SetEnabled(Enable);
        break;
    case CSC_NAVIGATEFORWARD:
        ToolButton2->SetEnabled(Enable || PopupMenu4->Items()->Count() > 0);
        N27->SetEnabled(Enable);
        break;
    case CSC_UPDATECOMMANDS:
        ToolButton3->SetEnabled(Enable);
        N28->SetEnabled(Enable);
        break;
    default:
        break;
    }
}
