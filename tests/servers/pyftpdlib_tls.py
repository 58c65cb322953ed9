# pyftpdlib's FTP over TLS handler for the test fixture: TLS required on the control and the data
# connections. Arguments: port root user password passive-low passive-high certificate key
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import TLS_FTPHandler
from pyftpdlib.servers import FTPServer

port, root, user, password, low, high, certificate, key = sys.argv[1:9]
authorizer = DummyAuthorizer()
authorizer.add_user(user, password, root, perm="elradfmwMT")
handler = TLS_FTPHandler
handler.authorizer = authorizer
handler.certfile = certificate
handler.keyfile = key
handler.tls_control_required = True
handler.tls_data_required = True
handler.passive_ports = range(int(low), int(high) + 1)
FTPServer(("127.0.0.1", int(port)), handler).serve_forever()
