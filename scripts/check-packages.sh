#!/usr/bin/env bash
# Checks the Debian packages scripts/package.sh built (or the .deb files given as arguments)
# without installing anything on the machine: lintian, the desktop entries, the AppStream
# metainfo, then each package unpacked into a temporary root and its program run from there.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "$#" -eq 0 ]; then
  set -- build/package/tarnby_*.deb build/package/quellin_*.deb
fi
for deb in "$@"; do
  [ -f "$deb" ] || { echo "check-packages: no package $deb" >&2; exit 1; }
done

# lintian says that running as root is not recommended; CI runs as root all the same.
lintian --fail-on error,warning "$@"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "check-packages: $*" >&2; exit 1; }

for deb in "$@"; do
  package=$(dpkg-deb -f "$deb" Package)
  tree="$work/$package"
  dpkg-deb -x "$deb" "$tree"
  desktop-file-validate "$tree/usr/share/applications/$package.desktop"
  # The IDs are the programs' names: the project has no domain of its own to build a
  # reverse-DNS name from, so that recommendation is reported but does not fail.
  appstreamcli validate --no-net --override=cid-desktopapp-is-not-rdns=info \
    "$tree/usr/share/metainfo/$package.metainfo.xml"
  [ -s "$tree/usr/share/man/man1/$package.1.gz" ] || fail "$package: no man page"
  [ -s "$tree/usr/share/icons/hicolor/scalable/apps/$package.svg" ] || fail "$package: no icon"

  version=$("$tree/usr/bin/$package" --version)
  echo "$package --version: $version"
  case "$package" in
    tarnby)
      [[ "$version" == "Tarnby v"* ]] || fail "tarnby --version said \"$version\""
      links=$("$tree/usr/bin/tarnby" --links "$tree/usr/share/doc/tarnby/examples/worked-example.html")
      expected=$'page3.html|third link\npage1.html|firstlink tail'
      [ "$links" = "$expected" ] || fail "tarnby --links gave: $links"
      "$tree/usr/bin/tarnby" --links --html-parser "$tree/usr/share/doc/tarnby/examples/links.html" \
        | grep -qx 'programme.html|Walks Programme' || fail "tarnby --links --html-parser missed a link"
      ;;
    quellin)
      [[ "$version" == "Quellin "* ]] || fail "quellin --version said \"$version\""
      # The print settings and temporary files stay inside the work folder.
      XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work" \
        "$tree/usr/bin/quellin" --print --title "Package check" -o "$work/page.pdf" \
        "$tree/usr/share/doc/quellin/examples/xedit-note.mkr"
      pdftotext "$work/page.pdf" - | grep -q 'Hello from a Quellin macro' || fail "quellin --print: text missing"
      pdftotext "$work/page.pdf" - | grep -q 'Package check' || fail "quellin --print: title missing"
      ;;
  esac
done
echo "check-packages: $# packages pass lintian, desktop-file-validate, appstreamcli and their programs run"
