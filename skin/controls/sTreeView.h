// The skinned tree view: the framework tree view with its skin state (SkinData, section "EDIT")
// and bound caption label, streamed with the skinned control's published properties. While a
// skin is active its native scroll bars are covered by skinned bars that it keeps in step.
#pragma once

#include "ComCtrlsTree.h"
#include "sCommonData.h"
#include "sScrollBar.h"

class TsTreeView : public TsSkinnedBound<TTreeView> {
    VCL_CLASS(TsTreeView, TsSkinnedBound<TTreeView>)
public:
    explicit TsTreeView(TComponent* AOwner);
    void Loaded() override;
    void WndProc(TMessage& Message) override;

    // The skinned bars (siblings on the tree's parent), or null.
    TsScrollBar* VSBar = nullptr;
    TsScrollBar* HSBar = nullptr;
    // Makes, fills, shows, hides or frees the skinned bars by the native ones; harmless without
    // a window or a skin.
    void RefreshScrolls();
    // Places the bars that are flagged inside the tree's frame.
    void RefreshScrollBounds(bool Vertical, bool Horizontal);
    void OnVSBChange(TObject* Sender, int OldValue);
    void OnHSBChange(TObject* Sender, int OldValue);

    // The published properties in their saved order: the tree view's own (Left ... TabOrder,
    // Items.Data), then BoundLabel.* and SkinData.*. Values equal to their defaults are left out.
    void WriteProperties(TWriter& Writer) override;
    // Only the nodes (Items.Data) are taken from a stream; everything else is skipped.
    bool ReadProperty(TReader& Reader, const AnsiString& PropPath) override;

private:
    // A refresh once the messages waiting now are handled (item insertions come in bursts).
    void PostRefreshScrolls();
    // One native bar's need of a skinned bar, and the bar filled from it.
    bool Needed(int Kind, SCROLLINFO& Info);
    void RefreshBar(TsScrollBar*& Bar, TScrollBarKind Kind, bool Need, const SCROLLINFO& Info);
    bool FRefreshPosted = false;
};
