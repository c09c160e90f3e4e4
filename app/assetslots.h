// Which file goes into which texture, loop and sound slot. Every drawing and
// sound call names a slot, so the order of loading here is the numbering the
// whole game relies on; a file that fails to load still takes its slot.
#pragma once

#include <array>

#include "render/textureslots.h"

// Loaders: P opaque, K colour-keyed (exact black transparent), E colour-keyed
// with clamped edges.
struct TextureFile {
  TextureSlot slot;  // the first slot it fills
  const char* path;
  char kind;
  int registrations;  // one load registered this many times (keeps later slots in place)
};
// Texture slots 1..62 in order (render/textureslots.h). Slot 0 holds the
// loading picture during start-up and the ship picture afterwards.
extern const std::array<TextureFile, 56> kTextureFiles;
constexpr const char* kLoadingPicture = "Images/LoadingStretch.png";
constexpr const char* kShipPicture = "Images/tsf_gunship.png";

struct LoopFile {
  bool withZero;  // frame numbers below 10 get a leading zero
  const char* prefix;
  int first, last;
};
extern const std::array<LoopFile, 5> kLoopFiles;

constexpr const char* kMusicFile = "sounds/01 Falling off the captain's log.ogg";
// Sound slots 1..8 (slot 0 is the music).
extern const std::array<const char*, 8> kEffectSounds;

// Before the window opens: the loading picture and the title's own
// pictures start decoding, while the window and its GL context are made
// (QueueAllPictures takes them over).
void PrefetchFirstPictures();
// Start-up step: every picture gets its texture name and its slot (and
// loop slot) now, in slot order, and is decoded in the background by
// Pictures: the loading picture first, then the front-end screens, then the
// rest. Slot 0 holds the loading picture; returned is the ship picture's
// name, which replaces it once the loading picture is shown.
unsigned int QueueAllPictures();
// Draws slot 0 full screen and presents it (waiting for its picture); it
// stays until the title's first frame. Skipped when the title's own
// pictures are decoded already: the title then follows within
// milliseconds, and the loading picture would only flash.
void ShowLoadingPicture();
// Sound slot 0: the music, loaded looping, full volume, started at once.
void StartMusic();
// Sound slots 1..8 at their default volume (8: the hurt sound).
void LoadEffectSounds();
// The slot of the sound of the local ship being hurt (loaded with the effects).
int HurtSoundSlot();
