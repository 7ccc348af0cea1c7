#pragma once
#include <string>
#include <vector>

namespace pq {

// What the command line asks for. The program takes no options besides these two.
struct CommandLine {
  enum class Action { Run, Help, Version, Error };
  Action action = Action::Run;
  std::string message;  // the text to print for Help, Version and Error
  int exitCode = 0;
};

// args are the arguments after the program name (GTK's own options already removed).
CommandLine ParseCommandLine(const std::vector<std::string>& args, const std::string& version);

}  // namespace pq
