#include "engines/cef/chromium_login_forms.h"

#include <QFile>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>
#include <QWidget>

#include "shell/pages/i_tab_body.h"
#include "shell/pages/login_form_events.h"
#include "shell/pages/login_form_script.h"

namespace tarvo {

namespace {

constexpr char kScriptName[] = "login-forms";
constexpr char kChannelObject[] = "tarvoLogins";
constexpr int kWorld = QWebEngineScript::ApplicationWorld;

// The web channel's client, then the report function over it. The channel is set
// up with the page's first report (most pages have none to make); reports wait for
// it. An answer the engine delivers after the frame moved on to another page finds
// no one waiting for it there and is dropped; this page's calls are numbered from a
// random start, so such an answer is not taken for one of them.
QString ChannelPrologue() {
  QFile client(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
  if (!client.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(client.readAll()) +
         QStringLiteral(
             "\n(function () {\n"
             "  var waiting = null, target = null;\n"
             "  function connect() {\n"
             "    waiting = [];\n"
             "    var channel = new QWebChannel(qt.webChannelTransport, function (ready) {\n"
             "      target = ready.objects.%2;\n"
             "      for (var i = 0; i < waiting.length; ++i) target.report(waiting[i]);\n"
             "      waiting = [];\n"
             "    });\n"
             "    channel.execId = Math.floor(Math.random() * 1e9) + 1;\n"
             "    channel.handleResponse = function (message) {\n"
             "      var done = channel.execCallbacks[message.id];\n"
             "      if (typeof done !== 'function') return;\n"
             "      delete channel.execCallbacks[message.id];\n"
             "      done(message.data);\n"
             "    };\n"
             "  }\n"
             "  window.%1 = function (text) {\n"
             "    if (target) { target.report(text); return; }\n"
             "    if (!waiting) connect();\n"
             "    waiting.push(text);\n"
             "  };\n"
             "})();\n")
             .arg(QLatin1String(LoginFormScript::kReportFunction), QLatin1String(kChannelObject));
}

}  // namespace

std::unique_ptr<ChromiumLoginForms> ChromiumLoginForms::Make(QWebEnginePage* page, ITabBody& body,
                                                             LoginFormEvents& events) {
  if (page == nullptr || page->profile()->isOffTheRecord()) return nullptr;
  return std::unique_ptr<ChromiumLoginForms>(new ChromiumLoginForms(page, body, events));
}

ChromiumLoginForms::ChromiumLoginForms(QWebEnginePage* page, ITabBody& body, LoginFormEvents& events)
    : page_(page), body_(body), events_(events), channel_(new QWebChannel(this)) {
  const QString prologue = ChannelPrologue();
  if (prologue.isEmpty()) return;
  channel_->registerObject(QLatin1String(kChannelObject), this);
  page->setWebChannel(channel_, kWorld);
  QWebEngineScript script;
  script.setName(QLatin1String(kScriptName));
  script.setSourceCode(prologue + LoginFormScript::Source());
  script.setInjectionPoint(QWebEngineScript::DocumentCreation);
  script.setWorldId(kWorld);
  // Frames of the page's origin are reached from the main frame's script; no other
  // frame has the channel.
  script.setRunsOnSubFrames(false);
  page->scripts().insert(script);
}

ChromiumLoginForms::~ChromiumLoginForms() {
  events_.Gone(*this);
  if (page_.isNull()) return;
  if (page_->webChannel() == channel_) page_->setWebChannel(nullptr, kWorld);
  for (const QWebEngineScript& script : page_->scripts().find(QLatin1String(kScriptName))) {
    page_->scripts().remove(script);
  }
}

void ChromiumLoginForms::report(const QString& message) {
  Page* page = body_.GetOwner();
  if (page == nullptr || page_.isNull()) return;
  events_.Receive(*page, *this, message, page_->url().toString());
}

void ChromiumLoginForms::Fill(int formId, const WString& frameOrigin, const WString& username,
                              const WString& password) {
  if (page_.isNull()) return;
  page_->runJavaScript(LoginFormScript::FillCall(formId, frameOrigin, username, password), kWorld);
}

QRect ChromiumLoginForms::ScreenRect(const QRect& pageRect) const {
  QWidget* view = page_.isNull() ? nullptr : QWebEngineView::forPage(page_.data());
  return view != nullptr ? PageRectOnScreen(*view, pageRect, page_->zoomFactor()) : QRect();
}

}  // namespace tarvo
