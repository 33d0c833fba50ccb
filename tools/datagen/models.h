#pragma once
#include <string>

namespace datagen {
// "Cola.obj", the contour bottle, and "font.ult", the 3D caption letters.
bool WriteModels(const std::string& directory);
}  // namespace datagen
