#include "platform/soundmanager.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <sndfile.h>

#include <algorithm>
#include <vector>

namespace {

constexpr float kBaseFrequency = 44100.0f;

// Decodes a whole file (WAV or OGG) into 16-bit PCM and uploads it into a
// new buffer. Returns 0 when the file cannot be read.
unsigned int DecodeIntoBuffer(const char* path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path, SFM_READ, &info);
  if (!file) return 0;
  unsigned int buffer = 0;
  if ((info.channels == 1 || info.channels == 2) && info.frames > 0 && info.samplerate > 0) {
    std::vector<short> pcm(static_cast<size_t>(info.frames) * info.channels);
    sf_count_t got = sf_readf_short(file, pcm.data(), info.frames);
    if (got > 0) {
      alGetError();
      alGenBuffers(1, &buffer);
      ALenum format = info.channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16;
      alBufferData(buffer, format, pcm.data(),
                   static_cast<ALsizei>(got * info.channels * sizeof(short)), info.samplerate);
      if (alGetError() != AL_NO_ERROR) {
        alDeleteBuffers(1, &buffer);
        buffer = 0;
      }
    }
  }
  sf_close(file);
  return buffer;
}

}  // namespace

SoundManager::SoundManager() { std::fill(std::begin(channelSlot_), std::end(channelSlot_), -1); }

SoundManager::~SoundManager() { ShutDown(); }

void SoundManager::InitMe() {
  ShutDown();
  count = 0;
  for (Sample& s : samples) s = Sample();
  ALCdevice* device = alcOpenDevice(nullptr);
  if (!device) return;  // no audio: the game runs silent
  const ALCint attributes[] = {ALC_FREQUENCY, 44100, 0};
  ALCcontext* context = alcCreateContext(device, attributes);
  if (!context || !alcMakeContextCurrent(context)) {
    if (context) alcDestroyContext(context);
    alcCloseDevice(device);
    return;
  }
  alGetError();
  alGenSources(kChannels, sources_);
  if (alGetError() != AL_NO_ERROR) {
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(context);
    alcCloseDevice(device);
    return;
  }
  for (unsigned int source : sources_) {
    // Effects are heard head-on: no 3D placement or distance fading.
    alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(source, AL_POSITION, 0, 0, 0);
    alSourcef(source, AL_ROLLOFF_FACTOR, 0);
  }
  device_ = device;
  context_ = context;
}

void SoundManager::ShutDown() {
  if (!device_) return;
  auto* context = static_cast<ALCcontext*>(context_);
  alcMakeContextCurrent(context);
  stream_.Stop();
  alSourceStopv(kChannels, sources_);
  alDeleteSources(kChannels, sources_);
  for (Sample& s : samples) {
    if (s.buffer) alDeleteBuffers(1, &s.buffer);
    s.buffer = 0;
  }
  alcMakeContextCurrent(nullptr);
  alcDestroyContext(context);
  alcCloseDevice(static_cast<ALCdevice*>(device_));
  device_ = context_ = nullptr;
  std::fill(std::begin(sources_), std::end(sources_), 0u);
  std::fill(std::begin(channelSlot_), std::end(channelSlot_), -1);
}

int SoundManager::LoadSound(const char* path) { return Load(path, false); }

int SoundManager::LoadSoundLooping(const char* path) { return Load(path, true); }

int SoundManager::Load(const char* path, bool looping) {
  int slot = count;
  count = (count + 1) % kSlots;
  Sample& sample = samples[slot];
  if (device_ && sample.buffer) {
    // Overwriting a slot: its old buffer must leave every channel first.
    for (int c = 0; c < kChannels; ++c) {
      ALint attached = 0;
      alGetSourcei(sources_[c], AL_BUFFER, &attached);
      if (static_cast<unsigned int>(attached) == sample.buffer) {
        alSourceStop(sources_[c]);
        alSourcei(sources_[c], AL_BUFFER, 0);
        channelSlot_[c] = -1;
      }
    }
    alDeleteBuffers(1, &sample.buffer);
  }
  sample = Sample();
  sample.looping = looping;
  if (device_ && path && looping && MusicStream::Playable(path)) sample.streamPath = path;
  if (device_ && path && !looping) sample.buffer = DecodeIntoBuffer(path);
  return slot;
}

int SoundManager::PlaySoundA(int slot) { return StartOn(FreeChannel(), slot); }

int SoundManager::PlaySoundChannelOne(int slot) { return StartOn(kFixedChannel, slot); }

int SoundManager::FreeChannel() const {
  if (!device_) return -1;
  int oldest = -1;
  for (int c = 0; c < kChannels; ++c) {
    if (c == kFixedChannel) continue;
    ALint state = 0;
    alGetSourcei(sources_[c], AL_SOURCE_STATE, &state);
    if (state != AL_PLAYING) return c;
    const bool music = stream_.Playing() && stream_.Source() == sources_[c];
    // All busy: the effect that started longest ago gives way (never the music).
    if (!music && (oldest < 0 || channelStarted_[c] < channelStarted_[oldest])) oldest = c;
  }
  return oldest;
}

float SoundManager::Jitter(int range) {
  if (range <= 0) return 0.0f;
  jitterState_ = jitterState_ * 1664525u + 1013904223u;
  float unit = static_cast<float>(jitterState_ >> 8) / static_cast<float>(1u << 24);  // [0,1)
  return (unit * 2.0f - 1.0f) * static_cast<float>(range);
}

int SoundManager::StartOn(int channel, int slot) {
  if (!device_ || channel < 0 || !SlotValid(slot)) return -1;
  const Sample& sample = samples[slot];
  // A volume below 0 (far explosions) means silence, not a wrapped or
  // inverted gain.
  const bool streamed = !sample.streamPath.empty();
  if ((!sample.buffer && !streamed) || sample.volume < 0) return -1;
  unsigned int source = sources_[channel];
  if (streamed || stream_.Source() == source) stream_.Stop();
  alSourceStop(source);
  alSourcei(source, AL_BUFFER, static_cast<ALint>(sample.buffer));
  alSourcei(source, AL_LOOPING, sample.looping ? AL_TRUE : AL_FALSE);
  float volume = static_cast<float>(sample.volume) + Jitter(sample.volumeVariation);
  const float gain = std::clamp(volume, 0.0f, 255.0f) / 255.0f;
  if (streamed) musicGain_ = gain;
  alSourcef(source, AL_GAIN, gain * (streamed ? musicScale_ : effectsScale_));
  float pitch = 1.0f + Jitter(sample.frequencyVariation) / kBaseFrequency;
  alSourcef(source, AL_PITCH, std::max(pitch, 0.01f));
  if (streamed) {
    if (!stream_.Start(source, sample.streamPath)) return -1;
  } else {
    alSourcePlay(source);
  }
  channelSlot_[channel] = slot;
  channelStarted_[channel] = ++plays_;
  return channel;
}

void SoundManager::SetVolume(int slot, int vol) {
  if (!SlotValid(slot)) return;
  samples[slot].volume = vol;
  samples[slot].frequencyVariation = 5000;
}

void SoundManager::VaryVolume(int slot, int var) {
  if (!SlotValid(slot)) return;
  samples[slot].volumeVariation = var;
  samples[slot].frequencyVariation = 6000;
}

void SoundManager::DefaultVolume(int slot) {
  if (!SlotValid(slot)) return;
  samples[slot].volume = 114;
  samples[slot].frequencyVariation = 500;
}

void SoundManager::HighVolume(int slot) {
  if (!SlotValid(slot)) return;
  samples[slot].volume = 255;
}

void SoundManager::StopAll() {
  if (!device_) return;
  stream_.Stop();
  alSourceStopv(kChannels, sources_);
  std::fill(std::begin(channelSlot_), std::end(channelSlot_), -1);
}

void SoundManager::SetEffectsVolume(int percent) {
  effectsScale_ = static_cast<float>(std::clamp(percent, 0, 100)) / 100.0f;
}

void SoundManager::SetMusicVolume(int percent) {
  musicScale_ = static_cast<float>(std::clamp(percent, 0, 100)) / 100.0f;
  if (device_ && stream_.Playing()) alSourcef(stream_.Source(), AL_GAIN, musicGain_ * musicScale_);
}

float SoundManager::ChannelGain(int channel) const {
  if (!device_ || channel < 0 || channel >= kChannels) return -1;
  ALfloat gain = -1;
  alGetSourcef(sources_[channel], AL_GAIN, &gain);
  return gain;
}

int SoundManager::ChannelSlot(int channel) const {
  if (!device_ || channel < 0 || channel >= kChannels) return -1;
  ALint state = 0;
  alGetSourcei(sources_[channel], AL_SOURCE_STATE, &state);
  return state == AL_PLAYING ? channelSlot_[channel] : -1;
}
