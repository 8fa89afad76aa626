// Shows the first-run welcome when the program opened this page for the
// first time (it then adds "installation=y" to the query). Plain ES5: the
// Windows build shows the pages in the system's classic browser control.
(function () {
  "use strict";
  var query = window.location.search.replace(/^\?/, "").split("&");
  var first = false;
  for (var i = 0; i < query.length; ++i) {
    var pair = query[i].split("=");
    if (decodeURIComponent(pair[0]) === "installation" && pair[1] === "y") first = true;
  }
  if (!first) return;
  var welcome = document.getElementById("first-run");
  var close = document.getElementById("first-run-close");
  welcome.hidden = false;
  close.focus();
  close.addEventListener("click", function () {
    welcome.hidden = true;
  });
})();
