// What the GL 1.1 layer keeps between calls: the matrix stacks, the current
// colour, the immediate-mode block being gathered and the batch waiting to
// be drawn, the display lists, and the ES objects it draws with. Shared by
// the layer's parts only.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

#include "render/gles/es_program.h"
#include "render/gles/matrix.h"
#include "render/gles/vertex_gather.h"

namespace vl::gles {

// GL 1.1 promises at least 32 modelview and 2 projection matrices; the
// layer keeps 32 of each, as Mesa does.
constexpr size_t kStackDepth = 32;
// Lists calling lists stop this deep, as GL_MAX_LIST_NESTING has it.
constexpr int kMaxListNesting = 64;

// A display list: its calls in order, replayed by glCallList, and the
// vertices of its glBegin blocks in one static ES buffer.
struct DisplayList {
  std::vector<std::function<void()>> commands;
  std::vector<EsVertex> vertices;  // while it is being compiled
  uint32_t buffer = 0;
};

struct LayerState {
  MatrixStack modelview{kStackDepth};
  MatrixStack projection{kStackDepth};
  bool projectionMode = false;  // glMatrixMode: the projection stack is current

  // The current colour, as given and as the buffers hold it.
  float colour[4] = {1, 1, 1, 1};
  uint8_t colourBytes[4] = {255, 255, 255, 255};

  bool inBegin = false;
  uint32_t beginMode = 0;
  PrimitiveGatherer gatherer;

  // Immediate-mode primitives not drawn yet, in eye coordinates: the
  // modelview is applied as each vertex comes, so one batch spans any
  // number of matrix changes (all the ghosts of a frame, say) and only the
  // projection is left to apply.
  std::vector<EsVertex> batch;
  Primitive batchKind = Primitive::None;

  std::unordered_map<uint32_t, std::unique_ptr<DisplayList>> lists;
  uint32_t nextListName = 1;
  std::unique_ptr<DisplayList> compiling;  // between glNewList and glEndList
  uint32_t compilingName = 0;
  bool executeCompiled = false;  // GL_COMPILE_AND_EXECUTE
  // The colour the list has set so far while compiling. A block begun and
  // ended before the list sets any colour takes the colour current when the
  // list is called; a list that sets its first colour inside a block gives
  // that block's earlier vertices white (the game's lists set a colour
  // before every face).
  uint8_t listColourBytes[4] = {255, 255, 255, 255};
  bool listColourSet = false;
  size_t blockFirst = 0;
  int callDepth = 0;

  EsProgram program;
  // The batches' buffer, reused from batch to batch: a fresh buffer each
  // time would cost the driver a new allocation of megabytes each frame.
  uint32_t streamBuffer = 0;
  size_t streamCapacity = 0;  // bytes
};

extern LayerState layer;

MatrixStack& CurrentStack();
// Draws the waiting batch, if any. Every call that changes what a draw
// depends on (state, projection, a list's own draws) comes here first.
void FlushBatch();
// Draws `count` vertices of `buffer` from `first`, through `matrix`; with
// `colour`, every vertex takes it instead of its own.
void DrawBuffer(uint32_t buffer, Primitive kind, const Mat4& matrix, int32_t first, int32_t count,
                const float* colour);
// While a list is being compiled, a call goes into it instead of running.
// The call is only wrapped up when it is kept, so the calls of every frame
// cost nothing extra.
template <typename Call>
bool KeptInList(Call&& call) {
  if (!layer.compiling) return false;
  layer.compiling->commands.emplace_back(std::forward<Call>(call));
  return true;
}

}  // namespace vl::gles
