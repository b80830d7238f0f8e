// Display ticks per second, headless, with every pixel drawn.
#include <benchmark/benchmark.h>

#include "common/clock.h"
#include "display/spin_sequence.h"
#include "presentations/presentations.h"
#include "machine/lottery.h"

using namespace popchan;

static void BM_DisplayTick(benchmark::State& state) {
    MachineRandom rng(7, false);
    Digi d(rng);
    SpinState s;
    Clock clock([](int) {});
    Bgm bgm(clock, nullptr);
    DisplayContext c{s, d, rng, bgm, present_reach};
    Premises z;
    z.zentei_kakuritu = 30; // plenty of reaches, presentations and fanfares
    for (auto _ : state) {
        if (s.spin_phase != 1) {
            s.spin_phase = 0;
            Timer1_Timer(s, 0, z, rng);
        }
        Timer2_Timer(c);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DisplayTick);

BENCHMARK_MAIN();
