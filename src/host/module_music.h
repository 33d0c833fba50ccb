#pragma once
// A module of tracker music in memory, rendered to PCM by the mixer: loaded
// from its file's bytes, played once or repeating for ever, moved to a time.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace host::audio {

class ModuleMusic {
 public:
  // Null, with the decoder's own words in `detail` (empty when it gave none),
  // when the bytes are not a module this program plays.
  static std::unique_ptr<ModuleMusic> Load(const std::vector<uint8_t>& bytes, std::string& detail);
  ~ModuleMusic();
  ModuleMusic(const ModuleMusic&) = delete;
  ModuleMusic& operator=(const ModuleMusic&) = delete;

  // Forever: the music goes on from its restart position at its end.
  void Repeat(bool forever);
  void MoveTo(double seconds);
  // One round of the music.
  double Seconds() const;
  // The next `frames` interleaved stereo frames at `rate`; fewer once a music
  // that does not repeat has ended.
  size_t Render(int rate, size_t frames, int16_t* out);

 private:
  struct Decoder;
  explicit ModuleMusic(Decoder* decoder);
  Decoder* decoder_;
};

}  // namespace host::audio
