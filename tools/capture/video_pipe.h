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
// over 2 seconds, so that a site's own encoder gets a clean copy of every size.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/common/frame_clock.h"

// The full path of `program` on PATH, or "" when it is not installed.
std::string FindProgram(const char* program);

class VideoPipe {
 public:
  ~VideoPipe();
  // Starts ffmpeg writing `path`; width and height even. With an `audioPath`, the track is
  // looped, started `audioStart` seconds in, and cut where the video ends. False when
  // ffmpeg cannot start.
  bool Open(const std::string& path, int width, int height, FrameRate fps,
            const std::string& audioPath, double audioStart);
  // One RGBA frame, top row first. False when ffmpeg stopped taking frames.
  bool Write(const uint8_t* rgba);
  // Ends the stream and waits for ffmpeg; false when it failed.
  bool Close();

 private:
  FILE* pipe_ = nullptr;
  int width_ = 0, height_ = 0;
  std::vector<uint8_t> yuv_;
};
