// Extracts one archive into a folder with the program's zip reader on the substitute's files
// (every check on, the CRCs, the long work that serves the window), for bench/zip_extract.sh to
// time. Usage: zip_extract_bench ARCHIVE FOLDER [--window]; prints the extraction's own time.
// The archive is a large one of many folders, not a driver's archive, so it is extracted without
// the driver rule that the shell objects apply.
#include <cstdio>

#include "platform/host_platform.h"
#include "platform/zip_extract.h"
#include "timed_work.h"

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: %s ARCHIVE FOLDER [--window]\n", argv[0]);
    return 2;
  }
  try {
    tk::host::HostPlatform platform;
    tk::bench::TimedWork work(platform, argv[3]);
    tk::host::extractArchive(argv[1], argv[2], tk::host::Content::Any);
    work.done();
  } catch (const tk::PlatformError& error) {
    std::fprintf(stderr, "Hata No: %d %s\n", error.number, error.description.c_str());
    return 1;
  }
  return 0;
}
