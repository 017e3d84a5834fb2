#pragma once
// Makes the toolkit's own control for a skin tag (compared without regard to case).
#include <QString>
#include <memory>

namespace DuiLib {

class CControlUI;

// Null for tags the toolkit does not know (custom tags are the window's business).
std::unique_ptr<CControlUI> CreateStandardControl(const QString& tag);

}  // namespace DuiLib
