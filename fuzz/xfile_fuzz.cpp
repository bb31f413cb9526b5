// libFuzzer target: the X-file parser's public entry, fed any bytes, under ASan and UBSan.
// Beyond not crashing it must keep its output contract: whole vertices and triangles,
// every index naming a vertex, per-vertex channels either absent or complete, and a
// refused file leaves nothing behind.
#include <cstddef>
#include <cstdint>

#include "render/xfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  XMesh mesh;
  if (!ParseXFile(reinterpret_cast<const char*>(data), size, mesh)) {
    if (!mesh.positions.empty() || !mesh.texcoords.empty() || !mesh.colors.empty() ||
        !mesh.indices.empty())
      __builtin_trap();
    return 0;
  }
  const size_t vertices = mesh.positions.size() / 3;
  if (mesh.positions.size() % 3 != 0 || mesh.indices.size() % 3 != 0 ||
      (!mesh.texcoords.empty() && mesh.texcoords.size() != vertices * 2) ||
      (!mesh.colors.empty() && mesh.colors.size() != vertices))
    __builtin_trap();
  for (uint32_t index : mesh.indices)
    if (index >= vertices) __builtin_trap();
  return 0;
}
