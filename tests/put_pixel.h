// Sets one logical pixel through the public API (a 1 x 1 fill), for tests that build pictures.
#pragma once
#include "platform/windows.h"

inline void PutPixel(HDC dc, int x, int y, COLORREF color)
{
    HBRUSH brush = CreateSolidBrush(color);
    RECT r{x, y, x + 1, y + 1};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}
