// What the message area shows: the last lines of the log with the kind of
// each, the three lines on screen, and the scroll-back through older lines.
// Counted in frames, so the simulation's fixed step is its clock.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "base/messagekind.h"

class MessageLog {
 public:
  static constexpr int kShownLines = 3;
  static constexpr int kKeptLines = 50;
  // A chat or system line stays on screen this long before a kill between
  // others may push it out (8 s of 25 ms frames).
  static constexpr int kProtectedFrames = 320;
  // The scrolled-back view returns to the newest lines after this long
  // without a Page Up or Page Down (5 s).
  static constexpr int kScrollFrames = 200;

  void Add(const std::string& text, MessageKind kind);
  void Clear();
  // One frame passes; `pageUp` / `pageDown` are the keys held this frame
  // (each press scrolls once, by a page of three lines).
  void Advance(bool pageUp, bool pageDown);

  // The lines on screen, oldest first: normally the newest lines, except
  // that chat and system lines younger than kProtectedFrames take their
  // place before kills between others; while scrolled, the three lines that
  // end `Scrolled()` lines before the newest.
  std::vector<std::string> Shown() const;
  // How many lines back the view is scrolled (0: the newest).
  int Scrolled() const { return scroll_; }

 private:
  struct Line {
    std::string text;
    MessageKind kind;
    long long frame;  // frame it arrived in
  };
  bool Protected(const Line& line) const;
  void Scroll(int lines);

  std::deque<Line> lines_;
  long long frame_ = 0;
  int scroll_ = 0;
  int scrollIdle_ = 0;
  bool pageUpHeld_ = false, pageDownHeld_ = false;
};
