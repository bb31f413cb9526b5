// An MP4 video (H.264, with the sound track as AAC when there is one) written by the
// ffmpeg program from raw frames fed through a pipe: RGBA frames are turned into YUV 4:2:0
// here (tools/capture/yuv420.h) and encoded by x264's superfast preset at CRF 20. On 720
// frames of the demo, superfast took half the CPU of veryfast for files a third larger at
// the same SSIM; ultrafast took 40% less again but made files more than twice as large
// and visibly worse (SSIM 0.954 against 0.966).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// The full path of `program` on PATH, or "" when it is not installed.
std::string FindProgram(const char* program);

class VideoPipe {
 public:
  ~VideoPipe();
  // Starts ffmpeg writing `path`; width and height even. With an `audioPath`, the track is
  // looped, started `audioStart` seconds in, and cut where the video ends. False when
  // ffmpeg cannot start.
  bool Open(const std::string& path, int width, int height, double fps,
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
