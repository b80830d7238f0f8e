#include "batch/output.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace popchan::batch {

namespace {

// The temporary files being written, for the signal handler: fixed slots, so
// the handler needs no allocation. A slot is taken, then filled, then ready;
// the handler reads only ready ones.
constexpr int kSlots = 16;
enum Slot : int { kFree, kTaken, kReady };
char g_temporaries[kSlots][PATH_MAX];
std::atomic<int> g_slots[kSlots];

int take_slot(const std::string& path) {
    if (path.size() >= PATH_MAX) return -1;
    for (int i = 0; i < kSlots; ++i) {
        int expected = kFree;
        if (g_slots[i].compare_exchange_strong(expected, kTaken)) {
            std::memcpy(g_temporaries[i], path.c_str(), path.size() + 1);
            g_slots[i] = kReady;
            return i;
        }
    }
    return -1;
}

void free_slot(int slot) {
    if (slot >= 0) g_slots[slot] = kFree;
}

extern "C" void on_signal(int sig) {
    for (int i = 0; i < kSlots; ++i)
        if (g_slots[i] == kReady) unlink(g_temporaries[i]);
    // Blocked while the handler runs: the default action follows its return.
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

// Why a file that may be written cannot be replaced.
constexpr const char* kNotReplaceable =
    " (another user's file in a folder with the sticky bit, which only its owner may replace)";

std::string reason(const std::string& what, int errnum) {
    return "cannot write " + what + ": " + std::strerror(errnum);
}

// "dir/" of "dir/name", "" of "name".
std::string folder_of(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

// The file a name stands for, its symbolic links followed as open() follows
// them; the file need not exist yet (a link may lead to a file to create).
// False with errno set when the links go round or cannot be read.
bool follow_links(std::string& path) {
    for (int links = 0; links < 40; ++links) {
        struct stat st {};
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
        char to[PATH_MAX];
        const ssize_t size = readlink(path.c_str(), to, sizeof to);
        if (size < 0) return false;
        if (std::size_t(size) == sizeof to) {
            errno = ENAMETOOLONG;
            return false;
        }
        path = (to[0] == '/' ? "" : folder_of(path)) + std::string(to, std::size_t(size));
    }
    errno = ELOOP;
    return false;
}

// Standard output or standard error when `st` is that very file (as
// /dev/stdout is): it is written through a copy of that descriptor, which
// keeps its place in the file. -1 for any other file.
int standard_stream(const struct stat& st) {
    for (int fd : {STDOUT_FILENO, STDERR_FILENO}) {
        struct stat open {};
        if (fstat(fd, &open) == 0 && open.st_dev == st.st_dev && open.st_ino == st.st_ino)
            return fd;
    }
    return -1;
}

// The replaced file's owner and group as far as this user may give them: a
// plain user keeps the file as their own, in the old group where they belong
// to it. 0, or the errno of a failure other than a refusal.
int keep_owner(int fd, const struct stat& old) {
    if (fchown(fd, old.st_uid, old.st_gid) == 0) return 0;
    if (errno != EPERM) return errno;
    if (fchown(fd, uid_t(-1), old.st_gid) == 0 || errno == EPERM) return 0;
    return errno;
}

// The replaced file's owner and group (keep_owner), then its permission
// `bits`; in a group other than the old one, none for the group. 0, or the
// errno of a failure.
int keep_owner_and_mode(int fd, const struct stat& old, mode_t bits) {
    if (const int errnum = keep_owner(fd, old); errnum != 0) return errnum;
    struct stat now {};
    if (fstat(fd, &now) != 0) return errno;
    const mode_t mode = old.st_mode & bits & (now.st_gid == old.st_gid ? 07777 : ~mode_t(070));
    return fchmod(fd, mode) == 0 ? 0 : errno;
}

// A new file under a short name beside `target` ("dir/.pbXXXXXX"), so that
// the rename stays on one file system and a name of the longest length a
// folder allows still has room for it; -1 with errno set when it cannot be
// made. It is never open to more than the file it replaces: it is made with
// no more than the owner's part of that file's permissions, then takes its
// owner and group, then its permissions (the set-user-ID and like bits only
// at the end). A new file gets the usual permissions, as a plain create would.
int create_beside(const std::string& target, const struct stat* old, std::string& temporary) {
    temporary = folder_of(target) + ".pbXXXXXX";
    const mode_t usual = umask(0);
    umask(old ? usual | (~old->st_mode & 0777) : usual);
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    const int made = errno;
    umask(usual);
    if (fd < 0) {
        errno = made;
        return -1;
    }
    const int errnum = old                              ? keep_owner_and_mode(fd, *old, 0777)
                       : fchmod(fd, 0666 & ~usual) == 0 ? 0
                                                        : errno;
    if (errnum != 0) {
        ::close(fd);
        unlink(temporary.c_str());
        errno = errnum;
        return -1;
    }
    return fd;
}

// Whether this user may put a new file in the place of `target` in its
// folder: in a folder with the sticky bit (/tmp), only the file's owner, the
// folder's owner and root may. EPERM when not, as the rename would fail.
int may_replace(const std::string& target, const struct stat& old) {
    const std::string folder = folder_of(target);
    struct stat st {};
    if (stat(folder.empty() ? "." : folder.c_str(), &st) != 0) return errno;
    const uid_t me = geteuid();
    if ((st.st_mode & S_ISVTX) && me != 0 && me != old.st_uid && me != st.st_uid) return EPERM;
    return 0;
}

// The folder's entry for a renamed file reaches the disk.
int sync_folder(const std::string& path) {
    const std::string folder = folder_of(path);
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    const int errnum = fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
    ::close(fd);
    return errnum;
}

// The device of the terminal a character device stands for, /dev/tty and
// /dev/stdout as the terminal they lead to; none for any other device. It is
// opened without becoming the controlling terminal, and without waiting.
std::optional<unsigned> terminal(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    unsigned device = 0;
    const bool is = isatty(fd) != 0 && ioctl(fd, TIOCGDEV, &device) == 0;
    ::close(fd);
    return is ? std::optional(device) : std::nullopt;
}

// What a name writes to, to tell two names of one file, pipe or terminal, as
// "file 2049:1234", "pipe …", "terminal …": the device and inode of an
// existing regular file, pipe or socket, the terminal's device, else the
// real folder and the name in it ("file /home/a/days.csv"). Empty for no file, for what may be
// named twice (another device, such as /dev/null) and for a name that cannot be created anyway,
// which open() reports.
std::string identity(const std::string& path) {
    if (path.empty()) return {};
    struct stat st {};
    if (stat(path.c_str(), &st) == 0) {
        const std::string inode = std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
        if (S_ISREG(st.st_mode)) return "file " + inode;
        if (S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode)) return "pipe " + inode;
        if (const auto device = S_ISCHR(st.st_mode) ? terminal(path) : std::nullopt)
            return "terminal " + std::to_string(*device);
        return {};
    }
    std::string target = path;
    if (!follow_links(target)) return {};
    const std::string folder = folder_of(target);
    const std::unique_ptr<char, decltype(&std::free)> real(
        realpath(folder.empty() ? "." : folder.c_str(), nullptr), &std::free);
    return real ? "file " + std::string(real.get()) + "/" + target.substr(folder.size()) : "";
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
    int fd = -1;
    if (const int stream = exists ? standard_stream(st) : -1; stream >= 0) {
        fd = fcntl(stream, F_DUPFD_CLOEXEC, 0);
    } else if (exists && !S_ISREG(st.st_mode)) {
        fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    } else {
        target_ = path;
        struct stat old {};
        if (follow_links(target_)) {
            const bool replaces = stat(target_.c_str(), &old) == 0;
            if (const int errnum = replaces ? may_replace(target_, old) : 0; errnum != 0) {
                error_ = reason(path, errnum) + (errnum == EPERM ? kNotReplaceable : "");
                return false;
            }
            fd = create_beside(target_, replaces ? &old : nullptr, temporary_);
        }
        if (fd >= 0) slot_ = take_slot(temporary_);
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

bool OutputFile::finish() {
    if (!flush() || !file_) return error_.empty();
    if (!temporary_.empty()) {
        const int fd = fileno(file_);
        struct stat old {};
        if (fsync(fd) != 0)
            fail(errno);
        else if (stat(target_.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
            // Again, with the set-user-ID and like bits, which a change of
            // owner clears, and as the file stands now.
            if (const int errnum = keep_owner_and_mode(fd, old, 07777); errnum != 0) fail(errnum);
        }
    }
    if (std::fclose(file_) != 0) fail(errno);
    file_ = nullptr;
    return error_.empty();
}

bool OutputFile::replace() {
    if (temporary_.empty()) return true;
    if (std::rename(temporary_.c_str(), target_.c_str()) != 0) {
        fail(errno);
        return false;
    }
    temporary_.clear();
    free_slot(std::exchange(slot_, -1));
    if (const int errnum = sync_folder(target_); errnum != 0) fail(errnum);
    return error_.empty();
}

bool OutputFile::commit() {
    return finish() && replace();
}

std::string commit_outputs(std::initializer_list<OutputFile*> files) {
    for (OutputFile* file : files)
        if (!file->finish()) return file->error();
    if (std::string e = finish_standard_output(); !e.empty()) return e;
    for (OutputFile* file : files)
        if (!file->replace()) return file->error();
    return {};
}

std::string same_file(std::initializer_list<std::pair<std::string_view, std::string>> outputs) {
    for (auto a = outputs.begin(); a != outputs.end(); ++a) {
        const std::string id = identity(a->second);
        for (auto b = a + 1; b != outputs.end(); ++b)
            if (!id.empty() && identity(b->second) == id)
                return std::string(a->first) + " " + a->second + " and " + std::string(b->first) +
                       " " + b->second + " are the same " + id.substr(0, id.find(' '));
    }
    return {};
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
    struct sigaction action {};
    action.sa_handler = on_signal;
    sigfillset(&action.sa_mask);
    for (int sig : {SIGHUP, SIGINT, SIGQUIT, SIGPIPE, SIGTERM, SIGXFSZ}) {
        struct sigaction old {};
        if (sigaction(sig, nullptr, &old) == 0 && old.sa_handler != SIG_IGN)
            sigaction(sig, &action, nullptr);
    }
}

std::string check_standard_output_open() {
    if (fcntl(STDOUT_FILENO, F_GETFD) < 0) return reason("standard output", errno);
    return {};
}

namespace {
int stdout_errno = 0; // why the first write to standard output failed
} // namespace

void print(const std::string& text) {
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() && stdout_errno == 0)
        stdout_errno = errno;
}

std::string finish_standard_output() {
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        return reason("standard output", stdout_errno ? stdout_errno : errno ? errno : EIO);
    if (std::fclose(stdout) != 0) return reason("standard output", errno ? errno : EIO);
    return {};
}

} // namespace popchan::batch
