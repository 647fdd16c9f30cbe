// Every OpenGL 1.1 function the game calls, once: its return type, its name
// without the gl prefix, its parameters and the names that pass them on.
// Each place that needs the whole list (the table, its do-nothing defaults,
// the driver's entry points, the tests' recorder) expands this one list.
#pragma once

#define VL_GL_FUNCTIONS(X)                                                              \
  X(void, Viewport, (int32_t x, int32_t y, int32_t w, int32_t h), (x, y, w, h))         \
  X(void, MatrixMode, (uint32_t mode), (mode))                                          \
  X(void, LoadIdentity, (), ())                                                         \
  X(void, Ortho, (double l, double r, double b, double t, double n, double f), (l, r, b, t, n, f))   \
  X(void, Frustum, (double l, double r, double b, double t, double n, double f), (l, r, b, t, n, f)) \
  X(void, Enable, (uint32_t cap), (cap))                                                \
  X(void, Disable, (uint32_t cap), (cap))                                               \
  X(void, ShadeModel, (uint32_t mode), (mode))                                          \
  X(void, ClearColor, (float r, float g, float b, float a), (r, g, b, a))               \
  X(void, ClearDepth, (double d), (d))                                                  \
  X(void, DepthMask, (uint8_t flag), (flag))                                            \
  X(void, DepthFunc, (uint32_t func), (func))                                           \
  X(void, Hint, (uint32_t target, uint32_t mode), (target, mode))                       \
  X(void, PolygonMode, (uint32_t face, uint32_t mode), (face, mode))                    \
  X(void, Clear, (uint32_t mask), (mask))                                               \
  X(void, Finish, (), ())                                                               \
  X(void, Flush, (), ())                                                                \
  X(void, Color3f, (float r, float g, float b), (r, g, b))                              \
  X(void, Color4f, (float r, float g, float b, float a), (r, g, b, a))                  \
  X(void, LineWidth, (float w), (w))                                                    \
  X(void, BlendFunc, (uint32_t src, uint32_t dst), (src, dst))                          \
  X(void, Begin, (uint32_t mode), (mode))                                               \
  X(void, End, (), ())                                                                  \
  X(void, Vertex3f, (float x, float y, float z), (x, y, z))                             \
  X(void, PushMatrix, (), ())                                                           \
  X(void, PopMatrix, (), ())                                                            \
  X(void, Translatef, (float x, float y, float z), (x, y, z))                           \
  X(void, Scalef, (float x, float y, float z), (x, y, z))                               \
  X(void, Rotatef, (float angle, float x, float y, float z), (angle, x, y, z))          \
  X(void, MultMatrixf, (const float* m), (m))                                           \
  X(uint32_t, GenLists, (int32_t range), (range))                                       \
  X(void, NewList, (uint32_t list, uint32_t mode), (list, mode))                        \
  X(void, EndList, (), ())                                                              \
  X(void, CallList, (uint32_t list), (list))
