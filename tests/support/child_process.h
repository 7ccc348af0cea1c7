#pragma once
#include <sys/types.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

namespace pqtest {

// A child program started for a test; killed (with its process group) when destroyed.
class ChildProcess {
 public:
  ChildProcess() = default;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess();

  // Starts argv[0] with extra environment variables; its standard output is kept in a pipe
  // so that ReadLine can wait for a line such as "listening on ...".
  bool Start(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env = {});
  // Next line of the child's standard output, or "" when none came within the timeout.
  std::string ReadLine(std::chrono::milliseconds timeout);
  bool Running();
  void Stop();
  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  std::string buffered_;
};

// Runs a command to completion (bounded), returning its exit code and standard output.
struct RunResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};
RunResult RunCommand(const std::vector<std::string>& argv, const std::string& input = "",
                     std::chrono::milliseconds timeout = std::chrono::seconds(60));

}  // namespace pqtest
