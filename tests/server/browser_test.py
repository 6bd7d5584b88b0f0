#!/usr/bin/env python3
"""The classroom server in a real browser: headless Chromium driven through its driver.

usage: browser_test.py TAVOLA_CLI SAMPLE_DIR [--screenshots DIR]

A pupil logs on, practises a unit by tapping the pads with one wrong try, scores, reviews and tests; the learner
file holds the record lines the practice engine writes; six wrong passwords make the pupil wait; a second pupil's
session reaches only the second pupil's records; the page of a practice carries no answer. Exits 77 (skipped)
when Chromium or its driver is missing.
"""
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SKIP = 77
CHROMIUM = shutil.which("chromium") or shutil.which("chromium-browser")
DRIVER = shutil.which("chromedriver") or ("/usr/bin/chromedriver" if os.path.exists("/usr/bin/chromedriver") else None)

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.webdriver.support.ui import WebDriverWait
except ImportError:
    webdriver = None

# Lesson 1, section 2, unit 1 of the test courseware.
ANSWERS = ["5/6", "11/12", "11/15", "11/12", "13/24", "11/14"]
SECTION = "S21通分してたし算"


class Failure(Exception):
    pass


def check(condition, what):
    if not condition:
        raise Failure(what)


def start_server(cli, course):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", ASAN_OPTIONS="detect_leaks=0")
    server = subprocess.Popen([cli, "serve", course, "--port", "0", "--bind", "127.0.0.1"], stdout=subprocess.PIPE,
                              stderr=subprocess.STDOUT, text=True, env=env)
    deadline = time.time() + 60
    while time.time() < deadline:
        line = server.stdout.readline()
        if not line:
            break
        match = re.search(r"serving on (http://127\.0\.0\.1:\d+/)", line)
        if match:
            return server, match.group(1)
    server.kill()
    raise Failure("the server did not start")


def browser(width, height, profile):
    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    for arg in ["--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
                "--disable-component-update", "--disable-sync", "--no-first-run", "--disable-dev-shm-usage",
                "--user-data-dir=" + profile, "--window-size=%d,%d" % (width, height), "--lang=ja"]:
        options.add_argument(arg)
    driver = webdriver.Chrome(service=Service(DRIVER), options=options)
    driver.set_window_size(width, height)
    return driver


class Pupil:
    def __init__(self, driver, url):
        self.d = driver
        self.url = url
        self.wait = WebDriverWait(driver, 15)

    def el(self, css):
        return self.wait.until(lambda d: d.find_element(By.CSS_SELECTOR, css))

    def tap(self, css):
        self.wait.until(lambda d: d.find_element(By.CSS_SELECTOR, css).is_displayed()
                        and d.find_element(By.CSS_SELECTOR, css).is_enabled())
        self.d.find_element(By.CSS_SELECTOR, css).click()

    def text(self, css):
        return self.el(css).text

    def shown(self, css):
        els = self.d.find_elements(By.CSS_SELECTOR, css)
        return bool(els) and els[0].is_displayed()

    def wait_for(self, condition, what):
        def settled(_):
            # A list drawn again meanwhile leaves stale elements behind; look again.
            try:
                return condition()
            except Exception:
                return False
        try:
            self.wait.until(settled)
        except Exception:
            raise Failure("waited in vain for " + what)

    def choose(self, name):
        self.d.get(self.url)
        self.wait_for(lambda: any(b.text == name for b in self.d.find_elements(By.CSS_SELECTOR, "button.name")),
                      "the name list")
        for b in self.d.find_elements(By.CSS_SELECTOR, "button.name"):
            if b.text == name:
                b.click()
                break
        self.wait_for(lambda: self.shown("#pw"), "the password field")

    def log_on(self, name, password, new=False):
        self.choose(name)
        self.el("#pw").send_keys(password)
        if new:
            check(self.shown("#pw2"), "a new password is confirmed")
            self.el("#pw2").send_keys(password)
        self.tap("#logon")
        self.wait_for(lambda: self.shown("#unitsView"), "the units")

    def open_unit(self, section, unit):
        self.tap("button.unit[data-s='%d'][data-u='%d']" % (section, unit))
        self.wait_for(lambda: self.shown("#btnRenshu"), "the practice page")

    def dismiss(self):
        """Closes the message shown, and returns its text."""
        self.wait_for(lambda: self.shown("#dialog"), "a message")
        text = self.text("#dialogText")
        self.tap("#dialogOk")
        self.wait_for(lambda: not self.shown("#dialog"), "the message to close")
        return text

    def focused_box(self):
        return self.d.execute_script("return document.activeElement && document.activeElement.id")

    def type_fraction(self, text):
        """Taps a fraction into the focused box with the fraction pad: denominator, 分の, numerator, 次へ."""
        numerator, denominator = text.split("/")
        for digit in denominator:
            self.tap("#f" + digit)
        self.tap("#btnBunno")
        for digit in numerator:
            self.tap("#f" + digit)
        self.tap("#btnInputBun")

    def type_number(self, text):
        for ch in text:
            self.tap("#n" + ch)
        self.tap("#btnInputNum")


def records(course, learner):
    path = os.path.join(course, "tasu", learner + ".ini")
    if not os.path.exists(path):
        return []
    lines = open(path, "rb").read().decode("cp932").split("\r\n")
    out, inside = [], False
    for line in lines:
        if line.startswith("["):
            inside = line == "[" + SECTION + "]"
        elif inside and "=" in line:
            out.append(line.split("=", 1)[1])
    return out


def record_pattern(trail, result):
    return re.compile(r"^\d{4}年\d\d月\d\d日 \d\d:\d\d \[" + trail + r"\] " + re.escape(result) + r" \d\d:\d\d$")


def practice_with_one_wrong_try(p, course, shots):
    p.tap("#btnRenshu")
    p.wait_for(lambda: p.focused_box() == "M1", "the focus in the first box")
    source = p.d.page_source
    for answer in ANSWERS:
        check(answer not in source, "the page of a practice carries no answer (%s)" % answer)
    for k, answer in enumerate(ANSWERS, 1):
        p.wait_for(lambda: p.focused_box() == "M%d" % k, "the focus in box %d" % k)
        if k == 2:
            p.type_number("12")
            p.wait_for(lambda: "解答を訂正してください" in p.text("#messages"), "the request to correct")
            if shots:
                shots("practice")
        p.type_fraction(answer)
    p.wait_for(lambda: p.text("#score") == "83点", "the score")
    check(p.dismiss() == "練習を終わりました", "the end message of a practice")
    if shots:
        shots("score")
    lines = records(course, "はなこ")
    check(len(lines) == 1 and record_pattern("010000", " 5/ 6  83点").match(lines[0]),
          "the practice record: %r" % lines)
    # Review: only the wrong box opens again; a review is not recorded.
    p.tap("#btnFukushu")
    p.wait_for(lambda: p.focused_box() == "M2", "the review of box 2")
    check(not p.shown("#M1"), "a box answered right stays closed in the review")
    p.type_fraction("11/12")
    check(p.dismiss() == "復習を終わりました", "the end message of a review")
    check(len(records(course, "はなこ")) == 1, "a review writes no record")


def test_all_correct(p, course):
    p.tap("#btnTest")
    p.wait_for(lambda: p.focused_box() == "M1", "the focus in the first box of the test")
    for k, answer in enumerate(ANSWERS, 1):
        p.wait_for(lambda: p.focused_box() == "M%d" % k, "the focus in test box %d" % k)
        p.type_fraction(answer)
    p.tap("#btnSaiten")
    p.wait_for(lambda: p.text("#score") == "100点", "the test score")
    check("全問正解です" in p.dismiss(), "the all-correct message")
    lines = records(course, "はなこ")
    check(len(lines) == 2 and record_pattern("", " 6/ 6 100点").match(lines[1]), "the test record: %r" % lines)


def main():
    if len(sys.argv) < 3:
        print(__doc__)
        return 2
    if webdriver is None or CHROMIUM is None or DRIVER is None:
        print("SKIPPED: headless Chromium, its driver or python3-selenium is not installed")
        return SKIP
    cli, sample = sys.argv[1], sys.argv[2]
    shot_dir = sys.argv[sys.argv.index("--screenshots") + 1] if "--screenshots" in sys.argv else None
    work = tempfile.mkdtemp(prefix="tavola-browser-")
    course = os.path.join(work, "course")
    shutil.copytree(sample, course)
    os.makedirs(os.path.join(course, "LogOn"), exist_ok=True)
    with open(os.path.join(course, "LogOn", "sname.txt"), "wb") as f:
        f.write("はなこ\r\nたろう\r\n".encode("cp932"))
    server, url = start_server(cli, course)
    drivers = []
    try:
        sizes = [(1280, 800)] + ([(768, 1024)] if shot_dir else [])
        for width, height in sizes:
            d = browser(width, height, os.path.join(work, "profile-%d" % width))
            drivers.append(d)
            p = Pupil(d, url)

            def shots(name, d=d, width=width, height=height):
                if shot_dir:
                    os.makedirs(shot_dir, exist_ok=True)
                    d.save_screenshot(os.path.join(shot_dir, "%s-%dx%d.png" % (name, width, height)))

            if width == 1280:
                p.choose("はなこ")
                shots("logon")
                p.el("#pw").send_keys("abcd")
                p.el("#pw2").send_keys("abcd")
                p.tap("#logon")
                p.wait_for(lambda: p.shown("#unitsView"), "the units")
                shots("units")
                p.open_unit(2, 1)
                practice_with_one_wrong_try(p, course, shots)
                test_all_correct(p, course)
                check(p.d.execute_script("return document.cookie") == "", "the session cookie is HttpOnly")
                # The marks of the unit selection window: two records now.
                p.tap("#btnEnd")
                p.wait_for(lambda: "[2]" in p.text("button.unit[data-s='2'][data-u='1']"), "the practice count")
            else:
                # The same pupil on a tablet held upright: the screenshots only.
                p.log_on("はなこ", "abcd")
                shots("units")
                p.open_unit(2, 1)
                p.tap("#btnRenshu")
                p.wait_for(lambda: p.focused_box() == "M1", "the focus")
                p.type_fraction("5/6")
                p.type_number("12")
                shots("practice")
                p.tap("#btnAbort")

        # A second pupil, in a browser of their own, reaches only their own records.
        d2 = browser(1280, 800, os.path.join(work, "profile-taro"))
        drivers.append(d2)
        taro = Pupil(d2, url)
        taro.log_on("たろう", "wxyz", new=True)
        taro.open_unit(2, 1)
        taro.tap("#btnRecords")
        memo = taro.dismiss()
        check("たろう" in memo and "練習の記録はありません" in memo and "はなこ" not in memo, "the second pupil's records")
        hanako_before = records(course, "はなこ")
        taro.tap("#btnTest")
        taro.wait_for(lambda: taro.focused_box() == "M1", "the second pupil's test")
        taro.type_number("1")
        taro.tap("#btnSaiten")
        taro.wait_for(lambda: taro.text("#score") == "0点", "the second pupil's score")
        taro.dismiss()
        check(records(course, "はなこ") == hanako_before, "the first pupil's records are untouched")
        check(len(records(course, "たろう")) == 1, "the second pupil's record")

        # Six wrong passwords: the sixth waits, the right password too.
        d3 = browser(1280, 800, os.path.join(work, "profile-wrong"))
        drivers.append(d3)
        w = Pupil(d3, url)
        w.choose("はなこ")
        for k in range(6):
            w.el("#pw").clear()
            w.el("#pw").send_keys("zzzz")
            w.tap("#logon")
            expected = "パスワードを正しく入力してください" if k < 5 else "秒たってから"
            w.wait_for(lambda: expected in w.text("#logonMessage") and w.el("#pw").get_attribute("value") == "",
                       "message %d" % (k + 1))
            w.d.execute_script("document.getElementById('logonMessage').textContent = ''")
        w.el("#pw").send_keys("abcd")
        w.tap("#logon")
        w.wait_for(lambda: "秒たってから" in w.text("#logonMessage"), "the wait for the right password too")
        check(not w.shown("#unitsView"), "no log-on while waiting")
        print("browser tests passed")
        shutil.rmtree(work, ignore_errors=True)
        return 0
    except Failure as e:
        print("FAILED:", e)
        for d in drivers:
            try:
                d.save_screenshot(os.path.join(work, "failure-%d.png" % drivers.index(d)))
            except Exception:
                pass
        print("screens kept in", work)
        return 1
    finally:
        for d in drivers:
            try:
                d.quit()
            except Exception:
                pass
        server.send_signal(signal.SIGTERM)
        try:
            server.wait(10)
        except subprocess.TimeoutExpired:
            server.kill()


if __name__ == "__main__":
    sys.exit(main())
