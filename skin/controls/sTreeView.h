// The skinned tree view: the framework tree view with its skin state (SkinData, section "EDIT")
// and bound caption label, streamed with the skinned control's published properties.
#pragma once

#include "ComCtrlsTree.h"
#include "sCommonData.h"

class TsTreeView : public TsSkinnedBound<TTreeView> {
    VCL_CLASS(TsTreeView, TsSkinnedBound<TTreeView>)
public:
    explicit TsTreeView(TComponent* AOwner);

    // The 3-D look flags of the framework control: streamed, no effect on the window.
    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool Value)
    {
        FCtl3D = Value;
        FParentCtl3D = false;
    }
    bool ParentCtl3D() const { return FParentCtl3D; }
    void SetParentCtl3D(bool Value) { FParentCtl3D = Value; }

    // The published properties in their saved order: the tree view's own (Left ... TabOrder,
    // Items.Data), then BoundLabel.* and SkinData.*. Values equal to their defaults are left out.
    void WriteProperties(TWriter& Writer) override;
    // Only the nodes (Items.Data) are taken from a stream; everything else is skipped.
    bool ReadProperty(TReader& Reader, const AnsiString& PropPath) override;

private:
    bool FCtl3D = true;
    bool FParentCtl3D = true;
};
