#include "batch/output.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace popchan::batch {

namespace {

// The temporary files being written, for the signal handler: fixed slots, so
// the handler needs no allocation.
constexpr int kSlots = 16;
constexpr std::size_t kPathMax = 4096;
char g_temporaries[kSlots][kPathMax];
std::atomic<bool> g_used[kSlots];

int take_slot(const std::string& path) {
    if (path.size() >= kPathMax) return -1;
    for (int i = 0; i < kSlots; ++i) {
        bool expected = false;
        if (g_used[i].compare_exchange_strong(expected, true)) {
            std::memcpy(g_temporaries[i], path.c_str(), path.size() + 1);
            return i;
        }
    }
    return -1;
}

void free_slot(int slot) {
    if (slot >= 0) g_used[slot] = false;
}

extern "C" void on_signal(int sig) {
    for (int i = 0; i < kSlots; ++i)
        if (g_used[i]) unlink(g_temporaries[i]);
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

std::string reason(const std::string& what, int errnum) {
    return "cannot write " + what + ": " + std::strerror(errnum);
}

} // namespace

OutputFile::~OutputFile() {
    if (file_) std::fclose(file_);
    if (!temporary_.empty()) unlink(temporary_.c_str());
    free_slot(slot_);
}

bool OutputFile::open(const std::string& path) {
    if (path.empty()) return true;
    path_ = path;
    struct stat st {};
    const bool exists = stat(path.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) {
        error_ = reason(path, EISDIR);
        return false;
    }
    const bool special = exists && !S_ISREG(st.st_mode);
    int fd = -1;
    if (special) {
        fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    } else {
        // Beside the target, so the rename stays on one file system.
        const std::size_t slash = path.rfind('/');
        const std::string dir = slash == std::string::npos ? "" : path.substr(0, slash + 1);
        const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
        std::string temporary = dir + "." + name + ".tmp-XXXXXX";
        fd = mkstemp(temporary.data());
        if (fd >= 0) {
            temporary_ = temporary;
            slot_ = take_slot(temporary_);
            // The file gets the usual permissions, as a plain create would.
            const mode_t mask = umask(0);
            umask(mask);
            fchmod(fd, 0666 & ~mask);
        }
    }
    if (fd < 0) {
        error_ = reason(path, errno);
        return false;
    }
    file_ = fdopen(fd, "w");
    if (!file_) {
        error_ = reason(path, errno);
        ::close(fd);
        return false;
    }
    return true;
}

void OutputFile::fail(int errnum) {
    if (error_.empty()) error_ = reason(path_, errnum);
}

void OutputFile::write(std::string_view text) {
    if (!file_ || !error_.empty()) return;
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) fail(errno);
}

bool OutputFile::flush() {
    if (file_ && (std::fflush(file_) != 0 || std::ferror(file_))) fail(errno);
    return error_.empty();
}

bool OutputFile::commit() {
    if (!flush() || !file_) return error_.empty();
    if (std::fclose(file_) != 0) fail(errno);
    file_ = nullptr;
    if (error_.empty() && !temporary_.empty()) {
        if (std::rename(temporary_.c_str(), path_.c_str()) != 0)
            fail(errno);
        else
            temporary_.clear();
    }
    return error_.empty();
}

ProgressBar::ProgressBar(std::FILE* out, std::function<double()> seconds)
    : out_(out), seconds_(std::move(seconds)) {}

void ProgressBar::operator()(std::int64_t done, std::int64_t total) {
    const double elapsed = seconds_();
    if (!out_ || elapsed < 1.0) return;
    const double share = double(done) / double(total);
    const int filled = int(share * 30);
    std::fprintf(out_, "\r[%s%s] %5.1f %%  %.0f s left ", std::string(filled, '#').c_str(),
                 std::string(30 - filled, '.').c_str(), 100 * share,
                 share > 0 ? elapsed * (1 - share) / share : 0.0);
    shown_ = true;
}

ProgressBar::~ProgressBar() {
    if (shown_) std::fprintf(out_, "\r%60s\r", "");
}

void remove_temporaries_on_signals() {
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGPIPE})
        std::signal(sig, on_signal);
}

std::string check_standard_output_open() {
    if (fcntl(STDOUT_FILENO, F_GETFD) < 0) return reason("standard output", errno);
    return {};
}

std::string finish_standard_output() {
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        return reason("standard output", errno ? errno : EIO);
    if (std::fclose(stdout) != 0) return reason("standard output", errno ? errno : EIO);
    return {};
}

} // namespace popchan::batch
