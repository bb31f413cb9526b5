// The sound track's rules (length, level, repeatability, the energy of its sections, clean
// joins and fades, tuning, hits on the cues) and the MP3 encoder's (a real 160 kbit/s stream,
// the same bytes every time, decodable back to the music with every sample at its time by
// ffmpeg and by the demo's own audio library).
#include "tools/assets/soundtrack.h"

#include <SDL2/SDL_mixer.h>
#include <gtest/gtest.h>
#include <lame/lame.h>
#include <stdlib.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <numbers>
#include <thread>
#include <utility>
#include <vector>

#include "platform/bass.h"
#include "tests/audio_hits.h"
#include "tests/demo_data.h"
#include "tests/test_files.h"
#include "tools/assets/mp3_encoder.h"

namespace {

constexpr int kRate = kSoundtrackSampleRate;
// -1 dBFS of a 16-bit sample.
constexpr int kPeakLimit = 29204;
// A step that stands this far above the steps around it is a click (see ClickScore).
constexpr double kClickScoreLimit = 10.0;
// The cues the score marks with a kick and a crash after a rising sweep.
constexpr double kHits[] = {30, 44, 124};
// How far from its cue a hit may be heard.
constexpr double kHitTolerance = 0.001;

// Synthesis and encoding take seconds; the suite does each once.
const std::vector<int16_t>& Track() {
  static const std::vector<int16_t> track = SynthesizeSoundtrack();
  return track;
}

const std::vector<uint8_t>& TrackMp3() {
  static const std::vector<uint8_t> mp3 = EncodeMp3(Track(), kRate);
  return mp3;
}

size_t FrameAt(double seconds) {
  return size_t(std::llround(seconds * kRate));
}

double Seconds(const std::vector<int16_t>& pcm) {
  return double(pcm.size() / 2) / kRate;
}

// Both channels' RMS over [from, to) seconds, in dB below full scale.
double RmsDb(const std::vector<int16_t>& pcm, double from, double to) {
  double sum = 0.0;
  const size_t begin = 2 * FrameAt(from);
  const size_t end = std::min(pcm.size(), 2 * FrameAt(to));
  for (size_t i = begin; i < end; ++i) sum += double(pcm[i]) * double(pcm[i]);
  return 10.0 * std::log10(sum / double(end - begin) / (32768.0 * 32768.0) + 1e-30);
}

int Peak(const std::vector<int16_t>& pcm, double from, double to) {
  int peak = 0;
  const size_t end = std::min(pcm.size(), 2 * FrameAt(to));
  for (size_t i = 2 * FrameAt(from); i < end; ++i) peak = std::max(peak, std::abs(int(pcm[i])));
  return peak;
}

uint64_t Fingerprint(const std::vector<int16_t>& pcm) {
  uint64_t hash = 0xCBF29CE484222325ull;  // FNV-1a
  for (int16_t s : pcm) {
    for (int shift : {0, 8}) {
      hash ^= (uint16_t(s) >> shift) & 0xFF;
      hash *= 0x100000001B3ull;
    }
  }
  return hash;
}

// The worst click on either channel in [from, to) seconds: each sample-to-sample step
// divided by the RMS of all steps within 5 ms of it. Noise, drum onsets and bright saws step
// hard throughout that window and score under 8; a lone discontinuity in a smooth signal
// scores up to 21. Steps under 64 (-54 dBFS) are too small to hear and are not scored.
double ClickScore(const std::vector<int16_t>& pcm, double from, double to) {
  constexpr size_t kHalf = 220;
  double worst = 0.0;
  for (size_t channel = 0; channel < 2; ++channel) {
    const auto step = [&](size_t frame) {
      return double(pcm[2 * frame + channel]) - double(pcm[2 * (frame - 1) + channel]);
    };
    for (size_t frame = FrameAt(from); frame < FrameAt(to); ++frame) {
      const double jump = std::fabs(step(frame));
      if (jump < 64.0) continue;
      double energy = 0.0;
      for (size_t f = frame - kHalf; f <= frame + kHalf; ++f) energy += step(f) * step(f);
      worst = std::max(worst, jump / std::sqrt(energy / double(2 * kHalf + 1)));
    }
  }
  return worst;
}

// The opening's first 28 s (seven two-bar chords) as the mid channel, cut into one block per
// chord and Hann-windowed, ready for PowerAt.
const std::vector<std::vector<double>>& OpeningBlocks() {
  static const std::vector<std::vector<double>> blocks = [] {
    constexpr size_t kBlock = 4 * kRate;
    std::vector<std::vector<double>> out;
    for (size_t start = 0; start + kBlock <= FrameAt(28); start += kBlock) {
      std::vector<double>& block = out.emplace_back(kBlock);
      for (size_t n = 0; n < kBlock; ++n) {
        const double hann = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * double(n) / kBlock);
        const size_t i = 2 * (start + n);
        block[n] = hann * (double(Track()[i]) + double(Track()[i + 1]));
      }
    }
    return out;
  }();
  return blocks;
}

// Power at `hz` summed over the blocks (Goertzel). A 4 s block resolves 0.25 Hz.
double PowerAt(const std::vector<std::vector<double>>& blocks, double hz) {
  const double coefficient = 2.0 * std::cos(2.0 * std::numbers::pi * hz / kRate);
  double power = 0.0;
  for (const std::vector<double>& block : blocks) {
    double s1 = 0.0, s2 = 0.0;
    for (double x : block) {
      const double s0 = x + coefficient * s1 - s2;
      s2 = s1;
      s1 = s0;
    }
    power += s1 * s1 + s2 * s2 - coefficient * s1 * s2;
  }
  return power;
}

double NoteHz(double midiNote) {
  return 440.0 * std::exp2((midiNote - 69.0) / 12.0);
}

// The frames of an MPEG-1 Layer III stream at 44.1 kHz, walked header to header; 0 when any
// header is not one of 160 kbit/s or the walk does not end exactly at the end of the bytes.
size_t CountMp3Frames(const std::vector<uint8_t>& mp3) {
  size_t frames = 0;
  size_t pos = 0;
  while (pos + 4 <= mp3.size()) {
    const bool sync = mp3[pos] == 0xFF && (mp3[pos + 1] & 0xFE) == 0xFA;  // MPEG-1, Layer III
    const int bitrateIndex = mp3[pos + 2] >> 4;
    const int rateIndex = (mp3[pos + 2] >> 2) & 3;
    if (!sync || bitrateIndex != 10 || rateIndex != 0) return 0;  // 10: 160 kbit/s; 0: 44.1 kHz
    const int padding = (mp3[pos + 2] >> 1) & 1;
    pos += size_t(144 * 160000 / 44100 + padding);
    ++frames;
  }
  return pos == mp3.size() ? frames : 0;
}

// Ten seconds of a swelling A minor triad, a fifth lower on the right: music enough
// for the encoder, without the seconds a synthesis of the track takes.
std::vector<int16_t> Chord() {
  std::vector<int16_t> pcm(2 * 10 * kRate);
  for (size_t i = 0; i < pcm.size(); ++i) {
    const double t = double(i / 2) / kRate;
    const double side = i % 2 == 0 ? 1.0 : 2.0 / 3.0;
    double x = 0.0;
    for (double hz : {220.0, 261.63, 329.63}) x += std::sin(2.0 * std::numbers::pi * hz * side * t);
    pcm[i] = int16_t(6000.0 * x * (1.0 + 0.5 * std::sin(2.0 * std::numbers::pi * 0.7 * t)));
  }
  return pcm;
}

// Decodes `mp3` with LAME's own decoder into interleaved stereo.
std::vector<int16_t> DecodeMp3(const std::vector<uint8_t>& mp3) {
  hip_t decoder = hip_decode_init();
  std::vector<int16_t> pcm;
  std::array<short, 1152> left{}, right{};
  std::vector<unsigned char> chunk;
  const auto keep = [&](int count) {
    for (int i = 0; i < count; ++i) {
      pcm.push_back(left[size_t(i)]);
      pcm.push_back(right[size_t(i)]);
    }
  };
  constexpr size_t kChunk = 4096;
  for (size_t pos = 0; pos < mp3.size(); pos += kChunk) {
    chunk.assign(mp3.begin() + ptrdiff_t(pos),
                 mp3.begin() + ptrdiff_t(std::min(mp3.size(), pos + kChunk)));
    int count = hip_decode1(decoder, chunk.data(), chunk.size(), left.data(), right.data());
    while (count > 0) {
      keep(count);
      count = hip_decode1(decoder, chunk.data(), 0, left.data(), right.data());
    }
  }
  hip_decode_exit(decoder);
  return pcm;
}

// What the mixer has handed the device since the music started.
struct PlayedSound {
  std::mutex mutex;
  std::vector<int16_t> samples;
};
PlayedSound g_played;

void KeepMix(int, void* stream, int length, void*) {
  if (!Mix_PlayingMusic()) return;
  const auto* samples = static_cast<const int16_t*>(stream);
  const std::lock_guard<std::mutex> lock(g_played.mutex);
  g_played.samples.insert(g_played.samples.end(), samples, samples + length / 2);
}

// The first `seconds` of the MP3 `mp3` as the demo's audio library plays it, taken from the
// mixer as it goes to the device, from the first mix that carries the music. The device is
// SDL's disk output into nowhere, unpaced, so that it runs as fast as the decoding.
std::vector<int16_t> PlayThroughTheAudioLibrary(const std::vector<uint8_t>& mp3, double seconds) {
  const DemoDataDir folder(false);
  std::filesystem::create_directory("Data");
  if (!WriteBytes("Data/solen.mp3", std::string(mp3.begin(), mp3.end()))) return {};
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
  setenv("SDL_DISKAUDIODELAY", "0", 1);
  g_played.samples.clear();
  if (BASS_Init(-1, kRate, 0, nullptr)) {
    Mix_RegisterEffect(MIX_CHANNEL_POST, KeepMix, nullptr, nullptr);
    const HSTREAM stream = BASS_StreamCreateFile(FALSE, "Data/solen.mp3", 0, 0, 0);
    if (BASS_StreamPlay(stream, FALSE, 0)) {
      const size_t wanted = 2 * FrameAt(seconds);
      for (int waited = 0; waited < 3000; ++waited) {
        if (const std::lock_guard<std::mutex> lock(g_played.mutex);
            g_played.samples.size() >= wanted)
          break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
    }
    BASS_Free();
  }
  unsetenv("SDL_DISKAUDIOFILE");
  unsetenv("SDL_DISKAUDIODELAY");
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  return std::move(g_played.samples);
}

TEST(Soundtrack, LastsAtLeast200SecondsOfStereoAt44100Hz) {
  ASSERT_EQ(Track().size() % 2, 0u);
  EXPECT_EQ(Track().size(), size_t(2 * kRate * kSoundtrackSeconds));
  EXPECT_GE(Seconds(Track()), 200.0);
}

TEST(Soundtrack, PeakStaysBelowMinusOneDbfs) {
  EXPECT_LE(Peak(Track(), 0.0, kSoundtrackSeconds), kPeakLimit);
  // And the track is not just quiet: its loudest passages come within 6 dB of the limit.
  EXPECT_GE(Peak(Track(), 0.0, kSoundtrackSeconds), kPeakLimit / 2);
}

TEST(Soundtrack, EveryCallGivesTheSameSamples) {
  EXPECT_EQ(Fingerprint(SynthesizeSoundtrack()), Fingerprint(Track()));
}

TEST(Soundtrack, HasNoDcOffset) {
  for (size_t channel = 0; channel < 2; ++channel) {
    double sum = 0.0;
    for (size_t i = channel; i < Track().size(); i += 2) sum += Track()[i];
    EXPECT_LT(std::fabs(sum / double(Track().size() / 2)), 8.0) << "channel " << channel;
  }
}

TEST(Soundtrack, BeatSectionsAreLouderThanForestAndStoneRoom) {
  const double beat = RmsDb(Track(), 40, 70);
  const double cube = RmsDb(Track(), 126, 144);
  const double forest = RmsDb(Track(), 80, 120);
  const double stoneRoom = RmsDb(Track(), 160, 175);
  EXPECT_GE(beat - forest, 6.0);
  EXPECT_GE(beat - stoneRoom, 6.0);
  EXPECT_GE(cube - forest, 6.0);
  EXPECT_GE(cube - stoneRoom, 6.0);
}

TEST(Soundtrack, TitleLiftsTheEnergyAt44Seconds) {
  EXPECT_GE(RmsDb(Track(), 44, 56) - RmsDb(Track(), 32, 42), 1.5);
}

TEST(Soundtrack, OpeningGrowsFromQuietPads) {
  EXPECT_LT(RmsDb(Track(), 0, 10), RmsDb(Track(), 20, 30) - 3.0);
  EXPECT_LT(RmsDb(Track(), 20, 30), RmsDb(Track(), 40, 70) - 3.0);
}

TEST(Soundtrack, FadesInFromSilenceWithoutAClick) {
  EXPECT_EQ(Track()[0], 0);
  EXPECT_EQ(Track()[1], 0);
  EXPECT_LT(Peak(Track(), 0.0, 0.02), 100);
  EXPECT_LT(ClickScore(Track(), 0.01, 2.0), kClickScoreLimit);
}

TEST(Soundtrack, FadesToSilenceBeforeItsEnd) {
  EXPECT_LE(Peak(Track(), 203.0, kSoundtrackSeconds), 32);
  EXPECT_EQ(Track()[Track().size() - 2], 0);
  EXPECT_EQ(Track()[Track().size() - 1], 0);
  EXPECT_LT(RmsDb(Track(), 199, 201), RmsDb(Track(), 182, 190) - 6.0);
}

TEST(Soundtrack, ClickScoreFlagsAStepInASmoothSignal) {
  std::vector<int16_t> tone(2 * kRate);
  for (size_t i = 0; i < tone.size(); ++i) {
    tone[i] = int16_t(8000.0 * std::sin(2.0 * std::numbers::pi * 220.0 * double(i / 2) / kRate));
  }
  EXPECT_LT(ClickScore(tone, 0.1, 0.9), kClickScoreLimit);
  for (size_t i = 2 * FrameAt(0.5); i < tone.size(); ++i) tone[i] = int16_t(tone[i] + 3000);
  EXPECT_GT(ClickScore(tone, 0.1, 0.9), kClickScoreLimit);
}

TEST(Soundtrack, SectionChangesHaveNoClicks) {
  for (double cue : kSoundtrackCues) {
    EXPECT_LT(ClickScore(Track(), cue - 0.05, cue + 0.05), kClickScoreLimit)
        << "at " << cue << " s";
  }
}

TEST(Soundtrack, HitsLandOnTheirCues) {
  for (double cue : kHits) EXPECT_NEAR(HitNear(Track(), kRate, cue), cue, kHitTolerance);
  // And the finder finds onsets, not just any sound: the forest's calm has music at 100 s,
  // but nothing struck hard.
  EXPECT_TRUE(std::isnan(HitNear(Track(), kRate, 100.0)));
}

TEST(Soundtrack, IsStereoNotMono) {
  double mid = 0.0, side = 0.0;
  for (size_t i = 2 * FrameAt(30); i < 2 * FrameAt(180); i += 2) {
    const double m = 0.5 * (double(Track()[i]) + Track()[i + 1]);
    const double s = 0.5 * (double(Track()[i]) - Track()[i + 1]);
    mid += m * m;
    side += s * s;
  }
  EXPECT_GT(side / mid, 0.01);  // the sides carry more than -20 dB of the centre
}

TEST(Soundtrack, NotesSitOnEqualTemperamentAtA440) {
  // The opening's power on the grid of equal-tempered notes, shifted by `cents`.
  const auto grid = [](double cents) {
    double power = 0.0;
    for (int note = 40; note <= 88; ++note) {
      power += PowerAt(OpeningBlocks(), NoteHz(note + cents / 100.0));
    }
    return power;
  };
  // The pads' outer voices sit 11 and 13 cents off their note, by design; a whole track
  // tuned 8 cents off would already bring the 25-cent grids within a factor of 3.
  const double onGrid = grid(0.0);
  EXPECT_GT(onGrid, 20.0 * grid(25.0));
  EXPECT_GT(onGrid, 20.0 * grid(-25.0));
  EXPECT_GT(onGrid, 20.0 * grid(50.0));
}

TEST(Soundtrack, OpeningStaysInTheNotesOfDMinor) {
  std::array<double, 12> pitchClass{};
  double total = 0.0;
  for (int note = 40; note <= 88; ++note) {
    const double power = PowerAt(OpeningBlocks(), NoteHz(note));
    pitchClass[size_t(note % 12)] += power;
    total += power;
  }
  // C#, D#, F#, G# and B are not in D natural minor.
  const double outside =
      pitchClass[1] + pitchClass[3] + pitchClass[6] + pitchClass[8] + pitchClass[11];
  EXPECT_LT(outside, 0.05 * total);
}

TEST(Mp3Encoder, StreamIsEvery160KbpsMpeg1Layer3FrameAt44100HzAndNothingElse) {
  const size_t frames = CountMp3Frames(TrackMp3());
  ASSERT_GT(frames, 0u);
  EXPECT_GE(frames * 1152, Track().size() / 2);
  EXPECT_LE(frames * 1152, Track().size() / 2 + 4 * 1152);
}

TEST(Mp3Encoder, SizeIsAtLeast160KbpsOfTheTrack) {
  const double kbps = double(TrackMp3().size()) * 8.0 / Seconds(Track()) / 1000.0;
  EXPECT_GE(kbps, 159.5);
  EXPECT_LE(kbps, 170.0);
}

TEST(Mp3Encoder, DecodesBackToTheTrack) {
  const std::vector<int16_t> decoded = DecodeMp3(TrackMp3());
  // LAME's frame decoder skips the Info frame but leaves in the delay it describes, and may
  // hold back part of the last frame; the track ends in silence anyway.
  EXPECT_GE(decoded.size() + 2 * 2 * 1152, Track().size());
  EXPECT_LE(decoded.size(), Track().size() + 2 * 4 * 1152);
  for (auto [from, to] : {std::pair{40.0, 70.0}, std::pair{80.0, 120.0}, std::pair{160.0, 175.0}}) {
    EXPECT_NEAR(RmsDb(decoded, from, to), RmsDb(Track(), from, to), 0.5) << from << " s";
  }
}

TEST(Mp3Encoder, FfmpegDecodesEverySampleAtItsTime) {
  const TempDir folder("mp3_ffmpeg");
  const std::string path = folder.Path() / "solen.mp3";
  ASSERT_TRUE(WriteBytes(path, std::string(TrackMp3().begin(), TrackMp3().end())));
  const std::vector<int16_t> decoded = DecodeWithFfmpeg(path);
  // The Info frame's encoder delay and padding leave exactly the track's samples.
  EXPECT_EQ(decoded.size(), Track().size());
  for (double cue : kHits) EXPECT_NEAR(HitNear(decoded, kRate, cue), cue, kHitTolerance);
}

TEST(Mp3Encoder, TheDemosAudioLibraryPlaysEverySampleAtItsTime) {
  const std::vector<int16_t> played = PlayThroughTheAudioLibrary(TrackMp3(), 125);
  ASSERT_GE(played.size(), 2 * FrameAt(125));
  for (double cue : kHits) EXPECT_NEAR(HitNear(played, kRate, cue), cue, kHitTolerance);
}

TEST(Mp3Encoder, SameSamplesGiveTheSameBytes) {
  const std::vector<uint8_t> first = EncodeMp3(Chord(), kRate);
  ASSERT_FALSE(first.empty());
  EXPECT_EQ(EncodeMp3(Chord(), kRate), first);
}

TEST(Mp3Encoder, RejectsAnOddSampleCountOrAnUnusableRate) {
  EXPECT_TRUE(EncodeMp3({1, 2, 3}, kRate).empty());
  EXPECT_TRUE(EncodeMp3(Chord(), 0).empty());
  EXPECT_TRUE(EncodeMp3(Chord(), 12345).empty());
  EXPECT_TRUE(EncodeMp3(Chord(), 22050).empty());  // MPEG-2 rates are refused
  EXPECT_FALSE(EncodeMp3(Chord(), 48000).empty());
}

}  // namespace
