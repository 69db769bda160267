// Output files that are replaced whole or not at all.
//
// A converted script is written to a temporary file in the output's folder and renamed over the
// output path only when the conversion succeeded. Until then, and whenever that point is not
// reached (an error, an exception unwinding, an early return, SIGINT, SIGTERM, SIGHUP or
// SIGPIPE), the output path holds exactly what it held before and no temporary file stays
// behind. An output that already holds the new content is left as it is; one whose content
// changes may keep its previous content as OUTPUT~.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

// One output file being written.
//
//   AtomicOutputFile output;
//   if (int error = output.Open(path)) { /* report path: strerror(error) */ }
//   std::fwrite(text.data(), 1, text.size(), output.stream());
//   if (int error = output.Commit()) { /* report path: strerror(error) */ }
//
// What Open does with the path:
//   - nothing there yet: a new file, with the permissions the umask leaves of 0666;
//   - a regular file: replaced, keeping its mode (and its owner and group where allowed);
//     a file that may not be written (read-only) is refused with EACCES, as opening it for
//     writing would be, even where its folder would allow a rename;
//   - a symbolic link: followed (a chain of them too) to the file it names, which is created or
//     replaced in its own folder; the link stays as it is;
//   - something that is not a regular file (/dev/null, /dev/full, a FIFO, a terminal): written
//     directly, as there is nothing to replace; a folder is refused with EISDIR;
//   - a regular file in a folder where no new file can be made (but the file itself may be
//     written): written directly, emptied first, as there is no other way to write it; unless
//     its previous content is to be kept, which cannot be done there: the file is then only
//     compared with what is written, and Commit leaves it as it is when it holds that already
//     and refuses it otherwise (EACCES, for the backup, which failed_path names).
//
// Failures are returned as errno values (0 for success; errno is set to the same value), so that
// the caller can report "PATH: strerror(error)". An object is used by one thread; any number of
// them may be open in different threads at once.
class AtomicOutputFile {
 public:
  AtomicOutputFile();
  // Discards the file unless it was committed.
  ~AtomicOutputFile();
  AtomicOutputFile(AtomicOutputFile&& other) noexcept;
  AtomicOutputFile& operator=(AtomicOutputFile&& other) noexcept;
  AtomicOutputFile(const AtomicOutputFile&) = delete;
  AtomicOutputFile& operator=(const AtomicOutputFile&) = delete;

  // Opens `path` for writing. Returns 0, or the errno value of the failure (nothing was created
  // or changed then). With `keep_backup`, a regular file that Commit replaces with different
  // content is kept as the path followed by "~" (replacing an older one). May throw
  // std::bad_alloc when memory runs out.
  int Open(const std::string& path, bool keep_backup = false);

  // The stream to write to, fully buffered; null before Open and after Commit or Discard. The
  // stream belongs to this object: do not close it.
  std::FILE* stream() const { return stream_; }

  // Flushes and closes the stream and puts the file in place of the path; when the file there
  // already holds the same bytes, it is left untouched (its time stamps too) and the new one is
  // removed. Returns 0, or the errno value of the first failure of the whole writing (a write,
  // the flush, the close, the backup, the rename); the path then holds what it held before
  // (except for a file written directly).
  int Commit();

  // After Commit: the output already held the content written, and was left as it was.
  bool unchanged() const { return unchanged_; }
  // After Commit: the path the previous content was kept under ("" when none was kept).
  const std::string& backup() const { return backup_; }
  // The path a failure of Commit is about: the output, or its backup.
  const std::string& failed_path() const { return failed_path_; }

  // Gives the writing up: closes the stream and removes the temporary file.
  void Discard();

  // The temporary file being written; empty when the output is written directly, or once the
  // file was committed or discarded.
  std::string TemporaryPath() const { return temporary_ != nullptr ? temporary_ : ""; }

 private:
  struct Sink;  // the file descriptor under the stream and the first failure met on it

  int OpenStream(int fd);
  int OpenDirect(const std::string& path);
  int OpenComparison(const std::string& path, int refusal);
  int OpenReplacement(const std::string& target, const struct stat* replaced);
  int KeepBackup(bool& moved_away);
  void Release();

  std::FILE* stream_ = nullptr;
  std::unique_ptr<Sink> sink_;
  char* temporary_ = nullptr;  // owned, unless a signal handler took it (see Release)
  std::size_t slot_ = 0;       // where the temporary file is registered for the signal handler
  std::string target_;         // the path the temporary file is renamed to
  bool keep_backup_ = false;   // keep the content a commit replaces as target_ + "~"
  bool unchanged_ = false;
  std::string backup_;
  std::string failed_path_;
};

// The folder part of `path`, with its final "/" ("" for a name in the working folder).
std::string FolderOf(const std::string& path);

// The path of the file that AtomicOutputFile writes for `path`: the symbolic links that its last
// name is are followed to the file they name, which may not exist yet (a dangling link). `path`
// itself when it is no link, or when its links cannot be followed.
std::string WrittenPath(const std::string& path);

// Makes SIGINT, SIGTERM, SIGHUP and SIGPIPE remove the temporary files being written at that
// moment (in every thread), then end the process by the signal as its default action does. Call
// once from the program's start, before any thread is started. A signal that is ignored when the
// program starts (a background job of a shell, nohup) stays ignored.
void RemoveTemporaryOutputsOnSignals();
