#pragma once
// Captions in 3D wireframe letters that all turn together about their x axis.

#include <cstdint>

#include "efx/object3d.h"

// Letters A-Z, Å Ä Ö, a-z, å ä, the digits 0-9 and the hyphen: 68 objects.
constexpr int kCaptionLetterSlots = 68;
constexpr int kCaptionHyphen = 67;

extern efx_3d g_CaptionLetters[kCaptionLetterSlots];
extern int8_t g_CaptionMap[256];
extern float g_fCaptionAngle;
extern float g_fCaptionScale;
// How many letters, from 0 on, the font file held (58 are always loaded).
extern int g_nCaptionLetters;

void LoadCaptionFont(const char* file, float scale);
void StepCaptionAngle();
void DrawCaption(bitmap& target, int x, int y, const char* format, ...) __attribute__((format(printf, 4, 5)));
