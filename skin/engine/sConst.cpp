#include "sConst.h"

#include <shellapi.h>

#include <memory>

#include "ImgList.h"

const TsControlBevel aControlBevels[5] = {cbNone, cbRaisedSoft, cbLoweredSoft, cbRaisedHard, cbLoweredHard};

TsControlBevel ControlBevelOf(int Value)
{
    return Value >= 0 && Value <= 4 ? aControlBevels[Value] : cbNone;
}

const TCacheInfo EmptyCI{nullptr, -99, -99, false};

const TScrollCode aScrollCodes[9] = {scLineUp, scLineDown, scPageUp,  scPageDown, scPosition,
                                     scTrack,  scTop,      scBottom,  scEndScroll};

bool StdTransparency = false;
bool FadingForbidden = false;
bool MouseForbidden = false;
bool DrawSkinnedMDIWall = true;
bool DrawSkinnedMDIScrolls = true;
bool AppShowHint = false;
TControl* TempControl = nullptr;
TCustomImageList* LargeShellImages = nullptr;
TCustomImageList* SmallShellImages = nullptr;

namespace {
// The shell image lists live until the program ends.
struct TShellImages {
    std::unique_ptr<TCustomImageList> Large, Small;
    ~TShellImages()
    {
        LargeShellImages = SmallShellImages = nullptr;
    }
} shellImages;

std::unique_ptr<TCustomImageList> SystemImageList(const char* Name, UINT Flags)
{
    SHFILEINFOA info{};
    auto list = std::make_unique<TCustomImageList>(nullptr);
    list->SetName(Name);
    list->SetShareImages(true);
    list->SetHandle(reinterpret_cast<HIMAGELIST>(SHGetFileInfoA("", 0, &info, sizeof(info), Flags)));
    return list;
}
} // namespace

void InitShellImageLists(bool, bool)
{
    if (!shellImages.Large) {
        shellImages.Large = SystemImageList("sShellLargeImages", SHGFI_SYSICONINDEX | SHGFI_SHELLICONSIZE);
        LargeShellImages = shellImages.Large.get();
    }
    if (!shellImages.Small) {
        shellImages.Small = SystemImageList("sShellSmallImages", SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
        SmallShellImages = shellImages.Small.get();
    }
}
