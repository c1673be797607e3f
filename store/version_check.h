#pragma once
// Asks the maker's web site for the newest version number and tells the user how this one
// compares, offering the download page when a newer one exists.
#include <string>
#include <vector>

class IPlatformDialogs;

constexpr const char* kMakerHost = "www.vellsound.com";
constexpr const char* kVersionCheckBaseUrl = "https://www.vellsound.com";
constexpr const char* kVersionQuery = "/music/version/?file=varnel";
constexpr const char* kDownloadPageUrl = "http://www.vellsound.com/music/vst.html";
constexpr const char* kVersionCheckCaption = "Check Online for Update";
constexpr int kNewerVersionFrom = 1103; // this is 1.1.2

enum VersionCheckResult {
  kVersionCheckDone = 0,
  kVersionCheckEmpty = -1,
  kVersionCheckInvalid = -3,
  kVersionCheckReadError = -5,
};

// What the user is shown, in order; a question offers the download page.
struct VersionCheckStep {
  bool question = false;
  std::string text;
  std::string caption;
};

struct VersionCheckPlan {
  int result = kVersionCheckDone;
  std::vector<VersionCheckStep> steps;
};

// The answer as received: `readError` when the transfer broke off after `body`.
VersionCheckPlan PlanVersionCheck(const std::string& body, bool readError);

// Fetches `baseUrl` + the version query, shows the outcome and opens the download page when the
// user asks for it. Never waits longer than the time-out (a few seconds).
int CheckVersionAgainstWeb(IPlatformDialogs& dialogs,
                           const std::string& baseUrl = kVersionCheckBaseUrl,
                           long timeoutMs = 5000);
