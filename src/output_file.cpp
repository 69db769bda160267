// Output files that are replaced whole or not at all, and the removal of the temporary files
// when SIGINT or SIGTERM ends the program.
#include "output_file.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <stdio_ext.h>
#include <sys/random.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstring>
#include <new>
#include <vector>

namespace {

// The temporary files being written, for the signal handler to remove. A fixed array of atomic
// slots, because the handler may neither lock nor allocate: a writer claims a free slot for the
// path of its temporary file and gives it back when the file was renamed or removed. The handler
// takes each path out of its slot before removing the file, so that a path is used by either the
// handler or its writer, never both. Beyond this many files open at once, a file is still
// written and renamed as usual, but a signal leaves it behind.
constexpr std::size_t kRegistrySlots = 1024;
std::atomic<const char*> live_temporary_files[kRegistrySlots] = {};
static_assert(std::atomic<const char*>::is_always_lock_free,
              "the signal handler needs lock-free slots");

// The slot now holding `path`, or kRegistrySlots when every slot is taken.
std::size_t Register(const char* path) {
  for (std::size_t slot = 0; slot < kRegistrySlots; ++slot) {
    const char* free = nullptr;
    if (live_temporary_files[slot].compare_exchange_strong(free, path)) return slot;
  }
  return kRegistrySlots;
}

// Takes `path` out of its slot. False when a signal handler took it first: the handler is then
// removing the file and using the path, and the program is ending.
bool Unregister(std::size_t slot, const char* path) {
  if (slot == kRegistrySlots) return true;
  const char* expected = path;
  return live_temporary_files[slot].compare_exchange_strong(expected, nullptr);
}

void RemoveTemporaryFilesAndEnd(int signal) {
  int saved_errno = errno;
  for (std::atomic<const char*>& slot : live_temporary_files) {
    if (const char* path = slot.exchange(nullptr)) unlink(path);
  }
  // The handler was reset to the default action on entry, and the signal is blocked until the
  // handler returns: it then ends the process as if it had never been caught.
  raise(signal);
  errno = saved_errno;
}

// Links are followed at most this many times, as the system does for a path.
constexpr int kMaxLinks = 40;

std::string NameOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool InProcessFileSystem(const std::string& folder) {
  struct statfs info;
  return statfs(folder.empty() ? "." : folder.c_str(), &info) == 0 &&
         info.f_type == PROC_SUPER_MAGIC;
}

// Where writing `path` writes: the symbolic links that the path's last name is (a chain of
// them too) are followed to the file they name, which may not exist yet. The links of the
// process file system (/dev/stdout, /dev/fd/N, /proc/self/fd/N) stand for files that are already
// open and have no name of their own to replace: `through_process_links` tells that one was met.
struct LinkTarget {
  int error = 0;
  std::string path;
  bool through_process_links = false;
};

LinkTarget FollowLinks(const std::string& path) {
  LinkTarget target{0, path, false};
  std::vector<char> link(PATH_MAX);
  for (int links = 0;; ++links) {
    struct stat info;
    if (lstat(target.path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return target;
    if (links == kMaxLinks) return {ELOOP, path, false};
    std::string folder = FolderOf(target.path);
    if (InProcessFileSystem(folder)) return {0, path, true};
    ssize_t length = readlink(target.path.c_str(), link.data(), link.size());
    if (length < 0) return {errno, path, false};
    if (static_cast<std::size_t>(length) == link.size()) return {ENAMETOOLONG, path, false};
    std::string named(link.data(), static_cast<std::size_t>(length));
    target.path = named.front() == '/' ? named : folder + named;
  }
}

constexpr std::string_view kTemporaryMark = ".tmp-";
constexpr std::size_t kRandomLength = 8;

// Characters for the temporary file's name, from the system's random source (or, should that
// fail, from the clock and the process number; a name already taken is tried again anyway).
std::string RandomCharacters() {
  static constexpr char kAlphabet[] =
      "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  unsigned char bytes[kRandomLength];
  if (getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bytes)) {
    auto mix = static_cast<unsigned long long>(
                   std::chrono::steady_clock::now().time_since_epoch().count()) ^
               (static_cast<unsigned long long>(getpid()) << 40);
    for (unsigned char& byte : bytes) {
      mix = mix * 6364136223846793005ULL + 1442695040888963407ULL;
      byte = static_cast<unsigned char>(mix >> 56);
    }
  }
  std::string characters;
  for (unsigned char byte : bytes) characters += kAlphabet[byte % (sizeof kAlphabet - 1)];
  return characters;
}

// A hidden name beside `target`, made from its name: "DIR/.NAME.tmp-RANDOM", with NAME shortened
// so that the whole name stays within the system's limit.
std::string TemporaryNameFor(const std::string& target) {
  std::string name = NameOf(target);
  std::size_t room = NAME_MAX - 1 - kTemporaryMark.size() - kRandomLength;
  if (name.size() > room) name.resize(room);
  return FolderOf(target) + "." + name + std::string(kTemporaryMark) + RandomCharacters();
}

int Failure(int error) {
  if (error != 0) errno = error;
  return error;
}

}  // namespace

// The folder part of `path`, with its final "/" ("" for a name in the working folder).
std::string FolderOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The file descriptor under a stream, and the first failure of a write or of the close on it
// (the stream's own error flag does not keep the reason).
struct AtomicOutputFile::Sink {
  int fd = -1;
  int error = 0;

  void Note(int failure) {
    if (error == 0) error = failure;
  }

  static ssize_t Write(void* cookie, const char* data, std::size_t size) {
    Sink& sink = *static_cast<Sink*>(cookie);
    std::size_t done = 0;
    while (done < size) {
      ssize_t written = write(sink.fd, data + done, size - done);
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) {
        sink.Note(written < 0 ? errno : EIO);
        break;
      }
      done += static_cast<std::size_t>(written);
    }
    return static_cast<ssize_t>(done);
  }

  static int Close(void* cookie) {
    Sink& sink = *static_cast<Sink*>(cookie);
    // The descriptor is gone after close whatever it returns, EINTR included.
    if (close(sink.fd) != 0 && errno != EINTR) sink.Note(errno);
    sink.fd = -1;
    return sink.error == 0 ? 0 : -1;
  }
};

AtomicOutputFile::AtomicOutputFile() = default;

AtomicOutputFile::~AtomicOutputFile() { Discard(); }

AtomicOutputFile::AtomicOutputFile(AtomicOutputFile&& other) noexcept
    : stream_(other.stream_),
      sink_(std::move(other.sink_)),
      temporary_(other.temporary_),
      slot_(other.slot_),
      target_(std::move(other.target_)) {
  other.stream_ = nullptr;
  other.temporary_ = nullptr;
}

AtomicOutputFile& AtomicOutputFile::operator=(AtomicOutputFile&& other) noexcept {
  if (this != &other) {
    Discard();
    stream_ = other.stream_;
    sink_ = std::move(other.sink_);
    temporary_ = other.temporary_;
    slot_ = other.slot_;
    target_ = std::move(other.target_);
    other.stream_ = nullptr;
    other.temporary_ = nullptr;
  }
  return *this;
}

int AtomicOutputFile::Open(const std::string& path) {
  Discard();
  LinkTarget target = FollowLinks(path);
  if (target.error != 0) return Failure(target.error);
  if (target.through_process_links) return OpenDirect(path);
  struct stat info;
  if (stat(target.path.c_str(), &info) != 0) {
    return errno == ENOENT ? OpenReplacement(target.path, nullptr) : Failure(errno);
  }
  // Nothing to replace: a device, a FIFO, a terminal, a socket (a folder fails to open).
  if (!S_ISREG(info.st_mode)) return OpenDirect(path);
  // A file that may not be written is not replaced either, whatever its folder allows.
  if (faccessat(AT_FDCWD, target.path.c_str(), W_OK, AT_EACCESS) != 0) return Failure(errno);
  int error = OpenReplacement(target.path, &info);
  // A folder that takes no new file: the file can only be written where it is.
  if (error == EACCES || error == EPERM) return OpenDirect(target.path);
  return error;
}

int AtomicOutputFile::OpenDirect(const std::string& path) {
  // What needs memory comes before the file is opened: running out of it leaves nothing to undo.
  sink_ = std::make_unique<Sink>();
  int fd;
  do {
    fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);  // a FIFO waits for its reader
  if (fd < 0) {
    int error = errno;
    sink_.reset();
    return Failure(error);
  }
  return OpenStream(fd);
}

int AtomicOutputFile::OpenReplacement(const std::string& target, const struct stat* replaced) {
  // What needs memory comes before the file is created: running out of it leaves no file.
  target_ = target;
  sink_ = std::make_unique<Sink>();
  int fd = -1;
  while (fd < 0) {
    std::string name = TemporaryNameFor(target);
    temporary_ = new char[name.size() + 1];
    std::memcpy(temporary_, name.c_str(), name.size() + 1);
    // Registered before it exists, so that no moment is left where a signal would miss it.
    slot_ = Register(temporary_);
    // A new file of the usual permissions: the umask applies to 0666.
    fd = open(temporary_, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      int error = errno;
      Release();
      if (error != EEXIST) {
        sink_.reset();
        return Failure(error);
      }
    }
  }
  if (replaced != nullptr) {
    // The replacement keeps the owner, group and mode of the file it replaces. Changing the
    // owner is allowed to fail (only the superuser may give a file away); it comes first
    // because it clears the set-user and set-group bits.
    if (fchown(fd, replaced->st_uid, replaced->st_gid) != 0) {
      // The file stays the writer's own.
    }
    if (fchmod(fd, replaced->st_mode & 07777) != 0) {
      int error = errno;
      close(fd);
      Discard();
      return Failure(error);
    }
  }
  return OpenStream(fd);
}

int AtomicOutputFile::OpenStream(int fd) {
  sink_->fd = fd;
  cookie_io_functions_t functions{nullptr, &Sink::Write, nullptr, &Sink::Close};
  stream_ = fopencookie(sink_.get(), "w", functions);
  if (stream_ == nullptr) {
    // Memory ran out: the file is given up before the news goes on.
    close(fd);
    Discard();
    throw std::bad_alloc();
  }
  // Large writes: the converter writes a million lines a second.
  std::setvbuf(stream_, nullptr, _IOFBF, 1 << 16);
  return 0;
}

int AtomicOutputFile::Commit() {
  if (stream_ == nullptr) return Failure(EBADF);
  if (std::fflush(stream_) != 0) sink_->Note(errno != 0 ? errno : EIO);
  if (std::fclose(stream_) != 0) sink_->Note(errno != 0 ? errno : EIO);
  stream_ = nullptr;
  int error = sink_->error;
  sink_.reset();
  if (temporary_ == nullptr) return Failure(error);
  if (error == 0 && std::rename(temporary_, target_.c_str()) != 0) error = errno;
  if (error != 0) unlink(temporary_);
  Release();
  return Failure(error);
}

void AtomicOutputFile::Discard() {
  if (stream_ != nullptr) {
    // What is still buffered for a temporary file is of no use; a file written directly gets
    // it, as it would have had it from a plain stream.
    if (temporary_ != nullptr) __fpurge(stream_);
    std::fclose(stream_);
    stream_ = nullptr;
  }
  sink_.reset();
  if (temporary_ != nullptr) {
    unlink(temporary_);
    Release();
  }
}

// Takes the temporary file's path out of the registry and frees it. When a signal handler took
// it first, the handler is using it and the program is ending: it is left as it is.
void AtomicOutputFile::Release() {
  if (temporary_ == nullptr) return;
  if (Unregister(slot_, temporary_)) delete[] temporary_;
  temporary_ = nullptr;
}

void RemoveTemporaryOutputsOnSignals() {
  for (int signal : {SIGINT, SIGTERM}) {
    struct sigaction current;
    if (sigaction(signal, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) continue;
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = RemoveTemporaryFilesAndEnd;
    // Neither signal interrupts the handler; the default action comes back on entry.
    sigemptyset(&action.sa_mask);
    sigaddset(&action.sa_mask, SIGINT);
    sigaddset(&action.sa_mask, SIGTERM);
    action.sa_flags = SA_RESETHAND;
    sigaction(signal, &action, nullptr);
  }
}
