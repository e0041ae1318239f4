#!/usr/bin/env python3
"""A Half-Life server that only answers the query: five players, three of them bots, on 2fort.

Listens on 127.0.0.1 at a free port, prints the port, and answers until it is killed.
For the playbook checks, which need a server that answers and no game.
"""
import socket
import struct

PREFIX = b"\xff\xff\xff\xff"
BOTS = 3
PLAYERS = [("Alice", 12, 600.0), ("Bob", 3, 120.5), ("[BOT] Scout", 7, 900.0), ("[BOT] Medic", 2, 900.0),
           ("[BOT] Spy", 0, 900.0)]


def info_reply():
    return (PREFIX + b"I" + bytes([48]) + b"Tarrow test server\0" + b"2fort\0" + b"tfc\0" +
            b"Team Fortress\0" + struct.pack("<h", 20) + bytes([len(PLAYERS), 16, BOTS]) + b"dl" +
            bytes([0, 0]) + b"1.1.2.7/Stdio\0")


def players_reply():
    out = PREFIX + b"D" + bytes([len(PLAYERS)])
    for index, (name, score, seconds) in enumerate(PLAYERS):
        out += bytes([index]) + name.encode() + b"\0" + struct.pack("<if", score, seconds)
    return out


def main():
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sock.bind(("127.0.0.1", 0))
    print(sock.getsockname()[1], flush=True)
    while True:
        data, peer = sock.recvfrom(1400)
        if not data.startswith(PREFIX) or len(data) < 5:
            continue
        kind = data[4:5]
        if kind == b"T":
            sock.sendto(info_reply(), peer)
        elif kind == b"U":
            sock.sendto(players_reply(), peer)


if __name__ == "__main__":
    main()
