#!/usr/bin/python3
"""The page in a real browser (Debian's headless Chromium through Selenium), served from
127.0.0.1: the form filled and Расчет pressed, the summary against feldan-cli's, the chart drawn,
the views, a .fdn saved and opened again, the language switch and bad input.

    python3 tests/web/browser_test.py SITE_FOLDER FELDAN_CLI
"""
import functools
import http.server
import json
import os
import subprocess
import sys
import tempfile
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import Select, WebDriverWait

site, cli = sys.argv[1], os.path.abspath(sys.argv[2])
passed = failed = 0


def check(what, got, wanted):
    global passed, failed
    if got == wanted:
        passed += 1
    else:
        failed += 1
        print(f"FAILED {what}:\n  got    {got!r}\n  wanted {wanted!r}")


# The designs of the form: field texts, the topology as the list's value, the response.
designs = [
    {},
    {"topology": "cw:6", "response": "3", "ck": "82", "df": "500"},
    {"topology": "ladder:9", "response": "chebyshev", "ripple": "0.3", "fo": "10700,5", "exact": True},
    {"topology": "ladder:3", "response": "bessel", "df": "2400", "level": "-6"},
]
start = {"fo": "8861.736", "ld": "10.1", "cs": "6.3", "rd": "5.7", "ck": "91", "df": "3100",
         "level": "-3", "topology": "ladder:4", "response": "1", "exact": False}


def cli_arguments(design, lang):
    d = {**start, **design}
    structure, order = d["topology"].split(":")
    response = f"chebyshev:{d['ripple']}" if d["response"] == "chebyshev" else d["response"]
    args = [f"--topology={structure}", f"--order={order}", f"--response={response}"]
    args += [f"--{key}={d[key]}" for key in ("fo", "ld", "cs", "rd", "df", "level")]
    if structure == "cw":
        args.append(f"--ck={d['ck']}")
    if d["exact"]:
        args.append("--exact")
    return args + [f"--lang={lang}", "--separator=."]


def run_cli(args):
    return subprocess.run([cli, *args], capture_output=True, text=True)


class Quiet(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Quiet, directory=site))
threading.Thread(target=server.serve_forever, daemon=True).start()
downloads = tempfile.mkdtemp(prefix="feldan-browser-")

options = webdriver.ChromeOptions()
options.binary_location = "/usr/bin/chromium"
for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                 "--window-size=1280,800",
                 "--lang=en-US"):
    options.add_argument(argument)
options.add_experimental_option("prefs", {"download.default_directory": downloads,
                                          "intl.accept_languages": "en-US"})
driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
wait = WebDriverWait(driver, 30)
element = functools.partial(driver.find_element, By.ID)


def fill(design):
    d = {**start, **design}
    Select(element("topology")).select_by_value(d["topology"])
    Select(element("response")).select_by_value(d["response"])
    if d["response"] == "chebyshev":
        element("ripple").clear()
        element("ripple").send_keys(d["ripple"])
    for key in ("fo", "ld", "cs", "rd", "ck", "df", "level"):
        if element(key).is_enabled():
            element(key).clear()
            element(key).send_keys(d[key])
    if element("exact").is_selected() != d["exact"]:
        element("exact").click()


def calculate():
    element("calculate").click()
    return element("summary").text


def curve_points():
    path = driver.find_element(By.CSS_SELECTOR, "#chart path.curve").get_attribute("d")
    return path.count("L") + path.count("M")


def downloaded(name):
    path = os.path.join(downloads, name)
    WebDriverWait(driver, 20).until(lambda _: os.path.exists(path) and os.path.getsize(path) > 0)
    time.sleep(0.2)  # Chromium renames the finished file into place; give the write its end
    with open(path, "rb") as file:
        return file.read()


try:
    driver.get(f"http://127.0.0.1:{server.server_address[1]}/")
    wait.until(lambda d: d.find_element(By.TAG_NAME, "body").get_attribute("data-ready") == "true")
    driver.find_element(By.CSS_SELECTOR, "[data-lang=en]").click()

    # The summary of every design is feldan-cli's, and its pass band is drawn.
    for design in designs:
        fill(design)
        summary = calculate()
        check(f"the summary of {design}", summary + "\n", run_cli(cli_arguments(design, "en")).stdout)
        check(f"the pass band of {design} is drawn", curve_points() > 100, True)

    # The views: each draws the sweep's points, with its own title and unit under the pointer.
    fill({})
    calculate()
    for view, title, points, unit in [("wideBand", "Attenuation (dB)", 4001, "dB"),
                                      ("groupDelay", "Group delay (µs)", 1001, "µs"),
                                      ("returnLoss", "Return loss (dB)", 1001, "dB"),
                                      ("passBand", "Attenuation (dB)", None, "dB")]:
        Select(element("view")).select_by_value(view)
        titles = [t.text for t in driver.find_elements(By.CSS_SELECTOR, "#chart .title")]
        check(f"the title of {view}", titles[-1], title)
        if points:
            check(f"the points of {view}", curve_points(), points)
        ActionChains(driver).move_to_element(element("chart")).perform()
        check(f"the readout of {view} in its unit", element("readout").text.split(" ")[-1], unit)
    sweep = driver.execute_script("return window.feldan.sweep({}, {points: 11})")
    check("window.feldan.sweep", len(sweep["points"]), 11)

    # The exports of the design on show: feldan-cli's Touchstone, the chart as SVG and PNG.
    element("export-s2p").click()
    touchstone = os.path.join(downloads, "reference.s2p")
    run_cli(["export", *cli_arguments({}, "en"), f"--touchstone={touchstone}"])
    with open(touchstone, "rb") as file:
        check("the .s2p is feldan-cli's", downloaded("feldan.s2p"), file.read())
    element("export-svg").click()
    svg = downloaded("feldan-passBand.svg").decode()
    check("the SVG holds the curve and its style", ['class="curve"' in svg, ".curve {" in svg], [True, True])
    element("export-png").click()
    check("the PNG", downloaded("feldan-passBand.png")[:8], b"\x89PNG\r\n\x1a\n")

    # A .fdn saved holds the bytes feldan-cli saves; opened again it gives the same summary.
    design = {"topology": "cw:4", "response": "5", "ck": "75", "df": "600"}
    fill(design)
    saved_summary = calculate()
    element("save-fdn").click()
    saved = downloaded("feldan.fdn")
    reference = os.path.join(downloads, "reference.fdn")
    args = [a for a in cli_arguments(design, "en") if not a.startswith(("--lang", "--separator"))]
    run_cli(["--type=5", *[a for a in args if not a.startswith(("--topology", "--order"))],
             f"--save-design={reference}"])
    with open(reference, "rb") as file:
        check("the saved .fdn is feldan-cli's", saved, file.read())
    fill({})
    calculate()
    driver.execute_script("document.getElementById('open-file').hidden = false")
    element("open-file").send_keys(os.path.join(downloads, "feldan.fdn"))
    wait.until(lambda _: element("topology").get_attribute("value") == "cw:4")
    check("the .fdn opened again", element("summary").text, saved_summary)

    # A file that is no design: the files layer's reason, naming the file.
    bad = os.path.join(downloads, "bad.fdn")
    with open(bad, "wb") as file:
        file.write(b"garbage\r\nx\r\n")
    element("open-file").send_keys(bad)
    wait.until(lambda _: element("file-message").is_displayed())
    reason = run_cli(["--design=" + bad, "--lang=en"]).stderr.splitlines()[0].split(": ", 1)[1]
    check("a bad .fdn", element("file-message").text, "bad.fdn: " + reason)

    # The language switch: the words and the summary in Russian.
    driver.find_element(By.CSS_SELECTOR, "[data-lang=ru]").click()
    check("the button in Russian", element("calculate").text, "Расчет")
    check("the summary in Russian", element("summary").text + "\n",
          run_cli(cli_arguments(design, "ru")).stdout)

    # Bad input: the message the window gives, in the page's language.
    fill({"fo": "abc"})
    calculate()
    message = json.loads(run_cli(cli_arguments({"fo": "abc"}, "ru") + ["--json"]).stdout)["message"]
    check("a field that is no number", element("summary").text, message)
    check("no curve for it", element("no-curve").is_displayed(), True)
finally:
    driver.quit()
    server.shutdown()

print(f"{passed} passed, {failed} failed")
sys.exit(0 if failed == 0 else 1)
