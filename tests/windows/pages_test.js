// The shipped pages' scripts within what the Windows build's browser
// control understands: ES5 syntax (acorn parses them as ECMAScript 5) and no
// newer library objects; each page asks for the newest document mode.
// Usage: node pages_test.js <html folder>
"use strict";
const fs = require("fs");
const path = require("path");
// Debian's node-acorn, wherever the node on the PATH looks for modules.
const acorn = (() => {
  try {
    return require("acorn");
  } catch (error) {
    return require("/usr/share/nodejs/acorn");
  }
})();

const folder = process.argv[2];
const missing = ["URLSearchParams", "fetch", "Promise", "Symbol", "Proxy", "Reflect",
                 "WeakMap", "requestIdleCallback", "IntersectionObserver"];
let failures = 0;
function fail(message) {
  console.log("FAIL: " + message);
  ++failures;
}

function check(name, code) {
  try {
    acorn.parse(code, {ecmaVersion: 5, sourceType: "script"});
  } catch (error) {
    fail(`${name}: not ES5: ${error.message}`);
  }
  for (const word of missing) {
    if (new RegExp("\\b" + word + "\\b").test(code)) fail(`${name}: uses ${word}`);
  }
}

for (const file of fs.readdirSync(folder).sort()) {
  const text = fs.readFileSync(path.join(folder, file), "utf8");
  if (file.endsWith(".js")) check(file, text);
  if (!file.endsWith(".html")) continue;
  if (!/<meta http-equiv="X-UA-Compatible" content="IE=edge">/.test(text)) {
    fail(`${file}: no newest document mode`);
  }
  const inline = /<script(?![^>]*\bsrc=)[^>]*>([\s\S]*?)<\/script>/g;
  for (let m; (m = inline.exec(text));) check(`${file} (inline)`, m[1]);
}
console.log(failures ? `${failures} problems` : "ok");
process.exit(failures ? 1 : 0);
