// The landscape of the demo's middle section and the stone hall: a glade inside a maze of
// spruces with a camp fire, ground and sky; a figure of a hat, a head and a morphing
// stone body; and the stone room.
//
// Load fills every model once at start-up. The draw operations rebuild each model's
// placement from their arguments and constants on every call; the only device state they
// set themselves is the cull mode (off), which they leave as it is. The timeline aims and
// applies the camera before calling them.
#pragma once

#include <cstdint>

#include "mesh/mesh.h"
#include "mesh/world_quad.h"

class ForestScene {
 public:
  // Loads the fourteen models and the floor tile, in the order the scenes list them.
  void Load();
  // One spruce: needles then trunk, scaled, turned, then moved to (x, y, z).
  void DrawSpruce(float x, float y, float z, float rx, float ry, float rz, float scale);
  // The glade: fire sticks, ground, fire, sky, then the 67 spruces of the maze.
  void DrawForest();
  // The figure around the reference point (x, y, z), its body a tenth beyond g_morph1.
  void DrawFigure(float x, float y, float z);
  // The same figure with its body swinging between the two shapes with the uptime clock.
  void DrawFigureMorphing(float x, float y, float z);
  // The stone hall: two rows of blocks and pillars, single stones, the room twice and a
  // floor of 144 additive brick tiles.
  void DrawStoneRoom();
};

extern ForestScene g_forestScene;

// The models, defined with the demo's other globals.
extern Mesh g_granbarr, g_granstam, g_alsten, g_stenbox, g_stenbox2, g_rum, g_pelare, g_rip;
extern WorldQuad g_bricks;
extern Mesh g_eldpinnar, g_eld, g_mark, g_himmel, g_huvud, g_hatt;

// The spruce maze, 11 rows of 11: cell (column i, row j) is byte j * 11 + i and stands at
// x = (i - 5) * 170, z = (5 - j) * 170; 1 plants a spruce, anything else leaves it open.
extern const int8_t g_treeMap[121];
