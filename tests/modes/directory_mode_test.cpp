// Folder names, masks from the command line, exclusions and relative names.
#include <gtest/gtest.h>

#include "modes/directory_mode.h"
#include "platform/file_info.h"
#include "support/wildcard_mask.h"
#include "test_support.h"

namespace quorvid {
namespace {

// The masks are the free words after the folder's value: options there are
// acted on as options.
TEST(MaskText, FreeWordsAfterTheFolder) {
  RunSettings settings;
  const auto word = [](const char* text, TParamStatus status = TParamStatus::Unrecognised) {
    TParamStatusRec rec;
    rec.Text = text;
    rec.Status = status;
    return rec;
  };
  EXPECT_EQ(MaskText(settings), "*");
  settings.Args = {word("-d", TParamStatus::Option), word("/data", TParamStatus::OptionValue),
                   word("*.EXE"), word("-r", TParamStatus::Option), word("my file*.txt"),
                   word("a;b"), word(""), word("\"q\"*")};
  settings.LastModeArgIndex = 1;
  EXPECT_EQ(MaskText(settings), "*.EXE;my file*.txt;a;b;q*");
  // A free word inside the checked range is no mask.
  settings.LastModeArgIndex = 2;
  EXPECT_EQ(MaskText(settings), "my file*.txt;a;b;q*");
  settings.Args.resize(3);
  EXPECT_EQ(MaskText(settings), "*");
}

TEST(Exclusions, CaseInsensitiveSubstringOfTheFullPath) {
  std::vector<std::string> list = {LowerCaseUtf8("/TEMP/"), "", LowerCaseUtf8("LOG")};
  EXPECT_TRUE(IsExcludedPath("/data/Temp/a.txt", list));
  EXPECT_TRUE(IsExcludedPath("/data/Catalog.txt", list));
  EXPECT_FALSE(IsExcludedPath("/data/temporary/a.txt", list));
  // An empty line never matches.
  EXPECT_FALSE(IsExcludedPath("/data/a.txt", {""}));
  EXPECT_FALSE(IsExcludedPath("/data/a.txt", {}));
  EXPECT_TRUE(IsExcludedPath("/data/ÄRGER/a.txt", {LowerCaseUtf8("Ärger")}));
}

TEST(RelativeDisplayName, FolderRemovedOnceAsLeadingPrefix) {
  EXPECT_EQ(RelativeDisplayName("/data/sub/a.txt", "/data/"), "sub/a.txt");
  EXPECT_EQ(RelativeDisplayName("/data/data/data/a.txt", "/data/"), "data/data/a.txt");
  EXPECT_EQ(RelativeDisplayName("/DATA/x.txt", "/data/"), "x.txt");
  EXPECT_EQ(RelativeDisplayName("/other/data/a.txt", "/data/"), "/other/data/a.txt");
  EXPECT_EQ(RelativeDisplayName("t/t/x.txt", "t/"), "t/x.txt");
}

}  // namespace
}  // namespace quorvid
