#include "store/version_check.h"

#include "framework/platform/scripted_dialogs.h"
#include "tests/unit/platform/loopback_http_server.h"
#include "tests/unit/platform/temp_environment.h"

namespace {

using Kind = ScriptedDialogs::Kind;

const std::string kErrorText = "An error occurred while contacting www.vellsound.com.";
const std::string kInvalidText = "Invalid call to www.vellsound.com.";
const std::string kUpToDate = "Your version is up to date.";

std::string QuestionFor(const std::string& version) {
  return "A new version of Varnel is available.\n\n\tYour version: \t1.1.2\n\tNew version: \t" +
         version + "\n\nDo you want to go to www.vellsound.com to get the new version?";
}

TEST(VersionBody, Rules) {
  struct Case {
    std::string body;
    bool readError;
    int result;
    std::vector<std::string> texts; // a question is given by its version text
  } cases[] = {
      {"", false, -1, {kErrorText}},
      {"", true, -1, {kErrorText}},
      {"1102", false, 0, {kUpToDate}},
      {"0", false, 0, {kUpToDate}},
      {"1103", false, 0, {QuestionFor("1.1.3")}},
      {"1112", false, 0, {QuestionFor("1.1.12")}},
      {"2000", false, 0, {QuestionFor("2.0.0")}},
      {"1103\n", false, 0, {QuestionFor("1.1.3\n")}},
      {"1103 and more", false, 0, {QuestionFor("1.1.3 and more")}},
      {"99999999999999999999999", false, 0, {QuestionFor("9.9.999999999999999999999")}},
      {"<html><body>404</body></html>", false, -3, {kInvalidText}},
      {"1103<br>", true, -3, {kInvalidText}},
      {"garbage", false, -3, {kInvalidText}},
      {std::string("\x00\x01\xff", 3), false, -3, {kInvalidText}},
      {"1102", true, -5, {kUpToDate, kErrorText}},
      {"1200", true, -5, {QuestionFor("1.2.0"), kErrorText}},
  };
  for (const Case& c : cases) {
    const VersionCheckPlan plan = PlanVersionCheck(c.body, c.readError);
    EXPECT_EQ(plan.result, c.result) << c.body;
    ASSERT_EQ(plan.steps.size(), c.texts.size()) << c.body;
    for (size_t i = 0; i < c.texts.size(); ++i) {
      EXPECT_EQ(plan.steps[i].text, c.texts[i]) << c.body;
      const bool question = c.texts[i].rfind("A new version", 0) == 0;
      EXPECT_EQ(plan.steps[i].question, question);
      EXPECT_EQ(plan.steps[i].caption,
                question ? "New Version of Varnel Detected" : "Check Online for Update");
    }
  }
}

class VersionCheckTest : public TempEnvironmentTest {};

TEST_F(VersionCheckTest, NewerVersionOffersTheDownloadPage) {
  LoopbackHttpServer server({LoopbackHttpServer::Response(200, "1103"), 0, false});
  ScriptedDialogs dialogs;
  dialogs.QueueAnswer(true);
  EXPECT_EQ(CheckVersionAgainstWeb(dialogs, server.BaseUrl(), 2000), 0);
  EXPECT_EQ(server.RequestLine(), "GET /music/version/?file=varnel HTTP/1.1");
  ASSERT_EQ(dialogs.Calls().size(), 2u);
  EXPECT_EQ(dialogs.Calls()[0].kind, Kind::YesNo);
  EXPECT_EQ(dialogs.Calls()[0].text, QuestionFor("1.1.3"));
  EXPECT_EQ(dialogs.Calls()[1].kind, Kind::Url);
  EXPECT_EQ(dialogs.Calls()[1].text, "http://www.vellsound.com/music/vst.html");

  ScriptedDialogs declining;
  declining.QueueAnswer(false);
  EXPECT_EQ(CheckVersionAgainstWeb(declining, server.BaseUrl(), 2000), 0);
  EXPECT_TRUE(declining.CallsOf(Kind::Url).empty());
}

TEST_F(VersionCheckTest, EveryServerFailureEndsInAMessage) {
  struct Case {
    std::string raw;
    int delayMs;
    bool silent;
    int result;
    std::vector<std::string> messages;
  };
  const std::vector<Case> cases = {
      {LoopbackHttpServer::Response(200, "1102"), 0, false, 0, {kUpToDate}},
      {LoopbackHttpServer::Response(200, "<html>oops</html>", "text/html"),
       0,
       false,
       -3,
       {kInvalidText}},
      {LoopbackHttpServer::Response(200, ""), 0, false, -1, {kErrorText}},
      {LoopbackHttpServer::Response(404, "1999"), 0, false, -1, {kErrorText}},
      {LoopbackHttpServer::Response(200, "1103"), 3000, false, -1, {kErrorText}}, // too slow
      {"", 0, true, -1, {kErrorText}},                                            // nothing
      {"\x7f\x45garbage\r\n\r\nxx", 0, false, -1, {kErrorText}},
      {"HTTP/1.1 200 OK\r\nContent-Length: 50\r\n\r\n1102", 0, false, -5, {kUpToDate, kErrorText}},
  };
  for (const Case& c : cases) {
    LoopbackHttpServer server({c.raw, c.delayMs, c.silent});
    ScriptedDialogs dialogs;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(CheckVersionAgainstWeb(dialogs, server.BaseUrl(), 400), c.result) << c.raw;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2500));
    const auto shown = dialogs.CallsOf(Kind::Message);
    ASSERT_EQ(shown.size(), c.messages.size()) << c.raw;
    for (size_t i = 0; i < shown.size(); ++i) {
      EXPECT_EQ(shown[i].text, c.messages[i]);
      EXPECT_EQ(shown[i].caption, "Check Online for Update");
    }
    EXPECT_TRUE(dialogs.CallsOf(Kind::Url).empty());
  }
}

} // namespace
