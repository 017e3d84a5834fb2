// The start page in a real engine: its search box builds the chosen engine's
// address from the parameters the browser gives it, encodes the query, and refuses
// parameters that are not web addresses. Nothing else is loaded.
#include <QApplication>
#include <QDir>
#include <QTest>
#include <QUrlQuery>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <gtest/gtest.h>

namespace tarvo::test {
namespace {

// Records every navigation the page asks for and lets only the start page load.
class RecordingPage : public QWebEnginePage {
 public:
  using QWebEnginePage::QWebEnginePage;
  std::vector<QUrl> requests;

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override {
    if (isMainFrame) requests.push_back(url);
    return url.isLocalFile();
  }
};

class StartPageTest : public ::testing::Test {
 protected:
  void Load(const QString& query) {
    QUrl url = QUrl::fromLocalFile(QDir::current().absoluteFilePath("home.html"));
    url.setQuery(query, QUrl::StrictMode);
    bool loaded = false;
    const auto connection = QObject::connect(&page_, &QWebEnginePage::loadFinished, [&](bool ok) { loaded = ok; });
    page_.load(url);
    const bool finished = QTest::qWaitFor([&] { return loaded; }, 15000);
    QObject::disconnect(connection);
    ASSERT_TRUE(finished) << url.toString().toStdString();
    page_.requests.clear();
  }
  QVariant Run(const QString& script) {
    QVariant result;
    bool done = false;
    page_.runJavaScript(script, [&](const QVariant& value) {
      result = value;
      done = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return done; }, 5000));
    return result;
  }
  void Search(const QString& text) {
    Run(QStringLiteral("document.getElementById('query').value = %1;"
                       "document.getElementById('search').requestSubmit();")
            .arg(QStringLiteral("decodeURIComponent('%1')").arg(QString::fromLatin1(QUrl::toPercentEncoding(text)))));
    QTest::qWait(200);
  }

  RecordingPage page_;
};

TEST_F(StartPageTest, SearchGoesToTheEngineWithTheQueryEncoded) {
  Load("sp=https%3A%2F%2Fwww.sogou.com%2Fweb%3Fquery%3D&ss=%26ie%3Dutf8");
  EXPECT_EQ(Run("getComputedStyle(document.getElementById('search')).display").toString(), "flex");
  Search(QString::fromUtf8("a&b #c é"));
  ASSERT_EQ(page_.requests.size(), 1u);
  EXPECT_EQ(page_.requests[0].toString(QUrl::FullyEncoded),
            "https://www.sogou.com/web?query=a%26b%20%23c%20%C3%A9&ie=utf8");
  Search("   ");
  EXPECT_EQ(page_.requests.size(), 1u);  // a blank search goes nowhere
}

TEST_F(StartPageTest, WithoutAUsableEngineTheSearchBoxHides) {
  for (const QString& query : {QString(), QString("sp=javascript%3Aalert(1)%2F%2F"), QString("sp=file%3A%2F%2F%2Fetc%2F")}) {
    Load(query);
    EXPECT_EQ(Run("getComputedStyle(document.getElementById('search')).display").toString(), "none")
        << query.toStdString();
    EXPECT_EQ(Run("document.getElementById('engine-note').hidden").toBool(), false);
    Search("words");
    EXPECT_TRUE(page_.requests.empty()) << query.toStdString();
  }
}

}  // namespace
}  // namespace tarvo::test

int main(int argc, char** argv) {
  // The engine shares GL contexts with the widgets and can't use its sandbox as root.
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  if (geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "xcb" : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
