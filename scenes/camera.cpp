#include "scenes/camera.h"

#include "core/device_globals.h"

Camera::Camera()
    : eye{0.0f, 0.0f, 0.0f},
      at{0.0f, 0.0f, 0.0f},
      up{0.0f, 1.0f, 0.0f},
      fovY(0.7853982f),
      aspect(float(g_screenWidth) / float(g_screenHeight)),
      zNear(10.0f),
      zFar(10000.0f) {}

void Camera::SetEye(float x, float y, float z) {
  eye = {x, y, z};
}

void Camera::SetAt(float x, float y, float z) {
  at = {x, y, z};
}

void Camera::Apply() {
  D3DXMatrixLookAtLH(&view, &eye, &at, &up);
  D3DXMatrixPerspectiveFovLH(&projection, fovY, aspect, zNear, zFar);
  g_device->SetTransform(D3DTS_VIEW, &view);
  g_device->SetTransform(D3DTS_PROJECTION, &projection);
}
