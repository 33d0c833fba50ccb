#pragma once
// The executable's command line, read into one struct before anything is set up,
// and the search for the data folder. Neither touches the platform, so both are
// checked without running the program.

#include <filesystem>
#include <string>
#include <vector>

#include "host/picture_geometry.h"
#include "recorder/recording.h"
#include "shell/frame_capture.h"

struct Options {
  bool help = false, version = false;
  std::string command_line;  // the mode words, for WinMain
  int mode_words = 0;
  bool windowed = false;
  bool log_files = false;
  bool audio_report = false;
  bool mute = false;
  host::Aspect aspect = host::Aspect::kCrt;
  host::Scale scale = host::Scale::kFit;
  std::string filter;  // empty: the scale's own default
  std::string renderer = "auto";
  bool vsync = true;
  unsigned fps = 0;          // 0: the real clock
  unsigned tick_ms = 0;      // 0: the default system tick
  bool tick_pacing = false;  // a frame when the system tick moves, not one per refresh
  unsigned refresh_hz = 0;   // 0: the screen's own
  int av_offset_ms = 0;      // the sound later than the picture by this much
  bool pacing_report = false;
  bool loop = false;          // the demo (or the --start to --end span) again and again
  bool osd = true;            // the timeline bar after a move, a step or a pause
  int display = 0;            // the screen to play on, from 1; 0: the first
  bool display_list = false;  // print the screens and end
  long start_ms = -1, end_ms = -1;
  std::vector<ShotRequest> shots;  // paths made absolute
  recorder::Recording::Request record;
};

// The text of --help: what the program does, its keys and every option.
const char* UsageText();

// A demo time in milliseconds, as typed, within the timeline (0 to 106000).
bool IsDemoTime(const std::string& word);

// Reads the words after the program's name. False with the problem, in the
// words of the one-line usage error, when the command line is not understood.
// `in_web_page` refuses what a page cannot do (files, recordings).
bool ParseOptions(const std::vector<std::string>& words, bool in_web_page, Options& out, std::string& problem);

// The places data is looked for, in order, without repeats: data/ in the working
// directory, data/ beside the executable, ../share/velmora/data from it, then
// `variable` ($VELMORA_DATA) when set.
std::vector<std::filesystem::path> DataFolderPlaces(const std::filesystem::path& working,
                                                    const std::filesystem::path& executable_directory,
                                                    const char* variable);
// The first of the places that is a folder; empty with `looked` (the places, for
// the error) when there is none.
std::filesystem::path FindDataFolder(const std::vector<std::filesystem::path>& places, bool variable_set,
                                     std::string& looked);
