#include "image/image.h"

RgbImage* LoadImageFile(const char*) { return nullptr; }
RgbImage* DecodeDibFile(const char*) { return nullptr; }
std::uint16_t DibColorCount(const unsigned char*) { return 0; }
