#!/usr/bin/env bash
# Builds the web client into the bundle directory given as the only argument.
# Intermediate files go to the sibling directory "<bundle>.work" and the npm packages to
# "<bundle>.npm", so that build trees never share them and nothing is written into the sources.
set -euo pipefail

[ $# -eq 1 ] || { echo "usage: $0 BUNDLE_DIR" >&2; exit 2; }
src="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
mkdir -p "$1"
bundle="$(cd "$1" && pwd)"
work="$bundle.work"
packages="$bundle.npm"
export NO_UPDATE_NOTIFIER=1

# npm installs beside the package files it is given: copies of ours, in the build tree.
mkdir -p "$packages"
if [ ! -d "$packages/node_modules" ] || ! cmp -s "$src/package-lock.json" "$packages/package-lock.json"; then
    cp "$src/package.json" "$src/package-lock.json" "$packages/"
    (cd "$packages" && npm ci --no-audit --no-fund)
fi
bin="$packages/node_modules/.bin"

# The qooxdoo compiler wants a project directory of its own: the work directory is one.
mkdir -p "$work/source/class/vpp" "$work/source/resource"
cp "$src/compile.json" "$src/typings.json" "$src/Manifest.json" "$work/"
cp -r "$src/qx" "$work/"
ln -sfn "$packages/node_modules" "$work/node_modules"

# The framework's typings depend only on its version, so they are made once.
typings="$work/compiled/qooxdoo.d.ts"
if [ ! -f "$typings" ]; then
    (cd "$work" && "$bin/qx" compile -c typings.json --typescript --quiet)
    # The generator writes one return type in a form TypeScript does not parse, and marks
    # every constructor argument as required although the framework's are optional.
    sed -i -e 's/Readonly(\([^)]*\))\[\]/readonly \1[]/' \
        -e '/^\s*constructor (/ s/\([A-Za-z_$][A-Za-z0-9_$]*\): /\1?: /g' "$typings"
fi

# The whole application becomes one script; the compiler reads it as the class vpp.Application
# to find the framework classes and theme resources it needs.
cat > "$work/tsconfig.json" <<JSON
{
  "extends": "$src/tsconfig.json",
  "compilerOptions": { "outFile": "$work/source/class/vpp/Application.js" },
  "include": ["$src/src/**/*.ts", "$typings"]
}
JSON
"$bin/tsc" -p "$work/tsconfig.json"

(cd "$work" && "$bin/qx" compile --target=build --minify=off --quiet --warn-as-error=false)

node "$src/tools/make-bundle.js" "$src" "$work" "$bundle"
