// The AT-SPI2 bridge: connects to the accessibility bus, registers the program with the
// registry, answers calls from the window tree and sends events as the window tree changes.
// Runs on the UI thread (a helper thread only waits for the bus); losing the bus ends the bridge
// and nothing else.
#pragma once
#include <string>

// False (with why, on standard error) when the bus cannot be reached or libdbus is missing.
bool StartAtspiBridge(const std::string& busAddress);
void StopAtspiBridge();
bool AtspiBridgeRunning();
