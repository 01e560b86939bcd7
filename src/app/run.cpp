// What one run records beside the installation itself: every message box with its answer, each
// copy and program start, each step as it starts and ends, every failure with its number, and
// the exit code these come to.
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

int Form1::MsgBox(Box box, const std::string& prompt, int buttons,
                  const std::optional<std::string>& title) {
  log("Mesaj kutusu, stil " + std::to_string(buttons) + ", başlık \"" +
      title.value_or(kApplicationTitle) + "\": " + prompt);
  std::optional<int> decided = decidedAnswer(options_, box);
  int answer = decided ? *decided : platform_.MsgBox(prompt, buttons, title);
  log((decided ? "Gösterilmedi, cevap: " : "Cevap: ") + answerText(answer));
  return answer;
}

void Form1::FileCopy(const std::string& source, const std::string& destination) {
  log("Kopya: " + source + " -> " + destination);
  platform_.FileCopy(source, destination);
}

double Form1::Shell(const std::string& commandLine, int windowStyle, bool asUser) {
  if (!asUser) {
    log("Program başlatılıyor: " + commandLine);
    return platform_.Shell(commandLine, windowStyle);
  }
  log("Program kullanıcının yetkisiyle başlatılıyor: " + commandLine);
  return platform_.ShellAsUser(commandLine, windowStyle);
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
  ++passedOver_;
  log("Atlanan hata: " + failureText(error));
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
