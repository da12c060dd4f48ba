#include "engine/graphics/SimdLevel.h"

namespace graphics {

// The compiler's checks also ask the system whether it saves the wider registers on a thread switch. A build
// for a processor without SSE2 has only the first level, where the loops run their plain forms.
bool processorRuns(SimdLevel level) {
#if defined(__SSE2__)
    __builtin_cpu_init();
    switch (level) {
    case SimdLevel::Sse2:
        return true;
    case SimdLevel::Avx2:
        return __builtin_cpu_supports("avx2");
    case SimdLevel::Avx512:
        return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("avx512bw") &&
               __builtin_cpu_supports("avx512vl");
    }
    return false;
#else
    return level == SimdLevel::Sse2;
#endif
}

SimdLevel simdLevel() {
    static const SimdLevel highest = processorRuns(SimdLevel::Avx512) ? SimdLevel::Avx512
                                     : processorRuns(SimdLevel::Avx2) ? SimdLevel::Avx2
                                                                      : SimdLevel::Sse2;
    return highest;
}

} // namespace graphics
