#pragma once
// The console a player opens over the running demo with the key under Escape:
// the log channels' lines as they are written, and a command line that answers
// a few commands. It is drawn with the engine's own con, console and fonts in the
// top half of the picture, and takes the keys while it is open.

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "gfx/2d.h"
#include "text/con.h"
#include "text/console.h"
#include "winapi/win32.h"

// What the commands act on; the driver fills these in.
struct ConsoleActions {
  std::function<DWORD()> demo_time;
  std::function<DWORD()> frames;
  // Replays the timeline to `ms`; false with the reason when it cannot.
  std::function<bool(DWORD ms, std::string& why)> go_to;
  // Pauses or resumes; the answer says which, or why not.
  std::function<std::string()> toggle_pause;
  std::function<void()> quit;
};

class LiveConsole {
 public:
  static constexpr int kBacklogLines = 4000;

  LiveConsole() = default;
  ~LiveConsole();
  LiveConsole(const LiveConsole&) = delete;
  LiveConsole& operator=(const LiveConsole&) = delete;

  void SetActions(ConsoleActions actions) { actions_ = std::move(actions); }

  // A line of the log channel `channel` (from the log echo), shown when the
  // channel is.
  void Log(const char* channel, const std::string& line);
  // A warning for the user (from WarnUserOnce), always shown.
  void Warn(const std::string& line);
  // A key message; true when the console took it (while open it takes them all).
  bool OnKey(UINT message, WPARAM virtual_key, LPARAM flags);
  bool IsOpen() const { return open_; }
  void Open();
  void Close();

  // Once per drawn frame, with the demo's picture before the console covers it:
  // counts frames for `fps` and saves the picture a `shot` asked for.
  void NoteFrame(bitmap& picture);
  // Draws the console over the top of `frame`, keeping what it covers, which
  // Restore puts back (the demo builds on its previous picture).
  void DrawOver(bitmap& frame);
  void Restore(bitmap& frame);
  // While the demo stands: keeps the console drawn over the picture on the
  // screen, and puts that picture back once the console is closed.
  void DrawOverStill(bitmap& screen);

  // Runs one command line as Enter does, its answer printed below it.
  void Run(const std::string& command);
  // The newest `count` lines shown (or kept, before the console was first drawn),
  // oldest first.
  std::vector<std::string> Lines(size_t count) const;
  // The size of the text window in characters, once laid out.
  int Columns() const { return columns_; }
  int Rows() const { return rows_; }
  // Frees the surfaces, before the display goes.
  void Free();

 private:
  bool LayOut(const bitmap& frame);
  void Unlay();
  // Hands the drawn panel to the window, over the scaled picture.
  void ShowOverlay();
  void Print(const std::string& text);
  void Answer(const std::string& command);
  // The commands, each given the command's words.
  using Words = std::vector<std::string>;
  void Help(const Words& w);
  void Time(const Words& w);
  void Fps(const Words& w);
  void GoTo(const Words& w);
  void Pause(const Words& w);
  void Shot(const Words& w);
  void Log(const Words& w);
  void Quit(const Words& w);
  void SaveShot(bitmap& picture);
  void DrawPanel();

  ConsoleActions actions_;
  bool open_ = false;
  bool laid_out = false;
  bool overlay_ = false;  // laid out at the window's resolution, shown over the picture
  int scale_ = 1;         // window pixels a console pixel takes, across and down
  int laid_width_ = 0, laid_height_ = 0;
  int columns_ = 0, rows_ = 0, glyph_height_ = 0;
  std::unique_ptr<con> text_;
  console line_;
  bitmap panel_, covered_;
  RECT area_{0, 0, 0, 0};
  bool covering_still_ = false;
  bool covering_frame_ = false;  // DrawOver covered the frame; Restore is owed
  bool drawing_ = false;
  bool gone_ = false;              // what drawing the window logs is not shown in it
  std::deque<std::string> lines_;  // every line shown, wrapped to the width once laid out
  // By default only the main channel's lines: the others are the engine's own
  // bookkeeping (every surface made), which would push the answers away.
  std::set<std::string> shown_channels_{"main"};
  uint8_t held_[256] = {};
  int history_position_ = -1;  // -1: the line being typed
  int scroll_ = 0;             // lines back from the newest
  std::string pending_shot_;
  std::deque<std::chrono::steady_clock::time_point> frame_times_;
};

// The program's console, fed by the log echo and the window's key messages.
LiveConsole& TheLiveConsole();
