// Shared pieces of the shell view tests: a folder tree on disk and the names a view shows.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FormTest.h"
#include "TestKit.h"
#include "WideNames.h"
#include "acShellCtrlsList.h"
#include "acShellCtrlsTree.h"

namespace shellkit {

// Folders and files under a temporary folder: each entry a relative path, a folder when it ends
// in a backslash.
inline void MakeTree(const testkit::TempDir& Dir, std::initializer_list<const char*> Entries)
{
    for (const char* e : Entries) {
        const std::string path = Dir / e;
        if (path.back() == '\\')
            CreateDirectoryA(path.c_str(), nullptr);
        else
            testkit::WriteFileBytes(path, "x");
    }
}

// A shell tree whose label edits a test ends by hand.
class TEditingTree : public TsShellTreeView {
    VCL_CLASS(TEditingTree, TsShellTreeView)
public:
    using TsShellTreeView::TsShellTreeView;
    void Rename(TTreeNode* Node, std::string Text)
    {
        TVITEMA item{};
        item.lParam = reinterpret_cast<LPARAM>(Node);
        item.pszText = Text.data();
        Edit(item);
    }
};

// The names of a list's rows, in order.
inline std::vector<std::string> RowNames(TacCustomShellListView* List)
{
    std::vector<std::string> names;
    for (int i = 0; i < List->FolderCount(); ++i)
        names.push_back(List->GetFolder(i)->DisplayName());
    return names;
}

// The row the list's window finds for a text from Start (LVM_FINDITEM, by prefix).
inline int FindRow(TCustomListView* List, const char* Text, int Start, bool Wrap)
{
    LVFINDINFOA info{};
    info.flags = LVFI_PARTIAL | LVFI_STRING | (Wrap ? LVFI_WRAP : 0);
    info.psz = Text;
    return static_cast<int>(SendMessageA(List->Handle(), LVM_FINDITEMA, static_cast<WPARAM>(Start),
                                         reinterpret_cast<LPARAM>(&info)));
}

// A real key press (down and up) for the window with the keyboard focus.
inline void PressKey(WORD Key)
{
    keybd_event(static_cast<BYTE>(Key), 0, 0, 0);
    keybd_event(static_cast<BYTE>(Key), 0, KEYEVENTF_KEYUP, 0);
}

} // namespace shellkit
