#include "tests/support/gl_recorder.h"

#include <cstdio>
#include <type_traits>

namespace vl::test {

namespace {
std::vector<GlCall> g_calls;
uint32_t g_nextList = 1;

// Each argument widened to double; a matrix counts as its 16 numbers.
void Widen(GlCall& c, const float* m) {
  for (int i = 0; i < 16; ++i) c.a[c.argc++] = m[i];
}
void Widen(GlCall& c, double v) { c.a[c.argc++] = v; }

template <typename Ret, typename... Args>
Ret Rec(GlOp op, Args... args) {
  GlCall c{op, 0, {}};
  (Widen(c, args), ...);
  g_calls.push_back(c);
  if constexpr (!std::is_void_v<Ret>) return g_nextList;  // GenLists
}

const GlApi kRecording = {
#define VL_GL_RECORD(ret, name, params, args) [] params -> ret { return Rec<ret>(GlOp::name VL_GL_COMMA_ARGS args); },
#define VL_GL_COMMA_ARGS(...) __VA_OPT__(, ) __VA_ARGS__
    VL_GL_FUNCTIONS(VL_GL_RECORD)
#undef VL_GL_COMMA_ARGS
#undef VL_GL_RECORD
};
}  // namespace

const char* GlOpName(GlOp op) {
  static const char* const kNames[] = {
#define VL_GL_NAME(ret, name, params, args) #name,
      VL_GL_FUNCTIONS(VL_GL_NAME)
#undef VL_GL_NAME
  };
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
