#!/usr/bin/env python3
"""The studio's timings in a window, as a user meets them: an Xvfb screen with openbox,
the studio started on it, keys sent by xdotool, and the screen read from the X server
(XGetImage) every few milliseconds until the picture changes.

  bench/studio_window.py BUILD_DIR

Reports: start-up to the first frame with --at 170 --paused; Shift+Left from 170 s, from
the key to the new frame; seeks to 20, 100, 170 and 199 s by a click on the bar, from the
click to the new frame; Tab at 190 s paused, from the key to the bar's change; and the
darkest grab seen while the seeks ran (a black window would show as 0% lit). Seeks compare
the picture's centre only (the bar says LOADING at once), Tab the whole screen.
"""
import ctypes
import os
import subprocess
import sys
import time

X = ctypes.cdll.LoadLibrary("libX11.so.6")
X.XOpenDisplay.restype = ctypes.c_void_p
X.XOpenDisplay.argtypes = [ctypes.c_char_p]
X.XDefaultRootWindow.restype = ctypes.c_ulong
X.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
X.XGetImage.restype = ctypes.c_void_p
X.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                        ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]


class XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p),
                ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
                ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int)]


WIDTH, HEIGHT, PICTURE_ROWS = 1024, 768, 560
darkest = 1.0  # the smallest share of lit bytes in the picture's centre seen during seeks


def grab(display, root, rows):
    image = X.XGetImage(display, root, 0, 0, WIDTH, rows, 0xFFFFFFFF, 2)
    header = XImage.from_address(image)
    data = ctypes.string_at(header.data, header.bytes_per_line * rows)
    ctypes.cdll.LoadLibrary("libc.so.6").free(ctypes.c_void_p(header.data))
    return data


def centre(shot):
    """Rows 200 to 400, columns 200 to 600: inside the picture, away from bar and pointer."""
    return b"".join(shot[row * WIDTH * 4 + 800:row * WIDTH * 4 + 2400] for row in range(200, 400))


def settle_time(display, root, seconds=4):
    """When the picture's centre took the look it has `seconds` later: the first of the
    grabs from which on it stayed the same, in seconds from the call."""
    global darkest
    start, shots = time.monotonic(), []
    while time.monotonic() - start < seconds:
        shots.append((time.monotonic() - start, centre(grab(display, root, PICTURE_ROWS))))
        lit = sum(1 for i in range(0, len(shots[-1][1]), 97) if shots[-1][1][i] > 8)
        darkest = min(darkest, lit / (len(shots[-1][1]) / 97))
        time.sleep(0.002)
    settled = shots[-1][0]
    for at, shot in reversed(shots):
        if shot != shots[-1][1]:
            break
        settled = at
    return settled


def wait_change(display, root, before, rows, limit=30):
    start = time.monotonic()
    while time.monotonic() - start < limit:
        now = grab(display, root, rows)
        if now != before:
            return time.monotonic() - start, now
        time.sleep(0.002)
    return float("nan"), before


def main():
    build = os.path.abspath(sys.argv[1])
    name = ":71"
    server = subprocess.Popen(["Xvfb", name, "-screen", "0", f"{WIDTH}x{HEIGHT}x24"],
                              stderr=subprocess.DEVNULL)
    time.sleep(1)
    env = dict(os.environ, DISPLAY=name, SDL_AUDIODRIVER="dummy")
    wm = subprocess.Popen(["openbox"], env=env, stderr=subprocess.DEVNULL)
    time.sleep(1)
    display = X.XOpenDisplay(name.encode())
    root = X.XDefaultRootWindow(display)
    key = lambda k: subprocess.run(["xdotool", "search", "--name", "Brindlequay", "windowfocus",
                                    "--sync", "key", k], env=env, stderr=subprocess.DEVNULL)

    def click(target):
        """A click on the bar at demo time `target`."""
        window = subprocess.run(["xdotool", "search", "--name", "Brindlequay"], env=env,
                                capture_output=True, text=True).stdout.split()[0]
        geometry = subprocess.run(["xdotool", "getwindowgeometry", "--shell", window], env=env,
                                  capture_output=True, text=True).stdout
        g = dict(line.split("=") for line in geometry.split() if "=" in line)
        x = round(target / 200 * (int(g["WIDTH"]) - 1))
        y = int(g["HEIGHT"]) - 12
        subprocess.run(["xdotool", "mousemove", "--window", window, "--sync", str(x), str(y)],
                       env=env)
        subprocess.run(["xdotool", "click", "1"], env=env)

    try:
        blank = grab(display, root, PICTURE_ROWS)
        start = time.monotonic()
        studio = subprocess.Popen([build + "/emberhall-studio", "--at", "170", "--paused",
                                   "--uptime", "1000"], cwd=build, env=env,
                                  stderr=subprocess.DEVNULL)
        # The window appears (black) before its first frame: wait until most of the
        # picture's area is lit.
        while time.monotonic() - start < 30:
            shot = grab(display, root, PICTURE_ROWS)
            if sum(1 for i in range(0, len(shot), 401) if shot[i]) > 0.4 * len(shot) / 401:
                break
            time.sleep(0.005)
        print(f"start-up to the first frame (--at 170 --paused): {time.monotonic() - start:.2f} s")
        time.sleep(1.5)
        key("shift+Left")
        seconds = settle_time(display, root)
        print(f"Shift+Left from 170 s to 160 s, key to new frame: {seconds:.3f} s")
        time.sleep(1)
        for target in (20, 100, 170, 199):
            click(target)
            seconds = settle_time(display, root)
            print(f"seek to {target} s by a click on the bar: {seconds:.3f} s")
            time.sleep(1)
        # At 190 s, paused (a click there), Tab takes the bar away.
        click(190)
        time.sleep(2)
        before = grab(display, root, HEIGHT)
        key("Tab")
        seconds, _ = wait_change(display, root, before, HEIGHT)
        print(f"Tab at 190 s paused, key to the bar gone: {seconds * 1000:.1f} ms")
        print(f"darkest grab during the seeks: {darkest * 100:.0f}% of the centre lit")
        studio.terminate()
        studio.wait()
    finally:
        wm.terminate()
        server.terminate()


if __name__ == "__main__":
    main()
