// List files read in-process: code pages and the stops of a missing list.
#include "output/list_file.h"

#include <gtest/gtest.h>

#include "output/run_stop.h"
#include "test_support.h"

namespace quorvid {
namespace {

using test::TempDir;
using test::WriteFile;

TEST(LoadListFile, ReadsLinesInTheCodePage) {
  TempDir dir;
  WriteFile(dir / "list.txt", "one\r\ncaf\xE9\rthree\n");
  EXPECT_EQ(LoadListFile(dir / "list.txt", 65001, 101, "(-e|--exc)", 103),
            (std::vector<std::string>{"one", "caf\xE9", "three"}));
  EXPECT_EQ(LoadListFile(dir / "list.txt", 1252, 101, "(-e|--exc)", 103)[1], "caf\xC3\xA9");
}

TEST(LoadListFile, MissingNamesStopTheRun) {
  TempDir dir;
  const auto stopOf = [](const std::string& name) {
    try {
      LoadListFile(name, 65001, 101, "(-e|--exc)", 103);
    } catch (const TRunStop& stop) {
      return std::make_pair(stop.exitCode, stop.message);
    }
    return std::make_pair(0, std::string());
  };
  EXPECT_EQ(stopOf(""), std::make_pair(101, std::string("ERROR: No filename provided for input! (-e|--exc)")));
  EXPECT_EQ(stopOf(dir / "missing").first, 101);
}

}  // namespace
}  // namespace quorvid
