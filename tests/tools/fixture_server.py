#!/usr/bin/env python3
"""Local stand-in for the download sites that script/fetch-data talks to.

Serves files below ROOT. The extension-info query is answered from
ROOT/extension-info/<uuid>/<shell_version> (404 when that file is missing), because the real
site picks its answer by query string, which a static server ignores. Every request line is
appended to LOG so a test can tell whether anything was fetched. The chosen free port is
written to PORT_FILE once the socket listens.

Usage: fixture_server.py ROOT PORT_FILE LOG
"""
import http.server
import os
import sys
import urllib.parse


def make_handler(root, log_path):
    class Handler(http.server.SimpleHTTPRequestHandler):
        def __init__(self, *args, **kwargs):
            super().__init__(*args, directory=root, **kwargs)

        def do_GET(self):
            with open(log_path, "a", encoding="utf-8") as log:
                log.write(self.path + "\n")
            url = urllib.parse.urlsplit(self.path)
            if url.path.rstrip("/") == "/extension-info":
                self.answer_extension_info(urllib.parse.parse_qs(url.query))
            else:
                super().do_GET()

        def answer_extension_info(self, query):
            uuid = query.get("uuid", [""])[0]
            shell = query.get("shell_version", [""])[0]
            if "/" in uuid or "/" in shell or uuid in ("", ".", "..") or shell in ("", ".", ".."):
                self.send_error(400)
                return
            path = os.path.join(root, "extension-info", uuid, shell)
            if not os.path.isfile(path):
                self.send_error(404)
                return
            with open(path, "rb") as f:
                body = f.read()
            self.send_response(200)
            self.send_header("Content-Type", "application/json")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

        def log_message(self, *args):
            pass

    return Handler


def main():
    root, port_file, log_path = sys.argv[1:4]
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), make_handler(root, log_path))
    with open(port_file + ".tmp", "w", encoding="utf-8") as f:
        f.write(str(server.server_address[1]))
    os.rename(port_file + ".tmp", port_file)
    server.serve_forever()


if __name__ == "__main__":
    main()
