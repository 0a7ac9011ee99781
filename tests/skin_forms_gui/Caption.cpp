// The provider in the form's chain of window procedures, and the caption it keeps for the form.
#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include "FormsKit.h"

using namespace formskit;

namespace {

// Another take-over of the form's WindowProc, noting the messages it passes on.
class TTakeOver : public TComponent {
    VCL_CLASS(TTakeOver, TComponent)
public:
    explicit TTakeOver(TCustomForm* AForm) : TComponent(nullptr), form(AForm)
    {
        saved = form->WindowProc;
        form->WindowProc = TWndMethod(this, &TTakeOver::Proc);
    }
    ~TTakeOver() override
    {
        if (form->WindowProc == TWndMethod(this, &TTakeOver::Proc))
            form->WindowProc = saved;
    }
    void Proc(TMessage& Message)
    {
        seen.push_back(Message.Msg);
        saved(Message);
        if (after)
            after(Message);
    }
    bool Saw(UINT Msg) const { return std::find(seen.begin(), seen.end(), Msg) != seen.end(); }
    TCustomForm* form;
    TWndMethod saved;
    std::vector<UINT> seen;
    // Runs after the saved procedure has handled a message.
    std::function<void(TMessage&)> after;
};

// The window's own text, read without a message.
std::string WindowText(HWND Wnd)
{
    wchar_t wide[256] = {};
    InternalGetWindowText(Wnd, wide, 256);
    char narrow[256] = {};
    WideCharToMultiByte(1251, 0, wide, -1, narrow, sizeof narrow, nullptr, nullptr);
    return narrow;
}

using TakeOver = SkinnedFormTest;
using Caption = SkinnedFormTest;

} // namespace

TEST_F(TakeOver, ProcedureGoesBackWhicheverOfTwoTakeOversGoesFirst)
{
    // In order: the later take-over goes first, then the provider gives back what it took.
    TForm* form = MakeForm();
    form->HandleNeeded();
    const TWndMethod original = form->WindowProc;
    auto* provider = Create<TsSkinProvider>(form);
    auto later = std::make_unique<TTakeOver>(form);
    later.reset();
    provider->Free();
    EXPECT_TRUE(form->WindowProc == original);

    // Out of order: the provider goes while the later take-over still passes messages on to it;
    // the later one keeps seeing the form's messages, which still reach the form.
    provider = Create<TsSkinProvider>(form);
    later = std::make_unique<TTakeOver>(form);
    provider->Free();
    form->SetCaption("После");
    EXPECT_TRUE(later->Saw(WM_SETTEXT));
    EXPECT_EQ(WindowText(form->Handle()), "После");
    EXPECT_EQ(form->Caption(), "После");
    later.reset();
    form->SetCaption("Снова");
    EXPECT_EQ(WindowText(form->Handle()), "Снова");
    form->Free();
}

TEST_F(Caption, GetTextFitsTheBufferAndAlwaysEndsTheText)
{
    TForm* form = MakeForm();
    Create<TsSkinProvider>(form);
    form->HandleNeeded();
    form->SetCaption("Hello world");
    struct Case {
        WPARAM size;
        bool buffer;
        LRESULT result;
        const char* text; // what the buffer holds afterwards
    };
    const Case cases[] = {
        {0, true, 0, "########"}, // no room: nothing written
        {10, false, 0, nullptr},  // no buffer
        {1, true, 0, ""},         // room for the terminator only
        {5, true, 4, "Hell"},     // cut, terminated
        {100, true, 11, "Hello world"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        char buf[128];
        std::memset(buf, '#', sizeof buf);
        buf[8] = '\0';
        const LRESULT r = SendMessageA(form->Handle(), WM_GETTEXT, c.size, c.buffer ? reinterpret_cast<LPARAM>(buf) : 0);
        EXPECT_EQ(r, c.result);
        if (c.text) {
            EXPECT_STREQ(buf, c.text);
        }
    }
    EXPECT_EQ(SendMessageA(form->Handle(), WM_GETTEXTLENGTH, 0, 0), 11);
}

TEST_F(Caption, CaptionAndFrameSurviveTheSkinAndTheProvider)
{
    UseSkin("Neutral");
    TsSkinProvider* provider = nullptr;
    TForm* form = SkinnedForm(bsSizeable, 400, 300, &provider);
    form->SetCaption("Новый заголовок");
    // While skinned the provider paints the caption itself; the window keeps it for the task bar.
    EXPECT_EQ(form->Caption(), "Новый заголовок");
    EXPECT_EQ(WindowText(form->Handle()), "Новый заголовок");
    Manager()->SetActive(false);
    EXPECT_EQ(WindowText(form->Handle()), "Новый заголовок");
    EXPECT_EQ(form->Caption(), "Новый заголовок");

    Manager()->SetActive(true);
    ASSERT_TRUE(sSkinData->Active);
    form->SetCaption("Ещё один");
    provider->Free();
    EXPECT_EQ(WindowText(form->Handle()), "Ещё один");
    EXPECT_EQ(form->Caption(), "Ещё один");
    // The provider that goes gives the form its own frame back too.
    EXPECT_EQ(form->BorderIcons(), (TBorderIcons{biSystemMenu, biMinimize, biMaximize}));
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(form->Handle(), rgn), ERROR);
    DeleteObject(rgn);
}

TEST_F(Caption, NewCaptionLeavesTheSkinnedFrameOnTheScreen)
{
    // The window takes the text without the system painting its own frame over the skin's.
    UseSkin("Neutral");
    TForm* form = MakeForm();
    form->SetBounds(100, 100, 300, 200);
    auto system = std::make_unique<TTakeOver>(form);
    auto* provider = Create<TsSkinProvider>(form);
    form->Show();
    SetForegroundWindow(form->Handle());
    Paint(form);
    const int x = 180, y = provider->SysBorderHeight() + 2;
    COLORREF painted = CLR_INVALID;
    system->after = [&](TMessage& Message) {
        if (Message.Msg != WM_SETTEXT)
            return;
        HDC dc = GetWindowDC(form->Handle());
        painted = GetPixel(dc, x, y);
        ReleaseDC(form->Handle(), dc);
    };
    form->SetCaption("Другой");
    const TBitmap* cache = provider->SkinData()->FCacheBmp.get();
    EXPECT_EQ(painted, static_cast<COLORREF>(PixelOf(const_cast<TBitmap*>(cache), x, y)));
    EXPECT_EQ(WindowText(form->Handle()), "Другой");
    form->Free();
}
