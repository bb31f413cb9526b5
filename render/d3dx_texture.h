// D3DXCreateTextureFromFileA over BMP files.
//
// The path goes through the data-file lookup (backslashes, any letter case). The texture
// keeps the image's size and gets a full mip chain; 24-bit and palettised images sample
// alpha 1. A file that is missing, truncated or not a BMP, or a picture larger than the
// GL's GL_MAX_TEXTURE_SIZE, leaves *texture null.
#pragma once

#include "render/d3d8.h"

HRESULT D3DXCreateTextureFromFileA(IDirect3DDevice8* device, const char* path,
                                   IDirect3DTexture8** texture);
