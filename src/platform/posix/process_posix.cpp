// The substitute's Shell: a Windows command line read by the Windows rules, with stand-ins for
// the two Windows programs the installer starts (cmd.exe runs its script with /bin/sh; regsvr32
// writes to a plain-text register on drive C), every process detached, unless ShellAndWait waits
// for it.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "platform/host_platform.h"
#include "platform/posix/handles_posix.h"
#include "platform/posix/package_folder_posix.h"
#include "platform/posix/paths_posix.h"
#include "platform/process.h"
#include "platform/progress.h"
#include "platform/text.h"

extern char** environ;

namespace fs = std::filesystem;

namespace tk::host {
namespace {

// What regsvr32 stands for here: one line per registered file, its Windows path.
constexpr const char* kRegister = "C:\\Windows\\regsvr32-kayitlari.txt";

bool isHostFile(const std::string& windowsPath) {
  std::error_code error;
  return fs::is_regular_file(hostPath(windowsPath), error);
}

std::vector<std::string> cmdPlan(const std::string& arguments) {
  std::optional<std::string> command = cmdCommand(arguments);
  if (!command || command->find_first_not_of(" \t") == std::string::npos)
    return {"/bin/sh", "-c", "exit 0"};
  ProgramPart script = splitProgram(*command, isHostFile);
  std::vector<std::string> plan{"/bin/sh", hostPath(script.program).string()};
  for (std::string& argument : splitArguments(script.arguments))
    plan.push_back(std::move(argument));
  return plan;
}

// A child shell appends each existing file to the register, so registering runs apart from the
// installer, as regsvr32 does. A missing file is not registered and ends it with exit code 3,
// silently, as with /s.
std::vector<std::string> regsvr32Plan(const std::string& arguments) {
  std::vector<std::string> plan{"/bin/sh", "-c",
                                "r=$1; shift; while [ $# -ge 2 ]; do [ -f \"$2\" ] || exit 3; "
                                "printf '%s\\n' \"$1\" >>\"$r\"; "
                                "shift 2; done",
                                "regsvr32", hostPath(kRegister).string()};
  bool unregister = false;
  std::vector<std::string> files;
  for (const std::string& argument : splitArguments(arguments)) {
    if (!argument.empty() && (argument[0] == '/' || argument[0] == '-')) {
      unregister = unregister || equalsIgnoringCase(argument.substr(1), "u");
    } else {
      files.push_back(argument);
    }
  }
  for (const std::string& file : unregister ? std::vector<std::string>{} : files) {
    plan.push_back(file);
    plan.push_back(hostPath(file).string());
  }
  return plan;
}

std::vector<std::string> planFor(const std::string& commandLine) {
  ProgramPart part = splitProgram(commandLine, isHostFile);
  auto is = [&](const char* name) {
    return part.bare && (equalsIgnoringCase(part.program, name) ||
                         equalsIgnoringCase(part.program, std::string(name) + ".exe"));
  };
  if (is("cmd"))
    return cmdPlan(part.arguments);
  if (is("regsvr32"))
    return regsvr32Plan(part.arguments);
  std::vector<std::string> plan{hostPath(part.program).string()};
  for (std::string& argument : splitArguments(part.arguments))
    plan.push_back(std::move(argument));
  return plan;
}

// Why a program could not start, as Shell's runtime numbers; any other reason (a file that is
// no program) is an invalid call.
constexpr CodeGroup<int> kShellNumbers[] = {
    {err::kFileNotFound, {ENOENT, ENOTDIR, ELOOP, ENAMETOOLONG}},
    {err::kPermissionDenied, {EACCES, EPERM, EISDIR, ETXTBSY}},
    {err::kOutOfMemory, {ENOMEM, EAGAIN}},
};

int32_t shellNumberFromErrno(int error) {
  return lookup(kShellNumbers, error, err::kInvalidCall);
}

struct SpawnReport {
  pid_t pid;
  int error;
};

bool readWhole(int fd, void* data, std::size_t size) {
  auto* bytes = static_cast<char*>(data);
  std::size_t done = 0;
  while (done < size) {
    ssize_t got = ::read(fd, bytes + done, size - done);
    if (got < 0 && errno == EINTR)
      continue;
    if (got <= 0)
      return false;
    done += static_cast<std::size_t>(got);
  }
  return true;
}

// The grandchild: its own session, no console (stdio on /dev/null), none of the installer's
// other descriptors but `held` (as descriptor 3, when given), default signal handling. Only
// async-signal-safe calls after fork.
[[noreturn]] void becomeProgram(char* const* argv, int devNull, int failurePipe, int held) {
  ::setsid();
  ::dup2(devNull, 0);
  ::dup2(devNull, 1);
  ::dup2(devNull, 2);
  if (held >= 0 && (held == 3 ? ::fcntl(3, F_SETFD, 0) : ::dup2(held, 3)) >= 0) {
    ::close_range(4, ~0U, CLOSE_RANGE_CLOEXEC);
  } else {
    ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
  }
  struct sigaction standard {};
  standard.sa_handler = SIG_DFL;
  for (int signal : {SIGPIPE, SIGINT, SIGQUIT, SIGTERM, SIGCHLD, SIGHUP})
    ::sigaction(signal, &standard, nullptr);
  sigset_t none;
  sigemptyset(&none);
  ::sigprocmask(SIG_SETMASK, &none, nullptr);
  ::execve(argv[0], argv, environ);
  int error = errno;
  (void)!::write(failurePipe, &error, sizeof error);
  ::_exit(127);
}

// A pipe whose ends close themselves; both invalid when the pipe could not be made (errno says
// why).
struct Pipe {
  UniqueFd read;
  UniqueFd write;
};

Pipe makePipe() {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0)
    return {};
  return {UniqueFd(ends[0]), UniqueFd(ends[1])};
}

// Starts the program as a child of this process: its pid, or why it could not start (the child
// reports a failed exec through a pipe that the exec itself closes). `held` as becomeProgram's.
SpawnReport startChild(char* const* argv, int devNull, int held) {
  Pipe failure = makePipe();
  if (!failure.read)
    return {-1, errno};
  SpawnReport report{::fork(), 0};
  if (report.pid == 0)
    becomeProgram(argv, devNull, failure.write.get(), held);
  report.error = report.pid < 0 ? errno : 0;
  failure.write.reset();
  int execError = 0;
  if (report.pid > 0 && readWhole(failure.read.get(), &execError, sizeof execError))
    report.error = execError;
  return report;
}

// The middle process of a double fork: starts the program, reports its pid or the reason it
// could not start, and exits at once, so the program is adopted by init and never a zombie.
[[noreturn]] void startAndLeave(char* const* argv, int devNull, int reportPipe, int held) {
  SpawnReport report = startChild(argv, devNull, held);
  (void)!::write(reportPipe, &report, sizeof report);
  ::_exit(0);
}

void reap(pid_t child) {
  while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
  }
}

// What a start needs: the plan's argv (pointing into `plan`) and /dev/null for its stdio.
struct Spawn {
  explicit Spawn(const std::vector<std::string>& plan)
      : devNull(::open("/dev/null", O_RDWR | O_CLOEXEC)) {
    for (const std::string& argument : plan)
      argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    if (!devNull)
      throw makeError(shellNumberFromErrno(errno));
  }
  std::vector<char*> argv;
  UniqueFd devNull;
};

pid_t spawnDetached(const std::vector<std::string>& plan, int held) {
  Spawn spawn(plan);
  Pipe report = makePipe();
  if (!report.read)
    throw makeError(shellNumberFromErrno(errno));
  pid_t middle = ::fork();
  if (middle == 0)
    startAndLeave(spawn.argv.data(), spawn.devNull.get(), report.write.get(), held);
  SpawnReport result{-1, errno};
  report.write.reset();
  spawn.devNull.reset();
  if (middle > 0) {
    if (!readWhole(report.read.get(), &result, sizeof result))
      result = {-1, EAGAIN};
    reap(middle);
  }
  if (result.pid <= 0 || result.error != 0)
    throw makeError(shellNumberFromErrno(result.error));
  return result.pid;
}

// A program waited for stays this process's child. One still running at the limit is left to
// run; once it ends, it stays a zombie until the installer ends, which is soon.
std::optional<uint32_t> waitFor(pid_t child, std::chrono::milliseconds limit) {
  std::optional<uint32_t> code;
  LongWork work(WorkKind::Program);
  auto deadline = std::chrono::steady_clock::now() + limit;
  work.run([&] {
    for (;;) {
      int status = 0;
      pid_t ended = ::waitpid(child, &status, WNOHANG);
      if (ended == child) {
        code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return;
      }
      if ((ended < 0 && errno != EINTR) || std::chrono::steady_clock::now() >= deadline)
        return;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      work.advance(0);  // serves the window every kServeInterval
    }
  });
  return code;
}

void checkShellArguments(const std::string& commandLine, int windowStyle) {
  // The styles Shell knows; the substitute has no windows to apply them to.
  if (windowStyle < 0 || windowStyle > 6 || windowStyle == 5)
    throw makeError(err::kInvalidCall);
  if (commandLine.find_first_not_of(" \t") == std::string::npos)
    throw makeError(err::kInvalidCall);
}

}  // namespace

double HostPlatform::Shell(const std::string& commandLine, int windowStyle) {
  checkShellArguments(commandLine, windowStyle);
  return static_cast<double>(
      spawnDetached(planFor(commandLine), heldByChild(working_.get(), commandLine)));
}

std::optional<uint32_t> HostPlatform::ShellAndWait(const std::string& commandLine, int windowStyle,
                                                   std::chrono::milliseconds limit) {
  checkShellArguments(commandLine, windowStyle);
  std::vector<std::string> plan = planFor(commandLine);
  Spawn spawn(plan);
  SpawnReport child =
      startChild(spawn.argv.data(), spawn.devNull.get(), heldByChild(working_.get(), commandLine));
  if (child.pid > 0 && child.error != 0)
    reap(child.pid);
  if (child.pid <= 0 || child.error != 0)
    throw makeError(shellNumberFromErrno(child.error));
  return waitFor(child.pid, limit);
}

}  // namespace tk::host
