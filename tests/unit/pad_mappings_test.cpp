#include "input/pad_mappings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vl {
namespace {

// Pad mapping lines: what SDL may be handed, and what is passed over.
TEST(PadMappings, OnlyKnownFieldsWithIndexesInRange) {
  const std::string guid = "030000005e0400008e02000014010000,Pad,";
  const struct {
    std::string line;
    bool safe;
  } cases[] = {
      {guid + "a:b0,b:b1,+leftx:h0.2,-leftx:h0.8,lefttrigger:+a2,righty:a3~,dpup:-a1,back:b65535,"
              "hint:!SDL_GAMECONTROLLER_USE_BUTTON_LABELS:=1,crc:1a2b,platform:Linux,", true},
      {"xinput,XInput,a:b0, b : b1 ,\r", true},
      {"default,Pad,sdk>=:21", true},
      {guid + "a:b2147483648", false},  // the index SDL turns negative
      {guid + "leftx:a4294967296", false},
      {guid + "dpup:h2147483648.1", false},
      {guid + "a:b65536", false},
      {guid + "dpup:h0.16", false},
      {guid + "a:b1x", false},
      {guid + "a:c1", false},
      {guid + "a:", false},
      {guid + "+a:b1", false},  // only axes have halves
      {guid + "turbo:b1", false},
      {guid + "a", false},
      {"030000005e0400008e020000140100,Pad,a:b0", false},
      {"03000000x", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsSafePadMapping(c.line), c.safe) << c.line;

  // As SDL reads a file: the lines for this platform only.
  const PadMappingLines lines = SortPadMappings(
      "# comment\n\n" + guid + "a:b0,platform:Linux,\n" + guid + "a:b0,platform:Windows,\n" + guid +
          "a:b0\n" + guid + "a:b99999,platform:Linux,\n",
      "Linux");
  EXPECT_EQ(lines.kept, std::vector<std::string>({guid + "a:b0,platform:Linux,"}));
  EXPECT_EQ(lines.broken, 1);
}

}  // namespace
}  // namespace vl
