// libFuzzer target: the .msh checks and the parse into memory that Mesh::LoadMsh relies on,
// fed any bytes, under ASan and UBSan.
#include <cstddef>
#include <cstdint>
#include <string>

#include "mesh/mesh.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  MshProblem(std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
