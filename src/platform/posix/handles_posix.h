// The kinds of host resource the substitute owns, each released by its own function through the
// one owner, UniqueResource.
#pragma once

#include <curl/curl.h>
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

// libcurl's transfer, multi transfer, address and header-list objects.
struct CurlEasyTraits {
  using Handle = CURL*;
  static Handle invalid() { return nullptr; }
  static bool valid(Handle curl) { return curl != nullptr; }
  static bool close(Handle curl) { return curl_easy_cleanup(curl), true; }
};
using UniqueCurl = UniqueResource<CurlEasyTraits>;

struct CurlMultiTraits {
  using Handle = CURLM*;
  static Handle invalid() { return nullptr; }
  static bool valid(Handle multi) { return multi != nullptr; }
  static bool close(Handle multi) { return curl_multi_cleanup(multi) == CURLM_OK; }
};
using UniqueCurlMulti = UniqueResource<CurlMultiTraits>;

struct CurlUrlTraits {
  using Handle = CURLU*;
  static Handle invalid() { return nullptr; }
  static bool valid(Handle url) { return url != nullptr; }
  static bool close(Handle url) { return curl_url_cleanup(url), true; }
};
using UniqueCurlUrl = UniqueResource<CurlUrlTraits>;

struct CurlListTraits {
  using Handle = curl_slist*;
  static Handle invalid() { return nullptr; }
  static bool valid(Handle list) { return list != nullptr; }
  static bool close(Handle list) { return curl_slist_free_all(list), true; }
};
using UniqueCurlList = UniqueResource<CurlListTraits>;

// A string that libcurl allocated.
struct CurlTextTraits {
  using Handle = char*;
  static Handle invalid() { return nullptr; }
  static bool valid(Handle text) { return text != nullptr; }
  static bool close(Handle text) { return curl_free(text), true; }
};
using UniqueCurlText = UniqueResource<CurlTextTraits>;

}  // namespace tk::host
