#pragma once
// A bounded HTTP(S) GET: never waits longer than its time-outs, never keeps more than a limit.
#include <cstddef>
#include <string>

struct HttpOptions {
  long connectTimeoutMs = 3000;
  long totalTimeoutMs = 5000;
  size_t maxBodyBytes = 65536;
  std::string userAgent;
};

struct HttpResponse {
  bool completed = false; // the whole body arrived
  long status = 0;        // HTTP status, 0 when none was received
  std::string body;       // what arrived, also when the transfer broke off
  std::string error;      // why it did not complete
};

// Only http and https addresses are fetched, redirects included.
HttpResponse HttpGet(const std::string& url, const HttpOptions& options = HttpOptions());
