#pragma once
// The instruction sets some pixel loops come in. The program is built for SSE2, which every x86-64 processor
// has (the first level); the loops that gain most from wider registers or from AVX-512's byte masks are also
// compiled for those alone and run so where the processor has them, so that one build serves each processor
// at its best. Each level includes the ones before it.

namespace graphics {

enum class SimdLevel { Sse2, Avx2, Avx512 };

// Whether this processor has the level's instructions and the system saves their registers.
bool processorRuns(SimdLevel level);

// The highest level the processor runs: the public loops call its forms. Decided once, on first use.
SimdLevel simdLevel();

} // namespace graphics
