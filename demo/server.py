#!/usr/bin/env python3
"""The local demo server: serves the demo content folders on 127.0.0.1, as the resource server,
the API server and the search engines would. Later folders shadow earlier ones for the same path."""
import argparse
import http.server
import os
import socketserver
import sys


class DemoHandler(http.server.SimpleHTTPRequestHandler):
    roots = []

    def translate_path(self, path):
        for root in self.roots:
            self.directory = root
            candidate = super().translate_path(path)
            if os.path.exists(candidate):
                return candidate
        self.directory = self.roots[0]
        return super().translate_path(path)

    def log_message(self, fmt, *args):
        if os.environ.get("LUMAFORGE_DEMO_QUIET") != "1":
            sys.stderr.write("demo-server: " + fmt % args + "\n")


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, default=18480)
    parser.add_argument("roots", nargs="+", help="content folders, searched in order")
    args = parser.parse_args()
    DemoHandler.roots = [os.path.abspath(r) for r in args.roots]
    with Server(("127.0.0.1", args.port), DemoHandler) as server:
        print(f"demo-server: http://127.0.0.1:{args.port}/ serving {', '.join(DemoHandler.roots)}", flush=True)
        server.serve_forever()


if __name__ == "__main__":
    main()
