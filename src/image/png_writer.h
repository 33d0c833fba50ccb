#pragma once
// PNG output for frame captures and generated previews.

#include <cstdint>

// Writes 8-bit RGB rows (width x 3 bytes each, top row first). False on failure.
bool WritePngRgb(const char* path, int width, int height, const uint8_t* rgb);
