// The log-in form script's reports as the browser reads them: only a well-formed
// report from the page's own origin counts, whatever origin a frame claims.
#include <gtest/gtest.h>

#include "shell/pages/login_form_events.h"

namespace tarvo {
namespace {

TEST(LoginFormEventsTest, OnlyWellFormedReportsOfThePagesOwnOriginCount) {
  const QString sent =
      R"({"type":"sent","document":"7","origin":"http://a.test:8080","main":false,"form":3,"forms":1,)"
      R"("visible":true,"field":[10,20,300,40],"username":"bob","password":"p\"w"})";
  LoginFormReport report;
  ASSERT_TRUE(LoginFormEvents::Parse(sent, QStringLiteral("http://A.test:8080/login?x"), report));
  EXPECT_EQ(report.kind, LoginFormReport::Kind::kSent);
  EXPECT_EQ(report.frameOrigin, u"http://a.test:8080");
  EXPECT_FALSE(report.mainFrame);
  EXPECT_EQ(report.formId, 3);
  EXPECT_EQ(report.field, QRect(10, 20, 300, 40));
  EXPECT_EQ(report.password, u"p\"w");

  const struct {
    const char* message;
    const char* pageUrl;
  } refused[] = {
      {R"({"type":"seen","origin":"http://evil.test","form":1})", "http://a.test/"},
      {R"({"type":"seen","origin":"https://a.test","form":1})", "http://a.test/"},
      {R"({"type":"seen","origin":"http://a.test:81","form":1})", "http://a.test/"},
      {R"({"type":"seen","origin":"null","form":1})", "about:blank"},
      {R"({"type":"seen","origin":"file://","form":1})", "file:///tmp/x.html"},
      {R"({"type":"fill","origin":"http://a.test","form":1})", "http://a.test/"},
      {R"({"type":"seen","origin":"http://a.test","form":0})", "http://a.test/"},
      {R"(not json)", "http://a.test/"},
  };
  for (const auto& [message, pageUrl] : refused) {
    EXPECT_FALSE(LoginFormEvents::Parse(QString::fromUtf8(message), QString::fromUtf8(pageUrl), report)) << message;
  }
  EXPECT_TRUE(LoginFormEvents::Parse(QStringLiteral(R"({"type":"focus","origin":"https://a.test:443","form":1})"),
                                     QStringLiteral("https://a.test/"), report))
      << "the default port is the same origin";
}

}  // namespace
}  // namespace tarvo
