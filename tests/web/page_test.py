#!/usr/bin/env python3
"""The web page in headless Chromium, driven over the DevTools protocol.

    page_test.py WEB_BUILD NATIVE_BUILD [--out DIR] [--measure]

Checks, against the page in WEB_BUILD (index.html and the demo's .js, .wasm and .data):
  - the stills of ?at=T match `emberhall-capture --at T` of NATIVE_BUILD (same data set)
    to a mean difference under 2 of 255 in every colour channel;
  - nothing sounds before the click to play, but the sound track decodes while the page
    waits for it, with its hits within 1 ms of their cues; the music plays after the click;
  - a key press (not Alt, which is a system key) ends the demo and the page says so;
  - the full-screen button plays full screen, and F5 there is the demo's key too;
  - ?studio&at=130&paused&uptime=1000 shows the still at 130 s above its transport bar,
    Right moves it to 131 s (the still there), Page Down to the next section's start and a
    click on the seek bar to the time under the pointer; the window studio's rules hold
    (Page Down from the last section to the end, which holds; L without a loop says so).
With --measure it also reports the page's loading times, how far the demo clock is from the
sound the audio output says it plays, and the frame rate in this browser at 13, 130 and
165 s. --out keeps the browser's stills and the native ones for a look.

The browser is spoken to through --remote-debugging-pipe, so only Python's standard
library is needed. Exit status 0 when every check passed.
"""
import argparse
import base64
import functools
import http.server
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import threading
import time
import zlib

STILL_TIMES = [35, 50, 100, 130, 131, 160, 190]
BROWSER_STILL_TIMES = [35, 50, 100, 130, 160, 190]
HIT_CUES = [30, 44, 124]  # where the default sound track strikes a kick and a crash
FPS_TIMES = [13, 130, 165]
MAX_MEAN_DIFFERENCE = 2.0  # of 255, per colour channel
WIDTH, HEIGHT = 800, 600


class Browser:
    """Headless Chromium with one page, commands sent as JSON over file descriptors 3 and 4."""

    def __init__(self):
        self.profile = tempfile.mkdtemp(prefix="emberhall-chromium-")
        to_browser, self._out = os.pipe()
        self._in, from_browser = os.pipe()

        def give_pipes():
            os.dup2(os.dup(to_browser), 3)
            os.dup2(os.dup(from_browser), 4)

        args = ["chromium", "--headless=new", "--use-angle=swiftshader",
                "--enable-unsafe-swiftshader", "--disable-background-networking",
                "--disable-component-update", "--no-first-run", "--mute-audio",
                "--user-data-dir=" + self.profile, "--remote-debugging-pipe",
                f"--window-size={WIDTH},{HEIGHT}", "about:blank"]
        if os.geteuid() == 0:
            args.insert(1, "--no-sandbox")
        self.process = subprocess.Popen(args, preexec_fn=give_pipes, close_fds=False,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(to_browser)
        os.close(from_browser)
        self._buffer = b""
        self._id = 0
        self.console = []  # everything the pages and the browser logged, in order
        targets = self.call("Target.getTargets")["targetInfos"]
        page = next(t for t in targets if t["type"] == "page")
        self.session = self.call("Target.attachToTarget",
                                 {"targetId": page["targetId"], "flatten": True})["sessionId"]
        for domain in ("Page", "Runtime", "Network", "Log"):
            self.page(f"{domain}.enable")
        self.page("Network.setCacheDisabled", {"cacheDisabled": True})  # every load is a first
        self.page("Emulation.setDeviceMetricsOverride",
                  {"width": WIDTH, "height": HEIGHT, "deviceScaleFactor": 1, "mobile": False})

    def call(self, method, params=None, session=None):
        self._id += 1
        message = {"id": self._id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(self._out, json.dumps(message).encode() + b"\0")
        while True:
            reply = self._receive()
            if reply.get("method") == "Runtime.consoleAPICalled":
                args = reply["params"]["args"]
                self.console.append(" ".join(str(a.get("value", a.get("description")))
                                             for a in args))
            elif reply.get("method") == "Runtime.exceptionThrown":
                self.console.append("error: " + reply["params"]["exceptionDetails"]["text"])
            elif reply.get("method") == "Log.entryAdded":  # the browser's own, WebGL's included
                entry = reply["params"]["entry"]
                self.console.append(f"{entry['level']}: {entry['text']}")
            if reply.get("id") == self._id:
                if "error" in reply:
                    raise RuntimeError(f"{method}: {reply['error']}")
                return reply["result"]

    def page(self, method, params=None):
        return self.call(method, params, self.session)

    def _receive(self):
        while b"\0" not in self._buffer:
            chunk = os.read(self._in, 1 << 20)
            if not chunk:
                raise RuntimeError("the browser has gone")
            self._buffer += chunk
        message, self._buffer = self._buffer.split(b"\0", 1)
        return json.loads(message)

    def evaluate(self, expression):
        """The value of `expression`; of what it resolves to, when it is a promise."""
        result = self.page("Runtime.evaluate", {"expression": expression, "returnByValue": True,
                                                "awaitPromise": True})
        return result["result"].get("value")

    def open(self, url):
        self.page("Page.navigate", {"url": url})

    def wait_for(self, expression, timeout):
        """Polls until `expression` is truthy; returns its value, or None on timeout."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            value = self.evaluate(expression)
            if value:
                return value
            time.sleep(0.1)
        return None

    def click(self, x, y):
        for kind in ("mousePressed", "mouseReleased"):
            self.page("Input.dispatchMouseEvent",
                      {"type": kind, "x": x, "y": y, "button": "left", "clickCount": 1})

    def press(self, key, code, virtual_key, modifiers=0):
        for kind in ("rawKeyDown", "keyUp"):
            self.page("Input.dispatchKeyEvent",
                      {"type": kind, "key": key, "code": code, "modifiers": modifiers,
                       "windowsVirtualKeyCode": virtual_key})

    def screenshot(self):
        return base64.b64decode(self.page("Page.captureScreenshot", {"format": "png"})["data"])

    def close(self):
        self.process.kill()
        self.process.wait()
        shutil.rmtree(self.profile, ignore_errors=True)


def decode_png(data):
    """(width, height, RGB bytes) of an 8-bit, non-interlaced RGB or RGBA PNG."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    pos, idat = 8, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, color, _, _, interlace = struct.unpack(">IIBBBBB", body)
            assert depth == 8 and color in (2, 6) and interlace == 0, "unsupported PNG"
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    channels = 3 if color == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * channels
    out = bytearray(height * stride)
    previous = bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            corner = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc
                                      else corner)) & 255
        out[y * stride:(y + 1) * stride] = line
        previous = line
    if channels == 4:
        out = bytearray(b for i, b in enumerate(out) if i % 4 != 3)
    return width, height, bytes(out)


def mean_differences(a, b):
    """Mean absolute difference of red, green and blue between two decoded images."""
    assert a[:2] == b[:2], f"sizes differ: {a[:2]} and {b[:2]}"
    sums = [0, 0, 0]
    for i, (x, y) in enumerate(zip(a[2], b[2])):
        sums[i % 3] += abs(x - y)
    pixels = a[0] * a[1]
    return [s / pixels for s in sums]


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def serve(folder):
    """Serves `folder` on a free local port in the background; returns the base address."""
    handler = functools.partial(QuietHandler, directory=folder)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return f"http://127.0.0.1:{server.server_address[1]}/"


def native_stills(native_build, folder):
    """emberhall-capture's stills at STILL_TIMES, written into `folder`."""
    os.symlink(os.path.join(native_build, "Data"), os.path.join(folder, "Data"))
    command = [os.path.join(native_build, "emberhall-capture"), "--quiet"]
    for t in STILL_TIMES:
        command += ["--at", str(t)]
    subprocess.run(command, cwd=folder, check=True)
    return {t: os.path.join(folder, f"frame-{round(t * 60):06d}.png") for t in STILL_TIMES}


class Checks:
    def __init__(self):
        self.failures = []

    def expect(self, condition, what):
        print(f"  {'ok  ' if condition else 'FAIL'} {what}", flush=True)
        if not condition:
            self.failures.append(what)
        return condition


def check_stills(browser, base, native, out, checks):
    print("Stills against emberhall-capture (mean difference per channel, of 255):")
    for t in BROWSER_STILL_TIMES:
        browser.open(f"{base}?at={t}")
        if not checks.expect(browser.wait_for("document.title == 'Brindlequay ready'", 180),
                             f"the still at {t} s is ready"):
            continue
        shot = browser.screenshot()
        if out:
            with open(os.path.join(out, f"web-{t:03d}.png"), "wb") as f:
                f.write(shot)
            shutil.copy(native[t], os.path.join(out, f"native-{t:03d}.png"))
        with open(native[t], "rb") as f:
            differences = mean_differences(decode_png(shot), decode_png(f.read()))
        figures = " ".join(f"{d:.2f}" for d in differences)
        checks.expect(max(differences) < MAX_MEAN_DIFFERENCE, f"{t:3d} s: R G B {figures}")


def compare_frame(browser, native, t, out, checks, what):
    """The page's top-left 800x600 pixels against the native still at `t`."""
    shot = browser.page("Page.captureScreenshot", {"format": "png", "clip": {
        "x": 0, "y": 0, "width": WIDTH, "height": HEIGHT, "scale": 1}})
    shot = base64.b64decode(shot["data"])
    if out:
        with open(os.path.join(out, f"studio-{t:g}.png"), "wb") as f:
            f.write(shot)
    with open(native[t], "rb") as f:
        differences = mean_differences(decode_png(shot), decode_png(f.read()))
    figures = " ".join(f"{d:.2f}" for d in differences)
    checks.expect(max(differences) < 1.0, f"{what}: R G B {figures}")


def check_studio(browser, base, native, out, checks):
    print("The studio (mean difference per channel against the capture tool, of 255):")
    bar = 48  # the transport's height: the frame above it is 800x600
    browser.page("Emulation.setDeviceMetricsOverride",
                 {"width": WIDTH, "height": HEIGHT + bar, "deviceScaleFactor": 1,
                  "mobile": False})
    studio = "brindlequay.studio"
    try:
        browser.open(f"{base}?studio&at=130&paused&uptime=1000")
        if not checks.expect(browser.wait_for(f"window.brindlequay && {studio} && "
                                              f"{studio}.frames > 0", 180),
                             "the studio shows its first frame"):
            return
        state = browser.evaluate(studio)
        checks.expect(state["time"] == 130 and state["paused"], "paused at 130 s")
        compare_frame(browser, native, 130, out, checks, "130 s")
        sections = state["sections"]
        checks.expect(sections[0] == 0 and sections == sorted(set(sections)) and
                      len(sections) > 5, f"section starts from the schedule: {sections}")

        def moved(to, what):
            return checks.expect(browser.wait_for(
                f"{studio}.time == {to} && {studio}.paused", 60), what)

        browser.press("ArrowRight", "ArrowRight", 39)
        if moved(131, "Right: 131 s, still paused"):
            compare_frame(browser, native, 131, out, checks, "131 s after Right")
        following = next(s for s in sections if s > 131)
        browser.press("PageDown", "PageDown", 34)
        moved(following, f"Page Down: the next section's start, {following} s")
        seek = browser.evaluate("(() => { const r = document.getElementById('seek')"
                                ".getBoundingClientRect(); return [r.x, r.y, r.width, "
                                "r.height]; })()")
        browser.click(seek[0] + seek[2] * 0.25, seek[1] + seek[3] / 2)
        checks.expect(browser.wait_for(f"Math.abs({studio}.time - 50) < 0.5 && "
                                       f"Math.round({studio}.time * 60) == {studio}.time * 60",
                                       60), "a click a quarter along the bar: about 50 s")
        hundredths = int(browser.evaluate(f"{studio}.time") * 100 + 1e-6)
        shown = f"{hundredths // 6000}:{hundredths // 100 % 60:02d}.{hundredths % 100:02d}"
        checks.expect(browser.evaluate("document.getElementById('time').textContent") == shown,
                      f"the bar shows the time as m:ss.ff: {shown}")
        # The window's transport, the same rules: the end holds, Page Down stays there.
        browser.click(seek[0] + seek[2] - 2, seek[1] + seek[3] / 2)
        checks.expect(browser.wait_for(f"{studio}.time > {sections[-1]}", 60),
                      "a click near the bar's end: in the last section")
        browser.press("PageDown", "PageDown", 34)
        moved(200, "Page Down from the last section: the end, 200 s")
        browser.press("PageDown", "PageDown", 34)
        browser.press("ArrowRight", "ArrowRight", 39)
        checks.expect(browser.wait_for(f"{studio}.time == 200 && "
                                       f"{studio}.text == '3:20.00'", 30),
                      "Page Down and Right at the end stay there, 3:20.00")
        browser.press("l", "KeyL", 76)
        checks.expect(browser.wait_for(f"{studio}.message.startsWith('LOOP NEEDS')", 30),
                      "L without in and out says so in the bar")
    finally:
        browser.page("Emulation.setDeviceMetricsOverride",
                     {"width": WIDTH, "height": HEIGHT, "deviceScaleFactor": 1,
                      "mobile": False})


def keep(browser, out, name):
    if out:
        with open(os.path.join(out, name), "wb") as f:
            f.write(browser.screenshot())


# The first hit within 50 ms of each cue in the page's decoding of the sound track, in
# seconds (null where there is none): the first sample from which the next millisecond
# carries ten times the energy of the ten milliseconds before it, as tests/audio_hits.h.
FIND_HITS = """(async () => {
  const buffer = await Object.values(Module.soundFiles)[0];
  const left = buffer.getChannelData(0), right = buffer.getChannelData(1);
  const rate = buffer.sampleRate, ms = Math.round(rate / 1000);
  const energy = (from, to) => {
    let sum = 0;
    for (let n = from; n < to; ++n) sum += (left[n] + right[n]) ** 2;
    return sum / (to - from);
  };
  return %s.map((cue) => {
    const centre = Math.round(cue * rate);
    for (let n = centre - 50 * ms; n < centre + 50 * ms; ++n) {
      const next = energy(n, n + ms);
      if (next > 0 && next >= 10 * energy(n - 10 * ms, n)) return n / rate;
    }
    return null;
  });
})()""" % HIT_CUES


def check_play(browser, base, out, checks, measure):
    print("Playing:")
    browser.open(base)
    checks.expect(browser.wait_for("window.brindlequay && brindlequay.ready", 60),
                  "the page loads and offers to play")
    keep(browser, out, "page-ready.png")
    time.sleep(1)
    checks.expect(browser.evaluate("!Module.demoSound && !brindlequay.started"),
                  "nothing runs or sounds before the click")
    checks.expect(browser.wait_for("brindlequay.decoded", 30),
                  "the sound track decodes before the click")
    hits = browser.evaluate(FIND_HITS)
    checks.expect(all(h is not None and abs(h - c) <= 0.001 for h, c in zip(hits, HIT_CUES)),
                  "its hits land on their cues: " + ", ".join(
                      f"{c} s: {'none' if h is None else f'{(h - c) * 1000:+.2f} ms'}"
                      for h, c in zip(hits, HIT_CUES)))
    checks.expect("Click to play" in browser.evaluate("document.body.innerText"),
                  "the page says: click to play")
    browser.click(WIDTH // 2, HEIGHT // 4)
    checks.expect(browser.wait_for("brindlequay.firstFrame", 30), "the click starts the demo")
    checks.expect(browser.wait_for(
        "Module.demoSound && Module.demoSound.source && "
        "Module.demoSound.context.state == 'running'", 10), "the music plays after the click")
    if measure:
        times = browser.evaluate("brindlequay")
        print(f"  page start to ready to play: {times['ready']:.0f} ms, sound track decoded: "
              f"{times['decoded']:.0f} ms; click to first frame: "
              f"{times['firstFrame'] - times['started']:.0f} ms")
        measure_sound_offset(browser)
    browser.press("Alt", "AltLeft", 18, modifiers=1)
    time.sleep(0.5)
    checks.expect(not browser.evaluate("brindlequay.ended"), "Alt (a system key) does not end it")
    browser.press("a", "KeyA", 65)
    checks.expect(browser.wait_for("brindlequay.ended", 10), "a key press ends the demo")
    checks.expect("The demo has ended." in browser.evaluate("document.body.innerText"),
                  "the page says the demo has ended")
    keep(browser, out, "page-ended.png")
    checks.expect(browser.evaluate("document.getElementById('again').offsetParent !== null"),
                  "and offers to play again")
    checks.expect(browser.evaluate("!Module.demoSound"), "the music has stopped")


def measure_sound_offset(browser):
    """The demo clock against the music's time at the sample the output says it plays now."""
    offsets = []
    for _ in range(10):
        time.sleep(0.2)
        offsets.append(browser.evaluate(
            "(() => { const s = Module.demoSound, t = s.context.getOutputTimestamp();"
            " return (t.performanceTime - s.clockStart) - (t.contextTime - s.startTime) * 1000;"
            " })()"))
    latency = browser.evaluate("[Module.demoSound.context.outputLatency,"
                               " Module.demoSound.context.baseLatency]")
    print(f"  demo clock ahead of the sound heard: {min(offsets):+.2f} to {max(offsets):+.2f} ms "
          f"(output latency {latency[0] * 1000:.0f} ms, base latency {latency[1] * 1000:.0f} ms)")


def check_full_screen(browser, base, checks):
    print("Playing full screen:")
    browser.open(base)
    browser.wait_for("window.brindlequay && brindlequay.ready", 60)
    button = browser.evaluate("(() => { const r = document.getElementById('full-screen')"
                              ".getBoundingClientRect(); return [r.x + r.width / 2, "
                              "r.y + r.height / 2]; })()")
    browser.click(*button)
    checks.expect(browser.wait_for("brindlequay.firstFrame && !!document.fullscreenElement", 30),
                  "the button starts the demo full screen")
    browser.press("F5", "F5", 116)
    checks.expect(browser.wait_for("brindlequay.ended", 10),
                  "F5 is the demo's key: it ends the demo, the page is not reloaded")
    checks.expect(browser.wait_for("!document.fullscreenElement", 5), "and leaves full screen")


def measure_frame_rates(browser, base):
    print("Frames per second in this browser (3 s after the time):")
    for t in FPS_TIMES:
        browser.open(f"{base}?at={t}&frames=180")
        if browser.wait_for("document.title == 'Brindlequay ready'", 240):
            print(f"  {t:3d} s: {browser.evaluate('brindlequay.framesPerSecond'):.1f}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("web_build")
    parser.add_argument("native_build")
    parser.add_argument("--out", help="keep the stills of both builds here")
    parser.add_argument("--measure", action="store_true", help="report times and frame rates")
    options = parser.parse_args()
    web_build = os.path.abspath(options.web_build)
    native_build = os.path.abspath(options.native_build)
    if options.out:
        os.makedirs(options.out, exist_ok=True)

    checks = Checks()
    base = serve(web_build)
    with tempfile.TemporaryDirectory(prefix="emberhall-stills-") as folder:
        native = native_stills(native_build, folder)
        browser = Browser()
        try:
            check_stills(browser, base, native, options.out, checks)
            check_studio(browser, base, native, options.out, checks)
            check_play(browser, base, options.out, checks, options.measure)
            check_full_screen(browser, base, checks)
            if options.measure:
                measure_frame_rates(browser, base)
            checks.expect(not browser.console, "nothing on the page's console")
            for line in browser.console:
                print(f"    {line}")
        finally:
            browser.close()
    if checks.failures:
        print(f"{len(checks.failures)} web check(s) failed", file=sys.stderr)
        return 1
    print("All web checks passed.")
    return 0


if __name__ == "__main__":
    sys.exit(main())
