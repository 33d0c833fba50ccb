#include "shell/frame_capture.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "base/pixel_bytes.h"
#include "host/frame_pump.h"
#include "image/png_writer.h"

bool ParseShotRequest(const std::string& text, ShotRequest& out) {
  size_t colon = text.find(':');
  if (colon == std::string::npos || colon == 0 || colon + 1 >= text.size()) return false;
  std::string ms = text.substr(0, colon);
  if (ms.find_first_not_of("0123456789") != std::string::npos || ms.size() > 9) return false;
  out.demo_ms = static_cast<uint32_t>(std::strtoul(ms.c_str(), nullptr, 10));
  out.path = text.substr(colon + 1);
  return true;
}

std::vector<uint8_t> FrameToRgb(const host::PresentedFrame& f) {
  std::vector<uint8_t> rgb(size_t(f.width) * f.height * 3);
  const int bytes = f.bits_per_pixel / 8;
  for (int y = 0; y < f.height; ++y) {
    const uint8_t* row = f.pixels + size_t(y) * f.pitch;
    uint8_t* out = &rgb[size_t(y) * f.width * 3];
    for (int x = 0; x < f.width; ++x, out += 3) {
      const uint32_t v = XrgbAt(row + size_t(x) * bytes, bytes);
      out[0] = uint8_t(v >> 16), out[1] = uint8_t(v >> 8), out[2] = uint8_t(v);
    }
  }
  return rgb;
}

bool WriteFramePng(const std::string& path, const host::PresentedFrame& frame) {
  const std::vector<uint8_t> rgb = FrameToRgb(frame);
  return WritePngRgb(path.c_str(), frame.width, frame.height, rgb.data());
}

void SaveNumberedFrame(const host::PresentedFrame& frame, const std::function<void(const std::string&)>& saved) {
  for (int n = 1; n < 10000; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "velmora-%04d.png", n);
    std::error_code e;
    if (std::filesystem::exists(name, e)) continue;
    if (!WriteFramePng(name, frame)) {
      std::fprintf(stderr, "velmora: cannot save %s\n", name);
    } else {
      std::fprintf(stderr, "velmora: saved %s\n", name);
      if (saved) saved(name);
    }
    return;
  }
}

FrameCapture::FrameCapture(std::vector<ShotRequest> requests, std::function<void(const std::string&)> saved)
    : pending_(std::move(requests)), saved_(std::move(saved)) {
  std::stable_sort(pending_.begin(), pending_.end(),
                   [](const ShotRequest& a, const ShotRequest& b) { return a.demo_ms < b.demo_ms; });
}

void FrameCapture::OnFrame(const host::PresentedFrame& frame, uint32_t demo_ms) {
  while (!pending_.empty() && pending_.front().demo_ms <= demo_ms) {
    if (!WriteFramePng(pending_.front().path, frame))
      problems_.push_back("cannot write " + pending_.front().path);
    else if (saved_)
      saved_(pending_.front().path);
    pending_.erase(pending_.begin());
  }
}

std::string ShotTargetProblem(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  if (fs::is_directory(path, error)) return "is a directory";
  fs::path folder = fs::path(path).parent_path();
  if (folder.empty()) folder = ".";
  if (!fs::is_directory(folder, error)) return "no folder " + folder.string();
  if (::access(folder.string().c_str(), W_OK) != 0) return "cannot write in " + folder.string();
  if (fs::exists(path, error) && ::access(path.c_str(), W_OK) != 0) return "cannot overwrite it";
  return {};
}
