#include "render/vertex_layout.h"

VertexLayout LayoutOf(DWORD fvf) {
  constexpr DWORD kKnown =
      D3DFVF_XYZ | D3DFVF_XYZRHW | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1;
  VertexLayout layout;
  const DWORD position = fvf & (D3DFVF_XYZ | D3DFVF_XYZRHW);
  if (position != D3DFVF_XYZ && position != D3DFVF_XYZRHW) return layout;
  layout.known = (fvf & ~kKnown) == 0;
  layout.positionFloats = position == D3DFVF_XYZRHW ? 4 : 3;
  layout.size = UINT(layout.positionFloats) * 4;
  auto field = [&](int& offset, UINT bytes) {
    offset = int(layout.size);
    layout.size += bytes;
  };
  if (fvf & D3DFVF_NORMAL) field(layout.normal, 12);
  if (fvf & D3DFVF_DIFFUSE) field(layout.diffuse, 4);
  if (fvf & D3DFVF_TEX1) field(layout.texture, 8);
  return layout;
}
