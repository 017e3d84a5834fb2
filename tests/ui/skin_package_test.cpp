// Reading windows and images from the skin package, and what happens when the package
// or an entry is missing or damaged.
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

#include <fstream>

#include "support/temp_dir.h"
#include "ui/button_ui.h"
#include "ui/label_ui.h"
#include "ui/resource_manager.h"
#include "ui_test_support.h"

namespace tarvo::test {
namespace {

using DuiLib::CResourceManager;

std::string Png(int w, int h, QColor color) {
  QImage image(w, h, QImage::Format_ARGB32);
  image.fill(color);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes.toStdString();
}

const char* kSimpleSkin = R"(<?xml version="1.0" encoding="utf-8"?>
<Window size="300,200" caption="0,0,0,30">
  <Font id="0" name="DejaVu Sans" size="12" default="true"/>
  <Font id="3" name="DejaVu Sans" size="17" bold="true"/>
  <Default name="Button" value="height=&quot;28&quot; textcolor=&quot;#FF112233&quot;"/>
  <VerticalLayout name="root">
    <Bogus name="unknown"><Button name="inside_unknown"/></Bogus>
    <RightClickButton name="custom"/>
    <Button name="ok" text="OK"/>
    <Label name="title" font="3" text="Title"/>
  </VerticalLayout>
</Window>)";

class SkinPackageTest : public ::testing::Test {
 protected:
  QString Folder() const { return QString::fromStdString(dir_.path().string()); }
  void Package(const std::map<std::string, std::string>& entries) {
    std::filesystem::create_directories(dir_.path() / "skin");
    WriteSkinPackage((dir_.path() / "skin/normal.dat").string(), entries);
  }
  TempDir dir_;
};

TEST_F(SkinPackageTest, BuildsControlsWithDefaultsFontsAndCustomTags) {
  Package({{"simple.xml", kSimpleSkin}});
  ScopedSkin skin(Folder(), "skin/normal.dat");
  QString askedTag;
  TestWindow window("simple.xml", [&](const QString& tag) -> std::unique_ptr<DuiLib::CControlUI> {
    askedTag = tag;
    if (tag.compare(QLatin1String("rightclickbutton"), Qt::CaseInsensitive) == 0) {
      return std::make_unique<DuiLib::CButtonUI>();
    }
    return nullptr;
  });
  ASSERT_NE(window.Create(0, "t", DuiLib::UI_WNDSTYLE_FRAME & ~DuiLib::WS_VISIBLE, 0), 0u);
  EXPECT_TRUE(skin.Errors().empty());
  EXPECT_EQ(window.GetWidget()->size(), QSize(300, 200));
  EXPECT_NE(window.FindControl("custom"), nullptr);
  EXPECT_EQ(window.FindControl("unknown"), nullptr);
  EXPECT_EQ(window.FindControl("inside_unknown"), nullptr);
  auto* ok = window.FindControl<DuiLib::CButtonUI>("ok");
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(ok->GetFixedHeight(), 28);
  EXPECT_EQ(ok->GetTextColor().rgba(), 0xFF112233u);
  auto* title = window.FindControl<DuiLib::CLabelUI>("title");
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(window.GetPaintManager().GetFont(title->GetFont()).pixelSize(), 17);
  EXPECT_TRUE(window.GetPaintManager().GetFont(3).bold());
  EXPECT_EQ(window.GetPaintManager().GetCaptionRect().bottom, 30);
  // "windowinit" came once, after the controls existed.
  ASSERT_EQ(window.Of(DuiLib::kNotifyWindowInit).size(), 1u);
  EXPECT_EQ(window.windowInitControls, CountControls(window.GetPaintManager().GetRoot()));
  EXPECT_GT(window.windowInitControls, 3);
}

TEST_F(SkinPackageTest, MissingPackageEntryOrDamagedFilesGiveAnEmptyWindowAndOneErrorEach) {
  struct Case {
    const char* what;
    std::function<void()> prepare;
    bool packageUnreadable = false;
  };
  const std::string fixtures = std::string(std::getenv("TARVO_TEST_DATA")) + "/ui/";
  const std::vector<Case> cases = {
      {"no package", [] {}, true},
      {"no entry", [&] { Package({{"other.xml", kSimpleSkin}}); }},
      {"random bytes", [&] {
         std::filesystem::create_directories(dir_.path() / "skin");
         std::filesystem::copy_file(fixtures + "corrupt_package.dat", dir_.path() / "skin/normal.dat",
                                    std::filesystem::copy_options::overwrite_existing);
       }, true},
      {"truncated", [&] {
         std::filesystem::create_directories(dir_.path() / "skin");
         std::filesystem::copy_file(fixtures + "truncated_package.dat", dir_.path() / "skin/normal.dat",
                                    std::filesystem::copy_options::overwrite_existing);
       }, true},
      {"malformed xml", [&] { Package({{"simple.xml", "<Window><VerticalLayout><Button name=\"x\">"}}); }},
      {"no control", [&] { Package({{"simple.xml", "<Window size=\"10,10\"><Font id=\"1\"/></Window>"}}); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(dir_.path() / "skin");
    c.prepare();
    ScopedSkin skin(Folder(), "skin/normal.dat");
    TestWindow window("simple.xml");
    ASSERT_NE(window.Create(0, "t", 0, 0), 0u);
    EXPECT_EQ(window.GetPaintManager().GetRoot(), nullptr);
    EXPECT_EQ(window.FindControl("ok"), nullptr);
    ASSERT_EQ(skin.Errors().size(), 1u);
    EXPECT_FALSE(skin.Errors()[0].isEmpty());
    // Window code still hears "windowinit" and can carry on without controls.
    EXPECT_EQ(window.Of(DuiLib::kNotifyWindowInit).size(), 1u);
    window.GetWidget()->repaint();
    // A package that cannot be opened is one fault, told once; a missing file of a
    // readable package is a fault of its own.
    EXPECT_FALSE(CResourceManager::Instance().ReadFile("second.xml").has_value());
    EXPECT_EQ(skin.Errors().size(), c.packageUnreadable ? 1u : 2u);
  }
}

TEST_F(SkinPackageTest, DamagedEntryIsReportedNotPassedOffAsShortData) {
  Package({{"simple.xml", std::string(kSimpleSkin) + std::string(4000, ' ')}});
  const auto path = dir_.path() / "skin/normal.dat";
  QFile file(QString::fromStdString(path.string()));
  ASSERT_TRUE(file.open(QIODevice::ReadWrite));
  QByteArray bytes = file.readAll();
  // Flip bytes inside the compressed data (past the 30-byte local header and name).
  for (int i = 60; i < 90 && i < bytes.size(); ++i) bytes[i] = static_cast<char>(bytes[i] ^ 0x5A);
  file.seek(0);
  file.write(bytes);
  file.close();
  ScopedSkin skin(Folder(), "skin/normal.dat");
  EXPECT_FALSE(CResourceManager::Instance().ReadFile("simple.xml").has_value());
  ASSERT_EQ(skin.Errors().size(), 1u);
}

// The package stays open between reads; a package replaced by another file (as an
// update installs it) or rewritten in place is read afresh, never through the old
// file's directory of entries.
TEST_F(SkinPackageTest, APackageReplacedOrRewrittenOnDiskIsReadAfresh) {
  Package({{"a.xml", "first"}, {"b.xml", "kept"}});
  ScopedSkin skin(Folder(), "skin/normal.dat");
  auto& resources = CResourceManager::Instance();
  EXPECT_EQ(resources.ReadFile("a.xml"), QByteArray("first"));
  Package({{"a.xml", "second, replaced"}});
  EXPECT_EQ(resources.ReadFile("a.xml"), QByteArray("second, replaced"));
  EXPECT_FALSE(resources.ReadFile("b.xml").has_value());
  WriteSkinPackage((dir_.path() / "other.dat").string(), {{"a.xml", "third, rewritten in place"}, {"c.xml", "new"}});
  {
    std::ifstream other(dir_.path() / "other.dat", std::ios::binary);
    std::ofstream same(dir_.path() / "skin/normal.dat", std::ios::binary | std::ios::trunc);
    same << other.rdbuf();
  }
  EXPECT_EQ(resources.ReadFile("a.xml"), QByteArray("third, rewritten in place"));
  EXPECT_EQ(resources.ReadFile("c.xml"), QByteArray("new"));
  EXPECT_EQ(skin.Errors().size(), 1u);  // b.xml, gone with the first package
}

TEST_F(SkinPackageTest, ImagesComeFromThePackageUnderAnySpellingOrDiskAndPreferDoubleSizeOnDenseScreens) {
  Package({{"Tabbar/tab.png", Png(16, 16, Qt::blue)}, {"Tabbar/tab@2x.png", Png(32, 32, Qt::blue)},
           {"Tabbar/broken.png", "not a png"}});
  ScopedSkin skin(Folder(), "skin/normal.dat");
  auto& resources = CResourceManager::Instance();
  // Entry names accept either separator, a leading one, and any case.
  for (const char* name : {"Tabbar\\tab.png", "tabbar/TAB.png", "\\Tabbar\\tab.png"}) {
    EXPECT_TRUE(resources.ReadFile(name).has_value()) << name;
  }
  EXPECT_EQ(resources.GetImage("Tabbar\\tab.png").size(), QSize(16, 16));
  const QPixmap dense = resources.GetImage("Tabbar\\tab.png", 2.0);
  EXPECT_EQ(dense.size(), QSize(32, 32));
  EXPECT_EQ(dense.devicePixelRatio(), 2.0);
  // Missing or undecodable pictures are quietly empty: they never raise the error box.
  EXPECT_TRUE(resources.GetImage("Tabbar\\missing.png").isNull());
  EXPECT_TRUE(resources.GetImage("Tabbar\\broken.png").isNull());
  EXPECT_TRUE(skin.Errors().empty());
  // A file the program wrote (a QR code), rewritten under the same name, is read afresh.
  const auto qr = dir_.path() / "qrcode.png";
  const QString qrName = QString::fromStdString(qr.string());
  std::string first = Png(10, 10, Qt::black);
  dir_.WriteFile("qrcode.png", first);
  EXPECT_EQ(resources.GetImage(qrName).size(), QSize(10, 10));
  std::filesystem::remove(qr);
  dir_.WriteFile("qrcode.png", Png(21, 21, Qt::black));
  std::filesystem::last_write_time(qr, std::filesystem::last_write_time(qr) + std::chrono::seconds(2));
  EXPECT_EQ(resources.GetImage(qrName).size(), QSize(21, 21));
}

}  // namespace
}  // namespace tarvo::test
