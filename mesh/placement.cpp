#include "mesh/placement.h"

void PlaceRotate(D3DXMATRIX& world, float ax, float ay, float az) {
  D3DXMATRIX rotation, step;
  D3DXMatrixIdentity(&rotation);
  D3DXMatrixMultiply(&rotation, &rotation, D3DXMatrixRotationX(&step, ax));
  D3DXMatrixMultiply(&rotation, &rotation, D3DXMatrixRotationY(&step, ay));
  D3DXMatrixMultiply(&rotation, &rotation, D3DXMatrixRotationZ(&step, az));
  D3DXMatrixMultiply(&world, &world, &rotation);
}

void PlaceTranslate(D3DXMATRIX& world, float x, float y, float z) {
  D3DXMATRIX translation;
  D3DXMatrixMultiply(&world, &world, D3DXMatrixTranslation(&translation, x, y, z));
}

void PlaceScale(D3DXMATRIX& world, float s) {
  D3DXMATRIX scaling;
  D3DXMatrixMultiply(&world, &world, D3DXMatrixScaling(&scaling, s, s, s));
}
