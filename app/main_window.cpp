// Program entry, the single-instance rule, the main window and its menu bar, the message loop.
#include "app/app.h"
#include "engine/calc_state.h"
#include "face/face.h"
#include "resources/resource_ids.h"

#define MAX_LOADSTRING 100
#define MENU_BAR_HEIGHT 26

HINSTANCE g_hInst;
HWND g_hwndCalc;
HWND g_hwndMenuBar;
static SHACTIVATEINFO g_activateInfo;

static BOOL OnMainCreate(HWND hWnd)
{
    g_hwndMenuBar = CreateMainMenuBar(hWnd);
    HRSRC res = FindResource(g_hInst, MAKEINTRESOURCE(IDD_CALC), RT_DIALOG);
    auto* tmpl = static_cast<LPCDLGTEMPLATE>(LockResource(LoadResource(g_hInst, res)));
    g_hwndCalc = CreateDialogIndirectParam(g_hInst, tmpl, hWnd, CalcDlgProc, 0);
    ShowWindow(g_hwndCalc, SW_SHOW);
    g_calc.modeFlags = MODE_DEC | MODE_DEGREES;
    UpdateKeyVisibility(g_hwndCalc, MODE_DEC | MODE_DEGREES);
    g_calc.entryFlags = 0;
    return TRUE;
}

static void OnMainDestroy()
{
    DestroyWindow(g_hwndMenuBar);
    DestroyWindow(g_hwndCalc);
    PostQuitMessage(0);
}

LRESULT CALLBACK MainWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE:
        OnMainCreate(hWnd);
        return 0;
    case WM_DESTROY:
        OnMainDestroy();
        return 0;
    case WM_SETTINGCHANGE:
        SHHandleWMSettingChange(hWnd, wParam, lParam, &g_activateInfo);
        return 0;
    case WM_COMMAND:
        return OnMainCommand(hWnd, wParam, lParam);
    }
    return DefWindowProc(hWnd, msg, wParam, lParam);
}

HWND CreateMainMenuBar(HWND hWnd)
{
    SHMENUBARINFO mbi{};
    mbi.cbSize = 32;
    mbi.hwndParent = hWnd;
    mbi.dwFlags = 0;
    mbi.nToolBarId = IDR_MAINMENU;
    mbi.hInstRes = g_hInst;
    mbi.nBmpId = 0;
    mbi.cBmpImages = 0;
    return SHCreateMenuBar(&mbi) ? mbi.hwndMB : nullptr;
}

ATOM RegisterMainWndClass(HINSTANCE hInstance, LPCWSTR className)
{
    WNDCLASS wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MainWndProc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = 0;
    wc.hInstance = hInstance;
    wc.hIcon = LoadIcon(hInstance, MAKEINTRESOURCE(IDI_APPICON));
    wc.hCursor = nullptr;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszMenuName = nullptr;
    wc.lpszClassName = className;
    return RegisterClass(&wc);
}

BOOL InitMainWindow(HINSTANCE hInstance, int nCmdShow)
{
    WCHAR szTitle[MAX_LOADSTRING];
    WCHAR szWindowClass[MAX_LOADSTRING];
    g_hInst = hInstance;
    LoadString(hInstance, IDS_WINDOW_CLASS, szWindowClass, MAX_LOADSTRING);
    LoadString(hInstance, IDS_APP_TITLE, szTitle, MAX_LOADSTRING);

    HWND hWnd = FindWindow(szWindowClass, szTitle);
    if (hWnd) {
        // Bit 0 brings the running copy's owned windows (an open About box) forward with it.
        SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<UINT_PTR>(hWnd) | 0x01));
        return FALSE;
    }
    RegisterMainWndClass(hInstance, szWindowClass);
    hWnd = CreateWindowEx(0, szWindowClass, szTitle, WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, nullptr, nullptr, hInstance, nullptr);
    if (!hWnd) return FALSE;

    if (g_hwndMenuBar) {
        RECT rc;
        GetWindowRect(hWnd, &rc);
        MoveWindow(hWnd, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top - MENU_BAR_HEIGHT, FALSE);
    }
    ShowWindow(hWnd, nCmdShow);
    UpdateWindow(hWnd);
    return TRUE;
}

int AppMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int nCmdShow)
{
    if (!InitMainWindow(hInstance, nCmdShow)) return 0;
    HACCEL hAccel = LoadAccelerators(hInstance, MAKEINTRESOURCE(IDR_ACCELERATORS));
    MSG msg;
    while (GetMessage(&msg, nullptr, 0, 0)) {
        if (!TranslateAccelerator(msg.hwnd, hAccel, &msg)) {
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
    }
    return static_cast<int>(msg.wParam);
}
