#pragma once
// The stand-alone PCX reader.

#include <cstdint>

// The decoded 8-bit pixel indices of a PCX file (width x height bytes, caller
// frees with delete[]); width and height are stored where the pointers are not
// null. A file that cannot be opened prints a message and ends the program with
// exit status 1. A file too small for its header, or whose size does not fit in
// memory, gives null.
uint8_t* read_pcx_pixels(const char* name, int* width, int* height);
