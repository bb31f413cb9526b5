// The camera: its lens at construction and the matrices Apply hands to the device.
#include "scenes/camera.h"

#include <gtest/gtest.h>

#include "render/tool_switches.h"
#include "tests/gl_test.h"

namespace {

void ExpectMatrixEq(const D3DMATRIX& actual, const D3DMATRIX& expected) {
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c)
      EXPECT_FLOAT_EQ(actual.m[r][c], expected.m[r][c]) << "row " << r << ", column " << c;
}

D3DMATRIX LookAt(D3DXVECTOR3 eye, D3DXVECTOR3 at) {
  const D3DXVECTOR3 up{0, 1, 0};
  D3DMATRIX view;
  D3DXMatrixLookAtLH(&view, &eye, &at, &up);
  return view;
}

D3DMATRIX DemoLens() {
  D3DMATRIX projection;
  D3DXMatrixPerspectiveFovLH(&projection, 0.7853982f, 800.0f / 600.0f, 10, 10000);
  return projection;
}

D3DMATRIX DeviceTransform(D3DTRANSFORMSTATETYPE type) {
  D3DMATRIX m;
  g_device->GetTransform(type, &m);
  return m;
}

TEST(CameraConstructionTest, LooksFromTheOriginAtTheOriginWithTheDemoLens) {
  const Camera camera;
  EXPECT_EQ(camera.eye.x, 0.0f);
  EXPECT_EQ(camera.eye.y, 0.0f);
  EXPECT_EQ(camera.eye.z, 0.0f);
  EXPECT_EQ(camera.at.x, 0.0f);
  EXPECT_EQ(camera.at.y, 0.0f);
  EXPECT_EQ(camera.at.z, 0.0f);
  EXPECT_EQ(camera.up.x, 0.0f);
  EXPECT_EQ(camera.up.y, 1.0f);
  EXPECT_EQ(camera.up.z, 0.0f);
  EXPECT_EQ(camera.fovY, 0.7853982f);
  EXPECT_EQ(camera.aspect, 1.3333334f);
  EXPECT_EQ(camera.zNear, 10.0f);
  EXPECT_EQ(camera.zFar, 10000.0f);
}

TEST(CameraConstructionTest, TakesTheAspectRatioOnceWhenConstructed) {
  const Camera before;
  const int32_t width = g_screenWidth, height = g_screenHeight;
  g_screenWidth = 1000;
  g_screenHeight = 500;
  const Camera during;
  g_screenWidth = width;
  g_screenHeight = height;
  EXPECT_EQ(before.aspect, 1.3333334f);
  EXPECT_EQ(during.aspect, 2.0f);
}

TEST(CameraConstructionTest, SetEyeAndSetAtOnlyStoreThePoints) {
  Camera camera;
  camera.SetEye(1, 2, 3);
  camera.SetAt(-4, 5, -6);
  EXPECT_EQ(camera.eye.x, 1.0f);
  EXPECT_EQ(camera.eye.y, 2.0f);
  EXPECT_EQ(camera.eye.z, 3.0f);
  EXPECT_EQ(camera.at.x, -4.0f);
  EXPECT_EQ(camera.at.y, 5.0f);
  EXPECT_EQ(camera.at.z, -6.0f);
  EXPECT_EQ(camera.up.y, 1.0f);
  EXPECT_EQ(camera.fovY, 0.7853982f);
}

// Every case sets both transforms itself, so the suite shares one device.
class CameraApplyTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ResetWindowSystem();
    InitDevice(CreateDemoWindow());
  }
  static void TearDownTestSuite() {
    ShutdownDemo();
    ResetWindowSystem();
  }
  void SetUp() override { ASSERT_NE(g_device, nullptr); }
  void TearDown() override { g_renderSwitches.recorder = nullptr; }
};

TEST_F(CameraApplyTest, HandsTheViewAndThenTheProjectionToTheDevice) {
  Camera camera;
  camera.SetEye(200, 0, 50);
  camera.SetAt(0, 0, 0);
  CallRecorder recorder;
  g_renderSwitches.recorder = &recorder;
  camera.Apply();
  g_renderSwitches.recorder = nullptr;
  // The record carries each matrix after the transform type.
  ASSERT_EQ(recorder.Calls().size(), 2u);
  EXPECT_EQ(recorder.Calls()[0].rfind("SetTransform(2, ", 0), 0u);
  EXPECT_EQ(recorder.Calls()[1].rfind("SetTransform(3, ", 0), 0u);
}

TEST_F(CameraApplyTest, DefaultCameraStartUpValuesGiveItsViewAndTheDemoLens) {
  Camera camera;
  camera.SetEye(200, 0, 50);
  camera.SetAt(0, 0, 0);
  camera.Apply();
  ExpectMatrixEq(DeviceTransform(D3DTS_VIEW), LookAt({200, 0, 50}, {0, 0, 0}));
  ExpectMatrixEq(DeviceTransform(D3DTS_PROJECTION), DemoLens());
  ExpectMatrixEq(camera.view, LookAt({200, 0, 50}, {0, 0, 0}));
  ExpectMatrixEq(camera.projection, DemoLens());
}

TEST_F(CameraApplyTest, SceneCameraStartUpValuesGiveItsViewAndTheSameLens) {
  Camera camera;
  camera.SetEye(0, 1000, -2000);
  camera.SetAt(0, 0, 0);
  camera.Apply();
  ExpectMatrixEq(DeviceTransform(D3DTS_VIEW), LookAt({0, 1000, -2000}, {0, 0, 0}));
  ExpectMatrixEq(DeviceTransform(D3DTS_PROJECTION), DemoLens());
}

TEST_F(CameraApplyTest, SecondApplyReplacesTheFirstCamerasView) {
  Camera first, second;
  first.SetEye(200, 0, 50);
  second.SetEye(0, 0, 500);
  first.Apply();
  second.Apply();
  ExpectMatrixEq(DeviceTransform(D3DTS_VIEW), LookAt({0, 0, 500}, {0, 0, 0}));
  ExpectMatrixEq(DeviceTransform(D3DTS_PROJECTION), DemoLens());
}

TEST_F(CameraApplyTest, ApplyRebuildsFromTheFieldsEveryTime) {
  Camera camera;
  camera.SetEye(200, 0, 50);
  camera.Apply();
  camera.SetEye(0, 80, 150);
  camera.SetAt(0, 0, 100);
  camera.Apply();
  ExpectMatrixEq(DeviceTransform(D3DTS_VIEW), LookAt({0, 80, 150}, {0, 0, 100}));
}

}  // namespace
