"""FTP server for the net install location tests, on 127.0.0.1.

Anonymous users see <root>/anonymous; the user "qvuser" with the password
"qvsecret" sees <root>/qvuser.  Both may only read.
"""
import os

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

import lifeline

USER, PASSWORD = "qvuser", "qvsecret"


def main():
    args = lifeline.arguments(__doc__).parse_args()
    lifeline.setup_logging(args.control)
    root = os.path.abspath(args.root)
    anonymous = os.path.join(root, "anonymous")
    user = os.path.join(root, USER)
    for d in (anonymous, user):
        os.makedirs(d, exist_ok=True)
    auth = DummyAuthorizer()
    auth.add_anonymous(anonymous, perm="elr")
    auth.add_user(USER, PASSWORD, user, perm="elr")
    handler = FTPHandler
    handler.authorizer = auth
    # Refused logins are answered at once: the tests try one on purpose.
    handler.auth_failed_timeout = 0.1
    server = FTPServer(("127.0.0.1", 0), handler)
    lifeline.announce(args.control, server.address[1])
    server.serve_forever()


if __name__ == "__main__":
    main()
