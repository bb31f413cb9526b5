// One frame's warp-grid work at the demo's heaviest: three 20x20 grids and two 10x10
// grids reset, distorted and drawn, with the distortions the schedule gives them.
// TablesOnly is the CPU part the demo owns (reset and distortions); WithDraw adds the
// upload into the vertex buffers and the draw calls (the driver's work included);
// PresentedFrame clears, draws the five grids and presents, so llvmpipe rasterises.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "bench/bench_device.h"
#include "core/demo_clock.h"
#include "effects/warp_grid.h"

namespace {

void Put16(std::string& out, uint32_t v) {
  out += char(v & 255), out += char(v >> 8 & 255);
}
void Put32(std::string& out, uint32_t v) {
  Put16(out, v & 0xFFFF), Put16(out, v >> 16);
}

// A 64x64 24-bit BMP with a colour ramp, written to a fresh temporary directory.
std::string WriteTexture() {
  constexpr int kSide = 64;
  std::string bmp = "BM";
  Put32(bmp, 54 + kSide * kSide * 3), Put32(bmp, 0), Put32(bmp, 54);
  Put32(bmp, 40), Put32(bmp, kSide), Put32(bmp, kSide), Put16(bmp, 1), Put16(bmp, 24);
  for (int i = 0; i < 6; ++i) Put32(bmp, 0);
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) bmp += char(x * 4), bmp += char(y * 4), bmp += char(64);
  char pattern[] = "/tmp/emberhall_bench_XXXXXX";
  const std::string path = std::string(mkdtemp(pattern)) + "/warp.bmp";
  FILE* file = std::fopen(path.c_str(), "wb");
  std::fwrite(bmp.data(), 1, bmp.size(), file);
  std::fclose(file);
  return path;
}

void EnsureGrids() {
  static bool built = false;
  if (built) return;
  built = true;
  EnsureBenchDevice();
  const std::string path = WriteTexture();
  for (WarpGrid* grid : {&g_grayWarpA, &g_grayWarpB, &g_tex3Warp}) grid->Init(20, 20, path.c_str());
  for (WarpGrid* grid : {&g_tex2WarpA, &g_tex2WarpB}) grid->Init(10, 10, path.c_str());
  for (WarpGrid* grid : {&g_tex3Warp, &g_tex2WarpA, &g_tex2WarpB, &g_grayWarpA, &g_grayWarpB})
    grid->SetDepth(5000);
  std::filesystem::remove_all(std::filesystem::path(path).parent_path());
}

// The distortions of the grey-wave and the swirl-and-wave steps of the schedule.
void DistortGrids() {
  g_grayWarpA.ResetTexCoords();
  g_grayWarpB.ResetTexCoords();
  g_grayWarpA.Wave(0.3f, 2.0f, 0.2f, 3.0f, 1.0f);
  g_grayWarpA.Wave(0.2f, 1.0f, 0.1f, 2.0f, 0.6f);
  g_grayWarpB.Wave(0.3f, 2.0f, 0.2f, 4.0f, 0.5f);
  g_tex3Warp.ResetTexCoords();
  g_tex2WarpA.ResetTexCoords();
  g_tex2WarpB.ResetTexCoords();
  g_tex3Warp.Swirl(float(std::sin(ClockNow()) / 3));
  g_tex2WarpA.Wave(0.3f, 2.0f, 0.2f, 3.0f, 1.0f);
  g_tex2WarpB.Wave(0.2f, 3.0f, 0.3f, 2.0f, 0.6f);
}

void DrawGrids() {
  g_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  for (WarpGrid* grid : {&g_grayWarpA, &g_grayWarpB, &g_tex3Warp, &g_tex2WarpA, &g_tex2WarpB})
    grid->Draw();
  g_device->SetRenderState(D3DRS_CULLMODE, 0);
}

void BM_WarpGridFrameTablesOnly(benchmark::State& state) {
  EnsureGrids();
  for (auto _ : state) {
    DistortGrids();
    benchmark::DoNotOptimize(g_tex3Warp.cells);
  }
}
BENCHMARK(BM_WarpGridFrameTablesOnly);

void BM_WarpGridFrameWithDraw(benchmark::State& state) {
  EnsureGrids();
  for (auto _ : state) {
    DistortGrids();
    DrawGrids();
  }
}
BENCHMARK(BM_WarpGridFrameWithDraw);

void BM_WarpGridPresentedFrame(benchmark::State& state) {
  EnsureGrids();
  for (auto _ : state) {
    BeginFrame();
    DistortGrids();
    DrawGrids();
    EndFrame();
  }
}
BENCHMARK(BM_WarpGridPresentedFrame)->Unit(benchmark::kMillisecond);

}  // namespace
