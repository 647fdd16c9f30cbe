// The layer's display lists. Compiling keeps each call in the list and each
// glBegin block's vertices in the list's vertices; glEndList puts those in
// one static buffer, and glCallList replays the calls, the blocks as single
// draws from that buffer through the matrices current at that moment.
#include <memory>

#include "render/gl_api.h"
#include "render/gles/es_api.h"
#include "render/gles/gl_layer_functions.h"
#include "render/gles/layer_state.h"

namespace vl::gles::call {

namespace {
constexpr uint32_t kCompileAndExecute = 0x1301;
}  // namespace

uint32_t GenLists(int32_t range) {
  if (range <= 0 || layer.inBegin || layer.nextListName > UINT32_MAX - static_cast<uint32_t>(range))
    return 0;
  const uint32_t first = layer.nextListName;
  layer.nextListName += static_cast<uint32_t>(range);
  return first;
}

void NewList(uint32_t list, uint32_t mode) {
  if (list == 0 || layer.compiling || layer.inBegin) return;
  if (mode != glc::COMPILE && mode != kCompileAndExecute) return;
  layer.compiling = std::make_unique<DisplayList>();
  layer.compilingName = list;
  layer.executeCompiled = mode == kCompileAndExecute;
  layer.listColourSet = false;
}

void EndList() {
  if (!layer.compiling || layer.inBegin) return;
  std::unique_ptr<DisplayList> built = std::move(layer.compiling);
  if (!built->vertices.empty()) {
    es.GenBuffers(1, &built->buffer);
    es.BindBuffer(esc::ARRAY_BUFFER, built->buffer);
    es.BufferData(esc::ARRAY_BUFFER,
                  static_cast<std::ptrdiff_t>(built->vertices.size() * sizeof(EsVertex)),
                  built->vertices.data(), esc::STATIC_DRAW);
    std::vector<EsVertex>().swap(built->vertices);
  }
  std::unique_ptr<DisplayList>& slot = layer.lists[layer.compilingName];
  if (slot && slot->buffer) es.DeleteBuffers(1, &slot->buffer);
  slot = std::move(built);
  if (layer.executeCompiled) CallList(layer.compilingName);
}

void CallList(uint32_t list) {
  if (KeptInList([=] { CallList(list); })) return;
  const auto found = layer.lists.find(list);
  if (found == layer.lists.end() || layer.callDepth >= kMaxListNesting) return;
  ++layer.callDepth;
  for (const auto& command : found->second->commands) command();
  --layer.callDepth;
}

}  // namespace vl::gles::call
