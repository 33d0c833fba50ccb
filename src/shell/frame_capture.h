#pragma once
// Saves presented frames as PNG files: the first frame presented at or after each
// requested demo time.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "host/frame_pump.h"

struct ShotRequest {
  uint32_t demo_ms;
  std::string path;
};

// Parses "MS:FILE"; false when the form is wrong.
bool ParseShotRequest(const std::string& text, ShotRequest& out);

// Why a frame could not be saved at `path` ("is a directory", "no folder ...",
// "cannot write in ..."); empty when it looks writable.
std::string ShotTargetProblem(const std::string& path);

// The mode's pixels as 8-bit RGB rows.
std::vector<uint8_t> FrameToRgb(const host::PresentedFrame& frame);
// Writes the frame as a PNG file; false when it could not be written.
bool WriteFramePng(const std::string& path, const host::PresentedFrame& frame);
// Saves the frame as the first free velmora-NNNN.png in the working directory
// and says so on standard error; `saved` hears of the file.
void SaveNumberedFrame(const host::PresentedFrame& frame, const std::function<void(const std::string&)>& saved);

class FrameCapture {
 public:
  // `saved` hears of every file written (the web page takes them from there).
  explicit FrameCapture(std::vector<ShotRequest> requests, std::function<void(const std::string&)> saved = {});
  // Call for every presented frame with the demo clock as it stands.
  void OnFrame(const host::PresentedFrame& frame, uint32_t demo_ms);
  // Requests whose time never came, and files that could not be written.
  const std::vector<std::string>& Problems() const { return problems_; }
  std::vector<ShotRequest> Pending() const { return pending_; }

 private:
  std::vector<ShotRequest> pending_;
  std::vector<std::string> problems_;
  std::function<void(const std::string&)> saved_;
};
