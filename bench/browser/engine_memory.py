#!/usr/bin/env python3
"""Memory of the real vantora program with all its child processes (the web engine's), and
the time from its start to the first quotes, on a new store (only the agreement accepted).

    bench/browser/engine_memory.py BUILD_DIR [--open] [--own-service] [--settle SECONDS]
                                   [--screenshot PNG]

Memory is the proportional set size (Pss of /proc/PID/smaps_rollup) summed over vantora
and every process below it, so pages shared between them count once in the total. It is
read SETTLE seconds (default 10) after the first quotes with the browser tray closed, and
with --open once more SETTLE seconds after a click on Charts has opened the tray, where
the start page then shows.

The program runs under its own Xvfb (1280x1024x24). The first quotes are seen from
outside: this script answers the built-in service's address (127.0.0.1:47110) itself and
passes every request on to vantora-quoted on the next port, so vantora's own in-process
service does not start (it finds the port taken) and its small share is not counted.
The first index request comes right after the quote grid has been filled: that moment is
the time to the first quotes (the splash's three seconds included). With --own-service
vantora runs its own service as on any new store; the first quotes are then not seen, and
the memory is read 14 s after the start plus SETTLE. The click goes through the XTest
extension (libXtst).
"""
import argparse
import ctypes
import http.server
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import urllib.error
import urllib.request

PORT = 47110
UPSTREAM = PORT + 1
DISPLAY = ":73"
CHARTS = (78, 109)  # the Charts button of the window at (0, 0)


class Recorder:
    first_quotes = None
    lock = threading.Lock()


class Relay(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def do_GET(self):
        if "f=nk1k2" in self.path:
            with Recorder.lock:
                if Recorder.first_quotes is None:
                    Recorder.first_quotes = time.monotonic()
        try:
            with urllib.request.urlopen(f"http://127.0.0.1:{UPSTREAM}{self.path}") as reply:
                status, body = reply.status, reply.read()
                kind = reply.headers.get("Content-Type", "text/plain")
        except urllib.error.HTTPError as error:
            status, body, kind = error.code, error.read(), "text/plain"
        self.send_response(status)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def descendants(root):
    """root and every process below it, as (pid, name)."""
    children = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat") as f:
                stat = f.read()
        except OSError:
            continue
        name = stat[stat.index("(") + 1 : stat.rindex(")")]
        parent = int(stat[stat.rindex(")") + 2 :].split()[1])
        children.setdefault(parent, []).append((int(entry), name))
    found, todo = [(root, "vantora")], [root]
    while todo:
        for child in children.get(todo.pop(), []):
            found.append(child)
            todo.append(child[0])
    return found


def pss_kb(pid):
    """Pss and its anonymous, file and shared-memory parts, in kB."""
    parts = dict.fromkeys(("Rss", "Pss", "Pss_Anon", "Pss_File", "Pss_Shmem"), 0)
    try:
        with open(f"/proc/{pid}/smaps_rollup") as f:
            for line in f:
                key = line.split(":")[0]
                if key in parts:
                    parts[key] = int(line.split()[1])
    except OSError:
        pass
    return parts


def report(label, root):
    processes = descendants(root)
    total = resident = 0
    print(f"{label}:")
    for pid, name in processes:
        kb = pss_kb(pid)
        total += kb["Pss"]
        resident += kb["Rss"]
        print(f"  {pid:>7} {name:<16} {kb['Pss'] / 1024:8.1f} MB (anonymous "
              f"{kb['Pss_Anon'] / 1024:.1f}, files {kb['Pss_File'] / 1024:.1f}, "
              f"shared memory {kb['Pss_Shmem'] / 1024:.1f})")
    engines = sum(1 for _, name in processes if name.startswith("QtWebEngine"))
    print(f"  total {total / 1024:.1f} MB PSS in {len(processes)} processes "
          f"({engines} of the web engine); their RSS adds up to {resident / 1024:.1f} MB")


def click(x, y):
    x11 = ctypes.CDLL("libX11.so.6")
    xtst = ctypes.CDLL("libXtst.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    display = x11.XOpenDisplay(DISPLAY.encode())
    if not display:
        sys.exit("cannot open the display")
    display = ctypes.c_void_p(display)
    xtst.XTestFakeMotionEvent(display, -1, x, y, 0)
    xtst.XTestFakeButtonEvent(display, 1, True, 0)
    xtst.XTestFakeButtonEvent(display, 1, False, 50)
    x11.XFlush(display)
    x11.XCloseDisplay(display)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--open", action="store_true")
    parser.add_argument("--own-service", action="store_true")
    parser.add_argument("--settle", type=float, default=10)
    parser.add_argument("--screenshot")
    args = parser.parse_args()
    binaries = os.path.join(args.build, "bin")

    work = tempfile.mkdtemp()
    os.makedirs(f"{work}/config/Vantora")
    os.makedirs(f"{work}/home")
    with open(f"{work}/config/Vantora/Vantora.conf", "w") as f:
        f.write("[Settings]\nFirstRun=1\n")
    env = dict(os.environ, XDG_CONFIG_HOME=f"{work}/config", VANTORA_HOME=f"{work}/home",
               VANTORA_PLUGIN_DIR=os.path.join(args.build, "lib"), VANTORA_DATA_DIR=binaries,
               DISPLAY=DISPLAY, QT_QPA_PLATFORM="xcb")
    env.pop("QT_QUICK_BACKEND", None)

    service = relay = None
    if not args.own_service:
        try:
            relay = http.server.ThreadingHTTPServer(("127.0.0.1", PORT), Relay)
        except OSError as error:
            sys.exit(f"port {PORT} is taken ({error}); run where nothing else uses it")
        threading.Thread(target=relay.serve_forever, daemon=True).start()
        service = subprocess.Popen([f"{binaries}/vantora-quoted", "--port", str(UPSTREAM)],
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    xvfb = subprocess.Popen(["Xvfb", DISPLAY, "-screen", "0", "1280x1024x24", "-nolisten",
                             "tcp"], stderr=subprocess.DEVNULL)
    time.sleep(1)  # Xvfb and the service come up
    vantora = None
    try:
        started = time.monotonic()
        log = open(f"{work}/vantora.log", "w")
        vantora = subprocess.Popen([f"{binaries}/vantora"], env=env, stdout=log,
                                   stderr=subprocess.STDOUT)
        if args.own_service:
            time.sleep(14 + args.settle)
            report(f"tray closed, {14 + args.settle:.0f} s after the start", vantora.pid)
        else:
            while Recorder.first_quotes is None:
                if time.monotonic() - started > 120 or vantora.poll() is not None:
                    sys.exit("no quotes within two minutes")
                time.sleep(0.01)
            print(f"first quotes {Recorder.first_quotes - started:.2f} s after the start")
            time.sleep(args.settle)
            report(f"tray closed, {args.settle:.0f} s after the first quotes", vantora.pid)
        if args.open:
            click(*CHARTS)
            time.sleep(args.settle)
            report(f"tray open, {args.settle:.0f} s after the click on Charts", vantora.pid)
        if vantora.poll() is not None:
            with open(f"{work}/vantora.log") as f:
                print(f"vantora ended ({vantora.returncode}):\n" + f.read()[-3000:])
        if args.screenshot:
            subprocess.run(["import", "-display", DISPLAY, "-window", "root", args.screenshot],
                           check=False)
    finally:
        if vantora:
            vantora.terminate()
            vantora.wait(60)
        if service:
            service.terminate()
            relay.shutdown()
        xvfb.terminate()
        shutil.rmtree(work, ignore_errors=True)
    print(f"(load average {os.getloadavg()[0]:.2f})")


if __name__ == "__main__":
    main()
