#include "tests/support/gl_recorder.h"

#include <cstdio>

namespace vl::test {

namespace {
std::vector<GlCall> g_calls;
uint32_t g_nextList = 1;

void Rec(GlOp op, std::initializer_list<double> args) {
  GlCall c{op, static_cast<uint8_t>(args.size()), {}};
  int i = 0;
  for (double v : args) c.a[i++] = v;
  g_calls.push_back(c);
}

const GlApi kRecording = {
    [](int32_t x, int32_t y, int32_t w, int32_t h) { Rec(GlOp::Viewport, {double(x), double(y), double(w), double(h)}); },
    [](uint32_t m) { Rec(GlOp::MatrixMode, {double(m)}); },
    [] { Rec(GlOp::LoadIdentity, {}); },
    [](double l, double r, double b, double t, double n, double f) { Rec(GlOp::Ortho, {l, r, b, t, n, f}); },
    [](double l, double r, double b, double t, double n, double f) { Rec(GlOp::Frustum, {l, r, b, t, n, f}); },
    [](uint32_t c) { Rec(GlOp::Enable, {double(c)}); },
    [](uint32_t c) { Rec(GlOp::Disable, {double(c)}); },
    [](uint32_t m) { Rec(GlOp::ShadeModel, {double(m)}); },
    [](float r, float g, float b, float a) { Rec(GlOp::ClearColor, {r, g, b, a}); },
    [](double d) { Rec(GlOp::ClearDepth, {d}); },
    [](uint8_t f) { Rec(GlOp::DepthMask, {double(f)}); },
    [](uint32_t f) { Rec(GlOp::DepthFunc, {double(f)}); },
    [](uint32_t t, uint32_t m) { Rec(GlOp::Hint, {double(t), double(m)}); },
    [](uint32_t f, uint32_t m) { Rec(GlOp::PolygonMode, {double(f), double(m)}); },
    [](uint32_t m) { Rec(GlOp::Clear, {double(m)}); },
    [] { Rec(GlOp::Finish, {}); },
    [] { Rec(GlOp::Flush, {}); },
    [](float r, float g, float b) { Rec(GlOp::Color3f, {r, g, b}); },
    [](float r, float g, float b, float a) { Rec(GlOp::Color4f, {r, g, b, a}); },
    [](float w) { Rec(GlOp::LineWidth, {w}); },
    [](uint32_t s, uint32_t d) { Rec(GlOp::BlendFunc, {double(s), double(d)}); },
    [](uint32_t m) { Rec(GlOp::Begin, {double(m)}); },
    [] { Rec(GlOp::End, {}); },
    [](float x, float y, float z) { Rec(GlOp::Vertex3f, {x, y, z}); },
    [] { Rec(GlOp::PushMatrix, {}); },
    [] { Rec(GlOp::PopMatrix, {}); },
    [](float x, float y, float z) { Rec(GlOp::Translatef, {x, y, z}); },
    [](float x, float y, float z) { Rec(GlOp::Scalef, {x, y, z}); },
    [](float a, float x, float y, float z) { Rec(GlOp::Rotatef, {a, x, y, z}); },
    [](const float* m) {
      GlCall c{GlOp::MultMatrixf, 16, {}};
      for (int i = 0; i < 16; ++i) c.a[i] = m[i];
      g_calls.push_back(c);
    },
    [](int32_t r) -> uint32_t {
      Rec(GlOp::GenLists, {double(r)});
      return g_nextList;
    },
    [](uint32_t l, uint32_t m) { Rec(GlOp::NewList, {double(l), double(m)}); },
    [] { Rec(GlOp::EndList, {}); },
    [](uint32_t l) { Rec(GlOp::CallList, {double(l)}); },
};
}  // namespace

const char* GlOpName(GlOp op) {
  static const char* const kNames[] = {
      "Viewport", "MatrixMode", "LoadIdentity", "Ortho", "Frustum", "Enable",
      "Disable", "ShadeModel", "ClearColor", "ClearDepth", "DepthMask",
      "DepthFunc", "Hint", "PolygonMode", "Clear", "Finish", "Flush",
      "Color3f", "Color4f", "LineWidth", "BlendFunc", "Begin", "End",
      "Vertex3f", "PushMatrix", "PopMatrix", "Translatef", "Scalef",
      "Rotatef", "MultMatrixf", "GenLists", "NewList", "EndList", "CallList"};
  return kNames[static_cast<int>(op)];
}

std::string GlCall::ToString() const {
  std::string s = GlOpName(op);
  s += "(";
  for (int i = 0; i < argc; ++i) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%s%.9g", i ? ", " : "", a[i]);
    s += buf;
  }
  return s + ")";
}

GlRecorder::GlRecorder() : saved_(gl) {
  gl = kRecording;
  g_calls.clear();
  g_nextList = 1;
}

GlRecorder::~GlRecorder() {
  gl = saved_;
  g_calls.clear();
}

const std::vector<GlCall>& GlRecorder::calls() const { return g_calls; }
void GlRecorder::Clear() { g_calls.clear(); }
void GlRecorder::SetNextListName(uint32_t name) { g_nextList = name; }

size_t GlRecorder::Count(GlOp op) const {
  size_t n = 0;
  for (const auto& c : g_calls) n += (c.op == op);
  return n;
}

std::vector<GlCall> GlRecorder::Only(GlOp op) const {
  std::vector<GlCall> out;
  for (const auto& c : g_calls)
    if (c.op == op) out.push_back(c);
  return out;
}

}  // namespace vl::test
