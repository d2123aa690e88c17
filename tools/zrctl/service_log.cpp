#include "tools/zrctl/service_log.h"

#include <ctime>
#include <utility>

namespace lumiq::zrctl {

ServiceLog::ServiceLog(std::ostream& file, std::function<std::string()> stamp)
    : file_(file),
      stamp_(std::move(stamp)),
      outLines_(*this),
      errLines_(*this),
      out_(&outLines_),
      err_(&errLines_) {}

ServiceLog::~ServiceLog() {
  outLines_.Finish();
  errLines_.Finish();
}

std::string ServiceLog::LocalTimeStamp() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  char text[32];
  const size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S ", &local);
  return std::string(text, length);
}

void ServiceLog::Write(const std::string& line) {
  std::lock_guard<std::mutex> hold(lock_);
  file_ << stamp_() << line << '\n';
  file_.flush();
}

ServiceLog::Lines::int_type ServiceLog::Lines::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  const char character = traits_type::to_char_type(c);
  if (character == '\n') {
    log_.Write(pending_);
    pending_.clear();
  } else if (character != '\r') {
    pending_ += character;
  }
  return c;
}

// A flush does not end a line: the rest of it is still to come.
int ServiceLog::Lines::sync() { return 0; }

void ServiceLog::Lines::Finish() {
  if (pending_.empty()) return;
  log_.Write(pending_);
  pending_.clear();
}

}  // namespace lumiq::zrctl
