// What windows paint as text, kept per window while accessibility is on: a face that paints its
// display itself has its numbers read from here, as screen readers of old read the screen.
// A window's runs are replaced where it paints again; runs outside the painted area stay.
#pragma once
#include <string>
#include <vector>
#include "platform/windows.h"

struct PaintedRun {
    RECT bounds;  // client coordinates of the painting window
    std::u16string text;
};

// Recording starts with the first paint after StartPaintedText and stops, forgetting everything,
// with StopPaintedText.
void StartPaintedText();
void StopPaintedText();

void PaintedTextBegin(HWND hwnd, HDC hdc, const RECT& area);
// True when the window's runs differ from those before its paint began.
bool PaintedTextEnd(HWND hwnd);
void ForgetPaintedText(HWND hwnd);

// The window's runs, in the order they were painted (empty when none).
const std::vector<PaintedRun>& PaintedRunsOf(HWND hwnd);
// The run that shows `text` with group separators (spaces, commas) put in: -1 when none does.
int RunShowing(HWND hwnd, const std::u16string& text);
