// MusicStream: a long looping sound (the music) decoded as it plays instead
// of all at once at start-up: a few short OpenAL buffers queued on one
// source and refilled by a thread of its own, so the game's start waits for
// a quarter of a second of music rather than for all of it.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

class MusicStream {
 public:
  static constexpr int kBuffers = 4;
  static constexpr int kFramesPerBuffer = 11025;  // a quarter second at 44.1 kHz

  MusicStream() = default;
  MusicStream(const MusicStream&) = delete;
  MusicStream& operator=(const MusicStream&) = delete;
  ~MusicStream() { Stop(); }

  // True when `path` opens as a sound the stream can play (mono or stereo).
  static bool Playable(const std::string& path);
  // Plays `path` on `source` from its start, looping, and returns true; the
  // first buffers are decoded before it returns. Whatever played before stops.
  bool Start(unsigned int source, const std::string& path);
  // Stops the sound and the thread and frees the buffers; safe to repeat.
  void Stop();
  bool Playing() const { return thread_.joinable(); }
  unsigned int Source() const { return source_; }

 private:
  void Feed();
  // Decodes the next buffer's worth into `buffer`, from the start again at
  // the end; false when nothing can be read.
  bool Fill(unsigned int buffer);

  void* file_ = nullptr;  // SNDFILE*
  int channels_ = 0, rate_ = 0;
  unsigned int source_ = 0;
  unsigned int buffers_[kBuffers] = {};
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stopping_ = false;
};
