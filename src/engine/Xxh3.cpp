#include "engine/Xxh3Functions.h"

namespace veskard::engine::xxh3 {

#ifdef VESKARD_XXH3_AVX2
const Functions& avx2Functions();
#endif

const Functions& functions() {
#ifdef VESKARD_XXH3_AVX2
    static const Functions& best = __builtin_cpu_supports("avx2") ? avx2Functions() : thisForm;
    return best;
#else
    return thisForm;
#endif
}

} // namespace veskard::engine::xxh3
