// Drawing: device contexts, pens, brushes, fonts, text and bitmaps, rendered in software
// into 32-bit surfaces (the device screen or a bitmap).
#pragma once
#include "platform/win_types.h"

#define PS_SOLID 0
#define PS_NULL 5
#define PS_INSIDEFRAME 6

#define TRANSPARENT 1
#define OPAQUE 2

#define LOGPIXELSX 88
#define LOGPIXELSY 90
#define HORZRES 8
#define VERTRES 10
#define BITSPIXEL 12
#define PLANES 14

#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define HOLLOW_BRUSH NULL_BRUSH
#define WHITE_PEN 6
#define BLACK_PEN 7
#define NULL_PEN 8
#define SYSTEM_FONT 13
#define DEFAULT_GUI_FONT 17

#define SRCCOPY 0x00CC0020
#define SRCPAINT 0x00EE0086
#define SRCAND 0x008800C6
#define SRCINVERT 0x00660046
#define DSTINVERT 0x00550009
#define BLACKNESS 0x00000042
#define WHITENESS 0x00FF0062
#define HGDI_ERROR ((HGDIOBJ)(LONG_PTR)-1)

#define ETO_OPAQUE 0x0002
#define ETO_CLIPPED 0x0004

#define DT_TOP 0x00000000
#define DT_LEFT 0x00000000
#define DT_CENTER 0x00000001
#define DT_RIGHT 0x00000002
#define DT_VCENTER 0x00000004
#define DT_BOTTOM 0x00000008
#define DT_WORDBREAK 0x00000010
#define DT_SINGLELINE 0x00000020
#define DT_NOCLIP 0x00000100
#define DT_CALCRECT 0x00000400
#define DT_NOPREFIX 0x00000800

#define FW_DONTCARE 0
#define FW_NORMAL 400
#define FW_BOLD 700
#define FW_EXTRABOLD 800
#define LF_FACESIZE 32

#define CLR_INVALID 0xFFFFFFFF

#define GGO_METRICS 0
#define GDI_ERROR 0xFFFFFFFFul

struct LOGFONT {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    WCHAR lfFaceName[LF_FACESIZE];
};

struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
};

struct TEXTMETRIC {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
};

struct FIXED {
    WORD fract;
    SHORT value;
};

struct MAT2 {
    FIXED eM11;
    FIXED eM12;
    FIXED eM21;
    FIXED eM22;
};

struct GLYPHMETRICS {
    UINT gmBlackBoxX;
    UINT gmBlackBoxY;
    POINT gmptGlyphOrigin;  // the black box's top-left: right of the pen, up from the baseline
    SHORT gmCellIncX;
    SHORT gmCellIncY;
};

HDC CreateCompatibleDC(HDC hdc);
BOOL DeleteDC(HDC hdc);
int GetDeviceCaps(HDC hdc, int index);
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ obj);
BOOL DeleteObject(HGDIOBJ obj);
HGDIOBJ GetStockObject(int index);
int GetObject(HGDIOBJ obj, int size, LPVOID out);

HPEN CreatePen(int style, int width, COLORREF color);
HBRUSH CreateSolidBrush(COLORREF color);
HFONT CreateFontIndirect(const LOGFONT* lf);
HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height);

int SetBkMode(HDC hdc, int mode);
COLORREF SetTextColor(HDC hdc, COLORREF color);
COLORREF SetBkColor(HDC hdc, COLORREF color);

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom);
int FillRect(HDC hdc, const RECT* rect, HBRUSH brush);
COLORREF GetPixel(HDC hdc, int x, int y);
BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY, DWORD rop);
BOOL DrawIcon(HDC hdc, int x, int y, HICON icon);

BOOL GetTextExtentPoint32(HDC hdc, LPCWSTR text, int length, SIZE* size);
BOOL GetTextMetrics(HDC hdc, TEXTMETRIC* tm);
// GGO_METRICS with the identity matrix only (anything else gives GDI_ERROR); a glyph without ink
// reports a 1 x 1 box at the pen, as Win32 does.
DWORD GetGlyphOutline(HDC hdc, UINT ch, UINT format, GLYPHMETRICS* gm, DWORD bufferSize, LPVOID buffer,
                      const MAT2* mat);
BOOL ExtTextOut(HDC hdc, int x, int y, UINT options, const RECT* clip, LPCWSTR text, UINT length, const int* dx);
int DrawText(HDC hdc, LPCWSTR text, int length, RECT* rect, UINT format);
