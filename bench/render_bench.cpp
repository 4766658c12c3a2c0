#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "render/gl.h"
#include "render/renderer.h"
#include "sim/scene.h"
#include "x11/egl_surface.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

EglSurface gBenchSurface;

void OpenWindow() {
    gRandom = RandomSource{};
    StartAnimation(kWidth, kHeight);
}

void BM_RenderFrame(benchmark::State& state) {
    OpenWindow();
    for (auto _ : state) {
        RenderFrame(PresentEglSurface, &gBenchSurface);
    }
    FreeScene();
}
BENCHMARK(BM_RenderFrame)->Unit(benchmark::kMicrosecond);

// The floor under every frame: clearing 1024 x 768 pixels and waiting for it.
void BM_ClearOnly(benchmark::State& state) {
    OpenWindow();
    for (auto _ : state) {
        gFrameCounter = NextFrameCounter(gFrameCounter);
        const ClearColour colour = CycleColour(gFrameCounter);
        glClearColor(colour.red, colour.green, colour.blue, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glFinish();
    }
    FreeScene();
}
BENCHMARK(BM_ClearOnly)->Unit(benchmark::kMicrosecond);

// Prints the usual table and keeps each benchmark's time per frame, so the
// ratio of the two can be printed at the end of the same run.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            // With --benchmark_repetitions the median stands for the benchmark.
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            if ((median || single) && !run.error_occurred) {
                microseconds[run.run_name.function_name] =
                    run.GetAdjustedRealTime() *
                    benchmark::GetTimeUnitMultiplier(benchmark::kMicrosecond) /
                    benchmark::GetTimeUnitMultiplier(run.time_unit);
            }
        }
    }

    std::map<std::string, double> microseconds;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::string error;
    if (!CreateEglSurface(kWidth, kHeight, gBenchSurface, error)) {
        std::fprintf(stderr, "render_bench: %s\n", error.c_str());
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    ReleaseEglSurface(gBenchSurface);
    const auto frame = reporter.microseconds.find("BM_RenderFrame");
    const auto clear = reporter.microseconds.find("BM_ClearOnly");
    if (frame != reporter.microseconds.end() && clear != reporter.microseconds.end() &&
        clear->second > 0.0) {
        std::printf("1024x768 frame: %.1f us, clear only: %.1f us, ratio %.2f\n", frame->second,
                    clear->second, frame->second / clear->second);
    }
    benchmark::Shutdown();
    return 0;
}
