#pragma once

#include <map>
#include <string>
#include <vector>

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "link/hid_platform.h"
#include "sim/simulated_scanner.h"
#include "tests/support/forwarding_platform.h"
#include "tests/support/sim_fixture.h"
#include "ui/qt/message_sink.h"

namespace lumiq::test {

// Records message boxes instead of showing them: the windows go on at once.
class CapturingSink final : public ui::qt::MessageSink {
 public:
  struct Shown {
    QPointer<QWidget> owner;
    QString text;
  };
  void Show(QWidget* owner, const QString& text) override { shown.push_back({owner, text}); }
  QStringList Texts() const;
  void Clear() { shown.clear(); }

  std::vector<Shown> shown;
};

// Passes everything to another platform, counting discoveries; can pretend
// that no device is plugged in.
class CountingPlatform final : public ForwardingPlatform {
 public:
  using ForwardingPlatform::ForwardingPlatform;

  int discoveries = 0;
  bool noDevices = false;

  int ListInterfaces(std::vector<std::string>* paths) override;
};

// The simulated scanner behind the counting platform, seeded with the demo
// configuration. Trace() lists every command, the handshake included.
class UiScanner {
 public:
  UiScanner();
  ~UiScanner();

  sim::SimulatedScanner& scanner() { return fixture_.scanner(); }
  CountingPlatform& platform() { return counting_; }
  std::vector<std::string> Trace() const { return fixture_.Trace(); }
  std::vector<std::string> Sets() const { return fixture_.Sets(); }
  std::vector<std::string> Gets() const { return fixture_.Gets(); }
  void ClearTrace() { fixture_.scanner().ClearReceived(); }

 private:
  SimScannerFixture fixture_;
  CountingPlatform counting_;
};

// What the page logic does on controls without any window system, against
// the same scanner: the gets of opening, the sets and commit of one Save, and
// every page's control states afterwards. The scanner's settings and record
// are left as they were.
struct PageReference {
  std::vector<std::string> loadTrace;
  std::vector<std::string> saveTrace;  // S1..S8 and the commit
  std::vector<std::string> loadFailedKeys;
};
PageReference RunPagesWithoutWindows(UiScanner& rig);

// The path of a file of the source tree.
std::string SourcePath(const std::string& relative);

}  // namespace lumiq::test
