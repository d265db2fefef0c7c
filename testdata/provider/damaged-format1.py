# First format: proxy_enable 1 then 0, a record longer than the format allows
# (skipped without being read), and a last record cut short by the end of the
# file.
FORMAT = 1
RECORDS = [
    b"proxy_enable=1\r\n",
    b"ruteip=203.0.113.1\r\n",
    {"raw": (600).to_bytes(2, "little") + b"\xAA" * 600},
    b"proxy_enable=0\r\n",
    b"tcp=DHCP\r\n",
    {"raw": (40).to_bytes(2, "little") + b"\x55" * 10},
]
