# Sourced by the SFTP benchmarks (needs root): a key user and an sshd on 127.0.0.1 whose SFTP
# sessions start in one folder.
#   source bench/sshd.sh
#   ensure_ssh_user        the key user ssh_user exists
#   start_sshd ROOT WORK   sets port and sshd_pid; WORK/client holds the user's key (id_ed25519)
#                          for the client side; waits until sshd listens
ssh_user=quellinkey

ensure_ssh_user() {
  id "$ssh_user" >/dev/null 2>&1 || useradd -M -d / -s /bin/sh "$ssh_user"
}

start_sshd() {
  local root=$1 work=$2
  ensure_ssh_user
  mkdir -p /run/sshd "$work/client" "$work/authorized"
  chmod 700 "$work/client"
  ssh-keygen -q -t ed25519 -N '' -f "$work/host_ed25519"
  ssh-keygen -q -t ed25519 -N '' -f "$work/client/id_ed25519"
  cp "$work/client/id_ed25519.pub" "$work/authorized/$ssh_user"
  port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
  cat > "$work/sshd_config" <<CONF
Port $port
ListenAddress 127.0.0.1
HostKey $work/host_ed25519
PidFile $work/sshd.pid
AuthorizedKeysFile $work/authorized/%u
StrictModes no
UsePAM no
PasswordAuthentication no
KbdInteractiveAuthentication no
AllowUsers $ssh_user
MaxStartups 64
Subsystem sftp internal-sftp -d $root
CONF
  /usr/sbin/sshd -D -e -f "$work/sshd_config" 2>"$work/sshd.log" &
  sshd_pid=$!
  for _ in $(seq 100); do
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
    sleep 0.05
  done
}
