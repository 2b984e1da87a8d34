// The benchmarks' main: QV_SIMD=plain|sse2|avx2 caps the vector width of the drawing
// kernels, so one machine measures each width; the widths in use are printed with the
// context of every run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "draw/uQvRaster.h"
#include "draw/uQvResamplersEx.h"
#include "platform/uQvPixel.h"

namespace {

bool ApplySimdSwitch() {
    const char* Value = std::getenv("QV_SIMD");
    if (!Value || !*Value) return true;
    static const struct {
        const char* Name;
        TSimdWidth Width;
    } Widths[] = {{"plain", TSimdWidth::Plain}, {"sse2", TSimdWidth::Sse2}, {"avx2", TSimdWidth::Avx2}};
    for (const auto& W : Widths)
        if (std::strcmp(Value, W.Name) == 0) {
            LimitSimdWidth(W.Width);
            return true;
        }
    std::fprintf(stderr, "QV_SIMD must be plain, sse2 or avx2, not \"%s\"\n", Value);
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (!ApplySimdSwitch()) return 2;
    benchmark::AddCustomContext("simd", std::string("pixel ") + PixelKernels().Name + ", coverage " +
                                            CoverageKernels().Name + ", resample " +
                                            LinearRowKernels().Name);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
