// The signed-in user's own rights for the programs of a run elevated above them: the token of
// the session's shell, whose programs the user starts every day, duplicated for
// CreateProcessWithTokenW (which the elevated run may call: it holds the impersonation
// privilege). A step process started so is this program again, told through its standard input
// when it may end.
#include <chrono>
#include <vector>

#include "platform/host_platform.h"
#include "platform/progress.h"
#include "platform/windows/elevation_win.h"
#include "platform/windows/error_win.h"
#include "platform/windows/files_win.h"
#include "platform/windows/handles_win.h"
#include "platform/windows/process_win.h"
#include "platform/windows/strings_win.h"

namespace tk::host {
namespace {

// A check that has not said it is ready by then is left to run: the installation goes on.
constexpr std::chrono::minutes kReadyTimeout{5};

// A primary token with the rights of the session's shell. None when there is no shell (a
// service in session 0, Explorer replaced or not running) or its token cannot be had (the shell
// of another user than the elevated one: its process refuses him).
UniqueHandle shellToken() {
  HWND shell = GetShellWindow();
  DWORD id = 0;
  if (shell == nullptr || GetWindowThreadProcessId(shell, &id) == 0 || id == 0)
    return UniqueHandle();
  UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
  HANDLE token = nullptr;
  if (!process || !OpenProcessToken(process.get(), TOKEN_DUPLICATE, &token))
    return UniqueHandle();
  UniqueHandle shellsToken(token);
  HANDLE primary = nullptr;
  constexpr DWORD kAccess = TOKEN_QUERY | TOKEN_ASSIGN_PRIMARY | TOKEN_DUPLICATE |
                            TOKEN_ADJUST_DEFAULT | TOKEN_ADJUST_SESSIONID;
  if (!DuplicateTokenEx(token, kAccess, nullptr, SecurityImpersonation, TokenPrimary, &primary))
    return UniqueHandle();
  return UniqueHandle(primary);
}

// Starts `launch` with the shell's rights and the user's own environment; never waited for.
PROCESS_INFORMATION startAsUser(const Launch& launch, STARTUPINFOW& startup) {
  UniqueHandle token = shellToken();
  if (!token)
    throw PlatformError(err::kPermissionDenied, "Oturum açmış kullanıcının yetkileri alınamadı");
  std::vector<wchar_t> text(launch.commandLine.begin(), launch.commandLine.end());
  text.push_back(L'\0');  // the function may write into its command line
  PROCESS_INFORMATION process{};
  // No environment given: the function makes the user's, which is Unicode, and its
  // documentation asks for the flag saying so.
  if (!CreateProcessWithTokenW(token.get(), 0, launch.application.c_str(), text.data(),
                               CREATE_UNICODE_ENVIRONMENT, nullptr, nullptr, &startup, &process))
    throw makeError(shellNumber(GetLastError()));
  return process;
}

// An anonymous pipe whose one end goes to the step process (inheritable) and the other stays.
struct Pipe {
  UniqueHandle read, write;
  explicit Pipe(bool childReads) {
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0))
      throwLastError();
    read.reset(readEnd);
    write.reset(writeEnd);
    SetHandleInformation(childReads ? writeEnd : readEnd, HANDLE_FLAG_INHERIT, 0);
  }
};

// Until the process writes to its output (ready), ends, or has had its time. An anonymous pipe
// cannot be waited on, so it is looked at between short waits on the process.
void waitUntilReady(HANDLE output, HANDLE process) {
  auto deadline = std::chrono::steady_clock::now() + kReadyTimeout;
  for (;;) {
    DWORD available = 0;
    if (!PeekNamedPipe(output, nullptr, 0, nullptr, &available, nullptr) || available > 0)
      return;  // a broken pipe: the process has gone
    if (WaitForSingleObject(process, 50) != WAIT_TIMEOUT ||
        std::chrono::steady_clock::now() > deadline)
      return;
  }
}

// Holds the step process's standard input: closing it tells the process to end.
class WinStepProcess : public StepProcess {
 public:
  explicit WinStepProcess(UniqueHandle input) : input_(std::move(input)) {}

 private:
  UniqueHandle input_;
};

}  // namespace

Platform::SystemFacts::UserRights userRightsFor(const TokenRights& rights) {
  using UserRights = Platform::SystemFacts::UserRights;
  if (!rights.aboveUser)
    return UserRights::Own;
  return shellToken() ? UserRights::FromShell : UserRights::Unavailable;
}

double HostPlatform::ShellAsUser(const std::string& commandLine, int windowStyle) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = showState(windowStyle);
  PROCESS_INFORMATION process = startAsUser(launchFor(commandLine), startup);
  UniqueHandle thread(process.hThread);
  UniqueHandle program(process.hProcess);
  return static_cast<double>(process.dwProcessId);
}

std::unique_ptr<StepProcess> HostPlatform::StartAsUser(const std::string& arguments) {
  Pipe input(true), output(false);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input.read.get();
  startup.hStdOutput = output.write.get();
  startup.hStdError = output.write.get();
  std::wstring program = modulePath(nullptr);
  Launch launch{program, L"\"" + program + L"\" " + toWide(arguments)};
  PROCESS_INFORMATION started = startAsUser(launch, startup);
  UniqueHandle thread(started.hThread);
  UniqueHandle process(started.hProcess);
  input.read.reset();  // the process's ends are its own now: its end breaks the pipe
  output.write.reset();
  LongWork work(WorkKind::StepProcess);
  work.run([&] { waitUntilReady(output.read.get(), process.get()); });
  return std::make_unique<WinStepProcess>(std::move(input.write));
}

void HostPlatform::ReadyAndWait() {
  HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  char ready = '1';
  DWORD count = 0;
  if (output == nullptr || output == INVALID_HANDLE_VALUE ||
      !WriteFile(output, &ready, 1, &count, nullptr))
    return;  // no run waits for it
  // The apartment's messages are served meanwhile: the objects still held may need them.
  LongWork work(WorkKind::StepProcess);
  work.run([&] {
    char buffer[64];
    while (ReadFile(input, buffer, sizeof buffer, &count, nullptr) && count > 0) {
    }
  });
}

}  // namespace tk::host
