#include "profile/text_file.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <chrono>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

// Every platform difference of the profile and seed files sits in this file:
// POSIX descriptors on Linux, the C runtime's descriptors opened with wide
// paths and MoveFileExW on Windows.

namespace lumiq::profile {

namespace {

std::string Reason(int error) { return std::strerror(error); }

#ifdef _WIN32
// Paths are UTF-8 inside the program and UTF-16 for Windows, converted here
// and nowhere else: the ANSI functions would turn a character outside the
// system's code page into '?'.
std::wstring Wide(const std::string& path) {
  if (path.empty()) return std::wstring();
  const int size = static_cast<int>(path.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, path.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(length > 0 ? length : 0), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, path.data(), size, wide.data(), length);
  return wide;
}
using FileStat = struct _stat64;
int OpenForReading(const std::string& path) {
  return _wopen(Wide(path).c_str(), _O_RDONLY | _O_BINARY);
}
int StatOf(int fd, FileStat* st) { return _fstat64(fd, st); }
int StatPath(const std::string& path, FileStat* st) { return _wstat64(Wide(path).c_str(), st); }
bool IsFolder(const FileStat& st) { return (st.st_mode & _S_IFMT) == _S_IFDIR; }
bool IsRegular(const FileStat& st) { return (st.st_mode & _S_IFMT) == _S_IFREG; }
long ReadSome(int fd, char* buffer, size_t size) {
  return _read(fd, buffer, static_cast<unsigned>(size));
}
long WriteSome(int fd, const char* buffer, size_t size) {
  return _write(fd, buffer, static_cast<unsigned>(size));
}
void CloseFile(int fd) { _close(fd); }
int CreateExclusive(const std::string& path, FileAccess) {
  return _wopen(Wide(path).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
                _S_IREAD | _S_IWRITE);
}
int OpenForAppending(const std::string& path) {
  return _wopen(Wide(path).c_str(), _O_WRONLY | _O_APPEND | _O_CREAT | _O_BINARY,
                _S_IREAD | _S_IWRITE);
}
bool SyncFile(int fd) { return _commit(fd) == 0; }
bool KeepOwnerAndMode(int, const FileStat&, FileAccess) { return true; }  // no POSIX modes
bool IsLink(const std::string& path) {
  // Symbolic links and junctions alike: a file only created goes through
  // neither.
  const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}
bool ReplaceWith(const std::string& from, const std::string& to) {
  if (MoveFileExW(Wide(from).c_str(), Wide(to).c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  errno = EACCES;
  return false;
}
void RemoveFile(const std::string& path) { _wremove(Wide(path).c_str()); }
void SyncFolder(const std::string&) {}
std::string ResolveLinks(const std::string& path) { return path; }
bool ResolveLinks(const std::string& path, std::string* resolved, std::string*) {
  *resolved = ResolveLinks(path);
  return true;
}
int ProcessId() { return static_cast<int>(GetCurrentProcessId()); }
// LockFileEx locks are mandatory: the range locked lies far past any data, so
// that readers of the log are not kept out, only other appenders.
bool TryLock(int fd) {
  OVERLAPPED at{};
  at.OffsetHigh = 0x7FFFFFFF;
  return LockFileEx(reinterpret_cast<HANDLE>(_get_osfhandle(fd)),
                    LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at) != 0;
}
void Unlock(int fd) {
  OVERLAPPED at{};
  at.OffsetHigh = 0x7FFFFFFF;
  UnlockFileEx(reinterpret_cast<HANDLE>(_get_osfhandle(fd)), 0, 1, 0, &at);
}
bool CutBack(int fd, long long size) { return _chsize_s(fd, size) == 0; }
bool SameFile(int fd, const std::string& other) {
  BY_HANDLE_FILE_INFORMATION mine;
  if (!GetFileInformationByHandle(reinterpret_cast<HANDLE>(_get_osfhandle(fd)), &mine)) {
    return false;
  }
  const HANDLE handle = CreateFileW(Wide(other).c_str(), 0,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION theirs;
  const bool read = GetFileInformationByHandle(handle, &theirs) != 0;
  CloseHandle(handle);
  return read && mine.dwVolumeSerialNumber == theirs.dwVolumeSerialNumber &&
         mine.nFileIndexHigh == theirs.nFileIndexHigh &&
         mine.nFileIndexLow == theirs.nFileIndexLow;
}
#else
using FileStat = struct stat;
int OpenForReading(const std::string& path) {
  // Non-blocking, so that opening a pipe nobody writes to returns at once
  // and is then refused as not a regular file.
  return open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
}
int StatOf(int fd, FileStat* st) { return fstat(fd, st); }
int StatPath(const std::string& path, FileStat* st) { return stat(path.c_str(), st); }
bool IsFolder(const FileStat& st) { return S_ISDIR(st.st_mode); }
bool IsRegular(const FileStat& st) { return S_ISREG(st.st_mode); }
long ReadSome(int fd, char* buffer, size_t size) {
  ssize_t got;
  do {
    got = read(fd, buffer, size);
  } while (got < 0 && errno == EINTR);
  return static_cast<long>(got);
}
long WriteSome(int fd, const char* buffer, size_t size) {
  ssize_t put;
  do {
    put = write(fd, buffer, size);
  } while (put < 0 && errno == EINTR);
  return static_cast<long>(put);
}
void CloseFile(int fd) { close(fd); }
int CreateExclusive(const std::string& path, FileAccess access) {
  // Less the umask: a file that did not exist gets the mode any new file
  // would, or its owner's alone for a secret.
  return open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
              access == FileAccess::kOwnerOnly ? 0600 : 0666);
}
int OpenForAppending(const std::string& path) {
  // The path has its links resolved already: one planted since is refused,
  // not written through. A FIFO nobody reads is refused, not waited on.
  return open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
              0666);
}
bool SyncFile(int fd) { return fsync(fd) == 0; }
bool KeepOwnerAndMode(int fd, const FileStat& old, FileAccess access) {
  // The owner first (root saving a user's file must not take it over; an
  // ordinary user cannot give files away, and then keeps them), then the
  // mode, which a change of owner may have cut.
  if (old.st_uid != geteuid() || old.st_gid != getegid()) {
    if (fchown(fd, old.st_uid, old.st_gid) != 0) {
      // Not ours to give away: the file becomes the writer's, as any file
      // it creates.
    }
  }
  const mode_t keep = access == FileAccess::kOwnerOnly ? 07700 : 07777;
  return fchmod(fd, old.st_mode & keep) == 0;
}
bool IsLink(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}
bool ReplaceWith(const std::string& from, const std::string& to) {
  return rename(from.c_str(), to.c_str()) == 0;
}
void SyncFolder(const std::string& folder) {
  // Makes the rename itself last; a failure here loses nothing already
  // written, so it is not reported.
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)fsync(fd);
  close(fd);
}
// The last component of `done` taken off, for a ".." after it. `done` holds
// no links, so this is where the ".." leads.
void DropLastComponent(std::string* done) {
  if (*done == "/") return;
  const size_t slash = done->rfind('/');
  const std::string last = slash == std::string::npos ? *done : done->substr(slash + 1);
  if (done->empty() || last == "..") {
    *done += done->empty() ? ".." : "/..";
  } else if (slash == 0) {
    *done = "/";
  } else {
    done->resize(slash == std::string::npos ? 0 : slash);
  }
}

std::string Joined(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder == "/" ? "/" + name : folder + "/" + name;
}

// Pushes the components of `path` so that the first is taken first.
void PushComponents(const std::string& path, std::vector<std::string>* pending) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  pending->insert(pending->end(), parts.rbegin(), parts.rend());
}

// A link in a sticky folder (/tmp, or a folder its owner shares with others)
// may have been planted there by another user to turn our write onto a file
// of ours, or of root's when root runs us. It is followed only when it is
// the follower's own or root's (root needs no trick to write anywhere). The
// kernel's fs.protected_symlinks also trusts the folder's owner; that owner
// is exactly who plants the link in their own folder for root to follow, so
// not here. Applied whatever the machine's setting, because the writer
// follows links itself.
bool MayFollow(const std::string& folder, const struct stat& link) {
  struct stat st;
  if (stat(folder.empty() ? "." : folder.c_str(), &st) != 0) return false;
  const bool sticky = (st.st_mode & S_ISVTX) != 0;
  return !sticky || link.st_uid == geteuid() || link.st_uid == 0;
}

// The file `path` names once every symbolic link on the way is followed
// (the file need not exist yet). false with a message naming `path` when a
// link may not be followed or the links go round.
bool ResolveLinks(const std::string& path, std::string* resolved, std::string* error) {
  std::vector<std::string> pending;
  PushComponents(path, &pending);
  std::string done = !path.empty() && path[0] == '/' ? "/" : "";
  int links = 0;
  while (!pending.empty()) {
    const std::string part = pending.back();
    pending.pop_back();
    if (part == ".") continue;
    if (part == "..") {
      DropLastComponent(&done);
      continue;
    }
    const std::string next = Joined(done, part);
    struct stat st;
    if (lstat(next.c_str(), &st) != 0) {
      // Nothing there: the rest is taken as written, and the write says why
      // it cannot go there.
      done = next;
      while (!pending.empty()) {
        done = Joined(done, pending.back());
        pending.pop_back();
      }
      break;
    }
    if (!S_ISLNK(st.st_mode)) {
      done = next;
      continue;
    }
    if (++links > 40) {
      *error = "cannot write " + path + ": " + Reason(ELOOP);
      return false;
    }
    if (!MayFollow(done, st)) {
      *error = "cannot write " + path + ": " + next +
               " is another user's symbolic link in a sticky folder; it is not followed";
      return false;
    }
    std::vector<char> target(static_cast<size_t>(st.st_size > 0 ? st.st_size : 4095) + 1);
    const ssize_t length = readlink(next.c_str(), target.data(), target.size());
    if (length <= 0) {
      *error =
          "cannot write " + path + ": cannot read the link " + next + ": " + Reason(errno);
      return false;
    }
    const std::string to(target.data(), static_cast<size_t>(length));
    if (to[0] == '/') done = "/";
    PushComponents(to, &pending);
  }
  *resolved = done.empty() ? "." : done;
  return true;
}
int ProcessId() { return static_cast<int>(getpid()); }
bool TryLock(int fd) { return flock(fd, LOCK_EX | LOCK_NB) == 0; }
void Unlock(int fd) { flock(fd, LOCK_UN); }
bool CutBack(int fd, long long size) {
  int cut;
  do {
    cut = ftruncate(fd, static_cast<off_t>(size));
  } while (cut != 0 && errno == EINTR);
  return cut == 0;
}
bool SameFile(int fd, const std::string& other) {
  struct stat mine;
  struct stat theirs;
  return fstat(fd, &mine) == 0 && stat(other.c_str(), &theirs) == 0 &&
         mine.st_dev == theirs.st_dev && mine.st_ino == theirs.st_ino;
}
#endif

#ifndef _WIN32
void RemoveFile(const std::string& path) { std::remove(path.c_str()); }
#endif

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  // "C:" alone is the drive's current folder, not its root.
  if (slash == 2 && path[1] == ':') return path.substr(0, 3);
  return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string NotAFile(const std::string& path, const FileStat& st) {
  if (IsFolder(st)) return path + " is a folder, not a file";
  return path + " is not a regular file (a device, a pipe or a socket)";
}

std::string CannotWriteNotAFile(const std::string& path, const FileStat& st) {
  return "cannot write " + path + ": " +
         (IsFolder(st) ? "a folder, not a file" : "not a regular file (a device, a pipe or a socket)");
}

std::string TooLarge(const std::string& path) {
  return path + " is larger than " + std::to_string(kTextFileLimit / (1024 * 1024)) +
         " MiB: not a profile or seed file";
}

// A name no other writer picks: the process, a counter and chance. Files
// are written from several threads at once (zrctl --all on seed files).
std::string TemporaryName(const std::string& target) {
  static std::atomic<unsigned> counter{0};
  static std::mutex chanceMutex;
  static std::mt19937 chance(std::random_device{}());
  unsigned draw = 0;
  {
    std::lock_guard<std::mutex> lock(chanceMutex);
    draw = static_cast<unsigned>(chance() % 1000000);
  }
  return FolderOf(target) + "/." + NameOf(target) + "." + std::to_string(ProcessId()) + "-" +
         std::to_string(++counter) + "-" + std::to_string(draw) + ".tmp";
}

bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const long put = WriteSome(fd, text.data() + done, text.size() - done);
    if (put <= 0) {
      if (put == 0) errno = EIO;
      return false;
    }
    done += static_cast<size_t>(put);
  }
  return true;
}

// A new file of a unique name in `target`'s folder, created exclusively
// (never through a link); -1 with errno set when none could be made.
int CreateBeside(const std::string& target, std::string* temporary,
                 FileAccess access = FileAccess::kUsual) {
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    *temporary = TemporaryName(target);
    fd = CreateExclusive(*temporary, access);
    if (fd < 0 && errno != EEXIST) break;
  }
  return fd;
}

// Where a file that is only created goes: the links to its folder followed
// as WriteFileSafely follows them, its own name never. false with the reason
// naming `path` when a link or something other than a regular file is there.
bool ResolveForCreating(const std::string& path, std::string* target, std::string* error) {
  const std::string name = NameOf(path);
  if (name.empty() || name == "." || name == "..") {
    *error = "cannot write " + path + ": a folder, not a file";
    return false;
  }
#ifdef _WIN32
  *target = path;
#else
  std::string folder;
  if (!ResolveLinks(FolderOf(path), &folder, error)) return false;
  *target = Joined(folder, name);
#endif
  if (IsLink(*target)) {
    *error = "cannot write " + path +
             ": it is a symbolic link, and a file this program creates is never written "
             "through one (remove the link or choose another name)";
    return false;
  }
  FileStat st;
  if (StatPath(*target, &st) == 0 && !IsRegular(st)) {
    *error = CannotWriteNotAFile(path, st);
    return false;
  }
  return true;
}

// WriteFileSafely's work once `target`, the file `path` names, is known.
// With `lock` the new file is locked before it takes the old one's place and
// its descriptor left open in `*kept`.
bool ReplaceResolved(const std::string& path, const std::string& target, const std::string& text,
                     std::string* error, FileAccess access, bool lock, int* kept) {
  FileStat old;
  const bool existed = StatPath(target, &old) == 0;
  if (existed && !IsRegular(old)) {
    *error = CannotWriteNotAFile(path, old);
    return false;
  }
  const std::string unchanged = existed ? " (" + path + " is unchanged)" : "";

  std::string temporary;
  int fd = CreateBeside(target, &temporary, access);
  if (fd < 0) {
    *error = "cannot write " + path + ": cannot create a file in " + FolderOf(target) + ": " +
             Reason(errno) + unchanged;
    return false;
  }
  auto fail = [&](const char* step) {
    const int reason = errno;
    if (fd >= 0) CloseFile(fd);
    RemoveFile(temporary);
    *error = "cannot write " + path + ": " + step + Reason(reason) + unchanged;
    return false;
  };
  if (!WriteAll(fd, text)) return fail("");
  if (!SyncFile(fd)) return fail("");
  if (existed && !KeepOwnerAndMode(fd, old, access)) return fail("cannot keep its mode: ");
#ifdef _WIN32
  (void)lock;
  // Windows renames no file that is still open.
  CloseFile(fd);
  fd = -1;
#else
  // Held before it takes the old file's place, so that nobody can take the
  // new file in between.
  if (lock && flock(fd, LOCK_EX | LOCK_NB) != 0) return fail("cannot hold it: ");
#endif
  if (!ReplaceWith(temporary, target)) return fail("");
  SyncFolder(FolderOf(target));
  if (lock && kept != nullptr) {
    *kept = fd;
  } else if (fd >= 0) {
    CloseFile(fd);
  }
  return true;
}

}  // namespace

bool ReadTextFile(const std::string& path, std::string* text, std::string* error) {
  const int fd = OpenForReading(path);
  if (fd < 0) {
    const int reason = errno;
    FileStat st;
    if (StatPath(path, &st) == 0 && !IsRegular(st)) {
      *error = NotAFile(path, st);
    } else {
      *error = "cannot open " + path + ": " + Reason(reason);
    }
    return false;
  }
  FileStat st;
  if (StatOf(fd, &st) != 0) {
    *error = "cannot read " + path + ": " + Reason(errno);
    CloseFile(fd);
    return false;
  }
  if (!IsRegular(st)) {
    *error = NotAFile(path, st);
    CloseFile(fd);
    return false;
  }
  if (static_cast<unsigned long long>(st.st_size) > kTextFileLimit) {
    *error = TooLarge(path);
    CloseFile(fd);
    return false;
  }
  // The size is checked again while reading: a file may grow meanwhile.
  std::string read;
  std::vector<char> chunk(64 * 1024);
  for (;;) {
    const long got = ReadSome(fd, chunk.data(), chunk.size());
    if (got < 0) {
      *error = "cannot read " + path + ": " + Reason(errno);
      CloseFile(fd);
      return false;
    }
    if (got == 0) break;
    read.append(chunk.data(), static_cast<size_t>(got));
    if (read.size() > kTextFileLimit) {
      *error = TooLarge(path);
      CloseFile(fd);
      return false;
    }
  }
  CloseFile(fd);
  *text = std::move(read);
  return true;
}

bool CheckWritableTarget(const std::string& path, std::string* error) {
  std::string target;
  if (!ResolveLinks(path, &target, error)) return false;
  FileStat st;
  if (StatPath(target, &st) == 0 && !IsRegular(st)) {
    *error = CannotWriteNotAFile(path, st);
    return false;
  }
  return true;
}

bool WriteFileSafely(const std::string& path, const std::string& text, std::string* error,
                     FileHold* hold, FileAccess access) {
  std::string target;
  if (!ResolveLinks(path, &target, error)) return false;
  int kept = -1;
  if (!ReplaceResolved(path, target, text, error, access, hold != nullptr, &kept)) return false;
  if (hold != nullptr && kept >= 0) {
    hold->Release();
    hold->fd_ = kept;
  }
  return true;
}

bool CreateFileSafely(const std::string& path, const std::string& bytes, std::string* error) {
  std::string target;
  if (!ResolveForCreating(path, &target, error)) return false;
  return ReplaceResolved(path, target, bytes, error, FileAccess::kUsual, false, nullptr);
}

bool AppendFile::Open(const std::string& path, std::string* error) {
  Close();
  std::string target;
  if (!ResolveLinks(path, &target, error)) return false;
  FileStat st;
  if (StatPath(target, &st) == 0 && !IsRegular(st)) {
    *error = CannotWriteNotAFile(path, st);
    return false;
  }
  const int fd = OpenForAppending(target);
  if (fd < 0) {
    *error = "cannot write " + path + ": " + Reason(errno);
    return false;
  }
  if (StatOf(fd, &st) != 0 || !IsRegular(st)) {
    *error = "cannot write " + path + ": not a regular file";
    CloseFile(fd);
    return false;
  }
  path_ = path;
  fd_ = fd;
  return true;
}

bool AppendFile::Is(const std::string& other) const { return fd_ >= 0 && SameFile(fd_, other); }

bool AppendFile::Start(const std::string& firstLine, std::string* error) {
  return Add(firstLine, true, error);
}

bool AppendFile::Append(const std::string& text, std::string* error) {
  return Add(text, false, error);
}

void AppendFile::Close() {
  if (fd_ >= 0) CloseFile(fd_);
  fd_ = -1;
}

bool AppendFile::Add(const std::string& text, bool onlyWhenEmpty, std::string* error) {
  if (fd_ < 0) {
    *error = "cannot write " + path_ + ": not open";
    return false;
  }
  // Another writer holds the lock for one row at a time; one that holds it
  // for seconds is no appender but a program keeping the file to itself.
  bool locked = TryLock(fd_);
  for (int wait = 0; !locked && wait < 1000; ++wait) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    locked = TryLock(fd_);
  }
  if (!locked) {
    *error = "cannot write " + path_ + ": it is in use by another program";
    return false;
  }
  FileStat st;
  if (StatOf(fd_, &st) != 0) {
    *error = "cannot write " + path_ + ": " + Reason(errno);
    Unlock(fd_);
    return false;
  }
  const long long size = static_cast<long long>(st.st_size);
  if (onlyWhenEmpty && size != 0) {
    Unlock(fd_);
    return true;
  }
  if (WriteAll(fd_, text) && SyncFile(fd_)) {
    Unlock(fd_);
    return true;
  }
  const int reason = errno;
  *error = "cannot write " + path_ + ": " + Reason(reason);
  // What did go out is taken back, under the same lock, so that the next
  // row starts on a line of its own.
  FileStat now;
  const bool grew = StatOf(fd_, &now) != 0 || static_cast<long long>(now.st_size) != size;
  if (grew && (!CutBack(fd_, size) || !SyncFile(fd_))) {
    *error += "; a part of the row stays at its end";
  }
  Unlock(fd_);
  return false;
}

bool AppendToFile(const std::string& path, const std::string& firstLine,
                  const std::string& text, std::string* error) {
  AppendFile file;
  return file.Open(path, error) && file.Start(firstLine, error) && file.Append(text, error);
}

#ifndef _WIN32
int StartFile(const std::string& path, std::string* error) {
  std::string target;
  if (!ResolveForCreating(path, &target, error)) return -1;
  // A new file of its own, created without following links, then put in
  // place: whatever sat at `target` (a link planted after the check above
  // included) is replaced, not written through.
  std::string temporary;
  const int fd = CreateBeside(target, &temporary);
  if (fd < 0) {
    *error = "cannot write " + path + ": cannot create a file in " + FolderOf(target) + ": " +
             Reason(errno);
    return -1;
  }
  if (!ReplaceWith(temporary, target)) {
    *error = "cannot write " + path + ": " + Reason(errno);
    CloseFile(fd);
    std::remove(temporary.c_str());
    return -1;
  }
  return fd;
}
#endif

FileHold::~FileHold() { Release(); }

void FileHold::Release() {
  if (fd_ >= 0) CloseFile(fd_);
  fd_ = -1;
}

bool FileHold::Take(const std::string& path, std::string* error) {
  Release();
#ifdef _WIN32
  (void)path;
  (void)error;
  return true;
#else
  // Another holder may replace the file between our open and our lock; the
  // lock then sits on the old file, so take the new one.
  for (int attempt = 0; attempt < 16; ++attempt) {
    const int fd = OpenForReading(path);
    if (fd < 0) {
      *error = "cannot open " + path + ": " + Reason(errno);
      return false;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
      const int reason = errno;
      close(fd);
      *error = reason == EWOULDBLOCK ? path + " is in use by another program"
                                     : "cannot hold " + path + ": " + Reason(reason);
      return false;
    }
    struct stat held;
    struct stat now;
    if (fstat(fd, &held) == 0 && stat(path.c_str(), &now) == 0 && held.st_dev == now.st_dev &&
        held.st_ino == now.st_ino) {
      fd_ = fd;
      return true;
    }
    close(fd);
  }
  *error = path + " is in use by another program";
  return false;
#endif
}

}  // namespace lumiq::profile
