#pragma once
// An image attribute: either a bare file name or "file='..' corner='l,t,r,b'
// source='l,t,r,b' dest='l,t,r,b' fade='0..255' hole='true' xtiled='true' ytiled='true'".
#include <QString>

#include "ui/ui_defs.h"

namespace DuiLib {

struct CImageAttribute {
  QString file;        // package entry or absolute path; empty means "no image"
  RECT corner;         // edges kept unscaled when the image is stretched
  RECT source;         // part of the image to draw; all zero means the whole image
  RECT dest;           // where to draw, relative to the control; all zero means all of it
  bool hasSource = false;
  bool hasDest = false;
  int fade = 255;      // opacity 0..255
  bool hole = false;   // with corners: leave the middle undrawn
  bool xtiled = false;
  bool ytiled = false;

  // Reads an attribute value. Unknown keys and malformed numbers are ignored one by one;
  // text without any "key='value'" pair is taken whole as the file name. Any thread.
  static CImageAttribute Parse(const QString& value);

  bool IsEmpty() const { return file.isEmpty(); }
};

}  // namespace DuiLib
