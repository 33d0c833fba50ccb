#pragma once
// The WxH words a benchmark takes from its command line.

#include <cstdio>
#include <utility>
#include <vector>

// The sizes in argv[first...]; false, said on standard error, for a word that is
// not a size.
inline bool ReadSizes(int argc, char** argv, int first, const char* program, std::vector<std::pair<int, int>>& sizes) {
  for (int i = first; i < argc; ++i) {
    int w = 0, h = 0;
    if (std::sscanf(argv[i], "%dx%d", &w, &h) != 2 || w <= 0 || h <= 0) {
      std::fprintf(stderr, "%s: not a size: %s\n", program, argv[i]);
      return false;
    }
    sizes.emplace_back(w, h);
  }
  return true;
}
