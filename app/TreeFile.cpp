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

AnsiString ClosedTreeBytes(TCustomTreeView& View, const std::function<bool(const TTreeNode*)>& IsFolder)
{
    AnsiString bytes = TreeStreamBytes(View);
    const TTreeNodes& nodes = *View.Items();
    if (!nodes.GetFirstNode())
        return bytes;
    // The node records follow the property's name, its binary type and its size; they are in the
    // nodes' depth-first order, so each record is patched beside its node.
    const AnsiString marker = AnsiString("\x0AItems.Data\x0A", 12);
    std::size_t at = bytes.find(marker);
    if (at == AnsiString::npos)
        return bytes;
    at += marker.size() + 4 + 4; // the data's size, then the count of top-level nodes
    const auto put = [&](std::size_t Offset, Integer Value) {
        for (int i = 0; i < 4; ++i)
            bytes[Offset + i] = static_cast<char>((static_cast<unsigned>(Value) >> (8 * i)) & 0xFF);
    };
    for (const TTreeNode* n = nodes.GetFirstNode(); n && at + 8 <= bytes.size(); n = n->GetNext()) {
        if (IsFolder(n)) {
            put(at + 4, 0);
            put(at + 8, 0);
        }
        Integer size = 0;
        for (int i = 3; i >= 0; --i)
            size = static_cast<Integer>((static_cast<unsigned>(size) << 8) | static_cast<unsigned char>(bytes[at + i]));
        at += 4 + static_cast<std::size_t>(size);
    }
    return bytes;
}

void WriteClosedTreeFile(const AnsiString& Path, TCustomTreeView& View,
                         const std::function<bool(const TTreeNode*)>& IsFolder)
{
    SafeWriteFileBytes(Path, ClosedTreeBytes(View, IsFolder));
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

std::vector<std::pair<AnsiString, Integer>> NodeRecords(const TTreeStream& Stream)
{
    std::vector<std::pair<AnsiString, Integer>> out;
    if (!Stream.HasNodes)
        return out;
    const AnsiString& d = Stream.Nodes;
    std::size_t at = 0;
    const auto int32 = [&](std::size_t Offset) {
        if (Offset + 4 > d.size())
            throw EReadError("Damaged tree node data: record past the end");
        unsigned v = 0;
        for (int i = 3; i >= 0; --i)
            v = (v << 8) | static_cast<unsigned char>(d[Offset + i]);
        return static_cast<Integer>(v);
    };
    // The records still to read at each level: a node's children follow it at once.
    std::vector<Integer> pending{int32(0)};
    at = 4;
    while (!pending.empty()) {
        if (pending.back() <= 0) {
            pending.pop_back();
            continue;
        }
        --pending.back();
        const Integer size = int32(at);
        if (size < 25 || at + 4 + static_cast<std::size_t>(size) > d.size() || pending.size() > d.size())
            throw EReadError("Damaged tree node data: invalid record");
        const std::size_t length = static_cast<unsigned char>(d[at + 28]);
        out.emplace_back(d.substr(at + 29, std::min<std::size_t>(length, static_cast<std::size_t>(size) - 25)),
                         int32(at + 4));
        const Integer children = int32(at + 24);
        at += 4 + static_cast<std::size_t>(size);
        pending.push_back(children);
    }
    return out;
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
