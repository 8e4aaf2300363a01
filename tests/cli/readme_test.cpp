// The README against the program: every quorvid command of its examples runs
// as written, and what it says of failed fetches holds.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "cli/command_sandbox.h"
#include "test_support.h"

namespace quorvid {
namespace {

std::string Readme() { return test::ReadFile(QUORVID_SOURCE_DIR "/README.md"); }

TEST(ReadmeCommands, EachRunsAsWrittenAndEndsWithAnOutcome) {
  const std::vector<std::string> commands = test::CommandsInCodeBlocks(Readme(), "quorvid");
  ASSERT_GE(commands.size(), 30u);
  test::CommandSandbox sandbox;  // in order: the -x of a list follows the -g that writes it
  for (const std::string& command : commands) {
    const std::vector<std::string> words = test::ShellWords(command.substr(8));
    const test::RunResult run = sandbox.Run(words);
    EXPECT_TRUE(test::IsRunOutcome(run.exitCode))
        << command << "\nexit code " << run.exitCode << "\n" << run.err;
    if (test::VerifiesAgainstWrittenHash(words)) {
      EXPECT_EQ(run.exitCode, 0) << command << "\n" << run.out << run.err;
    }
  }
}

/// A loopback port nothing listens on: bound, then closed.
int ClosedPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ::bind(fd, reinterpret_cast<sockaddr*>(&address), length);
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  ::close(fd);
  return ntohs(address.sin_port);
}

TEST(ReadmeFaults, AFailedFetchEndsWith131AndTheSyntaxErrorScreen) {
  const std::string readme = Readme();
  ASSERT_NE(readme.find("reason ends with exit code 131 and the syntax-error screen on standard error"),
            std::string::npos);
  const std::string url = "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/SHA256SUMS";
  test::TempDir dir;
  test::WriteFile(dir / "file.bin", "");
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--url", url}, {"-y", dir / "file.bin", url},
        {"--hl", url, "-d", dir.path()}}) {
    const test::RunResult run = test::RunQuorvid(args);
    EXPECT_EQ(run.exitCode, 131) << args[0];
    EXPECT_EQ(run.out, "") << args[0];
    const std::vector<std::string> lines = test::SplitLines(run.err);
    ASSERT_FALSE(lines.empty()) << args[0];
    EXPECT_EQ(lines[0].rfind("quorvid v", 0), 0u) << run.err;  // the banner
    EXPECT_NE(run.err.find("\nERROR: Unable to access URL: \"" + url + "\" ["), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("\nCMD SYNTAX:\n"), std::string::npos) << run.err;
  }
}

}  // namespace
}  // namespace quorvid
