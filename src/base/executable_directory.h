#pragma once
// The folder the running program was started from (through /proc/self/exe), for
// finding what is installed beside it; empty when it cannot be read.

#include <filesystem>

std::filesystem::path ExecutableDirectory();
