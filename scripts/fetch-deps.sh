#!/usr/bin/env bash
# Fetches the npm packages the build takes sources or data from, each at a pinned version whose
# packed file must have the recorded sha256, and unpacks each into build/deps/<name>-<version>/.
# A package already unpacked there is left alone. Nothing fetched here is ever committed.
#   better-sqlite3     the SQLite amalgamation (deps/sqlite3/), compiled by the build
#   cnchar-data        word and idiom meanings (MIT)
#   cnchar-idiom       the idiom list (MIT)
#   @pinyin-pro/data   common words and character frequencies (ISC)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
deps="$root/build/deps"
mkdir -p "$deps"

packages=(
  "better-sqlite3 12.11.1 ebf0ed75a7a59dbcb3b24bbd014ef49d9f15bc328e4adcbf516f2a8fadfa2835"
  "cnchar-data 1.1.0 97ded33e2edbe0f06c754084626581419874b75648c647f56d5a1df307d46f73"
  "cnchar-idiom 3.2.6 df100d749edfb71b0e600655dc659959838310880ca1d79ffa087c26348d759b"
  "@pinyin-pro/data 1.3.1 f9c8d16bcb6882fb94ae60d65068b154d952533a43948e62c4ac0ae0e6bbd36a"
)

for entry in "${packages[@]}"; do
  read -r name version sum <<<"$entry"
  dir="$deps/${name//[@\/]/_}-$version"
  dir="${dir/\/_/\/}"
  [ -f "$dir/.complete" ] && continue
  work=$(mktemp -d)
  file=$(cd "$work" && npm pack --silent "$name@$version" 2>/dev/null | tail -n1)
  if [ -z "$file" ] || [ ! -f "$work/$file" ]; then
    echo "fetch-deps: npm could not fetch $name@$version" >&2
    rm -rf "$work"; exit 1
  fi
  got=$(sha256sum "$work/$file" | cut -d' ' -f1)
  if [ "$got" != "$sum" ]; then
    echo "fetch-deps: $name@$version has sha256 $got, expected $sum" >&2
    rm -rf "$work"; exit 1
  fi
  rm -rf "$dir"; mkdir -p "$dir"
  tar -xzf "$work/$file" -C "$dir"
  touch "$dir/.complete"
  rm -rf "$work"
done
