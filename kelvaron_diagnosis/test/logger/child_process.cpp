#include "child_process.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>

extern char ** environ;

namespace logger_test
{
namespace
{

constexpr const char * kJournalSocket = "/run/systemd/journal/socket";

// Only a hang guard: a healthy probe finishes in well under a second.
constexpr std::chrono::seconds kChildDeadline{60};

// What the child reports through the status pipe when it cannot reach exec.
enum class Stage : int
{
  kUnshare = 1,
  kPrivatePropagation,
  kMountTmpfs,
  kMakeDirectory,
  kBindSocket,
  kExec,
};

struct StageFailure
{
  Stage stage;
  int error;
};

const char * stageName(Stage stage)
{
  switch (stage) {
    case Stage::kUnshare:
      return "unshare(CLONE_NEWNS)";
    case Stage::kPrivatePropagation:
      return "making / private in the new mount namespace";
    case Stage::kMountTmpfs:
      return "mounting a tmpfs for the journal socket";
    case Stage::kMakeDirectory:
      return "creating the journal directory";
    case Stage::kBindSocket:
      return "binding the journal socket";
    case Stage::kExec:
      return "exec";
  }
  return "?";
}

class Fd
{
public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() { reset(); }
  Fd(const Fd &) = delete;
  Fd & operator=(const Fd &) = delete;
  int get() const { return fd_; }
  void reset(int fd = -1)
  {
    if (fd_ >= 0) {
      ::close(fd_);
    }
    fd_ = fd;
  }

private:
  int fd_;
};

struct Pipe
{
  Fd read;
  Fd write;
};

void openPipe(Pipe & pipe)
{
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) {
    throw std::runtime_error(std::string("pipe2: ") + std::strerror(errno));
  }
  pipe.read.reset(fds[0]);
  pipe.write.reset(fds[1]);
}

bool isDirectory(const std::string & path)
{
  struct stat info
  {
  };
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Everything the child needs between fork and exec, prepared up front so that the child only
// makes system calls.
struct JournalPlan
{
  std::string mount_point;               // deepest existing directory on the socket's path
  std::vector<std::string> create_dirs;  // directories to make inside the fresh tmpfs
  sockaddr_un address{};
  std::string uid_map;  // our own ids, mapped to root of a user namespace if we need one
  std::string gid_map;
};

JournalPlan planJournal()
{
  JournalPlan plan;
  const std::vector<std::string> chain{"/run/systemd/journal", "/run/systemd", "/run"};
  for (std::size_t i = 0; i < chain.size(); ++i) {
    if (isDirectory(chain[i])) {
      plan.mount_point = chain[i];
      for (std::size_t j = i; j > 0; --j) {
        plan.create_dirs.push_back(chain[j - 1]);
      }
      break;
    }
  }
  plan.uid_map = "0 " + std::to_string(::getuid()) + " 1";
  plan.gid_map = "0 " + std::to_string(::getgid()) + " 1";
  plan.address.sun_family = AF_UNIX;
  std::strncpy(plan.address.sun_path, kJournalSocket, sizeof(plan.address.sun_path) - 1);
  return plan;
}

[[noreturn]] void failInChild(int status_fd, Stage stage)
{
  const StageFailure failure{stage, errno};
  [[maybe_unused]] const auto written = ::write(status_fd, &failure, sizeof(failure));
  ::_exit(127);
}

bool writeProcFile(const char * path, const std::string & text)
{
  const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
  if (fd < 0) {
    return false;
  }
  const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  ::close(fd);
  return written;
}

// Without the right to make a mount namespace, a user namespace of our own may still grant it.
bool enterUserAndMountNamespace(const JournalPlan & plan)
{
  return ::unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0 &&
         writeProcFile("/proc/self/setgroups", "deny") &&
         writeProcFile("/proc/self/uid_map", plan.uid_map) &&
         writeProcFile("/proc/self/gid_map", plan.gid_map);
}

void enterPrivateJournal(const JournalPlan & plan, int socket_fd, int status_fd)
{
  if (::unshare(CLONE_NEWNS) != 0) {
    const int mount_ns_error = errno;
    if (mount_ns_error != EPERM || !enterUserAndMountNamespace(plan)) {
      errno = mount_ns_error;
      failInChild(status_fd, Stage::kUnshare);
    }
  }
  // Keep our mounts from propagating back to the host's namespace.
  if (::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
    failInChild(status_fd, Stage::kPrivatePropagation);
  }
  if (plan.mount_point.empty()) {
    errno = ENOENT;
    failInChild(status_fd, Stage::kMountTmpfs);
  }
  if (::mount("tmpfs", plan.mount_point.c_str(), "tmpfs", 0, "mode=0755") != 0) {
    failInChild(status_fd, Stage::kMountTmpfs);
  }
  for (const std::string & dir : plan.create_dirs) {
    if (::mkdir(dir.c_str(), 0755) != 0) {
      failInChild(status_fd, Stage::kMakeDirectory);
    }
  }
  // The socket is shared with the parent, which reads what the probe sends.
  if (
    ::bind(socket_fd, reinterpret_cast<const sockaddr *>(&plan.address), sizeof(plan.address)) !=
    0) {
    failInChild(status_fd, Stage::kBindSocket);
  }
}

std::vector<std::string> childEnvironment(const std::map<std::string, std::string> & spdlog_env)
{
  std::vector<std::string> env;
  for (char ** entry = environ; *entry != nullptr; ++entry) {
    if (std::strncmp(*entry, "SPDLOG_", 7) != 0) {
      env.emplace_back(*entry);
    }
  }
  for (const auto & [name, value] : spdlog_env) {
    env.push_back(name + "=" + value);
  }
  return env;
}

std::vector<char *> pointers(std::vector<std::string> & strings)
{
  std::vector<char *> result;
  for (std::string & s : strings) {
    result.push_back(s.data());
  }
  result.push_back(nullptr);
  return result;
}

// Reads whatever one descriptor has; returns false at end of file.
bool drainInto(int fd, std::string & sink)
{
  std::array<char, 4096> buffer{};
  const ssize_t n = ::read(fd, buffer.data(), buffer.size());
  if (n > 0) {
    sink.append(buffer.data(), static_cast<std::size_t>(n));
    return true;
  }
  return n < 0 && errno == EINTR;
}

void receiveDatagrams(int fd, std::vector<std::string> & datagrams)
{
  std::vector<char> buffer(1 << 17);
  for (;;) {
    const ssize_t n = ::recv(fd, buffer.data(), buffer.size(), MSG_DONTWAIT);
    if (n < 0) {
      return;
    }
    datagrams.emplace_back(buffer.data(), static_cast<std::size_t>(n));
  }
}

// Collects stdout, stderr and journal datagrams until both pipes close. The journal queue is
// short, so it has to be read while the child runs or the child blocks on its next send.
bool collect(int out_fd, int err_fd, int journal_fd, ChildResult & result)
{
  const auto deadline = std::chrono::steady_clock::now() + kChildDeadline;
  bool out_open = true;
  bool err_open = true;
  while (out_open || err_open) {
    if (std::chrono::steady_clock::now() > deadline) {
      return false;
    }
    std::array<pollfd, 3> fds{{
      {out_open ? out_fd : -1, POLLIN, 0},
      {err_open ? err_fd : -1, POLLIN, 0},
      {journal_fd, POLLIN, 0},
    }};
    if (::poll(fds.data(), fds.size(), 1000) < 0 && errno != EINTR) {
      throw std::runtime_error(std::string("poll: ") + std::strerror(errno));
    }
    if (out_open && (fds[0].revents & (POLLIN | POLLHUP)) != 0) {
      out_open = drainInto(out_fd, result.out);
    }
    if (err_open && (fds[1].revents & (POLLIN | POLLHUP)) != 0) {
      err_open = drainInto(err_fd, result.err);
    }
    if (journal_fd >= 0 && (fds[2].revents & POLLIN) != 0) {
      receiveDatagrams(journal_fd, result.datagrams);
    }
  }
  return true;
}

}  // namespace

ChildResult runChild(const ChildRequest & request)
{
  if (request.argv.empty()) {
    throw std::invalid_argument("runChild needs a program");
  }
  std::vector<std::string> argv_storage = request.argv;
  std::vector<std::string> env_storage = childEnvironment(request.spdlog_env);
  std::vector<char *> argv = pointers(argv_storage);
  std::vector<char *> envp = pointers(env_storage);

  Pipe out;
  Pipe err;
  Pipe status;
  openPipe(out);
  openPipe(err);
  openPipe(status);

  Fd journal;
  JournalPlan plan;
  if (request.private_journal) {
    journal.reset(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (journal.get() < 0) {
      throw std::runtime_error(std::string("socket: ") + std::strerror(errno));
    }
    plan = planJournal();
  }

  const pid_t pid = ::fork();
  if (pid < 0) {
    throw std::runtime_error(std::string("fork: ") + std::strerror(errno));
  }
  if (pid == 0) {
    if (::dup2(out.write.get(), STDOUT_FILENO) < 0 || ::dup2(err.write.get(), STDERR_FILENO) < 0) {
      ::_exit(127);
    }
    if (request.private_journal) {
      enterPrivateJournal(plan, journal.get(), status.write.get());
    }
    ::execve(argv[0], argv.data(), envp.data());
    failInChild(status.write.get(), Stage::kExec);
  }

  out.write.reset();
  err.write.reset();
  status.write.reset();

  ChildResult result;
  StageFailure failure{};
  ssize_t got = 0;
  do {
    got = ::read(status.read.get(), &failure, sizeof(failure));
  } while (got < 0 && errno == EINTR);

  if (got == static_cast<ssize_t>(sizeof(failure))) {
    int wait_status = 0;
    ::waitpid(pid, &wait_status, 0);
    const std::string reason =
      std::string(stageName(failure.stage)) + " failed: " + std::strerror(failure.error);
    if (failure.stage == Stage::kExec) {
      throw std::runtime_error("cannot run " + request.argv[0] + ": " + reason);
    }
    result.unavailable = reason;
    return result;
  }

  if (!collect(out.read.get(), err.read.get(), journal.get(), result)) {
    result.timed_out = true;
    ::kill(pid, SIGKILL);
  }
  int wait_status = 0;
  while (::waitpid(pid, &wait_status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(wait_status)) {
    result.exit_code = WEXITSTATUS(wait_status);
  }
  if (journal.get() >= 0) {
    // Every send of the child completed before it exited; take what is still queued.
    receiveDatagrams(journal.get(), result.datagrams);
  }
  return result;
}

}  // namespace logger_test
