// The skinned frame: where the title buttons are drawn and hit-tested, hot and pressed buttons under
// the mouse, sizing edges, snapping, the window's shape, the colours from the skin's tables, and a
// change or removal of the skin reaching every window at once.
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "FormsKit.h"

using namespace formskit;

namespace {

using Frame = SkinnedFormTest;

// The picture pixel of a master-image mask and its blend value: the cell of State starts at
// R.Left + width(R) * State / ImageCount (a border mask's block likewise), the blend mask lies
// height(R) / (MaskType + 1) rows below the picture.
struct MaskPixel {
    TColor picture;
    TColor blend;
};
MaskPixel PixelOfMask(const TsMaskData& M, int State, int X, int Y)
{
    const int left = M.R.left + WidthOf(M.R) * State / M.ImageCount;
    const int below = HeightOf(M.R) / (M.MaskType + 1);
    return {PixelOf(MasterBitmap.get(), left + X, M.R.top + Y), PixelOf(MasterBitmap.get(), left + X, M.R.top + below + Y)};
}

// The mix of the format: each channel (m * (d - s) + 255 * s) shr 8.
TColor Mixed(MaskPixel P, TColor Background)
{
    if (P.picture == clSkinKey)
        return Background;
    TColor r = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int s = (P.picture >> shift) & 0xFF, m = (P.blend >> shift) & 0xFF, d = (Background >> shift) & 0xFF;
        r |= static_cast<TColor>(((m * (d - s) + 255 * s) >> 8) & 0xFF) << shift;
    }
    return r;
}

// A pixel of a glyph cell whose blend value is 0 in every channel: it shows its picture (times
// 255/256) over any background. Answers false when the cell has none.
bool OpaquePixel(const TsMaskData& M, int State, int& X, int& Y, TColor& Expected)
{
    const int w = WidthOf(M.R) / M.ImageCount, h = HeightOf(M.R) / (M.MaskType + 1);
    for (Y = h / 2; Y < h; ++Y)
        for (X = w / 2; X < w; ++X) {
            const MaskPixel p = PixelOfMask(M, State, X, Y);
            if (p.blend == 0 && p.picture != clSkinKey) {
                Expected = Mixed(p, 0);
                return true;
            }
        }
    return false;
}

TBitmap* Cache(TCustomForm* Form) { return ProviderOf(Form)->SkinData()->FCacheBmp.get(); }

void MoveMouse(int X, int Y, DWORD Buttons = 0)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = X * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = Y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | Buttons;
    SendInput(1, &in, sizeof in);
    testkit::WaitIdle();
}

// The slots the title row must show, right to left: close when the skin has its mask, maximise
// and minimise where the system menu shows them, help when asked for and masked.
std::vector<int> ExpectedSlots(TFormBorderStyle Style, TsBorderIcons Icons, const void* CloseMask, const void* HelpMask)
{
    std::vector<int> codes;
    if (!Icons.Contains(biSystemMenu))
        return codes;
    if (CloseMask)
        codes.push_back(HTCLOSE);
    if (Style == bsSizeable || Icons.Contains(biMaximize))
        codes.push_back(HTMAXBUTTON);
    if (Style == bsSizeable || Icons.Contains(biMinimize))
        codes.push_back(HTMINBUTTON);
    if (Icons.Contains(biHelp) && HelpMask)
        codes.push_back(HTHELP);
    return codes;
}

// What a click there answers: a button that cannot act is part of the caption.
int ExpectedHit(int Code, TsBorderIcons Icons)
{
    if (Code == HTUDBTN + 1)
        return HTCAPTION;
    if (Code == HTMAXBUTTON && !Icons.Contains(biMaximize))
        return HTCAPTION;
    if (Code == HTMINBUTTON && !Icons.Contains(biMinimize))
        return HTCAPTION;
    return Code;
}

const char* MaskName(int Code)
{
    switch (Code) {
    case HTUDBTN:
    case HTUDBTN + 1: return "TITLEBUTTON";
    case HTCLOSE: return "BICONCLOSE";
    case HTMAXBUTTON: return "BICONMAX";
    case HTMINBUTTON: return "BICONMIN";
    default: return "BICONHELP";
    }
}

// Removes the lines of an options file that set Key.
std::function<void(std::string&)> Without(const std::string& Key)
{
    return [Key](std::string& s) {
        for (std::size_t at; (at = s.find("\n" + Key + "=")) != std::string::npos;)
            s.erase(at + 1, s.find('\n', at + 1) - at);
    };
}

} // namespace

TEST_F(Frame, TitleButtonsAreHitWhereTheyAreDrawn)
{
    // Skins without a button's mask: without close the form's own section gives the buttons'
    // masks, which has none; without help or maximise only that one is missing.
    testkit::TempDir dir;
    CopySkin("Neutral", dir, "NoClose", Without("BICONCLOSE"));
    CopySkin("Neutral", dir, "NoHelp", Without("BICONHELP"));
    CopySkin("Neutral", dir, "NoMax", Without("BICONMAX"));
    MoveMouse(0, 0);
    const std::array<TsBorderIcon, 4> all{biSystemMenu, biMinimize, biMaximize, biHelp};
    for (const std::string skin : {"Neutral", "NoClose", "NoHelp", "NoMax"}) {
        UseSkin(skin.c_str(), skin == "Neutral" ? SkinsDir() : AnsiString(dir.Path()));
        auto mask = [&](int Code) {
            return skin == "NoClose" && Code < HTUDBTN ? nullptr : MaskOf("GLOBALINFO", MaskName(Code));
        };
        for (TFormBorderStyle style : {bsSizeable, bsSingle}) {
            TsSkinProvider* provider = nullptr;
            TForm* form = SkinnedForm(style, 400, 200, &provider);
            // Two buttons of the application's after the system's; the second cannot be clicked.
            provider->TitleButtons()->Add();
            provider->TitleButtons()->Add()->Enabled = false;
            SetForegroundWindow(form->Handle());
            for (int bits = 0; bits < 16; ++bits) {
                TsBorderIcons icons;
                for (int i = 0; i < 4; ++i)
                    if (bits & (1 << i))
                        icons.Include(all[i]);
                SCOPED_TRACE(skin + (style == bsSizeable ? " sizeable " : " single ") + std::to_string(bits));
                provider->SetBorderIcons(icons);
                provider->SkinData()->BGChanged = true;
                Paint(form);
                std::vector<int> codes = ExpectedSlots(style, icons, mask(HTCLOSE), mask(HTHELP));
                codes.push_back(HTUDBTN);
                codes.push_back(HTUDBTN + 1);
                const int bw = provider->ButtonWidth(), bh = provider->ButtonHeight();
                const int top = (provider->CaptionHeight() - bh + provider->SysBorderHeight()) / 2 + (bh < 16 ? 2 : 0);
                auto left = [&](std::size_t k) { return form->Width() - provider->SysBorderWidth() - (bw + 1) * static_cast<int>(k); };
                // Drawn: each enabled button's glyph in its slot.
                for (std::size_t k = 1; k <= codes.size(); ++k) {
                    int x = 0, y = 0;
                    TColor expected = 0;
                    const TsMaskData* m = mask(codes[k - 1]);
                    if (ExpectedHit(codes[k - 1], icons) != HTCAPTION && m && OpaquePixel(*m, 0, x, y, expected)) {
                        EXPECT_EQ(PixelOf(Cache(form), left(k) + x, top + y), expected) << "slot " << k;
                    }
                }
                // Hit-tested: the same slots, and nothing beyond them.
                for (std::size_t k = 1; k <= codes.size(); ++k)
                    EXPECT_EQ(HitTest(form, left(k) + bw / 2, top + bh / 2), ExpectedHit(codes[k - 1], icons))
                        << "slot " << k;
                EXPECT_EQ(HitTest(form, left(codes.size() + 1) + bw / 2, top + bh / 2), HTCAPTION);
            }
            form->Free();
        }
    }
}

TEST_F(Frame, TitleButtonLightsUpPressesAndActsUnderTheMouse)
{
    UseSkin("Neutral");
    TsSkinProvider* provider = nullptr;
    TForm* form = SkinnedForm(bsSizeable, 400, 200, &provider);
    SetForegroundWindow(form->Handle());
    const TsMaskData* close = MaskOf("GLOBALINFO", "BICONCLOSE");
    ASSERT_NE(close, nullptr);
    const TRect r = provider->ButtonClose.Rect;
    RECT w;
    GetWindowRect(form->Handle(), &w);
    const int cx = w.left + (r.left + r.right) / 2, cy = w.top + (r.top + r.bottom) / 2;
    // The screen shows the state's cell of the close glyph at one of its opaque pixels.
    auto shows = [&](int State) {
        int x = 0, y = 0;
        TColor expected = 0;
        EXPECT_TRUE(OpaquePixel(*close, State, x, y, expected));
        HDC dc = GetWindowDC(form->Handle());
        const COLORREF screen = GetPixel(dc, r.left + x, r.top + y);
        ReleaseDC(form->Handle(), dc);
        return PixelOf(Cache(form), r.left + x, r.top + y) == expected && screen == static_cast<COLORREF>(expected);
    };
    // The state follows the mouse once the system has passed the input on.
    auto becomes = [&](int State) { return testkit::PumpUntil([&] { return provider->ButtonClose.State == State; }); };
    MoveMouse(cx, cy);
    EXPECT_TRUE(becomes(1));
    EXPECT_TRUE(shows(1)) << "hot";
    MoveMouse(cx, cy, MOUSEEVENTF_LEFTDOWN);
    EXPECT_TRUE(becomes(2));
    EXPECT_TRUE(shows(2)) << "pressed";
    // Away and back with the button held: normal, then pressed again; released there, it closes.
    MoveMouse(w.left + 60, cy);
    EXPECT_TRUE(becomes(0));
    EXPECT_TRUE(shows(0)) << "normal";
    MoveMouse(cx, cy);
    EXPECT_TRUE(becomes(2));
    MoveMouse(cx, cy, MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(testkit::PumpUntil([&] { return !form->Visible(); })) << "the form closed";

    // Pressed on close, released on maximise: neither acts.
    form->Show();
    Paint(form);
    const TRect m = provider->ButtonMax.Rect;
    MoveMouse(cx, cy);
    MoveMouse(cx, cy, MOUSEEVENTF_LEFTDOWN);
    MoveMouse(w.left + (m.left + m.right) / 2, cy);
    MoveMouse(w.left + (m.left + m.right) / 2, cy, MOUSEEVENTF_LEFTUP);
    testkit::WaitIdle();
    EXPECT_TRUE(form->Visible());
    EXPECT_FALSE(IsZoomed(form->Handle()));
    MoveMouse(0, 0);
}

TEST_F(Frame, EdgesAndCornersSizeTheFormAndTheGripItsCorner)
{
    UseSkin("Neutral");
    TsSkinProvider* provider = nullptr;
    TForm* form = SkinnedForm(bsSizeable, 400, 300, &provider);
    const int w = form->Width(), h = form->Height();
    struct Probe {
        int x, y, code;
    };
    const Probe probes[] = {{0, h / 2, HTLEFT},        {w - 1, h / 2, HTRIGHT},       {w / 2, h - 1, HTBOTTOM},
                            {w / 2, 0, HTTOP},         {0, 0, HTTOPLEFT},             {w - 1, 0, HTTOPRIGHT},
                            {0, h - 1, HTBOTTOMLEFT},  {w - 1, h - 1, HTBOTTOMRIGHT}, {w / 2, 10, HTCAPTION},
                            {w / 2, h / 2, HTCLIENT}};
    for (const Probe& p : probes)
        EXPECT_EQ(HitTest(form, p.x, p.y), p.code) << p.x << "," << p.y;
    // The grip makes its whole square a sizing corner.
    provider->SetGripMode(gmRightBottom);
    provider->SkinData()->BGChanged = true;
    Paint(form);
    const TsMaskData* grip = MaskOf("GLOBALINFO", "GRIPIMAGE");
    ASSERT_NE(grip, nullptr);
    const int gx = w - WidthOf(grip->R) / grip->ImageCount - provider->SysBorderWidth();
    const int gy = h - HeightOf(grip->R) / (grip->MaskType + 1) - provider->SysBorderHeight();
    EXPECT_EQ(HitTest(form, gx + 1, gy + 1), HTBOTTOMRIGHT);
    EXPECT_EQ(HitTest(form, gx, gy + 1), HTCLIENT);
}

TEST_F(Frame, SnapsToTheEdgesOfTheMonitorHoldingTheForm)
{
    UseSkin("Neutral");
    TsSkinProvider* provider = nullptr;
    TForm* form = SkinnedForm(bsSizeable, 300, 200, &provider);
    provider->ScreenSnap = true;
    Screen->SetMonitorSource([] {
        return std::vector<TMonitorInfo>{{reinterpret_cast<HMONITOR>(1), {0, 0, 1280, 1024}, {0, 0, 1280, 1000}, true},
                                         {reinterpret_cast<HMONITOR>(2), {1280, 0, 2560, 1024}, {1280, 0, 2560, 1024}, false}};
    });
    struct Move {
        int x, y, left, top;
    };
    const Move moves[] = {
        {3, 200, 0, 200},      {10, 200, 10, 200},     {-9, 200, 0, 200},     {200, 9, 200, 0},
        {200, 10, 200, 10},    {975, 200, 980, 200},   {970, 200, 970, 200},  {200, 815, 200, 824},
        {1400, 200, 1400, 200}, {1283, 200, 1280, 200}, {2255, 200, 2260, 200},
    };
    for (const Move& m : moves) {
        form->SetBounds(m.x, m.y, 300, 200);
        EXPECT_EQ(form->Left(), m.left) << m.x << "," << m.y;
        EXPECT_EQ(form->Top(), m.top) << m.x << "," << m.y;
    }
}

TEST_F(Frame, WindowShapeFollowsTheTransparentCornersOfTheFormMask)
{
    for (const char* skin : {"Neutral", "Dusk"}) {
        SCOPED_TRACE(skin);
        UseSkin(skin);
        TForm* form = SkinnedForm(bsSizeable, 300, 200);
        const TsMaskData* border = MaskOf("FORM", "BORDERSMASK");
        ASSERT_NE(border, nullptr);
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        ASSERT_NE(GetWindowRgn(form->Handle(), rgn), ERROR);
        const int cw = WidthOf(border->R) / (border->ImageCount * 3), ch = HeightOf(border->R) / ((border->MaskType + 1) * 3);
        const int stateWidth = WidthOf(border->R) / border->ImageCount;
        int cut = 0;
        for (int y = 0; y < ch; ++y)
            for (int x = 0; x < cw; ++x) {
                // Top corners from the top band of the first state, bottom ones from its last band.
                const struct {
                    int mx, my, wx, wy;
                } corners[] = {{x, y, x, y},
                               {stateWidth - cw + x, y, form->Width() - cw + x, y},
                               {x, 2 * ch + y, x, form->Height() - ch + y},
                               {stateWidth - cw + x, 2 * ch + y, form->Width() - cw + x, form->Height() - ch + y}};
                for (const auto& c : corners) {
                    const bool key = PixelOfMask(*border, 0, c.mx, c.my).picture == clSkinKey;
                    cut += key;
                    EXPECT_EQ(PtInRegion(rgn, c.wx, c.wy) != FALSE, !key) << c.wx << "," << c.wy;
                }
            }
        EXPECT_GT(cut, 0) << "the skin's corners are rounded";
        EXPECT_TRUE(PtInRegion(rgn, form->Width() / 2, 0));
        DeleteObject(rgn);
        form->Free();
    }
}

TEST_F(Frame, FrameClientAndMenuLineTakeTheSkinsColours)
{
    for (const char* skin : {"Neutral", "Dusk"}) {
        SCOPED_TRACE(skin);
        UseSkin(skin);
        TForm* form = MakeForm();
        form->SetBounds(100, 100, 400, 300);
        auto* menu = Create<TMainMenu>(form);
        auto* item = Create<TMenuItem>(form);
        item->SetCaption("Файл");
        menu->Items()->Add(item);
        form->SetMenu(menu);
        auto* provider = Create<TsSkinProvider>(form);
        form->Show();
        SetForegroundWindow(form->Handle());
        Paint(form);
        TBitmap* cache = Cache(form);
        ASSERT_EQ(cache->Width(), 400);
        const TPoint client{form->Width() / 2, provider->OffsetY() + form->ClientHeight() / 2};
        EXPECT_EQ(PixelOf(cache, client.x, client.y), SectionOf("FORM").Color);
        const testkit::PixelImage printed = testkit::PrintWindowPixels(form->Handle());
        EXPECT_EQ(printed.Pixel(client.x, client.y), static_cast<COLORREF>(SectionOf("FORM").Color)) << "client";
        // The menu line right of its item, in the active look.
        const int lineY = provider->MenuLineTop() + provider->MenuHeight() / 2;
        const int lineX = form->Width() - provider->SysBorderWidth() - 2;
        EXPECT_EQ(printed.Pixel(lineX, lineY), static_cast<COLORREF>(SectionOf("MENULINE").HotColor)) << "menu line";
        // The item shows the line itself beside its caption, not a box of its own.
        RECT r, w;
        GetMenuItemRect(form->Handle(), menu->Handle(), 0, &r);
        GetWindowRect(form->Handle(), &w);
        EXPECT_EQ(printed.Pixel(r.left - w.left + 1, lineY), static_cast<COLORREF>(SectionOf("MENULINE").HotColor))
            << "menu item";
        // The left edge halfway down: the side cell of the active state over the form's colour.
        const TsMaskData* border = MaskOf("FORM", "BORDERSMASK");
        ASSERT_NE(border, nullptr);
        const int ch = HeightOf(border->R) / ((border->MaskType + 1) * 3);
        const int y = form->Height() / 2;
        const TColor edge = Mixed(PixelOfMask(*border, 1, 0, ch + (y - ch) % ch), SectionOf("FORM").HotColor);
        EXPECT_EQ(PixelOf(cache, 0, y), edge);
        EXPECT_EQ(printed.Pixel(0, y), static_cast<COLORREF>(edge)) << "edge";
        form->Free();
    }
}

TEST_F(Frame, NewSkinRepaintsEveryFormAtOnceAndNoSkinGivesThePlainFrameBack)
{
    UseSkin("Neutral");
    TForm* first = SkinnedForm(bsSizeable, 300, 200);
    TForm* second = MakeForm();
    second->SetBorderStyle(bsSingle);
    second->SetBorderIcons(TBorderIcons{biSystemMenu});
    second->SetBounds(450, 100, 300, 200);
    second->SetCaption("Skinned");
    Create<TsSkinProvider>(second);
    second->Show();
    Paint(second);
    // A form never shown gets no window from the switch, and shows in the new skin later.
    TForm* third = MakeForm();
    third->SetBounds(200, 350, 300, 200);
    Create<TsSkinProvider>(third);
    Manager()->SetSkinName("Dusk");
    EXPECT_FALSE(third->HandleAllocated());
    const auto inDusk = [](TForm* f) {
        auto* provider = ProviderOf(f);
        const TPoint c{f->Width() / 2, provider->OffsetY() + f->ClientHeight() / 2};
        EXPECT_EQ(PixelOf(Cache(f), c.x, c.y), SectionOf("FORM").Color);
        HDC dc = GetWindowDC(f->Handle());
        EXPECT_EQ(GetPixel(dc, c.x, c.y), static_cast<COLORREF>(SectionOf("FORM").Color));
        ReleaseDC(f->Handle(), dc);
    };
    // No message pumped: the caches and the windows show the new skin already.
    for (TForm* f : {first, second})
        inDusk(f);
    third->Show();
    Paint(third);
    inDusk(third);
    third->Free();
    Manager()->SetActive(false);
    for (TForm* f : {first, second}) {
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        EXPECT_EQ(GetWindowRgn(f->Handle(), rgn), ERROR) << "no shape";
        DeleteObject(rgn);
        EXPECT_NE(GetWindowLongA(f->Handle(), GWL_STYLE) & WS_SYSMENU, 0) << "the system's buttons";
        EXPECT_EQ(f->Caption(), "Skinned");
    }
    EXPECT_EQ(first->BorderIcons(), (TBorderIcons{biSystemMenu, biMinimize, biMaximize}));
    EXPECT_EQ(second->BorderIcons(), TBorderIcons{biSystemMenu});
}

TEST_F(Frame, OutlineMovesAndSizesTheFormByTheMouse)
{
    UseSkin("Neutral");
    TsSkinProvider* provider = nullptr;
    TForm* form = SkinnedForm(bsSizeable, 300, 200, &provider);
    provider->ResizeMode = rmBorder;
    SetForegroundWindow(form->Handle());
    // Dragged by the caption 100 right and 60 down, in two moves.
    MoveMouse(200, 110);
    MoveMouse(200, 110, MOUSEEVENTF_LEFTDOWN);
    MoveMouse(250, 140);
    MoveMouse(300, 170);
    MoveMouse(300, 170, MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(testkit::PumpUntil([&] { return form->Left() == 200 && form->Top() == 160; }))
        << form->Left() << "," << form->Top();
    // Its right edge dragged 52 further right.
    const int y = form->Top() + 100, x = form->Left() + form->Width() - 2;
    MoveMouse(x, y);
    MoveMouse(x, y, MOUSEEVENTF_LEFTDOWN);
    MoveMouse(x + 30, y + 20);
    MoveMouse(x + 52, y + 40);
    MoveMouse(x + 52, y + 40, MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(testkit::PumpUntil([&] { return form->Width() == 352; })) << form->Width();
    EXPECT_EQ(form->Height(), 200);
    EXPECT_EQ(form->Left(), 200);
    MoveMouse(0, 0);
}

TEST_F(Frame, RestoredFormDrawsItsButtonsEnabledAtOnce)
{
    // The frame is painted while the window comes back, before the form hears of its new size:
    // the buttons must follow the window's state, not the form's last known one.
    UseSkin("Neutral");
    TsSkinProvider* provider = nullptr;
    TForm* form = SkinnedForm(bsSizeable, 300, 200, &provider);
    const TsMaskData* min = MaskOf("GLOBALINFO", "BICONMIN");
    ASSERT_NE(min, nullptr);
    int x = 0, y = 0;
    TColor expected = 0;
    ASSERT_TRUE(OpaquePixel(*min, 0, x, y, expected));
    ShowWindow(form->Handle(), SW_MINIMIZE);
    testkit::PumpPending();
    ShowWindow(form->Handle(), SW_RESTORE);
    testkit::PumpPending();
    EXPECT_TRUE(provider->SystemMenu()->EnabledMin());
    const TRect r = provider->ButtonMin.Rect;
    EXPECT_EQ(PixelOf(Cache(form), r.left + x, r.top + y), expected);
}

TEST_F(Frame, MaximiseLooksPressedOnlyWhileTheFormCanBeMaximised)
{
    UseSkin("Neutral");
    TsSkinProvider* provider = nullptr;
    TForm* form = SkinnedForm(bsSizeable, 300, 200, &provider);
    auto pressed = [&] {
        SendMessageA(form->Handle(), WM_NCLBUTTONDOWN, HTMAXBUTTON, 0);
        const int state = provider->ButtonMax.State;
        SendMessageA(form->Handle(), WM_NCLBUTTONUP, HTCAPTION, 0);
        return state;
    };
    EXPECT_EQ(pressed(), 2);
    ShowWindow(form->Handle(), SW_MAXIMIZE);
    Paint(form);
    EXPECT_EQ(pressed(), 1) << "restore";
}
