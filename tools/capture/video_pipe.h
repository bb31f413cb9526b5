// An MP4 video (H.264, with the sound track as AAC when there is one) written by the
// ffmpeg program from raw RGBA frames fed through a pipe.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// The full path of `program` on PATH, or "" when it is not installed.
std::string FindProgram(const char* program);

class VideoPipe {
 public:
  ~VideoPipe();
  // Starts ffmpeg writing `path`. With an `audioPath`, the track is looped, started
  // `audioStart` seconds in, and cut where the video ends. False when ffmpeg cannot start.
  bool Open(const std::string& path, int width, int height, double fps,
            const std::string& audioPath, double audioStart);
  // One frame: width * height * 4 bytes. False when ffmpeg stopped taking frames.
  bool Write(const uint8_t* rgba);
  // Ends the stream and waits for ffmpeg; false when it failed.
  bool Close();

 private:
  FILE* pipe_ = nullptr;
  size_t frameBytes_ = 0;
};
