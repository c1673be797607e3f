#include "framework/platform/http_client.h"

#include <curl/curl.h>
#include <mutex>

namespace {

struct Sink {
  std::string* body;
  size_t limit;
};

size_t Append(char* data, size_t size, size_t count, void* user) {
  Sink* sink = static_cast<Sink*>(user);
  const size_t n = size * count;
  if (sink->body->size() + n > sink->limit) return 0; // makes curl stop with a write error
  sink->body->append(data, n);
  return n;
}

bool GlobalInit() {
  static std::once_flag once;
  static bool ok = false;
  std::call_once(once, [] { ok = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
  return ok;
}

} // namespace

HttpResponse HttpGet(const std::string& url, const HttpOptions& options) {
  HttpResponse response;
  if (!GlobalInit()) {
    response.error = "HTTP client unavailable";
    return response;
  }
  CURL* curl = curl_easy_init();
  if (!curl) {
    response.error = "HTTP client unavailable";
    return response;
  }
  char errorText[CURL_ERROR_SIZE] = {};
  Sink sink{&response.body, options.maxBodyBytes};
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L); // no SIGALRM inside a host's threads
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, options.connectTimeoutMs);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, options.totalTimeoutMs);
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 3L);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Append);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
  if (!options.userAgent.empty())
    curl_easy_setopt(curl, CURLOPT_USERAGENT, options.userAgent.c_str());

  const CURLcode code = curl_easy_perform(curl);
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &response.status);
  curl_easy_cleanup(curl);
  if (code == CURLE_OK) {
    response.completed = true;
  } else {
    response.error = errorText[0] ? errorText : curl_easy_strerror(code);
  }
  return response;
}
