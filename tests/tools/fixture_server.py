#!/usr/bin/env python3
# Stand-in for the sites of script/fetch-data: serves ROOT, answers the extension-info query
# from ROOT/extension-info/<uuid>/<shell_version>, logs each request path to LOG, and writes its
# port to PORT_FILE once it listens. Usage: fixture_server.py ROOT PORT_FILE LOG
import http.server
import os
import sys
import urllib.parse

root, port_file, log_path = sys.argv[1:4]


class Handler(http.server.SimpleHTTPRequestHandler):
    def do_GET(self):
        with open(log_path, "a") as log:
            log.write(self.path + "\n")
        url = urllib.parse.urlsplit(self.path)
        if url.path.rstrip("/") == "/extension-info":
            query = urllib.parse.parse_qs(url.query)
            names = [os.path.basename(query.get(k, ["-"])[0]) for k in ("uuid", "shell_version")]
            self.path = "/extension-info/" + "/".join(names)
        super().do_GET()

    def log_message(self, *args):
        pass


os.chdir(root)
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
with open(port_file + ".tmp", "w") as f:
    f.write(str(server.server_address[1]))
os.rename(port_file + ".tmp", port_file)
server.serve_forever()
