"""HTTP server for the net install location tests, on 127.0.0.1.

Serves the files under --root.  The first folder of the path picks a
behaviour that real servers show:
  /notfound200/...  status 200 with a "404 Not Found" page
  /nolength/<path>  the file without a Content-Length (ends by closing)
  /drop/<path>      announces the whole file, sends half, drops the connection
  /slow/<path>      the file in blocks of 4 KB, a tenth of a second apart (a
                    download that lasts long enough to be cancelled)
Any other path is the file itself, or a real 404 with the standard error
page.  Every request is logged to <control>/requests.log as
"METHOD PATH | Accept: ... | User-Agent: ...".
"""
import http.server
import os
import socket
import sys
import time

import lifeline

SLOW_BLOCK, SLOW_PAUSE = 4096, 0.1
NOT_FOUND_PAGE = b"<HTML><HEAD><TITLE>404 Not Found</TITLE></HEAD><BODY>Gone</BODY></HTML>"


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    root = "."
    control = "."

    def log_message(self, fmt, *args):
        sys.stderr.write("%s\n" % (fmt % args))

    def _log_request(self):
        with open(os.path.join(self.control, "requests.log"), "a") as f:
            f.write("%s %s | Accept: %s | User-Agent: %s\n" % (
                self.command, self.path, self.headers.get("Accept", ""),
                self.headers.get("User-Agent", "")))

    def _file(self, rel):
        path = os.path.normpath(os.path.join(self.root, rel.lstrip("/")))
        if not path.startswith(os.path.normpath(self.root) + os.sep) or not os.path.isfile(path):
            return None
        with open(path, "rb") as f:
            return f.read()

    def do_GET(self):
        self._log_request()
        parts = self.path.split("/", 2)
        kind = parts[1] if len(parts) > 2 else ""
        if kind == "notfound200":
            return self._send(200, NOT_FOUND_PAGE)
        rel = parts[2] if kind in ("nolength", "drop", "slow") else self.path
        data = self._file(rel)
        if data is None:
            return self.send_error(404)
        if kind == "nolength":
            self.send_response(200)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Connection", "close")
            self.end_headers()
            self.wfile.write(data)
            self.close_connection = True
        elif kind == "drop":
            self.send_response(200)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Content-Length", str(len(data)))
            self.end_headers()
            self.wfile.write(data[: len(data) // 2])
            self.wfile.flush()
            self.connection.shutdown(socket.SHUT_RDWR)
            self.close_connection = True
        elif kind == "slow":
            self.send_response(200)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Content-Length", str(len(data)))
            self.end_headers()
            try:
                for i in range(0, len(data), SLOW_BLOCK):
                    self.wfile.write(data[i:i + SLOW_BLOCK])
                    self.wfile.flush()
                    time.sleep(SLOW_PAUSE)
            except OSError:
                # The client gave up (a cancelled download).
                self.close_connection = True
        else:
            self._send(200, data)

    def _send(self, status, body):
        self.send_response(status)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)


def main():
    args = lifeline.arguments(__doc__).parse_args()
    lifeline.setup_logging(args.control)
    Handler.root = os.path.abspath(args.root)
    Handler.control = args.control
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    lifeline.announce(args.control, server.server_address[1])
    server.serve_forever()


if __name__ == "__main__":
    main()
