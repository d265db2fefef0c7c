# Second format: comments, headers, repeated keys, "=" in values, blanks that
# belong to keys, line-end trimming, proxy_server over the five protocols, a
# record with a bad check byte and a line that is not Shift-JIS.
FORMAT = 2
RECORDS = [
    b"; Quorvalin provider settings\r\n",
    b"[Provider]\r\n",
    "app_title=Ⅲ番線 ①号=A\r\n".encode("cp932"),
    b"ruteip=192.0.2.1\r\n",
    b"ruteip=192.0.2.254\r\n",
    b"tcp=DHCP\r",
    b"dns1=198.51.100.53\rX",
    b"dns2=\r\n",
    b"app_title = ignored\r\n",
    b" ;tcpipv6=Manual\r\n",
    b"proxy_http=proxy.example.jp:8080\r\n",
    b"proxy_server=cache.example.jp:3128\r\n",
    b"proxy_socks=socks.example.jp:1080\r\n",
    b"proxy_no=localhost\r\n",
    b"proxy_enable=01\r\n",
    {"plain": b"tcpipv6=Manual\r\n", "bad_check": True},
    b"ie_minver=6.0\r\n",
    b"tcpipv6=\x81\x7f\r\n",
    b"http_access_url=http://www.example.jp/check?a=b\n",
]
