// Collections, the registry and the one-call INI and registry routines.
#include <gtest/gtest.h>

#include "Registry.h"
#include "TestKit.h"
#include "sStoreUtils.h"

namespace {
class TNamed : public TCollectionItem {
    VCL_CLASS(TNamed, TCollectionItem)
public:
    using TCollectionItem::TCollectionItem;
    void Assign(TPersistent* Source) override
    {
        if (auto* s = dynamic_cast<TNamed*>(Source))
            Text = s->Text;
        else
            inherited::Assign(Source);
    }
    AnsiString Text;
};

class TWatched : public TOwnedCollection {
public:
    explicit TWatched(TPersistent* Owner) : TOwnedCollection(Owner, CollectionItemClass<TNamed>()) {}
    std::vector<TCollectionItem*> Updates;
    std::vector<TCollectionNotification> Notes;

protected:
    void Update(TCollectionItem* Item) override { Updates.push_back(Item); }
    void Notify(TCollectionItem*, TCollectionNotification Action) override { Notes.push_back(Action); }
};
} // namespace

TEST(Collections, ItemsAreOwnedCopiedAndReported)
{
    TPersistent owner;
    TWatched c(&owner);
    EXPECT_EQ(c.GetOwner(), &owner);
    auto* a = static_cast<TNamed*>(c.Add());
    a->Text = "a";
    auto* b = static_cast<TNamed*>(c.Insert(0));
    b->Text = "b";
    EXPECT_EQ(c.Count(), 2);
    EXPECT_EQ(a->Index(), 1);
    EXPECT_NE(a->ID(), b->ID());
    EXPECT_EQ(c.Updates.size(), 2u);

    c.BeginUpdate();
    delete b;  // freeing an item takes it out
    c.Delete(0);
    EXPECT_EQ(c.Updates.size(), 2u);
    c.EndUpdate();
    EXPECT_EQ(c.Updates.size(), 3u);
    EXPECT_EQ(c.Count(), 0);
    EXPECT_EQ(testkit::Refusal<EListError>([&] { c.Items(0); }), "List index out of bounds (0)");

    TWatched source(nullptr);
    static_cast<TNamed*>(source.Add())->Text = "x";
    static_cast<TNamed*>(source.Add())->Text = "y";
    c.Assign(&source);
    ASSERT_EQ(c.Count(), 2);
    EXPECT_EQ(static_cast<TNamed*>(c.Items(1))->Text, "y");
    EXPECT_NE(c.Items(1), source.Items(1));

    // Items without their own Assign cannot be copied: the reason names both classes.
    TOwnedCollection plain(nullptr, CollectionItemClass<TCollectionItem>());
    plain.Add();
    TOwnedCollection other(nullptr, CollectionItemClass<TCollectionItem>());
    EXPECT_EQ(testkit::Refusal<EConvertError>([&] { other.Assign(&plain); }),
              "Cannot assign a TCollectionItem to a TCollectionItem");
}

TEST(Registry, IniFileInTheRegistryAndTheStoreRoutines)
{
    const AnsiString key = "Software\\Vellorn.Tests\\Skin";
    {
        TRegIniFile ini(key);
        ini.WriteString("Виды", "Имя", "Тёмный");
        ini.WriteInteger("Виды", "N", -7);
        EXPECT_EQ(ini.ReadString("виды", "имя", "?"), "Тёмный");
        EXPECT_EQ(ini.ReadInteger("Виды", "N", 0), -7);
        EXPECT_EQ(ini.ReadInteger("Виды", "Имя", 3), 3);
        EXPECT_EQ(ini.ReadString("Нет", "Имя", "?"), "?");
        TStringList names;
        ini.ReadSection("Виды", &names);
        EXPECT_EQ(names.Count(), 2);
        ini.EraseSection("Виды");
        EXPECT_EQ(ini.ReadString("Виды", "Имя", "?"), "?");
    }
    // HKEY_LOCAL_MACHINE is writable in the test prefix.
    WriteRegString(key, "Skin", "Dusk");
    EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, key, "Skin"), "Dusk");
    EXPECT_EQ(ReadRegString(HKEY_LOCAL_MACHINE, key, "None"), "");
    TRegistry reg;
    EXPECT_EQ(testkit::Refusal<ERegistryException>([&] { reg.ReadInteger("X"); }), "Failed to get data for 'X'");
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        reg.SetRootKey(root);
        EXPECT_TRUE(reg.DeleteKey("\\Software\\Vellorn.Tests"));
    }
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(reg.KeyExists("\\Software\\Vellorn.Tests"));
}

TEST(StoreUtils, ListsIntegersAndFonts)
{
    testkit::TempDir dir;
    const AnsiString file = dir / "store.ini";
    TStringList list;
    list.SetTextStr("a\r\nb\r\nc\r\n");
    WriteIniStrings("S", "N", file, &list);
    TMemIniFile ini(file);
    EXPECT_EQ(ini.ReadString("S", "NCount", ""), "3");
    EXPECT_EQ(ini.ReadString("S", "NItem2", ""), "c");
    TStringList back;
    back.Add("kept");
    ReadIniStrings(&back, "S", "Other", &ini);  // a count of 0 keeps the list
    EXPECT_EQ(back.GetTextStr(), "kept\r\n");
    ReadIniStrings(&back, "S", "N", &ini);
    EXPECT_EQ(back.GetTextStr(), "a\r\nb\r\nc\r\n");

    ini.WriteString("S", "I1", "12a");
    ini.WriteString("S", "I2", "");
    EXPECT_EQ(ReadIniInteger("S", "I1", 5, &ini), -1);
    EXPECT_EQ(ReadIniInteger("S", "I2", 5, &ini), 5);
    EXPECT_EQ(ReadIniInteger("S", "I1", 5, static_cast<TMemIniFile*>(nullptr)), -1);

    TFont font;
    font.SetName("Tahoma");
    font.SetSize(11);
    font.SetStyle(TFontStyles{fsBold});
    WriteIniFont("F", "Title", &font, &ini);
    EXPECT_EQ(ini.ReadString("F", "Title_Bold", ""), "1");
    TFont read;
    read.SetStyle(TFontStyles{fsItalic});
    ReadIniFont("F", "Title", &read, &ini);
    EXPECT_EQ(read.Name(), "Tahoma");
    EXPECT_EQ(read.Size(), 11);
    EXPECT_TRUE(read.Style() == (TFontStyles{fsBold, fsItalic}));  // styles are added
}
