#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Copyright (c) 2026 The Loadspire Gauge developers
#
# Hostile clients and a prober for the maker's server, for bench/server_load.sh. Loopback only,
# bounded in time; every attack keeps its number of connections up by reconnecting.
#   server_attack.py attack slowloris|idle|longline PORT SECONDS [COUNT]
#   server_attack.py probe PORT SECONDS [PID]
# The prober sends one ordinary update check over a fresh connection every 50 ms and prints how
# many were answered, their latency and the server's peak resident memory.
import asyncio
import socket
import sys
import time

CHECK_BODY = (b"cmd=check&appname=KALDERN+-+Loadspire+Gauge&version=1.7&os=Debian+GNU%2FLinux+12"
              b"&local=en-US&guid=%7B0F8FAD5B-D9CB-469F-A165-70867728950E%7D")
CHECK = (b"POST /php/check2.php HTTP/1.1\r\nHost: 127.0.0.1\r\n"
         b"Content-Type: application/x-www-form-urlencoded\r\n"
         b"Content-Length: " + str(len(CHECK_BODY)).encode() + b"\r\n\r\n" + CHECK_BODY)


async def slowloris(port, deadline, stats):
    # A request head that never ends: one more header byte a second.
    while time.monotonic() < deadline:
        try:
            reader, writer = await asyncio.open_connection("127.0.0.1", port)
            stats["connections"] += 1
            writer.write(b"POST /php/check2.php HTTP/1.1\r\nHost: 127.0.0.1\r\n")
            while time.monotonic() < deadline:
                writer.write(b"X")
                await writer.drain()
                try:
                    if await asyncio.wait_for(reader.read(4096), 1.0) == b"":
                        break
                except asyncio.TimeoutError:
                    pass
            writer.close()
        except OSError:
            await asyncio.sleep(0.05)


async def idle(port, deadline, stats):
    # One check, then the connection kept open and silent.
    while time.monotonic() < deadline:
        try:
            reader, writer = await asyncio.open_connection("127.0.0.1", port)
            stats["connections"] += 1
            writer.write(CHECK)
            await writer.drain()
            await reader.read(4096)
            while time.monotonic() < deadline:
                try:
                    if await asyncio.wait_for(reader.read(4096), 0.5) == b"":
                        break
                except asyncio.TimeoutError:
                    pass
            writer.close()
        except OSError:
            await asyncio.sleep(0.05)


async def longline(port, deadline, stats):
    # A request line of 40 MB, sent as fast as the server takes it.
    chunk = b"a" * 65536
    while time.monotonic() < deadline:
        try:
            reader, writer = await asyncio.open_connection("127.0.0.1", port)
            stats["connections"] += 1
            writer.write(b"GET /")
            sent = 0
            while sent < 40 * 1024 * 1024 and time.monotonic() < deadline:
                writer.write(chunk)
                await asyncio.wait_for(writer.drain(), 5)
                sent += len(chunk)
                stats["bytes"] += len(chunk)
            writer.close()
        except (OSError, asyncio.TimeoutError):
            await asyncio.sleep(0.01)


async def attack(kind, port, seconds, count):
    deadline = time.monotonic() + seconds
    stats = {"connections": 0, "bytes": 0}
    task = {"slowloris": slowloris, "idle": idle, "longline": longline}[kind]
    await asyncio.gather(*(task(port, deadline, stats) for _ in range(count)))
    print(f"attack {kind} x{count}: {stats['connections']} connections made,"
          f" {stats['bytes'] // (1024 * 1024)} MB sent", flush=True)


def rss_mb(pid):
    try:
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1]) / 1024
    except OSError:
        pass
    return 0.0


def probe(port, seconds, pid):
    latencies = []
    failed = 0
    peak = rss_mb(pid) if pid else 0.0
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        start = time.monotonic()
        try:
            with socket.create_connection(("127.0.0.1", port), timeout=5) as s:
                s.sendall(CHECK)
                reply = b""
                while b"</url>" not in reply:
                    data = s.recv(4096)
                    if not data:
                        break
                    reply += data
            if b" 200 " in reply.split(b"\r\n", 1)[0] and b"</url>" in reply:
                latencies.append(time.monotonic() - start)
            else:
                failed += 1
        except OSError:
            failed += 1
        if pid:
            peak = max(peak, rss_mb(pid))
        time.sleep(max(0.0, 0.05 - (time.monotonic() - start)))
    latencies.sort()

    def pct(p):
        return latencies[min(len(latencies) - 1, int(len(latencies) * p))] * 1000 if latencies else 0

    print(f"probe: {len(latencies)} answered, {failed} failed, p50 {pct(0.5):.1f} ms,"
          f" p99 {pct(0.99):.1f} ms, max {pct(1.0):.1f} ms, peak RSS {peak:.0f} MB", flush=True)


def main():
    if len(sys.argv) >= 5 and sys.argv[1] == "attack":
        count = int(sys.argv[5]) if len(sys.argv) > 5 else 1
        asyncio.run(attack(sys.argv[2], int(sys.argv[3]), float(sys.argv[4]), count))
    elif len(sys.argv) >= 4 and sys.argv[1] == "probe":
        probe(int(sys.argv[2]), float(sys.argv[3]), int(sys.argv[4]) if len(sys.argv) > 4 else 0)
    else:
        sys.exit("usage: server_attack.py attack slowloris|idle|longline PORT SECONDS [COUNT]\n"
                 "       server_attack.py probe PORT SECONDS [PID]")


if __name__ == "__main__":
    main()
