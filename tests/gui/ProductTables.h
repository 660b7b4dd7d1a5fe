#pragma once

// What the product must ship, written down once for every GUI test: the bitmaps with their sizes and
// the dialog templates. Tests read these tables and never keep copies of their own.

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

// Every dialog template the program loads.
inline const std::vector<int> kDialogs = {102, 134, 308, 229, 139, 180, 141, 264, 265};

} // namespace product
