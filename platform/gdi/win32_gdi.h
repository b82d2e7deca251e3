// GDI declarations of the portable Win32 layer: device contexts, bitmaps,
// pens, brushes, fonts, shapes, pixels, copies and text. Numbers and
// signatures are those of Win32.
#pragma once

#include "platform/core/win32_types.h"

#define SRCCOPY 0x00CC0020L
#define TRANSPARENT 1
#define OPAQUE 2
#define PS_SOLID 0
#define PS_NULL 5
#define CLR_INVALID 0xFFFFFFFF
#define HGDI_ERROR ((HGDIOBJ)(LONG_PTR)-1)

// Stock objects.
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
#define OEM_FIXED_FONT 10
#define ANSI_FIXED_FONT 11
#define ANSI_VAR_FONT 12
#define SYSTEM_FONT 13
#define DEFAULT_GUI_FONT 17

// Fonts.
#define LF_FACESIZE 32
#define FW_DONTCARE 0
#define FW_NORMAL 400
#define FW_BOLD 700
#define ANSI_CHARSET 0
#define DEFAULT_CHARSET 1
#define OUT_DEFAULT_PRECIS 0
#define CLIP_DEFAULT_PRECIS 0
#define DEFAULT_QUALITY 0
#define ANTIALIASED_QUALITY 4
#define DEFAULT_PITCH 0
#define FIXED_PITCH 1
#define VARIABLE_PITCH 2
#define FF_DONTCARE 0x00
#define FF_SWISS 0x20
#define FF_MODERN 0x30

struct TEXTMETRICA {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
    LONG tmOverhang;
    LONG tmDigitizedAspectX;
    LONG tmDigitizedAspectY;
    BYTE tmFirstChar;
    BYTE tmLastChar;
    BYTE tmDefaultChar;
    BYTE tmBreakChar;
    BYTE tmItalic;
    BYTE tmUnderlined;
    BYTE tmStruckOut;
    BYTE tmPitchAndFamily;
    BYTE tmCharSet;
};
typedef TEXTMETRICA *LPTEXTMETRICA;

// Device contexts and objects.
HDC WINAPI CreateCompatibleDC(HDC dc);
BOOL WINAPI DeleteDC(HDC dc);
HBITMAP WINAPI CreateCompatibleBitmap(HDC dc, int width, int height);
HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object);
BOOL WINAPI DeleteObject(HGDIOBJ object);
HGDIOBJ WINAPI GetStockObject(int index);
HPEN WINAPI CreatePen(int style, int width, COLORREF color);
HBRUSH WINAPI CreateSolidBrush(COLORREF color);
int WINAPI FillRect(HDC dc, const RECT *rect, HBRUSH brush);

// Shapes, pixels and copies.
BOOL WINAPI Rectangle(HDC dc, int left, int top, int right, int bottom);
BOOL WINAPI Ellipse(HDC dc, int left, int top, int right, int bottom);
BOOL WINAPI Polygon(HDC dc, const POINT *points, int count);
BOOL WINAPI MoveToEx(HDC dc, int x, int y, LPPOINT previous);
BOOL WINAPI LineTo(HDC dc, int x, int y);
COLORREF WINAPI SetPixel(HDC dc, int x, int y, COLORREF color);
COLORREF WINAPI GetPixel(HDC dc, int x, int y);
BOOL WINAPI BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int source_x,
                   int source_y, DWORD rop);
BOOL WINAPI ScrollDC(HDC dc, int dx, int dy, const RECT *scroll, const RECT *clip, HRGN update_rgn,
                     LPRECT update);

// Text.
HFONT WINAPI CreateFontA(int height, int width, int escapement, int orientation, int weight,
                         DWORD italic, DWORD underline, DWORD strike_out, DWORD charset,
                         DWORD out_precision, DWORD clip_precision, DWORD quality,
                         DWORD pitch_and_family, LPCSTR face_name);
COLORREF WINAPI SetTextColor(HDC dc, COLORREF color);
COLORREF WINAPI GetTextColor(HDC dc);
int WINAPI SetBkMode(HDC dc, int mode);
int WINAPI GetBkMode(HDC dc);
COLORREF WINAPI SetBkColor(HDC dc, COLORREF color);
COLORREF WINAPI GetBkColor(HDC dc);
BOOL WINAPI GetTextExtentPointA(HDC dc, LPCSTR text, int count, LPSIZE size);
BOOL WINAPI GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, LPSIZE size);
BOOL WINAPI GetTextMetricsA(HDC dc, LPTEXTMETRICA metrics);
BOOL WINAPI TextOutA(HDC dc, int x, int y, LPCSTR text, int count);
BOOL WINAPI TextOutW(HDC dc, int x, int y, LPCWSTR text, int count);
int WINAPI GetTextFaceA(HDC dc, int count, LPSTR face_name);
