// Output files that are replaced whole or not at all, and the removal of the temporary files
// when SIGINT or SIGTERM ends the program.
#include "output_file.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <stdio_ext.h>
#include <sys/random.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
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

// The buffer of an output's stream: the converter writes a million lines a second.
constexpr std::size_t kStreamBuffer = 1 << 16;

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

// Whether the regular file `path` holds exactly the bytes of the file `written`.
bool SameContent(const char* written, const std::string& path) {
  struct stat path_info, written_info;
  if (lstat(path.c_str(), &path_info) != 0 || !S_ISREG(path_info.st_mode) ||
      stat(written, &written_info) != 0 || path_info.st_size != written_info.st_size) {
    return false;
  }
  int first = open(written, O_RDONLY | O_CLOEXEC);
  int second = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  bool same = first >= 0 && second >= 0;
  constexpr std::size_t kPiece = 1 << 16;
  std::vector<char> a(same ? kPiece : 0), b(same ? kPiece : 0);
  while (same) {
    ssize_t got = read(first, a.data(), kPiece);
    if (got < 0 && errno == EINTR) continue;
    ssize_t done = 0;
    while (got > 0 && done < got) {
      ssize_t more = read(second, b.data() + done, static_cast<std::size_t>(got - done));
      if (more < 0 && errno == EINTR) continue;
      if (more <= 0) break;
      done += more;
    }
    if (got <= 0) {
      // The end of the written file: the other must end there too.
      same = got == 0 && read(second, b.data(), 1) == 0;
      break;
    }
    same = done == got && std::memcmp(a.data(), b.data(), static_cast<std::size_t>(got)) == 0;
  }
  if (first >= 0) close(first);
  if (second >= 0) close(second);
  return same;
}

}  // namespace

// The folder part of `path`, with its final "/" ("" for a name in the working folder).
std::string FolderOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string WrittenPath(const std::string& path) {
  LinkTarget target = FollowLinks(path);
  return target.error == 0 && !target.through_process_links ? target.path : path;
}

// The file descriptor under a stream, and the first failure of a write or of the close on it
// (the stream's own error flag does not keep the reason).
//
// A file that cannot be replaced and whose previous content is to be kept is not written at all:
// what is written is compared with the file instead (`compared`), and the writing succeeds only
// when the file holds those bytes already.
struct AtomicOutputFile::Sink {
  int fd = -1;
  int error = 0;
  int compared = -1;         // the file compared with, read from its start
  int refusal = 0;           // why the file may not be replaced, for a content that differs
  bool differs = false;      // the bytes written so far are not those of `compared`
  std::vector<char> buffer;  // room for a piece of `compared`

  ~Sink() {
    if (compared >= 0) close(compared);
  }

  void Note(int failure) {
    if (error == 0) error = failure;
  }

  // Whether the next `size` bytes of `compared` are `data` (`size` 0: whether it ends here).
  bool ComparedHolds(const char* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size || size == 0) {
      const std::size_t piece = size == 0 ? 1 : std::min(buffer.size(), size - done);
      ssize_t got = read(compared, buffer.data(), piece);
      if (got < 0 && errno == EINTR) continue;
      if (size == 0) return got == 0;
      if (got <= 0 || std::memcmp(buffer.data(), data + done, static_cast<std::size_t>(got)) != 0) {
        return false;
      }
      done += static_cast<std::size_t>(got);
    }
    return true;
  }

  static ssize_t Write(void* cookie, const char* data, std::size_t size) {
    Sink& sink = *static_cast<Sink*>(cookie);
    if (sink.compared >= 0) {
      if (!sink.differs && !sink.ComparedHolds(data, size)) sink.differs = true;
      return static_cast<ssize_t>(size);
    }
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
    if (sink.fd >= 0 && close(sink.fd) != 0 && errno != EINTR) sink.Note(errno);
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
      target_(std::move(other.target_)),
      keep_backup_(other.keep_backup_),
      unchanged_(other.unchanged_),
      backup_(std::move(other.backup_)),
      failed_path_(std::move(other.failed_path_)) {
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
    keep_backup_ = other.keep_backup_;
    unchanged_ = other.unchanged_;
    backup_ = std::move(other.backup_);
    failed_path_ = std::move(other.failed_path_);
    other.stream_ = nullptr;
    other.temporary_ = nullptr;
  }
  return *this;
}

int AtomicOutputFile::Open(const std::string& path, bool keep_backup) {
  Discard();
  keep_backup_ = keep_backup;
  unchanged_ = false;
  backup_.clear();
  failed_path_ = path;
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
  if (error != EACCES && error != EPERM) return error;
  // A folder that takes no new file: the file can only be written where it is, which loses its
  // previous content. When that is to be kept, the file is only compared with what is written:
  // left as it is when it holds that already, refused otherwise.
  if (!keep_backup) return OpenDirect(target.path);
  return OpenComparison(target.path, error);
}

int AtomicOutputFile::OpenComparison(const std::string& path, int refusal) {
  // What needs memory comes before the file is opened: running out of it leaves nothing to undo.
  sink_ = std::make_unique<Sink>();
  sink_->buffer.resize(kStreamBuffer);
  sink_->refusal = refusal;
  target_ = path;
  do {
    sink_->compared = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  } while (sink_->compared < 0 && errno == EINTR);
  if (sink_->compared < 0) {
    int error = errno;
    sink_.reset();
    return Failure(error);
  }
  return OpenStream(-1);
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
  std::setvbuf(stream_, nullptr, _IOFBF, kStreamBuffer);
  return 0;
}

int AtomicOutputFile::Commit() {
  if (stream_ == nullptr) return Failure(EBADF);
  if (std::fflush(stream_) != 0) sink_->Note(errno != 0 ? errno : EIO);
  if (std::fclose(stream_) != 0) sink_->Note(errno != 0 ? errno : EIO);
  stream_ = nullptr;
  int error = sink_->error;
  if (sink_->compared >= 0) {
    const bool same = error == 0 && !sink_->differs && sink_->ComparedHolds(nullptr, 0);
    const int refusal = sink_->refusal;
    sink_.reset();
    if (same) {
      unchanged_ = true;
      return 0;
    }
    if (error == 0) {
      // What cannot be made is the backup.
      error = refusal;
      failed_path_ = target_ + "~";
    }
    return Failure(error);
  }
  sink_.reset();
  if (temporary_ == nullptr) return Failure(error);
  failed_path_ = target_;
  if (error == 0 && SameContent(temporary_, target_)) {
    // The output holds these bytes already: it stays as it is, time stamps and all.
    unchanged_ = true;
    unlink(temporary_);
    Release();
    return 0;
  }
  bool moved_away = false;
  if (error == 0 && keep_backup_) error = KeepBackup(moved_away);
  if (error == 0 && std::rename(temporary_, target_.c_str()) != 0) {
    error = errno;
    failed_path_ = target_;
    // The previous file went to the backup's name: it goes back where it was.
    if (moved_away && std::rename(backup_.c_str(), target_.c_str()) == 0) backup_.clear();
  }
  if (error != 0) unlink(temporary_);
  Release();
  return Failure(error);
}

// Keeps the file at target_ as target_ + "~", replacing an older one, while target_ keeps its
// content until the new file takes its place: a second name for the file is made beside it and
// renamed over the backup. On a file system without links the file itself is renamed to the
// backup's name (`moved_away`), and the new file follows it at once.
int AtomicOutputFile::KeepBackup(bool& moved_away) {
  struct stat info;
  if (lstat(target_.c_str(), &info) != 0) return errno == ENOENT ? 0 : errno;  // nothing to keep
  if (!S_ISREG(info.st_mode)) return 0;
  const std::string backup = target_ + "~";
  failed_path_ = backup;
  for (;;) {
    const std::string name = TemporaryNameFor(backup);
    char* second_name = new char[name.size() + 1];
    std::memcpy(second_name, name.c_str(), name.size() + 1);
    // Registered before it exists, so that a signal removes it as it removes the output's.
    const std::size_t slot = Register(second_name);
    int error = 0;
    if (link(target_.c_str(), second_name) != 0) {
      error = errno;
    } else if (std::rename(second_name, backup.c_str()) != 0) {
      error = errno;
      unlink(second_name);
    }
    if (Unregister(slot, second_name)) delete[] second_name;
    if (error == EEXIST) continue;  // the name was taken: another one
    if (error == EPERM || error == EMLINK || error == ENOTSUP) break;  // no link can be made
    if (error == 0) backup_ = backup;
    return error;
  }
  if (std::rename(target_.c_str(), backup.c_str()) != 0) return errno;
  backup_ = backup;
  moved_away = true;
  return 0;
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
  for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
    struct sigaction current;
    if (sigaction(signal, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) continue;
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = RemoveTemporaryFilesAndEnd;
    // None of the signals interrupts the handler; the default action comes back on entry.
    sigemptyset(&action.sa_mask);
    for (int blocked : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) sigaddset(&action.sa_mask, blocked);
    action.sa_flags = SA_RESETHAND;
    sigaction(signal, &action, nullptr);
  }
}
