// Figures of the music player: CPU use with nothing playing and while a piece
// plays, looped as the machine loops it, and the time it takes to quit.
// Usage: music_bench MUSIC_DIR [RUN_SECONDS]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>
#include <time.h>

#include "shell/fluid_media.h"

namespace {

double cpu_seconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

double wall_seconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// CPU share of the process over `seconds` of sleep on this thread.
double cpu_share_over(double seconds) {
    const double cpu0 = cpu_seconds(), wall0 = wall_seconds();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    return 100 * (cpu_seconds() - cpu0) / (wall_seconds() - wall0);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: music_bench MUSIC_DIR [RUN_SECONDS]\n");
        return 2;
    }
    const std::string piece = std::string(argv[1]) + "/kaiten.mid";
    const double run_seconds = argc > 2 ? std::atof(argv[2]) : 20;
    auto media = std::make_unique<popchan::FluidMedia>();
    if (!media->open(piece)) {
        std::fprintf(stderr, "music_bench: %s does not play\n", piece.c_str());
        return 1;
    }
    std::printf("music player, kaiten.mid (about 20 s)\n");
    std::printf("  CPU, device open, nothing playing: %6.2f %% of a core\n", cpu_share_over(5));
    std::fflush(stdout);
    // Once a second the piece starts again if it has ended, as the machine's
    // loop would; a piece that ends early shows in the count.
    media->play();
    const double cpu0 = cpu_seconds(), wall0 = wall_seconds();
    int endings = 0;
    while (wall_seconds() - wall0 < run_seconds) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        if (media->mode() != "playing") {
            ++endings;
            media->seek_to_start();
            media->play();
        }
    }
    const double cpu = cpu_seconds() - cpu0, wall = wall_seconds() - wall0;
    std::printf("  CPU while it plays for %3.0f s     : %6.2f %% of a core (goal < 10 %%)\n", wall,
                100 * cpu / wall);
    std::printf("  times it ended meanwhile         : %6d (in real time at most %d)\n", endings,
                int(wall / 16));
    std::fflush(stdout);
    // Quitting while music plays: the stop of the unload, then the player goes.
    const double quit0 = wall_seconds();
    media->stop();
    media->close();
    media.reset();
    std::printf("  time to quit                     : %6.1f ms (goal < 100 ms)\n",
                1000 * (wall_seconds() - quit0));
    return 0;
}
