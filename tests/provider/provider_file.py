#!/usr/bin/env python3
"""An independent reader and writer of scrambled provider files.

Written from the file format's description alone, without the program's own
code, so that the program's encoder and decoder can be checked against it:

  provider_file.py make FIXTURE.py OUT.idx     write a file from a record list
  provider_file.py lines FILE.idx              print the descrambled lines
"""
import sys

SEED = 0x83B01075
KEY1 = b">fu#-qnOm"
KEYS2 = [
    b"o}H!g!7hqBTf3h8hC=D!L)COn.f|rR&l0fu.|)4sOntCbyOKgCje+H+p=eD_NV-Q:E7IF{A$VF6sRUKi&",
    b"v1q2Jo;D}xg9=7~6YFlpl}xBle4#D/J&n0>@mH/[TRqsTpHboq~3X",
    b"_!gxpp#-X`8s#i{jjiY769w0J%3*I[#&QE<jtKq+5Eh[L7`C3-U8)m^4_L{tY2k[",
    b"x)AP(LJI<O_~yz*=d|*+(}payW>{h/Mt{1W];sc=t1~=(_$.tTc:P;O1f",
    b"0c{Wu>C;+$Z",
]


class Generator:
    def __init__(self):
        self.state = SEED

    def draw(self):
        self.state = (self.state * 214013 + 2531011) & 0xFFFFFFFF
        return (self.state >> 16) & 0xFF


def scramble1(gen, plain):
    prev, out = len(plain) % 256, bytearray()
    for i, p in enumerate(plain):
        s = p ^ prev ^ KEY1[i % len(KEY1)] ^ gen.draw()
        out.append(s)
        prev = s
    return bytes(out)


def unscramble1(gen, data):
    prev, out = len(data) % 256, bytearray()
    for i, s in enumerate(data):
        out.append(prev ^ s ^ KEY1[i % len(KEY1)] ^ gen.draw())
        prev = s
    return bytes(out)


def _walk2(gen, data, scrambling):
    """Shared key walk of the second format; returns (bytes, plain sum)."""
    key = KEYS2[len(data) % 5]
    pos = 1 if gen.draw() & 1 else 0
    prev, total, out = len(data) % 256, len(data), bytearray()
    for b in data:
        gen.draw()
        x = b ^ prev ^ key[pos]
        out.append(x)
        plain = b if scrambling else x
        prev = x if scrambling else b
        total = (total + plain) % 256
        pos += 1
        if pos == len(key):
            key = KEYS2[gen.draw() % 5]
            pos = 0
    return bytes(out), total


def scramble2(gen, plain):
    data, total = _walk2(gen, plain, True)
    return data + bytes([total])


def unscramble2(gen, data, check):
    plain, total = _walk2(gen, data, False)
    return plain if total == check else None


def make(records, fmt):
    """records: list of plain byte strings, or dicts for damaged records:
    {"raw": bytes} written as they stand; {"plain": b, "bad_check": True}."""
    gen = Generator()
    out = bytearray(b"\x02\x80" if fmt == 2 else b"")
    for r in records:
        if isinstance(r, dict) and "raw" in r:
            out += r["raw"]
            continue
        plain = r["plain"] if isinstance(r, dict) else r
        body = scramble1(gen, plain) if fmt == 1 else scramble2(gen, plain)
        if isinstance(r, dict) and r.get("bad_check"):
            body = body[:-1] + bytes([(body[-1] + 1) % 256])
        out += len(plain).to_bytes(2, "little") + body
    return bytes(out)


def lines(data):
    """The lines a reader hands out; undecodable records are skipped."""
    fmt = 2 if data[:2] == b"\x02\x80" else 1
    pos = 2 if fmt == 2 else 0
    gen, result = Generator(), []
    while pos + 2 <= len(data):
        n = int.from_bytes(data[pos:pos + 2], "little")
        pos += 2
        if n == 0:
            break
        need = n + (1 if fmt == 2 else 0)
        if pos + need > len(data):
            break
        body = data[pos:pos + need]
        pos += need
        if fmt == 1:
            plain = unscramble1(gen, body)
        else:
            plain = unscramble2(gen, body[:-1], body[-1])
            if plain is None:
                continue
        line = bytearray(plain)
        if line and line[-1] == 0x0A:
            line[-1] = 0
        if len(line) >= 2 and line[-2] == 0x0D:
            line[-2] = 0
        result.append(bytes(line).split(b"\0")[0])
    return result


def main(argv):
    if len(argv) == 4 and argv[1] == "make":
        fixture = {}
        exec(open(argv[2], encoding="utf-8").read(), fixture)
        with open(argv[3], "wb") as f:
            f.write(make(fixture["RECORDS"], fixture["FORMAT"]))
        return 0
    if len(argv) == 3 and argv[1] == "lines":
        for line in lines(open(argv[2], "rb").read()):
            # The Windows-only characters are shown as the program shows them.
            sys.stdout.buffer.write(line.decode("cp932", errors="replace").encode("utf-8") + b"\n")
        return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
