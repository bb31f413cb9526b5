// The default models: every file reads as the demo reads it (.x through the demo's X
// parser, .msh through its .msh loader), generation is repeatable, and each model fits
// the placement calls the scenes make on it, checked in world space.
#include "tools/assets/models.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "mesh/mesh.h"
#include "render/d3dx_math.h"
#include "render/xfile.h"
#include "tests/test_files.h"

namespace {

namespace fs = std::filesystem;

const std::set<std::string> kExpectedFiles = {
    "kub.x",         "morph1.x",    "morph2.x",     "granbarr.x", "granstam.x", "vellmoth.msh",
    "alsten.msh",    "stenbox.msh", "stenbox2.msh", "rum.msh",    "pelare.msh", "rip.msh",
    "eldpinnar.msh", "eld.msh",     "mark.msh",     "himmel.msh", "huvud.msh",  "hatt.msh",
};
// The demo maps these at load time (from normals, or planar), so the file need not.
const std::set<std::string> kMappedAtLoad = {"stenbox.msh", "stenbox2.msh", "huvud.msh",
                                             "hatt.msh"};

const TempDir& Generated() {
  static const TempDir dir("models_a");
  static const bool written = WriteModels(dir.Path().string());
  EXPECT_TRUE(written);
  return dir;
}

struct Point {
  float x, y, z;
};

// A model as the demo ends up with it: positions, triangles, and per-vertex coordinates.
struct Loaded {
  uint32_t flags = 0;
  std::vector<Point> positions;
  std::vector<float> uvs;  // 2 per vertex, empty without coordinates
  std::vector<uint32_t> indices;
};

// The .msh file as the demo's loader reads it.
::testing::AssertionResult ReadMsh(const std::string& file, Loaded& out) {
  MshContents contents;
  if (const char* problem = ParseMsh(file, contents))
    return ::testing::AssertionFailure() << "the loader refuses it: " << problem;
  std::memcpy(&out.flags, file.data(), 4);
  // The generator writes the records and nothing after them.
  const size_t vertexSize = out.flags & 1 ? 24 : 12, faceSize = out.flags & 4 ? 36 : 12;
  if (file.size() !=
      12 + contents.vertices.size() * vertexSize + contents.indices.size() / 3 * faceSize)
    return ::testing::AssertionFailure() << "size " << file.size() << " does not match counts";
  for (const MeshVertex& v : contents.vertices) {
    out.positions.push_back({v.x, v.y, v.z});
    if (out.flags & 4) out.uvs.insert(out.uvs.end(), {v.u, v.v});
  }
  out.indices.assign(contents.indices.begin(), contents.indices.end());
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult ReadX(const std::string& file, Loaded& out) {
  XMesh mesh;
  if (!ParseXFile(file.data(), file.size(), mesh))
    return ::testing::AssertionFailure() << "the X parser refuses it";
  for (size_t i = 0; i + 2 < mesh.positions.size(); i += 3)
    out.positions.push_back({mesh.positions[i], mesh.positions[i + 1], mesh.positions[i + 2]});
  out.uvs = mesh.texcoords;
  out.indices = mesh.indices;
  return ::testing::AssertionSuccess();
}

Loaded Load(const std::string& name) {
  const std::string file = FileContents(Generated().Path() / name);
  Loaded model;
  const bool isX = name.ends_with(".x");
  EXPECT_TRUE(isX ? ReadX(file, model) : ReadMsh(file, model)) << name;
  return model;
}

struct Box {
  Point min{FLT_MAX, FLT_MAX, FLT_MAX}, max{-FLT_MAX, -FLT_MAX, -FLT_MAX};
  void Add(Point p) {
    min = {std::min(min.x, p.x), std::min(min.y, p.y), std::min(min.z, p.z)};
    max = {std::max(max.x, p.x), std::max(max.y, p.y), std::max(max.z, p.z)};
  }
  Point Center() const { return {(min.x + max.x) / 2, (min.y + max.y) / 2, (min.z + max.z) / 2}; }
};

// A point as a row vector times `m`.
Point Transform(const D3DXMATRIX& m, Point p) {
  const float(*r)[4] = m.m;
  return {p.x * r[0][0] + p.y * r[1][0] + p.z * r[2][0] + r[3][0],
          p.x * r[0][1] + p.y * r[1][1] + p.z * r[2][1] + r[3][1],
          p.x * r[0][2] + p.y * r[1][2] + p.z * r[2][2] + r[3][2]};
}

// Placement calls as Mesh::Scale, Mesh::Rotate and Mesh::Translate make them: each
// multiplies the world matrix on the right, so the first call applies first.
class Placement {
 public:
  Placement() { D3DXMatrixIdentity(&world_); }
  Placement& Scale(float s) {
    D3DXMATRIX m;
    return Then(*D3DXMatrixScaling(&m, s, s, s));
  }
  Placement& Rotate(float ax, float ay, float az) {
    D3DXMATRIX x, y, z;
    D3DXMatrixRotationX(&x, ax);
    D3DXMatrixRotationY(&y, ay);
    D3DXMatrixRotationZ(&z, az);
    return Then(x).Then(y).Then(z);
  }
  Placement& Translate(float x, float y, float z) {
    D3DXMATRIX m;
    return Then(*D3DXMatrixTranslation(&m, x, y, z));
  }
  Point Apply(Point p) const { return Transform(world_, p); }
  Box Bounds(const std::vector<Point>& points) const {
    Box box;
    for (const Point& p : points) box.Add(Apply(p));
    return box;
  }

 private:
  Placement& Then(const D3DXMATRIX& m) {
    D3DXMatrixMultiply(&world_, &world_, &m);
    return *this;
  }
  D3DXMATRIX world_;
};

Box ModelBounds(const Loaded& model) {
  return Placement().Bounds(model.positions);
}

// ------------------------------------------------------------------ files and formats

TEST(Models, WritesExactlyTheEighteenFilesTheDemoLoads) {
  std::set<std::string> written;
  for (const auto& entry : fs::directory_iterator(Generated().Path()))
    written.insert(entry.path().filename().string());
  EXPECT_EQ(written, kExpectedFiles);
  EXPECT_EQ(std::set<std::string>(ModelFiles().begin(), ModelFiles().end()), kExpectedFiles);
}

TEST(Models, EveryMshLoadsWithIndicesInRangeAndItsOwnCoordinatesWhenNeeded) {
  for (const std::string& name : kExpectedFiles) {
    if (!name.ends_with(".msh")) continue;
    const Loaded model = Load(name);
    EXPECT_FALSE(model.flags & 1) << name << ": normals are never used, so none are stored";
    EXPECT_EQ(bool(model.flags & 4), !kMappedAtLoad.contains(name)) << name;
    for (const float value : model.uvs) EXPECT_TRUE(std::isfinite(value)) << name;
  }
}

TEST(Models, EveryXFileParsesWithCoordinatesAndIndicesInRange) {
  for (const std::string& name : kExpectedFiles) {
    if (!name.ends_with(".x")) continue;
    const Loaded model = Load(name);
    ASSERT_FALSE(model.positions.empty()) << name;
    EXPECT_EQ(model.uvs.size(), model.positions.size() * 2) << name;
    for (const uint32_t index : model.indices) EXPECT_LT(index, model.positions.size()) << name;
  }
}

TEST(Models, XFilesUseTheStandardSeparators) {
  // Other X readers insist on ';' after every value and ',' between list items.
  const std::string cube = FileContents(Generated().Path() / "kub.x");
  EXPECT_EQ(cube.rfind("xof 0302txt 0032\n", 0), 0u);
  EXPECT_NE(cube.find("Mesh kub {\n 24;\n 50.0000;"), std::string::npos);
  EXPECT_NE(cube.find(" 3;0,1,3;,\n"), std::string::npos);
  EXPECT_NE(cube.find("MeshTextureCoords {\n  24;\n  0.0000;0.0000;,\n"), std::string::npos);
  EXPECT_NE(cube.find(";;\n }\n}\n"), std::string::npos);
}

TEST(Models, GenerationGivesTheSameBytesEveryRun) {
  const TempDir second("models_b");
  ASSERT_TRUE(WriteModels(second.Path().string()));
  for (const std::string& name : kExpectedFiles) {
    const std::string first = FileContents(Generated().Path() / name);
    EXPECT_FALSE(first.empty()) << name;
    EXPECT_TRUE(first == FileContents(second.Path() / name)) << name;
  }
}

TEST(Models, ReportsTheFileItCannotWrite) {
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(WriteModels("/nonexistent/emberhall/models"));
  const std::string message = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(message.find("kub.x"), std::string::npos) << message;
  EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
}

TEST(Models, SetStaysWithinItsShareOfTheDataBudget) {
  uintmax_t total = 0;
  for (const std::string& name : kExpectedFiles) total += fs::file_size(Generated().Path() / name);
  EXPECT_LT(total, 1024u * 1024u);
}

TEST(Models, TriangleCountsStayWithinWhatSoftwareRenderingAffords) {
  // Spruce parts are drawn 67 times a frame; the rest once or a few dozen times.
  const std::map<std::string, size_t> limits = {
      {"granbarr.x", 600}, {"granstam.x", 100}, {"mark.msh", 3000}, {"himmel.msh", 1000}};
  for (const std::string& name : kExpectedFiles) {
    const size_t limit = limits.contains(name) ? limits.at(name) : 2000;
    EXPECT_LE(Load(name).indices.size() / 3, limit) << name;
  }
}

// ------------------------------------------------------------------ shapes for placements

TEST(Models, CubeHasEdge100AroundTheOriginWithEachFaceMappedZeroToOne) {
  const Loaded cube = Load("kub.x");
  ASSERT_EQ(cube.positions.size(), 24u);
  EXPECT_EQ(cube.indices.size(), 36u);
  const Box box = ModelBounds(cube);
  for (const float value : {box.min.x, box.min.y, box.min.z}) EXPECT_FLOAT_EQ(value, -50);
  for (const float value : {box.max.x, box.max.y, box.max.z}) EXPECT_FLOAT_EQ(value, 50);
  for (size_t face = 0; face < 6; ++face) {
    std::set<std::pair<float, float>> corners;
    for (size_t v = face * 4; v < face * 4 + 4; ++v)
      corners.insert({cube.uvs[v * 2], cube.uvs[v * 2 + 1]});
    EXPECT_EQ(corners, (std::set<std::pair<float, float>>{{0, 0}, {0, 1}, {1, 0}, {1, 1}}));
  }
}

TEST(Models, SpruceStands500To600TallFromTheGroundWithin170OfItsAxis) {
  const Loaded needles = Load("granbarr.x"), trunk = Load("granstam.x");
  const Box box = ModelBounds(needles);
  EXPECT_GE(box.min.y, 0);
  EXPECT_GE(box.max.y, 500);
  EXPECT_LE(box.max.y, 600);
  for (const Point& p : needles.positions) EXPECT_LE(std::hypot(p.x, p.z), 170);
  const Box stem = ModelBounds(trunk);
  EXPECT_LE(stem.min.y, 0);
  EXPECT_LT(stem.max.y, box.max.y);
}

TEST(Models, GroundCoversTheMazeWithGentleRelief) {
  const Box world = Placement().Scale(2).Rotate(-1.57075f, 0, 0).Bounds(Load("mark.msh").positions);
  EXPECT_LE(world.min.x, -1100);
  EXPECT_GE(world.max.x, 1100);
  EXPECT_LE(world.min.z, -1100);
  EXPECT_GE(world.max.z, 1100);
  EXPECT_GT(world.min.y, -10);
  EXPECT_LT(world.max.y, 10);
}

TEST(Models, SkyDomeSurroundsTheGladeInsideTheFarPlane) {
  const Loaded sky = Load("himmel.msh");
  float nearest = FLT_MAX, farthest = 0, highest = -FLT_MAX, lowest = FLT_MAX;
  for (const Point& p : sky.positions) {
    const float distance = 2 * std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);  // at scale 2
    nearest = std::min(nearest, distance);
    farthest = std::max(farthest, distance);
    highest = std::max(highest, p.y);
    lowest = std::min(lowest, p.y);
  }
  EXPECT_GT(nearest, 2000);           // well past the ground's edge at 1200
  EXPECT_LT(farthest + 1000, 10000);  // a camera within 1000 of the origin sees it all
  EXPECT_GT(highest, 0);
  EXPECT_LT(lowest, 0);  // reaches below the horizon
}

TEST(Models, FireRisesFromTheGroundAfterItsTurn) {
  const Box world = Placement()
                        .Scale(1.25f)
                        .Translate(-100, 0, 0)
                        .Rotate(-1.57075f, 0, 0)
                        .Bounds(Load("eld.msh").positions);
  EXPECT_NEAR(world.min.y, 0, 1);
  EXPECT_GE(world.max.y, 40);
  EXPECT_LE(world.max.y, 100);
  EXPECT_NEAR(world.Center().x, -100, 10);
}

TEST(Models, SticksLieOnTheGroundAfterTheirTurn) {
  const Box world = Placement()
                        .Rotate(-1.07075f, 0, 0)
                        .Translate(-80, 0, -50)
                        .Bounds(Load("eldpinnar.msh").positions);
  EXPECT_GE(world.min.y, -0.5f);
  EXPECT_LE(world.max.y, 15);
  EXPECT_GE(world.max.x - world.min.x, 30);  // sticks, not a heap of chips
}

// The figure group of the forest around its reference point (20, 80, 50).
struct Figure {
  Box hat, head, body;
};

Figure PlaceFigure(const std::vector<Point>& body) {
  Figure figure;
  figure.hat = Placement().Scale(0.9f).Translate(0, 103, 35).Bounds(Load("hatt.msh").positions);
  figure.head = Placement().Scale(0.7f).Translate(16, 60, -4).Bounds(Load("huvud.msh").positions);
  figure.body = Placement().Scale(0.9f).Rotate(0, 1.57075f, 0).Translate(-80, 80, 50).Bounds(body);
  return figure;
}

bool InsideXZ(Point p, const Box& box) {
  return p.x > box.min.x && p.x < box.max.x && p.z > box.min.z && p.z < box.max.z;
}

TEST(Models, HatSitsOnTheHeadAndTheHeadOnTheBodyInEveryMorph) {
  const Loaded from = Load("morph2.x"), to = Load("morph1.x");
  ASSERT_EQ(from.positions.size(), to.positions.size());
  // The figure scenes blend from morph2 to morph1 by -0.1 .. 1.1.
  for (const float weight : {-0.1f, 0.0f, 0.5f, 1.0f, 1.1f}) {
    std::vector<Point> body;
    for (size_t i = 0; i < from.positions.size(); ++i) {
      const Point a = from.positions[i], b = to.positions[i];
      body.push_back(
          {a.x + (b.x - a.x) * weight, a.y + (b.y - a.y) * weight, a.z + (b.z - a.z) * weight});
    }
    const Figure f = PlaceFigure(body);
    const Point head = f.head.Center();
    EXPECT_TRUE(InsideXZ(head, f.hat)) << weight;
    EXPECT_TRUE(InsideXZ(head, f.body)) << weight;
    EXPECT_LE(f.hat.min.y, f.head.max.y) << weight;   // the hat touches the head...
    EXPECT_GT(f.hat.min.y, head.y) << weight;         // ...from above
    EXPECT_GE(f.body.max.y, f.head.min.y) << weight;  // the body touches the head...
    EXPECT_LT(f.body.max.y, head.y) << weight;        // ...from below
    EXPECT_GT(f.body.min.y, -5) << weight;            // and stands no lower than the ground
  }
}

TEST(Models, HeadFillsTheFaceImageAndTheHatLiesUnderItsImage) {
  // The head's image spans model x, y in -20..20; the hat's x 0..65, z -15..45.
  const Box head = ModelBounds(Load("huvud.msh")), hat = ModelBounds(Load("hatt.msh"));
  EXPECT_NEAR(head.min.x, -20, 2);
  EXPECT_NEAR(head.max.x, 20, 2);
  EXPECT_NEAR(head.min.y, -20, 2);
  EXPECT_NEAR(head.max.y, 20, 2);
  EXPECT_GT(hat.max.x, 32.5f);
  EXPECT_GE(hat.min.z, -15);
  EXPECT_LE(hat.max.z, 45);
}

TEST(Models, MorphTargetsCorrespondVertexByVertex) {
  const Loaded stone = Load("morph1.x"), boulder = Load("morph2.x");
  EXPECT_EQ(stone.positions.size(), boulder.positions.size());
  EXPECT_EQ(stone.indices, boulder.indices);
  EXPECT_EQ(stone.uvs, boulder.uvs);
  bool differ = false;
  for (size_t i = 0; i < stone.positions.size(); ++i)
    differ = differ || std::memcmp(&stone.positions[i], &boulder.positions[i], sizeof(Point)) != 0;
  EXPECT_TRUE(differ) << "the two shapes must differ for the figure to morph";
}

TEST(Models, VellmothEchoesStayOnScreenThroughTheirSwing) {
  const Loaded moth = Load("vellmoth.msh");
  const Box box = ModelBounds(moth);
  EXPECT_GE(box.max.y - box.min.y, 60);
  EXPECT_LE(box.max.y - box.min.y, 90);
  D3DXMATRIX view, projection;
  const D3DXVECTOR3 eye{0, 0, 500}, at{0, 0, 0}, up{0, 1, 0};
  D3DXMatrixLookAtLH(&view, &eye, &at, &up);
  D3DXMatrixPerspectiveFovLH(&projection, 0.7853982f, 800.0f / 600.0f, 10, 10000);
  const float copies[3][2] = {{0, 2.0f}, {40, 2.2f}, {100, 2.4f}};
  for (const auto& [z, scale] : copies) {
    for (const float swing : {-1.0f, 0.0f, 1.0f}) {  // sin(2T) at its extremes and middle
      const Placement place = Placement()
                                  .Translate(-150, 0, z)
                                  .Scale(scale)
                                  .Rotate(0, swing * 0.525f + 3.1415f, swing * 0.1f);
      for (const Point& p : moth.positions) {
        const Point camera = Transform(view, place.Apply(p));
        ASSERT_GT(camera.z, 10);
        const float ndcX = camera.x * projection.m[0][0] / camera.z;
        const float ndcY = camera.y * projection.m[1][1] / camera.z;
        EXPECT_LT(std::fabs(ndcX), 1) << z << " " << swing;
        EXPECT_LT(std::fabs(ndcY), 1) << z << " " << swing;
      }
    }
  }
}

TEST(Models, PillarsAndBlocksStackFromPillarTopToTheFloor) {
  // One side row's step: a pillar at height 120 and blocks at 0 and -20, all turned
  // +1.570775 about x, over the brick floor near -30.
  const Loaded pillar = Load("pelare.msh"), block = Load("stenbox.msh");
  auto placed = [](const Loaded& model, float y) {
    return Placement().Rotate(1.570775f, 0, 0).Translate(-90, y, 0).Bounds(model.positions);
  };
  const Box top = placed(pillar, 120), upper = placed(block, 0), lower = placed(block, -20);
  EXPECT_NEAR(top.max.y, 120, 1);
  EXPECT_NEAR(top.min.y, upper.max.y, 2);
  EXPECT_NEAR(upper.min.y, lower.max.y, 2);
  EXPECT_NEAR(lower.min.y, -30, 2);
}

TEST(Models, AltarSlabStandsOnTheFloorUnderTheCross) {
  const Box slab = Placement()
                       .Rotate(1.570775f, 3.1415f, 0)
                       .Translate(0, 0, 100)
                       .Bounds(Load("stenbox2.msh").positions);
  const Box cross = Placement().Scale(0.6f).Translate(0, -10, 80).Bounds(Load("rip.msh").positions);
  EXPECT_NEAR(slab.min.y, -30, 2);
  EXPECT_NEAR(cross.min.y, slab.max.y, 3);
  EXPECT_TRUE(InsideXZ(cross.Center(), slab));
  EXPECT_LT(cross.max.y, 40 - 3);  // the inner orbit's eye at height 40 passes over it
}

TEST(Models, RingStoneCirclesTheCrossingOfTheCross) {
  const Box ring = Placement()
                       .Scale(0.2f)
                       .Rotate(0, 1.570775f, 0)
                       .Translate(0, 20, 80)
                       .Bounds(Load("alsten.msh").positions);
  const Point center = ring.Center();
  EXPECT_NEAR(center.x, 0, 1.5f);
  EXPECT_NEAR(center.y, 20, 1.5f);
  EXPECT_NEAR(center.z, 80, 1.5f);
  EXPECT_LT(ring.max.z - ring.min.z, ring.max.x - ring.min.x);  // facing along the aisle
}

TEST(Models, HallCopiesMeetAtOneSeamAndSpanTheSameLength) {
  const Loaded hall = Load("rum.msh");
  const Box upright = Placement().Scale(4).Translate(0, 180, -600).Bounds(hall.positions);
  const Box flipped =
      Placement().Scale(4).Rotate(3.1415f, 0, 0).Translate(0, -280, 400).Bounds(hall.positions);
  EXPECT_NEAR(upright.min.y, -50, 1);
  EXPECT_NEAR(flipped.max.y, -50, 1);
  EXPECT_NEAR(upright.min.z, flipped.min.z, 2);
  EXPECT_NEAR(upright.max.z, flipped.max.z, 2);
  // It surrounds both camera orbits (radius 150) and the side rows at x = +-90.
  EXPECT_LT(upright.min.x, -200);
  EXPECT_GT(upright.max.x, 200);
  EXPECT_LT(upright.min.z, -300);
  EXPECT_GT(upright.max.z, 300);
}

}  // namespace
