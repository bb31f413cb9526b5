#include "effects/warp_grid.h"

#include <cmath>

#include "core/demo_clock.h"
#include "core/device_globals.h"
#include "mesh/additive_draw.h"
#include "render/d3dx_texture.h"

namespace {
// The cell table holds 100 vertices a side.
constexpr int kMaxCells = 99;
}  // namespace

void WarpGrid::Init(int columnCount, int rowCount, const char* texturePath) {
  if (columnCount < 1 || rowCount < 1 || columnCount > kMaxCells || rowCount > kMaxCells) return;

  width = float(g_screenWidth);
  height = float(g_screenHeight);
  cols = columnCount;
  rows = rowCount;
  vertexCount = (cols + 1) * (rows + 1);
  triangleCount = 2 * cols * rows;
  cellWidth = width / cols;
  cellHeight = height / rows;

  const UINT indexBytes = UINT(triangleCount * 3 * 2);
  g_device->CreateIndexBuffer(indexBytes, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED,
                              &indexBuffer);
  BYTE* data = nullptr;
  if (indexBuffer && SUCCEEDED(indexBuffer->Lock(0, indexBytes, &data, 0))) {
    WORD* index = reinterpret_cast<WORD*>(data);
    const int w = cols + 1;
    for (int r = 0; r < rows; ++r) {
      for (int c = 0; c < cols; ++c) {
        *index++ = WORD(r * w + c);
        *index++ = WORD(r * w + c + 1);
        *index++ = WORD((r + 1) * w + c);
        *index++ = WORD(r * w + c + 1);
        *index++ = WORD((r + 1) * w + c + 1);
        *index++ = WORD((r + 1) * w + c);
      }
    }
    indexBuffer->Unlock();
  }

  D3DXCreateTextureFromFileA(g_device, texturePath, &texture);

  const UINT vertexBytes = UINT(vertexCount * sizeof(WarpVertex));
  g_device->CreateVertexBuffer(vertexBytes, 0, kWarpVertexFormat, D3DPOOL_DEFAULT, &vertexBuffer);
  if (vertexBuffer && SUCCEEDED(vertexBuffer->Lock(0, vertexBytes, &data, 0))) {
    WarpVertex* vertex = reinterpret_cast<WarpVertex*>(data);
    for (int r = 0; r <= rows; ++r) {
      for (int c = 0; c <= cols; ++c, ++vertex) {
        vertex->x = c * cellWidth;
        vertex->y = r * cellHeight;
        vertex->z = 0.0f;
        vertex->rhw = 1.0f;
      }
    }
    vertexBuffer->Unlock();
  }

  MeasureFromCentre();
}

void WarpGrid::SetDepth(int newDepth) {
  depth = newDepth;
}

void WarpGrid::MeasureFromCentre() {
  if (!Built()) return;
  for (int r = 0; r <= rows; ++r) {
    for (int c = 0; c <= cols; ++c) {
      const double dc = c - cols / 2.0;
      const double dr = r - rows / 2.0;
      cells[r][c].distance = float(std::sqrt(dc * dc + dr * dr));
    }
  }
}

void WarpGrid::ResetTexCoords() {
  if (!Built()) return;
  for (int r = 0; r <= rows; ++r) {
    for (int c = 0; c <= cols; ++c) {
      WarpCell& cell = cells[r][c];
      cell.u = float(c) / float(cols);
      cell.v = float(r) / float(rows);
      cell.z = float(depth);
    }
  }
}

void WarpGrid::Wave(float ampU, float spanU, float ampV, float spanV, float speed) {
  if (!Built()) return;
  const float freqU = spanU / (cols + 1);
  const float freqV = spanV / (rows + 1);
  const float phase = float(ClockNow() * speed);
  // The u displacement depends on the row alone and the v displacement on the column
  // alone: one sine per row and one per column, instead of two per vertex.
  double sineOfRow[kMaxCells + 1];
  double sineOfColumn[kMaxCells + 1];
  for (int r = 0; r <= rows; ++r) sineOfRow[r] = std::sin(double(r * freqU + phase));
  for (int c = 0; c <= cols; ++c) sineOfColumn[c] = std::sin(double(c * freqV + phase));
  for (int r = 0; r <= rows; ++r) {
    for (int c = 0; c <= cols; ++c) {
      WarpCell& cell = cells[r][c];
      cell.u = float(cell.u + ampU * sineOfRow[r]);
      cell.v = float(cell.v + ampV * sineOfColumn[c]);
    }
  }
}

void WarpGrid::Swirl(float strength) {
  if (!Built()) return;
  const float cx = float(cols / 2);
  const float cy = float(rows / 2);
  for (int r = 0; r <= rows; ++r) {
    for (int c = 0; c <= cols; ++c) {
      WarpCell& cell = cells[r][c];
      float k = cx - cell.distance / 2;
      if (k < 0) k = 0;
      const float theta = k * strength;
      const double cosTheta = std::cos(double(theta));
      const double sinTheta = std::sin(double(theta));
      // Both divide by cols, and u takes its row offset from cx: square grids only
      // ever swirl, where the two agree.
      cell.u = float(((c - cx) * cosTheta + (r - cx) * sinTheta) / cols);
      cell.v = float(((r - cy) * cosTheta - (c - cy) * sinTheta) / cols);
    }
  }
}

void WarpGrid::Draw() {
  if (!Built()) return;
  BYTE* data = nullptr;
  if (SUCCEEDED(vertexBuffer->Lock(0, UINT(vertexCount * sizeof(WarpVertex)), &data, 0))) {
    WarpVertex* vertex = reinterpret_cast<WarpVertex*>(data);
    for (int r = 0; r <= rows; ++r) {
      for (int c = 0; c <= cols; ++c, ++vertex) {
        const WarpCell& cell = cells[r][c];
        vertex->diffuse = 0;
        vertex->z = cell.z;
        vertex->u = cell.u;
        vertex->v = cell.v;
      }
    }
    vertexBuffer->Unlock();
  }

  g_device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
  g_device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
  g_device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
  SetAdditiveTextureState(texture);

  g_device->SetVertexShader(kWarpVertexFormat);
  g_device->SetStreamSource(0, vertexBuffer, sizeof(WarpVertex));
  g_device->SetIndices(indexBuffer, 0);
  g_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, UINT(vertexCount), 0, UINT(triangleCount));

  g_device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
}
