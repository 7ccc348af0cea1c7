#include "shell/command_line.h"

#include <gtest/gtest.h>

#include "core/data_folder.h"

namespace {

using Action = pq::CommandLine::Action;

TEST(CommandLineTest, OnlyHelpAndVersion) {
  EXPECT_EQ(pq::ParseCommandLine({}, "1.2").action, Action::Run);
  const auto help = pq::ParseCommandLine({"--help"}, "1.2");
  EXPECT_EQ(help.action, Action::Help);
  EXPECT_NE(help.message.find("Usage: pagequill"), std::string::npos);
  EXPECT_EQ(help.exitCode, 0);
  const auto version = pq::ParseCommandLine({"--version"}, "1.2");
  EXPECT_EQ(version.action, Action::Version);
  EXPECT_EQ(version.message, "pagequill 1.2\n");
  for (const std::vector<std::string>& bad :
       {std::vector<std::string>{"--frobnicate"}, {"http://x/"}, {"--help", "--version"}}) {
    const auto c = pq::ParseCommandLine(bad, "1.2");
    EXPECT_EQ(c.action, Action::Error) << bad.front();
    EXPECT_EQ(c.exitCode, 2);
    EXPECT_NE(c.message.find("pagequill --help"), std::string::npos);
  }
}

TEST(DataFolderTest, BesideTheProgramOnly) {
  EXPECT_EQ(pq::DataFolderFor("/opt/pq/bin"), "/opt/pq/share/pagequill");
  EXPECT_EQ(pq::DataFolderFor("/home/me/build/bin/../bin"), "/home/me/build/share/pagequill");
}

}  // namespace
