#pragma once
// Uncompressed 24-bit BMP output, for generated pictures and test fixtures.

#include <cstdint>
#include <functional>
#include <string>

// Writes a picture whose pixel (x, y) is rgb(x, y) as 0xRRGGBB; false on failure.
bool WriteBmp24(const std::string& path, int width, int height, const std::function<uint32_t(int, int)>& rgb);
