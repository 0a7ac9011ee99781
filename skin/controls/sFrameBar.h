// The frame bar: an accordion side bar on the skinned scroll box. It holds a vertical list of
// titles (skinned buttons); an open title shows a frame under it, made on demand by the item's
// OnCreateFrame (or a default frame with a red notice), sliding open and closed in 12 steps and
// destroyed when closed unless the item's OnFrameDestroy keeps it.
#pragma once

#include <memory>

#include "Forms.h"
#include "sScrollBox.h"
#include "sSpeedButton.h"

class TCustomImageList;
class TsFrameBar;
class TsTitleItem;

// Sender is the item; a handler sets Frame to the frame it made.
using TCreateFrameEvent = TMethod<void(TObject* Sender, TCustomFrame*& Frame)>;
// Sender is the bar; a handler clears CanDestroy to keep the frame.
using TFrameDestroyEvent = TMethod<void(TObject* Sender, TCustomFrame*& Frame, bool& CanDestroy)>;

namespace sFrameBar {

// The title of an item (section "BARTITLE"): drawn hot while its item is open.
class TsTitleButton : public TsSpeedButton {
    VCL_CLASS(TsTitleButton, TsSpeedButton)
public:
    TsTitleButton(TsFrameBar* Bar, int Index);
    int CurrentState() override;
    bool Active = false;
};

} // namespace sFrameBar

class TsTitles : public TCollection {
    VCL_CLASS(TsTitles, TCollection)
public:
    explicit TsTitles(TsFrameBar* Owner);
    TPersistent* GetOwner() const override;
    TsTitleItem* Items(int Index) const;
    void SetItem(int Index, TsTitleItem* Value);
    TsTitleItem* Add();
    TsFrameBar* FrameBar = nullptr;
};

class TsTitleItem : public TCollectionItem {
    VCL_CLASS(TsTitleItem, TCollectionItem)
public:
    enum : Byte { stClosed, stOpen, stClosing, stOpening };

    explicit TsTitleItem(TCollection* Collection);
    ~TsTitleItem() override;

    const AnsiString& Caption() const { return FCaption; }
    void SetCaption(const AnsiString& Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    AnsiString SkinSection() const;
    void SetSkinSection(const AnsiString& Value);
    // The click on the title: OnClick, then the item opens (closing the others unless
    // AllowAllOpen) or, with AllowAllClose, closes.
    void TitleButtonClick(TObject* Sender);

    TsTitles* Titles = nullptr;
    TCreateFrameEvent OnCreateFrame;
    TFrameDestroyEvent OnFrameDestroy;
    TNotifyEvent OnClick;
    sFrameBar::TsTitleButton* TitleButton = nullptr; // owned (component owner: the bar)
    TCustomFrame* Frame = nullptr;
    Byte State = stClosed;
    // The frame's full height; 0 takes the frame's own height.
    int FrameSize = 0;

private:
    AnsiString FCaption;
    bool FVisible = true;
    int FImageIndex = -1;
    // Cleared when the item goes, so that code after its OnClick can tell.
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

class TsFrameBar : public TsScrollBox {
    VCL_CLASS(TsFrameBar, TsScrollBox)
public:
    explicit TsFrameBar(TComponent* AOwner);
    ~TsFrameBar() override;
    void WndProc(TMessage& Message) override;

    TsTitles* Items() const { return FItems.get(); }
    void SetItems(TsTitles* Value) { FItems->Assign(Value); }
    int TitleHeight() const { return FTitleHeight; }
    void SetTitleHeight(int Value);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    bool Animation = true;
    bool AllowAllClose = false;
    bool AllowAllOpen = false;
    // Set while titles are laid out or widths updated.
    bool Arranging = false;
    bool VScrollShown = false;

    void OpenItem(int Index, bool Animated);
    void CloseItem(int Index, bool Animated);
    // The item's frame gets that full height and opens.
    void ChangeSize(int Index, bool Animated, int Height);
    void ExpandAll(bool Animated);
    void CollapseAll(bool Animated);
    // Lays out titles and frames; moving frames slide in 12 passes while animated.
    void ArrangeTitles();
    void UpdateWidths();
    // How far the content is scrolled: the skinned bar's position, or the native one unskinned.
    int Offset();
    TRect CalcClientRect();
    // Makes the item's frame when missing and places it; false when there is none.
    bool UpdateFrame(int Index, int Top, int Height, int Width);
    TCustomFrame* CreateDefaultFrame();
    // The layout's full height: titles, open frames, gaps and margins.
    int ContentHeight() const { return FContentHeight; }
    // Being destroyed: its items free nothing and lay out nothing.
    bool Going() const { return FGoing || ComponentState().Contains(csDestroying); }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    // Lays out at once (no animation) for a changed setting or a call that asks for it.
    void ArrangeInstantly(bool Instantly);
    void DestroyFrame(TsTitleItem* Item);
    bool VBarShown();

    std::unique_ptr<TsTitles> FItems;
    int FTitleHeight = 28;
    int FBorderWidth = 2;
    int FSpacing = 2;
    int FContentHeight = 0;
    TCustomImageList* FImages = nullptr;
    bool FGoing = false;
    // Cleared when the bar goes: a layout pumps messages, which may free the bar or its form.
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};
