#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace datagen {
// The soundtrack "rovaraza.xm": its sections follow the demo's timeline.
std::vector<uint8_t> Soundtrack();
bool WriteMusic(const std::string& directory);
}  // namespace datagen
