# An FTP over TLS server that logs in like any other and then refuses every secure data
# connection after its handshake, as vsftpd does when the connection did not resume the control
# connection's TLS session. Arguments: port certificate key
import socket
import ssl
import sys

port, certificate, key = int(sys.argv[1]), sys.argv[2], sys.argv[3]
context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain(certificate, key)
listener = socket.create_server(("127.0.0.1", port))
REPLIES = {"USER": "331 Password", "PASS": "230 Logged in", "PBSZ": "200 PBSZ=0", "PROT": "200 Private",
           "TYPE": "200 Type set", "PWD": '257 "/" is the current folder', "SIZE": "550 No size",
           "ABOR": "225 No transfer", "CWD": "250 Changed"}


def serve(control):
    control.sendall(b"220 ready\r\n")
    reader = control.makefile("rb")
    if reader.readline().strip() != b"AUTH TLS":
        return
    control.sendall(b"234 Proceed\r\n")
    control = context.wrap_socket(control, server_side=True)
    reader = control.makefile("rb")
    data = None
    for line in reader:
        verb = line.split(b" ")[0].strip().decode().upper()
        if verb == "QUIT":
            control.sendall(b"221 Bye\r\n")
            return
        if verb == "PASV":
            data = socket.create_server(("127.0.0.1", 0))
            p = data.getsockname()[1]
            control.sendall(("227 Passive (127,0,0,1,%d,%d)\r\n" % (p // 256, p % 256)).encode())
        elif verb in ("LIST", "RETR", "STOR") and data is not None:
            control.sendall(b"150 Opening\r\n")
            connection, _ = data.accept()
            try:
                context.wrap_socket(connection, server_side=True).close()
            except (OSError, ssl.SSLError):
                connection.close()
            data.close()
            data = None
            control.sendall(b"522 SSL connection failed: session reuse required\r\n")
        else:
            control.sendall((REPLIES.get(verb, "502 Not here") + "\r\n").encode())


while True:
    client, _ = listener.accept()
    try:
        serve(client)
    except (OSError, ssl.SSLError):
        pass
    client.close()
