#include "sound/sound.h"

#include <cstring>
#include <fstream>

#include "host/last_error.h"
#include "image/file_bytes.h"
#include "support.h"
#include "winapi/testing.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& path) {
  std::vector<uint8_t> b;
  EXPECT_TRUE(ReadFileBytes(path.c_str(), b)) << path;
  return b;
}

std::vector<uint8_t> Wave(const std::string& name) { return Bytes(test::FixturePath("waves/" + name).string()); }

void Put32(std::vector<uint8_t>& f, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) f[at + i] = uint8_t(v >> (8 * i));
}

class SoxWaves : public ::testing::TestWithParam<const char*> {};

TEST_P(SoxWaves, ReadBackExactlyTheSamplesSoxReports) {
  std::vector<uint8_t> file = Wave(GetParam()), raw = Wave(std::string(GetParam()) + ".raw");
  wave_file w;
  ASSERT_EQ(w.open_bytes(file.data(), file.size()), 0);
  ASSERT_EQ(w.data_chunk.cksize, raw.size());
  std::vector<uint8_t> data(raw.size());
  UINT got = 0;
  ASSERT_EQ(w.read(UINT(data.size()), data.data(), &got), 0);
  EXPECT_EQ(got, raw.size());
  EXPECT_EQ(data, raw);
}

INSTANTIATE_TEST_SUITE_P(Sox, SoxWaves,
                         ::testing::Values("pcm8_mono.wav", "pcm8_stereo.wav", "pcm16_mono.wav", "pcm16_stereo.wav",
                                           "extensible24.wav", "extensible_quad.wav"));

TEST(WaveFile, PcmFormatGivesAnEighteenByteRecordAndExtensibleForty) {
  std::vector<uint8_t> pcm = Wave("pcm16_stereo.wav"), ext = Wave("extensible24.wav");
  wave_file a, b;
  ASSERT_EQ(a.open_bytes(pcm.data(), pcm.size()), 0);
  EXPECT_EQ(a.format->cbSize, 0);
  EXPECT_EQ(a.format->nChannels, 2);
  ASSERT_EQ(b.open_bytes(ext.data(), ext.size()), 0);
  EXPECT_EQ(b.format->cbSize, 22);
  EXPECT_EQ(sizeof(WAVEFORMATEX) + b.format->cbSize, 40u);
  EXPECT_EQ(b.format->wFormatTag, WAVE_FORMAT_EXTENSIBLE);
  // The 22 extra bytes end with the sub-format: PCM's GUID starts with 1.
  EXPECT_EQ(reinterpret_cast<uint8_t*>(b.format)[18 + 6], 1);
}

TEST(WaveFile, ReadsLargerThanWhatRemainsGetTheRest) {
  std::vector<uint8_t> f = Wave("pcm16_mono.wav");
  wave_file w;
  ASSERT_EQ(w.open_bytes(f.data(), f.size()), 0);
  std::vector<uint8_t> buf(1000);
  UINT got = 0;
  ASSERT_EQ(w.read(300, buf.data(), &got), 0);
  EXPECT_EQ(got, 300u);
  ASSERT_EQ(w.read(1000, buf.data(), &got), 0);
  EXPECT_EQ(got, 20u);
  ASSERT_EQ(w.read(1000, buf.data(), &got), 0);
  EXPECT_EQ(got, 0u);
  ASSERT_EQ(w.reset(), 0);
  EXPECT_EQ(w.data_chunk.cksize, 320u);
}

TEST(WaveFile, MalformedFilesAreRefused) {
  const std::vector<uint8_t> good = Wave("pcm16_mono.wav");  // fmt at 12, data header at 36
  std::vector<std::vector<uint8_t>> bad;
  std::vector<uint8_t> f = good;
  Put32(f, 40, 100000);  // data chunk past the end
  bad.push_back(f);
  f = good;
  Put32(f, 16, 14);  // format chunk shorter than 16
  bad.push_back(f);
  f = good;
  Put32(f, 4, 0x7FFFFFF0);  // RIFF chunk past the end
  bad.push_back(f);
  f = Wave("extensible24.wav");
  f[36] = 200;  // extra-size larger than the format chunk
  bad.push_back(f);
  f = good;
  std::memcpy(&f[36], "junk", 4);  // no data chunk
  bad.push_back(f);
  bad.push_back(std::vector<uint8_t>(good.begin(), good.begin() + 30));
  bad.push_back(Bytes(test::DataPath("rovaraza.xm").string()));  // a module is not a wave file
  for (size_t i = 0; i < bad.size(); ++i) {
    wave_file w;
    EXPECT_EQ(w.open_bytes(bad[i].data(), bad[i].size()), E_FAIL) << i;
    EXPECT_EQ(w.format, nullptr) << i;
    EXPECT_EQ(w.file, nullptr) << i;
  }
  wave_file missing;
  EXPECT_EQ(missing.open("no-such.wav"), E_FAIL);
}

class SoundObject : public test::DisplayTest {
 protected:
  void SetUp() override {
    test::DisplayTest::SetUp();
    ASSERT_EQ(InitSound(hWnd), 0) << host::LastErrorText();
  }
  void TearDown() override {
    CloseSound();
    test::DisplayTest::TearDown();
  }
};

TEST_F(SoundObject, LoadOfNeitherWaveNorModuleFailsWithBothModesClear) {
  test::TempDir dir;
  std::ofstream("noise.bin") << "this is neither a wave file nor a module";
  Sound s;
  EXPECT_EQ(s.Load("noise.bin"), E_FAIL);
  EXPECT_EQ(s.wave_mode, 0);
  EXPECT_EQ(s.module_mode, 0);
  EXPECT_EQ(s.Load("missing.xm"), E_FAIL);
}

TEST_F(SoundObject, PlayBeforeALoadFails) {
  Sound s;
  EXPECT_EQ(s.Play(true), E_FAIL);
  ASSERT_EQ(s.Init(), 0);
  EXPECT_EQ(s.Play(false), E_FAIL);
  EXPECT_EQ(s.Stop(), E_FAIL);
}

TEST_F(SoundObject, LoadInitialisesFirstAndTheModulePathPassesTheLoopFlag) {
  Sound s;
  EXPECT_EQ(s.initialised, 0);
  ASSERT_EQ(s.Load(test::DataPath("rovaraza.xm").c_str()), 0);
  EXPECT_EQ(s.initialised, 1);
  EXPECT_EQ(s.module_mode, 1);
  EXPECT_EQ(s.wave_mode, 0);
  ASSERT_EQ(s.Play(true), 0);
  EXPECT_EQ(winapi::testing::LastModuleLoopFlag(), 1);
  ASSERT_EQ(s.Play(false), 0);
  EXPECT_EQ(winapi::testing::LastModuleLoopFlag(), 0);
  EXPECT_EQ(s.Stop(), 0);
  EXPECT_EQ(s.module_mode, 0);
  EXPECT_EQ(s.Play(true), E_FAIL);
}

TEST_F(SoundObject, WavePathPlaysLoopsAndRewindsAPlayingBuffer) {
  Sound s;
  ASSERT_EQ(s.Load(test::FixturePath("waves/pcm16_stereo.wav").c_str()), 0);
  EXPECT_EQ(s.wave_mode, 1);
  EXPECT_EQ(s.data_size, 1764u);
  DS3DBUFFER p{};
  p.dwSize = sizeof p;
  s.buffer3d->GetAllParameters(&p);
  EXPECT_EQ(p.dwMode, DS3DMODE_HEADRELATIVE);
  // The buffer holds the file's samples.
  std::vector<uint8_t> raw = Wave("pcm16_stereo.wav.raw");
  void* data = nullptr;
  DWORD n = 0;
  ASSERT_EQ(s.buffer->Lock(0, s.data_size, &data, &n, nullptr, nullptr, 0), 0);
  EXPECT_EQ(std::vector<uint8_t>(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + n), raw);
  s.buffer->Unlock(data, n, nullptr, 0);

  ASSERT_EQ(s.Play(true), 0);
  DWORD status = 0;
  s.buffer->GetStatus(&status);
  EXPECT_EQ(status & (DSBSTATUS_PLAYING | DSBSTATUS_LOOPING), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
  s.buffer->SetCurrentPosition(400);
  ASSERT_EQ(s.Play(true), 0);  // already playing: rewound
  DWORD position = 99;
  s.buffer->GetCurrentPosition(&position, nullptr);
  EXPECT_LT(position, 400u);
  EXPECT_EQ(s.Stop(), 0);
  s.buffer->GetStatus(&status);
  EXPECT_EQ(status & DSBSTATUS_PLAYING, 0u);
  EXPECT_EQ(s.wave_mode, 0);
}

TEST_F(SoundObject, LostBufferIsRestoredAndRefilledBeforePlaying) {
  Sound s;
  ASSERT_EQ(s.Load(test::FixturePath("waves/pcm8_mono.wav").c_str()), 0);
  winapi::testing::LoseSoundBuffers(false);
  ASSERT_EQ(s.Play(false), 0);
  std::vector<uint8_t> raw = Wave("pcm8_mono.wav.raw");
  void* data = nullptr;
  DWORD n = 0;
  ASSERT_EQ(s.buffer->Lock(0, s.data_size, &data, &n, nullptr, nullptr, 0), 0);
  EXPECT_EQ(std::vector<uint8_t>(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + n), raw);
  s.buffer->Unlock(data, n, nullptr, 0);
}

TEST_F(SoundObject, RestoreThatKeepsFailingGivesUp) {
  Sound s;
  ASSERT_EQ(s.Load(test::FixturePath("waves/pcm8_mono.wav").c_str()), 0);
  winapi::testing::LoseSoundBuffers(true);
  EXPECT_EQ(s.Play(true), DSERR_BUFFERLOST);  // after a bounded number of rounds
  winapi::testing::LoseSoundBuffers(false);
  EXPECT_EQ(s.Play(true), 0);
}

TEST(SoundSystem, InitWithoutTheSystemFails) {
  Sound s;
  EXPECT_EQ(s.Init(), E_FAIL);
  EXPECT_EQ(s.Load("anything.xm"), E_FAIL);
}

}  // namespace
