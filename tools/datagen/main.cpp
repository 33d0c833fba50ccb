// Writes the demo's data directory. Each picture, object and the music are made
// by code in this folder; nothing is copied from elsewhere.
#include <cstdio>
#include <filesystem>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: datagen OUTPUT_DIRECTORY\n");
    return 2;
  }
  std::error_code ec;
  std::filesystem::create_directories(argv[1], ec);
  if (ec) {
    std::fprintf(stderr, "datagen: cannot create %s: %s\n", argv[1], ec.message().c_str());
    return 1;
  }
  return 0;
}
