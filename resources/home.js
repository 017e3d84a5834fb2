// The start page's search box searches with the browser's current engine. The
// browser opens this page with the engine's address around the query passed as
// "sp" (before the query) and "ss" (after it); nothing is loaded from elsewhere.
(function () {
  "use strict";
  var params = new URLSearchParams(window.location.search);
  var prefix = params.get("sp") || "";
  var suffix = params.get("ss") || "";
  var form = document.getElementById("search");
  var query = document.getElementById("query");

  // Only web addresses are followed: a parameter must never run script or open
  // local files when the user searches.
  var usable = /^https?:\/\/[^\s]+$/i.test(prefix);
  if (!usable) {
    form.hidden = true;
    document.getElementById("engine-note").hidden = false;
  }
  // The form itself never submits: its own action would reload this page.
  form.addEventListener("submit", function (event) {
    event.preventDefault();
    var text = query.value.trim();
    if (!usable || text === "") return;
    window.location.href = prefix + encodeURIComponent(text) + suffix;
  });
})();
