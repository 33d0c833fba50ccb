#pragma once
#include <string>

namespace datagen {
// The program's icon, a twisted ring of colour on a dark tile with a wireframe
// V, as "velmora-SIZE.png" for the freedesktop hicolor sizes. False on failure.
bool WriteIcons(const std::string& directory);
}  // namespace datagen
