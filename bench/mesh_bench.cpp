// What meshes cost: smooth normals, .msh and .x loading at start-up (the default .x models in
// every encoding), one morph draw per frame.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "bench/bench_device.h"
#include "effects/morph_mesh.h"
#include "mesh/mesh.h"
#include "render/xfile.h"
#include "tests/kept_objects.h"
#include "tests/test_files.h"
#include "tools/assets/models.h"
#include "tools/assets/x_binary_writer.h"

namespace {

// A .msh grid of `columns` by `rows` cells, two triangles each, with normals and texture
// coordinates (flags 5), lifted by `height`, written to a temporary file the caller removes.
std::string GridFile(int columns, int rows, float height) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() /
      ("emberhall_bench_" + std::to_string(getpid()) + "_" + std::to_string(columns) + "x" +
       std::to_string(rows) + "_" + std::to_string(int(height)) + ".msh");
  std::string bytes;
  const uint32_t header[3] = {5, uint32_t((columns + 1) * (rows + 1)),
                              uint32_t(2 * columns * rows)};
  for (uint32_t field : header) Put32(bytes, field);
  for (int y = 0; y <= rows; ++y)
    for (int x = 0; x <= columns; ++x) {
      const float v[6] = {float(x), float(y), height + float((x * y) % 7), 0, 0, 1};
      for (float f : v) PutFloat(bytes, f);
    }
  for (int y = 0; y < rows; ++y)
    for (int x = 0; x < columns; ++x) {
      const uint32_t a = uint32_t(y * (columns + 1) + x), b = a + 1;
      const uint32_t c = a + uint32_t(columns + 1), d = c + 1;
      const uint32_t faces[2][3] = {{a, b, d}, {a, d, c}};
      for (const auto& face : faces) {
        for (uint32_t index : face) Put32(bytes, index);
        for (uint32_t index : face) {
          const float uv[2] = {float(index % 13) / 13, float(index % 17) / 17};
          PutFloat(bytes, uv[0]);
          PutFloat(bytes, uv[1]);
        }
      }
    }
  FILE* file = std::fopen(path.c_str(), "wb");
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  return path.string();
}

void ReleaseMesh(Mesh& mesh) {
  if (mesh.vertexBuffer) mesh.vertexBuffer->Release();
  if (mesh.indexBuffer) mesh.indexBuffer->Release();
}

// 100 by 100 cells: 10,201 vertices, 20,000 faces.
void BM_ComputeSmoothNormals(benchmark::State& state) {
  EnsureBenchDevice();
  const std::string path = GridFile(100, 100, 0);
  Mesh mesh;
  mesh.LoadMsh(path.c_str(), nullptr, nullptr);
  std::filesystem::remove(path);
  for (auto _ : state) mesh.ComputeSmoothNormals();
  state.SetItemsProcessed(state.iterations() * mesh.faceCount);
  ReleaseMesh(mesh);
}
BENCHMARK(BM_ComputeSmoothNormals)->Unit(benchmark::kMillisecond);

// 250 by 100 cells: 25,351 vertices, 50,000 triangles, 2.4 MB.
void BM_LoadMsh(benchmark::State& state) {
  EnsureBenchDevice();
  const std::string path = GridFile(250, 100, 0);
  for (auto _ : state) {
    Mesh mesh;
    mesh.LoadMsh(path.c_str(), nullptr, nullptr);
    state.PauseTiming();
    ReleaseMesh(mesh);
    state.ResumeTiming();
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_LoadMsh)->Unit(benchmark::kMillisecond);

// 256 nested frames around 40,000 empty meshes and one triangle: a 400 KB file whose cost
// is in composing the frames' matrices.
void BM_ParseDeepFramesManyMeshes(benchmark::State& state) {
  std::string text = "xof 0302txt 0032\n";
  for (int i = 0; i < 256; ++i)
    text += "Frame{FrameTransformMatrix{1,0,0,0,0,1,0,0,0,0,1,0,1,0,0,1;;}\n";
  for (int i = 0; i < 40000; ++i) text += "Mesh{0;0;}";
  text += "Mesh{3;0;0;0;,1;0;0;,0;1;0;;1;3;0,1,2;;}";
  for (int i = 0; i < 256; ++i) text += "}";
  for (auto _ : state) {
    XMesh mesh;
    if (!ParseXFile(text.data(), text.size(), mesh)) state.SkipWithError("refused");
  }
  state.SetBytesProcessed(int64_t(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseDeepFramesManyMeshes)->Unit(benchmark::kMillisecond);

// A mesh claiming four billion vertices in a few bytes: refused from the count, before
// anything is sized from it.
void BM_RefuseAbsurdCount(benchmark::State& state) {
  const std::string text = "xof 0302txt 0032\nMesh { 4000000000; 0;0;0;; 1; 3;0,0,0;; }";
  for (auto _ : state) {
    XMesh mesh;
    if (ParseXFile(text.data(), text.size(), mesh)) state.SkipWithError("accepted");
  }
}
BENCHMARK(BM_RefuseAbsurdCount)->Unit(benchmark::kMicrosecond);

// The default .x models, each in the six forms XFileForms makes, made on first use.
const std::vector<std::pair<std::string, std::vector<XFileForm>>>& XModelForms() {
  static const auto forms = [] {
    std::vector<std::pair<std::string, std::vector<XFileForm>>> all;
    for (const char* name : ModelFiles())
      if (std::string_view(name).ends_with(".x"))
        all.emplace_back(name, XFileForms(ModelBytes(name)));
    return all;
  }();
  return forms;
}

const XFileForm& FormOf(benchmark::State& state) {
  const auto& [name, forms] = XModelForms()[size_t(state.range(0))];
  const XFileForm& form = forms[size_t(state.range(1))];
  state.SetLabel(name + " " + form.name + ", " + std::to_string(form.bytes.size()) + " bytes");
  return form;
}

// Arguments: which model (0 to 4, in ModelFiles order) and which form (txt, bin32, bin64,
// tzip, bzip32, bzip64).
void XModelArguments(benchmark::internal::Benchmark* b) {
  b->ArgsProduct({benchmark::CreateDenseRange(0, 4, 1), benchmark::CreateDenseRange(0, 5, 1)});
}

// The loader alone, from memory: header, decompression, tokens, merged mesh.
void BM_ParseX(benchmark::State& state) {
  const XFileForm& form = FormOf(state);
  for (auto _ : state) {
    XMesh mesh;
    if (!ParseXFile(form.bytes.data(), form.bytes.size(), mesh)) state.SkipWithError("refused");
    benchmark::DoNotOptimize(mesh.indices.data());
  }
}
BENCHMARK(BM_ParseX)->Apply(XModelArguments)->Unit(benchmark::kMicrosecond);

// What the demo pays: Mesh::LoadX from a file, with the clone, the computed normals and the
// buffers.
void BM_LoadX(benchmark::State& state) {
  EnsureBenchDevice();
  const XFileForm& form = FormOf(state);
  const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                     ("emberhall_bench_" + std::to_string(getpid()) + ".x");
  FILE* file = std::fopen(path.c_str(), "wb");
  std::fwrite(form.bytes.data(), 1, form.bytes.size(), file);
  std::fclose(file);
  for (auto _ : state) {
    Mesh mesh;
    mesh.LoadX(path.c_str(), nullptr, nullptr);
    if (mesh.faceCount == 0) state.SkipWithError("refused");
    state.PauseTiming();
    ReleaseMesh(mesh);
    state.ResumeTiming();
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_LoadX)->Apply(XModelArguments)->Unit(benchmark::kMicrosecond);

// 40 by 50 vertices: 2,000 vertices blended and drawn (the GPU's share runs behind).
void BM_DrawMorph(benchmark::State& state) {
  EnsureBenchDevice();
  const std::string fromPath = GridFile(39, 49, 0), toPath = GridFile(39, 49, 10);
  Mesh from, to;
  from.LoadMsh(fromPath.c_str(), nullptr, nullptr);
  to.LoadMsh(toPath.c_str(), nullptr, nullptr);
  std::filesystem::remove(fromPath);
  std::filesystem::remove(toPath);
  MorphMesh morph;
  morph.Init(from);
  KeptObjects kept;  // released when the benchmark ends
  kept.Keep(from);
  kept.Keep(to);
  kept.Keep(morph);
  float weight = 0;
  for (auto _ : state) {
    morph.Rotate(0, 1.57075f, 0);
    morph.DrawMorph(from, to, weight, 1000);
    weight = weight < 1100 ? weight + 1 : -100;
  }
  state.SetItemsProcessed(state.iterations() * morph.vertexCount);
}
BENCHMARK(BM_DrawMorph)->Unit(benchmark::kMicrosecond);

}  // namespace
