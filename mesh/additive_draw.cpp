#include "mesh/additive_draw.h"

#include "core/device_globals.h"

void SetAdditiveTextureState(IDirect3DTexture8* texture) {
  g_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
  g_device->SetTexture(0, texture);
  g_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
  g_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
  g_device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  g_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
}
