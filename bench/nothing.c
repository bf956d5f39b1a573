/* The smallest Windows GUI program worth timing: it registers a window class, shows one
   popup window and waits until that window is closed. The start-up benchmark launches
   it next to the real program to learn how long Wine alone needs to put a window on
   the screen. */
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#define WIDTH 601
#define HEIGHT 352

static LRESULT CALLBACK window_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE prev, LPSTR cmdline, int show)
{
    (void)prev;
    (void)cmdline;

    WNDCLASSA wc = {0};
    wc.lpfnWndProc = window_proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    wc.lpszClassName = "NothingWindow";
    if (!RegisterClassA(&wc))
        return 1;

    int x = (GetSystemMetrics(SM_CXSCREEN) - WIDTH) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - HEIGHT) / 2;
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "Nothing Window",
                                WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX,
                                x, y, WIDTH, HEIGHT, NULL, NULL, instance, NULL);
    if (!hwnd)
        return 1;
    ShowWindow(hwnd, show == SW_HIDE ? SW_SHOWNORMAL : show);
    UpdateWindow(hwnd);

    MSG msg;
    BOOL got;
    while ((got = GetMessageA(&msg, NULL, 0, 0)) != 0) {
        if (got == -1)
            return 1;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}
