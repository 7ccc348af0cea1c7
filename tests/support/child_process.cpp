#include "support/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace pqtest {

namespace {
std::vector<char*> CArgs(const std::vector<std::string>& argv) {
  std::vector<char*> out;
  for (const auto& a : argv) out.push_back(const_cast<char*>(a.c_str()));
  out.push_back(nullptr);
  return out;
}
}  // namespace

ChildProcess::~ChildProcess() { Stop(); }

bool ChildProcess::Start(const std::vector<std::string>& argv,
                         const std::map<std::string, std::string>& env) {
  int fds[2];
  if (pipe(fds) != 0) return false;
  pid_ = fork();
  if (pid_ < 0) return false;
  if (pid_ == 0) {
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGTERM);  // a crashed test leaves no server behind
    dup2(fds[1], 1);
    close(fds[0]);
    close(fds[1]);
    for (const auto& [k, v] : env) setenv(k.c_str(), v.c_str(), 1);
    auto args = CArgs(argv);
    execvp(args[0], args.data());
    _exit(127);
  }
  close(fds[1]);
  out_ = fds[0];
  return true;
}

std::string ChildProcess::ReadLine(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (true) {
    auto nl = buffered_.find('\n');
    if (nl != std::string::npos) {
      std::string line = buffered_.substr(0, nl);
      buffered_.erase(0, nl + 1);
      return line;
    }
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 || out_ < 0) return "";
    pollfd p{out_, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left.count())) <= 0) return "";
    char buf[4096];
    ssize_t n = read(out_, buf, sizeof buf);
    if (n <= 0) return "";
    buffered_.append(buf, static_cast<std::size_t>(n));
  }
}

bool ChildProcess::Running() {
  if (pid_ <= 0) return false;
  int status = 0;
  return waitpid(pid_, &status, WNOHANG) == 0;
}

void ChildProcess::Stop() {
  if (pid_ > 0) {
    kill(-pid_, SIGTERM);
    for (int i = 0; i < 50; ++i) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) != 0) {
        pid_ = -1;
        break;
      }
      usleep(20000);
    }
    if (pid_ > 0) {
      kill(-pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
      pid_ = -1;
    }
  }
  if (out_ >= 0) close(out_), out_ = -1;
}

RunResult RunCommand(const std::vector<std::string>& argv, const std::string& input,
                     std::chrono::milliseconds timeout) {
  RunResult r;
  int in[2], out[2], err[2];
  if (pipe(in) || pipe(out) || pipe(err)) return r;
  pid_t pid = fork();
  if (pid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    dup2(in[0], 0), dup2(out[1], 1), dup2(err[1], 2);
    for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(fd);
    auto args = CArgs(argv);
    execvp(args[0], args.data());
    _exit(127);
  }
  close(in[0]), close(out[1]), close(err[1]);
  signal(SIGPIPE, SIG_IGN);
  std::size_t written = 0;
  if (input.empty()) close(in[1]), in[1] = -1;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  bool outOpen = true, errOpen = true;
  while (outOpen || errOpen) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      kill(pid, SIGKILL);
      break;
    }
    pollfd p[3] = {{outOpen ? out[0] : -1, POLLIN, 0},
                   {errOpen ? err[0] : -1, POLLIN, 0},
                   {in[1], POLLOUT, 0}};
    if (poll(p, 3, static_cast<int>(left.count())) < 0) break;
    char buf[65536];
    if (p[0].revents) {
      ssize_t n = read(out[0], buf, sizeof buf);
      if (n <= 0) outOpen = false; else r.out.append(buf, static_cast<std::size_t>(n));
    }
    if (p[1].revents) {
      ssize_t n = read(err[0], buf, sizeof buf);
      if (n <= 0) errOpen = false; else r.err.append(buf, static_cast<std::size_t>(n));
    }
    if (in[1] >= 0 && p[2].revents) {
      ssize_t n = write(in[1], input.data() + written, input.size() - written);
      if (n > 0) written += static_cast<std::size_t>(n);
      if (n <= 0 || written == input.size()) close(in[1]), in[1] = -1;
    }
  }
  if (in[1] >= 0) close(in[1]);
  close(out[0]), close(err[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

}  // namespace pqtest
