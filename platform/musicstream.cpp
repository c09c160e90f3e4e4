#include "platform/musicstream.h"

#include <AL/al.h>
#include <sndfile.h>

#include <chrono>
#include <vector>

namespace {

// How often the thread looks for played buffers: well inside the second of
// music that is queued.
constexpr auto kRefillInterval = std::chrono::milliseconds(100);

}  // namespace

bool MusicStream::Playable(const std::string& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) return false;
  sf_close(file);
  return (info.channels == 1 || info.channels == 2) && info.frames > 0 && info.samplerate > 0;
}

bool MusicStream::Start(unsigned int source, const std::string& path) {
  Stop();
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) return false;
  if (!(info.channels == 1 || info.channels == 2) || info.frames <= 0 || info.samplerate <= 0) {
    sf_close(file);
    return false;
  }
  file_ = file;
  channels_ = info.channels;
  rate_ = info.samplerate;
  source_ = source;
  alSourceStop(source_);
  alSourcei(source_, AL_BUFFER, 0);
  alSourcei(source_, AL_LOOPING, AL_FALSE);  // the stream loops, not the source
  alGenBuffers(kBuffers, buffers_);
  int queued = 0;
  for (unsigned int buffer : buffers_) {
    if (!Fill(buffer)) break;
    alSourceQueueBuffers(source_, 1, &buffer);
    ++queued;
  }
  if (queued == 0) {
    Stop();
    return false;
  }
  alSourcePlay(source_);
  stopping_ = false;
  thread_ = std::thread([this] { Feed(); });
  return true;
}

void MusicStream::Stop() {
  if (thread_.joinable()) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }
  if (source_ != 0) {
    alSourceStop(source_);
    alSourcei(source_, AL_BUFFER, 0);  // unqueues everything
  }
  if (buffers_[0] != 0) alDeleteBuffers(kBuffers, buffers_);
  for (unsigned int& b : buffers_) b = 0;
  if (file_) sf_close(static_cast<SNDFILE*>(file_));
  file_ = nullptr;
  source_ = 0;
}

bool MusicStream::Fill(unsigned int buffer) {
  auto* file = static_cast<SNDFILE*>(file_);
  std::vector<short> pcm(static_cast<size_t>(kFramesPerBuffer) * channels_);
  sf_count_t got = sf_readf_short(file, pcm.data(), kFramesPerBuffer);
  if (got < kFramesPerBuffer) {
    // The end: carry on from the start, so the loop has no gap.
    sf_seek(file, 0, SEEK_SET);
    got += sf_readf_short(file, pcm.data() + got * channels_, kFramesPerBuffer - got);
  }
  if (got <= 0) return false;
  alBufferData(buffer, channels_ == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16, pcm.data(),
               static_cast<ALsizei>(got * channels_ * sizeof(short)), rate_);
  return true;
}

void MusicStream::Feed() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!wake_.wait_for(lock, kRefillInterval, [this] { return stopping_; })) {
    ALint processed = 0;
    alGetSourcei(source_, AL_BUFFERS_PROCESSED, &processed);
    for (; processed > 0; --processed) {
      unsigned int buffer = 0;
      alSourceUnqueueBuffers(source_, 1, &buffer);
      if (Fill(buffer)) alSourceQueueBuffers(source_, 1, &buffer);
    }
    // A source that ran dry because this thread was late plays on (the
    // manager stops the stream itself before it stops its source).
    ALint state = 0;
    alGetSourcei(source_, AL_SOURCE_STATE, &state);
    if (state == AL_STOPPED) alSourcePlay(source_);
  }
}
