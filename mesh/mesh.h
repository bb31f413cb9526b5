// The mesh object every model of the demo lives in, whether it came from a .msh or an .x
// file: an indexed triangle list of MeshVertex records with up to two textures, a world
// matrix that placement calls build up before each draw, and an additive flag.
//
// Promises: a mesh is loaded once (LoadMsh or LoadX), optionally given normals and
// texture coordinates by the generators, then placed and drawn any number of times; every
// Draw hands `world` to the device and resets it to identity. A mesh whose load found
// nothing usable has zero counts and null buffers: every operation on it is harmless and
// its Draw draws nothing.
// Does not: light (the normal only feeds TexCoordsFromNormals), keep the X file's
// materials or subsets, restore device state after drawing beyond turning blending off,
// or release anything: meshes live until the program ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "render/d3d8.h"
#include "render/d3dx_math.h"

// One vertex of a mesh, FVF 0x152. The diffuse colour is added to the texture colour when
// drawn; every loader leaves it 0 unless an .x file has vertex colours.
struct MeshVertex {
  float x, y, z;
  float nx, ny, nz;
  D3DCOLOR diffuse;
  float u, v;
};
constexpr DWORD kMeshVertexFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1;
static_assert(kMeshVertexFvf == 0x152);
static_assert(sizeof(MeshVertex) == 36);
static_assert(offsetof(MeshVertex, nx) == 12 && offsetof(MeshVertex, diffuse) == 24 &&
              offsetof(MeshVertex, u) == 28 && offsetof(MeshVertex, v) == 32);

class Mesh {
 public:
  // Paths go through the data-file lookup; a null texture path leaves that slot null.
  void LoadMsh(const char* mshPath, const char* texture0Path, const char* texture1Path);
  void LoadX(const char* xPath, const char* texture0Path, const char* texture1Path);
  // Additive: the texture colour alone is added to the screen (ONE/ONE).
  void SetAdditive(bool additive);

  // Each used vertex gets the normalised mean of the unnormalised normals of the faces
  // naming it, so larger faces weigh more; vertices no face names keep their normal.
  void ComputeSmoothNormals();
  // u and v from two position coordinates scaled into 0..1 over [minA, maxA] and
  // [minB, maxB]: plane 1 takes (x, y), 2 takes (x, z), 3 takes (z, y); any other plane
  // changes nothing. A max below its min mirrors the image.
  void PlanarMapTexCoords(float minA, float minB, float maxA, float maxB, float offsetU,
                          float offsetV, int32_t plane);
  // u = normal.x * scaleU, v = normal.y * scaleV.
  void TexCoordsFromNormals(float scaleU, float scaleV);

  // Placement: each multiplies `world` on the right, so the first call applies first.
  // Rotate turns about x, then y, then z.
  void Rotate(float ax, float ay, float az);
  void Translate(float x, float y, float z);
  void Scale(float s);
  // Draws the whole mesh with `world`, then resets `world` to identity.
  void Draw();

  // Read directly by the morphing mesh and the scenes.
  bool additive = false;
  IDirect3DVertexBuffer8* vertexBuffer = nullptr;  // vertexCount MeshVertex records
  IDirect3DIndexBuffer8* indexBuffer = nullptr;    // faceCount * 3 16-bit indices
  D3DXMATRIX world = {};
  IDirect3DTexture8* texture0 = nullptr;
  IDirect3DTexture8* texture1 = nullptr;  // loaded when named, never drawn
  uint32_t faceCount = 0;
  uint32_t vertexCount = 0;

 private:
  // Both loaders: a texture through D3DXCreateTextureFromFileA, null for a null path.
  static IDirect3DTexture8* LoadTexture(const char* path);
  // Both loaders: the buffers for vertexCount vertices and faceCount triangles, or none
  // when either count is 0. What an earlier load made is dropped, not released: the demo
  // loads each mesh once, and the device may still hold the old buffers.
  void CreateBuffers();
};

// A .msh file's contents as LoadMsh puts them in the buffers: the vertices with their
// normals (zero without) and the coordinates the faces' corners give, and 3 indices per face.
struct MshContents {
  std::vector<MeshVertex> vertices;
  std::vector<WORD> indices;
};

// Reads the bytes of a .msh file into `out` by the loader's rules and returns null, or
// says what keeps them from loading (`out` is then incomplete).
const char* ParseMsh(const std::string& file, MshContents& out);
// What keeps the bytes of a .msh file from loading, or null when they load.
const char* MshProblem(const std::string& file);

// The meshes of the main sequence, defined with the demo's other globals.
extern Mesh g_cube1, g_cube2, g_cube3, g_cube4, g_cube5;
extern Mesh g_morph1, g_morph2, g_vellmoth;
