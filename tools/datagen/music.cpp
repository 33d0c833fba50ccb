// The soundtrack: A minor at 120 beats per minute, four rows a beat, so one row
// is 125 ms and the sections of the timeline fall on rows: power-on screen 200
// rows (25 s), column slide 88 (11 s), twirl 208 (26 s), bump mapping 48 (6 s),
// wireframe 304 (38 s). After the end the song goes on from the twirl's theme.
#include "music.h"

#include <cmath>
#include <cstdio>
#include <functional>

#include "xm_writer.h"

namespace datagen {
namespace {

using xm::Cell;
using xm::Instrument;
using xm::Note;
using xm::Pattern;

constexpr double kPi = 3.14159265358979323846;
// Samples are made at four times the XM base rate and played two octaves up
// (relative note 24), so C-4 plays them at their own speed.
constexpr double kRate = 8363.0 * 4;

enum Ins { kKick = 1, kSnare, kHat, kOpenHat, kBass, kPad, kArp, kLead, kBeep };
enum Ch { kChKick, kChSnare, kChHat, kChBass, kChPad1, kChPad2, kChPad3, kChArp, kChLead, kChFx, kChannels };

uint32_t g_noise = 0x1234567u;
double Noise() {
  g_noise = g_noise * 1664525u + 1013904223u;
  return ((g_noise >> 8) & 0xFFFF) / 32768.0 - 1.0;
}

std::vector<int16_t> ToPcm(const std::vector<double>& v, double peak) {
  double max = 1e-9;
  for (double s : v) max = std::max(max, std::fabs(s));
  std::vector<int16_t> pcm(v.size());
  for (size_t i = 0; i < v.size(); ++i) pcm[i] = int16_t(std::lround(v[i] / max * peak * 32767));
  return pcm;
}

// A looped waveform: `cycles` periods of C over `length` frames (C-4 plays at
// cycles * kRate / length Hz, 261.3 Hz for 32 in 4096), made of harmonics so the
// loop is seamless and free of aliasing.
Instrument Looped(const char* name, int length, int cycles, const std::function<double(int)>& amplitude_of,
                  int harmonics, std::vector<int> detune = {0}) {
  std::vector<double> wave(length, 0.0);
  for (int d : detune)
    for (int k = 1; k <= harmonics; ++k) {
      double a = amplitude_of(k);
      if (a == 0) continue;
      double phase = std::fmod(k * 0.61803398875 * (d + 2), 1.0) * 2 * kPi;
      for (int i = 0; i < length; ++i) wave[i] += a * std::sin(2 * kPi * k * (cycles + d) * i / length + phase);
    }
  Instrument ins;
  ins.name = name;
  ins.sample = ToPcm(wave, 0.9);
  ins.loop_start = 0;
  ins.loop_length = length;
  ins.relative_note = 24;
  ins.finetune = 2;  // 32 cycles in 4096 frames lands 2 cents flat of C
  return ins;
}

Instrument OneShot(const char* name, double seconds, const std::function<double(double)>& f, double peak) {
  std::vector<double> v(size_t(seconds * kRate));
  for (size_t i = 0; i < v.size(); ++i) v[i] = f(i / kRate);
  Instrument ins;
  ins.name = name;
  ins.sample = ToPcm(v, peak);
  ins.relative_note = 24;
  return ins;
}

std::vector<Instrument> Instruments() {
  std::vector<Instrument> list;
  // Kick: a sine falling from 150 Hz to 45 Hz with a click on top.
  list.push_back(OneShot(
      "kick", 0.35,
      [](double t) {
        double phase = 2 * kPi * (45 * t + 105 * (1 - std::exp(-t * 28)) / 28);  // integral of the frequency
        return std::sin(phase) * std::exp(-t * 9) + 0.3 * Noise() * std::exp(-t * 200);
      },
      0.95));
  // Snare: a 190 Hz body and a bright noise tail.
  double low = 0;
  list.push_back(OneShot(
      "snare", 0.25,
      [&low](double t) {
        double n = Noise();
        low += 0.35 * (n - low);
        return 0.6 * std::sin(2 * kPi * 190 * t) * std::exp(-t * 30) + 0.9 * (n - low) * std::exp(-t * 14);
      },
      0.85));
  double prev = 0;
  list.push_back(OneShot(
      "hat", 0.06,
      [&prev](double t) {
        double n = Noise(), high = n - prev;
        prev = n;
        return high * std::exp(-t * 70);
      },
      0.6));
  list.push_back(OneShot(
      "open hat", 0.3,
      [&prev](double t) {
        double n = Noise(), high = n - prev;
        prev = n;
        return high * std::exp(-t * 11);
      },
      0.5));
  // Bass: a saw and a square mixed, rounded off above the 12th harmonic.
  Instrument bass = Looped(
      "bass", 4096, 32, [](int k) { return (1.0 / k) * (k % 2 ? 1.0 : 0.55) * (k > 12 ? 0.3 : 1); }, 24);
  bass.envelope = {{{0, 64}, {4, 52}, {40, 40}}, 2};
  bass.fadeout = 1200;
  bass.volume = 52;
  list.push_back(bass);
  // Pad: three detuned soft saws, slow to swell and slow to fade.
  Instrument pad = Looped("pad", 16384, 128, [](int k) { return 1.0 / k; }, 10, {-1, 0, 1});
  pad.finetune = 2;
  pad.envelope = {{{0, 0}, {24, 48}, {60, 40}}, 2};
  pad.fadeout = 300;
  pad.volume = 30;
  list.push_back(pad);
  // Arpeggio: a plucked triangle that dies away by itself.
  Instrument arp = Looped(
      "pluck", 4096, 32, [](int k) { return k % 2 ? 1.0 / (k * k) : 0.15 / (k * k); }, 15);
  arp.envelope = {{{0, 64}, {3, 40}, {12, 14}, {30, 0}}, -1};
  arp.volume = 34;
  arp.panning = 170;
  list.push_back(arp);
  // Lead: a square with a little even colour and a delayed vibrato.
  Instrument lead = Looped(
      "lead", 4096, 32, [](int k) { return k % 2 ? 1.0 / k : 0.12 / k; }, 19);
  lead.envelope = {{{0, 0}, {2, 64}, {10, 50}, {40, 44}}, 3};
  lead.fadeout = 2000;
  lead.volume = 40;
  lead.panning = 110;
  lead.vibrato_type = 0, lead.vibrato_sweep = 40, lead.vibrato_depth = 3, lead.vibrato_rate = 14;
  list.push_back(lead);
  // The power-on beep: a plain square, as the PC speaker gives it.
  Instrument beep = Looped(
      "beep", 4096, 32, [](int k) { return k % 2 ? 1.0 / k : 0.0; }, 31);
  beep.volume = 26;
  list.push_back(beep);
  return list;
}

struct Chord {
  const char* root;  // bass note
  const char* tones[3];
};
const Chord kAm{"A-2", {"A-3", "C-4", "E-4"}}, kF{"F-2", {"A-3", "C-4", "F-4"}}, kC{"C-3", {"G-3", "C-4", "E-4"}},
    kG{"G-2", {"G-3", "B-3", "D-4"}}, kE{"E-2", {"G#3", "B-3", "E-4"}};

struct MelodyNote {
  int row;
  const char* note;
  int length;
};
using Bar = std::vector<MelodyNote>;

// The twirl's theme over Am F C G, and the wireframe's over Am F G E.
const Bar kThemeA[4] = {
    {{0, "E-5", 6}, {6, "D-5", 2}, {8, "C-5", 4}, {12, "D-5", 2}, {14, "E-5", 2}},
    {{0, "F-5", 6}, {6, "E-5", 2}, {8, "C-5", 4}, {12, "A-4", 4}},
    {{0, "G-4", 4}, {4, "C-5", 4}, {8, "E-5", 6}, {14, "D-5", 2}},
    {{0, "D-5", 6}, {6, "B-4", 2}, {8, "G-4", 4}, {12, "B-4", 2}, {14, "D-5", 2}},
};
const Bar kThemeB[4] = {
    {{0, "A-5", 4}, {4, "G-5", 2}, {6, "E-5", 4}, {10, "C-5", 2}, {12, "E-5", 4}},
    {{0, "F-5", 4}, {4, "E-5", 2}, {6, "C-5", 4}, {10, "A-4", 2}, {12, "C-5", 4}},
    {{0, "D-5", 4}, {4, "B-4", 2}, {6, "G-4", 4}, {10, "B-4", 2}, {12, "D-5", 4}},
    {{0, "B-4", 6}, {6, "G#4", 2}, {8, "B-4", 4}, {12, "E-5", 4}},
};

uint8_t Vol(int v) { return uint8_t(0x10 + v); }

struct BarStyle {
  bool kick = false, snare = false, hats = false, offbeat_open = false, bass = false, pad = true, arp = false;
  const Bar* melody = nullptr;
  bool fill = false;  // snare run into the next section
  int hat_volume = 24;
  bool sparse_ticks = false;  // the memory test's disk ticks
};

void FillBar(Pattern& p, int first_row, int rows, const Chord& chord, const BarStyle& s) {
  auto cell = [&](int row, int channel) -> Cell& { return p.at(first_row + row, channel); };
  if (s.pad) {
    const int channels[3] = {kChPad1, kChPad2, kChPad3};
    for (int i = 0; i < 3; ++i) cell(0, channels[i]) = Cell{Note(chord.tones[i]), kPad, Vol(40), 0, 0};
  }
  for (int r = 0; r < rows; ++r) {
    if (s.kick && (r % 8 == 0 || (r == 10 && !s.fill))) cell(r, kChKick) = Cell{Note("C-4"), kKick, Vol(64), 0, 0};
    if (s.snare && r % 8 == 4) cell(r, kChSnare) = Cell{Note("C-4"), kSnare, Vol(50), 0, 0};
    if (s.hats && r % 2 == 0) {
      bool open = s.offbeat_open && r % 4 == 2;
      cell(r, kChHat) =
          Cell{Note("C-4"), uint8_t(open ? kOpenHat : kHat), Vol(open ? s.hat_volume - 6 : s.hat_volume), 0, 0};
    }
    if (s.sparse_ticks && (r == 3 || r == 11 || r == 13)) cell(r, kChHat) = Cell{Note("G-4"), kHat, Vol(14), 0, 0};
    if (s.bass) {
      // Root on the beat, a short octave just before the next one.
      const uint8_t root = Note(chord.root);
      if (r % 4 == 0) cell(r, kChBass) = Cell{root, kBass, Vol(56), 0, 0};
      if (r % 4 == 2) cell(r, kChBass) = Cell{xm::kKeyOff, 0, 0, 0, 0};
      if (r % 4 == 3) cell(r, kChBass) = Cell{uint8_t(root + 12), kBass, Vol(36), 0, 0};
    }
    if (s.arp) {
      static const int order[4] = {0, 1, 2, 1};
      uint8_t n = Note(chord.tones[order[r % 4]]) + (r % 8 >= 4 ? 24 : 12);
      cell(r, kChArp) = Cell{n, kArp, Vol(r % 4 == 0 ? 40 : 28), 0, 0};
    }
  }
  if (s.fill)
    for (int r = rows - 4; r < rows; ++r)
      cell(r, kChSnare) = Cell{Note("C-4"), kSnare, Vol(30 + 8 * (r - rows + 4)), 0, 0};
  if (!s.melody) cell(0, kChLead) = Cell{xm::kKeyOff, 0, 0, 0, 0};  // a theme's last note ends with its bar
  if (s.melody) {
    for (const MelodyNote& m : *s.melody) {
      if (m.row >= rows) continue;
      cell(m.row, kChLead) = Cell{Note(m.note), kLead, Vol(48), 0, 0};
      const int end = m.row + m.length;
      bool next_starts = false;
      for (const MelodyNote& n : *s.melody) next_starts |= n.row == end;
      if (end < rows && !next_starts) cell(end, kChLead) = Cell{xm::kKeyOff, 0, 0, 0, 0};
    }
  }
}

class Arranger {
 public:
  explicit Arranger(xm::Module& m) : m_(m) {}
  // One pattern of `rows` rows (a bar is 16) in the style, appended to the order.
  void Bar(const Chord& chord, const BarStyle& style, int rows = 16) {
    Pattern p(rows, kChannels);
    FillBar(p, 0, rows, chord, style);
    if (beep_next_) {
      p.at(0, kChFx) = Cell{Note("C-6"), kBeep, Vol(40), 0, 0};
      p.at(2, kChFx) = Cell{xm::kKeyOff, 0, 0, 0, 0};
      beep_next_ = false;
    }
    m_.order.push_back(uint8_t(m_.patterns.size()));
    m_.patterns.push_back(std::move(p));
    rows_ += rows;
  }
  void BeepNext() { beep_next_ = true; }
  int rows() const { return rows_; }
  int orders() const { return int(m_.order.size()); }

 private:
  xm::Module& m_;
  int rows_ = 0;
  bool beep_next_ = false;
};

}  // namespace

std::vector<uint8_t> Soundtrack() {
  xm::Module m;
  m.name = "rovaraza";
  m.channels = kChannels;
  m.tempo = 6;
  m.bpm = 120;
  m.instruments = Instruments();
  Arranger a(m);
  const Chord prog[4] = {kAm, kF, kC, kG};

  // Power-on screen, 200 rows: the speaker's beep, pads while the memory counts
  // (with the disk's ticks), arpeggios from the plug-and-play lines (row 68), bass
  // and hats from the configuration table (row 104), a snare run into the slide.
  BarStyle boot;
  boot.sparse_ticks = true;
  a.BeepNext();
  for (int bar = 0; bar < 4; ++bar) a.Bar(prog[bar % 4], boot);
  a.Bar(kAm, boot, 4);  // rows 64-67
  BarStyle pnp;
  pnp.arp = true;
  pnp.sparse_ticks = true;
  a.Bar(kAm, pnp, 12);  // rows 68-79
  a.Bar(kF, pnp);       // 80-95
  a.Bar(kC, pnp, 8);    // 96-103
  BarStyle table;
  table.arp = table.bass = table.hats = true;
  table.hat_volume = 18;
  a.Bar(kC, table, 8);                                                  // 104-111
  for (int bar = 0; bar < 5; ++bar) a.Bar(prog[(bar + 3) % 4], table);  // 112-191
  BarStyle into_slide = table;
  into_slide.fill = true;
  a.Bar(kF, into_slide, 8);  // 192-199

  // Column slide, 88 rows: the groove comes in.
  BarStyle groove;
  groove.kick = groove.snare = groove.hats = groove.bass = groove.arp = true;
  groove.offbeat_open = true;
  for (int bar = 0; bar < 5; ++bar) a.Bar(prog[bar % 4], groove);
  BarStyle into_twirl = groove;
  into_twirl.fill = true;
  a.Bar(kG, into_twirl, 8);

  // Twirl, 208 rows: the theme. The song returns here after its end.
  m.restart = a.orders();
  for (int bar = 0; bar < 13; ++bar) {
    BarStyle theme = groove;
    theme.melody = &kThemeA[bar % 4];
    theme.fill = bar == 12;
    a.Bar(prog[bar % 4], theme);
  }

  // Bump mapping, 48 rows: a breakdown of pads and arpeggios.
  BarStyle breakdown;
  breakdown.arp = true;
  breakdown.hats = true;
  breakdown.hat_volume = 14;
  a.Bar(kF, breakdown);
  a.Bar(kG, breakdown);
  BarStyle rise = breakdown;
  rise.bass = true;
  rise.fill = true;
  a.Bar(kAm, rise);

  // Wireframe, 304 rows: the second theme over Am F G E, ending on E so that the
  // loop back to the twirl's theme resolves.
  const Chord prog_b[4] = {kAm, kF, kG, kE};
  for (int bar = 0; bar < 19; ++bar) {
    BarStyle theme = groove;
    if (bar < 8 || bar >= 12) theme.melody = &kThemeB[bar % 4];
    if (bar >= 8 && bar < 12) theme.melody = &kThemeA[bar % 4];  // the first theme returns, once
    const Chord& chord = (bar >= 8 && bar < 12) ? prog[bar % 4] : prog_b[bar % 4];
    theme.fill = bar == 18;
    a.Bar(chord, theme);
  }
  return xm::Encode(m);
}

bool WriteMusic(const std::string& dir) {
  std::vector<uint8_t> bytes = Soundtrack();
  FILE* f = std::fopen((dir + "/rovaraza.xm").c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace datagen
