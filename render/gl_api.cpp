#include "render/gl_api.h"

namespace vl {

namespace {
// Until the platform layer installs the driver, every call does nothing, so
// logic that touches GL before a context exists cannot crash.
void NoViewport(int32_t, int32_t, int32_t, int32_t) {}
void NoU(uint32_t) {}
void NoV() {}
void No6d(double, double, double, double, double, double) {}
void No4f(float, float, float, float) {}
void No3f(float, float, float) {}
void No1d(double) {}
void No1b(uint8_t) {}
void No2u(uint32_t, uint32_t) {}
void No1f(float) {}
void NoMat(const float*) {}
uint32_t NoGen(int32_t) { return 0; }
}  // namespace

GlApi gl = {
    NoViewport, NoU, NoV,  No6d, No6d, NoU, NoU, NoU, No4f, No1d, No1b, NoU,
    No2u,       No2u, NoU, NoV,  NoV,  No3f, No4f, No1f, No2u, NoU,  NoV, No3f,
    NoV,        NoV, No3f, No3f, No4f, NoMat, NoGen, No2u, NoV, NoU,
};

}  // namespace vl
