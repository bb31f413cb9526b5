// Releasing what a test loaded, once the test is over.
//
// The demo never releases what it loads: its objects live until the process ends, still
// reachable from its globals, and the leak checker rightly says nothing. A test's objects
// end with the test, and whatever their buffers and textures were not released would be
// reported as leaks under the sanitizer pass. Tests keep each object here after every load
// (a second load drops the first one's buffers) and the keeper releases them all at its end.
#pragma once

#include <vector>

#include "effects/morph_mesh.h"
#include "mesh/mesh.h"
#include "mesh/world_quad.h"

class KeptObjects {
 public:
  KeptObjects() = default;
  KeptObjects(const KeptObjects&) = delete;
  KeptObjects& operator=(const KeptObjects&) = delete;
  ~KeptObjects();

  void Keep(const Mesh& mesh);
  void Keep(const WorldQuad& quad);
  // Its buffers only: the texture belongs to the source mesh.
  void Keep(const MorphMesh& morph);

 private:
  void Add(RefCounted* object);
  std::vector<RefCounted*> objects_;
};
