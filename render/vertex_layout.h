// Where each field of a flexible vertex format lies in a vertex: the one description of
// the layouts this render layer knows, for the device's attribute pointers and for the
// D3DX meshes that copy vertices between formats.
//
// Fields come in Direct3D's fixed order: position (XYZ, or XYZRHW pre-transformed), normal,
// diffuse colour, one set of texture coordinates. Other fields are not known here.
#pragma once

#include <cstdint>

#include "render/d3d8_types.h"

// 16-bit indices reach this many vertices and no more.
constexpr uint32_t kMaxIndexedVertices = 65536;

struct VertexLayout {
  bool known = false;      // false: a format with fields this layer does not handle
  UINT size = 0;           // bytes per vertex
  int positionFloats = 0;  // 3 for XYZ, 4 for XYZRHW
  int normal = -1;         // byte offsets, -1 where the format has no such field
  int diffuse = -1;
  int texture = -1;
};

VertexLayout LayoutOf(DWORD fvf);
