#include "store/version_check.h"

#include "framework/platform/http_client.h"
#include "framework/platform/platform_dialogs.h"

#include <climits>

namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The body's leading integer as atoi reads it (saturating); false when there is none.
bool LeadingInteger(const std::string& text, long long& value) {
  size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const size_t digits = i;
  long long n = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    if (n <= (LLONG_MAX - 9) / 10) n = n * 10 + (text[i] - '0');
  value = negative ? -n : n;
  return i > digits;
}

std::string ErrorText() {
  return std::string("An error occurred while contacting ") + kMakerHost + ".";
}

// "1103" -> "1.1.3", "1112" -> "1.1.12", "2000" -> "2.0.0"; the rest of the body is kept as is.
std::string NewVersionText(const std::string& body) {
  std::string text;
  text += body.size() > 0 ? body[0] : '?';
  text += '.';
  if (body.size() > 1) text += body[1];
  text += '.';
  if (body.size() > 2) text += body.substr(body[2] == '0' ? 3 : 2);
  return text;
}

} // namespace

VersionCheckPlan PlanVersionCheck(const std::string& body, bool readError) {
  VersionCheckPlan plan;
  if (body.empty()) {
    plan.result = kVersionCheckEmpty;
    plan.steps.push_back({false, ErrorText(), kVersionCheckCaption});
    return plan;
  }
  long long newest = 0;
  // A page instead of a number, or no number at all, is no answer to the question.
  if (body.find('<') != std::string::npos || !LeadingInteger(body, newest)) {
    plan.result = kVersionCheckInvalid;
    plan.steps.push_back(
        {false, std::string("Invalid call to ") + kMakerHost + ".", kVersionCheckCaption});
    return plan;
  }
  if (newest < kNewerVersionFrom) {
    plan.steps.push_back({false, "Your version is up to date.", kVersionCheckCaption});
  } else {
    const std::string text = std::string("A new version of Varnel is available.\n\n") +
                             "\tYour version: \t1.1.2\n" + "\tNew version: \t" +
                             NewVersionText(body) + "\n" + "\nDo you want to go to " + kMakerHost +
                             " to get the new version?";
    plan.steps.push_back({true, text, "New Version of Varnel Detected"});
  }
  if (readError) {
    plan.result = kVersionCheckReadError;
    plan.steps.push_back({false, ErrorText(), kVersionCheckCaption});
  }
  return plan;
}

int CheckVersionAgainstWeb(IPlatformDialogs& dialogs, const std::string& baseUrl, long timeoutMs) {
  HttpOptions options;
  options.totalTimeoutMs = timeoutMs;
  if (options.connectTimeoutMs > timeoutMs) options.connectTimeoutMs = timeoutMs;
  options.userAgent = "Varnel/1.1.2";
  const HttpResponse response = HttpGet(baseUrl + kVersionQuery, options);
  // An error page of the server (not found, server failure) says nothing about versions.
  const bool statusOk = response.status >= 200 && response.status < 300;
  const VersionCheckPlan plan = statusOk ? PlanVersionCheck(response.body, !response.completed)
                                         : PlanVersionCheck(std::string(), true);
  for (const VersionCheckStep& step : plan.steps) {
    if (!step.question) {
      dialogs.ShowMessage(step.text, step.caption);
    } else if (dialogs.AskYesNo(step.text, step.caption)) {
      dialogs.OpenUrl(kDownloadPageUrl);
    }
  }
  return plan.result;
}
