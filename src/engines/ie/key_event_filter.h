#pragma once

#include <QObject>
#include <optional>

#include "engines/ie/key_message.h"

class QKeyEvent;

namespace tarvo::ie {

class AcceleratorTranslator;

// Event filter installed on a compatibility view: turns its key presses and
// releases into KeyMessages for the translator, which may consume them.
// Threads: GUI thread.
class KeyEventFilter : public QObject {
  Q_OBJECT
 public:
  explicit KeyEventFilter(QObject* parent) : QObject(parent) {}

  // Non-owning; nullptr stops the translation.
  void SetTranslator(AcceleratorTranslator* translator) { translator_ = translator; }
  // The message for a key event, or nullopt for other events.
  static std::optional<KeyMessage> MessageOf(const QKeyEvent& event, bool released);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  AcceleratorTranslator* translator_ = nullptr;
};

}  // namespace tarvo::ie
