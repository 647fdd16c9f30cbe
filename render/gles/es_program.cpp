#include "render/gles/es_program.h"

#include "render/gles/es_api.h"

namespace vl::gles {

namespace {

// GLSL ES 1.00, which WebGL 1 and every ES 2 driver take. Positions are
// worked in full precision as GL 1.1 works them.
const char* const kVertexShader = R"(#version 100
attribute vec4 position;
attribute vec4 colour;
uniform mat4 matrix;
varying vec4 shade;
void main() {
  shade = colour;
  gl_Position = matrix * position;
}
)";

const char* const kFragmentShader = R"(#version 100
precision mediump float;
varying vec4 shade;
void main() {
  gl_FragColor = shade;
}
)";

uint32_t Compile(uint32_t type, const char* source) {
  const uint32_t shader = es.CreateShader(type);
  if (shader == 0) return 0;
  es.ShaderSource(shader, 1, &source, nullptr);
  es.CompileShader(shader);
  int32_t ok = 0;
  es.GetShaderiv(shader, esc::COMPILE_STATUS, &ok);
  if (!ok) {
    es.DeleteShader(shader);
    return 0;
  }
  return shader;
}

}  // namespace

EsProgram BuildProgram() {
  EsProgram built;
  const uint32_t vertex = Compile(esc::VERTEX_SHADER, kVertexShader);
  const uint32_t fragment = Compile(esc::FRAGMENT_SHADER, kFragmentShader);
  const uint32_t program = vertex && fragment ? es.CreateProgram() : 0;
  if (program) {
    es.AttachShader(program, vertex);
    es.AttachShader(program, fragment);
    es.BindAttribLocation(program, kPositionAttribute, "position");
    es.BindAttribLocation(program, kColourAttribute, "colour");
    es.LinkProgram(program);
    int32_t linked = 0;
    es.GetProgramiv(program, esc::LINK_STATUS, &linked);
    if (linked) {
      built.program = program;
      built.matrixLocation = es.GetUniformLocation(program, "matrix");
    }
  }
  // The linked program keeps what it needs; the shaders go once it is gone.
  if (vertex) es.DeleteShader(vertex);
  if (fragment) es.DeleteShader(fragment);
  return built;
}

}  // namespace vl::gles
