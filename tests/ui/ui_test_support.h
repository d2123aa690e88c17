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
#include "tests/support/demo_scanner_rig.h"
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
