#include "flight/game_frame.h"

#include <algorithm>
#include <cmath>

#include "flight/camera.h"
#include "flight/ghosts.h"
#include "flight/recordings.h"
#include "flight/replay.h"
#include "flight/vec_math.h"
#include "input/input_devices.h"
#include "render/boxes.h"
#include "render/city.h"
#include "render/gl_api.h"
#include "render/projection.h"

namespace vl {

namespace {

// Flight model constants; every rate is per 16 ms frame.
constexpr float kStickDeadZone = 0.0f;
constexpr float kStickExponent = 1.3f;
constexpr float kRollGain = 0.055f;
constexpr float kRollDamping = 0.96f;
constexpr float kPitchGain = 0.075f;
constexpr float kPitchDamping = 0.91f;
constexpr float kPitchStep = 0.05f;
constexpr float kRollStep = 0.03f;
constexpr float kLevelStep = 0.03f;
constexpr float kCruiseSpeed = 0.24f;
constexpr float kBaseResponse = 0.01f;
constexpr float kAlignedResponse = 0.015f;
constexpr float kAlignmentExponent = 1.5f;
constexpr float kGroundHeight = 0.3f;
constexpr float kGroundRestitution = -0.8f;

// Joystick buttons 0 to 2 brake.
constexpr int32_t kBrakeCodes[] = {260, 261, 262};

float StickAxis(int32_t index) { return inputDevices ? inputDevices->joyAxis(index) : 0.0f; }

bool Braking() {
  if (!inputDevices) return false;
  for (int32_t code : kBrakeCodes)
    if (inputDevices->isDown(code)) return true;
  return false;
}

void FrameSetUp() {
  SetProjection(true);
  gl.Clear(glc::COLOR_BUFFER_BIT | glc::DEPTH_BUFFER_BIT);
  gl.Enable(glc::DEPTH_TEST);
  gl.DepthFunc(glc::LEQUAL);
  gl.Disable(glc::CULL_FACE);
  gl.Disable(glc::TEXTURE_2D);
  gl.DepthMask(glc::TRUE_);
  gl.LoadIdentity();
}

void Steer(Camera& c) {
  const float sy = CurveStick(DeadZone(StickAxis(1), kStickDeadZone));
  const float sx = CurveStick(DeadZone(StickAxis(0), kStickDeadZone));
  c.rollRate = (c.rollRate + kRollGain * sx) * kRollDamping;
  c.pitchRate = c.pitchRate + kPitchGain * sy;
  c.pitchRate = c.pitchRate * kPitchDamping;

  c.forward = c.forward + c.up * (c.pitchRate * kPitchStep);  // pitch
  Orthonormalize(c);
  c.up = c.up + c.right * (c.rollRate * kRollStep);  // roll
  Orthonormalize(c);
  c.forward = c.forward + c.right * (c.rollRate * kRollStep);  // turn with the bank
  Orthonormalize(c);
  // Wings level by themselves: up leans away from the low wing.
  c.up = c.up + c.right * (c.right.y * kLevelStep);
  Orthonormalize(c);
}

void Fly(Camera& c) {
  Vec3 dir = c.velocity;
  Normalize(dir);
  float a = Dot(dir, c.forward);
  if (a < 0) a = 0;
  // The velocity follows the nose faster when the craft already moves
  // along it.
  const float k = static_cast<float>(
      std::pow(static_cast<double>(a), static_cast<double>(kAlignmentExponent)) *
          kAlignedResponse +
      kBaseResponse);
  const float s = Braking() ? 0.0f : kCruiseSpeed;
  c.velocity = c.velocity + (c.forward * s - c.velocity) * k;

  c.position = c.position + c.velocity;
  if (c.position.y < kGroundHeight) {
    c.position.y = kGroundHeight;
    if (c.velocity.y < 0) c.velocity.y = c.velocity.y * kGroundRestitution;
  }
}

void MarkerLines() {
  gl.Color3f(1, 1, 1);
  gl.LineWidth(1);
  gl.Begin(glc::LINES);
  const float posts[4][2] = {{-20, -20}, {20, -20}, {-20, 20}, {20, 20}};
  for (const auto& p : posts) {
    gl.Vertex3f(p[0], 20, p[1]);
    gl.Vertex3f(p[0], -20, p[1]);
  }
  gl.End();
}

void BankIndicator(const Camera& c) {
  gl.Enable(glc::BLEND);
  gl.BlendFunc(glc::SRC_ALPHA, glc::ONE_MINUS_SRC_ALPHA);
  gl.Color4f(1, 1, 1, 0.4f);
  gl.LoadIdentity();
  gl.Translatef(0, 0, -2);
  gl.Scalef(0.2f, 0.2f, 1);
  const float b = c.right.y;
  // right is unit length only to float precision; keep asin in its domain
  // so a wing straight down still gives a line and not NaN.
  const float c0 = static_cast<float>(std::cos(std::asin(std::clamp(b, -1.0f, 1.0f))));
  gl.Begin(glc::LINES);
  gl.Vertex3f(c0, -b, 0);
  gl.Vertex3f(-c0, b, 0);
  gl.Vertex3f(0.3f * b, 0.3f * c0, 0);
  gl.Vertex3f(-0.3f * b, -0.3f * c0, 0);
  gl.End();
  gl.Disable(glc::BLEND);
  gl.Color3f(1, 1, 1);
}

}  // namespace

float CurveStick(float v) {
  const double e = kStickExponent;
  if (v > 0) return static_cast<float>(std::pow(static_cast<double>(v), e));
  if (v < 0) return static_cast<float>(-std::pow(-static_cast<double>(v), e));
  return 0.0f;
}

void GameFrame() {
  Camera& c = camera;
  FrameSetUp();
  // A replay flies the recorded poses instead of the flight model, and
  // records nothing.
  const bool replaying = ReplayActive();
  if (replaying) {
    TakeReplayPose(c);
  } else {
    Steer(c);
    Fly(c);
  }

  // World to camera: the rows are right, up and -forward.
  float m[16] = {c.right.x, c.up.x, -c.forward.x, 0, c.right.y, c.up.y, -c.forward.y, 0,
                 c.right.z, c.up.z, -c.forward.z, 0, 0,         0,      0,            1};
  gl.MultMatrixf(m);
  gl.Translatef(-c.position.x, -c.position.y, -c.position.z);

  // Its transpose turns camera space back into the world: the pose recorded.
  TransposeMatrix(m);
  if (!replaying) RecordFrame(c.position, m);

  CityStep();
  DrawGhosts();
  if (replaying) DrawReplayedFlight();
  colorMultiplier = {1.0f, 1.0f, 1.0f};

  MarkerLines();
  // The bank indicator belongs to the cockpit.
  if (!replaying || !ReplayFromOutside()) BankIndicator(c);
  if (replaying) AdvanceReplay();
}

}  // namespace vl
