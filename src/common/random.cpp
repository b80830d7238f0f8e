#include "common/random.h"

#include <charconv>
#include <chrono>
#include <cstring>
#include <random>

namespace popchan {

std::uint64_t splitmix64(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

MachineRandom::MachineRandom(std::uint64_t seed, bool clock_mixing) : clock_mixing_(clock_mixing) {
    this->seed(seed);
}

void MachineRandom::seed(std::uint64_t seed) {
    for (auto& word : s_)
        word = splitmix64(seed);
}

MachineRandom::MachineRandom()
    : MachineRandom((std::uint64_t(std::random_device{}()) << 32) | std::random_device{}(), true) {}

void MachineRandom::mix_clock() {
    std::uint64_t reading =
        std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
    s_[0] ^= splitmix64(reading);
    if ((s_[0] | s_[1] | s_[2] | s_[3]) == 0) s_[0] = 1; // the one state it must avoid
    next();
}

std::unique_ptr<Random> seeded_random(const char* seed) {
    if (!seed) return nullptr;
    std::uint64_t value = 0;
    const char* end = seed + std::strlen(seed);
    const auto [at, error] = std::from_chars(seed, end, value);
    if (error != std::errc() || at != end || at == seed) return nullptr;
    return std::make_unique<MachineRandom>(value, false);
}

} // namespace popchan
