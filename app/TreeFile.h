// Tree files (".vlt"): the component stream of the article tree view, written through a safe
// replacement and read whole before the view changes.
#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "ComCtrlsTree.h"

namespace treefile {

// The component stream of the tree view: signature, class and component names, the view's
// properties (the nodes as Items.Data) and the two end markers.
AnsiString TreeStreamBytes(TComponent& TreeView);

// Writes the stream to Path: a temporary file in the same folder, flushed and moved over Path,
// so Path is created when missing and never left half written.
void WriteTreeFile(const AnsiString& Path, TComponent& TreeView);

// The stream of the tree with every node for which IsFolder holds written closed (image and selected
// image 0); the view's own nodes keep their images.
AnsiString ClosedTreeBytes(TCustomTreeView& View, const std::function<bool(const TTreeNode*)>& IsFolder);
// Writes that stream as WriteTreeFile does.
void WriteClosedTreeFile(const AnsiString& Path, TCustomTreeView& View,
                         const std::function<bool(const TTreeNode*)>& IsFolder);

// Reads the whole tree file and checks it (signature, every property value, the node records,
// the end markers) before anything changes; then the view's nodes are replaced by the file's (a
// file without Items.Data is an empty tree). A missing file raises EFOpenError, a damaged one
// EReadError; in both cases the view keeps its nodes.
void ReadTreeFile(const AnsiString& Path, TCustomTreeView& View);

// The same in two steps, so that a caller can do its own part between them: the file read and
// its stream checked (raising as above), then the node records checked and put in place.
struct TTreeStream {
    bool HasNodes = false;
    AnsiString Nodes; // the node records of Items.Data
};
TTreeStream ReadTreeStream(const AnsiString& Path);
void ApplyTreeStream(const TTreeStream& Stream, TCustomTreeView& View);

// The title and image of every node record of a stream, in order; a damaged record list raises
// EReadError.
std::vector<std::pair<AnsiString, Integer>> NodeRecords(const TTreeStream& Stream);

// Entries (images neither 0 nor 1) and nodes with one image, over the whole tree.
int CountEntries(const TTreeNodes& Nodes);
int CountImage(const TTreeNodes& Nodes, Integer Image);

// Renames Path to Path + Suffix, or to Path + Suffix + "." + n (n = 2, 3, ...) when that name is
// taken, so no earlier file is overwritten. Answers the new name, "" when Path does not exist;
// a failed rename raises EInOutError.
AnsiString KeepAside(const AnsiString& Path, const AnsiString& Suffix);

} // namespace treefile
