// Toolkit speed: building the main window from the package, building 1,000 list rows
// from attribute strings, and repainting the filled main window.
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include "ui/box_layout_ui.h"
#include "ui/button_ui.h"
#include "ui/dialog_builder.h"
#include "ui/edit_ui.h"
#include "ui/label_ui.h"
#include "ui/list_ui.h"
#include "ui/menu_element_ui.h"
#include "ui/native_host_ui.h"
#include "ui/option_ui.h"
#include "ui/resource_manager.h"
#include "ui/window_impl_base.h"

namespace {

using namespace DuiLib;

class MainWindowStandIn : public WindowImplBase {
 public:
  std::unique_ptr<CControlUI> CreateControl(const QString& tag) override {
    const auto is = [&](const char* name) { return tag.compare(QLatin1String(name), Qt::CaseInsensitive) == 0; };
    if (is("AddressEdit")) return std::make_unique<CEditUI>();
    if (is("FavorBar")) return std::make_unique<CHorizontalLayoutUI>();
    if (is("BodyBar")) return std::make_unique<CNativeHostUI>();
    if (is("RightClickButton")) return std::make_unique<CButtonUI>();
    return nullptr;
  }

 protected:
  QString GetWindowClassName() const override { return QStringLiteral("KXMainFrm"); }
  QString GetSkinFile() override { return QStringLiteral("newmainwnd.xml"); }
};

int CountControls(CControlUI* root) {
  int count = 0;
  if (root != nullptr) root->FindControl([&](CControlUI*) { return ++count, false; });
  return count;
}

// Tabs and favourites-bar buttons as the browser adds them: a full window.
void FillMainWindow(CPaintManagerUI& pm, int tabs, int bookmarks) {
  auto* strip = static_cast<CContainerUI*>(pm.FindControl("browser_tabhead")->GetInterface("Container"));
  for (int i = 0; i < tabs; ++i) {
    auto tab = std::make_unique<CHorizontalLayoutUI>();
    tab->ApplyAttributeList(R"(name="Tab" maxwidth="240")");
    auto option = std::make_unique<COptionUI>();
    option->ApplyAttributeList(
        R"(name="TabOption" tooltip="" normalimage="file='Tabbar\normal_bg.png'" selectedimage="file='Tabbar\selected_bg.png'" hotimage="Tabbar\hot_bg.png" group="tabGroup" padding="0,0,0,4")");
    auto icon = std::make_unique<COptionUI>();
    icon->ApplyAttributeList(
        R"(name="TabIcon" group="tabiconGroup" mouse="false" float="true" pos="5,5,0,0" width="16" height="16" normalimage="file='Tabbar\favicon_tab.png'" selectedimage="file='Tabbar\favicon_selectedtab.png'")");
    auto label = std::make_unique<COptionUI>();
    label->ApplyAttributeList(
        R"(name="TabLabel" group="tablblGroup" mouse="false" float="true" pos="30,0,0,0" width="210" height="20" align="left" font="4" selectedtextcolor="#FFFFFFFF" textcolor="#FF606060")");
    label->SetText(QStringLiteral("Page %1").arg(i));
    auto close = std::make_unique<COptionUI>();
    close->ApplyAttributeList(
        R"(name="TabClose" group="tabcloseGroup" float="true" pos="96, 6, 0, 0" width="16" height="16" normalimage="file='Tabbar\tab_close.png'" hotimage="file='Tabbar\tab_close_hover.png'" selectedimage="file='Tabbar\selectedtab_close.png'")");
    tab->Add(std::move(option));
    tab->Add(std::move(icon));
    tab->Add(std::move(label));
    tab->Add(std::move(close));
    strip->AddAt(std::move(tab), strip->GetCount() - 1);
  }
  auto* bar = static_cast<CContainerUI*>(pm.FindControl("favor_bar")->GetInterface("Container"));
  for (int i = 0; i < bookmarks; ++i) {
    auto button = std::make_unique<CButtonUI>();
    button->ApplyAttributeList(
        R"(name="favor_item_btn" align="left" hotimage="file='Toolbar\favorbar_item_hover.png'" padding="0,2,0,2")");
    auto icon = std::make_unique<CLabelUI>();
    icon->ApplyAttributeList(R"( pos="2,2,0,0" width="16" height="16" bkimage="file='Tabbar\favicon_newtab.png'")");
    icon->ApplyAttributeList(R"(float="true" mouse="false")");
    auto text = std::make_unique<CLabelUI>();
    text->ApplyAttributeList(QString(R"(float="true" mouse="false" pos="28,0,0,0" width="%1" height="31")").arg(60));
    text->SetText(QStringLiteral("Site %1").arg(i));
    button->SetFixedWidth(93);
    button->SetText(QString());
    // The bar's buttons hold their icon and text as floating children in the browser;
    // here they sit beside the button, which costs the same to lay out and paint.
    bar->Add(std::move(button));
    bar->Add(std::move(icon));
    bar->Add(std::move(text));
  }
}

void BM_BuildMainWindowSkin(benchmark::State& state) {
  int controls = 0;
  for (auto _ : state) {
    MainWindowStandIn window;
    CPaintManagerUI pm;
    CDialogBuilder builder;
    auto root = builder.Create("newmainwnd.xml", &window, &pm);
    controls = CountControls(root.get());
    benchmark::DoNotOptimize(root);
  }
  state.counters["controls"] = controls;
}
BENCHMARK(BM_BuildMainWindowSkin)->Unit(benchmark::kMillisecond);

void BM_BuildFilledMainWindow(benchmark::State& state) {
  int controls = 0;
  for (auto _ : state) {
    MainWindowStandIn window;
    window.Create(0, "bench", 0, 0, 0, 0, 1200, 760);
    FillMainWindow(window.GetPaintManager(), 40, 40);
    window.GetPaintManager().UpdateLayout();
    controls = CountControls(window.GetPaintManager().GetRoot());
  }
  state.counters["controls"] = controls;
}
BENCHMARK(BM_BuildFilledMainWindow)->Unit(benchmark::kMillisecond);

void BM_Build1000ListRows(benchmark::State& state) {
  for (auto _ : state) {
    CListUI list;
    for (int i = 0; i < 1000; ++i) {
      auto item = std::make_unique<CMenuElementUI>();
      item->ApplyAttributeList(QString(R"(command="%1" height="30" padding="4,0,4,0")").arg(i));
      auto row = std::make_unique<CHorizontalLayoutUI>();
      auto icon = std::make_unique<CLabelUI>();
      icon->ApplyAttributeList(
          R"(mouse="false" padding="4,9,4,9" width="16" height="12" bkimage="file='Toolbar\bookmark_folder.png'")");
      auto text = std::make_unique<CLabelUI>();
      text->ApplyAttributeList(QString(R"(mouse="false" width="240" text="%1")").arg(QStringLiteral("Bookmark %1").arg(i)));
      row->Add(std::move(icon));
      row->Add(std::move(text));
      item->Add(std::move(row));
      list.Add(std::move(item));
    }
    list.SetPos(QRect(0, 0, 360, 600));
    benchmark::DoNotOptimize(list.GetCount());
  }
}
BENCHMARK(BM_Build1000ListRows)->Unit(benchmark::kMillisecond);

void BM_RepaintMainWindow(benchmark::State& state) {
  MainWindowStandIn window;
  window.Create(0, "bench", 0, 0, 0, 0, 1200, 760);
  FillMainWindow(window.GetPaintManager(), 12, 20);
  QImage canvas(1200, 760, QImage::Format_ARGB32_Premultiplied);
  {
    QPainter warm(&canvas);
    window.GetPaintManager().Paint(warm, canvas.rect());  // decodes and caches the images
  }
  for (auto _ : state) {
    QPainter painter(&canvas);
    window.GetPaintManager().Paint(painter, canvas.rect());
  }
  state.counters["controls"] = CountControls(window.GetPaintManager().GetRoot());
}
BENCHMARK(BM_RepaintMainWindow)->Unit(benchmark::kMillisecond);

}  // namespace
