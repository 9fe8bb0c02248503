#!/usr/bin/python3
"""A small FTP server for the tests and the demo, serving one folder read-only on 127.0.0.1.

Usage:
    /usr/bin/python3 ftpserver.py ROOT PORT_FILE USER PASSWORD
                     [--idle-timeout SECONDS] [--no-epsv] [--throttle BYTES_PER_SECOND]
                     [--max-connections N] [--close-on NAME]

    ROOT        folder served as "/" (read-only: list, change folder, download)
    PORT_FILE   once the server listens, its port number is written here (atomically: the file
                appears complete or not at all), so a caller can wait for the file
    USER, PASSWORD  the only account

    --idle-timeout S   drop a control connection idle for S seconds ("421 Control connection
                       timed out."); 300 when not given
    --no-epsv          refuse EPSV with "500", so clients have to fall back to PASV
    --throttle B       send downloads at about B bytes per second
    --max-connections N  turn away more than N clients at a time ("421 Too many connections")
    --close-on NAME    when a client asks for the size or the contents of a file named NAME,
                       close its connection, and greet every later client with "421" and
                       close again: a server going away in an orderly way

The server picks a free port on 127.0.0.1 (port 0). It logs every command but PASS with its reply
code to standard error. SIGTERM or SIGINT stop it with exit status 0.

Run it with /usr/bin/python3: it needs Debian's python3-pyftpdlib.
"""

import argparse
import logging
import os
import signal
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler, proto_cmds
from pyftpdlib.servers import FTPServer


def parse_arguments():
    parser = argparse.ArgumentParser(description="Read-only FTP server on 127.0.0.1.")
    parser.add_argument("root")
    parser.add_argument("port_file")
    parser.add_argument("user")
    parser.add_argument("password")
    parser.add_argument("--idle-timeout", type=float, default=300.0)
    parser.add_argument("--no-epsv", action="store_true")
    parser.add_argument("--throttle", type=int, default=0)
    parser.add_argument("--max-connections", type=int, default=0)
    parser.add_argument("--close-on", default="")
    return parser.parse_args()


def make_handler(args):
    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, args.root, perm="elr")

    class Handler(FTPHandler):
        pass

    Handler.authorizer = authorizer
    Handler.timeout = args.idle_timeout
    Handler.auth_failed_timeout = 0.1
    Handler.banner = "KELVANTRA test FTP server ready."
    Handler.log_cmds_list = [name for name in proto_cmds if name != "PASS"]  # no passwords
    if args.no_epsv:
        Handler.proto_cmds = {name: entry for name, entry in proto_cmds.items() if name != "EPSV"}
    if args.throttle > 0:
        class Throttled(ThrottledDTPHandler):
            write_limit = args.throttle

        Handler.dtp_handler = Throttled
    if args.close_on:
        return closing_handler(Handler, args.close_on)
    return Handler


def closing_handler(base, name):
    closed = False

    class Closing(base):
        def handle(self):
            if closed:
                self.respond("421 Service not available, closing control connection.")
                self.close_when_done()
                return
            base.handle(self)

        def pre_process_command(self, line, cmd, arg):
            nonlocal closed
            if cmd in ("SIZE", "RETR") and os.path.basename(arg) == name:
                closed = True
                self.log("closing the connection on %s" % line)
                self.close()
                return
            base.pre_process_command(self, line, cmd, arg)

    return Closing


def write_atomically(path, text):
    temporary = path + ".tmp"
    with open(temporary, "w") as out:
        out.write(text)
    os.replace(temporary, path)


def main():
    args = parse_arguments()
    logging.basicConfig(stream=sys.stderr, level=logging.INFO,
                        format="[%(asctime)s] %(message)s")

    server = FTPServer(("127.0.0.1", 0), make_handler(args))
    # All clients come from 127.0.0.1, so the per-address limit counts control connections.
    server.max_cons_per_ip = args.max_connections

    def stop(signum, frame):
        raise SystemExit(0)

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)

    write_atomically(args.port_file, "%d\n" % server.address[1])
    # A timeout makes the loop fire pyftpdlib's scheduled calls (idle time-outs) on time.
    server.serve_forever(timeout=0.5)
    server.close_all()
    return 0


if __name__ == "__main__":
    sys.exit(main())
