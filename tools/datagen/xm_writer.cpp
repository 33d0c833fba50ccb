#include "xm_writer.h"

#include <cstring>

namespace datagen::xm {
namespace {

struct Out {
  std::vector<uint8_t> b;
  void u8(unsigned v) { b.push_back(uint8_t(v)); }
  void u16(unsigned v) { u8(v & 255), u8(v >> 8 & 255); }
  void u32(uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); }
  void text(const std::string& s, size_t n) {
    for (size_t i = 0; i < n; ++i) u8(i < s.size() ? uint8_t(s[i]) : 0);
  }
};

}  // namespace

uint8_t Note(const char* name) {
  static const int base[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  int semitone = base[name[0] - 'A'];
  if (name[1] == '#') ++semitone;
  int octave = name[2] - '0';
  return uint8_t(1 + 12 * octave + semitone);
}

std::vector<uint8_t> Encode(const Module& m) {
  Out o;
  o.text("Extended Module: ", 17);
  o.text(m.name, 20);
  o.u8(0x1A);
  o.text("FastTracker v2.00", 20);
  o.u16(0x0104);
  o.u32(276);  // header size from here on, order table included
  o.u16(unsigned(m.order.size()));
  o.u16(unsigned(m.restart));
  o.u16(unsigned(m.channels));
  o.u16(unsigned(m.patterns.size()));
  o.u16(unsigned(m.instruments.size()));
  o.u16(1);  // linear frequency table
  o.u16(unsigned(m.tempo));
  o.u16(unsigned(m.bpm));
  for (int i = 0; i < 256; ++i) o.u8(i < int(m.order.size()) ? m.order[i] : 0);

  for (const Pattern& p : m.patterns) {
    Out data;
    for (const Cell& c : p.cells) {
      // Packed cells: a flag byte says which of the five fields follow.
      uint8_t flags = 0x80 | (c.note ? 1 : 0) | (c.instrument ? 2 : 0) | (c.volume ? 4 : 0) | (c.effect ? 8 : 0) |
                      (c.param ? 16 : 0);
      data.u8(flags);
      if (c.note) data.u8(c.note);
      if (c.instrument) data.u8(c.instrument);
      if (c.volume) data.u8(c.volume);
      if (c.effect) data.u8(c.effect);
      if (c.param) data.u8(c.param);
    }
    o.u32(9);
    o.u8(0);
    o.u16(unsigned(p.rows));
    o.u16(unsigned(data.b.size()));
    o.b.insert(o.b.end(), data.b.begin(), data.b.end());
  }

  for (const Instrument& ins : m.instruments) {
    const size_t start = o.b.size();
    o.u32(263);
    o.text(ins.name, 22);
    o.u8(0);
    o.u16(1);
    o.u32(40);
    for (int i = 0; i < 96; ++i) o.u8(0);  // every note plays sample 0
    for (int i = 0; i < 12; ++i) {
      bool used = i < int(ins.envelope.points.size());
      o.u16(used ? ins.envelope.points[i].first : 0);
      o.u16(used ? ins.envelope.points[i].second : 0);
    }
    for (int i = 0; i < 24; ++i) o.u16(0);  // no panning envelope
    const bool env = !ins.envelope.points.empty();
    o.u8(unsigned(ins.envelope.points.size()));
    o.u8(0);
    o.u8(ins.envelope.sustain >= 0 ? unsigned(ins.envelope.sustain) : 0);
    o.u8(0), o.u8(0);
    o.u8(0), o.u8(0), o.u8(0);
    o.u8((env ? 1 : 0) | (ins.envelope.sustain >= 0 ? 2 : 0));
    o.u8(0);
    o.u8(ins.vibrato_type), o.u8(ins.vibrato_sweep), o.u8(ins.vibrato_depth), o.u8(ins.vibrato_rate);
    o.u16(ins.fadeout);
    while (o.b.size() < start + 263) o.u8(0);

    const bool loop = ins.loop_length > 0;
    o.u32(uint32_t(ins.sample.size() * 2));
    o.u32(uint32_t(ins.loop_start * 2));
    o.u32(uint32_t(ins.loop_length * 2));
    o.u8(ins.volume);
    o.u8(uint8_t(ins.finetune));
    o.u8((loop ? 1 : 0) | 0x10);  // forward loop, 16-bit
    o.u8(ins.panning);
    o.u8(uint8_t(ins.relative_note));
    o.u8(0);
    o.text(ins.name, 22);
    int16_t previous = 0;
    for (int16_t s : ins.sample) {
      o.u16(uint16_t(int16_t(s - previous)));
      previous = s;
    }
  }
  return o.b;
}

}  // namespace datagen::xm
