// The skinned tree view: the framework tree view with its skin state (SkinData, section "EDIT")
// and bound caption label. The native window keeps drawing the nodes; while a skin is active the
// control paints its frame (BorderWidth + 3 pixels) in the window's border from its cache, takes
// the section's colours, and covers the native scroll bars with skinned bars that it keeps in
// step. Without a skin it is the framework's tree view, with the border style it was made with.
#pragma once

#include "ComCtrlsTree.h"
#include "sCommonData.h"
#include "sScrollBar.h"

class TsTreeView : public TsSkinnedBound<TTreeView> {
    VCL_CLASS(TsTreeView, TsSkinnedBound<TTreeView>)
public:
    explicit TsTreeView(TComponent* AOwner);
    void AfterConstruction() override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;

    // The skinned bars (siblings on the tree's parent), or null.
    TsScrollBar* VSBar = nullptr;
    TsScrollBar* HSBar = nullptr;
    // The border style without a skin: the one the control had when it was made or loaded. A new
    // skin takes the native edge away (bsNone) and the skin's removal gives this one back.
    TBorderStyle SavedBorderStyle = bsSingle;

    // The frame's thickness while skinned.
    int FrameWidth() const { return BorderWidth() + 3; }
    // Makes, fills, shows, hides or frees the skinned bars by the native ones; harmless without
    // a window or a skin.
    void RefreshScrolls();
    // Places the bars that are flagged inside the tree's frame.
    void RefreshScrollBounds(bool Vertical, bool Horizontal);
    void OnVSBChange(TObject* Sender, int OldValue);
    void OnHSBChange(TObject* Sender, int OldValue);
    // The frame of the current look (hot while focused or under the mouse) into the cache.
    void PrepareCache();
    // The frame from the cache into DC (0: the window's own DC), with the square between two shown
    // bars; nothing while the tree or its parent is updating.
    void PaintFrame(HDC DC = nullptr);
    // The square between two shown bars from the cache into DC (0: the window's own), over the
    // corner that the native control draws with its bars.
    void PaintCorner(HDC DC = nullptr);
    // The node of a native item record: its lParam with TVIF_PARAM, else found by its handle.
    TTreeNode* GetNodeFromItem(const TVITEMA& Item);
    // The node on visible row Index (rows of the nodes whose ancestors are all expanded), or null.
    TTreeNode* VisibleNode(int Index) const;

    // The published properties in their saved order: the tree view's own (Left ... TabOrder,
    // Items.Data), then BoundLabel.* and SkinData.*. Values equal to their defaults are left out.
    // What the skin sets (colours, the border style) is written as it is without the skin, so a
    // stream does not depend on the skin.
    void WriteProperties(TWriter& Writer) override;
    // Only the nodes (Items.Data) are taken from a stream; everything else is skipped.
    bool ReadProperty(TReader& Reader, const AnsiString& PropPath) override;

protected:
    // Right to left, the native vertical bar lies at the left, where the skinned one covers it.
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;

private:
    void BiDiModeChanged();
    // A refresh once the messages waiting now are handled (item insertions come in bursts); the
    // end of a batch (drawing allowed again) refreshes at once and makes a waiting one needless.
    void PostRefreshScrolls();
    // One native bar's need of a skinned bar, and the bar filled from it.
    bool Needed(int Kind, SCROLLINFO& Info);
    void RefreshBar(TsScrollBar*& Bar, TScrollBarKind Kind, bool Need, const SCROLLINFO& Info);
    // The vertical bar moved beyond what the thumb message carries.
    void OnVSBPosition(TObject* Sender, int Position);
    // Colour and font colour from the section (unless custom) or back to the window's.
    void ApplySkinColors();
    void RestoreColors();
    // The window made again for a new border style, or its frame measured again when the style
    // stays: the nodes, their expansion, the selection and the top row are kept.
    void ChangeFrame(TBorderStyle Style);
    // The frame follows a change of the look (focus, mouse).
    void LookChanged();
    void NCCalcSize(TMessage& Message);
    // A refresh is posted and not yet done.
    bool FRefreshPosted = false;
    // The border style was set by a skin (written as SavedBorderStyle).
    bool FSkinBorder = false;
};
