// Global memory blocks, the clipboard's currency: handles into a table, so a stale or made-up
// handle is recognised and refused. Knowingly lacks: lock counts (a lock always succeeds on a
// live block), discardable memory, GlobalReAlloc.
#include <map>
#include <new>
#include <vector>
#include "platform/win_clipboard.h"
#include "platform/windows.h"

namespace {

// Handles are odd numbers from a base no pointer of ours starts with: a resource's data
// pointer, a window or a stray integer never names a block.
constexpr std::uintptr_t kHandleBase = 0x6C0001;
constexpr std::size_t kBlockLimit = std::size_t(1) << 30;

std::map<std::uintptr_t, std::vector<BYTE>>& Blocks()
{
    static std::map<std::uintptr_t, std::vector<BYTE>> blocks;
    return blocks;
}

std::uintptr_t g_nextHandle = kHandleBase;

std::vector<BYTE>* FindBlock(HGLOBAL mem)
{
    auto it = Blocks().find(reinterpret_cast<std::uintptr_t>(mem));
    return it == Blocks().end() ? nullptr : &it->second;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT, std::size_t bytes)
{
    if (bytes > kBlockLimit) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    std::vector<BYTE> block;
    try {
        block.assign(bytes == 0 ? 1 : bytes, 0);  // a zero-size block still gets a valid address
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    std::uintptr_t handle = g_nextHandle;
    g_nextHandle += 2;
    Blocks().emplace(handle, std::move(block));
    return reinterpret_cast<HGLOBAL>(handle);
}

LPVOID GlobalLock(HGLOBAL mem)
{
    std::vector<BYTE>* block = FindBlock(mem);
    if (!block) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return block->data();
}

BOOL GlobalUnlock(HGLOBAL mem)
{
    if (!FindBlock(mem)) SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;  // as Win32 reports an unlocked block: the lock count is not kept
}

std::size_t GlobalSize(HGLOBAL mem)
{
    std::vector<BYTE>* block = FindBlock(mem);
    return block ? block->size() : 0;
}

HGLOBAL GlobalFree(HGLOBAL mem)
{
    auto it = Blocks().find(reinterpret_cast<std::uintptr_t>(mem));
    if (it == Blocks().end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return mem;
    }
    Blocks().erase(it);
    return nullptr;
}
