// One download with the substitute's HTTP request (the path dosyaIndir takes), for the download
// benchmark: download_bench <address> <file> [--window]. Prints the download's own time; exit
// code 0 only for a complete 200 response.
#include <cstdio>

#include "platform/host_platform.h"
#include "timed_work.h"

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: download_bench <address> <file> [--window]\n");
    return 2;
  }
  try {
    tk::host::HostPlatform platform;
    tk::bench::TimedWork work(platform, argv[3]);
    std::unique_ptr<tk::XmlHttpRequest> request = platform.CreateXmlHttpRequest();
    request->Open("GET", argv[1], false);
    request->Send();
    if (request->Status() != 200) {
      std::fprintf(stderr, "status %d\n", request->Status());
      return 1;
    }
    request->SaveResponseBody(argv[2]);
    work.done();
  } catch (const tk::PlatformError& error) {
    std::fprintf(stderr, "error %d: %s\n", error.number, error.description.c_str());
    return 1;
  }
  return 0;
}
