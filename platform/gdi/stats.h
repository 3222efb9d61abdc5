// Live drawing objects, for tests that look for leaks: stock objects are never counted.
#pragma once

struct GdiObjectCounts {
    int pens;
    int brushes;
    int fonts;
    int bitmaps;
    int dcs;
};

GdiObjectCounts GetGdiObjectCounts();
