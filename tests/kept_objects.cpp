#include "tests/kept_objects.h"

#include <algorithm>

KeptObjects::~KeptObjects() {
  for (RefCounted* object : objects_) object->Release();
}

void KeptObjects::Add(RefCounted* object) {
  if (object && std::find(objects_.begin(), objects_.end(), object) == objects_.end())
    objects_.push_back(object);
}

void KeptObjects::Keep(const Mesh& mesh) {
  Add(mesh.vertexBuffer);
  Add(mesh.indexBuffer);
  Add(mesh.texture0);
  Add(mesh.texture1);
}

void KeptObjects::Keep(const WorldQuad& quad) {
  Add(quad.vertexBuffer);
  Add(quad.texture);
}

void KeptObjects::Keep(const MorphMesh& morph) {
  Add(morph.vertexBuffer);
  Add(morph.indexBuffer);
}
