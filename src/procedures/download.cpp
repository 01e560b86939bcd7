// dosyaIndir: one blocking GET whose body replaces the file at myPath when the status is 200; any
// other status is a failed download that the run goes on from, as a network failure is.
#include <string>

#include <chrono>
#include <cstdint>

#include "app/form1.h"

namespace tk {

void Form1::dosyaIndir(const std::string& myUrl, const std::string& myPath) {
  // Creating the request and Open are outside the handler: their failures go to the caller.
  log("İndirme: " + myUrl + " -> " + myPath);
  std::unique_ptr<XmlHttpRequest> request = platform_.CreateXmlHttpRequest();
  request->Open("GET", myUrl, false);
  auto started = std::chrono::steady_clock::now();
  try {
    log("Vekil sunucu: " + request->Proxy());
    request->Send();
    int status = request->Status();
    log("HTTP durumu: " + std::to_string(status));
    if (status == 200) {
      uint64_t bytes = request->SaveResponseBody(myPath);
      auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
          std::chrono::steady_clock::now() - started);
      log("İndirildi: " + std::to_string(bytes) + " bayt, " + std::to_string(took.count()) +
          " ms; arşiv denetimi: kabul edildi");
    } else {
      // Nothing saved, nothing shown: the run goes on with what lies there, a failed download.
      passedOver("indirme başarısız, HTTP durumu " + std::to_string(status) + ": " + myUrl);
    }
  } catch (const PlatformError& error) {
    // A refused archive (321) ends here as well: its verdict is this failure.
    passedOver(error);
    reportInstallFailure(error);
  }
}

}  // namespace tk
