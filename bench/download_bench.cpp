// One download with the substitute's HTTP request (the path dosyaIndir takes), for the download
// benchmark: download_bench <address> <file>. Exit code 0 only for a complete 200 response.
#include <cstdio>

#include "platform/host_platform.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: download_bench <address> <file>\n");
    return 2;
  }
  try {
    tk::host::HostPlatform platform;
    std::unique_ptr<tk::XmlHttpRequest> request = platform.CreateXmlHttpRequest();
    request->Open("GET", argv[1], false);
    request->Send();
    if (request->Status() != 200) {
      std::fprintf(stderr, "status %d\n", request->Status());
      return 1;
    }
    request->SaveResponseBody(argv[2]);
  } catch (const tk::PlatformError& error) {
    std::fprintf(stderr, "error %d: %s\n", error.number, error.description.c_str());
    return 1;
  }
  return 0;
}
