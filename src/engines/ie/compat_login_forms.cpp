#include "engines/ie/compat_login_forms.h"

#include <QWidget>

#include "engines/webkitgtk/web_browser_control.h"
#include "shell/pages/i_tab_body.h"
#include "shell/pages/login_form_events.h"
#include "shell/pages/login_form_script.h"

namespace tarvo {

namespace {
// The script world of the browser's own in which the log-in form script runs.
const QString kWorld = QStringLiteral("tarvo-logins");
}  // namespace

std::unique_ptr<CompatLoginForms> CompatLoginForms::Make(ie::WebBrowserControl& control, bool privatePage,
                                                         ITabBody& body, LoginFormEvents& events) {
  if (privatePage) return nullptr;
  return std::unique_ptr<CompatLoginForms>(new CompatLoginForms(control, body, events));
}

CompatLoginForms::CompatLoginForms(ie::WebBrowserControl& control, ITabBody& body, LoginFormEvents& events)
    : control_(control), body_(body), events_(events) {
  control_.AddPageScript(kWorld, QLatin1String(LoginFormScript::kReportFunction), LoginFormScript::Source(),
                         [this](const WString& message) {
                           if (Page* page = body_.GetOwner()) {
                             events_.Receive(*page, *this, QString::fromStdU16String(message),
                                             QString::fromStdU16String(control_.LocationURL()));
                           }
                         });
}

CompatLoginForms::~CompatLoginForms() { events_.Gone(*this); }

void CompatLoginForms::Fill(int formId, const WString& frameOrigin, const WString& username,
                            const WString& password) {
  control_.RunScriptInWorld(kWorld, LoginFormScript::FillCall(formId, frameOrigin, username, password).toStdU16String(),
                            nullptr);
}

QRect CompatLoginForms::ScreenRect(const QRect& pageRect) const {
  QWidget* view = control_.Window();
  return view != nullptr ? PageRectOnScreen(*view, pageRect, control_.ZoomFactor()) : QRect();
}

}  // namespace tarvo
