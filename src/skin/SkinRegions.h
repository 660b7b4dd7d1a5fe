#pragma once

#include <QImage>
#include <QRegion>
#include <QRgb>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// A rectangle as the region data block stores it: right and bottom are exclusive.
struct RegionRect
{
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// The region data block: a 32-byte header (dwSize 32, iType 1, nCount, nRgnSize 0, rcBound)
// followed by nCount rectangles of 16 bytes, little-endian. (nCount + 2) x 16 bytes in all.
inline constexpr std::size_t kRegionHeaderSize = 32;
inline constexpr std::size_t kRegionRectSize = 16;

// Empty when count is negative or rects is null with a positive count.
std::vector<std::byte> BuildRegionData(const RegionRect &bound, int count, const RegionRect *rects);

// Reads a block built as above. Rectangles with no area contribute nothing; every rectangle is
// clipped to the bound. nullopt when the header is malformed or the block shorter than it says.
std::optional<QRegion> RegionFromData(const std::vector<std::byte> &data);

// Builds the region from count rectangles in one go and stores it in region; false (region left
// untouched) when the region cannot be made.
bool CreateRegionFromRects(QRegion &region, const RegionRect &bound, int count, const RegionRect *rects);

// Every pixel of mask whose colour (alpha ignored) differs from key belongs to the region.
// nullopt when there is no mask.
std::optional<QRegion> CreateRegionFromMask(const QImage &mask, QRgb key);

// The runs the mask scan produces, bottom row first, left to right: one rectangle per run of
// non-key pixels, never spanning two rows.
std::vector<RegionRect> MaskRunRects(const QImage &mask, QRgb key);

// The 11 rectangles of the main window's stepped corners for client size cx x cy.
std::array<RegionRect, 11> SteppedCornerRects(int cx, int cy);

// The stepped-corner region, or an empty region (the window stays rectangular) on failure.
QRegion SteppedCornerRegion(int cx, int cy);
