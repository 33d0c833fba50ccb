#pragma once
// The thin wrapper between the file system and the byte parsers.

#include <cstdint>
#include <string>
#include <vector>

// Reads a whole regular file. False when it cannot be opened or read, or is larger
// than `max_bytes`.
bool ReadFileBytes(const char* path, std::vector<uint8_t>& out, uint64_t max_bytes = uint64_t(1) << 30);

// The same, and on failure the reason in words: "not found", the system's reason
// ("permission denied", "is a directory"), or "larger than N bytes".
bool ReadFileBytes(const char* path, std::vector<uint8_t>& out, uint64_t max_bytes, std::string& why);

// Where the program's "data/..." names point: file names that begin with "data/"
// are read from this folder instead of the working directory's data folder.
// Empty (the default) reads them as they are.
void SetDataDirectory(const std::string& directory);
