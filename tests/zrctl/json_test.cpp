// --json: each command's result as one document a script can parse. The
// documents are read back with a strict parser of the JSON grammar, so a
// missing escape or a stray line of text fails the test.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sim/demo_configuration.h"
#include "sim/sim_platform.h"
#include "sim/simulated_scanner.h"
#include "tests/zrctl/json_reader.h"
#include "tests/zrctl/zrctl_test_support.h"
#include "tools/zrctl/json_writer.h"

namespace lumiq::test {
namespace {

TEST(ZrctlJson, EveryCommandGivesOneDocumentAScriptReads) {
  sim::SimulatedScanner first;
  sim::SimulatedScanner second;
  sim::SeedDemoScanner(first);
  sim::SeedDemoScanner(second);
  first.Set("deviceno", "A-1");
  second.Set("deviceno", "B-2");
  // GBK text, a quote, a backslash, a control byte and a byte that is no
  // GBK: each must come out as the profile shows it.
  const std::string awkward = std::string("\xCC\xF5\"\\\x01\xFF", 6);
  const std::string awkwardText = "条\"\\\\\\x01\\xFF";
  first.Set("codeprefix", awkward);
  second.Faults().refusedKeys = {"dmcode"};
  sim::SimPlatform platform;
  platform.AddScanner(&first);
  platform.AddScanner(&second);

  // get on the fleet: one entry per scanner, what it read, what failed.
  const ZrctlResult get =
      RunZrctl({"--json", "--all", "get", "codeprefix", "dmcode"}, &platform);
  EXPECT_EQ(get.status, 1);
  const Json got = Parse(get.out);
  EXPECT_EQ(got["command"].text, "get");
  EXPECT_EQ(got["status"].text, "1");
  ASSERT_EQ(got["scanners"].items.size(), 2u);
  EXPECT_EQ(got["scanners"][0]["path"].text, sim::SimPlatform::PathOf(0, 1));
  EXPECT_EQ(got["scanners"][0]["port"].text, "1-1");
  EXPECT_EQ(got["scanners"][0]["settings"]["codeprefix"].text, awkwardText);
  EXPECT_EQ(got["scanners"][0]["status"].text, "0");
  EXPECT_EQ(got["scanners"][1]["status"].text, "1");
  EXPECT_EQ(got["scanners"][1]["failed_keys"][0].text, "dmcode");
  EXPECT_EQ(got["scanners"][1]["messages"].items.size(), 1u);
  EXPECT_EQ(got["scanners"][1]["settings"].members.count("dmcode"), 0u);
  // Messages still reach a person on standard error.
  EXPECT_NE(get.err.find("get dmcode failed"), std::string::npos);

  // list: ports, device numbers, firmware, the one zrctl uses.
  const Json list = Parse(RunZrctl({"list", "--json"}, &platform).out);
  ASSERT_EQ(list["interfaces"].items.size(), 4u);
  const Json& used = list["interfaces"][1];
  EXPECT_EQ(used["interface"].text, "1");
  EXPECT_EQ(used["used_by_zrctl"].text, "true");
  EXPECT_EQ(used["deviceno"].text, "A-1");
  EXPECT_EQ(used["firmware"].text, first.Value("masterver"));
  EXPECT_EQ(list["interfaces"][3]["port"].text, "1-2");
  EXPECT_EQ(list["interfaces"][0].members.count("deviceno"), 0u);  // the decoy is not asked

  // diff and restore, against a profile that reads back differently.
  TempFolder folder;
  const std::string file = folder.File("p");
  TempFolder::Write(file, "qrcode=0\ncodepostfix=\\x0D\n");
  second.Faults().refusedKeys.clear();
  second.Faults().keptValues = {{"codepostfix", "\t"}};
  const std::string path1 = sim::SimPlatform::PathOf(1, 1);

  const Json diff = Parse(RunZrctl({"--json", "--device", path1, "diff", file}, &platform).out);
  EXPECT_EQ(diff["status"].text, "1");
  const Json& differs = diff["scanners"][0]["differences"];
  ASSERT_EQ(differs.items.size(), 2u);
  EXPECT_EQ(differs[0]["key"].text, "qrcode");
  EXPECT_EQ(differs[0]["scanner"].text, second.Value("qrcode"));
  EXPECT_EQ(differs[0]["file"].text, "0");

  const ZrctlResult restore = RunZrctl({"--json", "--device", path1, "restore", file}, &platform);
  EXPECT_EQ(restore.status, 1);
  const Json restored = Parse(restore.out);
  const Json& entry = restored["scanners"][0];
  EXPECT_EQ(entry["path"].text, path1);
  EXPECT_EQ(entry["sent"].text, "2");
  EXPECT_EQ(entry["committed"].text, "true");
  EXPECT_EQ(entry["verified"].text, "false");
  ASSERT_EQ(entry["differences"].items.size(), 1u);
  EXPECT_EQ(entry["differences"][0]["key"].text, "codepostfix");
  EXPECT_EQ(entry["differences"][0]["sent"].text, "\\x0D");
  EXPECT_EQ(entry["differences"][0]["stored"].text, "\\x09");
  EXPECT_EQ(entry["failed_keys"][0].text, "codepostfix");

  // A refusal before any scanner is asked is a document too.
  const Json refused = Parse(RunZrctl({"--json", "restore", folder.File("none")}, &platform).out);
  EXPECT_EQ(refused["status"].text, "2");
  EXPECT_EQ(refused["messages"].items.size(), 1u);
}

TEST(ZrctlJson, AnyBytesMakeAValidString) {
  // Paths come from the system and may hold anything.
  const std::string bytes = std::string("a\"\\\n\x01\x7F", 6) + "\xFF\xC3(" + "\xE6\x9D\xA1";
  Json value;
  ASSERT_TRUE(Parser(zrctl::JsonString(bytes)).Document(&value)) << zrctl::JsonString(bytes);
  EXPECT_EQ(value.text, std::string("a\"\\\n\x01\x7F", 6) + "\\xFF\\xC3(" + "\xE6\x9D\xA1");
}

}  // namespace
}  // namespace lumiq::test
