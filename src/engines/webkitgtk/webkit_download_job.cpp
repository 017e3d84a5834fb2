#include "engines/webkitgtk/webkit_download_job.h"

#include "engines/webkitgtk/gtk_headers.h"

namespace tarvo::ie {

const char* const WebKitDownloadJob::kPageWindowKey = "tarvo-page-window";

WebKitDownloadJob::WebKitDownloadJob(WebKitDownload* download, CompatDownloadListener* listener, bool privateProfile)
    : download_(WEBKIT_DOWNLOAD(g_object_ref(download))), listener_(listener), private_(privateProfile) {
  url_ = QString::fromUtf8(webkit_uri_request_get_uri(webkit_download_get_request(download_)));
  if (WebKitWebView* view = webkit_download_get_web_view(download_)) {
    pageWindow_ = static_cast<QWidget*>(g_object_get_data(G_OBJECT(view), kPageWindowKey));
  }
  g_signal_connect(download_, "decide-destination", G_CALLBACK(&WebKitDownloadJob::OnDecideDestination), this);
  g_signal_connect(download_, "received-data", G_CALLBACK(&WebKitDownloadJob::OnReceivedData), this);
  g_signal_connect(download_, "failed", G_CALLBACK(&WebKitDownloadJob::OnFailed), this);
  g_signal_connect(download_, "finished", G_CALLBACK(&WebKitDownloadJob::OnFinished), this);
}

WebKitDownloadJob::~WebKitDownloadJob() {
  g_signal_handlers_disconnect_by_data(download_, this);
  g_object_unref(download_);
}

void WebKitDownloadJob::Cancel() { webkit_download_cancel(download_); }

int WebKitDownloadJob::OnDecideDestination(WebKitDownload* download, const char* suggested, WebKitDownloadJob* job) {
  const QString path = job->listener_ != nullptr
                           ? job->listener_->Begin(*job, QString::fromUtf8(suggested), job->private_)
                           : QString();
  if (path.isEmpty()) {
    // Refused: the engine stops and writes nothing; "failed" (cancelled) follows.
    webkit_download_cancel(download);
    return TRUE;
  }
  job->begun_ = true;
  // The user has already agreed to replace an existing file in the save dialog.
  webkit_download_set_allow_overwrite(download, TRUE);
  gchar* uri = g_filename_to_uri(path.toUtf8().constData(), nullptr, nullptr);
  webkit_download_set_destination(download, uri);
  g_free(uri);
  return TRUE;
}

void WebKitDownloadJob::OnReceivedData(WebKitDownload* download, unsigned long long, WebKitDownloadJob* job) {
  if (!job->begun_ || job->listener_ == nullptr) return;
  WebKitURIResponse* response = webkit_download_get_response(download);
  const guint64 total = response != nullptr ? webkit_uri_response_get_content_length(response) : 0;
  job->listener_->Progress(*job, static_cast<int64_t>(webkit_download_get_received_data_length(download)),
                           static_cast<int64_t>(total));
}

void WebKitDownloadJob::OnFailed(WebKitDownload*, GError*, WebKitDownloadJob* job) { job->failed_ = true; }

void WebKitDownloadJob::OnFinished(WebKitDownload*, WebKitDownloadJob* job) { job->End(!job->failed_); }

void WebKitDownloadJob::End(bool complete) {
  if (begun_ && listener_ != nullptr) listener_->Finished(*this, complete);
  delete this;
}

}  // namespace tarvo::ie
