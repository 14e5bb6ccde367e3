#!/usr/bin/env python3
"""Writes the seed corpus of fuzz_KVNetFrames (corpus/frames): one file per kind of frame a peer
may send, and a few streams that mix them. Run it again after changing the seeds."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "corpus", "frames")


def v1(conn, dst, src, method, payload=b""):
    return b"\xF0" + struct.pack(">HHHHH", conn, dst, src, method, len(payload)) + payload + b"\xF7"


def v2(conn, dst, src, method, payload=b""):
    fields = b"".join(struct.pack(">HH", v, 0) for v in (conn, dst, src, method))
    return b"\xF1" + fields + struct.pack(">H", len(payload)) + payload + b"\xF8"


def util(payload):
    return b"\xE0" + struct.pack(">H", len(payload)) + payload + b"\xE7"


def link(conn, handle, dest_method, source_method, datagram=0, sync=1):
    return struct.pack(">HHHHBB", conn, handle, dest_method, source_method, datagram, sync)


P = 4096
seeds = {
    "v1_parameter": v1(0, 2, 9, P, b"\x12\x34"),
    "v2_parameter": v2(0, 3, 9, P + 1, b"\x12\x34"),
    "v1_empty": v1(0, 2, 9, P + 2),
    "v2_large": v2(0, 2, 9, P, bytes(range(256)) * 4),
    "util_hello": util(b"\x01\x03\xC8\x7D"),
    "util_hello_ack": util(b"\x02\x03\xC8\x7D"),
    "util_hello_short": util(b"\x01\x03"),
    "util_hello_v2": util(b"\x01\x02\x00\x01"),
    "util_heartbeat": util(b"\x03"),
    "util_type5": util(b"\x05\x03\x00\x00"),
    "util_bye": util(b"BYE"),
    "util_empty": util(b""),
    "link_add": v1(0, 2, 9, 6, link(0x7777, 3, P + 1, P)),
    "link_add_v2_form": v1(0, 2, 9, 6, struct.pack(">HIIIBB", 0, 3, P + 1, P, 0, 1)),
    "link_add_short": v1(0, 2, 9, 6, b"\x00\x01"),
    "link_remove": v1(0, 2, 9, 7, link(0, 3, P + 1, P)[:8]),
    "delete_lists": v1(0, 2, 9, 8) + v1(0, 2, 9, 13) + v1(0, 2, 9, 9) + v1(0, 2, 9, 15),
    "find": v1(0, 0, 9, 4, b"Fuzz Object A\x00"),
    "find_host": v1(0, 0, 9, 4, b"127.0.0.1/Fuzz Object A\x00"),
    "find_unterminated": v1(0, 0, 9, 4, b"Fuzz"),
    "router_methods": v1(0, 0, 9, 1) + v1(0, 0, 9, 16) + v1(0, 0, 9, 17) + v1(0, 0, 9, 22) + v1(0, 0, 9, 5),
    "mixed_stream": b"\x00\x55" + v1(0, 2, 9, P, b"\x00\x01") + util(b"\x03") + b"\xF0\x00\x01"
    + v2(0, 3, 9, P, b"\xAA") + util(b"BYE") + v1(0, 2, 9, P),
    "bad_end_bytes": v1(0, 2, 9, P, b"\x01")[:-1] + b"\xF0" + v1(0, 2, 9, P, b"\x02")[1:-1] + b"\xE0"
    + util(b"\x03")[1:],
}

os.makedirs(OUT, exist_ok=True)
for name, data in seeds.items():
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)
print(f"{len(seeds)} seeds in {OUT}")
