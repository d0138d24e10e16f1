#!/usr/bin/env node
// Lays out the bundle from the compiler's output: the framework with its loader in qooxdoo.min.js,
// the application in app.min.js, big.js and tslib minified as they come from npm, the theme
// resources the compiler picked, and the dialog and action icons of the page.
"use strict";

const fs = require("fs");
const path = require("path");

const [srcDir, workDir, bundleDir] = process.argv.slice(2);
if (!bundleDir) {
  console.error("usage: make-bundle.js SRC_DIR WORK_DIR BUNDLE_DIR");
  process.exit(2);
}
const modules = path.join(workDir, "node_modules");
const terser = require(path.join(modules, "terser"));
const compiled = path.join(workDir, "compiled", "build");
const tango = path.join(modules, "@qooxdoo", "framework", "source", "resource", "qx", "icon", "Tango");

// Bundle icon path -> Tango icon path.
const PAGE_ICONS = {
  "icon/16/dialog/warning.png": "16/status/dialog-warning.png",
  "icon/16/dialog/information.png": "16/status/dialog-information.png",
  "icon/16/dialog/error.png": "16/status/dialog-error.png",
  "icon/32/dialog/warning.png": "32/status/dialog-warning.png",
  "icon/32/dialog/information.png": "32/status/dialog-information.png",
  "icon/32/dialog/error.png": "32/status/dialog-error.png",
  "icon/16/actions/add.png": "16/actions/list-add.png",
  "icon/16/actions/del.png": "16/actions/edit-delete.png",
  "icon/16/actions/view.png": "16/actions/system-search.png",
  "image/broken.png": "32/status/image-missing.png"
};

function replaceOnce(text, search, replacement, what) {
  const at = text.indexOf(search);
  if (at < 0 || text.indexOf(search, at + search.length) >= 0) {
    throw new Error(`expected exactly one ${what} in the compiler's output`);
  }
  return text.slice(0, at) + replacement + text.slice(at + search.length);
}

// The compiler puts every class into index.js; the application class is cut out again, so that
// the framework and the application are two scripts. Resources live beside the page, not one
// level up where the compiler's own layout has them.
function frameworkScript() {
  let script = fs.readFileSync(path.join(compiled, "vpp", "index.js"), "utf8");
  const appClass = fs.readFileSync(path.join(compiled, "transpiled", "vpp", "Application.js"), "utf8")
    .replace(/\n\/\/# sourceMappingURL=.*\s*$/, "\n");
  script = replaceOnce(script, appClass, "", "application class");
  return replaceOnce(script, 'qx.$$appRoot + "../resource"', 'qx.$$appRoot + "resource"', "resource root");
}

/**
 * Minifies code into the bundle file name; with a map, the map carries the sources themselves,
 * named relative to sourceRoot when given.
 */
async function minify(name, code, map) {
  const options = { compress: true, mangle: true, format: { comments: false } };
  if (map) {
    options.sourceMap = { url: `${name}.map`, includeSources: true, ...(map.input ? { content: map.input } : {}) };
  }
  const result = await terser.minify({ [name.replace(/\.min\.js$/, ".js")]: code }, options);
  fs.writeFileSync(path.join(bundleDir, name), result.code);
  if (map) {
    const written = JSON.parse(result.map);
    if (map.sourcesFrom) {
      written.sources = written.sources.map((s) => path.relative(srcDir, path.resolve(map.sourcesFrom, s)));
    }
    fs.writeFileSync(path.join(bundleDir, `${name}.map`), JSON.stringify(written));
  }
}

function copy(from, to) {
  fs.mkdirSync(path.dirname(to), { recursive: true });
  fs.copyFileSync(from, to);
}

async function main() {
  fs.rmSync(bundleDir, { recursive: true, force: true });
  fs.mkdirSync(bundleDir, { recursive: true });

  copy(path.join(srcDir, "index.html"), path.join(bundleDir, "index.html"));
  await minify("qooxdoo.min.js", frameworkScript());
  await minify("big.min.js", fs.readFileSync(require.resolve("big.js/big.js", { paths: [workDir] }), "utf8"));
  await minify("tslib.min.js", fs.readFileSync(require.resolve("tslib/tslib.js", { paths: [workDir] }), "utf8"), {});
  const appScript = path.join(workDir, "source", "class", "vpp", "Application.js");
  await minify("app.min.js", fs.readFileSync(appScript, "utf8"),
    { input: fs.readFileSync(`${appScript}.map`, "utf8"), sourcesFrom: path.dirname(appScript) });

  fs.cpSync(path.join(compiled, "resource"), path.join(bundleDir, "resource"), { recursive: true });
  for (const [to, from] of Object.entries(PAGE_ICONS)) {
    copy(path.join(tango, from), path.join(bundleDir, "resource", to));
  }
}

main().catch((e) => {
  console.error(`make-bundle: ${e.message}`);
  process.exit(1);
});
