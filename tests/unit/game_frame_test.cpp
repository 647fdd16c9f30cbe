#include "flight/game_frame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>

#include "flight/camera.h"
#include "flight/recordings.h"
#include "flight/vec_math.h"
#include "render/boxes.h"
#include "render/scene.h"
#include "tests/support/fakes.h"
#include "tests/support/gl_recorder.h"

namespace vl {
namespace {

using test::FakeDeviceBackend;
using test::GameHarness;
using test::GlCall;
using test::GlOp;
using test::GlRecorder;

// A game set up as at start-up, with a joystick whose state the test sets
// before each frame.
class Flight : public ::testing::Test {
 protected:
  void SetUp() override {
    auto backend = std::make_unique<FakeDeviceBackend>();
    stick_ = backend.get();
    stick_->haveJoystick = true;
    inputDevices = std::make_unique<InputDevices>(std::move(backend));
    glkInit();
  }

  // One pass: the devices are read, then the frame runs.
  void Frame() {
    inputDevices->update();
    GameFrame();
  }
  void Frames(int n) {
    for (int i = 0; i < n; ++i) Frame();
  }

  GameHarness h_;
  GlRecorder rec_;  // keeps the frames off any real GL driver
  FakeDeviceBackend* stick_ = nullptr;
};

void ExpectVec(Vec3 v, float x, float y, float z, float tol) {
  EXPECT_NEAR(v.x, x, tol);
  EXPECT_NEAR(v.y, y, tol);
  EXPECT_NEAR(v.z, z, tol);
}

float Length(Vec3 v) { return std::sqrt(Dot(v, v)); }

void ExpectOrthonormal(const Camera& c, float tol) {
  EXPECT_NEAR(Length(c.forward), 1, tol);
  EXPECT_NEAR(Length(c.right), 1, tol);
  EXPECT_NEAR(Length(c.up), 1, tol);
  EXPECT_NEAR(Dot(c.forward, c.right), 0, tol);
  EXPECT_NEAR(Dot(c.forward, c.up), 0, tol);
  EXPECT_NEAR(Dot(c.right, c.up), 0, tol);
  const Vec3 fxu = Cross(c.forward, c.up);
  ExpectVec(c.right, fxu.x, fxu.y, fxu.z, tol);
}

TEST_F(Flight, FirstFrameWithTheStickCentred) {
  Frame();
  ExpectVec(camera.velocity, 0, 0, 0.0024f, 1e-9f);
  ExpectVec(camera.position, 6, 6, -24.9976f, 2e-6f);
  ExpectVec(camera.forward, 0, 0, 1, 0);
  ExpectVec(camera.up, 0, 1, 0, 0);
  ExpectVec(camera.right, -1, 0, 0, 0);
  EXPECT_EQ(camera.rollRate, 0.0f);
  EXPECT_EQ(camera.pitchRate, 0.0f);
}

TEST(FlightWithoutDevices, FliesStraightOnToCruiseSpeed) {
  GameHarness h;
  GlRecorder rec;
  glkInit();
  ASSERT_EQ(inputDevices, nullptr);
  GameFrame();
  ExpectVec(camera.velocity, 0, 0, 0.0024f, 1e-9f);
  for (int i = 0; i < 1500; ++i) GameFrame();
  ExpectVec(camera.velocity, 0, 0, 0.24f, 1e-5f);
  EXPECT_EQ(camera.position.x, 6.0f);
  EXPECT_EQ(camera.position.y, 6.0f);
}

TEST_F(Flight, BrakeShrinksTheSpeedWithoutReversing) {
  Frames(300);
  const float cruise = camera.velocity.z;
  ASSERT_GT(cruise, 0.2f);
  for (int button = 0; button < 3; ++button) {
    SCOPED_TRACE(button);
    stick_->joystick.buttons[button] = 0x80;
    for (int i = 0; i < 100; ++i) {
      const Vec3 before = camera.velocity;
      Vec3 dir = before;
      Normalize(dir);
      float a = Dot(dir, camera.forward);
      a = a < 0 ? 0 : a;
      const float k = std::pow(a, 1.5f) * 0.015f + 0.01f;
      Frame();
      EXPECT_NEAR(camera.velocity.z, before.z * (1 - k), 1e-7f);
      EXPECT_GT(camera.velocity.z, 0.0f);
    }
    stick_->joystick.buttons[button] = 0;
  }
  // Aligned with the nose, each frame keeps 0.975 of the speed: 300 such
  // frames leave about 5e-4 of it.
  EXPECT_NEAR(camera.velocity.z / cruise, std::pow(0.975, 300), 2e-5);
  // A fourth button does not brake.
  stick_->joystick.buttons[3] = 0x80;
  const float slow = camera.velocity.z;
  Frame();
  EXPECT_GT(camera.velocity.z, slow);
}

TEST_F(Flight, StickCurveAtHalfDeflection) {
  stick_->joystick.lX = 1000;
  stick_->joystick.lY = 1000;
  Frame();
  const float fullRoll = camera.rollRate, fullPitch = camera.pitchRate;
  EXPECT_FLOAT_EQ(fullRoll, 0.055f * 0.96f);
  EXPECT_FLOAT_EQ(fullPitch, 0.075f * 0.91f);

  camera.rollRate = camera.pitchRate = 0;
  stick_->joystick.lX = 500;
  stick_->joystick.lY = -500;
  Frame();
  const double half = std::pow(0.5, 1.3);  // about 0.406
  EXPECT_NEAR(camera.rollRate / fullRoll, half, 1e-6);
  EXPECT_NEAR(camera.pitchRate / fullPitch, -half, 1e-6);
  EXPECT_FLOAT_EQ(CurveStick(0.5f), static_cast<float>(half));
  EXPECT_FLOAT_EQ(CurveStick(-0.5f), -static_cast<float>(half));
  EXPECT_EQ(CurveStick(0), 0.0f);
  EXPECT_EQ(CurveStick(1), 1.0f);
}

TEST_F(Flight, SteadyFullStickSettlesTheRates) {
  stick_->joystick.lX = 1000;
  Frames(600);
  EXPECT_NEAR(camera.rollRate, 1.32f, 1e-4f);
  stick_->joystick.lX = -1000;
  Frames(600);
  EXPECT_NEAR(camera.rollRate, -1.32f, 1e-4f);
  stick_->joystick.lX = 0;
  stick_->joystick.lY = 1000;
  Frames(300);
  EXPECT_NEAR(camera.pitchRate, 0.7583f, 1e-4f);
  EXPECT_NEAR(camera.rollRate, 0.0f, 1e-4f);
}

TEST_F(Flight, SteadyRollTurnsTheCraft) {
  stick_->joystick.lX = 1000;
  Frames(300);
  // Banked to one side while the levelling step pulls back; the nose has
  // swung round in the horizontal plane.
  const Vec3 f0 = camera.forward;
  Frame();
  const Vec3 turn = camera.forward - f0;
  EXPECT_GT(Length(turn), 0.02f);
  EXPECT_LT(Length(turn), 0.06f);
  EXPECT_NE(camera.right.y, 0.0f);
}

TEST_F(Flight, GroundClampAndBounce) {
  camera.position = {6, 0.35f, 0};
  camera.velocity = {0, -0.1f, 0};
  Frame();
  // Moving straight down with the nose level: a = 0, k = 0.01.
  const float vy = -0.1f + (0.0f - -0.1f) * 0.01f;  // -0.099
  EXPECT_EQ(camera.position.y, 0.3f);
  EXPECT_FLOAT_EQ(camera.velocity.y, vy * -0.8f);
  EXPECT_NEAR(camera.velocity.y, 0.0792f, 1e-6f);

  // Moving up while below the ground height: lifted, velocity untouched.
  camera.position = {6, 0.2f, 0};
  camera.velocity = {0, 0.05f, 0};
  Frame();
  EXPECT_EQ(camera.position.y, 0.3f);
  EXPECT_FLOAT_EQ(camera.velocity.y, 0.05f - 0.05f * 0.01f);

  // Sliding along the ground.
  camera.position = {6, 0.3f, 0};
  camera.velocity = {0, 0, 0.2f};
  Frame();
  EXPECT_EQ(camera.position.y, 0.3f);
  EXPECT_EQ(camera.velocity.y, 0.0f);
}

TEST_F(Flight, NoseDownDiveBouncesAtFullRestitution) {
  // Already diving at cruise speed along the nose: the velocity step leaves
  // it as it is and the ground turns -0.24 into +0.192.
  camera.position = {0, 0.4f, 0};
  camera.velocity = {0, -0.24f, 0};
  camera.forward = {0, -1, 0};
  camera.up = {0, 0, 1};
  Frame();
  EXPECT_EQ(camera.position.y, 0.3f);
  EXPECT_NEAR(camera.velocity.y, 0.192f, 1e-6f);
  ExpectVec(camera.forward, 0, -1, 0, 0);
}

TEST_F(Flight, NothingLimitsPitch) {
  camera.position = {0, 500, 0};
  camera.forward = {0, -1, 0};
  camera.up = {0, 0, 1};
  Frames(50);
  ExpectVec(camera.forward, 0, -1, 0, 0);
  EXPECT_LT(camera.position.y, 499.0f);
  EXPECT_LT(camera.velocity.y, -0.1f);
  // Full back stick: the nose comes up through the horizon, straight up and
  // over into a loop.
  stick_->joystick.lY = 1000;
  bool straightUp = false, straightDownAgain = false;
  for (int i = 0; i < 400; ++i) {
    Frame();
    if (camera.forward.y > 0.99f) straightUp = true;
    if (straightUp && camera.forward.y < -0.99f) straightDownAgain = true;
  }
  EXPECT_TRUE(straightUp);
  EXPECT_TRUE(straightDownAgain);
  ExpectOrthonormal(camera, 1e-5f);
}

TEST_F(Flight, BasisStaysOrthonormalOverALongFlight) {
  for (int i = 0; i < 3000; ++i) {
    stick_->joystick.lX = static_cast<int32_t>(1000 * std::sin(i * 0.013));
    stick_->joystick.lY = static_cast<int32_t>(1000 * std::sin(i * 0.0071 + 1));
    stick_->joystick.buttons[i / 500 % 3] = (i % 700 < 90) ? 0x80 : 0;
    Frame();
    EXPECT_GE(camera.position.y, 0.3f);
    if (i % 100 == 99) {
      SCOPED_TRACE(i);
      ExpectOrthonormal(camera, 2e-6f);
    }
  }
}

struct FlightSegment {
  int frames;
  int32_t stickX, stickY;
  int brake;  // joystick button held, -1 for none
};
#include "tests/unit/flight_path.inc"

// A scripted flight (full and half stick both ways, nose up, a dive into
// the ground and off it, each brake) against the flight model worked out
// independently in single precision by flight_path.py.
TEST_F(Flight, FollowsTheScriptedPathExactly) {
  int frame = 0;
  size_t row = 0;
  for (const FlightSegment& seg : kFlightScript) {
    stick_->joystick = {};
    stick_->joystick.lX = seg.stickX;
    stick_->joystick.lY = seg.stickY;
    if (seg.brake >= 0) stick_->joystick.buttons[seg.brake] = 0x80;
    for (int i = 0; i < seg.frames; ++i) {
      Frame();
      if (++frame % kFlightEvery != 0) continue;
      ASSERT_LT(row, std::size(kFlightStates));
      const float* want = kFlightStates[row++];
      const Camera& c = camera;
      const Vec3 got[5] = {c.position, c.velocity, c.forward, c.right, c.up};
      for (int k = 0; k < 15; ++k) {
        const float g = (&got[k / 3].x)[k % 3];
        ASSERT_NEAR(g, want[k], 1e-6f * std::max(1.0f, std::fabs(want[k])))
            << "frame " << frame << ", value " << k;
      }
    }
  }
  EXPECT_EQ(row, std::size(kFlightStates));
}

// One value or a run of exact arguments, for comparing call streams.
void ExpectCall(const GlCall& c, GlOp op, std::vector<double> args, double tol = 0) {
  EXPECT_EQ(c.op, op) << c.ToString();
  ASSERT_EQ(c.argc, args.size()) << c.ToString();
  for (size_t i = 0; i < args.size(); ++i) EXPECT_NEAR(c.a[i], args[i], tol) << c.ToString();
}

std::vector<GlCall> WithoutCityList(const std::vector<GlCall>& calls) {
  std::vector<GlCall> out;
  bool inList = false;
  for (const auto& c : calls) {
    if (c.op == GlOp::EndList) inList = false;
    if (!inList) out.push_back(c);
    if (c.op == GlOp::NewList) inList = true;
  }
  return out;
}

TEST_F(Flight, CallStreamOfTheFirstTwoFrames) {
  for (int frame = 1; frame <= 2; ++frame) {
    SCOPED_TRACE(frame);
    rec_.Clear();
    Frame();
    const auto c = WithoutCityList(rec_.calls());
    ASSERT_EQ(c.size(), 6u + 7 + 2 + (frame == 1 ? 3 : 1) + 12 + 14);
    size_t n = 0;
    // 3D projection.
    ExpectCall(c[n++], GlOp::Enable, {glc::DEPTH_TEST});
    ExpectCall(c[n++], GlOp::MatrixMode, {glc::PROJECTION});
    ExpectCall(c[n++], GlOp::LoadIdentity, {});
    ExpectCall(c[n++], GlOp::Frustum, {-0.1847455, 0.1847455, -0.1154659, 0.1154659, 0.2, 1000},
               1e-7);
    ExpectCall(c[n++], GlOp::MatrixMode, {glc::MODELVIEW});
    ExpectCall(c[n++], GlOp::LoadIdentity, {});
    // Frame state.
    ExpectCall(c[n++], GlOp::Clear, {glc::COLOR_BUFFER_BIT | glc::DEPTH_BUFFER_BIT});
    ExpectCall(c[n++], GlOp::Enable, {glc::DEPTH_TEST});
    ExpectCall(c[n++], GlOp::DepthFunc, {glc::LEQUAL});
    ExpectCall(c[n++], GlOp::Disable, {glc::CULL_FACE});
    ExpectCall(c[n++], GlOp::Disable, {glc::TEXTURE_2D});
    ExpectCall(c[n++], GlOp::DepthMask, {1});
    ExpectCall(c[n++], GlOp::LoadIdentity, {});
    // Camera: rows right (-1, 0, 0), up (0, 1, 0), -forward (0, 0, -1).
    ExpectCall(c[n++], GlOp::MultMatrixf, {-1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1, 0, 0, 0, 0, 1});
    ExpectCall(c[n++], GlOp::Translatef,
               {-camera.position.x, -camera.position.y, -camera.position.z});
    // Frame 2 moves along the nose already: k = 0.025, v = 0.0024 + 0.2376 k.
    EXPECT_NEAR(camera.position.z, frame == 1 ? -24.9976 : -24.9976 + 0.00834, 2e-6);
    // City: built on the first frame, called on the second.
    if (frame == 1) {
      ExpectCall(c[n++], GlOp::GenLists, {1});
      EXPECT_EQ(c[n++].op, GlOp::NewList);
      EXPECT_EQ(c[n++].op, GlOp::EndList);
    } else {
      ExpectCall(c[n++], GlOp::CallList, {1});
    }
    // Marker lines.
    ExpectCall(c[n++], GlOp::Color3f, {1, 1, 1});
    ExpectCall(c[n++], GlOp::LineWidth, {1});
    ExpectCall(c[n++], GlOp::Begin, {glc::LINES});
    for (auto [x, z] : {std::pair{-20, -20}, {20, -20}, {-20, 20}, {20, 20}}) {
      ExpectCall(c[n++], GlOp::Vertex3f, {double(x), 20, double(z)});
      ExpectCall(c[n++], GlOp::Vertex3f, {double(x), -20, double(z)});
    }
    ExpectCall(c[n++], GlOp::End, {});
    // Bank indicator, level.
    ExpectCall(c[n++], GlOp::Enable, {glc::BLEND});
    ExpectCall(c[n++], GlOp::BlendFunc, {glc::SRC_ALPHA, glc::ONE_MINUS_SRC_ALPHA});
    ExpectCall(c[n++], GlOp::Color4f, {1, 1, 1, 0.4f});
    ExpectCall(c[n++], GlOp::LoadIdentity, {});
    ExpectCall(c[n++], GlOp::Translatef, {0, 0, -2});
    ExpectCall(c[n++], GlOp::Scalef, {0.2f, 0.2f, 1});
    ExpectCall(c[n++], GlOp::Begin, {glc::LINES});
    ExpectCall(c[n++], GlOp::Vertex3f, {1, 0, 0});
    ExpectCall(c[n++], GlOp::Vertex3f, {-1, 0, 0});
    ExpectCall(c[n++], GlOp::Vertex3f, {0, 0.3f, 0});
    ExpectCall(c[n++], GlOp::Vertex3f, {0, -0.3f, 0});
    ExpectCall(c[n++], GlOp::End, {});
    ExpectCall(c[n++], GlOp::Disable, {glc::BLEND});
    ExpectCall(c[n++], GlOp::Color3f, {1, 1, 1});
    EXPECT_EQ(n, c.size());
  }
}

TEST_F(Flight, BankedCameraMatrixAndIndicator) {
  // Banked about 30 degrees, nose slightly up, turning.
  camera.forward = {0.1f, 0.2f, 1};
  camera.up = {0.5f, 0.85f, 0};
  camera.rollRate = 0.4f;
  Frame();
  const Camera& k = camera;
  const auto m = rec_.Only(GlOp::MultMatrixf);
  ASSERT_EQ(m.size(), 1u);
  const float want[16] = {k.right.x, k.up.x, -k.forward.x, 0, k.right.y, k.up.y, -k.forward.y, 0,
                          k.right.z, k.up.z, -k.forward.z, 0, 0, 0, 0, 1};
  for (int i = 0; i < 16; ++i) EXPECT_EQ(m[0].f(i), want[i]) << i;

  const auto lines = rec_.Only(GlOp::Vertex3f);
  ASSERT_GE(lines.size(), 12u);
  const float b = k.right.y;
  ASSERT_GT(std::fabs(b), 0.3f);
  const float c = std::cos(std::asin(b));
  const size_t n = lines.size() - 4;
  ExpectCall(lines[n], GlOp::Vertex3f, {c, -b, 0}, 1e-6);
  ExpectCall(lines[n + 1], GlOp::Vertex3f, {-c, b, 0}, 1e-6);
  ExpectCall(lines[n + 2], GlOp::Vertex3f, {0.3f * b, 0.3f * c, 0}, 1e-6);
  ExpectCall(lines[n + 3], GlOp::Vertex3f, {-0.3f * b, -0.3f * c, 0}, 1e-6);
  // The short line stands square on the long one.
  EXPECT_NEAR((2 * c) * (0.6 * b) + (-2 * b) * (0.6 * c), 0, 1e-6);
  const auto blend = rec_.Only(GlOp::Color4f);
  ASSERT_EQ(blend.size(), 1u);
  EXPECT_FLOAT_EQ(blend[0].f(3), 0.4f);
}

TEST_F(Flight, RecordsThePoseAfterTheUpdate) {
  camera.up = {0.3f, 1, 0};
  Frames(80);
  const Recording& live = recordings[0];
  ASSERT_GT(live.frameCount, 0);
  const FrameRecord& r = live.frames[live.frameCount - 1];
  EXPECT_EQ(r.position.x, camera.position.x);
  EXPECT_EQ(r.position.y, camera.position.y);
  EXPECT_EQ(r.position.z, camera.position.z);
  // Camera to world: the columns are right, up and -forward.
  const Vec3 cols[3] = {camera.right, camera.up, camera.forward * -1.0f};
  for (int col = 0; col < 3; ++col) {
    EXPECT_EQ(r.rotation[4 * col + 0], cols[col].x);
    EXPECT_EQ(r.rotation[4 * col + 1], cols[col].y);
    EXPECT_EQ(r.rotation[4 * col + 2], cols[col].z);
    EXPECT_EQ(r.rotation[4 * col + 3], 0.0f);
  }
  EXPECT_EQ(r.rotation[12], 0.0f);
  EXPECT_EQ(r.rotation[13], 0.0f);
  EXPECT_EQ(r.rotation[14], 0.0f);
  EXPECT_EQ(r.rotation[15], 1.0f);
}

TEST_F(Flight, ColourMultiplierIsResetAfterTheGhosts) {
  colorMultiplier = {0.5f, 0.6f, 0.7f};
  Frame();
  EXPECT_EQ(colorMultiplier.x, 1.0f);
  EXPECT_EQ(colorMultiplier.y, 1.0f);
  EXPECT_EQ(colorMultiplier.z, 1.0f);
}

}  // namespace
}  // namespace vl
