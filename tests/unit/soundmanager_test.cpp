// The sound manager against real OpenAL Soft backends: the null backend for
// the table and channel rules, the wave-file backend (in a child process,
// since a process picks its backend once) to hear that sound comes out.
#include "platform/soundmanager.h"

#include <gtest/gtest.h>
#include <sndfile.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

// The table tests need no speakers; leave a backend chosen by the caller alone.
struct NullBackend : ::testing::Environment {
  void SetUp() override { setenv("ALSOFT_DRIVERS", "null", 0); }
};
const auto* const kNullBackend = ::testing::AddGlobalTestEnvironment(new NullBackend);

fs::path TempDir() {
  std::string pattern = (fs::temp_directory_path() / "vr2-sound-XXXXXX").string();
  return fs::path(mkdtemp(pattern.data()));
}

// A mono 16-bit sine tone of `seconds` at 44100 Hz.
void WriteTone(const fs::path& path, double seconds) {
  SF_INFO info{};
  info.samplerate = 44100;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  ASSERT_NE(file, nullptr);
  std::vector<short> pcm(static_cast<size_t>(seconds * 44100));
  for (size_t i = 0; i < pcm.size(); ++i) pcm[i] = static_cast<short>(12000 * std::sin(i * 0.0627));
  sf_write_short(file, pcm.data(), static_cast<sf_count_t>(pcm.size()));
  sf_close(file);
}

class SoundManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = TempDir();
    tone = (dir / "tone.wav").string();
    WriteTone(tone, 2.0);
    sounds.InitMe();
    ASSERT_TRUE(sounds.HasDevice()) << "the null backend should always open";
  }
  void TearDown() override {
    sounds.ShutDown();
    fs::remove_all(dir);
  }
  fs::path dir;
  std::string tone;
  SoundManager sounds;
};

TEST_F(SoundManagerTest, SlotsWrapAfter128AndMissingFilesKeepTheirSlot) {
  EXPECT_EQ(sounds.LoadSound(tone.c_str()), 0);
  EXPECT_EQ(sounds.LoadSound((dir / "missing.wav").c_str()), 1);
  EXPECT_EQ(sounds.LoadSoundLooping(tone.c_str()), 2);
  for (int slot = 3; slot < 127; ++slot) sounds.LoadSound(nullptr);
  EXPECT_EQ(sounds.LoadSound(tone.c_str()), 127);
  EXPECT_EQ(sounds.PlaySoundA(1), -1);  // nothing loaded there: nothing plays
  EXPECT_TRUE(sounds.samples[2].looping);

  // Slot 0 is playing while the 129th load overwrites it: the old sound
  // stops, the new one plays from the slot.
  int channel = sounds.PlaySoundA(0);
  ASSERT_GE(channel, 0);
  EXPECT_EQ(sounds.LoadSound(tone.c_str()), 0);
  EXPECT_EQ(sounds.count, 1);
  EXPECT_EQ(sounds.ChannelSlot(channel), -1);
  EXPECT_GE(sounds.PlaySoundA(0), 0);
}

TEST_F(SoundManagerTest, FixedChannelReplacesAndFreeChannelsAvoidIt) {
  int rocket = sounds.LoadSound(tone.c_str());
  int shrapnel = sounds.LoadSound(tone.c_str());
  EXPECT_EQ(sounds.PlaySoundChannelOne(rocket), 2);
  EXPECT_EQ(sounds.ChannelSlot(2), rocket);
  EXPECT_EQ(sounds.PlaySoundChannelOne(shrapnel), 2);
  EXPECT_EQ(sounds.ChannelSlot(2), shrapnel);

  // 31 free channels, none of them the fixed one; the 32nd play takes the
  // channel that started first.
  std::vector<int> used;
  for (int i = 0; i < 31; ++i) used.push_back(sounds.PlaySoundA(rocket));
  std::vector<int> sorted = used;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(std::unique(sorted.begin(), sorted.end()), sorted.end());
  EXPECT_EQ(std::count(used.begin(), used.end(), 2), 0);
  EXPECT_EQ(std::count(used.begin(), used.end(), -1), 0);
  EXPECT_EQ(sounds.PlaySoundA(shrapnel), used.front());
  EXPECT_EQ(sounds.ChannelSlot(2), shrapnel);  // untouched by free plays

  sounds.StopAll();
  for (int c = 0; c < SoundManager::kChannels; ++c) EXPECT_EQ(sounds.ChannelSlot(c), -1);
}

TEST_F(SoundManagerTest, VolumeCallsSetTheSampleDefaults) {
  int slot = sounds.LoadSound(tone.c_str());
  sounds.DefaultVolume(slot);
  EXPECT_EQ(sounds.samples[slot].volume, 114);
  EXPECT_EQ(sounds.samples[slot].frequencyVariation, 500);
  sounds.VaryVolume(slot, 40);
  EXPECT_EQ(sounds.samples[slot].volume, 114);
  EXPECT_EQ(sounds.samples[slot].volumeVariation, 40);
  EXPECT_EQ(sounds.samples[slot].frequencyVariation, 6000);
  sounds.HighVolume(slot);
  EXPECT_EQ(sounds.samples[slot].volume, 255);
  EXPECT_EQ(sounds.samples[slot].frequencyVariation, 6000);
  sounds.SetVolume(slot, 229);
  EXPECT_EQ(sounds.samples[slot].frequencyVariation, 5000);
  EXPECT_GE(sounds.PlaySoundA(slot), 0);
  sounds.SetVolume(999, 10);  // out of range: ignored
}

TEST_F(SoundManagerTest, VolumeBelowZeroIsSilent) {
  int slot = sounds.LoadSound(tone.c_str());
  for (int vol : {-1, -340}) {  // -1 must not mean "keep the old volume"
    sounds.SetVolume(slot, vol);
    EXPECT_EQ(sounds.PlaySoundA(slot), -1);
    EXPECT_EQ(sounds.PlaySoundChannelOne(slot), -1);
  }
  for (int c = 0; c < SoundManager::kChannels; ++c) EXPECT_EQ(sounds.ChannelSlot(c), -1);
  sounds.SetVolume(slot, 0);  // zero is a quiet play, not a refusal
  EXPECT_GE(sounds.PlaySoundA(slot), 0);
}

// The player's effects volume scales what OpenAL plays at; 0 % is silence.
// The music has a volume of its own.
TEST_F(SoundManagerTest, EffectsAndMusicVolumesScaleTheGain) {
  const int effect = sounds.LoadSound(tone.c_str());
  const int music = sounds.LoadSoundLooping(tone.c_str());
  sounds.HighVolume(effect);
  sounds.HighVolume(music);
  sounds.SetEffectsVolume(50);
  EXPECT_FLOAT_EQ(sounds.ChannelGain(sounds.PlaySoundA(effect)), 0.5f);
  sounds.SetEffectsVolume(0);
  EXPECT_FLOAT_EQ(sounds.ChannelGain(sounds.PlaySoundA(effect)), 0.0f);
  const int tune = sounds.PlaySoundA(music);
  EXPECT_FLOAT_EQ(sounds.ChannelGain(tune), 1.0f) << "the effects volume turned the music down";
  sounds.SetMusicVolume(30);
  EXPECT_FLOAT_EQ(sounds.ChannelGain(tune), 0.3f) << "the music volume waits for the next tune";
}

// ---- Child processes with their own backend ----

// Runs one test of this program again in a fresh process with extra
// environment variables (VR2_SOUND_CHILD=1 among them); returns its exit
// status.
int RunChild(const std::string& test, std::vector<std::string> extraEnv) {
  extraEnv.push_back("VR2_SOUND_CHILD=1");
  std::vector<std::string> env = extraEnv;
  for (char** e = environ; *e; ++e) {
    std::string entry = *e;
    bool overridden = false;
    for (const std::string& x : extraEnv)
      overridden |= entry.compare(0, x.find('=') + 1, x, 0, x.find('=') + 1) == 0;
    if (!overridden) env.push_back(entry);
  }
  std::vector<char*> envp;
  for (std::string& s : env) envp.push_back(s.data());
  envp.push_back(nullptr);
  std::string self = fs::read_symlink("/proc/self/exe").string();
  std::string filter = "--gtest_filter=" + test;
  char* argv[] = {self.data(), filter.data(), nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv, envp.data()) != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool InChild() { return std::getenv("VR2_SOUND_CHILD") != nullptr; }

// The child's half: plays a tone through whatever backend the parent chose.
void PlayToneForAWhile(bool expectSilent) {
  const char* tone = std::getenv("VR2_TONE");
  ASSERT_NE(tone, nullptr);
  SoundManager sounds;
  sounds.InitMe();
  const bool music = std::getenv("VR2_LOOP") != nullptr;
  int slot = music ? sounds.LoadSoundLooping(tone) : sounds.LoadSound(tone);
  EXPECT_EQ(slot, 0);
  sounds.DefaultVolume(slot);
  int channel = sounds.PlaySoundA(slot);
  if (expectSilent) {
    EXPECT_FALSE(sounds.HasDevice());
    EXPECT_EQ(channel, -1);
    EXPECT_EQ(sounds.PlaySoundChannelOne(slot), -1);
    EXPECT_EQ(sounds.ChannelSlot(0), -1);
    sounds.SetVolume(slot, 10);
    sounds.StopAll();
    EXPECT_EQ(sounds.LoadSound(tone), 1);  // slots still advance
    return;
  }
  EXPECT_TRUE(sounds.HasDevice());
  EXPECT_GE(channel, 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(music ? 1800 : 400));
  sounds.ShutDown();  // closes the device, which finishes the file
}

TEST(SoundManagerWave, ToneReallyComesOutOfTheWaveWriter) {
  if (InChild()) return PlayToneForAWhile(false);
  fs::path dir = TempDir();
  WriteTone(dir / "tone.wav", 0.3);
  fs::path out = dir / "out.wav";
  fs::path conf = dir / "alsoft.conf";
  std::ofstream(conf) << "[wave]\nfile = " << out.string() << "\n";
  int status = RunChild("SoundManagerWave.ToneReallyComesOutOfTheWaveWriter",
                        {"ALSOFT_DRIVERS=wave", "ALSOFT_CONF=" + conf.string(),
                         "VR2_TONE=" + (dir / "tone.wav").string()});
  ASSERT_EQ(status, 0);

  SF_INFO info{};
  SNDFILE* file = sf_open(out.c_str(), SFM_READ, &info);
  ASSERT_NE(file, nullptr) << "the wave backend wrote no readable file";
  std::vector<float> pcm(static_cast<size_t>(info.frames) * info.channels);
  sf_readf_float(file, pcm.data(), info.frames);
  sf_close(file);
  float peak = 0;
  size_t loud = 0;
  for (float v : pcm) {
    peak = std::max(peak, std::abs(v));
    loud += std::abs(v) > 0.01f;
  }
  // 12000/32768 at volume 114/255, give or take the resampler and panning.
  EXPECT_GT(peak, 0.05f);
  EXPECT_GT(loud, 1000u);
  fs::remove_all(dir);
}

// The music is decoded as it plays, a second at a time: a short loop must
// sound on without a gap well past the first second the queue held.
TEST(SoundManagerWave, MusicLoopsOnAsItIsDecoded) {
  if (InChild()) return PlayToneForAWhile(false);
  fs::path dir = TempDir();
  WriteTone(dir / "tone.wav", 0.3);
  fs::path out = dir / "out.wav";
  fs::path conf = dir / "alsoft.conf";
  std::ofstream(conf) << "[wave]\nfile = " << out.string() << "\n";
  ASSERT_EQ(RunChild("SoundManagerWave.MusicLoopsOnAsItIsDecoded",
                     {"ALSOFT_DRIVERS=wave", "ALSOFT_CONF=" + conf.string(), "VR2_LOOP=1",
                      "VR2_TONE=" + (dir / "tone.wav").string()}),
            0);
  SF_INFO info{};
  SNDFILE* file = sf_open(out.c_str(), SFM_READ, &info);
  ASSERT_NE(file, nullptr);
  std::vector<float> pcm(static_cast<size_t>(info.frames) * info.channels);
  sf_readf_float(file, pcm.data(), info.frames);
  sf_close(file);
  const size_t window = static_cast<size_t>(info.samplerate / 10) * info.channels;
  ASSERT_GT(pcm.size(), 16 * window) << "the device ran for 1.8 s";
  for (size_t w = 1; w < 16; ++w) {
    float peak = 0;
    for (size_t i = w * window; i < (w + 1) * window; ++i) peak = std::max(peak, std::abs(pcm[i]));
    EXPECT_GT(peak, 0.05f) << "silence in the tenth of a second number " << w;
  }
  fs::remove_all(dir);
}

TEST(SoundManagerWave, NoDeviceMeansEveryCallIsANoOp) {
  if (InChild()) return PlayToneForAWhile(true);
  fs::path dir = TempDir();
  WriteTone(dir / "tone.wav", 0.1);
  int status =
      RunChild("SoundManagerWave.NoDeviceMeansEveryCallIsANoOp",
               {"ALSOFT_DRIVERS=no-such-driver", "VR2_TONE=" + (dir / "tone.wav").string()});
  EXPECT_EQ(status, 0);
  fs::remove_all(dir);
}

}  // namespace
