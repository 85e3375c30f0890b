#!/usr/bin/python3
"""The page in a real browser (Debian's headless Chromium through Selenium), served from
127.0.0.1: the form filled and Расчет pressed, the summary against feldan-cli's, the chart drawn,
the schematic, zoom, the views and the time views with their figures, two overlaid designs, a measured .s2p over the
design (opened and dropped), a .fdn saved and opened again, the language switch and bad input; and the page's speed
and size, printed.

    python3 tests/web/browser_test.py SITE_FOLDER FELDAN_CLI
"""
import functools
import gzip
import http.server
import json
import os
import re
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


def schematic_parts():
    """The parts the schematic names, terminations aside, as a set; every one drawn once."""
    labels = [t.text for t in driver.find_elements(By.CSS_SELECTOR, "#schematic text")]
    parts = [label for label in labels if label.startswith(("C", "ZQ"))]
    return set(parts) if len(parts) == len(set(parts)) else parts


def summary_parts(summary):
    """The capacitors the summary gives values of (Cyrillic С as Latin), and ZQ1..ZQn for the n
    crystals of the topology's name."""
    capacitors = {"C" + n for n in re.findall(r"[CС](\d+)=", summary)}
    crystals = int(re.search(r"(\d+)-crystal", element("schematic-caption").text).group(1))
    return capacitors | {f"ZQ{i}" for i in range(1, crystals + 1)}


def x_ticks():
    """The chart's x tick labels as numbers."""
    texts = driver.find_elements(By.CSS_SELECTOR, "#chart .ticks text[text-anchor=middle]")
    return [float(t.text.replace(",", ".").replace("−", "-")) for t in texts]


def downloaded(name):
    path = os.path.join(downloads, name)
    WebDriverWait(driver, 20).until(lambda _: os.path.exists(path) and os.path.getsize(path) > 0)
    time.sleep(0.2)  # Chromium renames the finished file into place; give the write its end
    with open(path, "rb") as file:
        return file.read()


def measure_speed():
    """The first result after load, a Расчет of the default design (median of 20) and the
    compressed size of what the page loads: printed, not held to a target."""
    first_ms = driver.execute_script(
        "return performance.getEntriesByName('feldan-first-result')[0].startTime")
    times = driver.execute_script("""
        const times = [];
        for (let i = 0; i < 20; i++) {
            const start = performance.now();
            document.getElementById('calculate').click();
            times.push(performance.now() - start);
        }
        return times.sort((a, b) => a - b);""")
    median_ms = (times[9] + times[10]) / 2
    loaded = driver.execute_script(
        "return performance.getEntriesByType('resource').map((e) => new URL(e.name).pathname)")
    names = sorted({"index.html", *[name.lstrip("/") for name in loaded if name != "/favicon.ico"]})
    sizes = {}
    for name in names:
        with open(os.path.join(site, name), "rb") as file:
            sizes[name] = len(gzip.compress(file.read(), 9))
    total = sum(sizes.values())
    print(f"first result after load: {first_ms:.0f} ms (target under 1000)")
    print(f"Расчет of the default design: {median_ms:.1f} ms, median of 20 (target under 20)")
    print(f"transferred, gzip -9: {total / 1e6:.2f} MB in {len(names)} files (target under 1.5), "
          f"the engine's .wasm {sizes.get('feldan_engine.wasm', 0) / 1e6:.2f} MB")
    return first_ms, median_ms, sizes


try:
    driver.get(f"http://127.0.0.1:{server.server_address[1]}/")
    wait.until(lambda d: d.find_element(By.TAG_NAME, "body").get_attribute("data-ready") == "true")
    driver.find_element(By.CSS_SELECTOR, "[data-lang=en]").click()
    speed = measure_speed()

    # The summary of every design is feldan-cli's, and its pass band is drawn.
    for design in designs:
        fill(design)
        summary = calculate()
        check(f"the summary of {design}", summary + "\n", run_cli(cli_arguments(design, "en")).stdout)
        check(f"the pass band of {design} is drawn", curve_points() > 100, True)
        check(f"the schematic of {design} names the summary's parts", schematic_parts(), summary_parts(summary))

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

    # The step and keyed views: the curve, the figures feldan-cli transient gives, the readout in ms.
    for view, kind in [("step", "step"), ("keyed", "keyed")]:
        Select(element("view")).select_by_value(view)
        figures = json.loads(run_cli(["transient", f"--kind={kind}", *cli_arguments({}, "en"), "--json"]).stdout)
        cells = [c.text for c in driver.find_elements(By.CSS_SELECTOR, "#figures td")]
        wanted = [f"{figures['delayMs']:.3f}", f"{figures['riseMs']:.3f}", f"{figures['overshootPct']:.1f}"]
        check(f"the {view} view is drawn with its figures", [curve_points() > 100, cells[1:4]], [True, wanted])
        ActionChains(driver).move_to_element(element("chart")).perform()
        check(f"the readout of {view} in ms", element("readout").text.split()[1], "ms")
    check("the gap between dots", cells[-1], f"{figures['interDotDb']:.1f}")
    Select(element("view")).select_by_value("passBand")

    # The schematic follows the form's selections before any Расчет, as the window's does.
    Select(element("topology")).select_by_value("cw:8")
    check("the schematic of the selections", element("schematic-caption").text,
          "Schematic of the 8-crystal CW filter; Ck is already in its capacitors")
    Select(element("topology")).select_by_value("ladder:7")
    Select(element("response")).select_by_value("bessel")
    labels = [t.text for t in driver.find_elements(By.CSS_SELECTOR, "#schematic text")]
    check("ends apart: Rin and Rout drawn", [labels[-2:], "Rin∥C1" in element("schematic-caption").text],
          [["Rin", "Rout"], True])

    # Zoom: a drag across the pass band shows that span, the wheel narrows it about the pointer,
    # a double click shows all of it again.
    fill({})
    calculate()
    chart = element("chart")
    whole = x_ticks()
    ActionChains(driver).move_to_element_with_offset(chart, -chart.size["width"] // 5, 0).click_and_hold() \
        .move_by_offset(chart.size["width"] // 4, 0).release().perform()
    zoomed = x_ticks()
    check("a drag zooms into its span", [whole[0] < zoomed[0], zoomed[-1] < whole[-1],
                                         zoomed[-1] - zoomed[0] < (whole[-1] - whole[0]) / 3], [True] * 3)
    driver.execute_script("""const chart = document.getElementById('chart'), box = chart.getBoundingClientRect();
        chart.dispatchEvent(new WheelEvent('wheel', {deltaY: -100, clientX: box.left + box.width / 2,
                                                     clientY: box.top + box.height / 2, cancelable: true}));""")
    check("the wheel zooms in", x_ticks()[-1] - x_ticks()[0] < zoomed[-1] - zoomed[0], True)
    ActionChains(driver).double_click(chart).perform()
    check("a double click shows all", x_ticks(), whole)

    # Two designs overlaid: two curves, two legend entries, the status texts of feldan-cli --overlay.
    element("overlay").click()
    statuses = []
    for design in [{}, {"df": "2400"}]:
        fill(design)
        calculate()
        statuses.append(json.loads(run_cli(cli_arguments(design, "en") + ["--overlay", "--json"]).stdout)["statusText"])
    legend = [t.text for t in driver.find_elements(By.CSS_SELECTOR, "#chart .legend text")]
    status = [li.text for li in driver.find_elements(By.CSS_SELECTOR, "#overlay-status li")]
    check("two overlays in the legend", legend, ["Curve 1", "Curve 2"])
    check("the overlays' status texts", status, [statuses[0].strip(), statuses[1].replace("Curve 1", "Curve 2").strip()])
    # The language switch tells the overlays again in Russian and adds none.
    driver.find_element(By.CSS_SELECTOR, "[data-lang=ru]").click()
    legend = [t.text for t in driver.find_elements(By.CSS_SELECTOR, "#chart .legend text")]
    status = [li.text.split(":")[0] for li in driver.find_elements(By.CSS_SELECTOR, "#overlay-status li")]
    check("the overlays in Russian", [legend, status], [["АЧХ1", "АЧХ2"], ["АЧХ1", "АЧХ2"]])
    driver.find_element(By.CSS_SELECTOR, "[data-lang=en]").click()
    element("overlay").click()
    fill({})
    calculate()

    # A measured .s2p over the design: its curve in the legend, the figures of feldan-cli measured.
    measured_file = os.path.realpath(os.path.join(os.path.dirname(__file__), "..", "data", "measured-filter.s2p"))
    driver.execute_script("document.getElementById('measured-file').hidden = false")
    element("measured-file").send_keys(measured_file)
    wait.until(lambda _: element("figures").is_displayed())
    figures = json.loads(run_cli(["measured", measured_file, *cli_arguments({}, "en"), "--json"]).stdout)
    rows = {r.find_elements(By.TAG_NAME, "td")[0].text: [c.text for c in r.find_elements(By.TAG_NAME, "td")[1:]]
            for r in driver.find_elements(By.CSS_SELECTOR, "#figures tr") if r.find_elements(By.TAG_NAME, "td")}
    check("the measured figures beside the design's",
          [rows["width −3 dB, Hz"], rows["flatness, dB"]],
          [[f"{figures[k]['bandwidthHz']['3']:.6g}" for k in ("measured", "design")],
           [f"{figures[k]['flatnessDb']:.3g}" for k in ("measured", "design")]])
    legend = [t.text for t in driver.find_elements(By.CSS_SELECTOR, "#chart .legend text")]
    check("the measured filter in the legend", legend[-1], "measured-filter.s2p")
    element("renormalise").click()
    renormalised = json.loads(run_cli(["measured", measured_file, *cli_arguments({}, "en"), "--renormalize-ohm=design",
                                       "--assume-symmetric", "--json"]).stdout)
    rows = [[c.text for c in r.find_elements(By.TAG_NAME, "td")] for r in driver.find_elements(By.CSS_SELECTOR, "#figures tr")]
    check("renormalised to the design's terminations", rows[3][1], f"{renormalised['measured']['bandwidthHz']['3']:.6g}")
    element("measured-remove").click()
    # The same file dropped onto the chart.
    with open(measured_file, "rb") as file:
        dropped = file.read()
    driver.execute_script("""const transfer = new DataTransfer();
        transfer.items.add(new File([new Uint8Array(arguments[0])], 'dropped.s2p'));
        document.getElementById('chart-box').dispatchEvent(
            new DragEvent('drop', {dataTransfer: transfer, bubbles: true, cancelable: true}));""", list(dropped))
    wait.until(lambda _: element("measured-remove").is_displayed())
    legend = [t.text for t in driver.find_elements(By.CSS_SELECTOR, "#chart .legend text")]
    check("a .s2p dropped onto the chart", legend[-1], "dropped.s2p")
    element("measured-remove").click()

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
