#include "engine/Xxh3Functions.h"

namespace veskard::engine::xxh3 {

const Functions& functions() {
    return thisForm;
}

} // namespace veskard::engine::xxh3
