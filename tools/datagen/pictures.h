#pragma once
#include <string>

namespace datagen {
// The two power-on screen logos, the twirl picture and the bump and height
// pictures. False when a file cannot be written.
bool WritePictures(const std::string& directory);
// The console font strip and its definition file "fonts.def".
bool WriteConsoleFont(const std::string& directory);
}  // namespace datagen
