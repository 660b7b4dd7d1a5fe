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

// Every bitmap the program loads, grouped by the size the skin relies on (all 24 bits per pixel).
inline const std::vector<Bitmap> kBitmaps = []
{
    struct Group
    {
        int width, height;
        std::vector<int> numbers;
    };
    const Group groups[] = {
        {16, 14, {231, 233, 380, 381}}, // horizontal scroll arrows, scrollable and not
        {2, 14, {232}},                 // horizontal track
        {1, 14, {382}},
        {26, 14, {243}},                // horizontal thumb
        {14, 16, {234, 237, 383, 385}}, // vertical scroll arrows
        {14, 2, {235}},                 // vertical track
        {14, 1, {384}},
        {14, 26, {236}}, // vertical thumb
        {12, 17, {240}}, // list header separator and band
        {1, 17, {374}},
        {16, 16, {262, 263, 378, 379}}, // minimize and close
        {430, 574, {267}},              // dialog backgrounds
        {366, 135, {268}},
        {515, 205, {269}},
        {248, 119, {270}},
        {441, 169, {271}},
        {308, 147, {272}},
        {441, 178, {273}},
        {225, 201, {274}},
        {93, 28, {280, 281, 282, 283, 290, 291, 304, 305}}, // buttons
        {93, 30, {288, 289}},
        {100, 25, {284, 285, 286, 287, 294, 295, 296, 297, 298, 299, 300, 301, 302, 303, 306, 307}},
    };
    std::vector<Bitmap> all;
    for (const Group &group : groups)
        for (const int number : group.numbers)
            all.push_back({number, group.width, group.height});
    return all;
}();

// The size of a listed bitmap, or an empty size.
inline QSize BitmapSize(int number)
{
    const auto it = std::find_if(kBitmaps.begin(), kBitmaps.end(), [&](const Bitmap &b) { return b.number == number; });
    return it == kBitmaps.end() ? QSize() : QSize(it->width, it->height);
}

// Every dialog template the program loads.
inline const std::vector<int> kDialogs = {102, 134, 308, 229, 139, 180, 141, 264, 265};

} // namespace product
