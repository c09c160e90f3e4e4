// SoundManager: the game's only contact with audio (one instance: Sounds).
// A table of 128 loaded samples addressed by slot, played on 32 channels;
// channel 2 is the fixed channel whose sounds cut each other off. Each
// sample keeps a default volume (0..255) and random frequency and volume
// variations applied at every play. Built on OpenAL Soft (sources are the
// channels) and libsndfile (WAV/OGG decoding). With no audio device every
// call is a no-op and the game runs silent.
#pragma once

#include <cstdint>
#include <string>

#include "base/soundplayer.h"
#include "platform/musicstream.h"

class SoundManager final : public SoundPlayer {
 public:
  static constexpr int kSlots = 128;
  static constexpr int kChannels = 32;
  static constexpr int kFixedChannel = 2;

  struct Sample {
    unsigned int buffer = 0;  // OpenAL buffer; 0 when the file did not load
    bool looping = false;
    int volume = 255;            // 0..255; below 0 plays silent
    int frequencyVariation = 0;  // Hz around 44100
    int volumeVariation = 0;     // +/- on the 0..255 scale
    std::string streamPath;      // a looping sound is decoded as it plays, from here
  };

  Sample samples[kSlots];
  int count = 0;  // next slot to fill

  SoundManager();
  SoundManager(const SoundManager&) = delete;
  SoundManager& operator=(const SoundManager&) = delete;
  ~SoundManager();

  // Opens the default output with 32 channels. Failure leaves the manager
  // silent. Sets count to 0.
  void InitMe();
  // Loads into slot `count` (128 wraps to 0) and returns that slot. A file
  // that fails to load still takes its slot, so later slots do not shift.
  // A looping sound (the music) is only checked here and decoded as it
  // plays; one plays at a time.
  int LoadSound(const char* path);
  int LoadSoundLooping(const char* path);
  // Plays on a free channel (never the fixed one); returns the channel or -1.
  int PlaySoundA(int slot) override;
  // Plays on channel 2, replacing whatever it was playing.
  int PlaySoundChannelOne(int slot) override;
  void SetVolume(int slot, int vol) override;  // volume vol, frequency variation 5000
  void VaryVolume(int slot, int var);          // volume variation var, frequency variation 6000
  void DefaultVolume(int slot);                // volume 114, frequency variation 500
  void HighVolume(int slot);                   // volume 255
  // Stops every channel (the music too, for the rest of the run).
  void StopAll();
  // Closes the device; later calls are no-ops. The destructor calls it.
  void ShutDown();

  bool HasDevice() const { return device_ != nullptr; }
  // The slot sounding on a channel, or -1 when the channel is silent.
  int ChannelSlot(int channel) const;
  // The player's volumes, 0..100 %: every effect played from now on, and the
  // music at once.
  void SetEffectsVolume(int percent);
  void SetMusicVolume(int percent);
  // The OpenAL gain a channel plays at (-1 without a device).
  float ChannelGain(int channel) const;

 private:
  void* device_ = nullptr;   // ALCdevice*
  void* context_ = nullptr;  // ALCcontext*
  unsigned int sources_[kChannels] = {};
  int channelSlot_[kChannels];
  uint64_t channelStarted_[kChannels] = {};
  uint64_t plays_ = 0;
  uint32_t jitterState_ = 12345;  // own generator: audio never shifts the game's random sequence

  MusicStream stream_;  // the looping sound that is playing, if any
  float effectsScale_ = 1.0f, musicScale_ = 1.0f;
  float musicGain_ = 1.0f;  // the music sample's own gain, before musicScale_

  int Load(const char* path, bool looping);
  int StartOn(int channel, int slot);
  int FreeChannel() const;
  float Jitter(int range);
  bool SlotValid(int slot) const { return slot >= 0 && slot < kSlots; }
};
