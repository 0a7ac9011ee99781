#include <gtest/gtest.h>

#include "TestKit.h"

#include "ImgList.h"

namespace {

struct ListPtr {
    TImageList* p = Create<TImageList>(nullptr);
    ~ListPtr()
    {
        if (p)
            p->Free();
    }
    TImageList* operator->() const { return p; }
};

// Two 16x16 images side by side: a red (key) background with a blue square, then a green one.
void Strip(TBitmap& b)
{
    b.SetSize(32, 16);
    b.Canvas()->Brush()->SetColor(clRed);
    b.Canvas()->FillRect(RECT{0, 0, 32, 16});
    b.Canvas()->Brush()->SetColor(clBlue);
    b.Canvas()->FillRect(RECT{4, 4, 12, 12});
    b.Canvas()->Brush()->SetColor(clLime);
    b.Canvas()->FillRect(RECT{20, 4, 28, 12});
}

} // namespace

TEST(ImageList, AddMaskedDrawsWithoutTheKeyColour)
{
    ListPtr list;
    EXPECT_EQ(list->Width(), 16);
    EXPECT_EQ(list->Count(), 0);
    TBitmap strip;
    Strip(strip);
    EXPECT_EQ(list->AddMasked(&strip, clRed), 0);
    EXPECT_EQ(list->Count(), 2);
    EXPECT_EQ(strip.Canvas()->Pixels(0, 0), clRed) << "the given bitmap is left alone";

    TBitmap target(40, 20);
    list->Draw(target.Canvas(), 0, 0, 0);
    list->Draw(target.Canvas(), 20, 0, 1);
    EXPECT_EQ(target.Canvas()->Pixels(1, 1), clWhite) << "key pixels are transparent";
    EXPECT_EQ(target.Canvas()->Pixels(8, 8), clBlue);
    EXPECT_EQ(target.Canvas()->Pixels(28, 8), clLime);

    TBitmap one;
    list->GetBitmap(1, &one);
    EXPECT_EQ(one.Width(), 16);
    EXPECT_EQ(one.Height(), 16);
    EXPECT_EQ(one.Canvas()->Pixels(8, 8), clLime);
}

TEST(ImageList, AddWithAMaskAndIcons)
{
    ListPtr list;
    TBitmap image(16, 16), mask(16, 16);
    image.Canvas()->Brush()->SetColor(clLime);
    image.Canvas()->FillRect(RECT{0, 0, 16, 16});
    mask.Canvas()->Brush()->SetColor(clBlack);
    mask.Canvas()->FillRect(RECT{8, 0, 16, 16}); // left half white: transparent
    EXPECT_EQ(list->Add(&image, &mask), 0);
    TBitmap target(16, 16);
    target.Canvas()->Brush()->SetColor(clBlue);
    target.Canvas()->FillRect(RECT{0, 0, 16, 16});
    list->Draw(target.Canvas(), 0, 0, 0);
    EXPECT_EQ(target.Canvas()->Pixels(2, 8), clBlue);
    EXPECT_EQ(target.Canvas()->Pixels(12, 8), clLime);

    TIcon icon;
    icon.SetHandle(CopyIcon(LoadIconA(nullptr, MAKEINTRESOURCEA(32512))));
    EXPECT_EQ(list->AddIcon(&icon), 1);
    TIcon out;
    list->GetIcon(1, &out);
    EXPECT_FALSE(out.Empty());
    EXPECT_EQ(out.Width(), 16);

    list->Replace(0, &image, nullptr);
    list->ReplaceMasked(1, &image, clRed);
    EXPECT_EQ(list->Count(), 2);
    list->Draw(target.Canvas(), 0, 0, 1);
    EXPECT_EQ(target.Canvas()->Pixels(2, 8), clLime);
    list->Delete(0);
    EXPECT_EQ(list->Count(), 1);
    EXPECT_EQ(testkit::Refusal<EInvalidOperation>([&] { list->Delete(1); }), "Invalid ImageList Index");
    EXPECT_EQ(testkit::Refusal<EInvalidOperation>([&] { list->Replace(-1, &image, nullptr); }), "Invalid ImageList Index");
    list->Draw(target.Canvas(), 0, 0, 7); // an index out of range draws nothing
    list->Clear();
    EXPECT_EQ(list->Count(), 0);
}

TEST(ImageList, DisabledImagesAreEmbossed)
{
    ListPtr list;
    TBitmap strip;
    Strip(strip);
    list->AddMasked(&strip, clRed);
    TBitmap target(20, 20);
    list->Draw(target.Canvas(), 0, 0, 0, false);
    EXPECT_EQ(target.Canvas()->Pixels(8, 8), ColorToRGB(clBtnShadow));
    EXPECT_EQ(target.Canvas()->Pixels(1, 1), clWhite);
    EXPECT_EQ(target.Canvas()->Pixels(12, 12), ColorToRGB(clBtnHighlight)) << "the highlight, offset by one";
    EXPECT_NE(target.Canvas()->Pixels(8, 8), clBlue);
}

TEST(ImageList, ChangeLinksFollowTheList)
{
    auto* list = Create<TImageList>(nullptr);
    TChangeLink link;
    int calls = 0;
    TObject* sender = nullptr;
    link.OnChange = [&](TObject* s) { ++calls; sender = s; };
    list->RegisterChanges(&link);
    EXPECT_EQ(link.Sender(), list);
    TBitmap strip;
    Strip(strip);
    list->AddMasked(&strip, clRed);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(sender, list);
    list->BeginUpdate();
    list->Delete(0);
    list->Delete(0);
    EXPECT_EQ(calls, 1);
    list->EndUpdate();
    EXPECT_EQ(calls, 2) << "one notice after the update";
    {
        TChangeLink shortLived;
        list->RegisterChanges(&shortLived);
    } // unregisters itself
    list->Clear();
    EXPECT_EQ(calls, 3);
    list->Free();
    EXPECT_EQ(link.Sender(), nullptr) << "a freed list lets its links go";
}

// A component's image-list property: it follows one list at a time, hears when the list goes and
// leaves the list when it goes itself.
TEST(ImageList, ListLinkMovesBetweenListsAndLetsGo)
{
    struct Holder : TComponent {
        using TComponent::TComponent;
        TImageListLink Link{this, [this](TObject*) { ++changes; }};
        int changes = 0;
        void Notification(TComponent* AComponent, TOperation Operation) override
        {
            TComponent::Notification(AComponent, Operation);
            if (Operation == opRemove && Link.Removed(AComponent))
                ++removed;
        }
        int removed = 0;
    };
    auto* first = Create<TImageList>(nullptr);
    auto* second = Create<TImageList>(nullptr);
    auto* holder = Create<Holder>(nullptr);
    TBitmap strip;
    Strip(strip);

    EXPECT_TRUE(holder->Link.Set(first));
    EXPECT_FALSE(holder->Link.Set(first)) << "the same list again is no change";
    EXPECT_EQ(holder->Link.Handle(), first->Handle());
    first->AddMasked(&strip, clRed);
    EXPECT_EQ(holder->changes, 1);

    EXPECT_TRUE(holder->Link.Set(second));
    first->AddMasked(&strip, clRed);
    EXPECT_EQ(holder->changes, 1) << "the old list is no longer heard";
    first->Free();
    EXPECT_EQ(holder->removed, 0) << "nor does its going concern the holder";
    EXPECT_EQ(holder->Link.List(), second);

    second->Free();
    EXPECT_EQ(holder->removed, 1);
    EXPECT_EQ(holder->Link.List(), nullptr);
    EXPECT_EQ(holder->Link.Handle(), nullptr);

    auto* third = Create<TImageList>(nullptr);
    holder->Link.Set(third);
    holder->Free();
    third->AddMasked(&strip, clRed); // no link left behind to call into the freed holder
    third->Free();
}

TEST(ImageList, SharedHandlesAreNotDestroyed)
{
    HIMAGELIST system = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 1, 1);
    TBitmap strip;
    Strip(strip);
    ImageList_AddMasked(system, strip.Handle(), RGB(255, 0, 0));
    {
        ListPtr wrap;
        wrap->SetShareImages(true);
        wrap->SetHandle(system);
        EXPECT_EQ(wrap->Count(), 2);
        EXPECT_EQ(wrap->Width(), 16);
    }
    EXPECT_EQ(ImageList_GetImageCount(system), 2) << "still alive";
    ListPtr owner;
    owner->SetHandle(system);
    ListPtr copy;
    copy->Assign(owner.p);
    EXPECT_EQ(copy->Count(), 2);
    EXPECT_NE(copy->Handle(), owner->Handle()) << "a copy has its own images";
    owner->SetSize(24, 24);
    EXPECT_EQ(owner->Count(), 0) << "a new size empties the list";
    EXPECT_EQ(owner->Width(), 24);
}
