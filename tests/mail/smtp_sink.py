# SPDX-License-Identifier: GPL-3.0-or-later
"""A real SMTP server for the mail tests.

Listens on 127.0.0.1 at a free port, prints "PORT <n>" once it accepts
connections, and stores every message it accepts in OUT_DIR/msg-<k>/
(k = 1, 2, ...), parsed by Python's email package:

  envelope   MAIL FROM address, then one RCPT TO address a line
  raw        the message as received, after dot-unstuffing
  headers    one "Name: value" line per header, in order
  defects    the parser's complaints about the message, one a line
  part-<i>   the decoded content of leaf part i (0 for a single-part message)
  part-<i>.filename, part-<i>.type   its file name and content type

The folder appears whole (it is renamed into place) before the server
replies 250. The server ends when its standard input closes, or after
--lifetime seconds whatever happens.
"""

import argparse
import asyncio
import email
import email.policy
import os
import sys

from aiosmtpd.smtp import SMTP


def as_bytes(text):
    return str(text).encode("ascii", "surrogateescape")


class Sink:
    def __init__(self, out_dir):
        self.out_dir = out_dir
        self.count = 0

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        final = os.path.join(self.out_dir, "msg-%d" % self.count)
        work = final + ".tmp"
        os.makedirs(work)

        def put(name, data):
            with open(os.path.join(work, name), "wb") as f:
                f.write(data)

        raw = envelope.original_content
        msg = email.message_from_bytes(raw, policy=email.policy.compat32)
        put("envelope", b"".join(as_bytes(a) + b"\n"
                                 for a in [envelope.mail_from] + envelope.rcpt_tos))
        put("raw", raw)
        put("headers", b"".join(as_bytes(k) + b": " + as_bytes(v) + b"\n"
                                for k, v in msg.raw_items()))
        defects = []
        leaves = []
        for part in msg.walk():
            defects += [type(d).__name__ for d in part.defects]
            if not part.is_multipart():
                leaves.append(part)
        put("defects", "".join(d + "\n" for d in defects).encode())
        for i, part in enumerate(leaves):
            put("part-%d" % i, part.get_payload(decode=True) or b"")
            put("part-%d.filename" % i, as_bytes(part.get_filename() or ""))
            put("part-%d.type" % i, as_bytes(part.get_content_type()))
        os.rename(work, final)
        return "250 Message accepted"


async def serve(out_dir, lifetime):
    loop = asyncio.get_running_loop()
    sink = Sink(out_dir)
    server = await loop.create_server(lambda: SMTP(sink, hostname="sink.test"), "127.0.0.1", 0)
    port = server.sockets[0].getsockname()[1]
    print("PORT %d" % port, flush=True)

    stdin_closed = loop.create_future()

    def on_stdin():
        if not os.read(sys.stdin.fileno(), 4096) and not stdin_closed.done():
            stdin_closed.set_result(None)

    loop.add_reader(sys.stdin.fileno(), on_stdin)
    try:
        await asyncio.wait_for(stdin_closed, lifetime)
    except asyncio.TimeoutError:
        pass
    server.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("out_dir")
    parser.add_argument("--lifetime", type=float, default=600)
    args = parser.parse_args()
    asyncio.run(serve(args.out_dir, args.lifetime))


if __name__ == "__main__":
    main()
