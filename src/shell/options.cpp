#include "shell/options.h"

#include <algorithm>
#include <cstdlib>

#include "host/picture_geometry.h"

namespace fs = std::filesystem;

namespace {

bool ParseCount(const std::string& text, unsigned long max, unsigned long& out) {
  if (text.empty() || text[0] == '-') return false;
  char* end = nullptr;
  const unsigned long v = std::strtoul(text.c_str(), &end, 10);
  if (*end || v == 0 || v > max) return false;
  out = v;
  return true;
}

// A display-mode word: a whole number, as typed, that fits the largest mode.
bool IsModeWord(const std::string& word) {
  if (word.empty() || word.size() > 5 || word.find_first_not_of("0123456789") != std::string::npos) return false;
  return std::stoul(word) <= 65535;
}

}  // namespace

bool IsDemoTime(const std::string& word) {
  if (word.empty() || word.size() > 6 || word.find_first_not_of("0123456789") != std::string::npos) return false;
  return std::stol(word) <= 106000;
}

bool ParseOptions(const std::vector<std::string>& words, bool in_web_page, Options& o, std::string& problem) {
  auto fail = [&](std::string text) {
    problem = std::move(text);
    return false;
  };
  const size_t n = words.size();
  for (size_t i = 0; i < n; ++i) {
    const std::string& arg = words[i];
    const std::string value = i + 1 < n ? words[i + 1] : "";
    if (arg == "--help" || arg == "--version") {
      (arg == "--help" ? o.help : o.version) = true;
      return true;
    }
    if (arg == "--window") {
      o.windowed = true;
    } else if (arg == "--log") {
      if (in_web_page) return fail("--log is not available in a web page (it writes files)");
      o.log_files = true;
    } else if (arg == "--aspect") {
      if (value != "crt" && value != "square") return fail("--aspect needs crt or square");
      o.aspect = value == "crt" ? host::Aspect::kCrt : host::Aspect::kSquare;
      ++i;
    } else if (arg == "--scale") {
      if (value != "fit" && value != "integer") return fail("--scale needs fit or integer");
      o.scale = value == "fit" ? host::Scale::kFit : host::Scale::kInteger;
      ++i;
    } else if (arg == "--filter") {
      if (value != "nearest" && value != "sharp" && value != "linear")
        return fail("--filter needs nearest, sharp or linear");
      o.filter = value;
      ++i;
    } else if (arg == "--renderer") {
      if (value != "auto" && value != "gpu" && value != "cpu") return fail("--renderer needs auto, gpu or cpu");
      o.renderer = value;
      ++i;
    } else if (arg == "--no-vsync") {
      o.vsync = false;
    } else if (arg == "--mute") {
      o.mute = true;
    } else if (arg == "--audio-report") {
      o.audio_report = true;
    } else if (arg == "--fps" || arg == "--tick") {
      unsigned long v;
      if (!ParseCount(value, arg == "--fps" ? 100000 : 1000, v)) return fail(arg + " needs a positive whole number");
      ++i;
      if (arg == "--fps") {
        o.fps = unsigned(v);
        o.record.fps = int(v);
      } else {
        o.tick_ms = unsigned(v);
        o.tick_pacing = true;  // a system tick is the tick loop's
      }
    } else if (arg == "--pacing") {
      if (value != "display" && value != "tick") return fail("--pacing needs display or tick");
      o.tick_pacing = value == "tick";
      ++i;
    } else if (arg == "--refresh") {
      unsigned long v;
      if (!ParseCount(value, 1000, v)) return fail("--refresh needs a rate in Hz from 1 to 1000");
      o.refresh_hz = unsigned(v);
      ++i;
    } else if (arg == "--av-offset") {
      const bool negative = !value.empty() && value[0] == '-';
      unsigned long v = 0;
      if (!ParseCount(negative ? value.substr(1) : value, 1000, v) && value != "0" && value != "-0")
        return fail("--av-offset needs milliseconds from -1000 to 1000");
      o.av_offset_ms = negative ? -int(v) : int(v);
      ++i;
    } else if (arg == "--pacing-report") {
      o.pacing_report = true;
    } else if (arg == "--start" || arg == "--end") {
      if (!IsDemoTime(value)) return fail(arg + " needs a demo time from 0 to 106000 ms");
      ++i;
      (arg == "--start" ? o.start_ms : o.end_ms) = std::stol(value);
    } else if (arg == "--record") {
      if (in_web_page) return fail("--record is not available in a web page");
#ifdef _WIN32
      return fail("--record is not available in the Windows build (the recorder needs FFmpeg's libraries)");
#endif
      if (value.empty()) return fail("--record needs a file name");
      o.record.path = fs::absolute(value).string();
      ++i;
    } else if (arg == "--record-size") {
      if (!recorder::ParseRecordSize(value, o.record.native, o.record.size))
        return fail("--record-size needs WIDTHxHEIGHT (2x2 to " + std::to_string(recorder::kLargestRecordSize.width) +
                    "x" + std::to_string(recorder::kLargestRecordSize.height) + ") or native");
      ++i;
    } else if (arg == "--lossless") {
      o.record.lossless = true;
    } else if (arg == "--shot") {
      ShotRequest shot;
      if (!ParseShotRequest(value, shot)) return fail("--shot needs MS:FILE");
      ++i;
      shot.path = fs::absolute(shot.path).string();
      o.shots.push_back(shot);
    } else if (arg.size() > 1 && arg[0] == '-' && !IsModeWord(arg.substr(1))) {
      return fail("unknown option " + arg);
    } else {
      if (!IsModeWord(arg)) return fail("not a display mode number: '" + arg + "'");
      if (!o.command_line.empty()) o.command_line += ' ';
      o.command_line += arg;
      ++o.mode_words;
    }
  }
  if (o.start_ms >= 0 && o.end_ms >= 0 && o.end_ms < o.start_ms) return fail("--end comes before --start");
  if (o.record.path.empty() && (o.record.lossless || o.record.native || o.record.size.width))
    return fail("--lossless and --record-size go with --record");
  return true;
}

std::vector<fs::path> DataFolderPlaces(const fs::path& working, const fs::path& executable_directory,
                                       const char* variable) {
  std::vector<fs::path> places{working / "data"};
  if (!executable_directory.empty()) {
    places.push_back(executable_directory / "data");
    places.push_back((executable_directory / ".." / "share" / "velmora" / "data").lexically_normal());
  }
  if (variable && *variable) places.push_back(variable);
  // The working directory may be the executable's.
  std::vector<fs::path> unique;
  for (const fs::path& p : places)
    if (std::find(unique.begin(), unique.end(), p) == unique.end()) unique.push_back(p);
  return unique;
}

fs::path FindDataFolder(const std::vector<fs::path>& places, bool variable_set, std::string& looked) {
  std::error_code ec;
  for (const fs::path& p : places)
    if (fs::is_directory(p, ec)) return fs::absolute(p);
  looked.clear();
  for (const fs::path& p : places) looked += (looked.empty() ? "" : ", ") + p.string();
  if (!variable_set) looked += ", $VELMORA_DATA (not set)";
  return {};
}
