#pragma once
// Puts the toolkit's windows into Qt's accessibility: once installed, assistive
// technology asking for a skinned window's widget gets a CAccessibleWindow, whose
// controls' interfaces are made as it walks the tree. Installing costs one entry in
// Qt's factory list; nothing is made until something asks.
//
// GUI thread.
namespace DuiLib {

class CAccessibleFactory {
 public:
  // Installs the factory; later calls do nothing.
  static void Install();
};

}  // namespace DuiLib
