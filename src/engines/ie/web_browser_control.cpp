#include "engines/ie/web_browser_control.h"

#include <QPrinter>
#include <QUrl>
#include <QWebFrame>
#include <QWebSettings>
#include <QWebView>

#include "engines/ie/compat_network.h"
#include "engines/ie/compat_page.h"
#include "engines/ie/key_event_filter.h"

namespace tarvo::ie {

WebBrowserControl::WebBrowserControl(QWidget* parent, CompatNetwork& network)
    : view_(new QWebView(parent)), key_filter_(new KeyEventFilter(this)) {
  page_ = new CompatPage(this, view_);
  page_->setNetworkAccessManager(network.manager());
  page_->settings()->setAttribute(QWebSettings::JavascriptCanOpenWindows, true);
  page_->settings()->setAttribute(QWebSettings::PrivateBrowsingEnabled, network.is_private());
  view_->setPage(page_);
  view_->setContentsMargins(0, 0, 0, 0);
  view_->installEventFilter(key_filter_);
  if (parent != nullptr) {
    view_->resize(parent->size());
  }
  // Like the control's window, the view is visible from the start.
  view_->show();
}

WebBrowserControl::~WebBrowserControl() {
  events_ = nullptr;
  delete view_.data();
}

void WebBrowserControl::SetAcceleratorTranslator(AcceleratorTranslator* translator) {
  key_filter_->SetTranslator(translator);
}

int WebBrowserControl::Navigate(const WString& url) {
  if (view_.isNull()) {
    return -1;
  }
  page_->mainFrame()->load(QUrl(QString::fromStdU16String(url)));
  return 0;
}

int WebBrowserControl::Refresh() {
  if (view_.isNull()) {
    return -1;
  }
  page_->triggerAction(QWebPage::Reload);
  return 0;
}

int WebBrowserControl::Stop() {
  if (view_.isNull()) {
    return -1;
  }
  page_->triggerAction(QWebPage::Stop);
  return 0;
}

void WebBrowserControl::Show(bool visible) {
  if (!view_.isNull()) {
    view_->setVisible(visible);
  }
}

void WebBrowserControl::SetZoomFactor(double factor) {
  if (!view_.isNull()) {
    view_->setZoomFactor(factor);
  }
}

double WebBrowserControl::ZoomFactor() const { return view_.isNull() ? 1.0 : view_->zoomFactor(); }

bool WebBrowserControl::Find(const WString& text, bool backward) {
  if (view_.isNull() || text.empty()) {
    return false;
  }
  QWebPage::FindFlags flags = QWebPage::FindWrapsAroundDocument;
  if (backward) {
    flags |= QWebPage::FindBackward;
  }
  return page_->findText(QString::fromStdU16String(text), flags);
}

WString WebBrowserControl::DocumentSource() const {
  return view_.isNull() ? WString() : page_->mainFrame()->toHtml().toStdU16String();
}

bool WebBrowserControl::Print(QPrinter* printer) {
  if (view_.isNull() || printer == nullptr) {
    return false;
  }
  page_->mainFrame()->print(printer);
  return true;
}

QWidget* WebBrowserControl::Window() const { return view_.data(); }

WString WebBrowserControl::LocationURL() const {
  return view_.isNull() ? WString() : page_->mainFrame()->url().toString().toStdU16String();
}

WString WebBrowserControl::LocationName() const {
  return view_.isNull() ? WString() : page_->mainFrame()->title().toStdU16String();
}

QWebPage* WebBrowserControl::page() const { return view_.isNull() ? nullptr : page_; }

}  // namespace tarvo::ie
