// dosyaIndir: one blocking GET whose body replaces the file at myPath when the status is 200.
#include <string>

#include "app/failure_handling.h"
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
    reportInstallFailure(platform_, error);
  }
}

}  // namespace tk
