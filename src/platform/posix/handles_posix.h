// The kinds of host resource the substitute owns, each released by its own function through the
// one owner, UniqueResource.
#pragma once

#include <curl/curl.h>
#include <dirent.h>
#include <unistd.h>

#include <cstdio>

#include "platform/unique_resource.h"

namespace tk::host {

// A file descriptor.
struct FdTraits {
  using Handle = int;
  static Handle invalid() { return -1; }
  static bool valid(Handle fd) { return fd >= 0; }
  static bool close(Handle fd) { return ::close(fd) == 0; }
};
using UniqueFd = UniqueResource<FdTraits>;

// A C stream.
struct FileTraits {
  using Handle = std::FILE*;
  static Handle invalid() { return nullptr; }
  static bool valid(Handle file) { return file != nullptr; }
  static bool close(Handle file) { return std::fclose(file) == 0; }
};
using UniqueFile = UniqueResource<FileTraits>;

// A folder listing.
using UniqueDir = UniqueResource<FreedBy<DIR*, closedir>>;

// libcurl's transfer, multi transfer, address and header-list objects, and a string it allocated.
using UniqueCurl = UniqueResource<FreedBy<CURL*, curl_easy_cleanup>>;
using UniqueCurlMulti = UniqueResource<FreedBy<CURLM*, curl_multi_cleanup>>;
using UniqueCurlUrl = UniqueResource<FreedBy<CURLU*, curl_url_cleanup>>;
using UniqueCurlList = UniqueResource<FreedBy<curl_slist*, curl_slist_free_all>>;
using UniqueCurlText = UniqueResource<FreedBy<char*, curl_free>>;

}  // namespace tk::host
