// Every OpenGL ES 2 function the GL 1.1 layer calls, once: its return type,
// its name without the gl prefix, its parameters and the names that pass
// them on. The types are those of the ES headers on every system the game
// builds for (GLenum and GLbitfield 32-bit unsigned, GLsizei and GLint
// 32-bit signed, GLsizeiptr pointer-sized).
#pragma once

#include <cstddef>
#include <cstdint>

#define VL_ES_FUNCTIONS(X)                                                                     \
  X(void, Viewport, (int32_t x, int32_t y, int32_t w, int32_t h), (x, y, w, h))                \
  X(void, Enable, (uint32_t cap), (cap))                                                       \
  X(void, Disable, (uint32_t cap), (cap))                                                      \
  X(void, ClearColor, (float r, float g, float b, float a), (r, g, b, a))                      \
  X(void, ClearDepthf, (float d), (d))                                                         \
  X(void, DepthMask, (uint8_t flag), (flag))                                                   \
  X(void, DepthFunc, (uint32_t func), (func))                                                  \
  X(void, Clear, (uint32_t mask), (mask))                                                      \
  X(void, Finish, (), ())                                                                      \
  X(void, Flush, (), ())                                                                       \
  X(void, LineWidth, (float w), (w))                                                           \
  X(void, BlendFunc, (uint32_t src, uint32_t dst), (src, dst))                                 \
  X(uint32_t, CreateShader, (uint32_t type), (type))                                           \
  X(void, ShaderSource, (uint32_t shader, int32_t count, const char* const* text,              \
                         const int32_t* lengths), (shader, count, text, lengths))              \
  X(void, CompileShader, (uint32_t shader), (shader))                                          \
  X(void, GetShaderiv, (uint32_t shader, uint32_t name, int32_t* value), (shader, name, value)) \
  X(void, DeleteShader, (uint32_t shader), (shader))                                           \
  X(uint32_t, CreateProgram, (), ())                                                           \
  X(void, AttachShader, (uint32_t program, uint32_t shader), (program, shader))                \
  X(void, BindAttribLocation, (uint32_t program, uint32_t index, const char* name),            \
    (program, index, name))                                                                    \
  X(void, LinkProgram, (uint32_t program), (program))                                          \
  X(void, GetProgramiv, (uint32_t program, uint32_t name, int32_t* value), (program, name, value)) \
  X(void, UseProgram, (uint32_t program), (program))                                           \
  X(int32_t, GetUniformLocation, (uint32_t program, const char* name), (program, name))        \
  X(void, UniformMatrix4fv, (int32_t location, int32_t count, uint8_t transpose,               \
                             const float* m), (location, count, transpose, m))                 \
  X(void, GenBuffers, (int32_t n, uint32_t* buffers), (n, buffers))                            \
  X(void, DeleteBuffers, (int32_t n, const uint32_t* buffers), (n, buffers))                   \
  X(void, BindBuffer, (uint32_t target, uint32_t buffer), (target, buffer))                    \
  X(void, BufferData, (uint32_t target, std::ptrdiff_t size, const void* data, uint32_t usage), \
    (target, size, data, usage))                                                               \
  X(void, BufferSubData, (uint32_t target, std::ptrdiff_t offset, std::ptrdiff_t size,         \
                          const void* data), (target, offset, size, data))                     \
  X(void, VertexAttribPointer, (uint32_t index, int32_t size, uint32_t type,                   \
                                uint8_t normalized, int32_t stride, const void* offset),       \
    (index, size, type, normalized, stride, offset))                                           \
  X(void, EnableVertexAttribArray, (uint32_t index), (index))                                  \
  X(void, DisableVertexAttribArray, (uint32_t index), (index))                                 \
  X(void, VertexAttrib4f, (uint32_t index, float r, float g, float b, float a),                \
    (index, r, g, b, a))                                                                       \
  X(void, DrawArrays, (uint32_t mode, int32_t first, int32_t count), (mode, first, count))      \
  X(void, DrawElements, (uint32_t mode, int32_t count, uint32_t type, const void* offset),     \
    (mode, count, type, offset))
