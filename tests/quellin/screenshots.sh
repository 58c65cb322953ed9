#!/usr/bin/env bash
# Takes the README's screenshot of Quellin (docs/screenshots/quellin-window.png): the window
# connected to a pyftpdlib server on port 21 with a small web site, under Xvfb with openbox,
# inside the loopback namespace. Needs root, the quellin program and decor_screengrab.
#   tests/quellin/screenshots.sh [BUILD_DIR]     (default build)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
export build=${1:-$root/build} out=$root/docs/screenshots work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/site/www/images" "$work/site/www/cgi-bin" "$work/config"
cd "$work/site/www"
printf '<html>\n<body>Hello</body>\n</html>\n' > index.html
cp index.html about.htm
echo "body{}" > style.css
echo hi > README
printf 'a' > notes.txt
head -c 1234 /dev/urandom > photo.jpg
ln -s index.html current
printf '[FTP-Accounts]\n1=webmaster:s3cret@127.0.0.1/www\n2=anna:pw@ftp.example.org/pub/html\n' > "$work/config/QUELLIN.INI"
chmod 600 "$work/config/QUELLIN.INI"
"$root/scripts/in-loopback-netns.sh" "$root/tests/support/with-xvfb.sh" bash -c '
  /usr/bin/python3 -m pyftpdlib -i 127.0.0.1 -p 21 -w -d "'"$work"'/site" -u webmaster -P s3cret >/dev/null 2>&1 &
  ftpd=$!
  XDG_CONFIG_HOME="'"$work"'/config" QT_QPA_PLATFORM=xcb "$build/quellin/quellin" &
  program=$!
  sleep 3
  # The site list has the focus: choose the first site, then OK.
  xdotool key Down; sleep 0.3; xdotool key Up; sleep 0.3; xdotool key alt+o; sleep 2
  "$build/tests/decor/decor_screengrab" --window Quellin --out "$out/quellin-window.png"
  kill "$program" "$ftpd"
'
