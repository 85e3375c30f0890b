#!/usr/bin/python3
"""The page's screenshots for docs/: a six-crystal CW ladder of 500 Hz designed exactly, in
Russian (web-page-ru.png); the default design in English in the keyed view (web-page-en.png);
the synthetic measured filter of tests/data over the design (web-page-measured.png); and the
page on a phone-sized screen (web-page-phone.png). Headless Chromium, the page served from
127.0.0.1.

    python3 tests/web/screenshots.py SITE_FOLDER DOCS_FOLDER
"""
import functools
import http.server
import os
import sys
import threading

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import Select, WebDriverWait

site, docs = sys.argv[1], sys.argv[2]
measured = os.path.realpath(os.path.join(os.path.dirname(__file__), "..", "data", "measured-filter.s2p"))


class Quiet(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Quiet, directory=site))
threading.Thread(target=server.serve_forever, daemon=True).start()
page = f"http://127.0.0.1:{server.server_address[1]}/"
cw_exact = "#fo=8861.736&ld=10.1&cs=6.3&rd=5.7&ck=82&df=500&level=-3&topology=cw&order=6&response=2&exact=1"


def shoot(name, width, height, address, lang, then=lambda driver: None):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
                     f"--window-size={width},{height}", "--force-device-scale-factor=1"):
        options.add_argument(argument)
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    try:
        driver.get(page + address)
        WebDriverWait(driver, 30).until(
            lambda d: d.find_element(By.TAG_NAME, "body").get_attribute("data-ready") == "true")
        driver.find_element(By.CSS_SELECTOR, f"[data-lang={lang}]").click()
        then(driver)
        driver.save_screenshot(os.path.join(docs, name))
    finally:
        driver.quit()


def keyed(driver):
    Select(driver.find_element(By.ID, "view")).select_by_value("keyed")


def with_measured(driver):
    driver.execute_script("document.getElementById('measured-file').hidden = false")
    driver.find_element(By.ID, "measured-file").send_keys(measured)
    WebDriverWait(driver, 20).until(lambda d: d.find_element(By.ID, "figures").is_displayed())
    driver.execute_script("document.getElementById('measured-file').hidden = true")


try:
    shoot("web-page-ru.png", 1280, 860, cw_exact, "ru")
    shoot("web-page-en.png", 1280, 900, "#", "en", keyed)
    shoot("web-page-measured.png", 1280, 1100, "#", "en", with_measured)
    shoot("web-page-phone.png", 390, 1500, cw_exact, "ru")
finally:
    server.shutdown()
print(f"docs/web-page-ru.png, -en, -measured and -phone in {docs}")
