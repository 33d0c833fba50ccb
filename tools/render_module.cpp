// Renders a module to a 16-bit stereo WAV file with libopenmpt, to listen to it
// or to measure it: render_module MODULE OUT.wav [SECONDS]. Without SECONDS it
// plays the song once to its end.
#include <libopenmpt/libopenmpt.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: render_module MODULE OUT.wav [SECONDS [RATE]]\n");
    return 2;
  }
  FILE* in = std::fopen(argv[1], "rb");
  if (!in) {
    std::fprintf(stderr, "render_module: cannot read %s: %s\n", argv[1], std::strerror(errno));
    return 1;
  }
  std::vector<char> bytes;
  char chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
  std::fclose(in);
  int error = 0;
  openmpt_module* mod =
      openmpt_module_create_from_memory2(bytes.data(), bytes.size(), openmpt_log_func_silent, nullptr,
                                         openmpt_error_func_ignore, nullptr, &error, nullptr, nullptr);
  if (!mod) {
    std::fprintf(stderr, "render_module: %s is not a module libopenmpt plays\n", argv[1]);
    return 1;
  }
  const int rate = argc > 4 ? std::atoi(argv[4]) : 44100;
  if (rate < 8000 || rate > 192000) {
    std::fprintf(stderr, "render_module: RATE must be 8000 to 192000\n");
    return 2;
  }
  const double seconds = argc > 3 ? std::atof(argv[3]) : 0;
  if (seconds > 0) openmpt_module_set_repeat_count(mod, -1);
  std::vector<int16_t> pcm;
  std::vector<int16_t> buf(2 * 1024);
  for (;;) {
    size_t want = 1024;
    if (seconds > 0) {
      size_t left = size_t(seconds * rate) - pcm.size() / 2;
      if (left == 0) break;
      if (left < want) want = left;
    }
    size_t got = openmpt_module_read_interleaved_stereo(mod, rate, want, buf.data());
    if (got == 0) break;
    pcm.insert(pcm.end(), buf.begin(), buf.begin() + 2 * got);
  }
  openmpt_module_destroy(mod);
  FILE* out = std::fopen(argv[2], "wb");
  if (!out) {
    std::fprintf(stderr, "render_module: cannot write %s: %s\n", argv[2], std::strerror(errno));
    return 1;
  }
  auto u32 = [&](uint32_t v) { std::fwrite(&v, 4, 1, out); };
  auto u16 = [&](uint16_t v) { std::fwrite(&v, 2, 1, out); };
  const uint32_t data = uint32_t(pcm.size() * 2);
  std::fwrite("RIFF", 1, 4, out), u32(36 + data), std::fwrite("WAVEfmt ", 1, 8, out);
  u32(16), u16(1), u16(2), u32(rate), u32(rate * 4), u16(4), u16(16);
  std::fwrite("data", 1, 4, out), u32(data);
  std::fwrite(pcm.data(), 2, pcm.size(), out);
  return std::fclose(out) == 0 ? 0 : 1;
}
