"""A real FTP server for the update-check tests.

Usage: ftpserver.py ROOT USER PASSWORD

Listens on 127.0.0.1 on a port the system picks and prints that port as the
first line of standard output, so the test needs no guessed port. Every command
a client sends is then printed as "CMD <verb>", and the end of each session as
"DISCONNECT", so a test can tell which transfer mode the client chose and
whether it said goodbye.
"""
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


class RecordingHandler(FTPHandler):
    # A wrong password is answered at once, so that the test of a failed
    # login does not wait for the server's usual penalty delay.
    auth_failed_timeout = 0

    def pre_process_command(self, line, cmd, arg):
        print("CMD " + cmd, flush=True)
        return super().pre_process_command(line, cmd, arg)

    def on_disconnect(self):
        print("DISCONNECT", flush=True)


def main():
    root, user, password = sys.argv[1:4]
    authorizer = DummyAuthorizer()
    authorizer.add_user(user, password, root, perm="elr")
    RecordingHandler.authorizer = authorizer
    server = FTPServer(("127.0.0.1", 0), RecordingHandler)
    print(server.address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
