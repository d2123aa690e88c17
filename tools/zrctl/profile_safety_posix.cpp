#include "tools/zrctl/profile_safety.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <deque>
#include <string>

namespace lumiq::zrctl {

namespace {

// Links followed before giving up, as the kernel's own limit.
constexpr int kMostLinks = 40;

std::deque<std::string> Components(const std::string& path) {
  std::deque<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t slash = path.find('/', start);
    if (slash == std::string::npos) slash = path.size();
    if (slash > start) parts.push_back(path.substr(start, slash - start));
    start = slash + 1;
  }
  return parts;
}

std::string Join(const std::string& folder, const std::string& name) {
  return folder == "/" ? "/" + name : folder + "/" + name;
}

std::string Parent(const std::string& folder) {
  const size_t slash = folder.rfind('/');
  return slash == 0 || slash == std::string::npos ? "/" : folder.substr(0, slash);
}

bool WritableByOthers(const struct stat& st) { return (st.st_mode & (S_IWGRP | S_IWOTH)) != 0; }

std::string Owner(const struct stat& st) { return "user id " + std::to_string(st.st_uid); }

// Who may write in a folder is judged with each entry taken from it: a
// folder others may write to lets them rename or replace what it holds,
// unless it is sticky: then only an entry's owner (or the folder's, root)
// may, which keeps an entry of root's safe in /tmp.
bool FolderSafe(const std::string& path, const struct stat& st, std::string& why) {
  if (st.st_uid != 0) {
    why = "the folder " + path + " belongs to " + Owner(st) + ", not root";
    return false;
  }
  return true;
}

}  // namespace

// The path is walked one name at a time as the kernel would, each name
// looked at without following it, so that every link on the way, and every
// folder a link leads through, is judged, not only where the path ends up
// now. The group bits are the ACL's mask when the file has one, so a write
// granted by an ACL entry shows there too.
bool ProfileWritableOnlyByAdministrators(const std::string& path, std::string& why) {
  if (path.empty()) {
    why = "no profile named";
    return false;
  }
  std::string start = "/";
  if (path[0] != '/') {
    char cwd[4096];
    if (getcwd(cwd, sizeof cwd) == nullptr) {
      why = std::string("the current folder cannot be named: ") + std::strerror(errno);
      return false;
    }
    start = cwd;
  }
  // The folders of the starting point are judged as any other.
  std::deque<std::string> pending = Components(start);
  for (std::string& part : Components(path)) pending.push_back(std::move(part));

  std::string folder = "/";
  struct stat folderStat {};
  if (lstat("/", &folderStat) != 0 || !FolderSafe("/", folderStat, why)) {
    if (why.empty()) why = std::string("/ cannot be examined: ") + std::strerror(errno);
    return false;
  }
  int links = 0;
  while (!pending.empty()) {
    const std::string name = std::move(pending.front());
    pending.pop_front();
    if (name == ".") continue;
    if (name == "..") {
      folder = Parent(folder);
      if (lstat(folder.c_str(), &folderStat) != 0) {
        why = folder + " cannot be examined: " + std::strerror(errno);
        return false;
      }
      continue;
    }
    const std::string next = Join(folder, name);
    struct stat st {};
    if (lstat(next.c_str(), &st) != 0) {
      why = next + " cannot be examined: " + std::strerror(errno);
      return false;
    }
    if (WritableByOthers(folderStat)) {
      if ((folderStat.st_mode & S_ISVTX) == 0) {
        why = "the folder " + folder + " can be written by others than root";
        return false;
      }
      if (st.st_uid != 0) {
        why = next + " belongs to " + Owner(st) + " in the shared folder " + folder +
              ", so its owner may replace it";
        return false;
      }
    }
    if (S_ISLNK(st.st_mode)) {
      if (++links > kMostLinks) {
        why = next + ": too many symbolic links";
        return false;
      }
      std::string target(4096, '\0');
      const ssize_t length = readlink(next.c_str(), target.data(), target.size());
      if (length < 0 || static_cast<size_t>(length) >= target.size()) {
        why = next + " cannot be read as a link: " + std::strerror(errno);
        return false;
      }
      target.resize(static_cast<size_t>(length));
      std::deque<std::string> through = Components(target);
      pending.insert(pending.begin(), through.begin(), through.end());
      if (!target.empty() && target[0] == '/') {
        folder = "/";
        lstat("/", &folderStat);
      }
      continue;
    }
    if (S_ISDIR(st.st_mode)) {
      if (!FolderSafe(next, st, why)) return false;
      folder = next;
      folderStat = st;
      continue;
    }
    if (!pending.empty()) {
      why = next + " is not a folder";
      return false;
    }
    if (!S_ISREG(st.st_mode)) {
      why = next + " is not a plain file";
      return false;
    }
    if (st.st_uid != 0) {
      why = next + " belongs to " + Owner(st) + ", not root";
      return false;
    }
    if (WritableByOthers(st)) {
      why = next + " can be written by others than root (mode " +
            std::to_string((st.st_mode >> 6) & 7) + std::to_string((st.st_mode >> 3) & 7) +
            std::to_string(st.st_mode & 7) + ")";
      return false;
    }
    return true;
  }
  why = path + " is a folder, not a profile";
  return false;
}

}  // namespace lumiq::zrctl
