#pragma once

namespace tarvo::cef {

// Run at the creation of every document (and frame) while the engine goes through a
// fixed proxy, in the page's own script world before any script of the page.
//
// The engine sends WebRTC's TCP connections through its proxy, but gathers host and
// server-reflexive candidates and talks to STUN servers directly over UDP, which
// tells any site the user's own address whatever the proxy. So every peer
// connection of the document is made with iceTransportPolicy "relay" and with only
// the TURN servers reached over TCP ("turns:", or "turn:" with "?transport=tcp"):
// no host or server-reflexive candidate, no STUN request; the TURN connections go
// through the proxy, which also resolves their names.
//
// A page gets at an unguarded constructor only through a realm this script has not
// run in yet: a frame or window it has just made (their empty first document is
// scripted before the engine runs this there). So the frames and windows of the
// document are guarded as soon as the page can reach them: after every DOM call
// that can insert a frame, in the window whose document it inserted into (a method
// taken from one frame may be called on another's nodes), when a frame element's
// window or document is read, for the window that window.open or document.open
// returns, for frames the parser makes before the next script runs (a mutation
// observer; document.write hands the parser its markup in pieces that end before
// each script, since such a script runs before the write returns), and before any
// of the page's code that runs while a frame is being inserted (an insertion
// event's listener, an empty frame's load handler). Everything the guard uses is
// taken before the page runs, so what the page replaces later does not reach it;
// what it hands to the engine is built from plain values read once from the page's
// objects.
inline constexpr char16_t kWebRtcGuardScript[] = uR"JS((function () {
  'use strict';
  var apply = Reflect.apply;
  var construct = Reflect.construct;
  var defineProperty = Object.defineProperty;
  var getDescriptor = Object.getOwnPropertyDescriptor;
  var create = Object.create;
  var prototypeOf = Object.getPrototypeOf;
  var toText = String;
  var startsWith = String.prototype.startsWith;
  var indexOf = String.prototype.indexOf;
  var slice = String.prototype.slice;
  var charCodeAt = String.prototype.charCodeAt;
  var isArray = Array.isArray;
  var iteratorKey = Symbol.iterator;
  var guarded = new WeakMap();  // a guarded window's document -> how to count its frames
  var lookUp = WeakMap.prototype.get;
  var remember = WeakMap.prototype.set;
  var rangeStart = getterOf(Range.prototype, 'startContainer');
  var ownerDocumentOf = getterOf(Node.prototype, 'ownerDocument');
  var defaultViewOf = getterOf(Document.prototype, 'defaultView');

  // The getter of `name` on `target` or the first of its prototypes that has one.
  function getterOf(target, name) {
    for (var at = target; at !== null; at = prototypeOf(at)) {
      var descriptor = getDescriptor(at, name);
      if (descriptor) return descriptor.get;
    }
    return undefined;
  }

  // Plain values for the engine: no prototype the page could have added to.
  function bare() { return create(null); }

  // A list the engine reads through its own iterator: an array's can be replaced
  // by the page.
  function sealedList(items) {
    var list = bare();
    defineProperty(list, iteratorKey, {value: function () {
      var next = 0;
      var iterator = bare();
      iterator.next = function () {
        var step = bare();
        step.done = next >= items.length;
        step.value = step.done ? undefined : items[next++];
        return step;
      };
      return iterator;
    }});
    return list;
  }

  function tcpTurn(url) {
    if (apply(startsWith, url, ['turns:'])) return apply(indexOf, url, ['?']) < 0;
    if (!apply(startsWith, url, ['turn:'])) return false;
    var query = apply(indexOf, url, ['?']);
    return query > 0 && apply(slice, url, [query + 1]) === 'transport=tcp';
  }

  function restrict(configuration) {
    var result = bare();
    var given = configuration !== null && typeof configuration === 'object' ? configuration : bare();
    for (var key in given) {
      if (key === 'iceServers' || key === 'iceTransportPolicy') continue;
      defineProperty(result, key, {value: given[key], enumerable: true, writable: true, configurable: true});
    }
    var servers = [];
    var entries = given.iceServers;
    var count = entries !== null && typeof entries === 'object' ? +entries.length : 0;
    for (var i = 0; i < count && i < 64; ++i) {
      var entry = entries[i];
      if (entry === null || typeof entry !== 'object') continue;
      var urls = entry.urls;
      if (urls === undefined) urls = entry.url;
      var username = entry.username;
      var credential = entry.credential;
      var list = isArray(urls) ? urls : [urls];
      for (var j = 0, n = +list.length; j < n && j < 16; ++j) {
        var url = toText(list[j]);
        if (!tcpTurn(url)) continue;
        var server = bare();
        server.urls = url;
        if (username !== undefined) server.username = toText(username);
        if (credential !== undefined) server.credential = toText(credential);
        servers[servers.length] = server;
      }
    }
    result.iceServers = sealedList(servers);
    result.iceTransportPolicy = 'relay';
    return result;
  }

  function method(win, type, name) {
    var proto = win[type] && win[type].prototype;
    var descriptor = proto && getDescriptor(proto, name);
    return descriptor && typeof descriptor.value === 'function' ? [proto, descriptor] : null;
  }

  // Runs `after` with the result and the object it was called on once the original
  // has returned.
  function wrapMethod(target, name, descriptor, after) {
    var original = descriptor.value;
    descriptor.value = function () {
      var result = apply(original, this, arguments);
      after(result, this);
      return result;
    };
    defineProperty(target, name, descriptor);
  }

  function wrapAccessor(target, name, part, after) {
    var descriptor = getDescriptor(target, name);
    if (!descriptor || typeof descriptor[part] !== 'function') return;
    var original = descriptor[part];
    descriptor[part] = function () {
      var result = apply(original, this, arguments);
      after(result, this);
      return result;
    };
    defineProperty(target, name, descriptor);
  }

  // The window whose document `target` (a node, a document or a range) inserts into.
  // A method is often called on a node of another window than its own: one frame's
  // appendChild on the parent's body inserts a frame into the parent.
  function windowOf(target) {
    var node = target;
    try { node = apply(rangeStart, target, []); } catch (e) {}
    var doc = null;
    try { doc = apply(ownerDocumentOf, node, []) || node; } catch (e) { return null; }
    try { return apply(defaultViewOf, doc, []); } catch (e) { return null; }
  }

  function guardConstructor(win) {
    var Native = win.RTCPeerConnection;
    if (typeof Native !== 'function') return;
    var proto = Native.prototype;
    var nativeSetConfiguration = proto.setConfiguration;
    var Guarded = function RTCPeerConnection() {
      var args = [restrict(arguments[0])];
      if (arguments.length > 1) args[1] = arguments[1];
      return new.target === undefined ? apply(Native, this, args) : construct(Native, args, new.target);
    };
    defineProperty(Guarded, 'prototype', {value: proto});
    if (typeof Native.generateCertificate === 'function') {
      defineProperty(Guarded, 'generateCertificate', {value: Native.generateCertificate, writable: true, configurable: true});
    }
    defineProperty(proto, 'constructor', {value: Guarded, writable: true, configurable: true});
    defineProperty(proto, 'setConfiguration', {value: function setConfiguration(configuration) {
      return apply(nativeSetConfiguration, this, [restrict(configuration)]);
    }, writable: true, configurable: true});
    defineProperty(win, 'RTCPeerConnection', {value: Guarded, writable: true, configurable: true});
    defineProperty(win, 'webkitRTCPeerConnection', {value: Guarded, writable: true, configurable: true});
  }

  // `frameCount` is the window's own length getter, taken when it was guarded (the
  // page may shadow window.length).
  function guardFramesOf(win, frameCount) {
    var count = 0;
    try { count = apply(frameCount, win, []); } catch (e) { return; }
    for (var i = 0; i < count; ++i) {
      var child = null;
      try { child = win[i]; } catch (e) {}
      if (child) guardWindow(child);
    }
  }

  function guardViewOf(result) {
    try {
      if (result && result.defaultView !== undefined) result = result.defaultView;
      if (result) guardWindow(result);
    } catch (e) {
      // Another origin's document or window.
    }
  }

  // Where the next "<script" (in any case) starts in `text` at or after `from`; -1
  // for none.
  function nextScript(text, from) {
    var tag = '<script';
    for (var at = apply(indexOf, text, ['<', from]); at >= 0; at = apply(indexOf, text, ['<', at + 1])) {
      var i = 1;
      while (i < tag.length && (apply(charCodeAt, text, [at + i]) | 32) === apply(charCodeAt, tag, [i])) ++i;
      if (i === tag.length) return at;
    }
    return -1;
  }

  // A script in the markup of document.write runs before the write returns, and so
  // before anything after it: the markup is handed to the parser in pieces that end
  // before each script, and the frames are guarded after each piece. The parser
  // reads the pieces as it would read the whole.
  function wrapWrites(win, after) {
    var write = method(win, 'Document', 'write');
    var writeln = method(win, 'Document', 'writeln');
    if (!write || !writeln) return;
    var nativeWrite = write[1].value;
    var split = function (last) {
      return function () {
        var text = '';
        for (var a = 0; a < arguments.length; ++a) text += toText(arguments[a]);
        var from = 0;
        for (var at = nextScript(text, 1); at > 0; at = nextScript(text, at + 1)) {
          apply(nativeWrite, this, [apply(slice, text, [from, at])]);
          after(undefined, this);
          from = at;
        }
        var result = apply(last, this, [apply(slice, text, [from])]);
        after(result, this);
        return result;
      };
    };
    write[1].value = split(nativeWrite);
    defineProperty(write[0], 'write', write[1]);
    writeln[1].value = split(writeln[1].value);
    defineProperty(writeln[0], 'writeln', writeln[1]);
  }

  function guardHooks(win, frameCount) {
    var framesChanged = function (result, target) {
      guardFramesOf(win, frameCount);
      var into = target === undefined ? null : windowOf(target);
      if (into && into !== win) guardWindow(into);
    };
    // Plain arrays walked by index: nothing the page added to Object.prototype by
    // the time a frame of it is guarded comes along.
    var inserting = [
      ['Node', ['appendChild', 'insertBefore', 'replaceChild']],
      ['Element', ['append', 'prepend', 'before', 'after', 'replaceWith', 'replaceChildren', 'insertAdjacentElement',
                   'insertAdjacentHTML']],
      ['CharacterData', ['before', 'after', 'replaceWith']],
      ['DocumentType', ['before', 'after', 'replaceWith']],
      ['Document', ['append', 'prepend', 'replaceChildren', 'execCommand']],
      ['DocumentFragment', ['append', 'prepend', 'replaceChildren']],
      ['Range', ['insertNode', 'surroundContents']]
    ];
    for (var t = 0; t < inserting.length; ++t) {
      for (var k = 0; k < inserting[t][1].length; ++k) {
        var found = method(win, inserting[t][0], inserting[t][1][k]);
        if (found) wrapMethod(found[0], inserting[t][1][k], found[1], framesChanged);
      }
    }
    var setters = [['Element', 'innerHTML'], ['Element', 'outerHTML'], ['ShadowRoot', 'innerHTML'], ['Document', 'body']];
    for (var s = 0; s < setters.length; ++s) {
      var owner = win[setters[s][0]];
      if (owner) wrapAccessor(owner.prototype, setters[s][1], 'set', framesChanged);
    }
    var framed = ['HTMLIFrameElement', 'HTMLFrameElement', 'HTMLObjectElement', 'HTMLEmbedElement'];
    for (var f = 0; f < framed.length; ++f) {
      var frameProto = win[framed[f]] && win[framed[f]].prototype;
      if (!frameProto) continue;
      wrapAccessor(frameProto, 'contentWindow', 'get', guardViewOf);
      wrapAccessor(frameProto, 'contentDocument', 'get', guardViewOf);
      var svg = method(win, framed[f], 'getSVGDocument');
      if (svg) wrapMethod(svg[0], 'getSVGDocument', svg[1], guardViewOf);
    }
    var open = getDescriptor(win, 'open');
    if (open && typeof open.value === 'function') wrapMethod(win, 'open', open, guardViewOf);
    wrapWrites(win, framesChanged);
    // Frames the parser makes: the observer is called before the next script runs.
    new win.MutationObserver(framesChanged).observe(win.document, {childList: true, subtree: true});
    // The page's code that runs while a frame is being inserted, before the call
    // inserting it returns: an insertion event's listener, a new frame's load handler
    // (the engine loads an empty frame at once). Listeners of the guard's come first,
    // being the first added; document.open() takes them away, so they come back.
    var listen = function () {
      win.addEventListener('DOMNodeInserted', framesChanged, true);
      win.document.addEventListener('load', framesChanged, true);
    };
    listen();
    var reopen = method(win, 'Document', 'open');
    // With three arguments it opens a window instead.
    if (reopen) wrapMethod(reopen[0], 'open', reopen[1], function (result) { listen(); guardViewOf(result); });
  }

  // Guards a window's present document once (a window that navigated has a new
  // one), and the frames in it.
  function guardWindow(win) {
    try {
      var document = win.document;
      var frameCount = apply(lookUp, guarded, [document]);
      if (frameCount === undefined) {
        frameCount = getterOf(win, 'length');
        apply(remember, guarded, [document, frameCount]);
        guardConstructor(win);
        guardHooks(win, frameCount);
      }
      guardFramesOf(win, frameCount);
    } catch (e) {
      // Another origin's window: its own documents are guarded as they are made.
    }
  }

  guardWindow(window);
})();)JS";

}  // namespace tarvo::cef
