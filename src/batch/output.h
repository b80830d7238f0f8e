// The batch tool's output files. A file is written beside its target under a
// temporary name and renamed into place only when the whole run succeeded, so
// a failed or interrupted run leaves the previous file as it was and no
// temporary file behind. A target that is not a regular file (a device, a
// pipe) is written directly. Every write, the flush and the close are checked.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

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
    void write(std::string_view text);
    // Sends what is buffered; false with error() set when anything written
    // so far was lost.
    bool flush();
    // Flushes, closes and renames into place; false with error() set when
    // anything written was lost.
    bool commit();
    // "cannot write day.csv: No space left on device"
    const std::string& error() const { return error_; }

  private:
    void fail(int errnum);
    std::string path_, temporary_, error_;
    std::FILE* file_ = nullptr;
    int slot_ = -1; // in the list the signal handler cleans up
};

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

// Ctrl+C, SIGTERM, SIGHUP and a closed pipe remove the temporary files of the
// open outputs, then end the program as the signal would.
void remove_temporaries_on_signals();

// Standard output: usable at all (not closed), and everything written to it
// reached it. The text names what failed, empty when all is well.
std::string check_standard_output_open();
std::string finish_standard_output();

} // namespace popchan::batch
