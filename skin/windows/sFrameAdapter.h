// The frame adapter: placed on a frame, it skins the frame, which has no skinned class of its own.
// It gives the frame a skin state (section "GROUPBOX", control-type code 226), takes over the
// frame's window procedure, paints the frame's background from the skin into a cache that the
// frame's children paint over, answers the library message for the frame, scrolls the frame's
// content itself through skinned bars lying over the frame's edges while a skin is active, and
// hooks the frame's pop-up menus into the skinned menu painter.
#pragma once

#include <memory>

#include "Classes.h"
#include "Forms.h"
#include "SubclassWindow.h"
#include "sCommonData.h"
#include "sScrollBar.h"

class TsFrameAdapter : public TComponent {
    VCL_CLASS(TsFrameAdapter, TComponent)
public:
    // The owner must be the frame to skin; any other owner gets the error box and nothing is
    // handled.
    explicit TsFrameAdapter(TComponent* AOwner);
    ~TsFrameAdapter() override;
    void AfterConstruction() override;
    // The frame's window procedure given back while the frame is whole.
    void BeforeDestruction() override;
    void Loaded() override;

    TsCommonData* SkinData() const { return FCommonData.get(); }

    // Set while the adapter itself scrolls the frame's content.
    Byte Scrolling = 0;
    // The visibility the frame's own bars had when the adapter came (a hidden one never gets a
    // skinned bar).
    Byte SavedVertVisible = 0;
    Byte SavedHorzVisible = 0;
    // The handled frame, or null.
    TCustomFrame* Frame = nullptr;
    // The skinned bars on the frame's parent (owned by the adapter), made when first needed;
    // their positions are how far the content is scrolled.
    TsScrollBar* VertBar = nullptr;
    TsScrollBar* HorzBar = nullptr;
    // The frame's procedure below the take-over.
    void OldWndProc(TMessage& Message) { FHook.CallDefault(Message); }

    // The frame answers AC_ISSKINNED (the take-over is in place).
    bool FrameHandled();
    void DoHook() {}
    void NewWndProc(TMessage& Message);
    void OurPaintHandler(TMessage& Message);
    // The cache: the section's background and border at the frame's place, when it changed.
    void PaintAll();
    // The skinned bars made, filled and placed from the content, or hidden with the content
    // back in place.
    void RefreshScrolls();
    TsScrollInfo GetVScrollInfo();
    TsScrollInfo GetHScrollInfo();
    // The content reaches past the client area in that direction (counting the room the other
    // direction's bar takes).
    bool ScrollBarVisible(TScrollBarKind Kind);
    // The content back to offset 0 in that direction and its bar hidden.
    void ClearOffset(TScrollBarKind Kind);
    void OnVSBChange(TObject* Sender, int OldValue);
    void OnHSBChange(TObject* Sender, int OldValue);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    bool Skinned();
    void SkinCommand(TMessage& Message);
    void SkinnedMessage(TMessage& Message);
    // The frame's pop-up menus into the skinned menu painter.
    void HookPopups();
    // The frame's own bars hidden while the skin scrolls the content, and shown again as they
    // were when it goes.
    void HideOwnBars();
    void ShowOwnBars();
    // The content's extent in that direction as it lies unscrolled.
    int ContentRange(TScrollBarKind Kind);
    // The content moved by (Dx, Dy): windowed children in one call, graphic ones by their bounds.
    void MoveContent(TsScrollBar* Bar, int Dx, int Dy);
    void ToChildren(WORD Command, WORD Argument);

    std::unique_ptr<TsCommonData> FCommonData;
    // The take-over of the frame's window procedure; other take-overs of the frame may come and go
    // in any order.
    TWindowProcHook FHook;
    bool FOwnBarsHidden = false;
};
