#include "platform/messagelog.h"

#include <algorithm>

void MessageLog::Add(const std::string& text, MessageKind kind) {
  lines_.push_back({text, kind, frame_});
  if (static_cast<int>(lines_.size()) > kKeptLines) lines_.pop_front();
  // A view scrolled back keeps showing the same lines while new ones arrive.
  if (scroll_ > 0) Scroll(1);
}

void MessageLog::Clear() {
  lines_.clear();
  scroll_ = 0;
}

void MessageLog::Advance(bool pageUp, bool pageDown) {
  ++frame_;
  if (pageUp && !pageUpHeld_) Scroll(kShownLines), scrollIdle_ = 0;
  if (pageDown && !pageDownHeld_) Scroll(-kShownLines), scrollIdle_ = 0;
  pageUpHeld_ = pageUp;
  pageDownHeld_ = pageDown;
  if (scroll_ > 0 && ++scrollIdle_ >= kScrollFrames) scroll_ = 0;
}

void MessageLog::Scroll(int lines) {
  const int deepest = std::max(0, static_cast<int>(lines_.size()) - kShownLines);
  scroll_ = std::clamp(scroll_ + lines, 0, deepest);
}

bool MessageLog::Protected(const Line& line) const {
  return line.kind != MessageKind::OthersKill && frame_ - line.frame < kProtectedFrames;
}

std::vector<std::string> MessageLog::Shown() const {
  const int count = static_cast<int>(lines_.size());
  std::vector<bool> chosen(lines_.size(), false);
  int slots = kShownLines;
  if (scroll_ > 0) {
    for (int i = count - 1 - scroll_; i >= 0 && slots > 0; --i, --slots) chosen[i] = true;
  } else {
    // Young chat and system lines first, newest first; the slots left go to
    // the newest of the rest.
    for (int i = count - 1; i >= 0 && slots > 0; --i)
      if (Protected(lines_[i])) chosen[i] = true, --slots;
    for (int i = count - 1; i >= 0 && slots > 0; --i)
      if (!chosen[i]) chosen[i] = true, --slots;
  }
  std::vector<std::string> shown;
  for (int i = 0; i < count; ++i)
    if (chosen[i]) shown.push_back(lines_[i].text);
  return shown;
}
