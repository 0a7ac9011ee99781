#include <gtest/gtest.h>

#include "System.h"

namespace {

class TAnimal : public TObject {
    VCL_CLASS(TAnimal, TObject)
public:
    void AfterConstruction() override { constructedAs = ClassName(); }
    AnsiString constructedAs;
};

class TCat : public TAnimal {
    VCL_CLASS(TCat, TAnimal)
};

VCL_EXCEPTION(EAnimalError, Exception)

} // namespace

TEST(ObjectModel, ClassNamesAndAncestry)
{
    TCat* cat = Create<TCat>();
    EXPECT_EQ(cat->ClassName(), "TCat");
    EXPECT_EQ(cat->constructedAs, "TCat") << "AfterConstruction sees the most derived class";
    EXPECT_TRUE(cat->ClassNameIs("tcat"));
    EXPECT_TRUE(cat->InheritsFrom(TAnimal::StaticClassInfo()));
    EXPECT_TRUE(cat->InheritsFrom("TObject"));
    EXPECT_FALSE(cat->InheritsFrom("TDog"));
    EXPECT_STREQ(cat->ClassParent()->Name, "TAnimal");
    FreeAndNil(cat);
    EXPECT_EQ(cat, nullptr);
    FreeAndNil(cat); // freeing null is nothing
}

TEST(ObjectModel, ExceptionsCarryTheirMessageAndClass)
{
    try {
        throw EAnimalError("Кот ушёл");
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "Кот ушёл");
        EXPECT_EQ(e.ClassName(), "EAnimalError");
        EXPECT_STREQ(e.what(), "Кот ушёл");
    }
}
