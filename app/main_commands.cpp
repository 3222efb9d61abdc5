// The main window's commands: Exit, About, Help contents, Uninstall, and the clipboard's two.
#include "app/app.h"
#include "app/device_setup.h"
#include "resources/resource_ids.h"

namespace {

LRESULT OnExit(HWND hWnd)
{
    SendMessage(hWnd, WM_CLOSE, 0, 0);
    return 0;
}

LRESULT OnAbout(HWND hWnd)
{
    HRSRC res = FindResource(g_hInst, MAKEINTRESOURCE(IDD_ABOUTBOX), RT_DIALOG);
    auto* tmpl = static_cast<LPCDLGTEMPLATE>(LockResource(LoadResource(g_hInst, res)));
    DialogBoxIndirectParam(g_hInst, tmpl, hWnd, AboutDlgProc, 0);
    return 0;
}

LRESULT OnHelpContents()
{
    WideString commandLine = HelpFileDevicePath(SETUP_HELP_FILES[0]);
    PROCESS_INFORMATION pi{};
    if (CreateProcess(TEXT("\\windows\\peghelp.exe"), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      nullptr, &pi)) {
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
    return 0;
}

LRESULT OnUninstall(HWND hWnd)
{
    for (const char* name : SETUP_HELP_FILES) DeleteFile(HelpFileDevicePath(name).c_str());
    HKEY key;
    if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, SETUP_REGISTRY_PARENT, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
        return 0;
    }
    RegDeleteKey(key, SETUP_REGISTRY_NAME);
    RegCloseKey(key);
    MessageBox(hWnd,
               TEXT("レジストリの削除を行いました。アプリの終了後に、本体のファイルを削除してください。"),
               TEXT("アンインストール"), MB_OK);
    return 0;
}

// Ctrl+C and Ctrl+V: the face owns the number, so the clipboard commands are its business.
LRESULT OnCopy()
{
    SendMessage(g_hwndCalc, WM_COPY, 0, 0);
    return 0;
}

LRESULT OnPaste()
{
    SendMessage(g_hwndCalc, WM_PASTE, 0, 0);
    return 0;
}

}  // namespace

LRESULT OnMainCommand(HWND hWnd, WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case IDOK:
        SendMessage(hWnd, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(hWnd));
        return OnExit(hWnd);
    case IDM_ABOUT:         return OnAbout(hWnd);
    case IDM_EXIT:          return OnExit(hWnd);
    case IDM_HELP_CONTENTS: return OnHelpContents();
    case IDM_UNINSTALL:     return OnUninstall(hWnd);
    case IDM_COPY:          return OnCopy();
    case IDM_PASTE:         return OnPaste();
    }
    return DefWindowProc(hWnd, WM_COMMAND, wParam, lParam);
}

INT_PTR CALLBACK AboutDlgProc(HWND hDlg, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG: {
        SHINITDLGINFO shidi{};
        shidi.dwMask = SHIDIM_FLAGS;
        shidi.hDlg = hDlg;
        shidi.dwFlags = SHIDIF_DONEBUTTON | SHIDIF_SIPDOWN | SHIDIF_SIZEDLGFULLSCREEN;
        SHInitDialog(&shidi);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            EndDialog(hDlg, 1);
            return TRUE;
        }
        break;
    }
    return FALSE;
}
