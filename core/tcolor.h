// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
#pragma once

#include <cstdint>

namespace lsg {

// A colour as the settings file stores it: $00BBGGRR for plain colours,
// $FF000000 + index for the desktop's system colours, special values below.
using TColor = std::uint32_t;

inline constexpr TColor clDefault = 0x20000000;
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor kSystemColorBase = 0xFF000000;

inline constexpr TColor systemColor(int index) {
    return kSystemColorBase + TColor(index);
}
inline constexpr bool isSystemColor(TColor c) {
    return (c & 0xFF000000u) == kSystemColorBase;
}
inline constexpr TColor rgbColor(int r, int g, int b) {
    return TColor(r & 0xFF) | (TColor(g & 0xFF) << 8) | (TColor(b & 0xFF) << 16);
}

inline constexpr TColor clBlack = 0x00000000;
inline constexpr TColor clWhite = 0x00FFFFFF;
inline constexpr TColor clRed = 0x000000FF;
inline constexpr TColor clLime = 0x0000FF00;
inline constexpr TColor clGray = 0x00808080;
inline constexpr TColor clWindowText = systemColor(8);
inline constexpr TColor clHighlight = systemColor(13);
inline constexpr TColor clHighlightText = systemColor(14);
inline constexpr TColor clBtnFace = systemColor(15);
inline constexpr TColor clMenuHighlight = systemColor(29);

}  // namespace lsg
