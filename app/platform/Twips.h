#pragma once

#include <cmath>
#include <cstdint>

// Form geometry is kept in twips, 15 to a pixel.
class Twips {
public:
    static constexpr int kPerPixel = 15;
    static int ToPixels(double twips) { return static_cast<int>(std::lround(twips / kPerPixel)); }
    static int64_t FromPixels(int64_t pixels) { return pixels * kPerPixel; }
};
