#pragma once

// The window is designed in twips, 1/1440 inch; at 96 dots per inch that is 15 to a pixel.
inline constexpr int kTwipsPerPixel = 15;

// Twips to the nearest pixel, and pixels to twips.
constexpr int TwipsToPixels(int twips)
{
    return (2 * twips + kTwipsPerPixel) / (2 * kTwipsPerPixel); // rounded to the nearest pixel
}

constexpr int PixelsToTwips(int pixels)
{
    return pixels * kTwipsPerPixel;
}
