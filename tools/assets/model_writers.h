// The two file formats the default models are written in.
//
// MshBytes: the demo's own binary .msh layout (12-byte header of flags, vertex count and
// face count, then x, y, z per vertex, then three indices per face and, with flag 4, u and
// v of each corner), every value packed little-endian byte by byte.
// XText: a text DirectX file ("xof 0302txt 0032") holding one Mesh and, when the model has
// coordinates, its MeshTextureCoords, in the standard ';' and ',' syntax.
// Promises: the same bytes for the same model on every run and machine (numbers in .x
// text are fixed to four decimals by a locale-free conversion).
// Does not: write normals (the demo recomputes or never uses them) or materials.
#pragma once

#include <string>

#include "tools/assets/model_mesh.h"

// Flag 4 and each corner's vertex coordinates when the model has coordinates, else flag 0.
std::string MshBytes(const Model& model);
std::string XText(const Model& model, const std::string& meshName);
