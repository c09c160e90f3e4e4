#include "render/pictureloader.h"

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <system_error>

#include "render/glwrapper.h"

PictureLoader::~PictureLoader() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  if (decoder_.joinable()) decoder_.join();
}

void PictureLoader::StartDecoder() {
  // Without a second thread the pictures are decoded where they are
  // needed (Finish, FinishAll): slower, still complete.
  if (decoder_.joinable()) return;
  try {
    decoder_ = std::thread([this] { Work(); });
  } catch (const std::system_error&) {
  }
}

void PictureLoader::Prefetch(const std::string& path, PictureKind kind) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queued_.push_back(Job{0, path, kind});
  }
  changed_.notify_all();
  StartDecoder();
}

bool PictureLoader::Claim(const Job& wanted) {
  auto same = [&](const Job& j) {
    return j.name == 0 && j.path == wanted.path && j.kind == wanted.kind;
  };
  for (Job& job : queued_) {
    if (same(job)) return job.name = wanted.name, true;
  }
  if (decoderBusy_ && same(inHand_)) return inHand_.name = wanted.name, true;
  for (Decoded& done : decoded_) {
    if (same(done.job)) return done.job.name = wanted.name, true;
  }
  return false;
}

unsigned int PictureLoader::Queue(const std::string& path, PictureKind kind) {
  unsigned int name = 0;
  glGenTextures(1, &name);
  waiting_.insert(name);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const Job job{name, path, kind};
    if (!Claim(job)) queued_.push_back(job);
  }
  changed_.notify_all();
  StartDecoder();
  return name;
}

void PictureLoader::Hurry(const std::vector<unsigned int>& names) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto name = names.rbegin(); name != names.rend(); ++name) {
    auto job =
        std::find_if(queued_.begin(), queued_.end(), [&](const Job& j) { return j.name == *name; });
    if (job == queued_.end()) continue;
    Job moved = std::move(*job);
    queued_.erase(job);
    queued_.push_front(std::move(moved));
  }
}

bool PictureLoader::TakeQueued(Job& job) {
  if (queued_.empty()) return false;
  job = std::move(queued_.front());
  queued_.pop_front();
  return true;
}

void PictureLoader::Decode(const Job& job) {
  DecodedPicture picture = DecodePictureFile(job.path, job.kind);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    decoded_.push_back(Decoded{job, std::move(picture)});
  }
  changed_.notify_all();
}

void PictureLoader::Work() {
  for (;;) {
    Job job;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [this] { return stopping_ || !queued_.empty(); });
      if (stopping_) return;
      TakeQueued(inHand_);
      decoderBusy_ = true;
      job = inHand_;
    }
    DecodedPicture picture = DecodePictureFile(job.path, job.kind);
    {
      // inHand_, not job: a Queue may have claimed it meanwhile.
      std::lock_guard<std::mutex> lock(mutex_);
      decoded_.push_back(Decoded{inHand_, std::move(picture)});
      decoderBusy_ = false;
    }
    changed_.notify_all();
  }
}

std::deque<PictureLoader::Decoded>::iterator PictureLoader::FindDecoded(unsigned int name) {
  return std::find_if(decoded_.begin(), decoded_.end(),
                      [&](const Decoded& d) { return d.job.name == name; });
}

void PictureLoader::Upload(unsigned int name, const DecodedPicture& picture) {
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  UploadPicture(picture, name);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
  waiting_.erase(name);
}

bool PictureLoader::UploadDecoded(int budgetMs) {
  const auto start = std::chrono::steady_clock::now();
  while (!waiting_.empty()) {
    Decoded next;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      // Prefetched pictures nobody has queued yet (name 0) stay.
      auto done = std::find_if(decoded_.begin(), decoded_.end(),
                               [](const Decoded& d) { return d.job.name != 0; });
      if (done == decoded_.end()) break;
      next = std::move(*done);
      decoded_.erase(done);
    }
    Upload(next.job.name, next.picture);
    if (budgetMs >= 0 &&
        std::chrono::steady_clock::now() - start >= std::chrono::milliseconds(budgetMs))
      break;
  }
  return waiting_.empty();
}

bool PictureLoader::Ready(unsigned int name) {
  if (!Waiting(name)) return true;
  std::lock_guard<std::mutex> lock(mutex_);
  return FindDecoded(name) != decoded_.end();
}

// Only `name` is uploaded here: the rest wait for the next poll, so a frame
// that needs one picture is not held up by the others.
void PictureLoader::Finish(unsigned int name) {
  if (!Waiting(name)) return;
  std::unique_lock<std::mutex> lock(mutex_);
  auto job =
      std::find_if(queued_.begin(), queued_.end(), [&](const Job& j) { return j.name == name; });
  if (job != queued_.end()) {
    const Job mine = std::move(*job);
    queued_.erase(job);
    lock.unlock();
    Upload(name, DecodePictureFile(mine.path, mine.kind));
    return;
  }
  // Being decoded, or decoded and not yet uploaded.
  changed_.wait(lock, [&] { return !decoderBusy_ || inHand_.name != name; });
  auto done = FindDecoded(name);
  if (done == decoded_.end()) return;  // cannot happen: it left the queue and the decoder
  DecodedPicture picture = std::move(done->picture);
  decoded_.erase(done);
  lock.unlock();
  Upload(name, picture);
}

void PictureLoader::FinishAll() {
  while (!UploadDecoded()) {
    Job job;
    std::unique_lock<std::mutex> lock(mutex_);
    if (TakeQueued(job)) {
      lock.unlock();
      Decode(job);
    } else {
      changed_.wait(lock, [this] {
        return std::any_of(decoded_.begin(), decoded_.end(),
                           [](const Decoded& d) { return d.job.name != 0; });
      });
    }
  }
}
