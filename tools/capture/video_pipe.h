// An MP4 video (H.264, with the sound track as 48 kHz AAC when there is one) written by the
// ffmpeg program from raw frames fed through a pipe: RGBA frames are turned into YUV 4:2:0
// here (tools/capture/yuv420.h) and encoded by x264's superfast preset. On 720 frames of
// the demo, superfast took half the CPU of veryfast for files a third larger at the same
// SSIM; ultrafast took 40% less again but made files more than twice as large and visibly
// worse (SSIM 0.954 against 0.966).
//
// The file is what video sites and party rules ask for: closed GOPs with a keyframe every
// second (every fps-rounded-down frames, none in between, so every GOP is the same), the
// frame rate as an exact fraction (60000/1001 stays that), and a bit rate that grows with
// the frame: 5 bits per frame pixel per second up to 30 frames per second and half as much
// again above (the upload rates the sites recommend: 2160 lines 41 / 62 Mbit/s, 1080 lines
// 10 / 16, the 800x600 frame 2.4 / 3.6), as an average with peaks of at most 1.5 times that
// over 2 seconds, so that a site's own encoder gets a clean copy of every size. Lossless, it is
// x264 at constant quantiser 0: the decoded frames are exactly the YUV frames fed in.
//
// The sound track is cut to the video's length exactly, not where the video happens to end,
// so that the same range gives the same sound whether its video was encoded here in one
// pass or joined from parts (tools/capture/join.h) that encode it with SoundArguments.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/common/frame_clock.h"

// The full path of `program` on PATH, or "" when it is not installed.
std::string FindProgram(const char* program);

// Frames from one keyframe to the next: a second's whole frames.
int64_t KeyframeInterval(FrameRate fps);

// ffmpeg's arguments that add input 1, the sound track at `path` looped, started `start`
// seconds in and cut `seconds` long, to the output as 48 kHz AAC beside input 0's video.
std::string SoundArguments(const std::string& path, double start, double seconds);

// Quotes `text` for the shell.
std::string Quoted(const std::string& text);

struct VideoFormat {
  int width = 0, height = 0;  // even
  FrameRate fps = kToolFrameRate;
  bool lossless = false;
  std::string comment;  // the file's comment tag, "" for none
};

class VideoPipe {
 public:
  ~VideoPipe();
  // Starts ffmpeg writing `path`, with `sound` (SoundArguments, or "" for none). False when
  // ffmpeg is not installed or cannot start.
  bool Open(const std::string& path, const VideoFormat& format, const std::string& sound);
  // One RGBA frame, top row first. False when ffmpeg stopped taking frames.
  bool Write(const uint8_t* rgba);
  // Ends the stream and waits for ffmpeg; false when it failed.
  bool Close();

 private:
  FILE* pipe_ = nullptr;
  int width_ = 0, height_ = 0;
  std::vector<uint8_t> yuv_;
};
