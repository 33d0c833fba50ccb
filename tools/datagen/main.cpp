// Writes the demo's data directory. Every picture, object and the music are made
// by code in this folder; nothing is copied from elsewhere.
#include <cstdio>
#include <filesystem>
#include <string>

#include "icon.h"
#include "models.h"
#include "music.h"
#include "pictures.h"

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: datagen DATA_DIRECTORY [ICON_DIRECTORY]\n");
    return 2;
  }
  const std::string dir = argv[1];
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec) {
    std::fprintf(stderr, "datagen: cannot create %s: %s\n", dir.c_str(), ec.message().c_str());
    return 1;
  }
  if (!datagen::WritePictures(dir) || !datagen::WriteModels(dir) || !datagen::WriteMusic(dir) ||
      !datagen::WriteConsoleFont(dir)) {
    std::fprintf(stderr, "datagen: cannot write the data files in %s\n", dir.c_str());
    return 1;
  }
  if (argc == 3) {
    std::filesystem::create_directories(argv[2], ec);
    if (ec || !datagen::WriteIcons(argv[2])) {
      std::fprintf(stderr, "datagen: cannot write the icons in %s\n", argv[2]);
      return 1;
    }
  }
  return 0;
}
