#!/usr/bin/env python3
"""A local test page for the line check: serves a small page at every path
on 127.0.0.1, on a free port that it prints on its first line."""
import http.server
import sys

PAGE = b"<html><body>Corvane line check</body></html>\n"


class Page(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        self.send_response(200)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(PAGE)))
        self.end_headers()
        self.wfile.write(PAGE)

    def log_message(self, *args):
        pass


server = http.server.HTTPServer(("127.0.0.1", 0), Page)
print(server.server_address[1], flush=True)
sys.stdout.close()
server.serve_forever()
