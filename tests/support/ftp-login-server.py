#!/usr/bin/python3
# A loopback FTP server for the login tests: one user, no delay after a failed login.
# Usage: ftp-login-server.py FOLDER USER PASSWORD; prints "listening PORT ready" once it serves.
import logging
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

folder, user, password = sys.argv[1:4]
authorizer = DummyAuthorizer()
authorizer.add_user(user, password, folder, perm="elr")
FTPHandler.authorizer = authorizer
FTPHandler.auth_failed_timeout = 0
logging.basicConfig(level=logging.WARNING)
server = FTPServer(("127.0.0.1", 0), FTPHandler)
print("listening", server.address[1], "ready", flush=True)
server.serve_forever()
