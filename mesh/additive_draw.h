// The state of an additive textured draw, shared by the world quads, the screen pictures
// and the warp grids: blending on, `texture` in stage 0, source and destination blend
// factors ONE, stage 0's colour the texture's alone. The calls are made in that order
// (the draws' recorded call order depends on it); turning blending off again after the
// draw is the caller's.
#pragma once

#include "render/d3d8.h"

void SetAdditiveTextureState(IDirect3DTexture8* texture);
