#include "shell/options.h"

#include <algorithm>
#include <cstdlib>
#include <initializer_list>

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

constexpr const char* kUsage =
    "Usage: velmora [OPTION]... [WIDTH HEIGHT BITS]\n"
    "Plays the Velmora demo full screen: 106 seconds, ending by itself.\n"
    "Three words choose the display mode (default 320 200 32; 16, 24 and 32 bits).\n"
    "Keys: Escape ends the demo, F8 re-creates the display at 320 x 200 x 32,\n"
    "Alt+Enter switches between window and full screen, F12 saves the frame shown\n"
    "as velmora-NNNN.png, P or Pause pauses and resumes, Left and Right move 5 s\n"
    "back and forward, Down and Up 30 s, Page Up and Page Down to the previous and\n"
    "next part, Home to the start, 0 to 9 to 0 %, 10 % ... 90 % of the demo; while\n"
    "paused . and , step a frame forward and back; the key under Escape (` or ~)\n"
    "opens a console (log lines; help, time, fps, goto MS, pause, shot FILE,\n"
    "log CHANNEL on|off, quit).\n"
    "\n"
    "  --window        show the demo in a window (whole multiples of the picture)\n"
    "  --aspect crt|square\n"
    "                  crt (default): modes up to 1600 pixels wide have the 4:3\n"
    "                  shape of a monitor of their time (320 x 200 pixels are 1.2\n"
    "                  times taller than wide); square: every pixel square\n"
    "  --scale fit|integer\n"
    "                  fit (default): the largest picture that fits; integer:\n"
    "                  whole multiples per axis, the shape closest to the aspect\n"
    "  --filter nearest|sharp|linear\n"
    "                  how the picture is scaled: sharp (default with fit) is\n"
    "                  nearest to the largest whole multiple, then linear to the\n"
    "                  final size; nearest is the default with integer\n"
    "  --renderer auto|gpu|cpu\n"
    "                  scale on the GPU (an accelerated renderer) or the CPU;\n"
    "                  auto (default) uses a real GPU, not a software OpenGL\n"
    "  --no-vsync      do not wait for the screen's refresh on the GPU\n"
    "  --fps N         virtual clock: N frames per second of demo time, as fast as\n"
    "                  the machine allows (deterministic runs and captures)\n"
    "  --pacing display|tick\n"
    "                  display (default): one new frame per refresh of the screen,\n"
    "                  each at its own time (the frames of --fps at the screen's\n"
    "                  rate, every second refresh above 100 Hz), the picture kept\n"
    "                  in step with the music; tick: a frame whenever the system\n"
    "                  tick moves, as the original loop does\n"
    "  --refresh HZ    the screen's refresh rate for the pacing (default: what the\n"
    "                  system says, else 60)\n"
    "  --av-offset MS  the sound later than the picture by MS (negative: earlier)\n"
    "  --pacing-report print at the end the frames shown and skipped, the times\n"
    "                  between presents and how far sound and picture drifted\n"
    "  --tick MS       system tick of the tick pacing in milliseconds (default 10;\n"
    "                  implies --pacing tick)\n"
    "  --shot MS:FILE  save the first frame at or after demo time MS as a PNG\n"
    "                  (repeatable)\n"
    "  --start MS      begin at demo time MS (0 to 106000): the way there is run\n"
    "                  unseen, as fast as the machine allows, frame-exact with --fps\n"
    "  --end MS        end the demo at demo time MS\n"
    "  --loop          play the demo (or the --start to --end span) again and again\n"
    "                  until Escape\n"
    "  --display N|list\n"
    "                  play on screen N (1 is the first): full screen there, or the\n"
    "                  window centred on it; list prints the screens and ends\n"
    "  --no-osd        no timeline bar (time, length and part along the bottom,\n"
    "                  shown after a move, a step or a pause and while paused)\n"
    "  --record FILE   record the demo to a video file (.mkv, .mp4, .webm) with\n"
    "                  its sound, on the virtual clock (60 fps unless --fps), with\n"
    "                  no display or sound device needed\n"
    "  --record-size WxH\n"
    "                  the video's size, 'native' for the mode's size, or '4k' for\n"
    "                  2160 lines at the mode's shape (2880 x 2160 at 4:3); by default\n"
    "                  modes under 1080 lines are scaled to 1080 lines at 4:3\n"
    "                  (square pixels above 1600 wide), larger ones keep their size\n"
    "  --lossless      record every frame exactly (FFV1 and FLAC in .mkv; the\n"
    "                  mode's size unless --record-size)\n"
    "  --log           write the log channels to \"log/velmora <module>.log\"\n"
    "  --mute          play without sound (without a sound device the demo plays\n"
    "                  silently anyway, and says so)\n"
    "  --audio-report  print at the end how the audio callback kept up\n"
    "  --help          show this help and exit\n"
    "  --version       show the version and exit\n"
    "\n"
    "\n"
    "Data comes from the first data folder found: ./data, beside the executable,\n"
    "../share/velmora/data from the executable, or $VELMORA_DATA.\n"
    "See velmora(6) for the keys, the environment and the exit statuses.\n";

// What one option does with its value (empty for an option that takes none):
// empty when it is taken, else the problem.
using OptionRule = std::string (*)(Options&, const std::string& value, bool in_web_page);

struct OptionEntry {
  const char* name;
  bool takes_value;
  OptionRule apply;
};

std::string Choice(const std::string& value, std::initializer_list<const char*> allowed, const char* problem) {
  for (const char* a : allowed)
    if (value == a) return {};
  return problem;
}

std::string SetCount(const std::string& value, unsigned long max, unsigned& out, const std::string& problem) {
  unsigned long v;
  if (!ParseCount(value, max, v)) return problem;
  out = unsigned(v);
  return {};
}

std::string SetDemoTime(const std::string& value, long& out, const char* name) {
  if (!IsDemoTime(value)) return std::string(name) + " needs a demo time from 0 to 106000 ms";
  out = std::stol(value);
  return {};
}

std::string SetAvOffset(Options& o, const std::string& value, bool) {
  const bool negative = !value.empty() && value[0] == '-';
  unsigned long v = 0;
  if (!ParseCount(negative ? value.substr(1) : value, 1000, v) && value != "0" && value != "-0")
    return "--av-offset needs milliseconds from -1000 to 1000";
  o.av_offset_ms = negative ? -int(v) : int(v);
  return {};
}

std::string SetRecord(Options& o, const std::string& value, bool in_web_page) {
  if (in_web_page) return "--record is not available in a web page";
#ifdef _WIN32
  return "--record is not available in the Windows build (the recorder needs FFmpeg's libraries)";
#endif
  if (value.empty()) return "--record needs a file name";
  o.record.path = fs::absolute(value).string();
  return {};
}

std::string SetRecordSize(Options& o, const std::string& value, bool) {
  if (recorder::ParseRecordSize(value, o.record.native, o.record.size)) return {};
  return "--record-size needs WIDTHxHEIGHT (2x2 to " + std::to_string(recorder::kLargestRecordSize.width) + "x" +
         std::to_string(recorder::kLargestRecordSize.height) + "), native or 4k";
}

std::string AddShot(Options& o, const std::string& value, bool) {
  ShotRequest shot;
  if (!ParseShotRequest(value, shot)) return "--shot needs MS:FILE";
  shot.path = fs::absolute(shot.path).string();
  o.shots.push_back(shot);
  return {};
}

// clang-format off
constexpr OptionEntry kOptions[] = {
    {"--help", false, [](Options& o, const std::string&, bool) { o.help = true; return std::string(); }},
    {"--version", false, [](Options& o, const std::string&, bool) { o.version = true; return std::string(); }},
    {"--window", false, [](Options& o, const std::string&, bool) { o.windowed = true; return std::string(); }},
    {"--log", false, [](Options& o, const std::string&, bool in_web_page) {
       if (in_web_page) return std::string("--log is not available in a web page (it writes files)");
       o.log_files = true;
       return std::string();
     }},
    {"--aspect", true, [](Options& o, const std::string& v, bool) {
       o.aspect = v == "crt" ? host::Aspect::kCrt : host::Aspect::kSquare;
       return Choice(v, {"crt", "square"}, "--aspect needs crt or square");
     }},
    {"--scale", true, [](Options& o, const std::string& v, bool) {
       o.scale = v == "fit" ? host::Scale::kFit : host::Scale::kInteger;
       return Choice(v, {"fit", "integer"}, "--scale needs fit or integer");
     }},
    {"--filter", true, [](Options& o, const std::string& v, bool) {
       o.filter = v;
       return Choice(v, {"nearest", "sharp", "linear"}, "--filter needs nearest, sharp or linear");
     }},
    {"--renderer", true, [](Options& o, const std::string& v, bool) {
       o.renderer = v;
       return Choice(v, {"auto", "gpu", "cpu"}, "--renderer needs auto, gpu or cpu");
     }},
    {"--no-vsync", false, [](Options& o, const std::string&, bool) { o.vsync = false; return std::string(); }},
    {"--mute", false, [](Options& o, const std::string&, bool) { o.mute = true; return std::string(); }},
    {"--audio-report", false, [](Options& o, const std::string&, bool) { o.audio_report = true; return std::string(); }},
    {"--fps", true, [](Options& o, const std::string& v, bool) {
       const std::string problem = SetCount(v, 100000, o.fps, "--fps needs a positive whole number");
       o.record.fps = int(o.fps);
       return problem;
     }},
    {"--tick", true, [](Options& o, const std::string& v, bool) {
       o.tick_pacing = true;  // a system tick is the tick loop's
       return SetCount(v, 1000, o.tick_ms, "--tick needs a positive whole number");
     }},
    {"--pacing", true, [](Options& o, const std::string& v, bool) {
       o.tick_pacing = v == "tick";
       return Choice(v, {"display", "tick"}, "--pacing needs display or tick");
     }},
    {"--refresh", true, [](Options& o, const std::string& v, bool) {
       return SetCount(v, 1000, o.refresh_hz, "--refresh needs a rate in Hz from 1 to 1000");
     }},
    {"--av-offset", true, SetAvOffset},
    {"--pacing-report", false, [](Options& o, const std::string&, bool) { o.pacing_report = true; return std::string(); }},
    {"--start", true, [](Options& o, const std::string& v, bool) { return SetDemoTime(v, o.start_ms, "--start"); }},
    {"--end", true, [](Options& o, const std::string& v, bool) { return SetDemoTime(v, o.end_ms, "--end"); }},
    {"--record", true, SetRecord},
    {"--record-size", true, SetRecordSize},
    {"--loop", false, [](Options& o, const std::string&, bool) { o.loop = true; return std::string(); }},
    {"--no-osd", false, [](Options& o, const std::string&, bool) { o.osd = false; return std::string(); }},
    {"--display", true, [](Options& o, const std::string& v, bool) {
       o.display_list = v == "list";
       unsigned n = 0;
       if (o.display_list) return std::string();
       const std::string problem = SetCount(v, 64, n, "--display needs a screen number from 1, or list");
       o.display = int(n);
       return problem;
     }},
    {"--lossless", false, [](Options& o, const std::string&, bool) { o.record.lossless = true; return std::string(); }},
    {"--shot", true, AddShot},
};
// clang-format on

const OptionEntry* FindOption(const std::string& name) {
  for (const OptionEntry& entry : kOptions)
    if (name == entry.name) return &entry;
  return nullptr;
}

// A word that is not an option: one of the mode's numbers.
std::string AddModeWord(Options& o, const std::string& word) {
  if (word.size() > 1 && word[0] == '-' && !IsModeWord(word.substr(1))) return "unknown option " + word;
  if (!IsModeWord(word)) return "not a display mode number: '" + word + "'";
  if (!o.command_line.empty()) o.command_line += ' ';
  o.command_line += word;
  ++o.mode_words;
  return {};
}

// What the options ask together that none asks alone.
std::string CheckTogether(const Options& o) {
  if (o.start_ms >= 0 && o.end_ms >= 0 && o.end_ms < o.start_ms) return "--end comes before --start";
  if (o.record.path.empty() && (o.record.lossless || o.record.native || o.record.size.width || o.record.size.height))
    return "--lossless and --record-size go with --record";
  if (o.loop && !o.record.path.empty()) return "--loop does not go with --record (a recording ends)";
  return {};
}

}  // namespace

const char* UsageText() { return kUsage; }

bool ParseOptions(const std::vector<std::string>& words, bool in_web_page, Options& o, std::string& problem) {
  problem.clear();
  for (size_t i = 0; i < words.size() && problem.empty(); ++i) {
    const OptionEntry* option = FindOption(words[i]);
    if (!option) {
      problem = AddModeWord(o, words[i]);
      continue;
    }
    const std::string value = option->takes_value && i + 1 < words.size() ? words[++i] : std::string();
    problem = option->apply(o, value, in_web_page);
    // What comes after --help or --version is not read.
    if (o.help || o.version) return problem.empty();
  }
  if (problem.empty()) problem = CheckTogether(o);
  return problem.empty();
}

bool IsDemoTime(const std::string& word) {
  if (word.empty() || word.size() > 6 || word.find_first_not_of("0123456789") != std::string::npos) return false;
  return std::stol(word) <= 106000;
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
