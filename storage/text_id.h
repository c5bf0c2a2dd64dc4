// Names one language text: entry `entry` of group `group`. Each folder names
// the texts it shows in its own *_texts.h header.
#pragma once

namespace orbo {

struct TextId {
  int group;
  int entry;

  // The text `offset` entries further on in the same group, for texts chosen
  // by a computed index (a mode, a list position).
  constexpr TextId Plus(int offset) const { return {group, entry + offset}; }
};

}  // namespace orbo
