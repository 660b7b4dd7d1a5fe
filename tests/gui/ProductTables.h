#pragma once

// What the product must ship, written down once for every GUI test: the bitmaps with their sizes,
// the dialog templates with their layout and skin, and the version. Tests read these tables and
// never keep copies of their own.

#include <QSize>

#include <algorithm>
#include <vector>

namespace product
{

struct Bitmap
{
    int number;
    int width;
    int height;
};

// Every bitmap the program loads, with the size the skin relies on (all 24 bits per pixel).
inline const std::vector<Bitmap> kBitmaps = {
    // scroll bars, scrollable and not
    {231, 16, 14},
    {232, 2, 14},
    {233, 16, 14},
    {234, 14, 16},
    {235, 14, 2},
    {236, 14, 26},
    {237, 14, 16},
    {243, 26, 14},
    {380, 16, 14},
    {381, 16, 14},
    {382, 1, 14},
    {383, 14, 16},
    {384, 14, 1},
    {385, 14, 16},
    // list header
    {240, 12, 17},
    {374, 1, 17},
    // minimize and close
    {262, 16, 16},
    {263, 16, 16},
    {378, 16, 16},
    {379, 16, 16},
    // dialog backgrounds
    {267, 430, 574},
    {268, 366, 135},
    {269, 515, 205},
    {270, 248, 119},
    {271, 441, 169},
    {272, 308, 147},
    {273, 441, 178},
    {274, 225, 201},
    // buttons
    {280, 93, 28},
    {281, 93, 28},
    {282, 93, 28},
    {283, 93, 28},
    {284, 100, 25},
    {285, 100, 25},
    {286, 100, 25},
    {287, 100, 25},
    {288, 93, 30},
    {289, 93, 30},
    {290, 93, 28},
    {291, 93, 28},
    {294, 100, 25},
    {295, 100, 25},
    {296, 100, 25},
    {297, 100, 25},
    {298, 100, 25},
    {299, 100, 25},
    {300, 100, 25},
    {301, 100, 25},
    {302, 100, 25},
    {303, 100, 25},
    {304, 93, 28},
    {305, 93, 28},
    {306, 100, 25},
    {307, 100, 25},
};

// The size of a listed bitmap, or an empty size.
inline QSize BitmapSize(int number)
{
    const auto it = std::find_if(kBitmaps.begin(), kBitmaps.end(), [&](const Bitmap &b) { return b.number == number; });
    return it == kBitmaps.end() ? QSize() : QSize(it->width, it->height);
}

struct Dialog
{
    int number;
    QSize size; // dialog units
    bool caption;
    int pointSize;
    std::vector<int> ids; // controls with an id, in template order
    int anonymous;        // statics without an id
    int background;       // bitmap number
    bool unscaled;        // drawn at its own size instead of stretched
};

inline const std::vector<Dialog> kDialogs = {
    {102,
     {287, 330},
     false,
     8,
     {1000, 1002, 1008, 1006, 1010, 1011, 1007, 1001, 1003, 1004, 1009,
      1013, 1015, 1021, 1022, 1025, 1027, 1028, 1032, 1039, 1040, 1041},
     8,
     267,
     false},
    {134, {205, 84}, true, 8, {1016, 1017, 1, 2}, 2, 272, false},
    {308, {211, 71}, true, 9, {1}, 4, 268, false},
    {229, {165, 68}, true, 8, {1, 2}, 2, 270, false},
    {139, {226, 64}, true, 8, {1, 2, 1022}, 1, 273, false},
    {180, {220, 75}, true, 8, {}, 3, 273, true},
    {141, {202, 75}, true, 8, {1023}, 1, 271, true},
    {264, {343, 117}, true, 8, {1, 2}, 4, 269, false},
    {265, {150, 115}, true, 8, {1029, 1030, 1031, 1, 2}, 2, 274, false},
};

// The bitmaps a skinned button draws: normal, pressed, hover, disabled.
struct ButtonSkin
{
    int dialog;
    int id;
    int normal, pressed, hover, disabled;
};

// In the main window the pressed image is also the hover one and the normal image the disabled one; the
// other dialogs use one image for pressed, hover and disabled.
inline const std::vector<ButtonSkin> kButtonSkins = {
    {102, 1002, 284, 285, 285, 284}, {102, 1008, 286, 287, 287, 286}, {102, 1007, 294, 295, 295, 294},
    {102, 1003, 296, 297, 297, 296}, {102, 1004, 298, 299, 299, 298}, {102, 1009, 302, 303, 303, 302},
    {102, 1021, 300, 301, 301, 300}, {102, 1022, 288, 289, 289, 288}, {102, 1025, 290, 291, 291, 290},
    {102, 1027, 263, 379, 379, 263}, {102, 1028, 262, 378, 378, 262}, {134, 1, 306, 307, 307, 307},
    {134, 2, 304, 305, 305, 305},    {308, 1, 306, 307, 307, 307},    {229, 1, 306, 307, 307, 307},
    {229, 2, 304, 305, 305, 305},    {139, 1, 306, 307, 307, 307},    {139, 2, 304, 305, 305, 305},
    {264, 1, 280, 281, 281, 281},    {264, 2, 282, 283, 283, 283},    {265, 1, 306, 307, 307, 307},
    {265, 2, 304, 305, 305, 305},
};

inline const Dialog *FindDialog(int number)
{
    const auto it = std::find_if(kDialogs.begin(), kDialogs.end(), [&](const Dialog &d) { return d.number == number; });
    return it == kDialogs.end() ? nullptr : &*it;
}

inline constexpr char kVersionText[] = "1.0.0.1";
inline constexpr int kVersion[4] = {1, 0, 0, 1};
inline constexpr char kProductName[] = "Vantrel DER Izuzez Utility";

} // namespace product
