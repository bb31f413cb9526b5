// The default models, one builder each, grouped by the scene that shows them. Each model
// is designed in its own coordinates for the exact placement calls the demo makes on it
// (scale, then turn, then move, in call order), so that it reads as intended from the
// cameras that look at it; the file that builds it says how.
//
// Promises: every builder returns the same model on every call.
// Does not: write files (models.cpp does).
#pragma once

#include "tools/assets/model_mesh.h"

// models_forest.cpp: the glade of the forest scene.
Model BuildSpruceNeedles();  // granbarr.x
Model BuildSpruceTrunk();    // granstam.x
Model BuildGround();         // mark.msh
Model BuildSky();            // himmel.msh
Model BuildFire();           // eld.msh
Model BuildFireSticks();     // eldpinnar.msh

// models_figure.cpp: the figure group of the forest and the echoed figure of the opening.
Model BuildHat();          // hatt.msh, coordinates planar-mapped at load
Model BuildHead();         // huvud.msh, coordinates planar-mapped at load
Model BuildStoneBody();    // morph1.x, the standing figure's body
Model BuildBoulderBody();  // morph2.x, the same vertices as a rough boulder
Model BuildVellmoth();     // vellmoth.msh

// models_stone.cpp: the cube fractal's cube and the stone room.
Model BuildCube();        // kub.x
Model BuildStoneBlock();  // stenbox.msh, coordinates from normals at load
Model BuildAltarSlab();   // stenbox2.msh, coordinates from normals at load
Model BuildPillar();      // pelare.msh
Model BuildCrossStone();  // rip.msh
Model BuildRingStone();   // alsten.msh
Model BuildHall();        // rum.msh
