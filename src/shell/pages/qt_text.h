#pragma once

#include <QString>

#include "platform/text.h"

namespace tarvo {

// The core's UTF-16 text as a Qt string, where it meets the toolkit.
inline QString Q(const WString& text) { return QString::fromStdU16String(text); }

}  // namespace tarvo
