#include "shell/live_console.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>

#include "base/user_warning.h"
#include "host/frame_pump.h"
#include "host/window_overlay.h"
#include "image/file_bytes.h"
#include "input/keyboard.h"
#include "shell/frame_capture.h"
#include "shell/options.h"
#include "shell/player_keys.h"
#include "text/bmpfont.h"
#include "text/cfg_file.h"
#include "text/keymap.h"

namespace {

constexpr uint8_t kDikGrave = 0x29, kDikPageUp = 0xC9, kDikPageDown = 0xD1, kDikKeypadEnter = 0x9C;
constexpr const char* kPrompt = "> ";
constexpr const char* kChannels[] = {"con", "winmain", "2d", "dx", "main", "efect", "font", "apu", "input", "console"};

// The key's DirectInput code from a key message: as on Windows, the set-1 scan
// code in bits 16-23 and bit 24 for the extended keys.
uint8_t KeyCode(LPARAM flags) { return static_cast<uint8_t>(((flags >> 16) & 0x7F) | ((flags >> 24) & 1 ? 0x80 : 0)); }

std::vector<std::string> SplitWords(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

// Says once why the console's font did not load, naming the file at fault. A
// glyph picture that does not load was already named by the picture loader; the
// same subject keeps this to that one line.
void WarnFontProblem(const char* definitions) {
  CfgFile doc;
  if (!ReadCfgFile(definitions, doc)) {
    std::vector<uint8_t> bytes;
    std::string why;
    const bool read = ReadFileBytes(definitions, bytes, uint64_t(1) << 20, why);
    WarnUserOnce(definitions, read ? "not a font definition file this program reads" : why);
    return;
  }
  const char* section = GetCfgValue(doc, "font", "0");
  const char* file = section ? GetCfgValue(doc, section, "file") : nullptr;
  const char* x = section ? GetCfgValue(doc, section, "x") : nullptr;
  const char* y = section ? GetCfgValue(doc, section, "y") : nullptr;
  if (!file || !x || !y || std::atoi(x) <= 0 || std::atoi(y) <= 0) {
    WarnUserOnce(definitions, "names no font with a glyph picture and a glyph size");
    return;
  }
  WarnUserOnce(file, "not a glyph picture this program reads");
}

}  // namespace

// Never destroyed: channels log from destructors at exit, and their echo must
// still find it.
LiveConsole& TheLiveConsole() {
  static LiveConsole* live = new LiveConsole();
  return *live;
}

LiveConsole::~LiveConsole() {
  Free();
  gone_ = true;  // the members' destructors log; nothing is kept from here on
}

void LiveConsole::Log(const char* channel, const std::string& line) {
  if (drawing_ || gone_ || !shown_channels_.count(channel)) return;
  Print(std::string(channel) + ": " + line);
}

void LiveConsole::Warn(const std::string& line) {
  if (!drawing_ && !gone_) Print("warning: " + line);
}

void LiveConsole::Print(const std::string& text) {
  std::string clean = text;
  for (char& c : clean)
    if (c == '\t' || c == '\r') c = ' ';
  // Laid out, a line longer than the window goes on in the rows below it, broken
  // at the last space that fits (a word longer than a row is cut).
  std::vector<std::string> pieces;
  if (!laid_out || clean.empty()) {
    pieces.push_back(clean);
  } else {
    const size_t width = size_t(columns_);
    size_t at = 0;
    while (clean.size() - at > width) {
      size_t cut = clean.rfind(' ', at + width);
      if (cut == std::string::npos || cut <= at) cut = at + width;
      pieces.push_back(clean.substr(at, cut - at));
      at = cut;
      while (at < clean.size() && clean[at] == ' ') ++at;
    }
    pieces.push_back(clean.substr(at));
  }
  for (const std::string& piece : pieces) {
    lines_.push_back(piece);
    if (lines_.size() > size_t(kBacklogLines)) lines_.pop_front();
    if (laid_out) text_->add(piece.c_str());
  }
  // The engine's con keeps every line; a console open for hours of gotos must not.
  if (laid_out && text_->line_count > kBacklogLines + 256)  // trimmed in batches: the walk is long
    text_->line_count -= list_keep_newest(text_->lines, kBacklogLines);
}

std::vector<std::string> LiveConsole::Lines(size_t count) const {
  const size_t first = lines_.size() > count ? lines_.size() - count : 0;
  return std::vector<std::string>(lines_.begin() + long(first), lines_.end());
}

// The window fills the top half of the picture in whole cells: 8 x 8 glyphs below
// 400 lines, where 8 x 16 ones would leave too few rows (at 320 x 200, six), and
// 8 x 16 from 400 lines up, where they read as the VGA text they are. Shown in a
// window, it is laid out at the window's resolution, or a whole fraction of it
// (half on a 1080-line screen: each glyph pixel two screen pixels square), and
// drawn over the scaled picture; without one, into the frame at its own size.
bool LiveConsole::LayOut(const bitmap& frame) {
  const host::PictureRect shown = host::ShownPictureArea();
  const bool over = shown.width > 0 && shown.height > 0;
  const int scale = over ? std::max(1, shown.height / 540) : 1;
  const int across = over ? shown.width / scale : frame.width, down = over ? shown.height / scale : frame.height;
  if (laid_out && over == overlay_ && scale == scale_ && across == laid_width_ && down == laid_height_) return true;
  if (laid_out) Unlay();  // the window changed: laid out anew, the lines kept
  overlay_ = over;
  scale_ = scale;
  laid_width_ = across;
  laid_height_ = down;
  glyph_height_ = down < 400 ? 8 : 16;
  columns_ = across / 8;
  rows_ = down / 2 / glyph_height_;
  if (columns_ < 8 || rows_ < 3) return false;
  const char* definitions = glyph_height_ == 8 ? "data/fonts-small.def" : "data/fonts.def";
  if (fontcount > 0 && fonts[0].glyph_height != glyph_height_) FreeFonts();
  if (fontcount == 0 && !LoadFonts(definitions)) {
    WarnFontProblem(definitions);
    return false;
  }
  text_ = std::make_unique<con>();
  if (!text_->create("live", columns_, rows_)) return false;
  if (!text_->set_font("console")) {
    WarnFontProblem(definitions);
    return false;
  }
  if (!line_.create("data/console.bmp", "live", text_.get()) || !line_.set_prompt(kPrompt)) return false;
  const int width = columns_ * 8, height = rows_ * glyph_height_;
  if (!panel_.create(width, height) || !covered_.create(width, height)) return false;
  area_ = RECT{0, 0, width, height};
  laid_out = true;
  // Blank lines first, so that the newest line stands at the bottom from the start.
  for (int i = 0; i < rows_; ++i) text_->add("");
  // What was logged before the window existed, wrapped to it now.
  std::deque<std::string> earlier;
  earlier.swap(lines_);
  for (const std::string& l : earlier) Print(l);
  return true;
}

void LiveConsole::Open() {
  if (open_) return;
  open_ = true;
  SetTextInput(true);
}

void LiveConsole::Close() {
  open_ = false;
  scroll_ = 0;
  SetTextInput(false);
  host::SetOverlay(nullptr);
}

void LiveConsole::ShowOverlay() {
  if (panel_.lock() != DD_OK) return;
  const host::Overlay overlay{
      static_cast<const uint8_t*>(panel_.desc.lpSurface), panel_.width, panel_.height, int(panel_.desc.lPitch),
      int(panel_.desc.ddpfPixelFormat.dwRGBBitCount / 8), scale_};
  panel_.unlock();
  host::SetOverlay(&overlay);
}

bool LiveConsole::OnKey(UINT message, WPARAM, LPARAM flags) {
  if (message != WM_KEYDOWN && message != WM_KEYUP) return false;
  const uint8_t key = KeyCode(flags);
  if (message == WM_KEYUP) {
    held_[key] = 0;
    return open_;
  }
  held_[key] = 0x80;
  const bool repeat = (flags >> 30) & 1;
  if (!open_) {
    if (key != kDikGrave || repeat) return false;
    Open();
    return true;
  }
  commandlist& edit = line_.line;
  switch (key) {
    case DIK_ESCAPE:
    case kDikGrave:
      if (!repeat) Close();
      break;
    case DIK_RETURN:
    case kDikKeypadEnter: {
      const std::string typed = edit.currcommand ? edit.currcommand : "";
      edit.get_command();  // files the line in the history
      history_position_ = -1;
      scroll_ = 0;
      Run(typed);
      break;
    }
    case DIK_BACK:
    case DIK_LEFT: edit.del_chars(1); break;
    case DIK_RIGHT: edit.copy_prev(); break;
    case DIK_UP: {
      int32_t size = 0;
      if (list_get(edit.history, &size, history_position_ + 1) && edit.copy_line(history_position_ + 1))
        ++history_position_;
      break;
    }
    case DIK_DOWN:
      if (history_position_ > 0 && edit.copy_line(history_position_ - 1)) {
        --history_position_;
      } else if (history_position_ == 0) {
        history_position_ = -1;
        edit.del_chars(int32_t(std::strlen(edit.currcommand ? edit.currcommand : "")));
      }
      break;
    case kDikPageUp: scroll_ += rows_ > 2 ? rows_ - 2 : 1; break;
    case kDikPageDown: scroll_ -= rows_ > 2 ? rows_ - 2 : 1; break;
    default: {
      const uint8_t c = keymap[keymap_level(held_) * 256 + key];
      if (c != 0xFF) edit.add_char(static_cast<char>(c));
      break;
    }
  }
  const int most = text_ ? text_->line_count - 1 : 0;
  scroll_ = scroll_ < 0 ? 0 : scroll_ > most ? (most > 0 ? most : 0) : scroll_;
  return true;
}

void LiveConsole::Run(const std::string& command) {
  Print(kPrompt + command);
  Answer(command);
}

void LiveConsole::Answer(const std::string& command) {
  struct Command {
    const char* verb;
    bool alone;  // takes no words after it
    void (LiveConsole::*run)(const Words&);
  };
  static constexpr Command kCommands[] = {
      {"help", true, &LiveConsole::Help},  {"time", true, &LiveConsole::Time},   {"fps", true, &LiveConsole::Fps},
      {"goto", false, &LiveConsole::GoTo}, {"pause", true, &LiveConsole::Pause}, {"shot", false, &LiveConsole::Shot},
      {"log", false, &LiveConsole::Log},   {"quit", true, &LiveConsole::Quit},
  };
  const Words w = SplitWords(command);
  if (w.empty()) return;
  for (const Command& c : kCommands)
    if (w[0] == c.verb && (!c.alone || w.size() == 1)) return (this->*c.run)(w);
  Print("unknown command '" + command + "': try help");
}

void LiveConsole::Help(const Words&) {
  // Each line within the 40 columns of the smallest window.
  Print("help          this list");
  Print("time          demo time and frame");
  Print("fps           frames a second, measured");
  Print("goto MS       move to demo time MS");
  Print("pause         pause or resume");
  Print("shot FILE     save the next frame (PNG)");
  Print("log CHANNEL on|off, log all on|off");
  Print("              show or hide log lines");
  Print("quit          end the demo");
  Print("Closed: Left/Right 5 s, Down/Up 30 s,");
  Print("PgUp/PgDn a part, Home, 0-9 a tenth");
  Print("Paused: . and , step a frame");
  Print("PgUp/PgDn scroll, Up/Down history,");
  Print("Esc closes");
}

void LiveConsole::Time(const Words&) {
  char text[160];
  std::snprintf(text, sizeof text, "demo time %lu ms, frame %lu",
                static_cast<unsigned long>(actions_.demo_time ? actions_.demo_time() : 0),
                static_cast<unsigned long>(actions_.frames ? actions_.frames() : 0));
  Print(text);
}

void LiveConsole::Fps(const Words&) {
  if (frame_times_.size() < 2) {
    Print("fps: no frames drawn in the last second");
    return;
  }
  const double span = std::chrono::duration<double>(frame_times_.back() - frame_times_.front()).count();
  char text[160];
  std::snprintf(text, sizeof text, "%.1f frames per second", span > 0 ? (frame_times_.size() - 1) / span : 0.0);
  Print(text);
}

void LiveConsole::GoTo(const Words& w) {
  if (w.size() != 2 || !IsDemoTime(w[1])) {
    Print("goto needs a demo time from 0 to 106000 ms");
    return;
  }
  std::string why;
  if (actions_.go_to && actions_.go_to(DWORD(std::stol(w[1])), why))
    Print("going to " + w[1] + " ms");
  else
    Print("goto: " + (why.empty() ? std::string("not available") : why));
}

void LiveConsole::Pause(const Words&) {
  Print(actions_.toggle_pause ? actions_.toggle_pause() : "pause: not available");
}

void LiveConsole::Shot(const Words& w) {
  if (w.size() != 2) {
    Print("shot needs a file name");
    return;
  }
  const std::string path = std::filesystem::absolute(w[1]).string();
  if (std::string problem = ShotTargetProblem(path); !problem.empty()) {
    Print("shot: " + problem);
    return;
  }
  pending_shot_ = path;
}

void LiveConsole::Log(const Words& w) {
  bool known = w.size() == 3 && w[1] == "all";
  if (w.size() == 3)
    for (const char* c : kChannels) known = known || w[1] == c;
  if (!known || (w[2] != "on" && w[2] != "off")) {
    Print("log needs a channel (or all) and on or off; channels:");
    std::string names;
    for (const char* c : kChannels) names += std::string(names.empty() ? "" : " ") + c;
    Print(names);
    return;
  }
  for (const char* c : kChannels) {
    if (w[1] != "all" && w[1] != c) continue;
    if (w[2] == "on")
      shown_channels_.insert(c);
    else
      shown_channels_.erase(c);
  }
  Print(w[1] + " lines " + (w[2] == "on" ? "shown" : "hidden"));
}

void LiveConsole::Quit(const Words&) {
  if (actions_.quit) actions_.quit();
}

void LiveConsole::NoteFrame(bitmap& picture) {
  const auto now = std::chrono::steady_clock::now();
  frame_times_.push_back(now);
  while (frame_times_.size() > 2 && now - frame_times_.front() > std::chrono::seconds(1)) frame_times_.pop_front();
  if (!pending_shot_.empty()) SaveShot(picture);
}

void LiveConsole::SaveShot(bitmap& picture) {
  const std::string path = pending_shot_;
  pending_shot_.clear();
  if (picture.lock() != DD_OK) {
    Print("shot: the picture cannot be read now");
    return;
  }
  const host::PresentedFrame frame{static_cast<const uint8_t*>(picture.desc.lpSurface), picture.width, picture.height,
                                   int(picture.desc.lPitch), int(picture.desc.ddpfPixelFormat.dwRGBBitCount)};
  const bool saved = WriteFramePng(path, frame);
  picture.unlock();
  Print(saved ? "saved " + path : "shot: cannot write " + path);
}

void LiveConsole::DrawPanel() {
  drawing_ = true;
  line_.front->blit(panel_, nullptr, nullptr);  // the backdrop, scaled to the window
  const char* typed = line_.line.visible_text();
  text_->draw_visible(panel_, (std::string(kPrompt) + (typed ? typed : "")).c_str(), scroll_);
  drawing_ = false;
}

void LiveConsole::DrawOver(bitmap& frame) {
  covering_still_ = false;  // a new picture: nothing of the still one to put back
  if (!open_ || !LayOut(frame)) return;
  if (overlay_) {
    DrawPanel();
    ShowOverlay();
    return;
  }
  frame.blit(covered_, &area_, nullptr);
  covering_frame_ = true;
  DrawPanel();
  panel_.blit(frame, nullptr, &area_);
}

void LiveConsole::Restore(bitmap& frame) {
  if (covering_frame_) covered_.blit(frame, nullptr, &area_);
  covering_frame_ = false;
}

void LiveConsole::DrawOverStill(bitmap& screen) {
  if (open_ && LayOut(screen) && overlay_) {
    // The still picture is shown again with the console over it.
    DrawPanel();
    ShowOverlay();
    covering_still_ = true;
    if (screen.lock() == DD_OK) screen.unlock();
    return;
  }
  if (overlay_ && covering_still_) {
    // Closed while the demo stands: the picture shown again without it.
    covering_still_ = false;
    host::SetOverlay(nullptr);
    if (screen.lock() == DD_OK) screen.unlock();
    return;
  }
  if (open_ && LayOut(screen)) {
    if (!covering_still_) screen.blit(covered_, &area_, nullptr);
    covering_still_ = true;
    DrawPanel();
    panel_.blit(screen, nullptr, &area_);
  } else if (covering_still_) {
    covering_still_ = false;
    covered_.blit(screen, nullptr, &area_);
  }
}

void LiveConsole::Free() {
  Close();
  Unlay();
}

void LiveConsole::Unlay() {
  host::SetOverlay(nullptr);  // its pixels are going
  // What the freeing logs is kept as lines only: the window is going.
  laid_out = false;
  if (line_.created) line_.free();  // a console never opened leaves no log lines
  panel_.free();
  covered_.free();
  text_.reset();
}
