// The painters behind WriteTextures, one per texture file, grouped by the files that define
// them: textures_stone.cpp (stone, wood, needles, bricks), textures_light.cpp (the additive
// warp, fire and sky pictures) and textures_figure.cpp (cube panels, face, hat).
//
// Promises: each painter returns a canvas of exactly the size it is asked for, the same on
// every call.
// Does not: write files (textures.cpp does).
#pragma once

#include "tools/assets/textures_canvas.h"

namespace textures {

Canvas PaintGray(int width, int height);
Canvas PaintStenAl(int width, int height);
Canvas PaintGranbarr(int width, int height);
Canvas PaintGranstam(int width, int height);
Canvas PaintRum(int width, int height);
Canvas PaintBricks(int width, int height);

Canvas PaintTex2(int width, int height);
Canvas PaintTex3(int width, int height);
Canvas PaintEld(int width, int height);
Canvas PaintHimmel(int width, int height);

// One of the five cube-fractal panels, level 0 (the root cube) to 4.
Canvas PaintCube(int level, int width, int height);
Canvas PaintHuve(int width, int height);
Canvas PaintHatt(int width, int height);

}  // namespace textures
