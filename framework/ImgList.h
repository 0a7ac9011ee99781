// The framework's ImgList unit: image lists on the common controls' image lists, with change
// links that tell the controls using a list when its images change.
#pragma once

#include "Classes.h"
#include "Graphics.h"

#include <commctrl.h>

class TCustomImageList;

// A control's subscription to an image list's changes.
class TChangeLink : public TObject {
    VCL_CLASS(TChangeLink, TObject)
public:
    TChangeLink() = default;
    // Unregisters itself from the list it is registered with.
    ~TChangeLink() override;
    TCustomImageList* Sender() const { return sender_; }
    void SetSender(TCustomImageList* Value) { sender_ = Value; }
    virtual void Change();
    TNotifyEvent OnChange;

private:
    TCustomImageList* sender_ = nullptr;
};

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum TImageType { itImage, itMask };

class TCustomImageList : public TComponent {
    VCL_CLASS(TCustomImageList, TComponent)
public:
    explicit TCustomImageList(TComponent* AOwner);
    TCustomImageList(TComponent* AOwner, int Width, int Height);
    ~TCustomImageList() override;
    void Assign(TPersistent* Source) override;

    // The system image list, made on first use. Unless ShareImages is set the list owns it.
    HIMAGELIST Handle();
    void SetHandle(HIMAGELIST Value);
    bool HandleAllocated() const { return handle_ != nullptr; }
    // When set, the handle is not destroyed with the list (wrapping a system image list).
    bool ShareImages() const { return shareImages_; }
    void SetShareImages(bool Value) { shareImages_ = Value; }

    int Count() const;
    int Width() const { return width_; }
    int Height() const { return height_; }
    // A new size empties the list.
    void SetWidth(int Value) { SetSize(Value, height_); }
    void SetHeight(int Value) { SetSize(width_, Value); }
    void SetSize(int AWidth, int AHeight);
    bool Masked() const { return masked_; }
    void SetMasked(bool Value);
    TColor BkColor() const { return bkColor_; }
    void SetBkColor(TColor Value);
    TColor BlendColor() const { return blendColor_; }
    void SetBlendColor(TColor Value) { blendColor_ = Value; }
    TDrawingStyle DrawingStyle() const { return drawingStyle_; }
    void SetDrawingStyle(TDrawingStyle Value) { drawingStyle_ = Value; }
    TImageType ImageType() const { return imageType_; }
    void SetImageType(TImageType Value) { imageType_ = Value; }
    int AllocBy() const { return allocBy_; }
    void SetAllocBy(int Value) { allocBy_ = Value > 0 ? Value : 1; }

    // Adding returns the index of the first new image (a bitmap wider than the list holds
    // several); a failure raises EInvalidOperation. The given bitmaps are not changed.
    int Add(TBitmap* Image, TBitmap* Mask);
    int AddMasked(TBitmap* Image, TColor MaskColor);
    int AddIcon(TIcon* Image);
    void Replace(int Index, TBitmap* Image, TBitmap* Mask);
    void ReplaceMasked(int Index, TBitmap* NewImage, TColor MaskColor);
    void ReplaceIcon(int Index, TIcon* Image);
    void Delete(int Index);
    void Clear();

    // Draws an image; a disabled one is drawn embossed in the highlight and shadow colours.
    void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true);
    void Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle Style, TImageType Type, bool Enabled = true);
    // Sizes Image to the list's image size and draws the image into it.
    void GetBitmap(int Index, TBitmap* Image);
    void GetIcon(int Index, TIcon* Image);

    void RegisterChanges(TChangeLink* Value);
    void UnRegisterChanges(TChangeLink* Value);
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();

    TNotifyEvent OnChange;

protected:
    virtual void Change();

private:
    void CheckIndex(int Index) const;
    void FreeHandle();
    void CreateList();

    HIMAGELIST handle_ = nullptr;
    bool shareImages_ = false;
    int width_ = 16, height_ = 16;
    bool masked_ = true;
    TColor bkColor_ = clNone;
    TColor blendColor_ = clNone;
    TDrawingStyle drawingStyle_ = dsNormal;
    TImageType imageType_ = itImage;
    int allocBy_ = 4;
    int updateCount_ = 0;
    bool changed_ = false;
    std::vector<TChangeLink*> links_;
};

// One image-list property of a component: the list, the change link registered with it and the
// free notification between the list and the component. The component forwards its opRemove
// notifications to Removed(). Going away, the link leaves the list it is attached to.
class TImageListLink {
public:
    TImageListLink(TComponent* AOwner, TNotifyEvent OnChange);
    ~TImageListLink();
    TImageListLink(const TImageListLink&) = delete;
    TImageListLink& operator=(const TImageListLink&) = delete;

    TCustomImageList* List() const { return list_; }
    // Moves the change link and the free notification to Value; false when Value is the list.
    bool Set(TCustomImageList* Value);
    // Forgets the list when AComponent is it (the list is being removed); true if it was.
    bool Removed(TComponent* AComponent);
    // The list's system image list, or null without a list.
    HIMAGELIST Handle() const { return list_ ? list_->Handle() : nullptr; }

private:
    TComponent* owner_ = nullptr;
    TCustomImageList* list_ = nullptr;
    TChangeLink link_;
};

class TImageList : public TCustomImageList {
    VCL_CLASS(TImageList, TCustomImageList)
public:
    using TCustomImageList::TCustomImageList;
};
