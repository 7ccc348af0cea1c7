#include "site-script/password_mail.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
#include <thread>

extern char** environ;

namespace pq::site {

namespace {

constexpr auto kCommandTimeout = std::chrono::seconds(20);

std::string Message(const std::string& password, const std::string& site,
                    const std::string& requester) {
  std::time_t now = std::time(nullptr);
  char date[64];
  std::tm tm{};
  gmtime_r(&now, &tm);
  std::strftime(date, sizeof date, "%a, %d %b %Y %H:%M:%S +0000", &tm);
  return std::string("Date: ") + date + "\n" +
         "Subject: Your Pagequill password\n"
         "Content-Type: text/plain; charset=utf-8\n"
         "\n"
         "Someone (perhaps you) asked Pagequill for the password that publishes\n"
         "changes to " + site + ".\n"
         "\n"
         "Password: " + password + "\n"
         "\n"
         "Asked for from the address " + requester + ".\n";
}

bool WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

bool PasswordMailer::RunCommand(const std::string& message) const {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[0], 0);
  const char* argv[] = {"/bin/sh", "-c", command_.c_str(), nullptr};
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, "/bin/sh", &actions, nullptr, const_cast<char**>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[0]);
  if (rc != 0) {
    close(fds[1]);
    return false;
  }
  // The message is far smaller than a pipe's buffer, so this write cannot block.
  const bool written = WriteAll(fds[1], message);
  close(fds[1]);
  const auto deadline = std::chrono::steady_clock::now() + kCommandTimeout;
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return written && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool PasswordMailer::AppendToFile(const std::string& message) const {
  const int fd = open(file_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  const bool ok = WriteAll(fd, message + "\n");
  return close(fd) == 0 && ok;
}

PasswordMailer::Outcome PasswordMailer::Send(const std::string& password, const std::string& site,
                                             const std::string& requester) {
  if (command_.empty() && file_.empty()) return Outcome::NotConfigured;
  std::lock_guard lock(mutex_);
  const auto now = std::chrono::steady_clock::now();
  if (sentBefore_ && now - lastSent_ < interval_) return Outcome::TooSoon;
  const std::string message = Message(password, site, requester);
  const bool ok = command_.empty() ? AppendToFile(message) : RunCommand(message);
  if (!ok) return Outcome::Failed;
  sentBefore_ = true;
  lastSent_ = now;
  return Outcome::Sent;
}

}  // namespace pq::site
