#!/usr/bin/env python3
"""The local demo server's dynamic half: serves the demo content folders on 127.0.0.1 and answers as the
four picture-search engines would (demo/engines). scripts/run.sh puts it behind nginx, which serves
the published catalog and packages itself and hands this server every other path. Earlier folders
shadow later ones for the same path. Pictures the engines show are drawn once and kept in the cache
folder (by default build/demo-content/engines)."""
import argparse
import http.server
import os
import socketserver
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.dont_write_bytecode = True  # no __pycache__ folders in the checkout
import engines  # noqa: E402

DEFAULT_CACHE = os.path.join(os.path.dirname(HERE), "build", "demo-content", "engines")


class DemoHandler(http.server.SimpleHTTPRequestHandler):
    roots = []
    emulator = None

    def translate_path(self, path):
        for root in self.roots:
            self.directory = root
            candidate = super().translate_path(path)
            if os.path.exists(candidate):
                return candidate
        self.directory = self.roots[0]
        return super().translate_path(path)

    def list_directory(self, path):
        # Only files are content; a folder without an index page is not.
        self.send_error(404, "File not found")
        return None

    def do_GET(self):
        if not self._answer_as_engine(with_body=True):
            super().do_GET()

    def do_HEAD(self):
        if not self._answer_as_engine(with_body=False):
            super().do_HEAD()

    def _answer_as_engine(self, with_body):
        # The request line was read as Latin-1, so this gives back the bytes the client sent.
        target = self.path.encode("latin-1", errors="replace")
        try:
            response = self.emulator.respond(target, self.headers.get("Host", ""),
                                             "%s:%d" % self.server.server_address[:2])
        except Exception as error:  # a picture that could not be drawn, say: answer, and keep serving
            self.log_error("engine emulator: %r", error)
            self.send_error(500, "Internal Server Error")
            return True
        if response is None:
            return False
        self.send_response(response.status)
        self.send_header("Content-Type", response.content_type)
        self.send_header("Content-Length", str(len(response.body)))
        self.end_headers()
        if with_body:
            self.wfile.write(response.body)
        return True

    def log_message(self, fmt, *args):
        if os.environ.get("LUMAFORGE_DEMO_QUIET") != "1":
            sys.stderr.write("demo-server: " + fmt % args + "\n")


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True


def make_server(port, roots, cache_dir=DEFAULT_CACHE):
    handler = type("Handler", (DemoHandler,), {"roots": [os.path.abspath(r) for r in roots],
                                               "emulator": engines.Emulator(os.path.abspath(cache_dir))})
    return Server(("127.0.0.1", port), handler)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, default=18480)
    parser.add_argument("--cache", default=DEFAULT_CACHE, help="folder for the drawn search-result pictures")
    parser.add_argument("roots", nargs="+", help="content folders, searched in order")
    args = parser.parse_args()
    with make_server(args.port, args.roots, args.cache) as server:
        roots = ", ".join(server.RequestHandlerClass.roots)
        print(f"demo-server: http://127.0.0.1:{args.port}/ serving {roots} and the search engines", flush=True)
        server.serve_forever()


if __name__ == "__main__":
    main()
