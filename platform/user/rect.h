// Rectangle arithmetic on [left, right) x [top, bottom): the window core's, the shell's and the
// backends' geometry, in one place. An empty result is all zeros.
#pragma once
#include <algorithm>
#include "platform/win_types.h"

inline bool RectEmpty(const RECT& r)
{
    return r.right <= r.left || r.bottom <= r.top;
}

inline RECT RectIntersect(const RECT& a, const RECT& b)
{
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (RectEmpty(r)) return RECT{0, 0, 0, 0};
    return r;
}

inline RECT RectUnion(const RECT& a, const RECT& b)
{
    if (RectEmpty(a)) return b;
    if (RectEmpty(b)) return a;
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

inline RECT RectOffset(const RECT& r, int dx, int dy)
{
    return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

inline bool RectContains(const RECT& r, POINT p)
{
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}
