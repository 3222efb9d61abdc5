// The program's resource tables, and their registration with the platform at start-up.
#pragma once
#include <cstddef>
#include <vector>
#include "platform/extras.h"
#include "platform/windows.h"

const DialogDesc& CalcDialogDesc();
const DialogDesc& AboutDialogDesc();

void AppendMenuResources(std::vector<ResourceEntry>& entries);

// The bitmaps, icon and help pages embedded at build time, by file name; null when absent.
const unsigned char* FindEmbeddedBlob(const char* name, std::size_t* size);

// Registers every resource of the program under `instance`; cheap, and safe to call again.
void RegisterProgramResources(HINSTANCE instance);
