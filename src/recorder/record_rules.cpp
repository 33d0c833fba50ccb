#include "recorder/record_rules.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "host/picture_geometry.h"

namespace recorder {
namespace {

constexpr RecordFormat kFormats[] = {
    {".mkv", "matroska", "libx264", "flac", false},
    {".mp4", "mp4", "libx264", "aac", false},
    {".webm", "webm", "libvpx-vp9", "libopus", false},
};
constexpr RecordFormat kLossless{".mkv", "matroska", "ffv1", "flac", true};

int Even(int v) { return v + (v & 1); }

}  // namespace

const RecordFormat* RecordFormatFor(const std::string& path, bool lossless) {
  const size_t dot = path.find_last_of('.');
  const size_t slash = path.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return nullptr;
  std::string ext = path.substr(dot);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  if (lossless) return ext == kLossless.extension ? &kLossless : nullptr;
  for (const RecordFormat& f : kFormats)
    if (ext == f.extension) return &f;
  return nullptr;
}

const char* RecordExtensions() { return ".mkv, .mp4, .webm"; }

RecordSize RecordSizeAtLines(int w, int h, int lines) {
  // The shape the window shows it at by default: a 4:3 monitor of its time, or
  // square pixels for modes wider than any monitor of the time.
  const double shape = host::PictureShape(w, h, host::Aspect::kCrt);
  return {Even(int(lines * shape + 0.5)), lines};
}

RecordSize DefaultRecordSize(int w, int h) {
  if (h >= 1080) return {Even(w), Even(h)};
  return RecordSizeAtLines(w, h, 1080);
}

bool ParseRecordSize(const std::string& text, bool& native, RecordSize& size) {
  native = text == "native";
  if (native) return true;
  if (text == "4k") {
    size = RecordSize{0, kLinesOf4k};
    return true;
  }
  const size_t x = text.find('x');
  if (x == std::string::npos || x == 0 || x + 1 >= text.size()) return false;
  const std::string a = text.substr(0, x), b = text.substr(x + 1);
  auto whole = [](const std::string& s) {
    return s.size() <= 4 && s.find_first_not_of("0123456789") == std::string::npos;
  };
  if (!whole(a) || !whole(b)) return false;
  size.width = std::atoi(a.c_str());
  size.height = std::atoi(b.c_str());
  return size.width >= 2 && size.height >= 2 && FitsLargestRecordSize(size);
}

bool FitsLargestRecordSize(RecordSize size) {
  return size.width <= kLargestRecordSize.width && size.height <= kLargestRecordSize.height;
}

uint64_t AudioFramesDue(uint64_t elapsed_ms, int rate) { return (elapsed_ms * uint64_t(rate) + 500) / 1000; }

std::vector<Chapter> ChaptersFrom(const std::vector<Chapter>& demo_chapters, uint32_t first_ms) {
  std::vector<Chapter> chapters;
  for (const Chapter& c : demo_chapters) {
    if (c.end_ms <= first_ms) continue;
    chapters.push_back({c.start_ms > first_ms ? c.start_ms - first_ms : 0, c.end_ms - first_ms, c.title});
  }
  return chapters;
}

}  // namespace recorder
