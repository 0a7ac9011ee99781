// The filter combo box: the pairs a filter text gives, and the mask of the chosen entry.
#include <gtest/gtest.h>

#include "FormTest.h"
#include "sFileCtrl.h"

namespace {

using Entries = std::vector<TFilterEntry>;

class FilterComboBox : public testkit::FormTest {};

} // namespace

TEST_F(FilterComboBox, AFilterGivesItsDescriptionMaskPairs)
{
    const struct {
        const char* filter;
        Entries entries;
    } cases[] = {
        {"Pages (*.html)|*.html|All (*.*)|*.*", {{"Pages (*.html)", "*.html"}, {"All (*.*)", "*.*"}}},
        {"", {}},
        {"no bar at all", {}},
        {"Pages|*.htm;*.html|lone description", {{"Pages", "*.htm;*.html"}}},
        {"Text|", {{"Text", ""}}},
        {"|*.x", {{"", "*.x"}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseFilter(c.filter), c.entries) << c.filter;
}

TEST_F(FilterComboBox, TheChosenEntryGivesItsMaskAndNoEntryAllFiles)
{
    TForm* form = MakeForm();
    auto* box = Create<TsFilterComboBox>(form);
    box->SetParent(form);
    EXPECT_EQ(box->Filter(), "All files (*.*)|*.*");
    int changes = 0;
    box->OnChange = [&](TObject*) { ++changes; };
    box->SetFilter("Pages|*.html|Texts|*.txt");
    EXPECT_EQ(changes, 1);
    box->SetFilter("Pages|*.html|Texts|*.txt");
    EXPECT_EQ(changes, 1) << "the same filter is no change";
    EXPECT_EQ(box->Items()->Text(), "Pages\r\nTexts\r\n");
    EXPECT_EQ(box->ItemIndex(), 0);
    EXPECT_EQ(box->GetMask(), "*.html");
    box->SetItemIndex(1);
    EXPECT_EQ(box->GetMask(), "*.txt");
    box->SetItemIndex(-1);
    EXPECT_EQ(box->GetMask(), "*.txt") << "nothing chosen chooses the last entry";
    EXPECT_EQ(box->ItemIndex(), 1);
    box->SetFilter("");
    EXPECT_EQ(box->Items()->Count(), 0);
    EXPECT_EQ(box->GetMask(), "*.*");
    form->Show();
    box->SetFilter("Pages|*.html|Texts|*.txt");
    EXPECT_EQ(SendMessageA(box->Handle(), CB_GETCOUNT, 0, 0), 2) << "the same in the window";
    EXPECT_EQ(box->GetMask(), "*.html");
    box->SetItemIndex(1);
    box->RecreateWnd();
    EXPECT_EQ(box->ItemIndex(), 1) << "a new window keeps the chosen entry";
    EXPECT_EQ(box->GetMask(), "*.txt");
}
