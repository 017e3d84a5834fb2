#pragma once
// Builds a control tree from a skin file of the package: the Window element's
// attributes, fonts and default attributes go to the paint manager; every other
// element becomes a control (the toolkit's own, or the callback's for custom tags),
// with default attributes first and its own after. Elements the toolkit and the
// callback both don't know are skipped together with their children.
//
// GUI thread.
#include <QString>
#include <memory>

namespace DuiLib {

class CControlUI;
class CPaintManagerUI;
class IDialogBuilderCallback;
struct CMarkupNode;

class CDialogBuilder {
 public:
  // Reads and builds `skinFile`. Null when the file can't be read or parsed; the
  // reason has then been reported once through the resource manager's reporter.
  std::unique_ptr<CControlUI> Create(const QString& skinFile, IDialogBuilderCallback* callback,
                                     CPaintManagerUI* manager);
  // The same from XML text already in memory (`sourceName` names it in errors).
  std::unique_ptr<CControlUI> CreateFromXml(const QByteArray& xml, const QString& sourceName,
                                            IDialogBuilderCallback* callback, CPaintManagerUI* manager);

 private:
  std::unique_ptr<CControlUI> BuildControl(const CMarkupNode& node);
  void BuildChildren(const CMarkupNode& node, CControlUI* parent);
  void ReadWindowElement(const CMarkupNode& node);

  IDialogBuilderCallback* callback_ = nullptr;  // not owned
  CPaintManagerUI* manager_ = nullptr;          // not owned
};

}  // namespace DuiLib
