"""The page in Firefox ESR on Xvfb, through WebDriver BiDi.

Debian has no geckodriver, but Firefox speaks WebDriver BiDi itself over a
WebSocket (python3-websockets). Its window fills the X screen and takes keys
and clicks from the X server as a player's: a headless Firefox takes keys
from BiDi, and Enter on a focused button there never clicks it.
"""
import asyncio
import json
import pathlib
import re
import shutil
import tempfile

from browsersession import OnXvfb, PageSession
from session import Failure, end_all, spawn

# A quiet profile: no first-run pages, nothing fetched from elsewhere.
PREFERENCES = {
    "browser.aboutwelcome.enabled": False, "browser.startup.homepage_override.mstone": "ignore",
    "browser.startup.page": 0, "browser.shell.checkDefaultBrowser": False,
    "datareporting.policy.dataSubmissionEnabled": False, "app.update.auto": False,
    "browser.tabs.warnOnClose": False, "toolkit.telemetry.reportingpolicy.firstRun": False,
}

# Every script is a function body; its arguments come in as JSON, and its
# result, awaited, goes back as JSON.
WRAPPER = """(json) => Promise.resolve((function () { %s }).apply(null, JSON.parse(json)))
    .then((value) => JSON.stringify(value === undefined ? null : value))"""


class FirefoxSession(OnXvfb, PageSession):
    name = "Firefox"
    firefox = socket = profile = None

    def start_browser(self):
        self.loop = asyncio.new_event_loop()
        asyncio.set_event_loop(self.loop)  # websockets 10 binds to the current loop
        self.ids = 0
        self.profile = profile = tempfile.mkdtemp(prefix="zorbleck-firefox-")
        with open(f"{profile}/user.js", "w") as prefs:
            prefs.writelines(f"user_pref({json.dumps(k)}, {json.dumps(v)});\n" for k, v in PREFERENCES.items())
        log = pathlib.Path(profile, "output")
        with open(log, "w") as output:
            self.firefox = spawn(["firefox-esr", "--no-remote", "--profile", profile, "--remote-debugging-port", "0",
                                  "--width", "1024", "--height", "768"],
                                 env=self.start_display(), stdout=output, stderr=output)
        address = self.wait_for(lambda: re.search(r"WebDriver BiDi listening on (ws://\S+)", log.read_text()),
                                "Firefox did not start WebDriver BiDi", timeout=30)
        import websockets  # Debian's python3-websockets
        self.socket = self.wait(websockets.connect(address.group(1) + "/session", max_size=None))
        self.browser_version = self.command("session.new", capabilities={})["capabilities"]["browserVersion"]
        self.context = self.command("browsingContext.getTree")["contexts"][0]["context"]
        self.find_page()

    def wait(self, step, timeout=120):
        return self.loop.run_until_complete(asyncio.wait_for(step, timeout))

    def command(self, method, **parameters):
        self.ids += 1
        sent = self.ids
        self.wait(self.socket.send(json.dumps({"id": sent, "method": method, "params": parameters})))
        while True:
            answer = json.loads(self.wait(self.socket.recv()))
            if answer.get("id") == sent:
                if "error" in answer:
                    raise Failure(f"{method}: {answer['error']}: {answer.get('message')}")
                return answer["result"]

    def run(self, script, *arguments):
        result = self.command("script.callFunction", functionDeclaration=WRAPPER % script, awaitPromise=True,
                              arguments=[{"type": "string", "value": json.dumps(arguments)}],
                              target={"context": self.context})
        if result["type"] == "exception":
            raise Failure(f"the script failed: {result['exceptionDetails']['text']}")
        return json.loads(result["result"]["value"])

    def open(self, url):
        self.command("browsingContext.navigate", context=self.context, url=url, wait="complete")
        # The address bar keeps the keyboard after a navigation from outside,
        # where Enter would open the page again: click into the page first, as
        # a player does, in a corner that the game never uses.
        if self.offset != (0, 0):
            self.click(self.offset[0] + 2, self.offset[1] + self.height - 2)

    def reload(self):
        self.command("browsingContext.reload", context=self.context)

    def version(self):
        return self.browser_version

    def close_browser(self):
        if self.socket:
            try:
                self.wait(self.socket.close(), timeout=5)
            except Exception:  # the browser already went away
                pass
        end_all([self.firefox] if self.firefox else [])
        self.loop.close()
        shutil.rmtree(self.profile, ignore_errors=True)
