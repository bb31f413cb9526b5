#include "tools/studio/overlay.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "tools/common/transport.h"

namespace {

constexpr int kBarHeight = 24;  // pixels; the bar never exceeds 40
constexpr int kScale = 2;       // font pixels are 2x2 screen pixels

// A 5x7 font: each glyph is seven rows, five bits each, high bit on the left.
struct Glyph {
  char c;
  unsigned char rows[7];
};
constexpr Glyph kFont[] = {
    {'0', {14, 17, 19, 21, 25, 17, 14}}, {'1', {4, 12, 4, 4, 4, 4, 14}},
    {'2', {14, 17, 1, 2, 4, 8, 31}},     {'3', {31, 2, 4, 2, 1, 17, 14}},
    {'4', {2, 6, 10, 18, 31, 2, 2}},     {'5', {31, 16, 30, 1, 1, 17, 14}},
    {'6', {6, 8, 16, 30, 17, 17, 14}},   {'7', {31, 1, 2, 4, 8, 8, 8}},
    {'8', {14, 17, 17, 14, 17, 17, 14}}, {'9', {14, 17, 17, 15, 1, 2, 12}},
    {'A', {14, 17, 17, 31, 17, 17, 17}}, {'B', {30, 17, 17, 30, 17, 17, 30}},
    {'C', {14, 17, 16, 16, 16, 17, 14}}, {'D', {28, 18, 17, 17, 17, 18, 28}},
    {'E', {31, 16, 16, 30, 16, 16, 31}}, {'F', {31, 16, 16, 30, 16, 16, 16}},
    {'G', {14, 17, 16, 23, 17, 17, 15}}, {'H', {17, 17, 17, 31, 17, 17, 17}},
    {'I', {14, 4, 4, 4, 4, 4, 14}},      {'J', {7, 2, 2, 2, 2, 18, 12}},
    {'K', {17, 18, 20, 24, 20, 18, 17}}, {'L', {16, 16, 16, 16, 16, 16, 31}},
    {'M', {17, 27, 21, 21, 17, 17, 17}}, {'N', {17, 17, 25, 21, 19, 17, 17}},
    {'O', {14, 17, 17, 17, 17, 17, 14}}, {'P', {30, 17, 17, 30, 16, 16, 16}},
    {'Q', {14, 17, 17, 17, 21, 18, 13}}, {'R', {30, 17, 17, 30, 20, 18, 17}},
    {'S', {15, 16, 16, 14, 1, 1, 30}},   {'T', {31, 4, 4, 4, 4, 4, 4}},
    {'U', {17, 17, 17, 17, 17, 17, 14}}, {'V', {17, 17, 17, 17, 17, 10, 4}},
    {'W', {17, 17, 17, 21, 21, 21, 10}}, {'X', {17, 17, 10, 4, 10, 17, 17}},
    {'Y', {17, 17, 17, 10, 4, 4, 4}},    {'Z', {31, 1, 2, 4, 8, 16, 31}},
    {':', {0, 12, 12, 0, 12, 12, 0}},    {'.', {0, 0, 0, 0, 0, 12, 12}},
    {'-', {0, 0, 0, 31, 0, 0, 0}},       {'_', {0, 0, 0, 0, 0, 0, 31}},
    {'/', {0, 1, 2, 4, 8, 16, 0}},       {',', {0, 0, 0, 0, 12, 4, 8}},
};

const Glyph* Find(char c) {
  c = char(std::toupper(static_cast<unsigned char>(c)));
  for (const Glyph& glyph : kFont)
    if (glyph.c == c) return &glyph;
  return nullptr;
}

// Quads in window pixels (origin top left) as triangles of x, y, r, g, b, a.
class Quads {
 public:
  explicit Quads(std::vector<float>& vertices) : data(vertices) { data.clear(); }
  void Add(float x, float y, float w, float h, const float (&rgba)[4]) {
    const float corners[6][2] = {{x, y},     {x + w, y},     {x, y + h},
                                 {x + w, y}, {x + w, y + h}, {x, y + h}};
    for (const auto& c : corners) {
      data.insert(data.end(), {c[0], c[1]});
      data.insert(data.end(), std::begin(rgba), std::end(rgba));
    }
  }
  // Text from (x, y), its top; returns the x after it.
  float Text(float x, float y, const std::string& text, const float (&rgba)[4]) {
    for (char c : text) {
      if (const Glyph* glyph = Find(c))
        for (int row = 0; row < 7; ++row)
          for (int col = 0; col < 5; ++col)
            if (glyph->rows[row] & (16 >> col))
              Add(x + float(col * kScale), y + float(row * kScale), kScale, kScale, rgba);
      x += 6 * kScale;
    }
    return x;
  }
  std::vector<float>& data;
};

// A compiled shader, or 0 with GL's log on stderr.
unsigned Compile(GLenum type, const char* source) {
  const GLuint shader = glCreateShader(type);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint compiled = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
  if (compiled) return shader;
  char log[1024] = "";
  glGetShaderInfoLog(shader, sizeof log, nullptr, log);
  std::fprintf(stderr, "emberhall-studio: the bar's shader does not compile: %s\n", log);
  glDeleteShader(shader);
  return 0;
}

constexpr const char* kVertex = R"(#version 330 core
layout(location = 0) in vec2 position;
layout(location = 1) in vec4 colour;
uniform vec2 size;
out vec4 tint;
void main() {
  tint = colour;
  gl_Position = vec4(position.x / size.x * 2.0 - 1.0, 1.0 - position.y / size.y * 2.0, 0, 1);
})";
constexpr const char* kFragment = R"(#version 330 core
in vec4 tint;
out vec4 colour;
void main() { colour = tint; })";

}  // namespace

bool Overlay::Build() {
  const GLuint vertex = Compile(GL_VERTEX_SHADER, kVertex);
  const GLuint fragment = Compile(GL_FRAGMENT_SHADER, kFragment);
  if (!vertex || !fragment) return false;
  program_ = glCreateProgram();
  glAttachShader(program_, vertex);
  glAttachShader(program_, fragment);
  glLinkProgram(program_);
  glDeleteShader(vertex);
  glDeleteShader(fragment);
  GLint linked = GL_FALSE;
  glGetProgramiv(program_, GL_LINK_STATUS, &linked);
  if (!linked) {
    std::fprintf(stderr, "emberhall-studio: the bar's shaders do not link\n");
    return false;
  }
  sizeUniform_ = glGetUniformLocation(program_, "size");
  glGenVertexArrays(1, &vao_);
  glGenBuffers(1, &buffer_);
  bufferBytes_ = 0;
  glBindVertexArray(vao_);
  glBindBuffer(GL_ARRAY_BUFFER, buffer_);
  glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 6 * sizeof(float), nullptr);
  glVertexAttribPointer(1, 4, GL_FLOAT, GL_FALSE, 6 * sizeof(float),
                        reinterpret_cast<void*>(2 * sizeof(float)));
  glEnableVertexAttribArray(0);
  glEnableVertexAttribArray(1);
  glBindVertexArray(0);
  return true;
}

namespace {

// The bar's quads for `transport` in a window `width` pixels wide whose bar starts at `top`.
void BarQuads(Quads& quads, const Transport& transport, const std::string& message, float top,
              float w) {
  constexpr float kBack[4] = {0, 0, 0, 0.7f}, kStrip[4] = {0.3f, 0.3f, 0.3f, 1},
                  kMark[4] = {0.9f, 0.9f, 0.9f, 1}, kLoop[4] = {0.2f, 0.5f, 0.9f, 0.8f},
                  kHead[4] = {1, 0.6f, 0.1f, 1}, kText[4] = {1, 1, 1, 1},
                  kNote[4] = {1, 0.85f, 0.3f, 1};
  quads.Add(0, top, w, kBarHeight, kBack);
  // The strip: the whole demo across the window, a mark at every section's start.
  const float stripY = top + 2;
  const double end = Transport::End();
  auto x = [&](double t) { return float(t / end) * (w - 1); };
  quads.Add(0, stripY, w, 4, kStrip);
  const double in = transport.LoopIn(), out = transport.LoopOut();
  if (in >= 0 && out > in)
    quads.Add(x(in), stripY, std::max(1.0f, x(out) - x(in)), 4,
              transport.LoopOn() ? kLoop : kStrip);
  for (double start : transport.Sections()) quads.Add(x(start), stripY - 2, 1, 8, kMark);
  quads.Add(x(transport.Seconds()) - 1, stripY - 2, 3, 8, kHead);
  // The text line.
  std::string text = transport.Text() + (transport.Playing() ? "  PLAYING" : "  PAUSED");
  auto point = [](int64_t frameTime, double seconds) {
    return seconds < 0 ? std::string("-") : Transport::FormatTime(frameTime);
  };
  if (in >= 0 || out >= 0)
    text += "  LOOP " + point(std::llround(in * 1000), in) + "-" +
            point(std::llround(out * 1000), out) + (transport.LoopOn() ? " ON" : " OFF");
  const float textY = top + 9;
  const float after = quads.Text(4, textY, text, kText);
  if (!message.empty()) quads.Text(after + 24, textY, message, kNote);
}

}  // namespace

int BarTop(int height) {
  return height - kBarHeight;
}

bool Overlay::Draw(const Transport& transport, const std::string& message, int device, int width,
                   int height) {
  if (broken_) return false;
  if (device != device_) {  // a new device: the old objects went with its context
    device_ = device;
    if (!Build()) {
      broken_ = true;
      return false;
    }
  }
  Quads quads(vertices_);
  BarQuads(quads, transport, message, float(BarTop(height)), float(width));

  glViewport(0, 0, width, height);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_STENCIL_TEST);
  glDisable(GL_CULL_FACE);
  glDisable(GL_SCISSOR_TEST);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glUseProgram(program_);
  glUniform2f(sizeUniform_, float(width), float(height));
  glBindVertexArray(vao_);
  glBindBuffer(GL_ARRAY_BUFFER, buffer_);
  const size_t bytes = vertices_.size() * sizeof(float);
  if (bytes > bufferBytes_) {  // grows rarely: the bar's longest text so far
    bufferBytes_ = bytes * 2;
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(bufferBytes_), nullptr, GL_DYNAMIC_DRAW);
  }
  glBufferSubData(GL_ARRAY_BUFFER, 0, GLsizeiptr(bytes), vertices_.data());
  glDrawArrays(GL_TRIANGLES, 0, GLsizei(vertices_.size() / 6));
  glBindVertexArray(0);
  return true;
}
