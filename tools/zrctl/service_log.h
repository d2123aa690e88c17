#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <ostream>
#include <streambuf>
#include <string>

namespace lumiq::zrctl {

// A service has no console: what zrctl would print goes to one file, a line
// at a time behind the local time it was written, so that lines from the
// output and from the messages never cut into each other and a reader of the
// file sees each line whole as soon as it ends.
class ServiceLog {
 public:
  // `stamp` gives the text put before each line (tests pass a fixed one).
  explicit ServiceLog(std::ostream& file, std::function<std::string()> stamp = LocalTimeStamp);
  ~ServiceLog();  // writes out a last line left without its line break
  ServiceLog(const ServiceLog&) = delete;
  ServiceLog& operator=(const ServiceLog&) = delete;

  std::ostream& Out() { return out_; }
  std::ostream& Err() { return err_; }

  // "2026-12-09 15:30:01 ": the time in the zone the service runs in.
  static std::string LocalTimeStamp();

 private:
  class Lines : public std::streambuf {
   public:
    explicit Lines(ServiceLog& log) : log_(log) {}
    void Finish();

   protected:
    int_type overflow(int_type c) override;
    int sync() override;

   private:
    ServiceLog& log_;
    std::string pending_;
  };
  void Write(const std::string& line);

  std::ostream& file_;
  std::function<std::string()> stamp_;
  std::mutex lock_;
  Lines outLines_;
  Lines errLines_;
  std::ostream out_;
  std::ostream err_;
};

}  // namespace lumiq::zrctl
