// The sound track's musical material, before any arrangement: the tempo, the chords of
// D minor as the pads voice them, the melodies, and the ways of laying chords over time.
//
// Promises: every pitch is an equal-tempered MIDI note of D minor (natural minor, plus the
// harmonic minor's C# in the dominant chord A major); melodies fit the chords they are
// written over.
// Does not: decide which section plays what (soundtrack_score.cpp) or make any sound.
#pragma once

#include <array>
#include <initializer_list>
#include <span>
#include <vector>

#include "tools/assets/soundtrack_instruments.h"

namespace soundtrack {

inline constexpr double kBeat = 0.5;  // 120 BPM
inline constexpr double kBar = 4 * kBeat;

// A chord: the bass line's note and the pads' four voices, as MIDI notes.
struct Chord {
  int bass;
  std::array<int, 4> voices;
};

// i, III, iv, V, VI and VII of D minor, voiced close around middle C.
inline constexpr Chord kDm{38, {50, 57, 62, 65}};
inline constexpr Chord kDm7{38, {50, 57, 60, 65}};
inline constexpr Chord kF{41, {53, 60, 65, 69}};
inline constexpr Chord kFOverA{33, {45, 53, 60, 64}};
inline constexpr Chord kGm7{31, {43, 50, 58, 65}};
inline constexpr Chord kA{33, {45, 52, 61, 64}};
inline constexpr Chord kAsus4{33, {45, 52, 62, 64}};
inline constexpr Chord kBb{34, {46, 53, 62, 65}};
inline constexpr Chord kBbMaj7{34, {46, 53, 62, 69}};
inline constexpr Chord kC{36, {48, 55, 64, 67}};

// A chord held from `start` to `end` seconds.
struct Span {
  double start, end;
  const Chord* chord;
};
using Harmony = std::vector<Span>;

// Extends `harmony` from `start` to `end` with a chord every `bars` bars, cycling through
// `chords`; the last one is cut short at `end`.
void Append(Harmony& harmony, double start, double end, double bars,
            std::initializer_list<const Chord*> chords);
// The chord sounding at `seconds` (the last one after the end).
const Chord& ChordAt(const Harmony& harmony, double seconds);

// A melody note: where it falls in its phrase and how long it is, both in beats.
struct PhraseNote {
  double beat, beats;
  int pitch;
};

// The main theme: eight bars over Dm | Bb | F | C | Dm | Bb | F | C.
extern const std::array<PhraseNote, 31> kTheme;
// The theme's first four bars bent over the cube's Dm | C | Bb | A, ending on the leading
// tone C#.
extern const std::array<PhraseNote, 16> kCubeTheme;
// The forest's tune: eight bars over Bbmaj7 | Bbmaj7 | F/A | F/A | Gm7 | Gm7 | Dm7 | Dm7.
extern const std::array<PhraseNote, 22> kForestTune;

// `phrase` from `start` seconds, `transpose` semitones up, each note held for most of its
// length (a breath between notes); notes that would begin at or after `until` are dropped.
std::vector<Note> Phrase(std::span<const PhraseNote> phrase, double start, double until,
                         int transpose, float velocity);

}  // namespace soundtrack
