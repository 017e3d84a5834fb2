#pragma once
// Writes the skin package: entries collected in memory, then one ZIP written to a
// temporary file and renamed over the target, so a failed build never leaves a
// half-written package behind.
#include <QByteArray>
#include <QString>
#include <map>

class SkinZipWriter {
 public:
  // Adds or replaces an entry ('/' separated name).
  void Add(const QString& name, const QByteArray& data) { entries_[name] = data; }
  int Count() const { return static_cast<int>(entries_.size()); }
  // Writes all entries to `path`; false with `error` set on failure.
  bool Write(const QString& path, QString* error) const;

 private:
  std::map<QString, QByteArray> entries_;
};
