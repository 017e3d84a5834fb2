// Builds the skin package: window XML files as they are, SVG images rendered to PNG at
// 1x and 2x ("@2x" beside each), and the language pictures of every picture folder
// rendered with their texts. Usage:
//   tarvo-skin-packer --skin <skin folder> --lang <lang folder> --out <normal.dat>
// With the same renderer it draws the desktop's application icons of one SVG, as
// <folder>/<N>x<N>/apps/<name>.png for each size:
//   tarvo-skin-packer --icon <svg> --name <name> --sizes 16,32,... --icon-dir <folder>
#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>
#include <optional>

#include "lang_picture_renderer.h"
#include "skin_zip_writer.h"

namespace {

int Fail(const QString& message) {
  std::fprintf(stderr, "skin-packer: %s\n", qPrintable(message));
  return 1;
}

QByteArray Encode(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format, QByteArray(format) == "JPG" ? 92 : -1);
  return bytes;
}

bool RenderSvg(const QString& path, qreal scale, QImage* out) {
  QSvgRenderer renderer(path);
  if (!renderer.isValid()) {
    return false;
  }
  const QSize size = renderer.defaultSize();
  QImage image(qRound(size.width() * scale), qRound(size.height() * scale), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  renderer.render(&painter);
  painter.end();
  *out = image;
  return true;
}

int RenderIcons(const QString& svg, const QString& name, const QString& sizes, const QString& folder) {
  QSvgRenderer renderer(svg);
  if (!renderer.isValid() || name.isEmpty() || folder.isEmpty()) {
    return Fail(QStringLiteral("usage: --icon <svg> --name <name> --sizes 16,32,... --icon-dir <folder>"));
  }
  for (const QString& text : sizes.split(u',', Qt::SkipEmptyParts)) {
    const int size = text.toInt();
    QImage image;
    if (size <= 0 || !RenderSvg(svg, static_cast<qreal>(size) / renderer.defaultSize().width(), &image)) {
      return Fail(QStringLiteral("cannot render ") + svg + QStringLiteral(" at ") + text);
    }
    const QString apps = QStringLiteral("%1/%2x%2/apps").arg(folder).arg(size);
    if (!QDir().mkpath(apps) || !image.save(apps + u'/' + name + QStringLiteral(".png"), "PNG")) {
      return Fail(QStringLiteral("cannot write ") + apps);
    }
  }
  return 0;
}

std::optional<QJsonObject> ReadJson(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    return std::nullopt;
  }
  QJsonParseError error;
  const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
  if (error.error != QJsonParseError::NoError || !doc.isObject()) {
    return std::nullopt;
  }
  return doc.object();
}

// Language name of each picture folder; the folder's texts come from that pack when it
// has them.
const QHash<QString, QString>& FolderLanguages() {
  static const QHash<QString, QString> folders = {{QStringLiteral("CN"), QStringLiteral("china")},
                                                  {QStringLiteral("EN"), QStringLiteral("usa")},
                                                  {QStringLiteral("TH"), QStringLiteral("thailand")},
                                                  {QStringLiteral("VN"), QStringLiteral("vietnam")}};
  return folders;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QString skinDir, langDir, outPath, iconSvg, iconName, iconSizes, iconDir;
  const QStringList args = app.arguments();
  for (int i = 1; i + 1 < args.size(); i += 2) {
    if (args[i] == QLatin1String("--skin")) skinDir = args[i + 1];
    else if (args[i] == QLatin1String("--lang")) langDir = args[i + 1];
    else if (args[i] == QLatin1String("--out")) outPath = args[i + 1];
    else if (args[i] == QLatin1String("--icon")) iconSvg = args[i + 1];
    else if (args[i] == QLatin1String("--name")) iconName = args[i + 1];
    else if (args[i] == QLatin1String("--sizes")) iconSizes = args[i + 1];
    else if (args[i] == QLatin1String("--icon-dir")) iconDir = args[i + 1];
  }
  if (!iconSvg.isEmpty()) {
    return RenderIcons(iconSvg, iconName, iconSizes, iconDir);
  }
  if (skinDir.isEmpty() || outPath.isEmpty()) {
    return Fail(QStringLiteral("usage: --skin <dir> --lang <dir> --out <file>"));
  }
  SkinZipWriter zip;
  const QDir root(skinDir);
  // Window descriptions sit at the package root.
  for (const QString& name : root.entryList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name)) {
    QFile file(root.filePath(name));
    if (!file.open(QIODevice::ReadOnly)) return Fail(QStringLiteral("cannot read ") + file.fileName());
    zip.Add(name, file.readAll());
  }
  // Images keep their folder names (Tabbar/, Toolbar/, Dialog/ ...).
  const QDir images(root.filePath(QStringLiteral("images")));
  QDirIterator it(images.path(), QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    const QString rel = images.relativeFilePath(path);
    if (rel.endsWith(QLatin1String(".svg"))) {
      const QString base = rel.left(rel.size() - 4);
      QImage one, two;
      if (!RenderSvg(path, 1.0, &one) || !RenderSvg(path, 2.0, &two)) {
        return Fail(QStringLiteral("cannot render ") + path);
      }
      zip.Add(base + QStringLiteral(".png"), Encode(one, "PNG"));
      zip.Add(base + QStringLiteral("@2x.png"), Encode(two, "PNG"));
    } else {
      QFile file(path);
      if (!file.open(QIODevice::ReadOnly)) return Fail(QStringLiteral("cannot read ") + path);
      zip.Add(rel, file.readAll());
    }
  }
  // Language pictures.
  const auto pictures = ReadJson(root.filePath(QStringLiteral("langpic/pictures.json")));
  const auto fallbackTexts = ReadJson(root.filePath(QStringLiteral("langpic/texts.json")));
  if (!pictures || !fallbackTexts) {
    return Fail(QStringLiteral("langpic/pictures.json or langpic/texts.json missing or malformed"));
  }
  QHash<QString, QJsonObject> packs;
  if (!langDir.isEmpty()) {
    for (const QFileInfo& info : QDir(langDir).entryInfoList({QStringLiteral("*.json")}, QDir::Files)) {
      if (auto pack = ReadJson(info.filePath())) {
        packs.insert(pack->value(QStringLiteral("id")).toString(), *pack);
      }
    }
  }
  const QString product = pictures->value(QStringLiteral("product")).toString();
  for (auto folder = FolderLanguages().cbegin(); folder != FolderLanguages().cend(); ++folder) {
    const QJsonObject pack = packs.value(folder.value());
    const QJsonObject fallback = fallbackTexts->value(folder.key()).toObject();
    for (const QJsonValue& value : pictures->value(QStringLiteral("pictures")).toArray()) {
      QJsonObject picture = value.toObject();
      picture.insert(QStringLiteral("product"), product);
      const QString key = picture.value(QStringLiteral("key")).toString();
      // A language pack may carry the picture's text under "langpic/<key>".
      QString text = pack.value(QStringLiteral("langpic/") + key).toString();
      if (text.isEmpty()) text = fallback.value(key).toString();
      if (text.isEmpty()) text = fallbackTexts->value(QStringLiteral("EN")).toObject().value(key).toString();
      const QString file = picture.value(QStringLiteral("file")).toString();
      const bool jpeg = file.endsWith(QLatin1String(".jpg"));
      const QString entry = QStringLiteral("LangPic/%1/%2").arg(folder.key(), file);
      const QImage one = LangPictureRenderer::Render(picture, text, 1.0);
      zip.Add(entry, Encode(jpeg ? one.convertToFormat(QImage::Format_RGB32) : one, jpeg ? "JPG" : "PNG"));
      const int dot = entry.lastIndexOf(u'.');
      const QImage two = LangPictureRenderer::Render(picture, text, 2.0);
      zip.Add(entry.left(dot) + QStringLiteral("@2x") + entry.mid(dot),
              Encode(jpeg ? two.convertToFormat(QImage::Format_RGB32) : two, jpeg ? "JPG" : "PNG"));
    }
  }
  QString error;
  if (!zip.Write(outPath, &error)) {
    return Fail(error);
  }
  std::printf("skin-packer: %d entries written to %s\n", zip.Count(), qPrintable(outPath));
  return 0;
}
