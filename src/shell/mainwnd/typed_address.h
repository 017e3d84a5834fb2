#pragma once
// Cleans what the user typed into the address bar before the page normalises it:
// blanks around the text are dropped (a text of blanks means the start page), and a
// scheme typed in capitals ("HTTP://", "File:") is written in lower case, so the page
// recognises it instead of putting a second "http://" in front.
//
// Threads: any (pure function).
#include "platform/text.h"

namespace tarvo {

class TypedAddress {
 public:
  static WString Clean(WStringView typed);
};

}  // namespace tarvo
