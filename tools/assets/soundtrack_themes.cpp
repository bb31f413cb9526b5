#include "tools/assets/soundtrack_themes.h"

#include <algorithm>

namespace soundtrack {

// A question (D up to F, falling back to D) and its answer (reaching up to A, settling on
// E over C so that it leans back toward D minor).
const std::array<PhraseNote, 31> kTheme = {{
    {0, 1, 74},    {1, 0.5, 69},    {1.5, 0.5, 74},  {2, 1, 76},  {3, 1, 77},   // Dm
    {4, 1.5, 77},  {5.5, 0.5, 76},  {6, 2, 74},                                 // Bb
    {8, 1, 72},    {9, 0.5, 69},    {9.5, 0.5, 72},  {10, 1, 77}, {11, 1, 76},  // F
    {12, 1.5, 76}, {13.5, 0.5, 74}, {14, 2, 72},                                // C
    {16, 1, 74},   {17, 0.5, 69},   {17.5, 0.5, 74}, {18, 1, 76}, {19, 1, 81},  // Dm
    {20, 1.5, 79}, {21.5, 0.5, 77}, {22, 2, 74},                                // Bb
    {24, 1, 77},   {25, 1, 76},     {26, 1, 72},     {27, 1, 69},               // F
    {28, 1.5, 76}, {29.5, 0.5, 77}, {30, 2, 76},                                // C
}};

const std::array<PhraseNote, 16> kCubeTheme = {{
    {0, 1, 74},
    {1, 0.5, 69},
    {1.5, 0.5, 74},
    {2, 1, 76},
    {3, 1, 77},  // Dm
    {4, 1.5, 79},
    {5.5, 0.5, 77},
    {6, 2, 76},  // C
    {8, 1, 74},
    {9, 0.5, 70},
    {9.5, 0.5, 74},
    {10, 1, 77},
    {11, 1, 74},  // Bb
    {12, 1.5, 76},
    {13.5, 0.5, 74},
    {14, 2, 73},  // A
}};

const std::array<PhraseNote, 22> kForestTune = {{
    {0, 1, 74},  {1, 1, 77},  {2, 2, 81},  {4, 1, 79},  {5, 1, 77},  {6, 2, 74},   // Bbmaj7
    {8, 1, 72},  {9, 1, 77},  {10, 2, 76}, {12, 1, 72}, {13, 1, 69}, {14, 2, 72},  // F/A
    {16, 1, 70}, {17, 1, 74}, {18, 2, 77}, {20, 1, 79}, {21, 1, 77}, {22, 2, 74},  // Gm7
    {24, 1, 76}, {25, 1, 77}, {26, 2, 81}, {28, 4, 74},                            // Dm7
}};

void Append(Harmony& harmony, double start, double end, double bars,
            std::initializer_list<const Chord*> chords) {
  const double length = bars * kBar;
  for (size_t i = 0;; ++i) {
    const double from = start + double(i) * length;
    if (from >= end) return;
    harmony.push_back({from, std::min(from + length, end), chords.begin()[i % chords.size()]});
  }
}

const Chord& ChordAt(const Harmony& harmony, double seconds) {
  const auto span = std::find_if(harmony.begin(), harmony.end(),
                                 [seconds](const Span& s) { return seconds < s.end; });
  return span == harmony.end() ? *harmony.back().chord : *span->chord;
}

std::vector<Note> Phrase(std::span<const PhraseNote> phrase, double start, double until,
                         int transpose, float velocity) {
  std::vector<Note> notes;
  for (const PhraseNote& p : phrase) {
    const double at = start + p.beat * kBeat;
    if (at >= until) continue;
    notes.push_back({at, p.beats * kBeat * 0.92, double(p.pitch + transpose), velocity});
  }
  return notes;
}

}  // namespace soundtrack
