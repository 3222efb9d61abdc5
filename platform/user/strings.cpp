// String resources: LoadString copies a string table entry, cut to the buffer and terminated.
#include <algorithm>
#include <cstring>
#include "platform/kernel/resource_table.h"
#include "platform/windows.h"

int LoadString(HINSTANCE instance, UINT id, LPWSTR buffer, int maxCount)
{
    if (!buffer || maxCount <= 0) return 0;
    buffer[0] = 0;
    const ResourceEntry* e = FindResourceEntry(instance, RT_STRING, id);
    if (!e) return 0;
    int length = static_cast<int>(e->size / sizeof(WCHAR));
    int n = std::min(length, maxCount - 1);
    std::memcpy(buffer, e->data, n * sizeof(WCHAR));
    buffer[n] = 0;
    return n;
}
