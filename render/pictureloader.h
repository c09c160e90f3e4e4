// PictureLoader: pictures decoded on a thread of their own while the GL
// thread goes on. Queue hands out the texture name at once, so slots are
// registered in their order before any pixel exists; the decoder works
// through the queue in order (Hurry moves some to the front); the GL thread
// uploads what is decoded, without blocking, whenever it polls, and blocks
// only in Finish, for a picture it must draw now (decoding that one itself
// when the decoder has not begun it). Every member except the destructor is
// called on the thread that owns the GL context.
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_set>
#include <utility>
#include <vector>

#include "render/picturedecoder.h"

class PictureLoader {
 public:
  PictureLoader() = default;
  PictureLoader(const PictureLoader&) = delete;
  PictureLoader& operator=(const PictureLoader&) = delete;
  // Stops the decoder after the picture in its hands.
  ~PictureLoader();

  // Starts decoding a picture before any GL context exists (any thread,
  // before the first Queue): the Queue of the same path and kind later
  // takes it over wherever it has got to.
  void Prefetch(const std::string& path, PictureKind kind);
  // A new texture name for the picture at `path`; its pixels follow.
  unsigned int Queue(const std::string& path, PictureKind kind);
  // Moves these queued pictures to the front of the decoding order, in
  // this order.
  void Hurry(const std::vector<unsigned int>& names);
  // Uploads the pictures decoded so far, for at most `budgetMs`
  // milliseconds (at least one picture; all of them when negative), so a
  // frame that polls stays short. Never blocks. True when every queued
  // picture is uploaded.
  bool UploadDecoded(int budgetMs = -1);
  // True while `name` is queued and not uploaded.
  bool Waiting(unsigned int name) const { return !waiting_.empty() && waiting_.count(name) != 0; }
  // True when `name` can be drawn without waiting for its decoding: it is
  // decoded, or uploaded, or was never queued.
  bool Ready(unsigned int name);
  // Returns once `name` is uploaded (at once when it is not waiting).
  void Finish(unsigned int name);
  // Returns once every queued picture is uploaded; decodes alongside the
  // decoder meanwhile.
  void FinishAll();

 private:
  struct Job {
    unsigned int name = 0;  // 0: prefetched, not yet queued
    std::string path;
    PictureKind kind = PictureKind::kOpaque;
  };
  struct Decoded {
    Job job;
    DecodedPicture picture;
  };
  void StartDecoder();
  void Work();
  // Decodes `job` on the calling thread and hands it to the GL thread.
  void Decode(const Job& job);
  // Gives `wanted.name` to a prefetched job of the same picture, queued,
  // in the decoder's hands or decoded (lock held); false when none.
  bool Claim(const Job& wanted);
  // The decoded picture of a queued name, if any (lock held).
  std::deque<Decoded>::iterator FindDecoded(unsigned int name);
  // Takes the next queued job, if any, off the queue (lock held).
  bool TakeQueued(Job& job);
  // Uploads `picture` into `name`, keeping the caller's bound texture.
  void Upload(unsigned int name, const DecodedPicture& picture);

  // GL thread only: queued and not yet uploaded.
  std::unordered_set<unsigned int> waiting_;

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Job> queued_;       // not begun
  std::deque<Decoded> decoded_;  // not uploaded
  Job inHand_;                   // the decoder's picture, while decoderBusy_
  bool decoderBusy_ = false;
  bool stopping_ = false;
  std::thread decoder_;
};
