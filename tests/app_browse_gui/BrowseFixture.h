// The main window on a small archive for reading: two linked pages, a link, a Flash movie, a
// missing page and a folder, with helpers to open entries and wait for the browser view.
#pragma once

#include "../app_gui/LogicFixture.h"

#include "MainBrowse.h"

namespace browse {

// The archive's tree: one folder with every kind of entry.
inline std::vector<logic::N> ReadingTree()
{
    return {{"Чтение",
             0,
             {{"Первая", 2, {}}, {"Вторая", 8, {}}, {"Пропавшая", 36, {}}, {"Мультик", 38, {}}, {"Ссылка", 39, {}}}}};
}

class BrowseTest : public logic::MainLogicTest {
protected:
    void SetUp() override
    {
        MainLogicTest::SetUp();
        testkit::WriteFileBytes(dir / "FILES\\tree\\Temp.vlt", logic::PlainTreeFile(ReadingTree()));
        testkit::WriteFileBytes(dir / "FILES\\tree\\Temp.ini",
                                "[FILES]\r\nПервая=first.html\r\nВторая=second.html\r\nПропавшая=gone.html\r\n"
                                "[FLASH]\r\nМультик=m.swf\r\n[URL]\r\nСсылка=" + FileUrl("second.html") + "\r\n");
        testkit::WriteFileBytes(dir / "FILES\\first.html",
                                "<html><head><title>Первая страница</title></head><body>"
                                "<h1><a href=\"second.html\">Дальше</a></h1><p>Текст первой страницы</p></body></html>");
        testkit::WriteFileBytes(dir / "FILES\\second.html",
                                "<html><head><title>Вторая страница</title></head><body><p>Конец</p></body></html>");
        form = Start();
        WaitPage("Vellorn");
    }
    void TearDown() override
    {
        if (form)
            form->Free();
        form = nullptr;
        MainLogicTest::TearDown();
    }

    // "file:///" + the full path of a file under FILES\, with forward slashes.
    std::string FileUrl(const std::string& Name)
    {
        std::string url = "file:///" + dir / ("FILES\\" + Name);
        for (char& c : url)
            if (c == '\\')
                c = '/';
        return url;
    }

    AnsiString Path(const AnsiString& Relative) { return dir / ("FILES\\" + Relative); }

    TTreeNode* Node(const AnsiString& Title)
    {
        for (TTreeNode* n = form->TreeView1->Items()->GetFirstNode(); n; n = n->GetNext())
            if (n->Text() == Title)
                return n;
        ADD_FAILURE() << "no node " << Title;
        return nullptr;
    }

    // Selects the entry and double-clicks it, as the user does.
    void Open(const AnsiString& Title)
    {
        form->TreeView1->SetSelected(Node(Title));
        form->TreeView1DblClick(form->TreeView1);
    }

    // Waits until the view has finished a page with this title.
    void WaitPage(const AnsiString& Title)
    {
        WaitFor([&] { return !form->Web->Busy() && form->Web->LocationName() == Title; }, "page " + Title);
        testkit::PumpPending();
    }

    // The texts of a list, joined by "|".
    static std::string Lines(TStrings* Items)
    {
        std::string out;
        for (int i = 0; i < Items->Count(); ++i)
            out += (i ? "|" : "") + std::string(Items->Strings(i));
        return out;
    }
    static std::string Captions(TPopupMenu* Menu)
    {
        std::string out;
        for (int i = 0; i < Menu->Items()->Count(); ++i)
            out += (i ? "|" : "") + std::string(Menu->Items()->Items(i)->Caption());
        return out;
    }

    TID_Vellorn* form = nullptr;
};

} // namespace browse
