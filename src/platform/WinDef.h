// Plain value types of the window system that the core shares with the shell: POINT, RECT, CSize.
#pragma once

#include <cstdint>

using BOOL = int;
using UINT = unsigned int;
using COLORREF = std::uint32_t;

struct POINT {
    int x = 0;
    int y = 0;
};

struct RECT {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct CSize {
    int cx = 0;
    int cy = 0;
};

// A colour as 0x00BBGGRR: the low byte is red.
constexpr COLORREF RGB(int r, int g, int b) {
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(COLORREF c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int GetGValue(COLORREF c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int GetBValue(COLORREF c) {
    return static_cast<int>((c >> 16) & 0xFF);
}
