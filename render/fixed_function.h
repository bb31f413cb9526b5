// The fixed-function pipeline of the device as generated GLSL programs.
//
// A draw's vertex format and texture-stage setup reduce to a PipelineKey; each key
// compiles once into a program that is then reused, so after the first frame that uses a
// combination nothing is compiled. The key already carries the stage cascade's rule for
// missing textures: a stage whose operation reads TEXTURE while no texture is bound ends
// the cascade there, as if it and the stages after it were disabled.
#pragma once

#include <cstdint>
#include <cstddef>
#include <unordered_map>

#include "render/d3d8_types.h"

// One stage's colour and alpha operation with their arguments, as the program uses them.
struct StageSetup {
  DWORD colorOp = D3DTOP_DISABLE, colorArg1 = D3DTA_TEXTURE, colorArg2 = D3DTA_CURRENT;
  DWORD alphaOp = D3DTOP_DISABLE, alphaArg1 = D3DTA_TEXTURE, alphaArg2 = D3DTA_CURRENT;
};

using PipelineKey = uint64_t;

// The key of a draw: `stageStates` are the two stages' state arrays (indexed by
// D3DTEXTURESTAGESTATETYPE), `hasTexture` tells which stages have a texture bound.
PipelineKey MakePipelineKey(DWORD fvf, const DWORD (*stageStates)[kStageStateCount],
                            const bool* hasTexture);

// Compiled programs by key. Needs a current GL context; programs live as long as it.
class ProgramCache {
 public:
  // The program for `key`, compiled on first use; 0 if compilation failed.
  unsigned Program(PipelineKey key);
  size_t Size() const { return programs_.size(); }

 private:
  std::unordered_map<PipelineKey, unsigned> programs_;
};

// Uniform block shared by every program (binding point 0).
struct FrameUniforms {
  float worldViewProjection[16];  // row-major D3D matrix, used as GLSL column-major = transposed
  float screen[4];                // 2/width, 2/height, then the pixel-centre shift in NDC
};
