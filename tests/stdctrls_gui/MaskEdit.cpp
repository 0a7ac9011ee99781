// The mask edit: keystrokes through the keyboard pipeline against masks, the value with and
// without literals, filtered paste, the check on leaving and Escape.
#include "Clipbrd.h"
#include "FormTest.h"
#include "Mask.h"
#include "TestKit.h"

using namespace testkit;

namespace {

// Keys of the table: these bytes stand for keys, every other character is typed.
constexpr char Left = '\x01', Right = '\x02', Back = '\b', Del = '\x7f', Esc = '\x1b';

void PostKey(HWND Edit, UINT Vk)
{
    PostMessageA(Edit, WM_KEYDOWN, Vk, 1 | (MapVirtualKeyA(Vk, 0) << 16));
    PostMessageA(Edit, WM_KEYUP, Vk, 0xC0000001 | (MapVirtualKeyA(Vk, 0) << 16));
}

void Keys(HWND Edit, const char* Keys)
{
    for (const char* k = Keys; *k; ++k) {
        switch (*k) {
        case Left: PostKey(Edit, VK_LEFT); break;
        case Right: PostKey(Edit, VK_RIGHT); break;
        case Back: PostKey(Edit, VK_BACK); break;
        case Del: PostKey(Edit, VK_DELETE); break;
        case Esc: PostKey(Edit, VK_ESCAPE); break;
        default: PostMessageA(Edit, WM_CHAR, static_cast<unsigned char>(*k), 1); break;
        }
        Application->ProcessMessages();
    }
}

void SetClipboard(const char* Text) { Clipboard()->SetAsText(Text); }

// The key with Shift held.
void ShiftKey(HWND Edit, UINT Vk)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    PostKey(Edit, Vk);
    Application->ProcessMessages();
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
}

class MaskEditTest : public FormTest {
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        DateSeparator = '.';
        TimeSeparator = '-';
        form = MakeForm();
        form->SetBounds(50, 50, 300, 200);
        edit = Make(10);
        other = Create<TEdit>(form);
        other->SetParent(form);
        other->SetBounds(10, 100, 100, 21);
        form->Show();
    }
    void TearDown() override
    {
        GetFormatSettings();
        FormTest::TearDown();
    }
    TMaskEdit* Make(int Top)
    {
        auto* e = Create<TMaskEdit>(form);
        e->SetParent(form);
        e->SetBounds(10, Top, 150, 21);
        return e;
    }
    // The edit with the mask and text, focused with the caret at the start.
    void Start(const char* Mask, const char* Text = "")
    {
        edit->SetEditMask(Mask);
        edit->SetText(Text);
        edit->SetFocus();
        edit->SetSelStart(0);
    }
    TForm* form = nullptr;
    TMaskEdit* edit = nullptr;
    TEdit* other = nullptr;
};

} // namespace

TEST_F(MaskEditTest, KeystrokesFillThePlacesOfTheMask)
{
    const struct {
        const char* mask;
        const char* text; // set before typing
        const char* keys;
        const char* display;
        const char* value;
        int beeps;
    } cases[] = {
        {"!90/90/0000;1; ", "", "12052024", "12.05.2024", "12.05.2024", 0},
        {"!90/90/0000;1; ", "", "1", "1 .  .    ", "1 .  .    ", 0},
        {"!99/99/0000;1;_", "", "12a", "12.__.____", "12.  .    ", 1},
        {"!99/99/0000;1;_", "", "1234\b\b5", "12.5_.____", "12.5 .    ", 0},
        {"00/00;1;_", "", "12\x01" "5", "15.__", "15.  ", 0},
        {"00/00;1;_", "", "12\x02" "5", "12._5", "12. 5", 0},
        {"000;1;_", "123", "\x02\x7f" "9", "1_9", "1 9", 0},
        {"00;1;_", "", "123", "12", "12", 1},
        {"00;1;_", "", "\x7f\x7f\b", "__", "  ", 0},
        {"00:00;0;_", "", "1234", "12-34", "1234", 0},
        {"00:00;0;_", "", "12", "12-__", "12", 0},
        {"!99:99;0;_", "", "1", "1_-__", "1   ", 0},
        {"AAAAAA;1; ", "", "ff00G!", "ff00G ", "ff00G ", 1},
        {">AAAAAA;1; ", "", "ab12cd", "AB12CD", "AB12CD", 0},
        {">l<l<>l;1;_", "", "aBC", "AbC", "AbC", 0},
        {"LL;1;_", "", "1жZ", "жZ", "жZ", 1},
        {"\\L\\0-LL;1;_", "", "ab", "L0-ab", "L0-ab", 0},
        {"#9C;1;_", "", "-5 ", "-5 ", "-5 ", 0},
        {"#9c;1;_", "", "+a", "+__", "+  ", 1},
        {"CC;1;_", "", "_a", "a_", "a ", 1},        // the blank character is no character typed
        {"000;1;_", "123", "9\x1b", "123", "123", 0},
    };
    for (const auto& c : cases) {
        SysUtils::TBeepCounter beeps;
        Start(c.mask, c.text);
        Keys(edit->Handle(), c.keys);
        EXPECT_EQ(edit->EditText(), c.display) << c.mask << " " << c.keys;
        EXPECT_EQ(edit->Text(), c.value) << c.mask << " " << c.keys;
        EXPECT_EQ(beeps.Count, c.beeps) << c.mask << " " << c.keys;
    }
}

TEST_F(MaskEditTest, SettingTextOrMaskFormatsTheValueAndTheMaskLimitsTheLength)
{
    edit->SetMaxLength(3);
    edit->SetText("05032024");
    edit->SetEditMask("99/99/9999;0;_");
    EXPECT_TRUE(edit->IsMasked());
    EXPECT_EQ(edit->EditText(), "05.03.2024") << "a plain text is taken as the value";
    EXPECT_EQ(edit->Text(), "05032024");
    EXPECT_EQ(edit->MaxLength(), 10);
    EXPECT_EQ(SendMessageA(edit->Handle(), EM_GETLIMITTEXT, 0, 0), 10);
    edit->SetMaxLength(4);
    EXPECT_EQ(edit->MaxLength(), 10) << "while masked";

    edit->SetEditMask("!99-99-9999;1; ");
    EXPECT_EQ(edit->EditText(), "05-03-2024") << "the places go into the new mask";
    const struct {
        const char* mask;
        const char* text;
        const char* display;
    } cases[] = {
        {"!99/99/9999;1; ", "5.3.2024", " 5. 3.2024"}, {"99/99/9999;1;_", "5.3.2024", "5_.3_.2024"},
        {"99/99/9999;1;_", "1_.__.2000", "1_.__.2000"}, {"99/99/9999;1;_", "", "__.__.____"},
        {"99/99/9999;0;_", "0503", "05.03.____"},      {"!99/99/9999;0;_", "0503", "__.__.0503"},
        {"00;1;_", "a1", "_1"},                         {"00;1;_", "123", "12"},
        {"!00;1;_", "123", "23"},
        {"!90/90/0000;1;_", "12052024", "12.05.2024"}, // no literals: the places in order
    };
    for (const auto& c : cases) {
        edit->SetEditMask(c.mask);
        edit->SetText(c.text);
        EXPECT_EQ(edit->EditText(), c.display) << c.mask << " " << c.text;
    }
    edit->SetEditMask("99/99/9999;1;_");
    edit->SetEditText("12.05.____");
    EXPECT_EQ(edit->EditText(), "12.05.____");
    edit->Clear();
    EXPECT_EQ(edit->EditText(), "__.__.____");

    edit->SetText("1.2.2003");
    edit->SetEditMask("");
    EXPECT_FALSE(edit->IsMasked());
    EXPECT_EQ(edit->Text(), "1 .2 .2003") << "clearing the mask leaves its Text";
    EXPECT_EQ(edit->MaxLength(), 4);

    edit->SetEditMask("AAAAAA;1; ");
    edit->SetText("FF");
    int changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    edit->SetText("FF");
    EXPECT_EQ(changes, 0) << "the same display text";
    edit->SetText("FF0");
    EXPECT_EQ(changes, 1);
}

TEST_F(MaskEditTest, PasteIsFilteredCutAndNativeChangesLeaveBlanksAndEachStepChangesOnce)
{
    int changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    Start("!99/99/9999;1;_");
    changes = 0;
    SetClipboard("1a2.0519");
    SendMessageA(edit->Handle(), WM_PASTE, 0, 0);
    EXPECT_EQ(edit->EditText(), "12.05.19__");
    EXPECT_EQ(edit->SelStart(), 8);
    EXPECT_EQ(changes, 1);

    edit->SetSelStart(0);
    edit->SetSelLength(2);
    SendMessageA(edit->Handle(), WM_CUT, 0, 0);
    EXPECT_EQ(edit->EditText(), "__.05.19__");
    SendMessageA(edit->Handle(), WM_PASTE, 0, 0);
    EXPECT_EQ(edit->EditText(), "12.05.19__") << "the cut places came back";
    EXPECT_EQ(changes, 3);

    // The keyboard's cut and paste (Shift+Delete, Shift+Insert) go through the mask as well.
    edit->SetSelStart(1);
    edit->SetSelLength(3);
    ShiftKey(edit->Handle(), VK_DELETE);
    EXPECT_EQ(edit->EditText(), "1_._5.19__");
    edit->SelectAll();
    SetClipboard("1a2.0519");
    ShiftKey(edit->Handle(), VK_INSERT);
    EXPECT_EQ(edit->EditText(), "12.05.19__");
    EXPECT_EQ(changes, 5);

    // A change the mask did not make (the system's own menu) is fitted again.
    edit->SetSelStart(3);
    edit->SetSelLength(2);
    SendMessageA(edit->Handle(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(""));
    EXPECT_EQ(edit->EditText(), "12.__.19__");
    EXPECT_EQ(changes, 6);

    edit->SelectAll();
    Keys(edit->Handle(), "7");
    EXPECT_EQ(edit->EditText(), "7_.__.____") << "typing over a selection";
    EXPECT_EQ(changes, 7);

    edit->SetReadOnly(true);
    SendMessageA(edit->Handle(), WM_PASTE, 0, 0);
    ShiftKey(edit->Handle(), VK_INSERT);
    Keys(edit->Handle(), "3\b");
    EXPECT_EQ(edit->EditText(), "7_.__.____") << "read-only";

    edit->SetReadOnly(false);
    edit->SetCharCase(ecUpperCase);
    Start("AAAAAA;1; ");
    Keys(edit->Handle(), "ab");
    EXPECT_EQ(edit->Text(), "AB    ");
}

TEST_F(MaskEditTest, LeavingWithARequiredPlaceBlankRaisesAndKeepsTheFocusEscapeGivesTheTextBack)
{
    ScriptBoxes();
    SysUtils::TBeepCounter beeps;
    Start("!90/90/0000;1; ", "01.02.2003");
    Keys(edit->Handle(), "\x7f\x02\x02\x7f");
    EXPECT_EQ(edit->EditText(), " 1.0 .2003");
    other->SetFocus();
    Application->ProcessMessages();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Invalid input value.  Use escape key to abandon changes.");
    EXPECT_EQ(GetFocus(), edit->Handle());
    EXPECT_EQ(edit->SelStart(), 4) << "at the required place";
    EXPECT_EQ(beeps.Count, 1);

    Keys(edit->Handle(), "\x1b");
    EXPECT_EQ(edit->EditText(), "01.02.2003") << "the text it had when it got the focus";
    EXPECT_FALSE(edit->Modified());
    other->SetFocus();
    Application->ProcessMessages();
    EXPECT_EQ(GetFocus(), other->Handle());

    TMaskEdit* optional = Make(40);
    optional->SetEditMask("!99/99/9999;1; ");
    optional->SetFocus();
    Keys(optional->Handle(), "1");
    TMaskEdit* untouched = Make(70);
    untouched->SetEditMask("00;1;_");
    untouched->SetFocus();
    other->SetFocus();
    Application->ProcessMessages();
    EXPECT_EQ(GetFocus(), other->Handle());
    EXPECT_EQ(boxes.size(), 1u) << "blank optional places, and no change, pass";

    // A required letter, letter-or-digit or character place left blank holds the focus too.
    for (const char* mask : {"LL;1;_", "AA;1;_", "CC;1;_"}) {
        Start(mask);
        Keys(edit->Handle(), "a");
        other->SetFocus();
        Application->ProcessMessages();
        EXPECT_EQ(GetFocus(), edit->Handle()) << mask;
        EXPECT_EQ(edit->SelStart(), 1) << mask;
        Keys(edit->Handle(), "\x1b");
    }
    EXPECT_EQ(boxes.size(), 4u);
}
