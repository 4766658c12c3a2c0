// One frame of both simulation passes on the 1024 x 768 starting field, with
// the SSE approximations the saver uses beside the same passes with exact
// square roots and divisions (the path of processors without SSE).
#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <map>
#include <string>

#include "sim/gravity.h"
#include "sim/scene.h"

namespace {

void DiscardPoint(float, float, float) {}

std::array<Body, kBodyCount> gStartingField;

void SaveStartingField() {
    gRandom = RandomSource{};
    FreeScene();
    InitScene(1024, 768);
    for (int slot = 0; slot < kBodyCount; ++slot) {
        gStartingField[slot] = *gScene.bodies[slot];
    }
}

// Every iteration times the same frame: the field is put back first (30 small
// copies, the same cost for both variants) and the random source rewound.
void Frame(benchmark::State& state, bool useSse) {
    SaveStartingField();
    ChooseReciprocals(useSse);
    const RandomSource startingSource = gRandom;
    for (auto _ : state) {
        for (int slot = 0; slot < kBodyCount; ++slot) {
            *gScene.bodies[slot] = gStartingField[slot];
        }
        gRandom = startingSource;
        ComputeAccelerations();
        AdvanceAndDraw(DiscardPoint);
        benchmark::ClobberMemory();
    }
    FreeScene();
}

void BM_FrameSse(benchmark::State& state) {
    Frame(state, true);
}
void BM_FrameExact(benchmark::State& state) {
    Frame(state, false);
}

BENCHMARK(BM_FrameSse);
BENCHMARK(BM_FrameExact);

// Prints the usual table, then the CPU time per frame of each and their ratio.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        // With repetitions the median stands for the benchmark.
        for (const Run& run : runs) {
            if (run.aggregate_name.empty() || run.aggregate_name == "median") {
                nanoseconds_[run.run_name.function_name] = run.GetAdjustedCPUTime();
            }
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        const double sse = nanoseconds_["BM_FrameSse"];
        const double exact = nanoseconds_["BM_FrameExact"];
        if (sse > 0.0 && exact > 0.0) {
            std::printf("\nframe with SSE approximations: %.0f ns\n", sse);
            std::printf("frame with exact sqrt and division: %.0f ns\n", exact);
            std::printf("exact / SSE: %.2f\n", exact / sse);
        }
    }

  private:
    std::map<std::string, double> nanoseconds_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
