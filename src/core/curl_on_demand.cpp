// libcurl, loaded when the first download that needs it starts rather than
// with the program. libcurl brings some thirty libraries (TLS, LDAP,
// Kerberos, SSH) whose loading and start-up made up half of every run's
// memory and much of its start, though most runs never need them: plain
// "http://" test pages go through the program's own client, and most
// commands download nothing.
//
// These are the libcurl functions that curl_transfer.cpp calls; each hands
// on to the real one. When the library cannot be loaded, they answer as
// libcurl answers a failed initialisation (no handle, an error code), and
// the download fails with an error instead of the program failing to start.

#include <curl/curl.h>
#include <dlfcn.h>

#include <atomic>
#include <cstdarg>

namespace {

// What curl_global_init was asked for; applied once the library is loaded.
std::atomic<long> globalFlags{CURL_GLOBAL_DEFAULT};

struct Curl {
  decltype(&curl_global_init) global_init = nullptr;
  decltype(&curl_easy_init) easy_init = nullptr;
  decltype(&curl_easy_setopt) easy_setopt = nullptr;
  decltype(&curl_easy_getinfo) easy_getinfo = nullptr;
  decltype(&curl_easy_cleanup) easy_cleanup = nullptr;
  decltype(&curl_easy_strerror) easy_strerror = nullptr;
  decltype(&curl_multi_init) multi_init = nullptr;
  decltype(&curl_multi_add_handle) multi_add_handle = nullptr;
  decltype(&curl_multi_remove_handle) multi_remove_handle = nullptr;
  decltype(&curl_multi_perform) multi_perform = nullptr;
  decltype(&curl_multi_info_read) multi_info_read = nullptr;
  decltype(&curl_multi_poll) multi_poll = nullptr;
  decltype(&curl_multi_cleanup) multi_cleanup = nullptr;
  decltype(&curl_slist_append) slist_append = nullptr;
  decltype(&curl_slist_free_all) slist_free_all = nullptr;
  bool loaded = false;
};

template <class F>
bool resolve(void* library, const char* name, F& function) {
  function = reinterpret_cast<F>(::dlsym(library, name));
  return function != nullptr;
}

Curl load() {
  Curl curl;
  void* library = ::dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
  if (!library) return curl;
  curl.loaded = resolve(library, "curl_global_init", curl.global_init) &&
                resolve(library, "curl_easy_init", curl.easy_init) &&
                resolve(library, "curl_easy_setopt", curl.easy_setopt) &&
                resolve(library, "curl_easy_getinfo", curl.easy_getinfo) &&
                resolve(library, "curl_easy_cleanup", curl.easy_cleanup) &&
                resolve(library, "curl_easy_strerror", curl.easy_strerror) &&
                resolve(library, "curl_multi_init", curl.multi_init) &&
                resolve(library, "curl_multi_add_handle", curl.multi_add_handle) &&
                resolve(library, "curl_multi_remove_handle", curl.multi_remove_handle) &&
                resolve(library, "curl_multi_perform", curl.multi_perform) &&
                resolve(library, "curl_multi_info_read", curl.multi_info_read) &&
                resolve(library, "curl_multi_poll", curl.multi_poll) &&
                resolve(library, "curl_multi_cleanup", curl.multi_cleanup) &&
                resolve(library, "curl_slist_append", curl.slist_append) &&
                resolve(library, "curl_slist_free_all", curl.slist_free_all);
  if (curl.loaded) curl.loaded = curl.global_init(globalFlags.load()) == CURLE_OK;
  return curl;  // the library stays loaded for the life of the process
}

// Loaded once, by whichever thread asks first.
const Curl& curl() {
  static const Curl loaded = load();
  return loaded;
}

}  // namespace

// Only notes the flags: the library is initialised when it is loaded, by the
// first download.
CURLcode curl_global_init(long flags) {
  globalFlags = flags;
  return CURLE_OK;
}

CURL* curl_easy_init() { return curl().loaded ? curl().easy_init() : nullptr; }

// Every option the program sets takes one argument of pointer or integer size.
CURLcode curl_easy_setopt(CURL* handle, CURLoption option, ...) {
  if (!curl().loaded || !handle) return CURLE_BAD_FUNCTION_ARGUMENT;
  va_list args;
  va_start(args, option);
  void* argument = va_arg(args, void*);
  va_end(args);
  return curl().easy_setopt(handle, option, argument);
}

CURLcode curl_easy_getinfo(CURL* handle, CURLINFO info, ...) {
  if (!curl().loaded || !handle) return CURLE_BAD_FUNCTION_ARGUMENT;
  va_list args;
  va_start(args, info);
  void* answer = va_arg(args, void*);
  va_end(args);
  return curl().easy_getinfo(handle, info, answer);
}

void curl_easy_cleanup(CURL* handle) {
  if (curl().loaded) curl().easy_cleanup(handle);
}

const char* curl_easy_strerror(CURLcode code) {
  return curl().loaded ? curl().easy_strerror(code) : "the download library libcurl cannot be loaded";
}

CURLM* curl_multi_init() { return curl().loaded ? curl().multi_init() : nullptr; }

CURLMcode curl_multi_add_handle(CURLM* multi, CURL* handle) {
  return curl().loaded ? curl().multi_add_handle(multi, handle) : CURLM_BAD_HANDLE;
}

CURLMcode curl_multi_remove_handle(CURLM* multi, CURL* handle) {
  return curl().loaded ? curl().multi_remove_handle(multi, handle) : CURLM_BAD_HANDLE;
}

CURLMcode curl_multi_perform(CURLM* multi, int* running) {
  return curl().loaded ? curl().multi_perform(multi, running) : CURLM_BAD_HANDLE;
}

CURLMsg* curl_multi_info_read(CURLM* multi, int* left) {
  return curl().loaded ? curl().multi_info_read(multi, left) : nullptr;
}

CURLMcode curl_multi_poll(CURLM* multi, curl_waitfd extra[], unsigned int count, int timeoutMs, int* ready) {
  return curl().loaded ? curl().multi_poll(multi, extra, count, timeoutMs, ready) : CURLM_BAD_HANDLE;
}

CURLMcode curl_multi_cleanup(CURLM* multi) { return curl().loaded ? curl().multi_cleanup(multi) : CURLM_BAD_HANDLE; }

curl_slist* curl_slist_append(curl_slist* list, const char* text) {
  return curl().loaded ? curl().slist_append(list, text) : nullptr;
}

void curl_slist_free_all(curl_slist* list) {
  if (curl().loaded) curl().slist_free_all(list);
}
