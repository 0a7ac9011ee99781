// Loading skins into the process-wide tables for the tests, and leaving the tables empty after.
#pragma once

#include <memory>

#include <gtest/gtest.h>

#include "TestKit.h"
#include "sMaskData.h"
#include "sStyleSimply.h"

// The folder of a shipped skin / of a test skin, with a trailing backslash.
inline AnsiString ShippedSkin(const char* Name)
{
    return testkit::DataDir() + "..\\..\\app\\defaults\\Skins\\" + Name + "\\";
}
inline AnsiString TestSkin(const char* Name)
{
    return testkit::DataDir() + "skins\\" + Name + "\\";
}

// Runs the three loaders over an options file held in memory (its images from Folder).
inline void LoadSkinText(const AnsiString& Text, const AnsiString& Folder)
{
    auto ini = std::make_unique<TMemIniFile>(AnsiString());
    TStringList lines;
    lines.SetTextStr(Text);
    ini->SetStrings(&lines);
    sSkinData->SkinFile = std::move(ini);
    sSkinData->SkinPath = Folder;
    LoadAllMasks();
    LoadAllPatterns();
    LoadAllGeneralData();
}

// Loads a skin folder as the manager does and makes it the active skin.
inline void LoadSkinFolder(const AnsiString& Folder)
{
    sSkinData->SkinFile = std::make_unique<TMemIniFile>(Folder + "Options.dat");
    sSkinData->SkinPath = Folder;
    LoadAllMasks();
    LoadAllPatterns();
    LoadAllGeneralData();
    sSkinData->Active = true;
    InitConstantIndexes();
}

// Every test starts and ends with no skin.
class SkinTest : public ::testing::Test {
protected:
    void SetUp() override { Clear(); }
    void TearDown() override { Clear(); }
    static void Clear()
    {
        FreeBitmaps();
        FreeJpegs();
        gd.clear();
        sSkinData->SkinFile.reset();
        sSkinData->SkinPath.clear();
        sSkinData->Active = false;
    }
    static const TsGeneralData& Section(const char* Name)
    {
        const int i = GetSkinIndex(Name);
        EXPECT_GE(i, 0) << Name;
        return gd.at(static_cast<std::size_t>(i < 0 ? 0 : i));
    }
    static const TsMaskData* Mask(const char* Section, const char* Property)
    {
        const int i = GetMaskIndex(GetSkinIndex(Section), Section, Property);
        return i < 0 ? nullptr : &ma[static_cast<std::size_t>(i)];
    }
};
