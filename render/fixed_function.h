// The fixed-function pipeline of the device as generated GLSL programs.
//
// A draw's vertex format and texture-stage setup reduce to a PipelineKey; each key
// compiles once into a program that is then reused, so after the first frame that uses a
// combination nothing is compiled. The key already carries the stage cascade's rule for
// missing textures: a stage whose operation reads TEXTURE while no texture is bound ends
// the cascade there, as if it and the stages after it were disabled.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>

#include "render/d3d8_types.h"

// One stage's colour and alpha operation with their arguments, as the program uses them.
struct StageSetup {
  DWORD colorOp = D3DTOP_DISABLE, colorArg1 = D3DTA_TEXTURE, colorArg2 = D3DTA_CURRENT;
  DWORD alphaOp = D3DTOP_DISABLE, alphaArg1 = D3DTA_TEXTURE, alphaArg2 = D3DTA_CURRENT;
};

using PipelineKey = uint64_t;

// How many programs every cache together has compiled so far (tests check that the
// sequence compiles none).
uint64_t ProgramsBuilt();

// The key of a draw: `stageStates` are the two stages' state arrays (indexed by
// D3DTEXTURESTAGESTATETYPE), `hasTexture` tells which stages have a texture bound.
PipelineKey MakePipelineKey(DWORD fvf, const DWORD (*stageStates)[kStageStateCount],
                            const bool* hasTexture);

// A compiled program and the transform it was last given.
struct Program {
  unsigned id = 0;
  int worldViewProjection = -1;       // uniform location
  uint64_t transformVersion = ~0ull;  // which transform the uniform holds
};

// Compiled programs by key. Needs a current GL context; programs live as long as it.
// `screen` is 2/width, 2/height, then the pixel-centre shift in NDC, for every program.
class ProgramCache {
 public:
  explicit ProgramCache(const float (&screen)[4]);
  // The program for `key`, compiled on first use; its id is 0 if compilation failed.
  Program& Get(PipelineKey key);
  // Compiles the programs of the state combinations the demo draws with, so that no
  // frame of the sequence pays for a compile (its first use of each otherwise would).
  void BuildDemoPrograms();

 private:
  float screen_[4];
  std::unordered_map<PipelineKey, Program> programs_;
};
