// Lotteries per second with the seeded generator.
#include <benchmark/benchmark.h>

#include "machine/lottery.h"

using namespace popchan;

static void BM_Lottery(benchmark::State& state) {
    MachineRandom rng(1, false);
    Premises z;
    SpinState s;
    s.kakuhen_flag = static_cast<int>(state.range(0));
    for (auto _ : state) {
        s.spin_phase = 0;
        Timer1_Timer(s, 0, z, rng);
        benchmark::DoNotOptimize(s.atari_flag);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Lottery)->Arg(0)->Arg(1)->ArgName("kakuhen");

static void BM_Rnd(benchmark::State& state) {
    MachineRandom rng(1, false);
    for (auto _ : state)
        benchmark::DoNotOptimize(rng.Rnd());
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Rnd);

BENCHMARK_MAIN();
