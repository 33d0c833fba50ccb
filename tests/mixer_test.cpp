// The mixer's sum of the sounds beside the music, read as a recording reads it.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "host/audio_mixer.h"

namespace {

TEST(Mixer, EachVoiceReachesEachSpeakerByItsOwnGain) {
  host::audio::UsePullMode(host::audio::kPullRate);
  ASSERT_TRUE(host::audio::Open());
  const struct {
    std::vector<uint8_t> frame;  // one frame of the voice, repeated
    int channels, bytes_per_sample;
    float gain_left, gain_right;
    int16_t left, right;
  } cases[] = {
      {{0xE8, 0x03}, 1, 2, 0.5f, 2.0f, 500, 2000},                               // mono 1000
      {{0xE8, 0x03, 0x48, 0xF4}, 2, 2, 2.0f, 0.25f, 2000, -750},                 // 1000 | -3000
      {{0xC0}, 1, 1, 1.0f, 0.0f, 16384, 0},                                      // unsigned 8 bits
      {{0x00, 0x34, 0x12, 0xFF, 0x00, 0x80}, 2, 3, 1.0f, 0.5f, 0x1234, -16384},  // 24 bits: the top 16
  };
  for (const auto& c : cases) {
    host::audio::Voice voice;
    for (int i = 0; i < 64; ++i) voice.data.insert(voice.data.end(), c.frame.begin(), c.frame.end());
    voice.channels = c.channels;
    voice.bytes_per_sample = c.bytes_per_sample;
    voice.rate = host::audio::kPullRate;
    voice.playing = true;
    voice.gain_left = c.gain_left;
    voice.gain_right = c.gain_right;
    host::audio::AddVoice(&voice);
    int16_t out[8 * 2];
    host::audio::Pull(out, 8);
    host::audio::RemoveVoice(&voice);
    for (int i = 0; i < 8; ++i) {
      EXPECT_EQ(out[2 * i], c.left) << c.channels << " x " << c.bytes_per_sample << " frame " << i;
      EXPECT_EQ(out[2 * i + 1], c.right) << c.channels << " x " << c.bytes_per_sample << " frame " << i;
    }
  }
  host::audio::Close();
}

}  // namespace
