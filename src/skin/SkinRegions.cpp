#include "skin/SkinRegions.h"

#include <algorithm>
#include <limits>

namespace
{

constexpr std::uint32_t kRectanglesType = 1;

void putU32(std::byte *out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<std::byte>((value >> (8 * i)) & 0xFFu);
}

std::uint32_t getU32(const std::byte *in)
{
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= static_cast<std::uint32_t>(in[i]) << (8 * i);
    return value;
}

void putRect(std::byte *out, const RegionRect &r)
{
    putU32(out, static_cast<std::uint32_t>(r.left));
    putU32(out + 4, static_cast<std::uint32_t>(r.top));
    putU32(out + 8, static_cast<std::uint32_t>(r.right));
    putU32(out + 12, static_cast<std::uint32_t>(r.bottom));
}

RegionRect getRect(const std::byte *in)
{
    return {static_cast<std::int32_t>(getU32(in)), static_cast<std::int32_t>(getU32(in + 4)),
            static_cast<std::int32_t>(getU32(in + 8)), static_cast<std::int32_t>(getU32(in + 12))};
}

// Clips r to bound; an empty QRect when nothing is left. 64-bit widths keep extreme values sane.
QRect clippedRect(const RegionRect &r, const RegionRect &bound)
{
    const std::int64_t left = std::max(r.left, bound.left);
    const std::int64_t top = std::max(r.top, bound.top);
    const std::int64_t right = std::min(r.right, bound.right);
    const std::int64_t bottom = std::min(r.bottom, bound.bottom);
    if (right <= left || bottom <= top)
        return {};
    constexpr std::int64_t maxExtent = std::numeric_limits<int>::max();
    return QRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(std::min(right - left, maxExtent)),
                 static_cast<int>(std::min(bottom - top, maxExtent)));
}

} // namespace

std::vector<std::byte> BuildRegionData(const RegionRect &bound, int count, const RegionRect *rects)
{
    if (count < 0 || (count > 0 && !rects))
        return {};
    std::vector<std::byte> data(kRegionHeaderSize + kRegionRectSize * static_cast<std::size_t>(count));
    putU32(data.data(), static_cast<std::uint32_t>(kRegionHeaderSize));
    putU32(data.data() + 4, kRectanglesType);
    putU32(data.data() + 8, static_cast<std::uint32_t>(count));
    putU32(data.data() + 12, 0); // nRgnSize: 0 lets the reader work it out
    putRect(data.data() + 16, bound);
    for (int i = 0; i < count; ++i)
        putRect(data.data() + kRegionHeaderSize + kRegionRectSize * static_cast<std::size_t>(i), rects[i]);
    return data;
}

std::optional<QRegion> RegionFromData(const std::vector<std::byte> &data)
{
    if (data.size() < kRegionHeaderSize)
        return std::nullopt;
    if (getU32(data.data()) != kRegionHeaderSize || getU32(data.data() + 4) != kRectanglesType)
        return std::nullopt;
    const std::uint64_t count = getU32(data.data() + 8);
    if ((data.size() - kRegionHeaderSize) / kRegionRectSize < count)
        return std::nullopt;
    const RegionRect bound = getRect(data.data() + 16);

    // QRegion::setRects needs sorted, non-overlapping bands; the list is arbitrary, so unite.
    QRegion region;
    for (std::uint64_t i = 0; i < count; ++i)
    {
        const QRect r = clippedRect(getRect(data.data() + kRegionHeaderSize + kRegionRectSize * i), bound);
        if (!r.isEmpty())
            region += r;
    }
    return region;
}

bool CreateRegionFromRects(QRegion &region, const RegionRect &bound, int count, const RegionRect *rects)
{
    const std::vector<std::byte> data = BuildRegionData(bound, count, rects);
    std::optional<QRegion> made = RegionFromData(data);
    if (!made)
        return false;
    region = *made;
    return true;
}

std::vector<RegionRect> MaskRunRects(const QImage &mask, QRgb key)
{
    std::vector<RegionRect> runs;
    if (mask.isNull())
        return runs;
    runs.reserve(40);
    const QImage pixels = mask.convertToFormat(QImage::Format_RGB32);
    const int width = pixels.width();
    const QRgb keyColour = key & RGB_MASK;
    for (int y = pixels.height() - 1; y >= 0; --y)
    {
        const auto *line = reinterpret_cast<const QRgb *>(pixels.constScanLine(y));
        int x = 0;
        while (x < width)
        {
            while (x < width && (line[x] & RGB_MASK) == keyColour)
                ++x;
            if (x == width)
                break;
            const int first = x;
            while (x < width && (line[x] & RGB_MASK) != keyColour)
                ++x;
            runs.push_back({first, y, x, y + 1});
        }
    }
    return runs;
}

std::optional<QRegion> CreateRegionFromMask(const QImage &mask, QRgb key)
{
    if (mask.isNull())
        return std::nullopt;
    QRegion region;
    for (const RegionRect &r : MaskRunRects(mask, key))
        region += QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
    return region;
}

std::array<RegionRect, 11> SteppedCornerRects(int cx, int cy)
{
    return {{
        {0, 5, 1, cy - 5},
        {1, 3, 2, cy - 3},
        {2, 2, 3, cy - 2},
        {3, 1, 4, cy - 1},
        {4, 1, 5, cy - 1},
        {5, 1, cx - 5, cy},
        {cx - 5, 1, cx - 4, cy - 1},
        {cx - 4, 2, cx - 3, cy - 2},
        {cx - 3, 2, cx - 2, cy - 2},
        {cx - 2, 3, cx - 1, cy - 3},
        {cx - 1, 5, cx, cy - 5},
    }};
}

QRegion SteppedCornerRegion(int cx, int cy)
{
    const auto rects = SteppedCornerRects(cx, cy);
    QRegion region;
    if (!CreateRegionFromRects(region, RegionRect{0, 0, cx, cy}, static_cast<int>(rects.size()), rects.data()))
        return {};
    return region;
}
