#include <emscripten.h>

#include <cstdio>

#include "platform/message_box.h"

// A browser's message box stops the page until it is answered; the page
// shows the message among its own instead (web/page_storage.js).
EM_JS(void, PageMessage, (const char* caption, const char* text),
      { Module.vlMessage(UTF8ToString(caption) + ": " + UTF8ToString(text)); });

namespace vl {

void ShowErrorMessage(const char* caption, const char* text) {
  std::fprintf(stderr, "vantaloop: %s: %s\n", caption, text);
  PageMessage(caption, text);
}

}  // namespace vl
