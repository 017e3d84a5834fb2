#include "engines/webkitgtk/webkit_profile.h"

#include <QDir>
#include <QFile>
#include <QTimer>
#include <QUrl>

#include "engines/webkitgtk/webkit_download_job.h"
#include "engines/webkitgtk/webkit_engine.h"
#include "shell/pages/typed_into_script.h"
#include "engines/webkitgtk/gtk_headers.h"

namespace tarvo::ie {

namespace {

// What a page leaves is its user's alone.
void MakePrivateFolder(const QString& folder) {
  if (folder.isEmpty()) return;
  QDir().mkpath(folder);
  QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

WebKitWebContext* NewContext(const CompatProfileOptions& options) {
  if (options.dataFolder.isEmpty()) return webkit_web_context_new_ephemeral();
  MakePrivateFolder(options.dataFolder);
  MakePrivateFolder(options.cacheFolder);
  const QByteArray data = options.dataFolder.toUtf8();
  const QByteArray cache = options.cacheFolder.isEmpty() ? data : options.cacheFolder.toUtf8();
  WebKitWebsiteDataManager* manager = webkit_website_data_manager_new(
      "base-data-directory", data.constData(), "base-cache-directory", cache.constData(), nullptr);
  // Cookies survive a restart, in the profile's own file.
  const QByteArray cookies = QDir(options.dataFolder).filePath(QStringLiteral("cookies.sqlite")).toUtf8();
  webkit_cookie_manager_set_persistent_storage(webkit_website_data_manager_get_cookie_manager(manager),
                                               cookies.constData(), WEBKIT_COOKIE_PERSISTENT_STORAGE_SQLITE);
  WebKitWebContext* context = webkit_web_context_new_with_website_data_manager(manager);
  g_object_unref(manager);
  return context;
}

WebKitWebsiteDataTypes TypesOf(unsigned kinds) {
  unsigned types = 0;
  if (kinds & kCompatCookies) types |= WEBKIT_WEBSITE_DATA_COOKIES;
  if (kinds & kCompatCache) {
    types |= WEBKIT_WEBSITE_DATA_MEMORY_CACHE | WEBKIT_WEBSITE_DATA_DISK_CACHE |
             WEBKIT_WEBSITE_DATA_OFFLINE_APPLICATION_CACHE | WEBKIT_WEBSITE_DATA_DOM_CACHE |
             WEBKIT_WEBSITE_DATA_HSTS_CACHE;
  }
  if (kinds & kCompatSiteStorage) {
    types |= WEBKIT_WEBSITE_DATA_SESSION_STORAGE | WEBKIT_WEBSITE_DATA_LOCAL_STORAGE |
             WEBKIT_WEBSITE_DATA_WEBSQL_DATABASES | WEBKIT_WEBSITE_DATA_INDEXEDDB_DATABASES |
             WEBKIT_WEBSITE_DATA_SERVICE_WORKER_REGISTRATIONS | WEBKIT_WEBSITE_DATA_DEVICE_ID_HASH_SALT |
             WEBKIT_WEBSITE_DATA_ITP;
  }
  return static_cast<WebKitWebsiteDataTypes>(types);
}

struct Clearing {
  std::function<void(bool ok)> done;
};

void ClearingFinished(GObject* manager, GAsyncResult* result, gpointer data) {
  std::unique_ptr<Clearing> clearing(static_cast<Clearing*>(data));
  GError* error = nullptr;
  const bool ok = webkit_website_data_manager_clear_finish(WEBKIT_WEBSITE_DATA_MANAGER(manager), result, &error);
  if (error != nullptr) g_error_free(error);
  if (clearing->done) clearing->done(ok);
}

}  // namespace

WebKitProfile::WebKitProfile(WebKitEngine& engine, const CompatProfileOptions& options)
    : engine_(engine), private_(options.dataFolder.isEmpty()), context_(NewContext(options)) {
  // Before the first view: every web process of the context starts in the sandbox.
  webkit_web_context_set_sandbox_enabled(context_, TRUE);
  WebKitWebsiteDataManager* manager = webkit_web_context_get_website_data_manager(context_);
  // Log-ins the user lets the engine remember stay out of the desktop's keyring: the
  // browser keeps saved passwords itself.
  webkit_website_data_manager_set_persistent_credential_storage_enabled(manager, FALSE);
  ApplyLanguages();
  g_signal_connect(context_, "download-started", G_CALLBACK(&WebKitProfile::OnDownloadStarted), this);

  settings_ = webkit_settings_new();
  g_object_set(settings_, "javascript-can-open-windows-automatically", TRUE, "enable-developer-extras", FALSE,
               "allow-file-access-from-file-urls", FALSE, "allow-universal-access-from-file-urls", FALSE,
               "enable-dns-prefetching", FALSE, "print-backgrounds", TRUE, nullptr);

  // The probe that tells a page typed into needs to see input from the document's start.
  const QByteArray watch = QString::fromUtf16(TypedIntoScript::kWatch).toUtf8();
  typedInto_ = webkit_user_script_new(watch.constData(), WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                                      WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr, nullptr);
}

WebKitUserContentManager* WebKitProfile::NewContentManager() const {
  WebKitUserContentManager* content = webkit_user_content_manager_new();
  webkit_user_content_manager_add_script(content, typedInto_);
  return content;
}

WebKitProfile::~WebKitProfile() {
  engine_.Forget(this);
  g_signal_handlers_disconnect_by_data(context_, this);
  webkit_user_script_unref(typedInto_);
  g_object_unref(settings_);
  g_object_unref(context_);
}

void WebKitProfile::ApplyLanguages() {
  const QStringList languages = engine_.PreferredLanguages();
  if (languages.isEmpty() || languages == languages_) return;
  languages_ = languages;
  std::vector<QByteArray> bytes;
  std::vector<const gchar*> list;
  for (const QString& language : languages) bytes.push_back(language.toUtf8());
  for (const QByteArray& language : bytes) list.push_back(language.constData());
  list.push_back(nullptr);
  webkit_web_context_set_preferred_languages(context_, list.data());
}

bool WebKitProfile::AcceptCertificate(const QString& uri, GTlsCertificate* certificate) {
  const QUrl url(uri);
  if (certificate == nullptr || url.host().isEmpty() || !engine_.AcceptsCertificateError(url)) return false;
  webkit_web_context_allow_tls_certificate_for_host(context_, certificate, url.host().toUtf8().constData());
  return true;
}

void WebKitProfile::Clear(unsigned kinds, std::function<void(bool ok)> done) {
  const WebKitWebsiteDataTypes types = TypesOf(kinds);
  if (types == 0) {
    QTimer::singleShot(0, [done = std::move(done)] {
      if (done) done(true);
    });
    return;
  }
  webkit_website_data_manager_clear(webkit_web_context_get_website_data_manager(context_), types, 0, nullptr,
                                    &ClearingFinished, new Clearing{std::move(done)});
}

void WebKitProfile::OnDownloadStarted(WebKitWebContext*, WebKitDownload* download, WebKitProfile* profile) {
  // The job answers the engine's questions and deletes itself when the download ends.
  new WebKitDownloadJob(download, profile->engine_.DownloadListener(), profile->private_);
}

}  // namespace tarvo::ie
