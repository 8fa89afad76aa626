// The shipped pages within what the Windows build's browser control
// understands: scripts in ES5 syntax (acorn parses them as ECMAScript 5) with
// no newer library objects; style sheets (css-tree parses them) with only the
// properties, values, functions, units, at-rules and selectors that the
// control's newest document mode reads; each page asks for that mode.
// Usage: node pages_test.js <html folder>
// (NODE_PATH=/usr/share/nodejs finds Debian's node modules from any node.)
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

const csstree = require("css-tree");

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

// What the control's newest document mode reads. Vendor-prefixed names
// (-ms-) are its own. Not there, among others: custom properties and var(),
// gap, grid, color-scheme, @supports, min(), max(), clamp(), fr.
const words = (text) => new Set(text.split(/\s+/).filter(Boolean));
const known = {
  properties: words(`
    align-content align-items align-self animation animation-delay animation-direction
    animation-duration animation-fill-mode animation-iteration-count animation-name
    animation-play-state animation-timing-function backface-visibility background
    background-attachment background-clip background-color background-image background-origin
    background-position background-repeat background-size border border-bottom
    border-bottom-color border-bottom-left-radius border-bottom-right-radius border-bottom-style
    border-bottom-width border-collapse border-color border-image border-left border-left-color
    border-left-style border-left-width border-radius border-right border-right-color
    border-right-style border-right-width border-spacing border-style border-top
    border-top-color border-top-left-radius border-top-right-radius border-top-style
    border-top-width border-width bottom box-shadow box-sizing break-after break-before
    break-inside caption-side clear clip color column-count column-fill column-gap
    column-rule column-span column-width columns content counter-increment counter-reset
    cursor direction display empty-cells fill flex flex-basis flex-direction flex-flow
    flex-grow flex-shrink flex-wrap float font font-family font-feature-settings font-size
    font-style font-variant font-weight height justify-content left letter-spacing
    line-height list-style list-style-image list-style-position list-style-type margin
    margin-bottom margin-left margin-right margin-top max-height max-width min-height
    min-width opacity order orphans outline outline-color outline-style outline-width
    overflow overflow-x overflow-y padding padding-bottom padding-left padding-right
    padding-top page-break-after page-break-before page-break-inside perspective
    perspective-origin pointer-events position quotes right stroke table-layout text-align
    text-align-last text-decoration text-indent text-overflow text-shadow text-transform top
    transform transform-origin transform-style transition transition-delay
    transition-duration transition-property transition-timing-function unicode-bidi
    vertical-align visibility white-space widows width word-break word-spacing word-wrap
    z-index`),
  functions: words(`
    rgb rgba hsl hsla url calc attr counter counters rect local format linear-gradient
    radial-gradient repeating-linear-gradient repeating-radial-gradient matrix matrix3d
    translate translate3d translateX translateY translateZ scale scale3d scaleX scaleY scaleZ
    rotate rotate3d rotateX rotateY rotateZ skew skewX skewY perspective cubic-bezier steps`),
  units: words("px em ex rem ch vw vh vmin % pt pc in cm mm deg rad grad turn s ms dpi dpcm dppx"),
  atRules: words("media keyframes font-face import charset page namespace"),
  pseudoClasses: words(`
    hover active focus link visited target root empty not lang first-child last-child
    only-child first-of-type last-of-type only-of-type nth-child nth-last-child nth-of-type
    nth-last-of-type checked disabled enabled indeterminate required optional valid invalid
    first left right`),
  pseudoElements: words("before after first-line first-letter selection"),
  display: words(`
    none inline block inline-block list-item flex inline-flex run-in table inline-table
    table-row-group table-header-group table-footer-group table-row table-column-group
    table-column table-cell table-caption`),
  position: words("static relative absolute fixed"),
};
const own = (name) => name.startsWith("-ms-");

function checkStyle(name, text) {
  const ast = csstree.parse(text, {
    positions: true,
    onParseError: (error) => fail(`${name}: does not parse: ${error.message}`),
  });
  csstree.walk(ast, function (node) {
    const where = `${name}:${node.loc ? node.loc.start.line : "?"}`;
    switch (node.type) {
      case "Declaration": {
        const property = node.property.toLowerCase();
        if (property.startsWith("--")) {
          fail(`${where}: custom property ${property}`);
        } else if (!known.properties.has(property) && !own(property)) {
          fail(`${where}: property ${property}`);
        } else if (property === "display" || property === "position") {
          const value = csstree.generate(node.value).trim();
          if (!known[property].has(value)) fail(`${where}: ${property}: ${value}`);
        }
        break;
      }
      case "Function":
        if (!known.functions.has(node.name) && !own(node.name)) {
          fail(`${where}: function ${node.name}()`);
        }
        break;
      case "Dimension":
        if (!known.units.has(node.unit.toLowerCase())) fail(`${where}: unit ${node.unit}`);
        break;
      case "Atrule":
        if (!known.atRules.has(node.name) && !own(node.name)) fail(`${where}: @${node.name}`);
        break;
      case "PseudoElementSelector":
        if (!known.pseudoElements.has(node.name) && !own(node.name)) {
          fail(`${where}: ::${node.name}`);
        }
        break;
      case "PseudoClassSelector":
        // A selector the control does not know drops the whole rule it is
        // in: only a rule of its own may use one, losing nothing else there.
        if (!known.pseudoClasses.has(node.name) && !own(node.name) &&
            !(this.rule && this.rule.prelude.children.size === 1)) {
          fail(`${where}: :${node.name} beside other selectors`);
        }
        break;
      default:
        break;
    }
  });
}

for (const file of fs.readdirSync(folder).sort()) {
  const text = fs.readFileSync(path.join(folder, file), "utf8");
  if (file.endsWith(".js")) check(file, text);
  if (file.endsWith(".css")) checkStyle(file, text);
  if (!file.endsWith(".html")) continue;
  if (!/<meta http-equiv="X-UA-Compatible" content="IE=edge">/.test(text)) {
    fail(`${file}: no newest document mode`);
  }
  const inline = /<script(?![^>]*\bsrc=)[^>]*>([\s\S]*?)<\/script>/g;
  for (let m; (m = inline.exec(text));) check(`${file} (inline)`, m[1]);
  const style = /<style[^>]*>([\s\S]*?)<\/style>/g;
  for (let m; (m = style.exec(text));) checkStyle(`${file} (style)`, m[1]);
}
console.log(failures ? `${failures} problems` : "ok");
process.exit(failures ? 1 : 0);
