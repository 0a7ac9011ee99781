// Skins made to hurt: copies of Neutral with one hostile change or seeded damage, loaded through
// the manager and painted on a form of skinned controls under a watchdog; and paints that fail,
// which must give back everything they took and be reported once.
#include <gtest/gtest.h>

#include <windows.h>

#include <psapi.h>

#include <map>

#include "../skin_data/SkinFixture.h"
#include "Dialogs.h"
#include "FormsKit.h"
#include "Watchdog.h"
#include "sButton.h"
#include "sCheckBox.h"
#include "sEdit.h"
#include "sMemo.h"
#include "sPanel.h"

using namespace formskit;

namespace {

// A form of the common skinned controls, the memo with both bars.
class THostileForm : public TForm {
    VCL_CLASS(THostileForm, TForm)
public:
    explicit THostileForm(TComponent* AOwner) : TForm(AOwner)
    {
        BeginLoading(this);
        SetBounds(40, 40, 420, 300);
        SetCaption("Hostile");
        Create<TsSkinProvider>(this);
        auto* panel = Create<TsPanel>(this);
        panel->SetBounds(8, 8, 190, 240);
        panel->SetCaption("Panel");
        panel->SetParent(this);
        auto* button = Create<TsButton>(this);
        button->SetBounds(10, 200, 90, 26);
        button->SetCaption("Button");
        button->SetParent(panel);
        auto* check = Create<TsCheckBox>(this);
        check->SetBounds(10, 170, 120, 20);
        check->SetCaption("Check");
        check->SetChecked(true);
        check->SetParent(panel);
        auto* edit = Create<TsEdit>(this);
        edit->SetBounds(210, 8, 180, 22);
        edit->SetText("Edit");
        edit->SetParent(this);
        auto* memo = Create<TsMemo>(this);
        memo->SetBounds(210, 40, 180, 120);
        memo->SetScrollBars(ssBoth);
        memo->SetWordWrap(false);
        memo->SetParent(this);
        LoadedAll(this);
        for (int i = 0; i < 30; ++i)
            memo->Lines()->Add("A line long enough to need the horizontal bar, number " + IntToStr(i));
    }
};

// The most memory the process has held so far (its working set at its peak).
std::size_t PeakMemory()
{
    PROCESS_MEMORY_COUNTERS c{};
    c.cb = sizeof c;
    return K32GetProcessMemoryInfo(GetCurrentProcess(), &c, sizeof c) ? c.PeakWorkingSetSize : 0;
}

class Hostile : public SkinnedFormTest {
protected:
    void SetUp() override
    {
        SkinnedFormTest::SetUp();
        ScriptBoxes();
        guard_ = std::make_unique<TPromptServiceGuard>(prompts);
    }
    void TearDown() override
    {
        guard_.reset();
        SkinnedFormTest::TearDown();
    }
    // Every box the test saw: the application's and the skinned ones.
    std::vector<AnsiString> Messages() const
    {
        std::vector<AnsiString> all;
        for (const auto& b : boxes)
            all.push_back(b.text);
        for (const auto& p : prompts.Shown)
            all.push_back(p.Text);
        return all;
    }
    // Applies the skin Name of Dir and paints a form of skinned controls in it.
    THostileForm* LoadAndPaint(const testkit::TempDir& Dir, const char* Name)
    {
        Manager()->SetSkinDirectory(Dir.Path());
        Manager()->SetSkinName(Name);
        auto* form = MakeForm<THostileForm>();
        form->Show();
        Paint(form);
        testkit::PumpPending();
        return form;
    }

    TScriptedPromptService prompts;

private:
    std::unique_ptr<TPromptServiceGuard> guard_;
};

struct THostileSkin {
    const char* Name;
    std::function<void(std::string&, const std::string& Folder)> Make; // options text, skin folder
    std::function<void()> Check;                                         // the tables after the load
    const char* Message; // the one expected after the skin's name and the folder, or null
};

void Append(std::string& Options, const std::string& Text) { Options += "\r\n" + Text + "\r\n"; }

// A key's value in an options text replaced (the first "Key=" of Section).
void Replace(std::string& Options, const std::string& Section, const std::string& Key, const std::string& Value)
{
    const std::size_t s = Options.find("[" + Section + "]");
    ASSERT_NE(s, std::string::npos) << Section;
    const std::size_t k = Options.find("\r\n" + Key + "=", s);
    ASSERT_NE(k, std::string::npos) << Key;
    const std::size_t v = k + 3 + Key.size();
    Options.replace(v, Options.find("\r\n", v) - v, Value);
}

} // namespace

TEST_F(Hostile, HostileSkinsLoadAndPaintAtOnceWithAtMostOneMessage)
{
    const THostileSkin skins[] = {
        {"Chain",
         [](std::string& o, const std::string&) {
             // Every section of the skin heads a chain of 30,000 sections whose end loops back
             // into its middle, where FORM's colour and EDIT's frame are found 20,000 links up.
             Replace(o, "FORM", "COLOR", "-1");
             Replace(o, "EDIT", "BORDERSMASK", "none");
             for (std::size_t at = o.find("]\r\n"); at != std::string::npos; at = o.find("]\r\n", at + 1))
                 if (o.compare(at + 3, 12, "PARENTCLASS=") != 0)
                     o.insert(at + 3, "PARENTCLASS=S0\r\n");
             std::string chain;
             for (int i = 0; i < 30000; ++i)
                 chain += "[S" + std::to_string(i) + "]\r\nPARENTCLASS=S" + std::to_string(i < 29999 ? i + 1 : 15000) + "\r\n";
             Append(o, chain + "[S20000]\r\nCOLOR=255\r\nBORDERSMASK=#(225,202,252,220),3,1,3\r\n");
         },
         [] {
             EXPECT_EQ(SectionOf("FORM").Color, 255);
             EXPECT_EQ(SectionOf("S29999").Color, 255) << "round the loop";
             EXPECT_EQ(SectionOf("S20001").Color, 255) << "round the loop past its end";
             ASSERT_TRUE(MaskOf("EDIT", "BORDERSMASK"));
             EXPECT_EQ(MaskOf("EDIT", "BORDERSMASK"), MaskOf("S20000", "BORDERSMASK"));
             EXPECT_FALSE(MaskOf("S20001", "GLYPHMASK")) << "round the loop, none";
         },
         nullptr},
        {"Gradient",
         [](std::string& o, const std::string&) {
             // A one-megabyte gradient of 60,000 stops.
             std::string stops;
             for (int i = 0; i < 60000; ++i)
                 stops += "16777215;" + std::to_string(i) + ";1;0;0;";
             Append(o, "[HOSTILEGRAD]\r\nGRADIENTPERCENT=100\r\nGRADIENTDATA=" + stops);
             o.insert(o.find("[FORM]") + 8, "GRADIENTPERCENT=100\r\nGRADIENTDATA=" + stops + "\r\n");
         },
         [] {
             EXPECT_EQ(SectionOf("FORM").GradArray.size(), 60000u);
             EXPECT_EQ(SectionOf("HOSTILEGRAD").GradArray.back().Color2, 59999);
         },
         nullptr},
        {"Rectangles",
         [](std::string& o, const std::string&) {
             Replace(o, "GLOBALINFO", "BICONMIN", "#(78,66,2147483647,106),3,1");
             Replace(o, "FORM", "BORDERSMASK", "#(0,0,2147483647,2147483647),3,1");
             Replace(o, "FORM", "TITLEBAR", "#(198,146,222,-2147483647),2,1");
         },
         [] {
             EXPECT_FALSE(MaskOf("GLOBALINFO", "BICONMIN"));
             EXPECT_FALSE(MaskOf("FORM", "BORDERSMASK"));
             EXPECT_FALSE(MaskOf("FORM", "TITLEBAR"));
             EXPECT_TRUE(MaskOf("GLOBALINFO", "BICONMAX")) << "the rest of the skin stands";
         },
         nullptr},
        {"Truncated",
         [](std::string& o, const std::string& folder) {
             // The form's pattern, with a second frame header after its pixels: the headers read
             // when the skin loads are sound, the first paint decodes it and fails.
             const std::string paper = testkit::ReadFileBytes(folder + "\\Paper.jpg");
             testkit::WriteFileBytes(folder + "\\Paper.jpg", paper.substr(0, paper.size() - 2) +
                                                                 std::string("\xFF\xC0\x00\x0B\x08\x00\x10\x00\x10\x01\x01\x11\x00\xFF\xD9", 17));
             o.insert(o.find("[FORM]") + 8, "IMAGEPERCENT=50\r\nHOTIMAGEPERCENT=50\r\nPATTERN=Paper.jpg\r\nHOTPATTERN=Paper.jpg\r\n");
         },
         [] {
             const int p = GetPatternIndex(GetSkinIndex("FORM"), "FORM", "PATTERN");
             ASSERT_GE(p, 0);
             EXPECT_FALSE(pa[static_cast<std::size_t>(p)].Img) << "no image from its first paint on";
         },
         nullptr},
        {"Large",
         [](std::string& o, const std::string& folder) {
             // 1 KB claiming 9000 x 9000 pixels, named by ten sections; a JPEG claiming as much.
             testkit::WriteFileBytes(folder + "\\Huge.bmp", RleBitmapDeclaring(9000, 9000));
             testkit::WriteFileBytes(folder + "\\Huge.jpg", JpegDeclaring(testkit::ReadFileBytes(folder + "\\Paper.jpg"), 9000, 9000));
             for (int i = 0; i < 10; ++i)
                 Append(o, "[LARGE" + std::to_string(i) + "]\r\nBORDERSMASK=Huge.bmp\r\nPATTERN=Huge.jpg");
         },
         [] {
             EXPECT_FALSE(MaskOf("LARGE0", "BORDERSMASK"));
             EXPECT_FALSE(MaskOf("LARGE9", "BORDERSMASK"));
             EXPECT_EQ(GetPatternIndex(GetSkinIndex("LARGE3"), "LARGE3", "PATTERN"), -1);
         },
         "Huge.bmp\" (9000 x 9000) не загружен: он больше 16777216 точек. Не загружено рисунков: 2."},
    };
    testkit::TempDir dir;
    testkit::Watchdog watchdog(10000);
    for (const THostileSkin& skin : skins) {
        SCOPED_TRACE(skin.Name);
        CopySkin("Neutral", dir, skin.Name, [&](std::string& o) { skin.Make(o, dir / skin.Name); });
        boxes.clear();
        prompts.Shown.clear();
        watchdog.Next(std::string("load and paint ") + skin.Name);
        THostileForm* form = LoadAndPaint(dir, skin.Name);
        ASSERT_TRUE(sSkinData->Active);
        skin.Check();
        std::vector<AnsiString> expected;
        if (skin.Message)
            expected.push_back("Скин \"" + AnsiString(skin.Name) + "\": рисунок \"" + dir / skin.Name + "\\" + skin.Message);
        EXPECT_EQ(Messages(), expected);
        form->Free();
    }
}

TEST_F(Hostile, AFailingPaintGivesEverythingBackAndIsReportedOnce)
{
    for (const bool skinned : {true, false}) {
        SCOPED_TRACE(skinned ? "skinned" : "plain");
        if (skinned)
            UseSkin("Neutral");
        boxes.clear();
        TForm* form = MakeForm();
        form->SetBounds(100, 100, 300, 200);
        if (skinned)
            Create<TsSkinProvider>(form);
        form->Show();
        Paint(form);
        int failures = 1;
        form->OnPaint = [&failures](TObject*) {
            if (failures-- > 0)
                throw Exception("The paint failed");
        };
        InvalidateRect(form->Handle(), nullptr, FALSE);
        UpdateWindow(form->Handle());
        testkit::PumpPending();
        ASSERT_EQ(boxes.size(), 1u) << "no paint asked for again";
        EXPECT_EQ(boxes[0].text, "The paint failed.");
        EXPECT_EQ(form->Canvas()->LockCount(), 0);
        EXPECT_FALSE(form->Canvas()->HandleAllocated()) << "no canvas left on the paint's context";
        form->Free();
    }
}

TEST_F(Hostile, AFailingFramePaintStillLetsTheShapeFollowTheForm)
{
    UseSkin("Neutral");
    TForm* form = SkinnedForm(bsSizeable, 300, 200);
    // The title's painting asks the form for its caption: a window procedure taking over after
    // the provider's fails there, inside the frame's paint.
    struct TFailingCaption : TObject {
        TWndMethod Old;
        bool Fail = false;
        void Proc(TMessage& Message)
        {
            if (Fail && Message.Msg == WM_GETTEXTLENGTH)
                throw Exception("The caption failed");
            Old(Message);
        }
    } taker;
    taker.Old = form->WindowProc;
    form->WindowProc = TWndMethod(&taker, &TFailingCaption::Proc);
    bool& fail = taker.Fail;
    auto shapeWidth = [form] {
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        RECT box{};
        if (GetWindowRgn(form->Handle(), rgn) != ERROR)
            GetRgnBox(rgn, &box);
        DeleteObject(rgn);
        return box.right - box.left;
    };
    ASSERT_EQ(shapeWidth(), 300);
    // Each size change rebuilds the shape first, then the frame's paint fails.
    fail = true;
    form->SetBounds(100, 100, 320, 220);
    EXPECT_EQ(shapeWidth(), 320);
    form->SetBounds(100, 100, 360, 260);
    EXPECT_EQ(shapeWidth(), 360) << "a failure leaves no rebuilding of the shape behind";
    EXPECT_FALSE(boxes.empty());
    fail = false;
    form->WindowProc = taker.Old;
}

TEST_F(Hostile, AFormTheSkinLeavesAloneKeepsItsOwnButtons)
{
    testkit::TempDir dir;
    CopySkin("Neutral", dir, "NoForm", [](std::string& o) {
        const std::size_t at = o.find("[FORM]");
        o.replace(at, 6, "[UNUSED]");
    });
    const TBorderIcons own{biSystemMenu, biMinimize, biMaximize};
    UseSkin("Neutral");
    TForm* before = SkinnedForm();
    EXPECT_TRUE(before->BorderIcons().Empty()) << "the skin's buttons";
    UseSkin("NoForm", AnsiString(dir.Path()));
    EXPECT_EQ(before->BorderIcons(), own) << "given back when the skin has no section for the form";
    EXPECT_NE(GetWindowLongA(before->Handle(), GWL_STYLE) & WS_SYSMENU, 0);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(before->Handle(), rgn), ERROR) << "no shape of the last skin";
    DeleteObject(rgn);
    TForm* after = SkinnedForm();
    EXPECT_EQ(after->BorderIcons(), own) << "made under that skin";
    UseSkin("Neutral");
    EXPECT_TRUE(before->BorderIcons().Empty() && after->BorderIcons().Empty());
}

TEST_F(Hostile, DamagedSkinsLoadThroughTheManagerAndPaintWithOneMessageAtMostInBoundedMemory)
{
    // Seeded damage to one file of a whole copy of Neutral at a time, applied as a skin change
    // of the program's, with a form of skinned controls painted after each (the form shows the
    // JPEG pattern, which is decoded when painted).
    testkit::TempDir dir;
    CopySkin("Neutral", dir, "Damaged", [](std::string& o) {
        o.insert(o.find("[FORM]") + 8, "IMAGEPERCENT=50\r\nHOTIMAGEPERCENT=50\r\nPATTERN=Paper.jpg\r\nHOTPATTERN=Paper.jpg\r\n");
    });
    const std::string folder = dir / "Damaged\\";
    const std::pair<const char*, std::size_t> files[] = {
        {"Options.dat", 8192}, {"Master.bmp", 54}, {"Paper.jpg", 700}, {"ToolButton.bmp", 54}};
    std::map<std::string, std::string> originals;
    for (const auto& f : files)
        originals[f.first] = testkit::ReadFileBytes(folder + f.first);
    UseSkin("Damaged", AnsiString(dir.Path()));
    auto* form = MakeForm<THostileForm>();
    form->Show();
    Paint(form);
    std::mt19937 rng(20261208);
    testkit::Watchdog watchdog(10000);
    int refused = 0;
    for (int i = 0; i < 60; ++i) {
        const auto& [file, hotSpan] = files[i % 2 ? 0 : 1 + (i / 2) % 3];
        const std::string damaged = MutateBytes(originals[file], rng, hotSpan);
        testkit::WriteFileBytes(folder + file, damaged);
        boxes.clear();
        prompts.Shown.clear();
        watchdog.Next(std::string(file) + " damaged #" + std::to_string(i), damaged);
        AnsiString refusal;
        try {
            Manager()->SetSkinName("Damaged");
        } catch (const Exception& e) {
            refusal = e.Message;
        }
        Paint(form);
        EXPECT_LE(Messages().size() + (refusal.empty() ? 0 : 1), 1u) << file << " #" << i;
        EXPECT_TRUE(refusal.empty() || refusal.find(file) != AnsiString::npos) << refusal;
        refused += refusal.empty() ? 0 : 1;
        testkit::WriteFileBytes(folder + file, originals[file]);
    }
    EXPECT_GT(refused, 0);
    const std::size_t peak = PeakMemory();
    RecordProperty("PeakMemoryMB", static_cast<int>(peak >> 20));
    std::printf("peak memory of the damaged skins: %u MB\n", static_cast<unsigned>(peak >> 20));
    EXPECT_LT(peak, 512u << 20) << "peak " << (peak >> 20) << " MB";
}
