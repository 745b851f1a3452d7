#!/usr/bin/env python3
"""Checks in headless Chromium that a generated button reacts to the mouse.

Usage: svg_hover_check.py PAGE [X Y]
       svg_hover_check.py PAGE --element SELECTOR

PAGE is an .svg or .htm file. With --element the button is the page's
element SELECTOR (the HTML form): the mouse goes to its middle, and it must
also sit on the line of the text before it, take the focus from Tab and show
a focus ring. The page is shown and a screenshot taken; then
Tab is pressed (the button must take the focus and change), the page reloaded,
the mouse moved to (X, Y) (default 20, 15) and pressed. The check passes when
the focused, hovered and pressed pictures differ from the one before.
Exit codes: 0 differs, 1 same or failure, 77 Chromium is not installed.
Talks the DevTools protocol over a pipe, so it needs nothing beyond Python.
"""
import base64
import json
import os
import subprocess
import sys
import tempfile
import time

CHROMIUM = os.environ.get("FENNIC_CHROMIUM", "/usr/bin/chromium")


class DevTools:
    def __init__(self, proc, to_browser, from_browser):
        self.proc = proc
        self.out = to_browser
        self.inp = from_browser
        self.next_id = 0
        self.buffer = b""

    def call(self, method, session=None, **params):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params}
        if session:
            message["sessionId"] = session
        os.write(self.out, json.dumps(message).encode() + b"\0")
        while True:
            reply = self.read()
            if reply.get("id") == self.next_id:
                if "error" in reply:
                    raise RuntimeError(f"{method}: {reply['error']}")
                return reply.get("result", {})

    def read(self):
        while b"\0" not in self.buffer:
            chunk = os.read(self.inp, 65536)
            if not chunk:
                raise RuntimeError("browser closed the pipe")
            self.buffer += chunk
        message, self.buffer = self.buffer.split(b"\0", 1)
        return json.loads(message)


# Where the element is and whether it shares a line box with the last
# character of the text just before it.
LAYOUT_SCRIPT = """(() => {
  const el = document.querySelector(%s);
  if (!el) return null;
  const r = el.getBoundingClientRect();
  let t = el.previousSibling;
  while (t && (t.nodeType !== Node.TEXT_NODE || !t.textContent.trim())) t = t.previousSibling;
  let onLine = false;
  if (t) {
    const range = document.createRange();
    const end = t.textContent.trimEnd().length;
    range.setStart(t, end - 1);
    range.setEnd(t, end);
    const c = range.getBoundingClientRect();
    onLine = r.top <= c.bottom && r.bottom >= c.top && r.left >= c.right - 1;
  }
  return {x: r.x + r.width / 2, y: r.y + r.height / 2, onLine: onLine};
})()"""

FOCUS_SCRIPT = """(() => {
  const el = document.activeElement;
  if (!el || !el.matches(%s)) return 'focus is on ' + (el ? el.tagName : 'nothing');
  const s = getComputedStyle(el);
  return s.outlineStyle !== 'none' && parseFloat(s.outlineWidth) > 0 ? 'ring' : 'no ring';
})()"""


def place_pipe(read_end, write_end):
    # In the child: move the pipe to fds 3 and 4 without one clobbering the other.
    high_read = os.dup(read_end)
    high_write = os.dup(write_end)
    os.dup2(high_read, 3)
    os.dup2(high_write, 4)


def main():
    if len(sys.argv) < 2:
        print(__doc__)
        return 1
    if not os.path.exists(CHROMIUM):
        print(f"SKIP: {CHROMIUM} is not installed")
        return 77
    page = os.path.abspath(sys.argv[1])
    selector = None
    if len(sys.argv) > 3 and sys.argv[2] == "--element":
        selector = sys.argv[3]
        x = y = 0.0
    else:
        x = float(sys.argv[2]) if len(sys.argv) > 2 else 20.0
        y = float(sys.argv[3]) if len(sys.argv) > 3 else 15.0

    # fds 3 and 4 are the browser's end of the DevTools pipe.
    to_browser_r, to_browser_w = os.pipe()
    from_browser_r, from_browser_w = os.pipe()
    profile = tempfile.mkdtemp(prefix="fennic-chromium-")
    proc = subprocess.Popen(
        [CHROMIUM, "--headless=new", "--remote-debugging-pipe", "--no-sandbox", "--disable-gpu",
         "--no-first-run", "--no-default-browser-check", f"--user-data-dir={profile}",
         "--allow-file-access-from-files", "about:blank"],
        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
        pass_fds=(3, 4), preexec_fn=lambda: place_pipe(to_browser_r, from_browser_w))
    os.close(to_browser_r)
    os.close(from_browser_w)
    tools = DevTools(proc, to_browser_w, from_browser_r)
    try:
        target = tools.call("Target.createTarget", url="about:blank")["targetId"]
        session = tools.call("Target.attachToTarget", targetId=target, flatten=True)["sessionId"]
        tools.call("Page.enable", session)
        tools.call("Emulation.setDeviceMetricsOverride", session, width=400, height=200,
                   deviceScaleFactor=1, mobile=False)
        tools.call("Page.navigate", session, url="file://" + page)
        time.sleep(1.5)
        clip = {"x": 0, "y": 0, "width": 400, "height": 200, "scale": 1}

        def evaluate(expression):
            return tools.call("Runtime.evaluate", session, expression=expression,
                              returnByValue=True)["result"].get("value")

        if selector:
            where = evaluate(LAYOUT_SCRIPT % json.dumps(selector))
            if not where:
                print(f"FAIL: no element {selector} in {page}")
                return 1
            x, y = where["x"], where["y"]
            if not where["onLine"]:
                print(f"FAIL: {selector} does not sit on the line of the text before it: {where}")
                return 1
        normal = tools.call("Page.captureScreenshot", session, format="png", clip=clip)["data"]
        # Keyboard users reach the button with Tab and see it as if hovered.
        for kind in ("rawKeyDown", "keyUp"):
            tools.call("Input.dispatchKeyEvent", session, type=kind, key="Tab", code="Tab",
                       windowsVirtualKeyCode=9, nativeVirtualKeyCode=9)
        time.sleep(0.5)
        focused = tools.call("Page.captureScreenshot", session, format="png", clip=clip)["data"]
        if selector:
            ring = evaluate(FOCUS_SCRIPT % json.dumps(selector))
            if ring != "ring":
                print(f"FAIL: Tab does not give {selector} a visible focus ring ({ring})")
                return 1
        tools.call("Page.reload", session)
        time.sleep(1.5)
        tools.call("Input.dispatchMouseEvent", session, type="mouseMoved", x=x, y=y)
        time.sleep(0.5)
        hover = tools.call("Page.captureScreenshot", session, format="png", clip=clip)["data"]
        tools.call("Input.dispatchMouseEvent", session, type="mousePressed", x=x, y=y, button="left",
                   clickCount=1)
        time.sleep(0.3)
        pressed = tools.call("Page.captureScreenshot", session, format="png", clip=clip)["data"]
        shots = os.environ.get("FENNIC_SCREENSHOT_DIR")
        if shots:
            base = os.path.splitext(os.path.basename(page))[0]
            for name, data in (("normal", normal), ("focus", focused), ("hover", hover), ("pressed", pressed)):
                with open(os.path.join(shots, f"{base}-{name}.png"), "wb") as f:
                    f.write(base64.b64decode(data))
        if normal == focused:
            print(f"FAIL: the Tab key does not reach the button in {page}")
            return 1
        if normal == hover:
            print(f"FAIL: hovering {page} changes nothing")
            return 1
        if hover == pressed:
            print(f"FAIL: pressing {page} changes nothing")
            return 1
        print(f"OK: {page} is reached by Tab and shows distinct hover and pressed looks")
        return 0
    finally:
        try:
            tools.call("Browser.close")
        except Exception:
            pass
        try:
            proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            proc.kill()


if __name__ == "__main__":
    sys.exit(main())
