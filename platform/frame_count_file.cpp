#include "platform/frame_count_file.h"

#include <cstdlib>

#include "os/files.h"

namespace vl {

std::string FrameCountFile::NameFromEnvironment() {
  const char* name = std::getenv("VANTALOOP_FRAME_COUNT");
  return name ? name : "";
}

FrameCountFile::FrameCountFile(const std::string& path) {
  // A new empty file takes the name, whatever an earlier run left there.
  std::string temp;
  std::FILE* made = os::CreateTemp(path, temp);
  if (!made) return;
  if (std::fclose(made) != 0 || !os::MoveOver(temp, path)) {
    os::RemoveFile(temp);
    return;
  }
  file_ = os::OpenForAppending(path);
}

FrameCountFile::~FrameCountFile() {
  if (file_) std::fclose(file_);
}

void FrameCountFile::Presented() {
  if (!file_) return;
  std::fputc('.', file_);
  std::fflush(file_);
}

}  // namespace vl
