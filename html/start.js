// Shows the first-run welcome when the program opened this page for the
// first time (it then adds "installation=y" to the query).
(function () {
  "use strict";
  var params = new URLSearchParams(window.location.search);
  if (params.get("installation") !== "y") return;
  var welcome = document.getElementById("first-run");
  var close = document.getElementById("first-run-close");
  welcome.hidden = false;
  close.focus();
  close.addEventListener("click", function () {
    welcome.hidden = true;
  });
})();
