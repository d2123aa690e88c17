#include "tools/zrctl/provision_log.h"

#include "profile/setting_text.h"

namespace lumiq::zrctl {

namespace {

std::string CsvField(const std::string& text) {
  const bool formula = !text.empty() && (text[0] == '=' || text[0] == '+' || text[0] == '-' ||
                                         text[0] == '@');
  const bool quoted = formula || text.find_first_of(",\"\r\n") != std::string::npos ||
                      (!text.empty() && (text.front() == ' ' || text.back() == ' '));
  if (!quoted) return text;
  std::string field = "\"";
  // A device number such as "-12" stays readable; only a spreadsheet's
  // formula reading is kept off.
  if (formula) field += '\'';
  for (char c : text) {
    if (c == '"') field += '"';
    field += c;
  }
  return field + "\"";
}

}  // namespace

const char* OutcomeName(ProvisionOutcome outcome) {
  switch (outcome) {
    case ProvisionOutcome::kOk: return "ok";
    case ProvisionOutcome::kCompliant: return "compliant";
    case ProvisionOutcome::kFailed: return "failed";
    case ProvisionOutcome::kCommitFailed: return "commit failed";
    case ProvisionOutcome::kFirmwareDiffers: return "firmware differs";
    case ProvisionOutcome::kFirmwareNotRead: return "firmware not read";
    case ProvisionOutcome::kNotOpened: return "not opened";
  }
  return "";
}

std::string IsoUtcTime(std::time_t time) {
  std::tm utc{};
#ifdef _WIN32
  gmtime_s(&utc, &time);
#else
  gmtime_r(&time, &utc);
#endif
  char text[64];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

std::string ProvisionLogHeader() { return "time,port,deviceno,firmware,result,failed_keys\r\n"; }

std::string ProvisionLogRow(const ProvisionRecord& record) {
  std::string keys;
  for (const std::string& key : record.failedKeys) {
    if (!keys.empty()) keys += ' ';
    for (char c : profile::EscapeText(key)) {
      if (c == ' ') {
        keys += "\\x20";
      } else {
        keys += c;
      }
    }
  }
  std::string row = IsoUtcTime(record.time);
  row += ',' + CsvField(record.port);
  row += ',' + CsvField(record.deviceNumberRead ? profile::EscapeText(record.deviceNumber) : "");
  row += ',' + CsvField(record.firmwareRead ? profile::EscapeText(record.firmware) : "");
  row += ',' + CsvField(OutcomeName(record.outcome));
  row += ',' + CsvField(keys);
  return row + "\r\n";
}

}  // namespace lumiq::zrctl
