#pragma once

#include <QColor>

// One palette for every bitmap: a deep navy frame, a light body, and the blue of the progress bar
// (4, 134, 232) as the accent.
namespace izuzez::skingen::palette
{
inline const QColor navyTop(0x16, 0x2B, 0x47);
inline const QColor navyBottom(0x0F, 0x1F, 0x35);
inline const QColor dialogBody(0x17, 0x2E, 0x4D); // body of the white-text dialogs
inline const QColor accent(0x04, 0x86, 0xE8);
inline const QColor accentLight(0x3F, 0xB0, 0xF7);
inline const QColor accentDark(0x03, 0x62, 0xAE);
inline const QColor body(0xF2, 0xF4, 0xF7); // main window body
inline const QColor footer(0xE6, 0xEA, 0xF0);
inline const QColor hairline(0xD3, 0xDA, 0xE3);
inline const QColor ink(0x1C, 0x2A, 0x3A); // headings on light ground
inline const QColor inkMuted(0x5C, 0x6B, 0x7D);
inline const QColor trackFill(0xE9, 0xED, 0xF2);
inline const QColor trackEdge(0xC9, 0xD2, 0xDC);
inline const QColor arrowFace(0xDC, 0xE3, 0xEB);
inline const QColor glyph(0x42, 0x53, 0x66);
inline const QColor glyphOff(0xB4, 0xBF, 0xCB);
inline const QColor thumb(0x93, 0xA4, 0xB8);
inline const QColor thumbEdge(0x78, 0x8A, 0xA0);
} // namespace izuzez::skingen::palette
