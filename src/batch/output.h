// The batch tool's output files. A file is written under a short temporary
// name beside the file it replaces and renamed into place only when the whole
// run and every other output succeeded, so a failed or interrupted run leaves
// the previous files as they were and no temporary file behind. A symbolic
// link is followed: the file it leads to is replaced and the link stays. A
// target that is not a regular file (a device, a pipe, standard output) is
// written through. Every write, the flush, the sync and the close are checked.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

namespace popchan::batch {

class OutputFile {
  public:
    OutputFile() = default;
    ~OutputFile(); // an uncommitted file is removed
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Opens `path` for writing; false with error() set when it cannot be
    // created. An empty path is no file: writes go nowhere.
    bool open(const std::string& path);
    bool is_open() const { return file_ != nullptr; }
    // Once a write failed, error() tells why and later writes are dropped.
    void write(std::string_view text);
    // Sends what is buffered; false with error() set when anything written
    // so far was lost.
    bool flush();
    // Flushes, syncs, closes and renames into place, alone; false with
    // error() set when anything written was lost. commit_outputs() commits
    // several files and standard output together.
    bool commit();
    // "cannot write day.csv: No space left on device"; empty while all is well
    const std::string& error() const { return error_; }

  private:
    friend std::string commit_outputs(std::initializer_list<OutputFile*> files);
    bool finish();  // flushed, synced, closed, with the replaced file's mode
    bool replace(); // renamed into place, and the folder synced
    void fail(int errnum);
    std::string path_;      // as named, for messages
    std::string target_;    // the regular file replaced: path_ with its links followed
    std::string temporary_; // beside target_; empty when written through
    std::string error_;
    std::FILE* file_ = nullptr;
    int slot_ = -1; // in the list the signal handler cleans up
};

// Everything written is flushed and synced, standard output included, and
// only then are the files renamed into place: a failure anywhere replaces
// none. The text names what failed, empty when all is well.
std::string commit_outputs(std::initializer_list<OutputFile*> files);

// Two options that name one regular file, pipe or terminal, by any path or
// link: "--per-day a.csv and --plot ./a.csv are the same file", "… are the
// same pipe", whose lines would tear each other; empty when each names its
// own. Another device (/dev/null) may be named twice.
std::string same_file(std::initializer_list<std::pair<std::string_view, std::string>> outputs);

// A progress bar with the time left, over one line of a terminal, once the
// run has taken a second.
class ProgressBar {
  public:
    // `out` null: no bar. `seconds` tells the time since the run started.
    ProgressBar(std::FILE* out, std::function<double()> seconds);
    ~ProgressBar(); // wipes the bar, if it was shown
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;
    void operator()(std::int64_t done, std::int64_t total);

  private:
    std::FILE* out_;
    std::function<double()> seconds_;
    bool shown_ = false;
};

// SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE and SIGXFSZ remove the temporary
// files of the open outputs, then end the program as the signal would. A
// signal the caller ignores (nohup) stays ignored.
void remove_temporaries_on_signals();

// Standard output: usable at all (not closed), and everything written to it
// reached it. The text names what failed, empty when all is well.
std::string check_standard_output_open();
std::string finish_standard_output();
// Writes to standard output; a failure is told by finish_standard_output,
// with the reason of the first write that failed.
void print(const std::string& text);

} // namespace popchan::batch
