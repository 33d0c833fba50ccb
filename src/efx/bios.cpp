#include "efx/bios.h"

#include <cstdio>

#include "gfx/gdi_helpers.h"
#include "gfx/pixel_format.h"

namespace {

constexpr COLORREF kGrey = 0x8C8C8C;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr DWORD kLineGreyXrgb = 0x8C8C8C;

void Text(bitmap& t, int x, int y, const char* s, COLORREF colour = kGrey) { text_printf(t, x, y, colour, 0, "%s", s); }

void DrawPhase0(efx_bios& b, bitmap& t, int W) {
  RECT small{0, 85, b.small_logo.width, 85 + b.small_logo.height};
  b.small_logo.blit(t, nullptr, &small);
  RECT large{W - b.large_logo.width, 85, W, 85 + b.large_logo.height};
  b.large_logo.blit(t, nullptr, &large);
  const int x = b.small_logo.width + 1;
  Text(t, x, 85, "Award Modular BIOS v6.00PG, An Energy Star Ally");
  Text(t, x, 102, "Copyright (C) 1984-98, Harnwick Firmware Works");
  Text(t, 0, 136, "ASUS P2B ACPI BIOS Revision 1012");
  text_printf(t, 0, 170, kGrey, 0, "%s: %luMHz", b.cpu_name, static_cast<unsigned long>(b.cpu_clock));
  text_printf(t, 0, 187, kGrey, 0, "Memory Test: %luK", static_cast<unsigned long>(b.memory));
}

void DrawPhase1(bitmap& t) {
  Text(t, 0, 221, "Award Plug and Play BIOS Extensions v1.0A");
  Text(t, 0, 238, "Initialize Plug and Play Cards...");
  Text(t, 0, 425, "Press ");
  Text(t, 45, 425, "DEL", kWhite);
  Text(t, 75, 425, " to enter SETUP");
  Text(t, 0, 442, "03/03/00-i440BX-<<P2B>>0");
}

void DrawPhase4(efx_bios& b, bitmap& t, int W) {
  // The grey as a pixel of the target's own format (a 16-bit line is not the low
  // half of the 32-bit value).
  const DWORD grey = PixelFor(t, kLineGreyXrgb);
  t.line(0, 30, W, 30, grey);
  t.line(2, 32, W - 2, 32, grey);
  t.line(0, 30, 0, 189, grey);
  t.line(2, 32, 2, 187, grey);
  t.line(W - 1, 30, W - 1, 189, grey);
  t.line(W - 3, 32, W - 3, 187, grey);
  Text(t, 5, 34, "CPU");
  Text(t, 5, 51, "Co-Processor");
  Text(t, 5, 68, "Cache Memory");
  t.line(2, 92, W - 2, 92, grey);
  Text(t, 5, 102, "Diskette Drive A");
  Text(t, 5, 119, "Diskette Drive B");
  Text(t, 5, 136, "Pri. Master Disk");
  Text(t, 5, 153, "Sec. Master Disk");
  Text(t, 5, 170, "Sec. Slave  Disk");
  const int c1 = W / 4 + 5, c2 = W / 2 + 5, c3 = W - W / 4 + 5;
  text_printf(t, c1, 34, kGrey, 0, ": %s %dMhz", b.cpu_name, b.cpu_clock);
  Text(t, c1, 51, ": Installed");
  Text(t, c1, 68, ": 512K");
  Text(t, c1, 102, ": 1.44M, 3.5 in. ");
  for (int y : {119, 136, 153, 170}) Text(t, c1, y, ": None");
  static const char* const left[] = {"Base Memory", "Extended Memory",  "Display Type",  "Serial Port(s)",
                                     "Dram Type",   "SPD On Module(s)", "Data Integrity"};
  static const char* const right[] = {": 640K", ": 130048K", ": EGA/VGA", ": None", ": SDRAM", ": Yes", ": Non-ECC"};
  static const int rows[] = {51, 68, 102, 119, 136, 153, 170};
  for (int i = 0; i < 7; ++i) Text(t, c2, rows[i], left[i]);
  for (int i = 0; i < 7; ++i) Text(t, c3, rows[i], right[i]);
  t.line(2, 187, W - 2, 187, grey);
  t.line(0, 189, W, 189, grey);
  Text(t, 0, 238, "PCI device listing.....");
  t.line(2, 277, W - 2, 277, grey);
  static const int columns[] = {0, 50, 130, 210, 280, 350, 500};
  static const char* const table[6][7] = {
      {"Bus", "Device No.", "Func No.", "Vendor ID", "Device ID", "Device Class", "IRQ"},
      {"0", "4", "1", "8086", "7111", "IDE Controller", "14/15"},
      {"0", "4", "2", "8086", "7112", "Serial bus controller", "10"},
      {"0", "9", "0", "4A14", "5000", "Network controller", "10"},
      {"1", "0", "0", "10DE", "0028", "Display controller", "11"},
      {"0", "7", "0", "E088", "4015", "Sound controller", "11"},
  };
  static const int table_rows[] = {255, 289, 306, 323, 340, 357};
  for (int c = 0; c < 7; ++c)
    for (int r = 0; r < 6; ++r) Text(t, columns[c], table_rows[r], table[r][c]);
}

}  // namespace

int efx_bios::init() {
  update_count = 0;
  memory = 0;
  memory_limit = 2097152;
  std::snprintf(cpu_name, sizeof cpu_name, "%s", "Intel Pentium III CPU");
  large_logo.load("data/bios_iso.bmp");
  small_logo.load("data/bios_pieni.bmp");
  return 0;
}

void efx_bios::update() {
  ++update_count;
  if (memory < memory_limit) memory += 266;
  if (update_count >= 8000) memory = memory_limit;
}

int efx_bios::phase_at(int updates) {
  return updates < 8500 ? 0 : updates < 10000 ? 1 : updates < 13000 ? 2 : updates < 13100 ? 3 : 4;
}

void efx_bios::draw(bitmap& target) {
  cpu_clock = 700;
  phase = phase_at(update_count);
  const int W = target.width;
  switch (phase) {
    case 0: DrawPhase0(*this, target, W); break;
    case 1: DrawPhase1(target); break;
    case 2: Text(target, 0, 255, "PNP Init Completed"); break;
    case 3: target.clear(0); break;
    default: DrawPhase4(*this, target, W); break;
  }
}
