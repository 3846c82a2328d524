#!/usr/bin/env python3
"""Kills the real program with SIGKILL at random moments and checks what it leaves behind.

Two phases, each run --runs times:

  exit   the program is asked to end (SIGTERM, as at log-out) and killed at a random moment
         of its exit save: the settings file must parse and hold exactly the settings it held
         before the exit or exactly those a complete exit save writes.
  log    the program is killed at a random moment while it appends its first download's
         lines to the quote logs (30 logged symbols, one file each): every log file must end
         in a whole line, and every line must have the log's ten fields.

The program talks to a small quote service run here on a loopback port. The kill moments
are spread over the time a clean run of the same phase takes (measured first), so most
kills land inside the save or the appends. Exit status 0 when every run passed.
"""

import argparse
import configparser
import http.server
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse

SYMBOLS = [f"S{i:02d}" for i in range(30)]
STOCK_FIELDS = "spelcvomrn"
LOG_FIELDS = 10


class QuoteService(http.server.ThreadingHTTPServer):
    """Answers stock requests with a price that moves at every request; anything else
    gets an empty answer. Notes the time of every stock answer."""

    daemon_threads = True

    def __init__(self):
        super().__init__(("127.0.0.1", 0), QuoteHandler)
        self.lock = threading.Lock()
        self.stock_answers = []

    def answered_since(self, moment):
        with self.lock:
            return [t for t in self.stock_answers if t >= moment]


class QuoteHandler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        query = urllib.parse.parse_qs(urllib.parse.urlsplit(self.path).query)
        body = b""
        stock = query.get("f", [""])[0].startswith(STOCK_FIELDS)
        if stock:
            with self.server.lock:
                tick = len(self.server.stock_answers)
            last = f"{10 + tick % 50 / 100:.2f}"
            symbols = [s for s in query.get("s", [""])[0].split(",") if s]
            body = b"".join(
                (f'"{s.upper()}",10.00,1.25,"3:17pm - <b>{last}</b>","+0.50 - +5.00%",1000,'
                 f'{last},"9.50 - 11.00",8.00,"Name {s.upper()}",0.1,0.2,"NYSE",1,2,3\r\n')
                .encode("latin-1") for s in symbols)
        self.send_response(200)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)
        self.wfile.flush()
        if stock:
            with self.server.lock:
                self.server.stock_answers.append(time.monotonic())

    def log_message(self, *args):
        pass


def seed_store(path, port):
    base = f"http://127.0.0.1:{port}"
    lines = [
        "[Settings]",
        "FirstRun=1",
        "StartPortfolio=Default",
        "StartPortfolioIndex=0",
        "Portfolio0=Default",
        f'StockURL="{base}/download/quotes.csv?f={STOCK_FIELDS}=.csv&s="',
        f'MarketURL="{base}/download/quotes.csv?f=nk1k2=.csv&s="',
        f'IndicesURL="{base}/m1?u"',
        "KeptFromAnOlderBuild=yes",
        "Portfolios\\Default\\StartHomePage=0",
        "Portfolios\\Default\\QuoteLogging=1",
        "Portfolios\\Default\\SeparateLogFiles=1",
        "Portfolios\\Default\\ScrollSpeed=7",
    ]
    for i, symbol in enumerate(SYMBOLS):
        lines += [f"Portfolios\\Default\\Symbol{i}={symbol}",
                  f"Portfolios\\Default\\Shares{i + 1}=0",
                  f"Portfolios\\Default\\Log{i + 1}=1"]
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")


def parse_store(path):
    """The store as {section: {key: raw value}}; raises when it does not parse."""
    parser = configparser.RawConfigParser(strict=True, interpolation=None,
                                          delimiters=("=",), comment_prefixes=(),
                                          empty_lines_in_values=False)
    parser.optionxform = str
    with open(path, encoding="utf-8") as f:
        parser.read_file(f)
    return {s: dict(parser.items(s)) for s in parser.sections()}


class Harness:
    def __init__(self, program, work, service):
        self.program = program
        self.work = work
        self.service = service
        self.store = os.path.join(work, "config", "Vantora", "Vantora.conf")
        self.logs = os.path.join(work, "home", "Log Files")
        self.env = dict(os.environ)
        self.env.update({
            "XDG_CONFIG_HOME": os.path.join(work, "config"),
            "XDG_DATA_HOME": os.path.join(work, "data"),
            "XDG_RUNTIME_DIR": os.path.join(work, "runtime"),
            "VANTORA_HOME": os.path.join(work, "home"),
            "QT_QPA_PLATFORM": "offscreen",
            "QTWEBENGINE_DISABLE_SANDBOX": "1",
            "ASAN_OPTIONS": "detect_leaks=0",
        })
        for d in ("data", "runtime", "home"):
            os.makedirs(os.path.join(work, d), exist_ok=True)
        os.chmod(os.path.join(work, "runtime"), 0o700)

    def start(self):
        return subprocess.Popen([self.program], env=self.env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)

    def wait_for_download(self, process, since, timeout=120):
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            answered = self.service.answered_since(since)
            if answered:
                return answered[0]
            if process.poll() is not None:
                raise RuntimeError(f"the program ended early ({process.returncode})")
            time.sleep(0.005)
        raise RuntimeError("the program never asked for quotes")

    def wait_until_store_settles(self, quiet=0.4):
        # Start-up writes a few keys (QSettings writes them from the event loop); the exit is
        # asked for once the file has not changed for a while.
        last = None
        steady_since = time.monotonic()
        while time.monotonic() - steady_since < quiet:
            stamp = os.stat(self.store).st_mtime_ns if os.path.exists(self.store) else 0
            if stamp != last:
                last, steady_since = stamp, time.monotonic()
            time.sleep(0.02)

    def log_lines(self):
        total = 0
        if os.path.isdir(self.logs):
            for name in os.listdir(self.logs):
                with open(os.path.join(self.logs, name), "rb") as f:
                    total += f.read().count(b"\r\n")
        return total

    def reset_store(self, port):
        shutil.rmtree(os.path.dirname(self.store), ignore_errors=True)
        seed_store(self.store, port)

    # ---- exit phase -----------------------------------------------------------------------

    def exit_run(self, kill_after):
        """One exit: returns (state before, state after, seconds the exit took, killed)."""
        started = time.monotonic()
        process = self.start()
        self.wait_for_download(process, started)
        self.wait_until_store_settles()
        before = parse_store(self.store)
        asked = time.monotonic()
        process.send_signal(signal.SIGTERM)
        killed = False
        if kill_after is not None:
            try:
                process.wait(timeout=kill_after)
            except subprocess.TimeoutExpired:
                process.kill()
                killed = True
        process.wait(timeout=120)
        took = time.monotonic() - asked
        return before, parse_store(self.store), took, killed

    def exit_phase(self, runs, rng, port):
        self.reset_store(port)
        _, complete, took, _ = self.exit_run(None)
        if complete.get("Settings", {}).get("KeptFromAnOlderBuild") != "yes":
            raise RuntimeError("a complete exit save dropped a key it does not know")
        print(f"exit: a complete exit takes {took:.3f} s")
        killed = failures = old = new = 0
        for run in range(runs):
            self.reset_store(port)
            try:
                before, after, _, was_killed = self.exit_run(rng.uniform(0, took * 1.2))
            except (configparser.Error, UnicodeDecodeError, OSError) as error:
                print(f"exit run {run}: the store does not parse: {error}")
                failures += 1
                continue
            killed += was_killed
            old += after == before
            new += after == complete
            if after != before and after != complete:
                failures += 1
                changed = sorted(k for s in set(after) | set(complete)
                                 for k in set(after.get(s, {})) ^ set(complete.get(s, {})))
                print(f"exit run {run}: the store holds neither the old nor the new settings "
                      f"(keys differing from the new: {changed[:10]})")
        print(f"exit: {runs} runs, {killed} killed during the exit, {old} left the old "
              f"settings, {new} the new, {failures} failed")
        return failures

    # ---- log phase --------------------------------------------------------------------

    def check_logs(self):
        problems = []
        if not os.path.isdir(self.logs):
            return problems
        for name in sorted(os.listdir(self.logs)):
            with open(os.path.join(self.logs, name), "rb") as f:
                data = f.read()
            if data and not data.endswith(b"\r\n"):
                problems.append(f"{name} ends in a part of a line")
            for line in data.split(b"\r\n")[:-1]:
                if line.count(b"\t") != LOG_FIELDS - 1:
                    problems.append(f"{name} holds a broken line {line[:40]!r}")
                    break
        return problems

    def log_run(self, kill_after):
        started = time.monotonic()
        process = self.start()
        answered = self.wait_for_download(process, started)
        if kill_after is None:
            # The clean run: how long after the answer the appends go on.
            lines = self.log_lines()
            last_growth = time.monotonic()
            while time.monotonic() - last_growth < 1.0:
                now = self.log_lines()
                if now != lines:
                    lines, last_growth = now, time.monotonic()
                time.sleep(0.002)
            process.kill()
            process.wait()
            return last_growth - answered
        pause = answered + kill_after - time.monotonic()
        if pause > 0:
            time.sleep(pause)
        process.kill()
        process.wait()
        return None

    def log_phase(self, runs, rng, port):
        self.reset_store(port)
        self.log_run(None)  # makes the files, with their heading lines
        took = self.log_run(None)
        print(f"log: the appends of one download take {took:.3f} s after the answer")
        failures = 0
        mid_append = 0
        for run in range(runs):
            before = self.log_lines()
            self.log_run(rng.uniform(0, took * 1.2))
            if 0 < self.log_lines() - before < len(SYMBOLS):
                mid_append += 1
            problems = self.check_logs()
            if problems:
                failures += 1
                print(f"log run {run}: " + "; ".join(problems[:5]))
            try:
                store = parse_store(self.store)
            except (configparser.Error, UnicodeDecodeError, OSError) as error:
                failures += 1
                print(f"log run {run}: the store does not parse: {error}")
                continue
            if store.get("Settings", {}).get("Portfolios\\Default\\Symbol29") != SYMBOLS[-1]:
                failures += 1
                print(f"log run {run}: the store lost its symbols")
        print(f"log: {runs} runs, {mid_append} killed between the first and the last append, "
              f"{failures} failed")
        return failures


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("program", help="the vantora executable")
    parser.add_argument("--runs", type=int, default=100, help="kills per phase (default 100)")
    parser.add_argument("--seed", type=int, default=None, help="seed of the kill moments")
    parser.add_argument("--phase", choices=("exit", "log", "both"), default="both")
    args = parser.parse_args()

    seed = args.seed if args.seed is not None else random.randrange(1 << 30)
    print(f"seed {seed}")
    rng = random.Random(seed)
    service = QuoteService()
    threading.Thread(target=service.serve_forever, daemon=True).start()
    port = service.server_address[1]
    work = tempfile.mkdtemp(prefix="vantora-kill-")
    failures = 0
    try:
        harness = Harness(args.program, work, service)
        if args.phase in ("exit", "both"):
            failures += harness.exit_phase(args.runs, rng, port)
        if args.phase in ("log", "both"):
            failures += harness.log_phase(args.runs, rng, port)
    finally:
        service.shutdown()
        shutil.rmtree(work, ignore_errors=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
