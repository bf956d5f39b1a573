/* The second floor of the start-up benchmark: a program of the receiver's shape that does
   none of the receiver's own work. It shows a splash popup with a picture, then a shaped
   popup of the main window's size with a picture and a tray icon, and it is linked with
   the libraries the receiver imports (one function of each is referred to, so that the
   loader loads them as it loads the receiver's). What the receiver needs beyond this
   program's time is the cost of its own work; what this program needs beyond
   nothing.exe's is the cost of the shape, the pictures and the libraries. */
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <bcrypt.h>
#include <mmsystem.h>
#include <objbase.h>
#include <shellapi.h>
#include <wincrypt.h>
#include <wininet.h>
#include <winsock2.h>
#define SECURITY_WIN32
#include <security.h>

#define WIDTH 601
#define HEIGHT 352
#define SPLASH_WIDTH 492
#define SPLASH_HEIGHT 236

/* One function of each library the receiver imports. */
static const void *volatile imported[] = {
    (const void *)WSAStartup, (const void *)InitSecurityInterfaceW, (const void *)CertOpenStore,
    (const void *)BCryptGenRandom, (const void *)Shell_NotifyIconA, (const void *)CoInitialize,
    (const void *)waveOutGetNumDevs, (const void *)InternetGetConnectedState,
    (const void *)GradientFill, (const void *)RegOpenKeyExA,
};

static HWND main_window;

/* A picture of the given size, drawn once: a gradient, as a skin's bitmap would be. */
static HBITMAP make_picture(int width, int height)
{
    BITMAPINFO info = {0};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void *bits = NULL;
    HBITMAP bitmap = CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    if (!bitmap)
        return NULL;
    DWORD *pixel = bits;
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++)
            *pixel++ = (DWORD)((x * 255 / width) << 16 | (y * 255 / height) << 8 | 0x40);
    return bitmap;
}

static LRESULT CALLBACK window_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        HBITMAP picture = (HBITMAP)GetWindowLongPtrA(hwnd, GWLP_USERDATA);
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(source, picture);
        RECT client;
        GetClientRect(hwnd, &client);
        BitBlt(dc, 0, 0, client.right, client.bottom, source, 0, 0, SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        DeleteObject((HBITMAP)GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (hwnd == main_window)
            PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

static HWND make_window(HINSTANCE instance, const char *title, int width, int height)
{
    int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    HWND hwnd = CreateWindowExA(0, "FloorWindow", title, WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX, x, y, width, height,
                                NULL, NULL, instance, NULL);
    if (hwnd)
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, (LONG_PTR)make_picture(width, height));
    return hwnd;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE prev, LPSTR cmdline, int show)
{
    (void)prev;
    (void)cmdline;
    (void)show;

    WNDCLASSA wc = {0};
    wc.lpfnWndProc = window_proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    wc.lpszClassName = "FloorWindow";
    if (!RegisterClassA(&wc))
        return 1;

    HWND splash = make_window(instance, "Floor Splash", SPLASH_WIDTH, SPLASH_HEIGHT);
    if (!splash)
        return 1;
    ShowWindow(splash, SW_SHOWNORMAL);
    UpdateWindow(splash);

    HWND hwnd = main_window = make_window(instance, "Floor Window", WIDTH, HEIGHT);
    if (!hwnd)
        return 1;
    /* An outline with rounded corners, as a skin's outline cuts the window. */
    SetWindowRgn(hwnd, CreateRoundRectRgn(0, 0, WIDTH + 1, HEIGHT + 1, 40, 40), FALSE);
    NOTIFYICONDATAA icon = {0};
    icon.cbSize = sizeof icon;
    icon.hWnd = hwnd;
    icon.uID = 1;
    icon.uFlags = NIF_ICON | NIF_TIP;
    icon.hIcon = LoadIcon(NULL, IDI_APPLICATION);
    lstrcpyA(icon.szTip, "Floor Window");
    Shell_NotifyIconA(NIM_ADD, &icon);
    DestroyWindow(splash);
    ShowWindow(hwnd, SW_SHOWNORMAL);
    UpdateWindow(hwnd);

    MSG msg;
    BOOL got;
    while ((got = GetMessageA(&msg, NULL, 0, 0)) != 0) {
        if (got == -1)
            break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    Shell_NotifyIconA(NIM_DELETE, &icon);
    return 0;
}
