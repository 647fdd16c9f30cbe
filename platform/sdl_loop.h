// The main loop's system operations on SDL2: the clock, yielding and
// sleeping, the message queue fed from SDL's events, the system cursors and
// the buffer swap.
#pragma once

#include <deque>

#include "platform/frame_count_file.h"
#include "platform/sdl_events.h"
#include "shell/main_loop.h"

namespace vl {

class SdlLoopPlatform final : public LoopPlatform {
 public:
  ~SdlLoopPlatform() override;
  uint32_t TimeGetTime() override;
  void Sleep(uint32_t ms) override;
  bool PeekNextMessage(Msg& out) override;
  void TranslateMessage(const Msg& msg) override;
  bool TakeMessage(Msg& out) override;
  CursorHandle LoadSystemCursor(int id) override;
  bool IsZoomed() override;
  void SwapBuffers() override;
  uint32_t WindowHandle() override;
  std::unique_ptr<DeviceBackend> OpenDevices() override;

  // Low-power waiting: Sleep(0) rests with a timed sleep until shortly
  // before the next frame tick (16 ms after `lastFrameTime`), then yields as
  // usual, so frames still begin on the same millisecond.
  bool lowPower = false;
  static constexpr uint32_t kWakeBeforeTickMs = 2;

  // Where the tests count the presented frames; none for a player.
  FrameCountFile* frameCount = nullptr;

 private:
  void FillQueue();
  // Makes the next message ready at the queue's front; false when none.
  bool Front();
  EventContext events_;
  std::deque<Msg> queue_;
  std::deque<void*> cursors_;
};

}  // namespace vl
