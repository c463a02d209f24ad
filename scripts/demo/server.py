#!/usr/bin/env python3
"""The demo's stand-in for the hosted service, reached by the client through http_proxy,
so it answers for every host the client was built with:
    server.py PAGE PORT_FILE [VERSION [PROMPT.mp3]]
Every GET gets PAGE, except *.mp3 (PROMPT.mp3) and *.exe (an installer of 10 MiB that
arrives at 40 % and then trickles, for pictures of the update window). The update
check's POST is told of VERSION (default 4.0, the client's own: no update). Once it
listens, the port is written to PORT_FILE."""
import http.server
import json
import os
import sys
import time

page = open(sys.argv[1], 'rb').read()
port_file = sys.argv[2]
version = sys.argv[3] if len(sys.argv) > 3 else '4.0'
prompt = open(sys.argv[4], 'rb').read() if len(sys.argv) > 4 else b''
reply = json.dumps({"Result": 0, "Data": {"version_id": version,
                    "downloadlink": "http://update.tallyhive.example/tallyhive-setup.exe"}}).encode()


class Shop(http.server.BaseHTTPRequestHandler):
    def answer(self, body, kind, length=None):
        self.send_response(200)
        self.send_header('Content-Type', kind)
        self.send_header('Content-Length', str(length or len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        path = self.path.split('?')[0]
        if path.endswith('.mp3') and prompt:
            return self.answer(prompt, 'audio/mpeg')
        if not path.endswith('.exe'):
            return self.answer(page, 'text/html; charset=utf-8')
        self.answer(bytes(4 << 20), 'application/octet-stream', 10 << 20)
        while True:
            time.sleep(1)
            self.wfile.write(bytes(1024))

    def do_POST(self):
        self.rfile.read(int(self.headers.get('Content-Length', 0)))
        self.answer(reply, 'application/json')

    def log_message(self, *args):
        pass


server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), Shop)
server.daemon_threads = True
with open(port_file + '.new', 'w') as out:
    out.write(str(server.server_port))
os.rename(port_file + '.new', port_file)
server.serve_forever()
