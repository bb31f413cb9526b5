// The placement calls of every object that carries a world matrix (Mesh, MorphMesh,
// WorldQuad): each multiplies the matrix on the right, so the first call made applies
// first to the model. The objects reset the matrix to identity after each draw.
#pragma once

#include "render/d3dx_math.h"

// world = world * (RotX(ax) * RotY(ay) * RotZ(az)): about x first, then y, then z.
void PlaceRotate(D3DXMATRIX& world, float ax, float ay, float az);
// world = world * Translation(x, y, z).
void PlaceTranslate(D3DXMATRIX& world, float x, float y, float z);
// world = world * Scaling(s, s, s).
void PlaceScale(D3DXMATRIX& world, float s);
