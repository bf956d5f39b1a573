#!/usr/bin/env python3
"""Launch to first sound: starts a player command again and again and times each start
until the player's first audible sound reaches the sound server's default sink, heard
through that sink's monitor with parec. Meant for a session of scripts/session.sh, whose
PulseAudio plays into a null sink that nothing else uses; the stations come from
tests/playback/with-station.sh (the local Icecast) or from a server of its own that
answers at once (the player's own time, without Icecast's).

Usage: time-to-audio.py [options] -- PLAYER ARGS...      ({url} in ARGS is the stream)
Prints a line per run and, last, "LABEL: time to audio min/median/max = A/B/C ms (K/N ok)";
with --cpu-secs also the player's CPU share, peak memory and longest silence while it
plays on. Ends with 1 when a run heard nothing.
"""
import argparse
import array
import http.server
import json
import os
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time

RATE = 48000
BLOCK = RATE // 100  # frames judged at once: 10 ms
MIME = {"mp3": "audio/mpeg", "aac": "audio/aac", "opus": "audio/ogg"}
CODEC = {"mp3": ["-c:a", "libmp3lame", "-b:a", "128k", "-f", "mp3"],
         "aac": ["-c:a", "aac", "-b:a", "128k", "-f", "adts"],
         "opus": ["-c:a", "libopus", "-b:a", "64k", "-f", "ogg"]}


class Sink:
    """Reads the sink's monitor all along and tells when sound comes after a moment."""

    def __init__(self, sink, threshold_db):
        self.limit = int(32768 * 10 ** (threshold_db / 20))
        self.cond = threading.Condition()
        self.since = None        # monotonic time after which sound is looked for
        self.heard = None        # when the first sound after `since` was played
        self.last_sound = 0.0    # when the latest sound block arrived
        self.gap = 0             # silent blocks in a row since the last sound
        self.longest_gap = 0     # the longest such run since the first sound
        self.proc = subprocess.Popen(
            ["parec", "--device=" + sink + ".monitor", "--raw", "--format=s16le",
             "--rate=%d" % RATE, "--channels=2", "--latency-msec=10"],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        size = BLOCK * 4
        while True:
            data = self.proc.stdout.read(size)
            if len(data) < size:
                return
            now = time.monotonic()
            samples = array.array("h", data)
            loud = max(samples) > self.limit or -min(samples) > self.limit
            with self.cond:
                if not loud:
                    self.gap += 1
                    continue
                if self.heard is not None:
                    self.longest_gap = max(self.longest_gap, self.gap)
                self.gap = 0
                self.last_sound = now
                if self.since is not None and self.heard is None and now > self.since:
                    first = next(i for i, s in enumerate(samples) if abs(s) > self.limit) // 2
                    # The block arrived just after its last frame was played.
                    self.heard = max(self.since, now - (BLOCK - first) / RATE)
                    self.cond.notify_all()

    def arm(self, since):
        with self.cond:
            self.since, self.heard, self.longest_gap, self.gap = since, None, 0, 0

    def wait_heard(self, timeout):
        with self.cond:
            self.cond.wait_for(lambda: self.heard is not None, timeout)
            return self.heard

    def wait_quiet(self, quiet, timeout):
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            with self.cond:
                if time.monotonic() - self.last_sound >= quiet:
                    return True
            time.sleep(0.05)
        return False

    def longest_silence_ms(self):
        with self.cond:
            return max(self.longest_gap, self.gap) * 1000 // (RATE // BLOCK)


def serve_at_once(stream, seconds, folder):
    """A station of our own: the header at once, a 64 KB burst, then the tone in real time."""
    path = os.path.join(folder, "tone." + stream)
    subprocess.run(["ffmpeg", "-nostdin", "-loglevel", "error", "-f", "lavfi", "-i",
                    "sine=frequency=440:sample_rate=48000:duration=%d" % seconds, "-ac", "2"]
                   + CODEC[stream] + ["-y", path], check=True)
    body = open(path, "rb").read()
    per_second = len(body) / seconds

    class Handler(http.server.BaseHTTPRequestHandler):
        def do_GET(self):
            self.send_response(200)
            self.send_header("Content-Type", MIME[stream])
            self.send_header("Cache-Control", "no-cache")
            self.end_headers()
            start, sent = time.monotonic(), 0
            try:
                while sent < len(body):
                    due = 65536 + int((time.monotonic() - start) * per_second)
                    if due > sent:
                        self.wfile.write(body[sent:due])
                        sent = min(due, len(body))
                    time.sleep(0.02)
            except OSError:
                pass  # the player went away

        def log_message(self, *args):
            pass

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return "http://127.0.0.1:%d/tone.%s" % (server.server_address[1], stream)


def group_usage(pgid):
    """CPU ticks and resident bytes of every process of the player's group."""
    ticks = rss = 0
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            fields = open("/proc/%s/stat" % pid).read().rsplit(")", 1)[1].split()
            if int(fields[2]) != pgid:
                continue
            ticks += int(fields[11]) + int(fields[12])
            rss += int(fields[21]) * os.sysconf("SC_PAGE_SIZE")
        except (OSError, IndexError, ValueError):
            pass  # the process ended meanwhile
    return ticks, rss


def stop(proc, grace):
    try:
        os.killpg(proc.pid, signal.SIGTERM)
        proc.wait(grace)
    except subprocess.TimeoutExpired:
        os.killpg(proc.pid, signal.SIGKILL)
        proc.wait()
    except ProcessLookupError:
        proc.wait()
    try:
        os.killpg(proc.pid, signal.SIGKILL)  # what the player left behind
    except ProcessLookupError:
        pass


def one_run(args, command, sink):
    """Seconds to first sound (None: nothing heard), and what it used while playing on."""
    if not sink.wait_quiet(0.3, 10):
        sys.exit("time-to-audio: the sink does not fall silent: something else plays into it")
    start = time.monotonic()
    sink.arm(start)
    quiet = None if args.verbose else subprocess.DEVNULL
    proc = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=quiet, stderr=quiet,
                            start_new_session=True)
    result = {"ms": None}
    try:
        heard = sink.wait_heard(args.timeout)
        if heard is None:
            return result
        result["ms"] = round((heard - start) * 1000, 1)
        if args.cpu_secs:
            ticks, peak = group_usage(proc.pid)
            end = time.monotonic() + args.cpu_secs
            while time.monotonic() < end:
                time.sleep(0.25)
                peak = max(peak, group_usage(proc.pid)[1])
            used = group_usage(proc.pid)[0] - ticks
            result["cpu_percent"] = round(100 * used / os.sysconf("SC_CLK_TCK") / args.cpu_secs, 1)
            result["peak_mb"] = round(peak / 2**20, 1)
            result["longest_silence_ms"] = sink.longest_silence_ms()
    finally:
        stop(proc, args.grace)
    return result


def describe(result):
    if result["ms"] is None:
        return "no sound within the time-out"
    text = "%8.1f ms" % result["ms"]
    if "cpu_percent" in result:
        text += "  cpu %.1f %%, peak %.1f MB, longest silence %d ms" % (
            result["cpu_percent"], result["peak_mb"], result["longest_silence_ms"])
    return text


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("-n", "--runs", type=int, default=5, help="measured runs (default 5)")
    parser.add_argument("--warmup", type=int, default=1, help="runs first, not counted (default 1)")
    parser.add_argument("--url", help="the stream for {url}")
    parser.add_argument("--stream", choices=sorted(MIME), default="mp3", help="without --url: which tone")
    parser.add_argument("--server", choices=["icecast", "direct"], default="icecast",
                        help="without --url: the local Icecast of with-station.sh, or a server that answers at once")
    parser.add_argument("--cpu-secs", type=float, default=0, help="after the first sound, play on this long and report")
    parser.add_argument("--timeout", type=float, default=20, help="seconds to wait for sound (default 20)")
    parser.add_argument("--threshold-db", type=float, default=-50, help="sound is above this dBFS (default -50)")
    parser.add_argument("--grace", type=float, default=3, help="seconds from SIGTERM to SIGKILL")
    parser.add_argument("--pause", type=float, default=0.5, help="seconds between runs")
    parser.add_argument("--label", help="the name in the summary (default: the player's)")
    parser.add_argument("--json", help="write every run's figures here")
    parser.add_argument("-v", "--verbose", action="store_true", help="show the player's own output")
    parser.add_argument("command", nargs=argparse.REMAINDER, help="-- PLAYER ARGS")
    args = parser.parse_args()
    command = args.command[1:] if args.command[:1] == ["--"] else args.command
    if not command:
        parser.error("no player command after --")
    label = args.label or os.path.basename(command[0])

    with tempfile.TemporaryDirectory(prefix="time-to-audio.") as folder:
        url = args.url
        if not url and args.server == "direct":
            url = serve_at_once(args.stream, int(args.timeout + args.cpu_secs) + 30, folder)
        if not url:
            url = os.environ.get("TUNORA_STATION_" + args.stream.upper())
            if not url:
                sys.exit("time-to-audio: no --url and no local station (run it inside tests/playback/with-station.sh)")
        command = [word.replace("{url}", url) for word in command]
        info = subprocess.run(["pactl", "get-default-sink"], capture_output=True, text=True)
        sink_name = info.stdout.strip()
        if info.returncode != 0 or not sink_name:
            sys.exit("time-to-audio: no sound server answers (run it inside scripts/session.sh)")
        sink = Sink(sink_name, args.threshold_db)
        print("time-to-audio: %s  [%d warm-up + %d runs, sink %s]" % (" ".join(command), args.warmup, args.runs, sink_name),
              flush=True)
        results = []
        for run in range(args.warmup + args.runs):
            if run:
                time.sleep(args.pause)
            result = one_run(args, command, sink)
            name = "warm-up" if run < args.warmup else "run %d" % (run - args.warmup + 1)
            print("  %-8s %s" % (name, describe(result)), flush=True)
            if run >= args.warmup:
                results.append(result)
        sink.proc.terminate()

    times = [r["ms"] for r in results if r["ms"] is not None]
    if times:
        print("%s: time to audio min/median/max = %.0f/%.0f/%.0f ms  (%d/%d ok)"
              % (label, min(times), statistics.median(times), max(times), len(times), len(results)))
    else:
        print("%s: no run heard a sound  (0/%d ok)" % (label, len(results)))
    played = [r for r in results if "cpu_percent" in r]
    if played:
        print("%s: while playing %g s, median cpu %.1f %%, peak %.1f MB, longest silence %d ms"
              % (label, args.cpu_secs, statistics.median(r["cpu_percent"] for r in played),
                 max(r["peak_mb"] for r in played), max(r["longest_silence_ms"] for r in played)))
    if args.json:
        with open(args.json, "w") as out:
            json.dump({"label": label, "command": command, "runs": results}, out, indent=1)
    return 0 if len(times) == len(results) else 1


if __name__ == "__main__":
    sys.exit(main())
