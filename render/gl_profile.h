// The OpenGL this layer draws with: 3.3 core on the desktop (entry points through libepoxy),
// OpenGL ES 3.0 in the browser (WebGL 2). Every GL call of the layer is valid in both; the
// few things that differ between the two are here and nowhere else.
#pragma once

#ifdef __EMSCRIPTEN__
#include <GLES3/gl3.h>
#else
#include <epoxy/gl.h>
#endif

#ifdef __EMSCRIPTEN__

// Opens every generated shader. Fragment shaders of GLSL ES have no default float
// precision; high precision keeps colours and texture coordinates as exact as on the desktop.
inline constexpr const char* kShaderPreamble =
    "#version 300 es\nprecision highp float;\nprecision highp sampler2D;\n";

// ES has no border colour: clamping to the edge texel is the nearest it offers.
inline constexpr GLint kClampToBorder = GL_CLAMP_TO_EDGE;

inline void ClearDepthTo(float z) {
  glClearDepthf(z);
}

// WebGL has no debug output to hook: its errors reach the browser's console by themselves.
inline void ReportErrorsTo(void (*)(const char* message)) {}

#else

inline constexpr const char* kShaderPreamble = "#version 330 core\n";

inline constexpr GLint kClampToBorder = GL_CLAMP_TO_BORDER;

inline void ClearDepthTo(float z) {
  glClearDepth(z);
}

// Has GL hand `report` the message of every failing call, at the call, where the driver
// offers debug output (KHR_debug; Mesa does in every context).
inline void ReportErrorsTo(void (*report)(const char* message)) {
  if (!epoxy_has_gl_extension("GL_KHR_debug")) return;
  glEnable(GL_DEBUG_OUTPUT);
  glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
  glDebugMessageCallback(
      [](GLenum, GLenum type, GLuint, GLenum, GLsizei, const GLchar* message, const void* user) {
        if (type == GL_DEBUG_TYPE_ERROR)
          reinterpret_cast<void (*)(const char*)>(const_cast<void*>(user))(message);
      },
      reinterpret_cast<const void*>(report));
}

#endif
