// SoundPlayer: what the simulation asks of the sound table. The game hands
// it its SoundManager; a host without sound hands it nothing (a null
// pointer), and the simulation then plays nothing.
#pragma once

class SoundPlayer {
 public:
  // Plays sample `slot` on a free channel; returns the channel or -1.
  virtual int PlaySoundA(int slot) = 0;
  // Plays on the fixed channel, cutting off whatever it was playing.
  virtual int PlaySoundChannelOne(int slot) = 0;
  // Sets the default volume (0..255) of a sample for its next plays.
  virtual void SetVolume(int slot, int vol) = 0;

 protected:
  ~SoundPlayer() = default;
};
