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

  // The page speaks the browser's interface language, which the engine asks for
  // pages in (English is written in the page itself).
  var translations = {
    zh: {
      title: "新标签页",
      placeholder: "搜索网页",
      search: "搜索",
      note: "在浏览器的搜索框旁选择一个搜索引擎，即可在这里搜索。"
    }
  };
  var language = (navigator.language || "en").toLowerCase().split("-")[0];
  var texts = translations[language];
  if (texts) {
    document.documentElement.lang = navigator.language;
    document.title = texts.title;
    query.placeholder = texts.placeholder;
    query.setAttribute("aria-label", texts.search);
    form.querySelector("button").setAttribute("aria-label", texts.search);
    document.getElementById("engine-note").textContent = texts.note;
  }

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
