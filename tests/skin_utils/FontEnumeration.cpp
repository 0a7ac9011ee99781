// The font lists' enumeration: kinds, filters and validation, with the families handed to the
// callback made up here (the system here lists TrueType families only).
#include <gtest/gtest.h>

#include <cstring>

#include "sFontCtrls.h"

namespace {
int Offer(TFontEnumeration& E, const char* Name, DWORD Type)
{
    LOGFONTA lf{};
    std::strncpy(lf.lfFaceName, Name, LF_FACESIZE - 1);
    return FontEnumProc(&lf, nullptr, Type, reinterpret_cast<LPARAM>(&E));
}
} // namespace

TEST(FontEnumeration, KindsFiltersAndRejectionsKeepNoFamilyThatIsNotListed)
{
    const int live = TFontClass::LiveCount();
    {
        TFontStrList list;
        TFontEnumeration all{&list, nullptr, {ShowTrueType, ShowPostScript, ShowRaster}, {}};
        const struct {
            const char* Name;
            DWORD Type;
            FontTypes Kind;
        } kinds[] = {{"Raster", RASTER_FONTTYPE, RASTER}, {"Device", DEVICE_FONTTYPE, PS},
                     {"True", TRUETYPE_FONTTYPE, TTF},     {"None", 0, UNKNOWN},
                     {"Odd", 8, UNKNOWN}};
        for (const auto& k : kinds)
            EXPECT_EQ(Offer(all, k.Name, k.Type), 1);
        ASSERT_EQ(list.Count(), 5);
        for (const auto& k : kinds) {
            const int i = list.IndexOf(k.Name);
            ASSERT_GE(i, 0) << k.Name;
            EXPECT_EQ(list.Font(i)->FntType, k.Kind) << k.Name;
            EXPECT_EQ(list.Font(i)->FontName, k.Name);
        }
        EXPECT_EQ(list.Get(0), "Device") << "sorted by name";
        Offer(all, "True", RASTER_FONTTYPE);
        EXPECT_EQ(list.Font(list.IndexOf("True"))->FntType, TTF) << "a name listed keeps its first family";

        // No filter: the unknown kinds only. A validation that refuses takes the family out.
        TFontStrList some;
        TObject sender;
        TObject* seen = nullptr;
        TFontEnumeration none{&some, &sender, {}, [&](TObject* s, TFontClass* f, bool& accept) {
                                  seen = s;
                                  accept = f->FontName != "Refused";
                              }};
        for (const auto& k : kinds)
            Offer(none, k.Name, k.Type);
        Offer(none, "Refused", 0);
        EXPECT_EQ(some.CommaText(), "None,Odd");
        EXPECT_EQ(seen, &sender);
        // A family handed over again (another character set) adds nothing, unless its kind passes
        // the filter that the first did not.
        TFontStrList repeated;
        TFontEnumeration trueType{&repeated, nullptr, {ShowTrueType}, {}};
        for (DWORD type : {RASTER_FONTTYPE, RASTER_FONTTYPE, TRUETYPE_FONTTYPE, TRUETYPE_FONTTYPE})
            Offer(trueType, "Mixed", type);
        ASSERT_EQ(repeated.CommaText(), "Mixed");
        EXPECT_EQ(repeated.Font(0)->FntType, TTF);
        EXPECT_EQ(TFontClass::LiveCount(), live + list.Count() + some.Count() + repeated.Count());
    }
    EXPECT_EQ(TFontClass::LiveCount(), live) << "the lists free their families";
}

TEST(FontEnumeration, TheScreensFamiliesAreListed)
{
    TFontStrList list;
    TFontEnumeration e{&list, nullptr, {ShowTrueType}, {}};
    EnumerateFonts(e);
    ASSERT_GT(list.Count(), 0);
    for (int i = 0; i < list.Count(); ++i)
        EXPECT_EQ(list.Font(i)->FntType, TTF) << list.Get(i);
    const int first = list.Count();
    EnumerateFonts(e);
    EXPECT_EQ(list.Count(), first) << "a second enumeration starts from an empty list";
}
