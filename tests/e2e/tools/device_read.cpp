// Reads the keyboard through the game's SDL device layer on command, the way
// the main loop does: each "read" line on stdin reads the keyboard once
// (printing "down" or "up" for Space, or "nofocus"), then drains the event
// queue as the loop's message pump does after the device read. "quit" ends.
// Its window is titled "vantaloop-devices".
#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "platform/sdl_devices.h"

int main(int, char**) {
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "device_read: %s\n", SDL_GetError());
    return 1;
  }
  SDL_Window* window = SDL_CreateWindow("vantaloop-devices", 50, 50, 320, 200, SDL_WINDOW_SHOWN);
  if (!window) {
    std::fprintf(stderr, "device_read: %s\n", SDL_GetError());
    return 1;
  }
  {
    vl::SdlDeviceBackend devices(window);
    std::printf("ready\n");
    std::fflush(stdout);
    std::string line;
    while (std::getline(std::cin, line) && line == "read") {
      uint8_t keys[256];
      std::memset(keys, 0, sizeof keys);
      const bool ok = devices.KeyboardRead(keys);
      std::printf("%s\n", !ok ? "nofocus" : (keys[0x39] & 0x80) ? "down" : "up");
      std::fflush(stdout);
      SDL_Event e;
      while (SDL_PollEvent(&e)) {
      }
    }
  }
  SDL_DestroyWindow(window);
  SDL_Quit();
  return 0;
}
