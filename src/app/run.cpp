// What one run records beside the installation itself: every message box with its answer, each
// copy and program start, each step as it starts and ends, every failure with its number, and
// the exit code these come to.
#include <chrono>
#include <exception>
#include <string>

#include "app/form1.h"
#include "app/pass_over.h"
#include "app/program.h"

namespace tk {
namespace {

std::string answerText(int answer) {
  const char* name = answer == vbOK    ? " (Tamam)"
                     : answer == vbYes ? " (Evet)"
                     : answer == vbNo  ? " (Hayır)"
                                       : "";
  return std::to_string(answer) + name;
}

std::string failureText(const PlatformError& error) {
  return "Hata No: " + std::to_string(error.number) + " (" + error.description + ")";
}

}  // namespace

int messageBox(Platform& platform, std::optional<int> decided, const std::string& prompt,
               int buttons, const std::optional<std::string>& title) {
  platform.Log("Mesaj kutusu, stil " + std::to_string(buttons) + ", başlık \"" +
               title.value_or(kApplicationTitle) + "\": " + prompt);
  int answer = decided ? *decided : platform.MsgBox(prompt, buttons, title);
  platform.Log((decided ? "Gösterilmedi, cevap: " : "Cevap: ") + answerText(answer));
  return answer;
}

int Form1::MsgBox(Box box, const std::string& prompt, int buttons,
                  const std::optional<std::string>& title) {
  return messageBox(platform_, decidedAnswer(options_, box), prompt, buttons, title);
}

void Form1::FileCopy(const std::string& source, const std::string& destination) {
  log("Kopya: " + source + " -> " + destination);
  platform_.FileCopy(source, destination);
}

double Form1::Shell(const std::string& commandLine, int windowStyle, Wait wait, bool asUser) {
  if (asUser) {
    log("Program kullanıcının yetkisiyle başlatılıyor: " + commandLine);
    double id = 0;
    if (startedAsUser([&] { id = platform_.ShellAsUser(commandLine, windowStyle); }))
      return id;
  }
  log("Program başlatılıyor: " + commandLine);
  if (wait == Wait::Never || !options_.unattended())
    return platform_.Shell(commandLine, windowStyle);
  auto started = std::chrono::steady_clock::now();
  std::optional<uint32_t> code =
      platform_.ShellAndWait(commandLine, windowStyle, kProgramWaitLimit);
  auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - started);
  if (!code) {
    passedOver("program " + std::to_string(kProgramWaitLimit.count()) +
               " dakikada bitmedi, beklenmeden devam ediliyor: " + commandLine);
  } else {
    log("Program bitti: çıkış kodu " + std::to_string(*code) + ", " + std::to_string(took.count()) +
        " ms");
    if (*code != 0)
      passedOver("program " + std::to_string(*code) + " çıkış koduyla bitti: " + commandLine);
  }
  return 0;
}

Platform::SystemFacts Form1::systemFacts() {
  Platform::SystemFacts facts{"", true};
  passOver([&] { facts = platform_.DescribeSystem(); });
  return facts;
}

void Form1::step(const char* name, const std::function<void()>& body) {
  log(std::string("Adım başladı: ") + name);
  try {
    body();
  } catch (...) {
    log(std::string("Adım yarıda kaldı: ") + name);
    throw;
  }
  log(std::string("Adım bitti: ") + name);
}

bool Form1::runStep(const char* name, std::initializer_list<std::function<void()>> units) {
  log(std::string("Adım başladı: ") + name);
  bool reported = false;
  for (const std::function<void()>& unit : units) {
    std::optional<PlatformError> failure = passOver(unit);
    if (failure) {
      passedOver(*failure);
      if (!reported) {
        reported = true;
        passOver([&] { reportInstallFailure(*failure); });
      }
    }
  }
  log(std::string("Adım bitti: ") + name);
  return reported;
}

void Form1::passedOver(const PlatformError& error) {
  passedOver(failureText(error));
}

void Form1::passedOver(const std::string& what) {
  ++passedOver_;
  log("Atlanan hata: " + what);
}

void Form1::reportInstallFailure(const PlatformError& error) {
  MsgBox(Box::InstallFailure,
         "Kurulum sırasında hata oluştu ! Hata No: " + std::to_string(error.number), vbInformation,
         std::string(kTitleV109));
}

void Form1::reportFailure(const PlatformError& error) {
  exitCode_ = kExitFirstHalfFailed;
  log("Kurulum durdu: " + failureText(error));
  MsgBox(Box::FailureReport, failureReport(error, logPath_), vbCritical,
         std::string(kApplicationTitle));
}

}  // namespace tk
