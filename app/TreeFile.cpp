#include "TreeFile.h"

#include "ClassesFiler.h"

namespace treefile {

AnsiString TreeStreamBytes(TComponent& TreeView)
{
    TStringStream out;
    TWriter writer(out);
    writer.WriteRootComponent(TreeView);
    return out.DataString();
}

void WriteTreeFile(const AnsiString& Path, TComponent& TreeView)
{
    const AnsiString bytes = TreeStreamBytes(TreeView);
    SafeWriteFileBytes(Path, bytes);
}

namespace {

// Folders shown closed for as long as it lives: each open folder's images, given back at its end.
// The images change inside an update of the nodes, so that the window is not asked for each
// item's place (its search for an item takes as long as the tree is big).
class TFoldersClosed {
public:
    TFoldersClosed(TTreeNodes& Nodes, const std::function<bool(const TTreeNode*)>& IsFolder) : nodes_(Nodes)
    {
        for (TTreeNode* n = Nodes.GetFirstNode(); n; n = n->GetNext())
            if (IsFolder(n) && (n->ImageIndex() != 0 || n->SelectedIndex() != 0))
                saved_.push_back({n, n->ImageIndex(), n->SelectedIndex()});
        Apply([](const Saved& s) {
            s.Node->SetImageIndex(0);
            s.Node->SetSelectedIndex(0);
        });
    }
    ~TFoldersClosed()
    {
        Apply([](const Saved& s) {
            s.Node->SetImageIndex(s.Image);
            s.Node->SetSelectedIndex(s.Selected);
        });
    }
    TFoldersClosed(const TFoldersClosed&) = delete;
    TFoldersClosed& operator=(const TFoldersClosed&) = delete;

private:
    struct Saved {
        TTreeNode* Node;
        Integer Image, Selected;
    };
    template <class F>
    void Apply(F&& Change)
    {
        if (saved_.empty())
            return;
        nodes_.BeginUpdate();
        for (const Saved& s : saved_)
            Change(s);
        nodes_.EndUpdate();
    }
    TTreeNodes& nodes_;
    std::vector<Saved> saved_;
};

} // namespace

void WriteClosedTreeFile(const AnsiString& Path, TCustomTreeView& View,
                         const std::function<bool(const TTreeNode*)>& IsFolder)
{
    AnsiString bytes;
    {
        TFoldersClosed closed(*View.Items(), IsFolder);
        bytes = TreeStreamBytes(View);
    }
    SafeWriteFileBytes(Path, bytes);
}

void ReadTreeFile(const AnsiString& Path, TCustomTreeView& View) { ApplyTreeStream(ReadTreeStream(Path), View); }

TTreeStream ReadTreeStream(const AnsiString& Path)
{
    if (!FileExists(Path)) {
        throw EFOpenError("Cannot open file \"" + Path + "\". " + SysErrorMessage(ERROR_FILE_NOT_FOUND), Path,
                          ERROR_FILE_NOT_FOUND);
    }
    TMemoryStream file;
    file.LoadFromFile(Path);

    // The whole stream is read before the view is touched: a damage anywhere stops here.
    TTreeStream out;
    TReader reader(file);
    reader.ReadSignature();
    AnsiString className, name;
    reader.ReadComponentHeader(className, name);
    while (!reader.EndOfList()) {
        const AnsiString prop = reader.ReadPropName();
        if (prop == "Items.Data") {
            TMemoryStream nodes;
            reader.ReadBinary(nodes);
            out.Nodes.assign(static_cast<const char*>(nodes.Memory()), static_cast<std::size_t>(nodes.Size()));
            out.HasNodes = true;
        } else {
            reader.SkipValue();
        }
    }
    reader.ReadListEnd();
    reader.ReadListEnd();
    return out;
}

void ApplyTreeStream(const TTreeStream& Stream, TCustomTreeView& View)
{
    // The node records are parsed and checked whole before the nodes are replaced.
    if (Stream.HasNodes)
        View.Items()->ReadData(Stream.Nodes.data(), Stream.Nodes.size());
    else
        View.Items()->Clear();
}

int CountEntries(const TTreeNodes& Nodes)
{
    int count = 0;
    for (const TTreeNode* n = Nodes.GetFirstNode(); n; n = n->GetNext())
        if (n->ImageIndex() != 0 && n->ImageIndex() != 1)
            ++count;
    return count;
}

int CountImage(const TTreeNodes& Nodes, Integer Image)
{
    int count = 0;
    for (const TTreeNode* n = Nodes.GetFirstNode(); n; n = n->GetNext())
        if (n->ImageIndex() == Image)
            ++count;
    return count;
}

AnsiString KeepAside(const AnsiString& Path, const AnsiString& Suffix)
{
    if (!FileExists(Path))
        return "";
    AnsiString target = Path + Suffix;
    for (int n = 2; FileExists(target) || DirectoryExists(target); ++n)
        target = Path + Suffix + "." + IntToStr(n);
    if (const DWORD err = MoveFileWhenFree(Path, target, MOVEFILE_WRITE_THROUGH)) {
        throw EInOutError("Cannot rename \"" + Path + "\" to \"" + target + "\". " + SysErrorMessage(err), Path, err);
    }
    return target;
}

} // namespace treefile
