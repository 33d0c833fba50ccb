#include "shell/captions.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "gfx/display.h"
#include "image/file_bytes.h"

efx_3d g_CaptionLetters[kCaptionLetterSlots];
int8_t g_CaptionMap[256];
float g_fCaptionAngle = 0.0f;
float g_fCaptionScale = 0.5f;
int g_nCaptionLetters = 0;

namespace {

void FillMap() {
  // Characters without a letter map to -1 and draw nothing (not the letter A).
  std::memset(g_CaptionMap, -1, sizeof g_CaptionMap);
  for (int i = 0; i < 26; ++i) {
    g_CaptionMap['A' + i] = static_cast<int8_t>(i);
    g_CaptionMap['a' + i] = static_cast<int8_t>(29 + i);
  }
  g_CaptionMap[197] = 26;  // Å
  g_CaptionMap[196] = 27;  // Ä
  g_CaptionMap[214] = 28;  // Ö
  g_CaptionMap[229] = 55;  // å
  g_CaptionMap[228] = 56;  // ä
  for (int i = 0; i < 10; ++i) g_CaptionMap['0' + i] = static_cast<int8_t>(57 + i);
  g_CaptionMap[static_cast<unsigned char>('-')] = kCaptionHyphen;
  g_CaptionMap[static_cast<unsigned char>(' ')] = -1;
}

void Place(efx_3d& letter, float scale) {
  letter.projection.x = static_cast<float>(g_dwWidth / 2);
  letter.projection.y = static_cast<float>(g_dwHeight / 2);
  letter.projection.z = 1000;
  letter.rotation.x = 270;
  letter.rotation.z = 0;
  letter.scale = vertices{scale, scale, scale};
}

}  // namespace

void LoadCaptionFont(const char* file, float scale) {
  g_fCaptionScale = scale;
  FillMap();
  // All letters come from one file: it is read once, not once per letter.
  std::vector<uint8_t> bytes;
  std::string why;
  const bool read = ReadFileBytes(file, bytes, uint64_t(1) << 30, why);
  auto load = [&](int i) {
    return read ? g_CaptionLetters[i].load(file, static_cast<unsigned>(i), bytes)
                : g_CaptionLetters[i].load(file, static_cast<unsigned>(i));
  };
  for (int i = 0; i < 58; ++i) {
    load(i);
    Place(g_CaptionLetters[i], scale);
  }
  // The digits past 0 and the hyphen come from the file when it holds them.
  g_nCaptionLetters = 58;
  while (g_nCaptionLetters < kCaptionLetterSlots && load(g_nCaptionLetters)) {
    Place(g_CaptionLetters[g_nCaptionLetters], scale);
    ++g_nCaptionLetters;
  }
}

void StepCaptionAngle() { g_fCaptionAngle = g_fCaptionAngle < 360 ? static_cast<float>(g_fCaptionAngle + 0.3) : 0.0f; }

void DrawCaption(bitmap& target, int x, int y, const char* format, ...) {
  char text[8192];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  for (size_t i = 0; text[i]; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == ' ') continue;
    const int n = g_CaptionMap[c];
    if (n < 0 || n >= g_nCaptionLetters) continue;
    efx_3d& letter = g_CaptionLetters[n];
    letter.rotation.x = g_fCaptionAngle;
    letter.projection.x = static_cast<float>(x) + g_fCaptionScale * 70 * static_cast<float>(i);
    letter.projection.y = static_cast<float>(y);
    letter.draw(target);
  }
}
