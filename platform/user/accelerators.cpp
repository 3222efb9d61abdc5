// Accelerator tables from resources, and TranslateAccelerator over the keyboard's modifier state.
// Knowingly lacks: destroying a table (the program keeps its one table for its whole life).
#include <cstring>
#include <vector>
#include "platform/kernel/resource_table.h"
#include "platform/windows.h"
#include "platform/user/input.h"

namespace {

std::vector<std::vector<ACCEL>> g_accelTables;

bool KeyDown(int virtualKey)
{
    return (GetKeyState(virtualKey) & 0x8000) != 0;
}

}  // namespace

HACCEL LoadAccelerators(HINSTANCE instance, LPCWSTR name)
{
    if (!IS_INTRESOURCE(name)) return nullptr;
    const ResourceEntry* e = FindResourceEntry(instance, RT_ACCELERATOR,
                                               static_cast<UINT>(reinterpret_cast<UINT_PTR>(name)));
    if (!e) return nullptr;
    // Each entry: flags, key, command, padding (16 bits each); 0x80 in the flags ends the table.
    std::vector<ACCEL> table;
    auto* p = static_cast<const BYTE*>(e->data);
    for (DWORD off = 0; off + 8 <= e->size; off += 8) {
        WORD w[3];
        std::memcpy(w, p + off, 6);
        table.push_back(ACCEL{static_cast<BYTE>(w[0] & 0x7F), w[1], w[2]});
        if (w[0] & 0x80) break;
    }
    g_accelTables.push_back(std::move(table));
    return reinterpret_cast<HACCEL>(g_accelTables.size());
}

int TranslateAccelerator(HWND hwnd, HACCEL accel, MSG* msg)
{
    auto index = reinterpret_cast<std::uintptr_t>(accel);
    if (!msg || !IsWindow(hwnd) || index == 0 || index > g_accelTables.size()) return 0;
    bool keyDown = msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN;
    bool charMsg = msg->message == WM_CHAR || msg->message == WM_SYSCHAR;
    if (!keyDown && !charMsg) return 0;
    for (const ACCEL& a : g_accelTables[index - 1]) {
        bool virt = (a.fVirt & FVIRTKEY) != 0;
        if (virt != keyDown || a.key != msg->wParam) continue;
        if (virt) {
            if (((a.fVirt & FCONTROL) != 0) != KeyDown(VK_CONTROL)) continue;
            if (((a.fVirt & FSHIFT) != 0) != KeyDown(VK_SHIFT)) continue;
            if (((a.fVirt & FALT) != 0) != KeyDown(VK_MENU)) continue;
        }
        SendMessage(hwnd, WM_COMMAND, MAKEWPARAM(a.cmd, 1), 0);
        return 1;
    }
    return 0;
}
