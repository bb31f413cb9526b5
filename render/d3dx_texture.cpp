#include "render/d3dx_texture.h"

#include <string>

#include "platform/data_path.h"
#include "render/bmp.h"
#include "render/gl_profile.h"
#include "render/render_internal.h"

HRESULT D3DXCreateTextureFromFileA(IDirect3DDevice8* device, const char* path,
                                   IDirect3DTexture8** texture) {
  if (!texture) return D3DERR_INVALIDCALL;
  *texture = nullptr;
  std::string file;
  Image image;
  // A picture the GL cannot hold is refused before its pixels are decoded.
  GLint maxSide = 0;
  if (device) glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
  const bool loaded =
      device && path && ReadDataFile(path, file) &&
      DecodeBmp(reinterpret_cast<const uint8_t*>(file.data()), file.size(), image, maxSide);
  if (loaded)
    *texture = new IDirect3DTexture8(device, image.width, image.height, image.rgba.data(),
                                     RenderInternals::NextName(*device, "tex"));
  if (CallRecorder* recorder = g_renderSwitches.recorder)
    recorder->Record("D3DXCreateTextureFromFileA", path ? path : "null",
                     *texture ? (*texture)->Name() : "null");
  return loaded ? D3D_OK : D3DXERR_INVALIDDATA;
}
