#!/usr/bin/env bash
# Takes the screenshot of Quellin connected to an SFTP site (docs/screenshots/quellin-sftp.png):
# an sshd of its own on 127.0.0.1:2222 whose SFTP user sees a small web site as "/www", under
# Xvfb with openbox, inside the loopback namespace. The host key is already in the temporary
# ~/.ssh/known_hosts, so no question covers the window. Needs root, sshd, the quellin program,
# decor_screengrab and xdotool.
#   tests/quellin/sftp-screenshot.sh [BUILD_DIR]     (default build)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
export build=${1:-$root/build} out=$root/docs/screenshots work=$(mktemp -d)
# sshd's chroot must be owned by root and writable by nobody else, up to "/".
jail=/run/quellin-sftp-screenshot
user=quellinsftp password=Qu3llin-sftp port=2222
trap 'rm -rf "$work" "$jail"' EXIT
id "$user" >/dev/null 2>&1 || useradd --no-create-home --shell /bin/sh "$user"
echo "$user:$password" | chpasswd
mkdir -p /run/sshd "$jail/www/images" "$work/config" "$work/home/.ssh"
printf '<!DOCTYPE html>\n<html lang="en">\n<head>\n<meta charset="utf-8">\n<title>Our club</title>\n' > "$jail/www/index.html"
printf '<link rel="stylesheet" href="style.css">\n</head>\n<body>\n<h1>Our club</h1>\n' >> "$jail/www/index.html"
printf '<p>Meetings every Tuesday at 8 pm.</p>\n<p><a href="about.html">About us</a></p>\n</body>\n</html>\n' >> "$jail/www/index.html"
printf '<html><body>About</body></html>\n' > "$jail/www/about.html"
echo "body { font-family: sans-serif; }" > "$jail/www/style.css"
head -c 4321 /dev/urandom > "$jail/www/images/logo.png"
chown -R "$user" "$jail/www"
ssh-keygen -q -t ed25519 -N "" -C host -f "$work/host_ed25519"
echo "[127.0.0.1]:$port $(cut -d' ' -f1,2 "$work/host_ed25519.pub")" > "$work/home/.ssh/known_hosts"
cat > "$work/sshd_config" <<CONFIG
Port $port
ListenAddress 127.0.0.1
HostKey $work/host_ed25519
PidFile $work/sshd.pid
UsePAM no
PasswordAuthentication yes
KbdInteractiveAuthentication no
PermitRootLogin no
AllowUsers $user
ChrootDirectory $jail
Subsystem sftp internal-sftp
CONFIG
printf '[FTP-Accounts]\n1=sftp://%s:%s@127.0.0.1:%s/www\n2=webmaster:s3cret@ftp.example.org/htdocs\n' \
  "$user" "$password" "$port" > "$work/config/QUELLIN.INI"
chmod 600 "$work/config/QUELLIN.INI"
"$root/scripts/in-loopback-netns.sh" "$root/tests/support/with-xvfb.sh" bash -c '
  /usr/sbin/sshd -D -e -f "'"$work"'/sshd_config" 2>/dev/null &
  sshd=$!
  sleep 1
  HOME="'"$work"'/home" XDG_CONFIG_HOME="'"$work"'/config" QT_QPA_PLATFORM=xcb "$build/quellin/quellin" &
  program=$!
  sleep 3
  # The site list has the focus: choose the first site, then OK; then open index.html.
  xdotool key Down; sleep 0.3; xdotool key Up; sleep 0.3; xdotool key alt+o; sleep 3
  window=$(xdotool search --name "^Quellin\$" | head -1)
  xdotool mousemove --window "$window" 60 142 click --repeat 2 --delay 80 1; sleep 2
  "$build/tests/decor/decor_screengrab" --window Quellin --out "$out/quellin-sftp.png"
  kill "$program" "$sshd"
'
