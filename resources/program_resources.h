// The program's resource tables, and their registration with the platform at start-up.
#pragma once
#include <vector>
#include "platform/extras.h"
#include "platform/windows.h"

const DialogDesc& CalcDialogDesc();
const DialogDesc& AboutDialogDesc();

void AppendMenuResources(std::vector<ResourceEntry>& entries);

// Registers every resource of the program under `instance`; cheap, and safe to call again.
void RegisterProgramResources(HINSTANCE instance);
