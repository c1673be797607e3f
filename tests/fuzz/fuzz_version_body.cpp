// Version-check answers: any body gives one of the known results and at least one message.
#include "store/version_check.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const bool readError = size > 0 && (data[0] & 1);
  const std::string body(reinterpret_cast<const char*>(data), size);
  const VersionCheckPlan plan = PlanVersionCheck(body, readError);
  if (plan.steps.empty() || plan.steps.size() > 2) std::abort();
  if (plan.result != 0 && plan.result != -1 && plan.result != -3 && plan.result != -5) std::abort();
  for (const VersionCheckStep& step : plan.steps)
    if (step.text.empty() || step.caption.empty()) std::abort();
  return 0;
}
