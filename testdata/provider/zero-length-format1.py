# First format: proxy_enable read by its leading number, single-protocol
# proxies kept when proxy_server is empty, and a zero-length record that ends
# the lines (the entries behind it are never read).
FORMAT = 1
RECORDS = [
    "app_title=Quorvalin光 ⑳\r\n".encode("cp932"),
    b"proxy_server=\r\n",
    b"proxy_http=proxy.example.jp:8080\r\n",
    b"proxy_secure=proxy.example.jp:8443\r\n",
    b"proxy_enable=1abc\r\n",
    b"tcp=Manual\r\n",
    {"raw": b"\x00\x00"},
    b"tcp=DHCP\r\n",
    b"proxy_enable=0\r\n",
]
