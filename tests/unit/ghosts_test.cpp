#include "flight/ghosts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "flight/recordings.h"
#include "render/boxes.h"
#include "render/face_lighting.h"
#include "render/gl_api.h"
#include "tests/support/fakes.h"
#include "tests/support/gl_recorder.h"

namespace vl {
namespace {

using test::GameHarness;
using test::GlCall;
using test::GlOp;
using test::GlRecorder;

FrameRecord Pose(int f) {
  FrameRecord r;
  r.position = Vec3(static_cast<float>(f), 2.0f * static_cast<float>(f) + 1.0f, -static_cast<float>(f));
  for (int i = 0; i < 16; ++i) r.rotation[i] = static_cast<float>(i) + 0.01f * static_cast<float>(f);
  return r;
}

// Puts a loaded recording of `frames` frames into the next entry, as the
// start-up leaves it: replay from frame 60.
void AddRecording(int frames) {
  Recording& r = recordings[recordingCount++];
  r.frameCount = frames;
  r.frames.reset(frames > 0 ? new FrameRecord[frames] : nullptr);
  for (int f = 0; f < frames; ++f) r.frames[f] = Pose(f);
  r.cursor = kReplayStart;
}

// Frame records drawn this frame: the position of each glTranslatef.
std::vector<float> DrawnFrames(const GlRecorder& rec) {
  std::vector<float> xs;
  for (const GlCall& c : rec.Only(GlOp::Translatef)) xs.push_back(c.f(0));
  return xs;
}

// Face colours that make the tint easy to read off the stream.
class PlainFaces {
 public:
  PlainFaces() {
    std::copy(std::begin(faceColors), std::end(faceColors), saved_);
    for (Vec3& c : faceColors) c = Vec3(0.5f, 0.5f, 0.5f);
  }
  ~PlainFaces() { std::copy(std::begin(saved_), std::end(saved_), faceColors); }

 private:
  Vec3 saved_[6];
};

TEST(GhostColour, EachEntryHasItsOwnTintInTheSoftRange) {
  const Vec3 one = GhostColour(1);
  EXPECT_NEAR(one.x, 0.6906, 1e-4);
  EXPECT_NEAR(one.y, 0.6933, 1e-4);
  EXPECT_NEAR(one.z, 0.8141, 1e-4);
  const Vec3 two = GhostColour(2);
  EXPECT_NEAR(two.x, 0.4698, 1e-4);
  EXPECT_NEAR(two.y, 0.6739, 1e-4);
  EXPECT_NEAR(two.z, 0.7138, 1e-4);
  for (int i = 1; i < kMaxRecordings; ++i) {
    const Vec3 c = GhostColour(i);
    for (float ch : {c.x, c.y, c.z}) {
      ASSERT_GE(ch, 0.42f - 1e-6f) << i;
      ASSERT_LE(ch, 0.82f + 1e-6f) << i;
    }
  }
}

TEST(DrawGhosts, TwoIdenticalFlightsAreTintedByTheirEntry) {
  GameHarness h;
  PlainFaces faces;
  AddRecording(100);
  AddRecording(100);
  GlRecorder rec;
  DrawGhosts();
  // Each ghost's first face colour: (face colour + offset of the first
  // box's corner) times the ghost's tint.
  const auto colours = rec.Only(GlOp::Color3f);
  ASSERT_EQ(colours.size(), 2u * 10u * 6u);
  const Vec3 corner(-0.65f, -0.45f, -1.0f);
  const float want[2][3] = {{0.6906f, 0.6933f, 0.8141f}, {0.4698f, 0.6739f, 0.7138f}};
  for (int g = 0; g < 2; ++g) {
    const GlCall& c = colours[static_cast<size_t>(g) * 60];
    EXPECT_NEAR(c.f(0), (0.5f + 0.01f * corner.x) * want[g][0], 2e-4) << g;
    EXPECT_NEAR(c.f(1), (0.5f + 0.01f * corner.y) * want[g][1], 2e-4) << g;
    EXPECT_NEAR(c.f(2), (0.5f + 0.01f * corner.z) * want[g][2], 2e-4) << g;
  }
  // Both fly the same frame, one on top of the other.
  EXPECT_EQ(DrawnFrames(rec), std::vector<float>({60.0f, 60.0f}));
  // The multiplier is left at the last ghost's tint for the game frame to reset.
  EXPECT_NEAR(colorMultiplier.x, 0.4698, 1e-4);
}

TEST(DrawGhosts, RecordingOf601FramesIsShownFor541Frames) {
  GameHarness h;
  AddRecording(601);
  GlRecorder rec;
  int shown = 0;
  for (int frame = 0; frame < 700; ++frame) {
    rec.Clear();
    DrawGhosts();
    const auto xs = DrawnFrames(rec);
    if (xs.empty()) continue;
    ASSERT_EQ(xs.size(), 1u);
    // Run frame t shows recorded frame 60 + t.
    EXPECT_EQ(xs[0], static_cast<float>(60 + frame));
    ++shown;
  }
  EXPECT_EQ(shown, 541);
  EXPECT_EQ(recordings[1].cursor, 601);
}

TEST(DrawGhosts, ShortAndEmptyRecordingsAreNeverDrawn) {
  GameHarness h;
  Vec3 before = colorMultiplier;
  AddRecording(60);  // entry 1
  AddRecording(0);   // entry 2: a missing file
  AddRecording(61);  // entry 3: exactly one frame to show
  AddRecording(5);   // entry 4
  GlRecorder rec;
  DrawGhosts();
  EXPECT_EQ(DrawnFrames(rec), std::vector<float>({60.0f}));
  EXPECT_NEAR(colorMultiplier.x, GhostColour(3).x, 1e-6);
  for (int frame = 0; frame < 5; ++frame) {
    rec.Clear();
    colorMultiplier = before;
    DrawGhosts();
    EXPECT_TRUE(rec.calls().empty());
    EXPECT_EQ(colorMultiplier.x, before.x);
  }
}

TEST(DrawGhosts, NothingLoadedDrawsNothing) {
  GameHarness h;
  colorMultiplier = Vec3(1, 1, 1);
  GlRecorder rec;
  DrawGhosts();
  EXPECT_TRUE(rec.calls().empty());
  EXPECT_EQ(colorMultiplier.x, 1.0f);
  EXPECT_EQ(colorMultiplier.y, 1.0f);
  EXPECT_EQ(colorMultiplier.z, 1.0f);
}

// The box a Begin .. End block draws, as centre and size from its vertices.
std::string BoxOf(const std::vector<GlCall>& calls, size_t begin, size_t end) {
  float lo[3] = {1e9f, 1e9f, 1e9f}, hi[3] = {-1e9f, -1e9f, -1e9f};
  for (size_t i = begin; i < end; ++i) {
    if (calls[i].op != GlOp::Vertex3f) continue;
    for (int k = 0; k < 3; ++k) {
      lo[k] = std::min(lo[k], calls[i].f(k));
      hi[k] = std::max(hi[k], calls[i].f(k));
    }
  }
  char buf[160];
  std::snprintf(buf, sizeof buf, "box (%.2f, %.2f, %.2f); (%.2f, %.2f, %.2f)", (lo[0] + hi[0]) / 2,
                (lo[1] + hi[1]) / 2, (lo[2] + hi[2]) / 2, hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2]);
  std::string s = buf;
  for (std::string neg = "-0.00"; s.find(neg) != std::string::npos;) s.replace(s.find(neg), 5, "0.00");
  return s;
}

TEST(DrawGhosts, OneGhostIsPlacedThenBuiltOfTenBoxes) {
  GameHarness h;
  AddRecording(200);
  recordings[1].cursor = 123;
  GlRecorder rec;
  DrawGhosts();
  const auto& calls = rec.calls();
  std::vector<std::string> got;
  for (size_t i = 0; i < calls.size(); ++i) {
    if (calls[i].op == GlOp::Begin) {
      ASSERT_EQ(calls[i].u(0), glc::QUADS);
      size_t end = i;
      while (end < calls.size() && calls[end].op != GlOp::End) ++end;
      ASSERT_LT(end, calls.size());
      EXPECT_EQ(std::count_if(calls.begin() + static_cast<long>(i), calls.begin() + static_cast<long>(end),
                              [](const GlCall& c) { return c.op == GlOp::Vertex3f; }),
                24);
      got.push_back(BoxOf(calls, i, end));
      i = end;
    } else if (calls[i].op == GlOp::MultMatrixf) {
      const FrameRecord want = Pose(123);
      for (int k = 0; k < 16; ++k) EXPECT_EQ(calls[i].f(k), want.rotation[k]) << k;
      got.push_back("MultMatrixf");
    } else {
      got.push_back(calls[i].ToString());
    }
  }
  const std::vector<std::string> want = {
      "PushMatrix()",
      "Translatef(123, 247, -123)",
      "MultMatrixf",
      "Scalef(-0.200000003, 0.200000003, -0.200000003)",
      "box (0.00, 0.00, 0.00); (1.30, 0.90, 2.00)",
      "box (0.00, -0.40, 1.00); (0.80, 0.50, 4.50)",
      "box (0.00, 0.00, -2.00); (2.00, 1.50, 3.00)",
      "box (0.00, 0.00, -3.00); (1.50, 1.00, 3.00)",
      "PushMatrix()",
      "Rotatef(-20, 0, 0, 1)",
      "Rotatef(15, 0, 1, 0)",
      "box (3.00, 0.00, -2.00); (4.00, 0.30, 2.00)",
      "box (2.00, 0.30, -2.00); (2.00, 0.30, 2.00)",
      "PopMatrix()",
      "PushMatrix()",
      "Rotatef(20, 0, 0, 1)",
      "Rotatef(-15, 0, 1, 0)",
      "box (-3.00, 0.00, -2.00); (4.00, 0.30, 2.00)",
      "box (-2.00, 0.30, -2.00); (2.00, 0.30, 2.00)",
      "PopMatrix()",
      "PushMatrix()",
      "Rotatef(20, 0, 0, 1)",
      "box (-0.50, 1.00, -4.00); (0.20, 1.00, 1.50)",
      "Rotatef(-40, 0, 0, 1)",
      "box (0.50, 1.00, -4.00); (0.20, 1.00, 1.50)",
      "PopMatrix()",
      "PopMatrix()",
  };
  EXPECT_EQ(got, want);
  EXPECT_EQ(recordings[1].cursor, 124);
}

}  // namespace
}  // namespace vl
