// Writes the machine's background music as Standard MIDI Files:
//   make_music DIR    (from the repository: make_music assets/music)
// The files are committed; run this again after changing a piece. The output
// depends on nothing but this code, so the bytes are the same every run.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "pieces.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    try {
        std::filesystem::create_directories(dir);
        for (const music::Piece& piece : music::kPieces) {
            const std::string path = dir + "/" + piece.file;
            const music::MidiFile file = piece.make();
            const std::size_t bytes = file.save(path);
            std::printf("%s  %zu bytes  %.2f s\n", path.c_str(), bytes, file.seconds());
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_music: %s\n", e.what());
        return 1;
    }
    return 0;
}
