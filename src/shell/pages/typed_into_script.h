#pragma once

namespace tarvo::TypedIntoScript {

// Answers whether the user typed into the page: a field, text area or list whose
// value is no longer the one the page came with, a box ticked or cleared, a file
// chosen, in the page and its frames of the same origin; or any input event seen
// since the document began, which covers editable text (where the engine runs
// kWatch at the document's start, in the same script world). Plain ES5, so both
// engines run it.
inline constexpr char16_t kProbe[] = uR"JS((function () {
  if (window.__tarvoTyped === true) return true;
  function changed(doc) {
    var fields = doc.querySelectorAll('input, textarea, select');
    for (var i = 0; i < fields.length; ++i) {
      var f = fields[i], t = (f.type || '').toLowerCase();
      if (f.tagName === 'SELECT') {
        for (var j = 0; j < f.options.length; ++j) {
          if (f.options[j].selected !== f.options[j].defaultSelected) return true;
        }
      } else if (t === 'checkbox' || t === 'radio') {
        if (f.checked !== f.defaultChecked) return true;
      } else if (t === 'file') {
        if (f.value !== '') return true;
      } else if (t !== 'hidden' && t !== 'submit' && t !== 'button' && t !== 'reset' && t !== 'image') {
        if (f.value !== f.defaultValue) return true;
      }
    }
    var frames = doc.querySelectorAll('iframe, frame');
    for (var k = 0; k < frames.length; ++k) {
      try {
        if (frames[k].contentDocument && changed(frames[k].contentDocument)) return true;
      } catch (e) {}
    }
    return false;
  }
  return changed(document);
})())JS";

// Marks the document as typed into at its first input event.
inline constexpr char16_t kWatch[] =
    u"document.addEventListener('input', function () { window.__tarvoTyped = true; }, true);";

}  // namespace tarvo::TypedIntoScript
