#pragma once

#include <cstddef>
#include <string>

namespace lumiq::profile {

// Profiles and seed files are a few kilobytes; anything past this is not one
// (a device, a log, a mistyped name) and is refused before it fills memory.
inline constexpr size_t kTextFileLimit = 1024 * 1024;

// Reads a whole text file given by the user. Only a regular file of at most
// kTextFileLimit bytes is read: a folder, a device, a pipe or a larger file is
// refused at once, without waiting on it or reading it to the end. false with
// a one-line reason naming `path` in `error`; never throws.
bool ReadTextFile(const std::string& path, std::string* text, std::string* error);

class FileHold;

// Who may read a file the writer makes. kOwnerOnly is for a file that holds
// a secret: a new file is made readable by its owner only (0600), and an old
// one it replaces loses its group's and others' permissions. On Windows the
// folder's default permissions apply either way.
enum class FileAccess { kUsual, kOwnerOnly };

// Replaces the file at `path` with `text` so that it is either the old file
// or the whole new one, never a mix: `text` goes to a new file of a unique
// name beside the target, created exclusively, is flushed to the disk, takes
// the old file's mode and then is renamed over it. A symbolic link (at the
// end of the path or on the way) is followed and its target written; the
// link stays. A link in a sticky folder (/tmp, or one its owner shares) is
// followed only when it is the writer's own or root's: anyone else's may
// have been planted there to make the writer overwrite a file it did not
// mean to (stricter than the kernel's protected-symlinks rule, which also
// trusts the folder's owner; applied whatever the machine's setting). A
// target that exists and is not a regular file is refused. On failure the
// old file is left as it was and `error` names it. With `hold`, the new file
// is held in place of the old one from before it appears, so the hold never
// lapses.
bool WriteFileSafely(const std::string& path, const std::string& text, std::string* error,
                     FileHold* hold = nullptr, FileAccess access = FileAccess::kUsual);

// A file the program only creates (a trace, a screenshot): written as
// WriteFileSafely writes, and the links on the way to its folder are
// followed by the same rules, but a symbolic link at `path` itself is never
// followed, whoever made it: it is refused and left as it is, as is anything
// else there that is not a regular file. An old regular file is replaced.
bool CreateFileSafely(const std::string& path, const std::string& bytes, std::string* error);

// A file that rows are added to at its end (a log), open from before the
// first row so that one that cannot be written is known before any work.
// Every addition is made under an exclusive lock on the file (flock; a byte
// range far past the end on Windows) so that writers sharing the file never
// split or double each other's rows.
class AppendFile {
 public:
  AppendFile() = default;
  ~AppendFile() { Close(); }
  AppendFile(const AppendFile&) = delete;
  AppendFile& operator=(const AppendFile&) = delete;

  // Opens the file at `path`, creating it when missing; nothing is written.
  // Links are followed with the rules of WriteFileSafely, and anything but a
  // regular file is refused. false with `error` naming `path`.
  bool Open(const std::string& path, std::string* error);
  // Whether `other` names the opened file by its identity (device and inode;
  // volume and file index on Windows), whatever name or link reaches it.
  bool Is(const std::string& other) const;
  // Writes `firstLine` when the file is empty (a header): of writers
  // starting on one new file at once, exactly one writes it.
  bool Start(const std::string& firstLine, std::string* error);
  // Adds `text` whole or not at all: a write or flush that fails (a full
  // disk) has the file cut back to the size it had, so no fragment stays to
  // be glued to the next row. The text is on the disk before this returns.
  bool Append(const std::string& text, std::string* error);
  void Close();

 private:
  bool Add(const std::string& text, bool onlyWhenEmpty, std::string* error);
  std::string path_;
  int fd_ = -1;
};

// AppendFile for one row: opened, started with `firstLine`, `text` added.
bool AppendToFile(const std::string& path, const std::string& firstLine,
                  const std::string& text, std::string* error);

#ifndef _WIN32
// A file a program writes piece by piece while it runs (a trace): `path` is
// replaced by a new empty file, reached through the same checks and links as
// CreateFileSafely (never through a link at `path` itself), and the new
// file's descriptor, open for writing, is returned. -1 with `error` naming
// `path` when it cannot be.
int StartFile(const std::string& path, std::string* error);
#endif

// The checks WriteFileSafely makes before it writes anything, for callers
// that must refuse a target before doing any work: true when `path` is
// missing or a regular file (through links).
bool CheckWritableTarget(const std::string& path, std::string* error);

// Keeps other programs that hold files the same way (zrctl --simulate, the
// virtual scanner) off a file for as long as it lives: an exclusive advisory
// lock, taken without waiting. On Windows nothing is held.
class FileHold {
 public:
  FileHold() = default;
  ~FileHold();
  FileHold(const FileHold&) = delete;
  FileHold& operator=(const FileHold&) = delete;

  // false with "PATH is in use by another program" (or why it could not be
  // opened) when the file is held elsewhere.
  bool Take(const std::string& path, std::string* error);
  void Release();

 private:
  friend bool WriteFileSafely(const std::string&, const std::string&, std::string*, FileHold*,
                              FileAccess);
  int fd_ = -1;
};

}  // namespace lumiq::profile
