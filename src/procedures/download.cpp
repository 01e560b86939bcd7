// dosyaIndir: one blocking GET whose body replaces the file at myPath when the status is 200.
#include <string>

#include "app/form1.h"

namespace tk {

void Form1::dosyaIndir(const std::string& myUrl, const std::string& myPath) {
  // Creating the request and Open are outside the handler: their failures go to the caller.
  std::unique_ptr<XmlHttpRequest> request = platform_.CreateXmlHttpRequest();
  request->Open("GET", myUrl, false);
  try {
    request->Send();
    if (request->Status() == 200)
      request->SaveResponseBody(myPath);
  } catch (const PlatformError& error) {
    platform_.MsgBox("Kurulum sırasında hata oluştu ! Hata No: " + std::to_string(error.number),
                     vbInformation, std::string("TovrenKur v1.0.9"));
  }
}

}  // namespace tk
