#include "render/gles/es_api.h"

namespace vl {

// Until the platform fills it, every call does nothing.
EsApi es = {
#define VL_ES_NOTHING(ret, name, params, args) [](auto...) -> ret { return ret(); },
    VL_ES_FUNCTIONS(VL_ES_NOTHING)
#undef VL_ES_NOTHING
};

}  // namespace vl
