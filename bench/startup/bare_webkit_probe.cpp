// Start-up probe: a bare WebKitGTK program loading the same page (a GTK window with
// one web view per tab, no Qt), the yardstick for the compatibility layer.
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct Probe {
  std::chrono::steady_clock::time_point start;
  int tabs = 1;
  int loaded = 0;
};

void OnLoadChanged(WebKitWebView*, WebKitLoadEvent event, gpointer data) {
  auto* probe = static_cast<Probe*>(data);
  if (event != WEBKIT_LOAD_FINISHED || ++probe->loaded != probe->tabs) return;
  const auto elapsed =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - probe->start);
  std::printf("loaded %lld\n", static_cast<long long>(elapsed.count()));
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  Probe probe{std::chrono::steady_clock::now()};
  if (argc < 4 || (probe.tabs = std::atoi(argv[2])) <= 0) {
    std::fprintf(stderr, "usage: %s <url> <tabs> <profile folder>\n", argv[0]);
    return 2;
  }
  gtk_init(&argc, &argv);
  const std::string data = std::string(argv[3]) + "/Compat";
  const std::string cache = std::string(argv[3]) + "/Cache/Compat";
  WebKitWebsiteDataManager* manager = webkit_website_data_manager_new(
      "base-data-directory", data.c_str(), "base-cache-directory", cache.c_str(), nullptr);
  WebKitWebContext* context = webkit_web_context_new_with_website_data_manager(manager);
  webkit_web_context_set_sandbox_enabled(context, TRUE);
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_default_size(GTK_WINDOW(window), 1024, 768);
  GtkWidget* stack = gtk_stack_new();
  gtk_container_add(GTK_CONTAINER(window), stack);
  for (int i = 0; i < probe.tabs; ++i) {
    GtkWidget* view = webkit_web_view_new_with_context(context);
    g_signal_connect(view, "load-changed", G_CALLBACK(OnLoadChanged), &probe);
    gtk_stack_add_named(GTK_STACK(stack), view, std::to_string(i).c_str());
    webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view), argv[1]);
  }
  gtk_widget_show_all(window);
  gtk_main();
  return 0;
}
