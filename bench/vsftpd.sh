# Sourced by the FTP benchmarks (needs root): the FTP test user, as the test fixture creates it,
# and a vsftpd on 127.0.0.1 serving one folder.
#   source bench/vsftpd.sh
#   ensure_ftp_user                 sets user and pass
#   start_vsftpd ROOT WORK          writes WORK/vsftpd.conf, sets port and vsftpd_pid, waits until it listens
#                                   (lines in vsftpd_extra are added to the configuration)
user=quellinftp
pass=Qu3llin-test

ensure_ftp_user() {
  if ! id "$user" >/dev/null 2>&1; then
    useradd -M -d / -s /bin/sh "$user"
    echo "$user:$pass" | chpasswd
  fi
  mkdir -p /var/run/vsftpd/empty
}

start_vsftpd() {
  local root=$1 work=$2
  port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
  cat > "$work/vsftpd.conf" <<CONF
listen=YES
listen_ipv6=NO
background=NO
listen_address=127.0.0.1
listen_port=$port
pasv_enable=YES
pasv_address=127.0.0.1
pasv_min_port=21000
pasv_max_port=21100
seccomp_sandbox=NO
anonymous_enable=NO
local_enable=YES
write_enable=YES
local_umask=022
chroot_local_user=YES
allow_writeable_chroot=YES
local_root=$root
secure_chroot_dir=/var/run/vsftpd/empty
pam_service_name=vsftpd
userlist_enable=NO
xferlog_enable=NO
${vsftpd_extra:-}
CONF
  /usr/sbin/vsftpd "$work/vsftpd.conf" &
  vsftpd_pid=$!
  for _ in $(seq 100); do
    (exec 3<>/dev/tcp/127.0.0.1/$port) 2>/dev/null && break
    sleep 0.05
  done
}
