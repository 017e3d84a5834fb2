#include "shell/pages/login_form_script.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace tarvo {

namespace {

constexpr char16_t kScript[] = uR"JS((function () {
  'use strict';
  if (window.__tarvoLogins || typeof window.__tarvoLoginPost !== 'function') return;
  var post = window.__tarvoLoginPost;
  var entries = [];
  var nextId = 1;
  var watched = [];
  var lastSent = { key: '', at: 0 };
  var timing = { seen: -1, filled: -1 };
  // Names this page load: form numbers start again with each one.
  var documentId = String(Math.random()).substring(2) + '.' + String(now());
  var TEXT_TYPES = { '': 1, text: 1, email: 1, tel: 1, url: 1 };

  function now() { return window.performance ? window.performance.now() : new Date().getTime(); }

  // What the user sees of a field: at least a few pixels each way, its middle inside
  // the window's view and on the field itself (nothing covers it), neither it nor a
  // parent clipped away, hidden or faded below 0.8; the frame holding it likewise.
  function shown(el) {
    var doc = el && el.ownerDocument, win = doc && doc.defaultView;
    if (!win || !el.isConnected) return false;
    var r = el.getBoundingClientRect();
    if (r.width < 4 || r.height < 4) return false;
    var x = r.left + r.width / 2, y = r.top + r.height / 2;
    if (x < 0 || y < 0 || x >= win.innerWidth || y >= win.innerHeight) return false;
    var hit = doc.elementFromPoint(x, y);
    if (hit !== el && !(hit && el.contains(hit))) return false;
    var opacity = 1;
    for (var node = el; node && node.nodeType === 1; node = node.parentElement) {
      var style = win.getComputedStyle(node);
      if (style.visibility !== 'visible' || style.display === 'none') return false;
      if (style.clipPath && style.clipPath !== 'none') return false;
      if (style.clip && style.clip !== 'auto' && (style.position === 'absolute' || style.position === 'fixed')) {
        return false;
      }
      opacity *= parseFloat(style.opacity);
      if (!(opacity >= 0.8)) return false;
    }
    var frame = win.frameElement;
    return !frame || shown(frame);
  }

  function typeOf(input) { return (input.getAttribute('type') || '').toLowerCase(); }

  // The log-in fields of a form, or of the fields outside any form when `root` is a
  // document: exactly one password field, and the last text field before it.
  function fieldsOf(root, doc) {
    var inputs = root.querySelectorAll('input'), pass = null, passes = 0, texts = [];
    for (var i = 0; i < inputs.length; ++i) {
      var input = inputs[i];
      if (root === doc && input.form) continue;
      var type = typeOf(input);
      if (type === 'password') { pass = input; ++passes; }
      else if (TEXT_TYPES[type] === 1 && !input.disabled) texts.push(input);
    }
    if (passes !== 1) return null;
    var user = null;
    for (var j = 0; j < texts.length; ++j) {
      if (texts[j].compareDocumentPosition(pass) & 4) user = texts[j];
    }
    return { pass: pass, user: user };
  }

  function rectOf(el) {
    var r = el.getBoundingClientRect(), x = r.left, y = r.top;
    for (var win = el.ownerDocument.defaultView; win && win.frameElement; win = win.parent) {
      var f = win.frameElement.getBoundingClientRect();
      x += f.left + win.frameElement.clientLeft;
      y += f.top + win.frameElement.clientTop;
    }
    return [x, y, r.width, r.height];
  }

  function liveEntries() {
    var live = [];
    for (var i = 0; i < entries.length; ++i) {
      // A field the page turns to text to show the password stays the same form; a
      // frame's document that went away takes its forms along.
      if (entries[i].pass.isConnected && entries[i].doc.defaultView) live.push(entries[i]);
    }
    entries = live;
    return live;
  }

  function report(type, entry, extra) {
    var message = {
      type: type, document: documentId, origin: entry.doc.defaultView.location.origin, main: entry.doc === document,
      form: entry.id,
      forms: liveEntries().length, visible: shown(entry.pass) && (!entry.user || shown(entry.user)),
      field: rectOf(entry.user || entry.pass)
    };
    for (var k in extra) message[k] = extra[k];
    try { post(JSON.stringify(message)); } catch (e) {}
  }

  function scan(doc) {
    var roots = [doc], found = [];
    for (var i = 0; i < doc.forms.length; ++i) roots.push(doc.forms[i]);
    for (var j = 0; j < roots.length; ++j) {
      var fields = fieldsOf(roots[j], doc);
      if (!fields) continue;
      var known = null;
      for (var k = 0; k < entries.length; ++k) if (entries[k].pass === fields.pass) known = entries[k];
      if (known) { known.user = fields.user; continue; }
      var entry = { id: nextId++, doc: doc, root: roots[j], pass: fields.pass, user: fields.user };
      entries.push(entry);
      found.push(entry);
    }
    if (found.length && timing.seen < 0) timing.seen = now();
    for (var n = 0; n < found.length; ++n) report('seen', found[n], {});
    var frames = doc.querySelectorAll('iframe, frame');
    for (var f = 0; f < frames.length; ++f) watchFrame(frames[f]);
  }

  function entryOf(el) {
    var live = liveEntries();
    for (var i = 0; i < live.length; ++i) {
      var e = live[i];
      if (el === e.pass || el === e.user) return e;
      if (e.root !== e.doc && e.root.contains(el)) return e;
    }
    return null;
  }

  function isButton(el) {
    var tag = el.tagName, type = tag === 'INPUT' ? typeOf(el) : '';
    return tag === 'BUTTON' || type === 'submit' || type === 'image' || type === 'button' ||
           (el.getAttribute && el.getAttribute('role') === 'button');
  }

  function sent(entry) {
    var password = entry.pass.value;
    if (!password) return;
    var username = entry.user ? entry.user.value : '';
    var key = entry.id + '\n' + username + '\n' + password;
    if (key === lastSent.key && now() - lastSent.at < 3000) return;
    lastSent = { key: key, at: now() };
    report('sent', entry, { username: username, password: password });
  }

  // Only what the user did counts: a page's own events raise no offer, and a field
  // is filled only once the user went into it with the pointer or the keyboard, never
  // when a script focuses it. The engine's submit event is trusted even when a
  // script submits, so it counts only right after the user pressed something in
  // that form.
  function listen(doc) {
    var win = doc.defaultView, lastKey = -1e9, lastPress = { entry: null, at: -1e9 };
    var asked = function (event) {
      var entry = entryOf(event.target);
      if (entry && (event.target === entry.pass || event.target === entry.user)) report('focus', entry, {});
    };
    var pressed = function (event) {
      if (event.isTrusted) lastPress = { entry: entryOf(event.target), at: now() };
    };
    win.addEventListener('mousedown', pressed, true);
    win.addEventListener('keydown', pressed, true);
    win.addEventListener('submit', function (event) {
      var entry = entryOf(event.target);
      if (entry && lastPress.entry === entry && now() - lastPress.at < 1000) sent(entry);
    }, true);
    win.addEventListener('click', function (event) {
      if (!event.isTrusted) return;
      for (var el = event.target; el && el.nodeType === 1; el = el.parentElement) {
        if (!isButton(el)) continue;
        var entry = entryOf(el);
        // A button outside any form sends the form-less log-in fields of its document.
        if (!entry && !el.form) {
          var live = liveEntries();
          for (var i = 0; i < live.length; ++i) if (live[i].doc === doc && live[i].root === doc) entry = live[i];
        }
        if (entry) sent(entry);
        return;
      }
    }, true);
    win.addEventListener('keydown', function (event) {
      if (!event.isTrusted) return;
      // Only Tab moves the user into a field; a page that focuses a field after any
      // other key the user pressed does not fill it.
      if (event.key === 'Tab') lastKey = now();
      if (event.key !== 'Enter' && event.keyCode !== 13) return;
      var entry = entryOf(event.target);
      if (entry && event.target.tagName === 'INPUT') sent(entry);
    }, true);
    win.addEventListener('mousedown', function (event) { if (event.isTrusted) asked(event); }, true);
    win.addEventListener('focusin', function (event) {
      // Tab into a field: the key came just before.
      if (event.isTrusted && now() - lastKey < 1000) asked(event);
    }, true);
  }

  function watch(doc) {
    for (var i = 0; i < watched.length; ++i) if (watched[i] === doc) return;
    watched.push(doc);
    listen(doc);
    var pending = false;
    var later = function () {
      if (pending) return;
      pending = true;
      setTimeout(function () { pending = false; scan(doc); }, 0);
    };
    new MutationObserver(later).observe(doc, { childList: true, subtree: true, attributes: true,
                                              attributeFilter: ['type'] });
    if (doc.readyState === 'loading') doc.addEventListener('DOMContentLoaded', function () { scan(doc); });
    else scan(doc);
  }

  // Frames of the page's own origin only: another origin's document cannot be
  // reached from here, and a hidden frame is left alone.
  function watchFrame(frame) {
    if (frame.__tarvoWatched) return;
    frame.__tarvoWatched = true;
    var take = function () {
      var doc = null;
      try { doc = frame.contentDocument; } catch (e) { doc = null; }
      if (doc && doc.defaultView && doc.defaultView.location.origin === location.origin && shown(frame)) watch(doc);
    };
    frame.addEventListener('load', take);
    take();
  }

  function setValue(input, value) {
    input.value = value;
    input.dispatchEvent(new Event('input', { bubbles: true }));
    input.dispatchEvent(new Event('change', { bubbles: true }));
  }

  window.__tarvoLogins = {
    fill: function (id, origin, username, password) {
      var live = liveEntries();
      for (var i = 0; i < live.length; ++i) {
        var e = live[i];
        if (e.id !== id || e.doc.defaultView.location.origin !== origin) continue;
        if (!shown(e.pass) || (e.user && !shown(e.user))) return false;
        if (e.user) setValue(e.user, username);
        setValue(e.pass, password);
        if (timing.filled < 0) timing.filled = now();
        return true;
      }
      return false;
    },
    timing: function () { return { seen: timing.seen, filled: timing.filled }; }
  };
  watch(document);
})();)JS";

}  // namespace

QString LoginFormScript::Source() { return QString::fromStdU16String(kScript); }

QString LoginFormScript::FillCall(int formId, const WString& frameOrigin, const WString& username,
                                  const WString& password) {
  // The texts travel as one JSON array, so no quote or line end of theirs ends up
  // as script.
  const QJsonArray arguments{formId, QString::fromStdU16String(frameOrigin), QString::fromStdU16String(username),
                             QString::fromStdU16String(password)};
  const QString list = QString::fromUtf8(QJsonDocument(arguments).toJson(QJsonDocument::Compact));
  return QStringLiteral("(function (a) { return !!(window.__tarvoLogins && "
                        "window.__tarvoLogins.fill(a[0], a[1], a[2], a[3])); })(%1)")
      .arg(list);
}

QString LoginFormScript::TimingCall() {
  return QStringLiteral("window.__tarvoLogins ? window.__tarvoLogins.timing() : null");
}

}  // namespace tarvo
