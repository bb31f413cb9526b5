#include "render/fixed_function.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "render/gl_profile.h"

namespace {

// Key layout: bit 0 pre-transformed, bit 1 diffuse, bit 2 texture coordinates, then per
// stage 16 bits from bit 8: colour op (4), arg1 (2), arg2 (2), alpha op (4), arg1, arg2.
constexpr int kStageShift = 8;

// The combinations the demo's draws make: stage 0 only, its colour the texture's alone
// (SELECTARG1: additive meshes, world quads, pictures, grids) or texture plus vertex
// colour (ADD: meshes), alpha stage off, with these vertex formats.
constexpr PipelineKey kSelectTexture = 0x616200, kAddTextureToDiffuse = 0x616700;
constexpr PipelineKey kDemoPipelines[] = {
    kSelectTexture | 7,        // pre-transformed, diffuse, texture: grids and pictures
    kSelectTexture | 5,        // pre-transformed, texture
    kSelectTexture | 6,        // diffuse, texture: additive meshes
    kSelectTexture | 4,        // texture: world quads
    kAddTextureToDiffuse | 6,  // diffuse, texture: meshes
};

uint64_t g_programsBuilt = 0;

bool ReadsTexture(DWORD op, DWORD arg1, DWORD arg2) {
  if (op == D3DTOP_DISABLE) return false;
  if (op == D3DTOP_SELECTARG1) return arg1 == D3DTA_TEXTURE;
  if (op == D3DTOP_SELECTARG2) return arg2 == D3DTA_TEXTURE;
  return arg1 == D3DTA_TEXTURE || arg2 == D3DTA_TEXTURE;
}

bool KnownOp(DWORD op) {
  return (op >= D3DTOP_SELECTARG1 && op <= D3DTOP_ADDSIGNED) || op == D3DTOP_SUBTRACT;
}

uint64_t PackStage(const StageSetup& s) {
  return (s.colorOp & 15) | (s.colorArg1 & 3) << 4 | (s.colorArg2 & 3) << 6 |
         (s.alphaOp & 15) << 8 | (s.alphaArg1 & 3) << 12 | (s.alphaArg2 & 3) << 14;
}

StageSetup UnpackStage(uint64_t bits) {
  StageSetup s;
  s.colorOp = bits & 15;
  s.colorArg1 = (bits >> 4) & 3;
  s.colorArg2 = (bits >> 6) & 3;
  s.alphaOp = (bits >> 8) & 15;
  s.alphaArg1 = (bits >> 12) & 3;
  s.alphaArg2 = (bits >> 14) & 3;
  return s;
}

std::string Arg(DWORD arg, int stage, bool alpha) {
  std::string value;
  if (arg == D3DTA_TEXTURE)
    value = "t" + std::to_string(stage);
  else if (arg == D3DTA_CURRENT)
    value = "current";
  else
    value = "v_diffuse";
  return value + (alpha ? ".a" : ".rgb");
}

std::string Operation(DWORD op, const std::string& a, const std::string& b) {
  switch (op) {
    case D3DTOP_SELECTARG1:
      return a;
    case D3DTOP_SELECTARG2:
      return b;
    case D3DTOP_MODULATE:
      return a + " * " + b;
    case D3DTOP_MODULATE2X:
      return "2.0 * " + a + " * " + b;
    case D3DTOP_MODULATE4X:
      return "4.0 * " + a + " * " + b;
    case D3DTOP_ADD:
      return a + " + " + b;
    case D3DTOP_ADDSIGNED:
      return a + " + " + b + " - 0.5";
    case D3DTOP_SUBTRACT:
      return a + " - " + b;
    default:
      return a;
  }
}

std::string VertexSource(PipelineKey key) {
  const bool pretransformed = key & 1, diffuse = key & 2, texcoords = key & 4;
  std::string s = kShaderPreamble;
  s += "uniform mat4 u_worldViewProjection;\nuniform vec4 u_screen;\n"
       "layout(location = 0) in vec4 a_position;\n"
       "layout(location = 1) in vec4 a_diffuse;\n"
       "layout(location = 2) in vec2 a_uv;\n"
       "out vec4 v_diffuse;\nout vec2 v_uv;\n"
       "void main() {\n";
  if (pretransformed) {
    // Back-buffer pixels with centres on integers; depth outside 0..1 is an overlay draw
    // with the depth test off, clamped here so that clipping keeps it.
    s += "  float w = 1.0 / a_position.w;\n"
         "  vec2 ndc = vec2(a_position.x * u_screen.x - 1.0 + u_screen.z,\n"
         "                  1.0 - a_position.y * u_screen.y - u_screen.w);\n"
         "  float z = clamp(a_position.z, 0.0, 1.0) * 2.0 - 1.0;\n"
         "  gl_Position = vec4(ndc, z, 1.0) * w;\n";
  } else {
    // Depth range 0..1 to GL's -1..1, then the pixel-centre shift right and down.
    s += "  vec4 p = u_worldViewProjection * vec4(a_position.xyz, 1.0);\n"
         "  p.z = 2.0 * p.z - p.w;\n"
         "  p.xy += vec2(u_screen.z, -u_screen.w) * p.w;\n"
         "  gl_Position = p;\n";
  }
  // The colour's bytes lie in memory as blue, green, red, alpha (0xAARRGGBB, little-endian).
  s += diffuse ? "  v_diffuse = a_diffuse.bgra;\n" : "  v_diffuse = vec4(1.0);\n";
  s += texcoords ? "  v_uv = a_uv;\n" : "  v_uv = vec2(0.0);\n";
  return s + "}\n";
}

std::string FragmentSource(PipelineKey key) {
  std::string s = kShaderPreamble;
  s += "uniform sampler2D u_texture0;\nuniform sampler2D u_texture1;\n"
       "in vec4 v_diffuse;\nin vec2 v_uv;\nout vec4 o_color;\n"
       "void main() {\n"
       "  vec4 current = v_diffuse;\n";
  for (int stage = 0; stage < int(kStageCount); ++stage) {
    const StageSetup setup = UnpackStage(key >> (kStageShift + 16 * stage));
    if (!KnownOp(setup.colorOp)) break;  // disabled, or a stage the cascade never reached
    const std::string t = "t" + std::to_string(stage);
    s += "  {\n    vec4 " + t + " = texture(u_texture" + std::to_string(stage) + ", v_uv);\n";
    s += "    vec3 rgb = clamp(" +
         Operation(setup.colorOp, Arg(setup.colorArg1, stage, false),
                   Arg(setup.colorArg2, stage, false)) +
         ", 0.0, 1.0);\n";
    if (setup.alphaOp == D3DTOP_DISABLE)
      s += "    float a = current.a;\n";
    else
      s += "    float a = clamp(" +
           Operation(setup.alphaOp, Arg(setup.alphaArg1, stage, true),
                     Arg(setup.alphaArg2, stage, true)) +
           ", 0.0, 1.0);\n";
    s += "    current = vec4(rgb, a);\n  }\n";
  }
  return s + "  o_color = current;\n}\n";
}

// Says once, on standard error, why the program of `key` cannot be built: every draw that
// needs it then draws nothing.
void ReportFailure(PipelineKey key, const char* what, const std::string& log) {
  std::fprintf(stderr,
               "emberhall: the fixed-function program for state combination %016llx failed to "
               "%s; draws with it show nothing:\n%s\n",
               static_cast<unsigned long long>(key), what, log.c_str());
}

std::string InfoLog(GLuint object, bool program) {
  GLint length = 0;
  program ? glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length)
          : glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
  std::string log(size_t(std::max(length, 1)), '\0');
  program ? glGetProgramInfoLog(object, GLsizei(log.size()), nullptr, log.data())
          : glGetShaderInfoLog(object, GLsizei(log.size()), nullptr, log.data());
  log.resize(std::strlen(log.c_str()));
  return log;
}

GLuint Compile(PipelineKey key, GLenum type, const std::string& source) {
  GLuint shader = glCreateShader(type);
  const char* text = source.c_str();
  glShaderSource(shader, 1, &text, nullptr);
  glCompileShader(shader);
  GLint ok = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (!ok) {
    ReportFailure(key, type == GL_VERTEX_SHADER ? "compile (vertex)" : "compile (fragment)",
                  InfoLog(shader, false) + source);
    glDeleteShader(shader);
    return 0;
  }
  return shader;
}

}  // namespace

PipelineKey MakePipelineKey(DWORD fvf, const DWORD (*stageStates)[kStageStateCount],
                            const bool* hasTexture) {
  PipelineKey key = 0;
  if (fvf & D3DFVF_XYZRHW) key |= 1;
  if (fvf & D3DFVF_DIFFUSE) key |= 2;
  if (fvf & D3DFVF_TEX1) key |= 4;
  for (uint32_t stage = 0; stage < kStageCount; ++stage) {
    const DWORD* st = stageStates[stage];
    StageSetup setup{st[D3DTSS_COLOROP], st[D3DTSS_COLORARG1], st[D3DTSS_COLORARG2],
                     st[D3DTSS_ALPHAOP], st[D3DTSS_ALPHAARG1], st[D3DTSS_ALPHAARG2]};
    if (!KnownOp(setup.colorOp)) break;
    if (!hasTexture[stage] && ReadsTexture(setup.colorOp, setup.colorArg1, setup.colorArg2)) break;
    if (!KnownOp(setup.alphaOp) ||
        (!hasTexture[stage] && ReadsTexture(setup.alphaOp, setup.alphaArg1, setup.alphaArg2)))
      setup.alphaOp = D3DTOP_DISABLE;
    key |= PackStage(setup) << (kStageShift + 16 * stage);
  }
  return key;
}

uint64_t ProgramsBuilt() {
  return g_programsBuilt;
}

void ProgramCache::BuildDemoPrograms() {
  for (PipelineKey key : kDemoPipelines) Get(key);
}

ProgramCache::ProgramCache(const float (&screen)[4]) {
  for (int i = 0; i < 4; ++i) screen_[i] = screen[i];
}

Program& ProgramCache::Get(PipelineKey key) {
  auto found = programs_.find(key);
  if (found != programs_.end()) return found->second;

  Program& program = programs_[key];
  ++g_programsBuilt;
  GLuint vertex = Compile(key, GL_VERTEX_SHADER, VertexSource(key));
  GLuint fragment = Compile(key, GL_FRAGMENT_SHADER, FragmentSource(key));
  if (vertex && fragment) {
    program.id = glCreateProgram();
    glAttachShader(program.id, vertex);
    glAttachShader(program.id, fragment);
    glLinkProgram(program.id);
    GLint ok = 0;
    glGetProgramiv(program.id, GL_LINK_STATUS, &ok);
    if (ok) {
      glUseProgram(program.id);
      program.worldViewProjection = glGetUniformLocation(program.id, "u_worldViewProjection");
      glUniform4fv(glGetUniformLocation(program.id, "u_screen"), 1, screen_);
      glUniform1i(glGetUniformLocation(program.id, "u_texture0"), 0);
      glUniform1i(glGetUniformLocation(program.id, "u_texture1"), 1);
    } else {
      ReportFailure(key, "link", InfoLog(program.id, true));
      glDeleteProgram(program.id);
      program.id = 0;
    }
  }
  if (vertex) glDeleteShader(vertex);
  if (fragment) glDeleteShader(fragment);
  return program;
}
