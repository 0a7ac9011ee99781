// Program entry: the application object, the fifteen forms with the main window first, the
// message loop. Every error that reaches this level is shown in the application's error box.
#include <windows.h>

#include "Forms.h"
#include "Main.h"

#ifdef VELLORN_MAIN_WINDOW

#if __has_include("Form2.h")
#include "Form2.h"
#define VELLORN_HAS_FORM2 1
#endif
#if __has_include("FormFLog.h")
#include "FormFLog.h"
#define VELLORN_HAS_FLOG 1
#endif
#if __has_include("Form4.h")
#include "Form4.h"
#define VELLORN_HAS_FORM4 1
#endif
#if __has_include("Form7.h")
#include "Form7.h"
#define VELLORN_HAS_FORM7 1
#endif
#if __has_include("Form8.h")
#include "Form8.h"
#define VELLORN_HAS_FORM8 1
#endif
#if __has_include("Form9.h")
#include "Form9.h"
#define VELLORN_HAS_FORM9 1
#endif
#if __has_include("FormFlash.h")
#include "FormFlash.h"
#define VELLORN_HAS_FLASH 1
#endif
#if __has_include("Form5.h")
#include "Form5.h"
#define VELLORN_HAS_FORM5 1
#endif
#if __has_include("FormFlashO.h")
#include "FormFlashO.h"
#define VELLORN_HAS_FLASHO 1
#endif
#if __has_include("Form12.h")
#include "Form12.h"
#define VELLORN_HAS_FORM12 1
#endif
#if __has_include("Form13.h")
#include "Form13.h"
#define VELLORN_HAS_FORM13 1
#endif
#if __has_include("Form14.h")
#include "Form14.h"
#define VELLORN_HAS_FORM14 1
#endif
#if __has_include("Form15.h")
#include "Form15.h"
#define VELLORN_HAS_FORM15 1
#endif
#if __has_include("Form16.h")
#include "Form16.h"
#define VELLORN_HAS_FORM16 1
#endif

namespace {

void ShowFatal(Exception& E)
{
    if (Application)
        Application->ShowException(&E);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    try {
        Application->Initialize();
        Application->SetTitle("Vellorn");
        Application->CreateForm(ID_Vellorn);
#ifdef VELLORN_HAS_FORM2
        Application->CreateForm(Form2);
#endif
#ifdef VELLORN_HAS_FLOG
        Application->CreateForm(FLog);
#endif
#ifdef VELLORN_HAS_FORM4
        Application->CreateForm(Form4);
#endif
#ifdef VELLORN_HAS_FORM7
        Application->CreateForm(Form7);
#endif
#ifdef VELLORN_HAS_FORM8
        Application->CreateForm(Form8);
#endif
#ifdef VELLORN_HAS_FORM9
        Application->CreateForm(Form9);
#endif
#ifdef VELLORN_HAS_FLASH
        Application->CreateForm(Flash);
#endif
#ifdef VELLORN_HAS_FORM5
        Application->CreateForm(Form5);
#endif
#ifdef VELLORN_HAS_FLASHO
        Application->CreateForm(FlashO);
#endif
#ifdef VELLORN_HAS_FORM12
        Application->CreateForm(Form12);
#endif
#ifdef VELLORN_HAS_FORM13
        Application->CreateForm(Form13);
#endif
#ifdef VELLORN_HAS_FORM14
        Application->CreateForm(Form14);
#endif
#ifdef VELLORN_HAS_FORM15
        Application->CreateForm(Form15);
#endif
#ifdef VELLORN_HAS_FORM16
        Application->CreateForm(Form16);
#endif
        Application->Run();
    } catch (Exception& exception) {
        ShowFatal(exception);
    } catch (...) {
        // Anything else is reported as an error without a text of its own.
        Exception exception("");
        ShowFatal(exception);
    }
    return 0;
}

#else

// Until the main window's controls are built: a plain window titled "Vellorn".
namespace {

LRESULT CALLBACK MainWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "TID_Vellorn";
    RegisterClassA(&wc);
    HWND wnd = CreateWindowA("TID_Vellorn", "Vellorn", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 800, 600,
                             nullptr, nullptr, instance, nullptr);
    ShowWindow(wnd, show);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

#endif // VELLORN_MAIN_WINDOW
