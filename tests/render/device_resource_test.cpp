// The device's hold on the objects bound to it, and when buffers reach GL: binding takes a
// reference, an indexed draw cannot reach past its vertices, and a buffer's changes are
// sent to GL when a draw uses it, not before.
#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "render/render_internal.h"
#include "render/tool_switches.h"
#include "tests/gl_test.h"

namespace {

struct Vertex {  // pre-transformed, with a colour
  float x, y, z, rhw;
  D3DCOLOR diffuse;
};
constexpr DWORD kFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;

class DeviceResourceTest : public DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    g_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    g_device->SetVertexShader(kFvf);
    g_device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
  }

  template <typename T>
  void Fill(BufferBase* buffer, const std::vector<T>& items) {
    BYTE* data = nullptr;
    ASSERT_EQ(buffer->Lock(0, 0, &data, 0), D3D_OK);
    std::memcpy(data, items.data(), items.size() * sizeof(T));
    buffer->Unlock();
  }

  // A red rectangle over the top-left quarter: four vertices.
  IDirect3DVertexBuffer8* Quad() {
    IDirect3DVertexBuffer8* buffer = nullptr;
    g_device->CreateVertexBuffer(4 * sizeof(Vertex), 0, kFvf, D3DPOOL_MANAGED, &buffer);
    Fill<Vertex>(buffer, {{0, 0, 0.5f, 1, 0xFFFF0000},
                          {400, 0, 0.5f, 1, 0xFFFF0000},
                          {0, 300, 0.5f, 1, 0xFFFF0000},
                          {400, 300, 0.5f, 1, 0xFFFF0000}});
    return buffer;
  }

  IDirect3DIndexBuffer8* Indices(const std::vector<WORD>& indices) {
    IDirect3DIndexBuffer8* buffer = nullptr;
    g_device->CreateIndexBuffer(UINT(indices.size() * 2), 0, D3DFMT_INDEX16, D3DPOOL_MANAGED,
                                &buffer);
    Fill(buffer, indices);
    return buffer;
  }

  // The bytes GL holds for `buffer` now.
  std::vector<BYTE> GlContents(BufferBase* buffer) {
    std::vector<BYTE> bytes(buffer->Length());
    glBindBuffer(GL_COPY_READ_BUFFER, RenderInternals::GlName(*buffer));
    glGetBufferSubData(GL_COPY_READ_BUFFER, 0, GLsizeiptr(bytes.size()), bytes.data());
    return bytes;
  }
};

TEST_F(DeviceResourceTest, BindingHoldsAReferenceUntilTheObjectIsUnbound) {
  IDirect3DVertexBuffer8* quad = Quad();
  g_device->SetStreamSource(0, quad, sizeof(Vertex));
  EXPECT_EQ(quad->AddRef(), 3u);  // the caller's, the device's, this one
  EXPECT_EQ(quad->Release(), 2u);
  // Released by its owner while bound, the buffer still draws.
  EXPECT_EQ(quad->Release(), 1u);
  EXPECT_EQ(g_device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
  EXPECT_EQ(Pixel(100, 100), (Rgba{255, 0, 0, 255}));
  // Rebinding to another buffer lets go of it; rebinding the same one keeps one reference.
  IDirect3DVertexBuffer8* other = Quad();
  g_device->SetStreamSource(0, other, sizeof(Vertex));
  g_device->SetStreamSource(0, other, sizeof(Vertex));
  EXPECT_EQ(other->Release(), 1u);
  g_device->SetStreamSource(0, nullptr, 0);
}

TEST_F(DeviceResourceTest, IndexedDrawsReachingPastTheVerticesAreRefusedUntouched) {
  IDirect3DVertexBuffer8* quad = Quad();
  g_device->SetStreamSource(0, quad, sizeof(Vertex));
  IDirect3DIndexBuffer8* past = Indices({0, 1, 4});
  g_device->SetIndices(past, 0);
  EXPECT_EQ(g_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 0, 1), D3DERR_INVALIDCALL);
  IDirect3DIndexBuffer8* inside = Indices({0, 1, 2, 1, 2, 3});
  g_device->SetIndices(inside, 1);  // the base vertex moves index 3 past the end
  EXPECT_EQ(g_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 0, 2), D3DERR_INVALIDCALL);
  EXPECT_EQ(Pixel(100, 100), (Rgba{0, 0, 0, 255}));
  g_device->SetIndices(inside, 0);
  EXPECT_EQ(g_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 0, 2), D3D_OK);
  EXPECT_EQ(Pixel(100, 100), (Rgba{255, 0, 0, 255}));
  // Rewriting the indices is checked again.
  Fill<WORD>(inside, {0, 1, 2, 1, 2, 9});
  EXPECT_EQ(g_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 4, 0, 2), D3DERR_INVALIDCALL);
  g_device->SetIndices(nullptr, 0);
  g_device->SetStreamSource(0, nullptr, 0);
  for (RefCounted* object : std::vector<RefCounted*>{quad, past, inside}) object->Release();
}

TEST_F(DeviceResourceTest, ChangesReachGlWhenADrawUsesTheBufferAndReadsNeverDo) {
  IDirect3DVertexBuffer8* quad = Quad();
  const std::vector<BYTE> before = GlContents(quad);
  EXPECT_NE(std::memcmp(before.data(), quad->Memory(), before.size()), 0);
  // A lock that only reads, as the morphing mesh's sources are, sends nothing either.
  BYTE* data = nullptr;
  quad->Lock(0, 0, &data, 0);
  quad->Unlock();
  EXPECT_EQ(GlContents(quad), before);
  g_device->SetStreamSource(0, quad, sizeof(Vertex));
  g_device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
  const std::vector<BYTE> after = GlContents(quad);
  EXPECT_EQ(std::memcmp(after.data(), quad->Memory(), after.size()), 0);
  // A partial rewrite goes up as just that range.
  quad->Lock(sizeof(Vertex), sizeof(Vertex), &data, 0);
  reinterpret_cast<Vertex*>(data)->diffuse = 0xFF00FF00;
  quad->Unlock();
  g_device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
  const std::vector<BYTE> partial = GlContents(quad);
  EXPECT_EQ(std::memcmp(partial.data(), quad->Memory(), partial.size()), 0);
  g_device->SetStreamSource(0, nullptr, 0);
  quad->Release();
}

TEST_F(DeviceResourceTest, AGlErrorReachesTheHookAtTheCallThatMadeIt) {
  std::vector<std::string> errors;
  g_renderSwitches.glErrorHook = [&](const char* message) { errors.push_back(message); };
  glEnable(0xFFFF);  // no such capability
  EXPECT_EQ(errors.size(), 1u);
  g_device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);  // refused before GL: no error
  EXPECT_EQ(errors.size(), 1u);
}

}  // namespace
