// Compiled with -mavx2, and called only where the processor has it.
#include "engine/Xxh3Functions.h"

namespace veskard::engine::xxh3 {

const Functions& avx2Functions() {
    return thisForm;
}

} // namespace veskard::engine::xxh3
