// Image lists over the common controls' image lists.
#include "ImgList.h"

#include <algorithm>
#include <utility>

namespace {

COLORREF ListColor(TColor c)
{
    if (c == clNone)
        return CLR_NONE;
    if (c == clDefault)
        return CLR_DEFAULT;
    return static_cast<COLORREF>(ColorToRGB(c));
}

// A private copy of a bitmap (the system may change or select the bitmaps it is given).
std::unique_ptr<TBitmap> CopyOf(TBitmap* b)
{
    auto c = std::make_unique<TBitmap>();
    c->Assign(b);
    return c;
}

} // namespace

TChangeLink::~TChangeLink()
{
    if (sender_)
        sender_->UnRegisterChanges(this);
}

void TChangeLink::Change()
{
    if (OnChange)
        OnChange(sender_);
}

TImageListLink::TImageListLink(TComponent* AOwner, TNotifyEvent OnChange) : owner_(AOwner)
{
    link_.OnChange = std::move(OnChange);
}

TImageListLink::~TImageListLink() { Set(nullptr); }

bool TImageListLink::Set(TCustomImageList* Value)
{
    if (list_ == Value)
        return false;
    if (list_) {
        list_->UnRegisterChanges(&link_);
        list_->RemoveFreeNotification(owner_);
    }
    list_ = Value;
    if (Value) {
        Value->RegisterChanges(&link_);
        Value->FreeNotification(owner_);
    }
    return true;
}

bool TImageListLink::Removed(TComponent* AComponent)
{
    if (!list_ || AComponent != list_)
        return false;
    list_ = nullptr;
    return true;
}

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomImageList::TCustomImageList(TComponent* AOwner, int Width, int Height)
    : TComponent(AOwner), width_(Width), height_(Height)
{
}

TCustomImageList::~TCustomImageList()
{
    for (TChangeLink* l : links_)
        l->SetSender(nullptr);
    links_.clear();
    FreeHandle();
}

void TCustomImageList::FreeHandle()
{
    if (handle_ && !shareImages_)
        ImageList_Destroy(handle_);
    handle_ = nullptr;
}

void TCustomImageList::CreateList()
{
    UINT flags = ILC_COLOR24 | (masked_ ? ILC_MASK : 0);
    handle_ = ImageList_Create(width_, height_, flags, allocBy_, allocBy_);
    if (!handle_)
        throw EInvalidOperation("Unable to create the image list");
    shareImages_ = false;
    ImageList_SetBkColor(handle_, ListColor(bkColor_));
}

HIMAGELIST TCustomImageList::Handle()
{
    if (!handle_)
        CreateList();
    return handle_;
}

void TCustomImageList::SetHandle(HIMAGELIST Value)
{
    if (Value == handle_)
        return;
    FreeHandle();
    handle_ = Value;
    if (Value) {
        int cx = 0, cy = 0;
        if (ImageList_GetIconSize(Value, &cx, &cy)) {
            width_ = cx;
            height_ = cy;
        }
        COLORREF bk = ImageList_GetBkColor(Value);
        bkColor_ = bk == CLR_NONE ? clNone : static_cast<TColor>(bk);
    }
    Change();
}

void TCustomImageList::Assign(TPersistent* Source)
{
    if (auto* src = dynamic_cast<TCustomImageList*>(Source)) {
        if (src == this)
            return;
        FreeHandle();
        width_ = src->width_;
        height_ = src->height_;
        masked_ = src->masked_;
        bkColor_ = src->bkColor_;
        blendColor_ = src->blendColor_;
        drawingStyle_ = src->drawingStyle_;
        imageType_ = src->imageType_;
        allocBy_ = src->allocBy_;
        shareImages_ = false;
        if (src->handle_)
            handle_ = ImageList_Duplicate(src->handle_);
        Change();
        return;
    }
    inherited::Assign(Source);
}

int TCustomImageList::Count() const { return handle_ ? ImageList_GetImageCount(handle_) : 0; }

void TCustomImageList::SetSize(int AWidth, int AHeight)
{
    if (AWidth <= 0 || AHeight <= 0 || (AWidth == width_ && AHeight == height_))
        return;
    width_ = AWidth;
    height_ = AHeight;
    if (handle_ && !shareImages_)
        ImageList_SetIconSize(handle_, width_, height_); // removes every image
    else
        handle_ = nullptr; // a shared list is left as it is
    Change();
}

void TCustomImageList::SetMasked(bool Value)
{
    if (Value == masked_)
        return;
    masked_ = Value;
    if (handle_ && !shareImages_) { // the flag is fixed at creation: recreate, empty
        FreeHandle();
        Change();
    }
}

void TCustomImageList::SetBkColor(TColor Value)
{
    bkColor_ = Value;
    if (handle_)
        ImageList_SetBkColor(handle_, ListColor(Value));
    Change();
}

void TCustomImageList::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EInvalidOperation("Invalid ImageList Index");
}

int TCustomImageList::Add(TBitmap* Image, TBitmap* Mask)
{
    if (!Image)
        throw EInvalidOperation("Unable to insert an image");
    auto img = CopyOf(Image);
    std::unique_ptr<TBitmap> mask;
    if (Mask) {
        mask = CopyOf(Mask);
        mask->SetPixelFormat(pf1bit);
    }
    int index = ImageList_Add(Handle(), img->Handle(), mask ? mask->Handle() : nullptr);
    if (index < 0)
        throw EInvalidOperation("Unable to insert an image");
    Change();
    return index;
}

int TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor)
{
    if (!Image)
        throw EInvalidOperation("Unable to insert an image");
    auto img = CopyOf(Image);
    int index = ImageList_AddMasked(Handle(), img->Handle(), static_cast<COLORREF>(ColorToRGB(MaskColor)));
    if (index < 0)
        throw EInvalidOperation("Unable to insert an image");
    Change();
    return index;
}

int TCustomImageList::AddIcon(TIcon* Image)
{
    if (!Image || !Image->Handle())
        throw EInvalidOperation("Unable to insert an image");
    int index = ImageList_ReplaceIcon(Handle(), -1, Image->Handle());
    if (index < 0)
        throw EInvalidOperation("Unable to insert an image");
    Change();
    return index;
}

void TCustomImageList::Replace(int Index, TBitmap* Image, TBitmap* Mask)
{
    CheckIndex(Index);
    if (!Image)
        throw EInvalidOperation("Unable to replace an image");
    auto img = CopyOf(Image);
    std::unique_ptr<TBitmap> mask;
    if (Mask) {
        mask = CopyOf(Mask);
        mask->SetPixelFormat(pf1bit);
    }
    if (!ImageList_Replace(handle_, Index, img->Handle(), mask ? mask->Handle() : nullptr))
        throw EInvalidOperation("Unable to replace an image");
    Change();
}

void TCustomImageList::ReplaceMasked(int Index, TBitmap* NewImage, TColor MaskColor)
{
    CheckIndex(Index);
    if (!NewImage)
        throw EInvalidOperation("Unable to replace an image");
    BeginUpdate();
    try {
        int first = Count();
        int temp = AddMasked(NewImage, MaskColor);
        ImageList_Copy(handle_, Index, handle_, temp, ILCF_MOVE);
        while (Count() > first)
            ImageList_Remove(handle_, Count() - 1);
    } catch (...) {
        EndUpdate();
        throw;
    }
    Change();
    EndUpdate();
}

void TCustomImageList::ReplaceIcon(int Index, TIcon* Image)
{
    CheckIndex(Index);
    if (!Image || !Image->Handle() || ImageList_ReplaceIcon(handle_, Index, Image->Handle()) < 0)
        throw EInvalidOperation("Unable to replace an image");
    Change();
}

void TCustomImageList::Delete(int Index)
{
    CheckIndex(Index);
    ImageList_Remove(handle_, Index);
    Change();
}

void TCustomImageList::Clear()
{
    if (handle_)
        ImageList_Remove(handle_, -1);
    Change();
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled)
{
    Draw(Canvas, X, Y, Index, drawingStyle_, imageType_, Enabled);
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle Style, TImageType Type, bool Enabled)
{
    if (!Canvas || !handle_ || Index < 0 || Index >= Count())
        return;
    static constexpr UINT styles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
    UINT flags = styles[Style] | (Type == itMask ? ILD_MASK : 0);
    Canvas->Changing();
    HDC dc = Canvas->Handle();
    if (Enabled) {
        ImageList_DrawEx(handle_, Index, dc, X, Y, 0, 0, ListColor(bkColor_), ListColor(blendColor_), flags);
    } else {
        // Every pixel of the image that is not white becomes part of a monochrome shape, which
        // is painted in the highlight colour one pixel down and right, then in the shadow colour.
        // The mask's colour table (0 white, 1 black) agrees with the text and background colours
        // set below, so the shape bits (0) select the brush either way the system reads them.
        TBitmap colour(width_, height_);
        ImageList_DrawEx(handle_, Index, colour.Canvas()->Handle(), 0, 0, 0, 0, CLR_DEFAULT, 0, ILD_NORMAL);
        colour.Dormant();
        TBitmap mono(width_, height_, pf1bit);
        mono.SetColorTable({RGBQUAD{255, 255, 255, 0}, RGBQUAD{0, 0, 0, 0}});
        for (int y = 0; y < height_; ++y) {
            const Byte* src = static_cast<const Byte*>(colour.ScanLine(y));
            Byte* dst = static_cast<Byte*>(mono.ScanLine(y));
            for (int x = 0; x < width_; ++x, src += 3) {
                Byte bit = static_cast<Byte>(0x80 >> (x & 7));
                if (src[0] == 255 && src[1] == 255 && src[2] == 255)
                    dst[x >> 3] |= bit;
                else
                    dst[x >> 3] &= static_cast<Byte>(~bit);
            }
        }
        HDC monoDC = mono.Canvas()->Handle();
        constexpr DWORD ropDSPDxax = 0x00E20746;
        COLORREF oldText = SetTextColor(dc, RGB(255, 255, 255));
        COLORREF oldBk = ::SetBkColor(dc, RGB(0, 0, 0));
        TGdiHandle<HBRUSH> light(CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(clBtnHighlight))));
        TGdiHandle<HBRUSH> shadow(CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(clBtnShadow))));
        HGDIOBJ oldBrush = SelectObject(dc, light.Get());
        BitBlt(dc, X + 1, Y + 1, width_, height_, monoDC, 0, 0, ropDSPDxax);
        SelectObject(dc, shadow.Get());
        BitBlt(dc, X, Y, width_, height_, monoDC, 0, 0, ropDSPDxax);
        SelectObject(dc, oldBrush);
        SetTextColor(dc, oldText);
        ::SetBkColor(dc, oldBk);
        Canvas->Refresh(); // the canvas's own brush is selected again on next use
    }
    Canvas->Changed();
}

void TCustomImageList::GetBitmap(int Index, TBitmap* Image)
{
    if (!Image || !handle_)
        return;
    Image->SetSize(width_, height_);
    Draw(Image->Canvas(), 0, 0, Index);
}

void TCustomImageList::GetIcon(int Index, TIcon* Image)
{
    if (!Image || !handle_ || Index < 0 || Index >= Count())
        return;
    HICON icon = ImageList_GetIcon(handle_, Index, ILD_NORMAL);
    if (icon)
        Image->SetHandle(icon);
}

void TCustomImageList::RegisterChanges(TChangeLink* Value)
{
    if (!Value)
        return;
    if (Value->Sender() && Value->Sender() != this)
        Value->Sender()->UnRegisterChanges(Value);
    Value->SetSender(this);
    if (std::find(links_.begin(), links_.end(), Value) == links_.end())
        links_.push_back(Value);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* Value)
{
    auto it = std::find(links_.begin(), links_.end(), Value);
    if (it != links_.end()) {
        links_.erase(it);
        Value->SetSender(nullptr);
    }
}

void TCustomImageList::EndUpdate()
{
    if (updateCount_ > 0 && --updateCount_ == 0 && changed_) {
        changed_ = false;
        Change();
    }
}

void TCustomImageList::Change()
{
    if (updateCount_ > 0) {
        changed_ = true;
        return;
    }
    std::vector<TChangeLink*> links = links_;
    for (TChangeLink* l : links)
        if (std::find(links_.begin(), links_.end(), l) != links_.end())
            l->Change();
    if (OnChange)
        OnChange(this);
}
