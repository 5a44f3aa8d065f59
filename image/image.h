// image.h -- the bitmap file reader: one DIB file in, one packed 24-bit RGB
// image out. Failures after the file has been found are shown to the user in
// a box captioned "Error", and the caller gets no image.
#pragma once

#include <cstdint>

struct RgbImage {
    std::int32_t width;
    std::int32_t height;
    unsigned char* pixels;  // width * height * 3 bytes, red green blue, bottom row first, rows packed
};

// Start-up texture loading: none, silently, if the file cannot be opened;
// otherwise DecodeDibFile. The caller frees pixels, then the record (free()).
RgbImage* LoadImageFile(const char* path);
// Decodes the file at path; none after showing the reason in a box.
RgbImage* DecodeDibFile(const char* path);
// Colour-table entries that follow the bitmap header starting at header.
std::uint16_t DibColorCount(const unsigned char* header);
