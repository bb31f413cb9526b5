// A viewpoint and a perspective lens, handed to the device as its view and projection.
//
// The timeline aims a camera with SetEye and SetAt, then Apply builds both matrices from
// the current fields and sets them on g_device: view first, then projection. Nothing is
// cached, so applying an unchanged camera again is harmless. The lens (field of view,
// aspect, near and far planes) is fixed at construction; the aspect ratio is read from
// the screen size then, before WinMain runs.
//
// Not here: camera paths (the timeline computes them), the world transform.
#pragma once

#include "render/d3dx_math.h"

class Camera {
 public:
  Camera();

  void SetEye(float x, float y, float z);
  void SetAt(float x, float y, float z);
  // Builds view and projection from the fields and sets them on g_device, in that order.
  void Apply();

  D3DXVECTOR3 eye;
  D3DXVECTOR3 at;
  D3DXVECTOR3 up;
  float fovY;  // radians, vertical
  float aspect;
  float zNear;
  float zFar;
  // The matrices Apply last built; their contents are undefined before the first Apply.
  D3DXMATRIX projection;
  D3DXMATRIX view;
};

// Applied first thing in every frame, so that every frame has a defined view.
extern Camera g_defaultCamera;
// Re-aimed and applied by the timeline before each perspective scene.
extern Camera g_camera;
