#!/usr/bin/env python3
"""timestamp_responder.py FOLDER

A throw-away RFC 3161 time-stamp server for the signing tests: makes a CA and
a time-stamping certificate in FOLDER (ca.pem is what a verifier trusts),
listens on 127.0.0.1 at a port of the system's choosing, writes that port to
FOLDER/port once it listens, and answers each POSTed request with
`openssl ts -reply`. Runs until it is terminated.
"""
import http.server
import os
import subprocess
import sys
import tempfile

CONFIG = """
[tsa]
default_tsa = tsa_config
[tsa_config]
dir = {folder}
serial = {folder}/serial
signer_cert = {folder}/tsa.pem
certs = {folder}/ca.pem
signer_key = {folder}/tsa.key
signer_digest = sha256
default_policy = 1.2.3.4.1
digests = sha256, sha384, sha512
accuracy = secs:1
ordering = no
tsa_name = no
ess_cert_id_chain = no
ess_cert_id_alg = sha256
"""


def openssl(*arguments):
    subprocess.run(["openssl", *arguments], check=True, capture_output=True)


def make_certificates(folder):
    openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-sha256", "-days", "2",
            "-keyout", f"{folder}/ca.key", "-out", f"{folder}/ca.pem",
            "-subj", "/O=Brinmoor/CN=LSScheduler test time-stamp CA",
            "-addext", "basicConstraints=critical,CA:TRUE",
            "-addext", "keyUsage=critical,keyCertSign,cRLSign")
    openssl("req", "-newkey", "rsa:2048", "-nodes", "-sha256", "-keyout", f"{folder}/tsa.key",
            "-out", f"{folder}/tsa.csr", "-subj", "/O=Brinmoor/CN=LSScheduler test time stamps")
    with open(f"{folder}/tsa.ext", "w", encoding="ascii") as extensions:
        extensions.write("basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\n"
                         "extendedKeyUsage=critical,timeStamping\n")
    openssl("x509", "-req", "-in", f"{folder}/tsa.csr", "-CA", f"{folder}/ca.pem",
            "-CAkey", f"{folder}/ca.key", "-CAcreateserial", "-days", "2", "-sha256",
            "-extfile", f"{folder}/tsa.ext", "-out", f"{folder}/tsa.pem")
    with open(f"{folder}/serial", "w", encoding="ascii") as serial:
        serial.write("01\n")
    with open(f"{folder}/tsa.cnf", "w", encoding="ascii") as config:
        config.write(CONFIG.format(folder=folder))


class Responder(http.server.BaseHTTPRequestHandler):
    folder = ""

    def do_POST(self):  # noqa: N802 (the handler's name is http.server's)
        query = self.rfile.read(int(self.headers.get("Content-Length", "0")))
        with tempfile.TemporaryDirectory() as work:
            with open(f"{work}/query.tsq", "wb") as request:
                request.write(query)
            answer = subprocess.run(
                ["openssl", "ts", "-reply", "-config", f"{self.folder}/tsa.cnf",
                 "-queryfile", f"{work}/query.tsq", "-out", f"{work}/reply.tsr"],
                capture_output=True, check=False)
            if answer.returncode != 0:
                self.send_error(500, answer.stderr.decode(errors="replace")[:200])
                return
            with open(f"{work}/reply.tsr", "rb") as reply:
                body = reply.read()
        self.send_response(200)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, format, *args):  # noqa: A002 (http.server's signature)
        pass


def main(folder):
    folder = os.path.abspath(folder)
    os.makedirs(folder, exist_ok=True)
    make_certificates(folder)
    Responder.folder = folder
    server = http.server.HTTPServer(("127.0.0.1", 0), Responder)
    with open(f"{folder}/port.tmp", "w", encoding="ascii") as port:
        port.write(str(server.server_address[1]))
    os.replace(f"{folder}/port.tmp", f"{folder}/port")
    server.serve_forever()


if __name__ == "__main__":
    if len(sys.argv) != 2:
        raise SystemExit(f"usage: {sys.argv[0]} FOLDER")
    main(sys.argv[1])
