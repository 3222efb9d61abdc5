// The program's resources (registered through extras.h), looked up by instance, type and id as
// Win32 looks up a module's resources.
#pragma once
#include "platform/extras.h"

const ResourceEntry* FindResourceEntry(HINSTANCE instance, LPCWSTR type, UINT id);
// The registered resource whose bytes contain `p`, or null: lets parsers bound their reads.
const ResourceEntry* FindResourceContaining(const void* p);
// The registered description of control `id` of a window of `instance` (for screen readers), or null.
LPCWSTR ControlDescription(HINSTANCE instance, int id);
