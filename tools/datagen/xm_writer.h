#pragma once
// A FastTracker 2 extended module (version 1.04) built in memory: patterns of
// cells, instruments of one 16-bit sample each with volume envelopes, and the
// file layout with delta-coded sample data.

#include <cstdint>
#include <string>
#include <vector>

namespace datagen::xm {

constexpr uint8_t kKeyOff = 97;

struct Cell {
  uint8_t note = 0;        // 1 = C-0, 49 = C-4, 97 = key off
  uint8_t instrument = 0;  // 1-based
  uint8_t volume = 0;      // volume column: 0x10 + 0..64 sets the volume
  uint8_t effect = 0;
  uint8_t param = 0;
};

struct Pattern {
  int rows;
  int channels;
  std::vector<Cell> cells;  // rows x channels
  Pattern(int r, int c) : rows(r), channels(c), cells(size_t(r) * c) {}
  Cell& at(int row, int channel) { return cells[size_t(row) * channels + channel]; }
};

struct Envelope {
  std::vector<std::pair<uint16_t, uint16_t>> points;  // (tick, 0-64)
  int sustain = -1;                                   // point index, -1 for none
};

struct Instrument {
  std::string name;
  std::vector<int16_t> sample;
  int loop_start = 0, loop_length = 0;  // in sample frames; length 0: no loop
  uint8_t volume = 64;
  int8_t finetune = 0;
  int8_t relative_note = 0;
  uint8_t panning = 128;
  Envelope envelope;  // empty: none
  uint16_t fadeout = 0;
  uint8_t vibrato_type = 0, vibrato_sweep = 0, vibrato_depth = 0, vibrato_rate = 0;
};

struct Module {
  std::string name;
  int channels = 8;
  int tempo = 6;  // ticks per row
  int bpm = 125;
  int restart = 0;  // order index the song continues from after its end
  std::vector<uint8_t> order;
  std::vector<Pattern> patterns;
  std::vector<Instrument> instruments;
};

std::vector<uint8_t> Encode(const Module& m);

// XM note number of a note name such as "A-4", "C#5", "G-2".
uint8_t Note(const char* name);

}  // namespace datagen::xm
