// Extracts one archive into a folder through the substitute's shell objects, the way unzip
// does it, for bench/zip_extract.sh to time. Usage: zip_extract_bench ARCHIVE FOLDER [--window];
// prints the extraction's own time.
#include <cstdio>

#include "platform/host_platform.h"
#include "timed_work.h"

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: %s ARCHIVE FOLDER [--window]\n", argv[0]);
    return 2;
  }
  try {
    tk::host::HostPlatform platform;
    tk::bench::TimedWork work(platform, argv[3]);
    std::unique_ptr<tk::ShellDispatch> shell = platform.CreateShellDispatch();
    std::unique_ptr<tk::ShellFolder> archive = shell->NameSpace(argv[1]);
    std::unique_ptr<tk::ShellFolder> folder = shell->NameSpace(argv[2]);
    if (!archive || !folder)
      throw tk::makeError(tk::err::kObjectNotSet);
    std::unique_ptr<tk::FolderItems> items = archive->Items();
    folder->CopyHere(*items, tk::kCopySimpleProgress);
    work.done();
  } catch (const tk::PlatformError& error) {
    std::fprintf(stderr, "Hata No: %d %s\n", error.number, error.description.c_str());
    return 1;
  }
  return 0;
}
