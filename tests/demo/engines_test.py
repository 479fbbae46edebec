"""The demo server's search engines over real HTTP. What the program takes from the result pages is
checked by the program's own scrapers on pages saved from the emulator (tests/wallpaper/
engine_pages_test.cpp, saved by scripts/save-engine-pages.py); here the server must serve exactly
those pages, with the charset they name, and the pictures they point at.

    python3 -B -m unittest discover -s tests/demo -p '*_test.py'
"""
import glob
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import threading
import unittest
import urllib.error
import urllib.request

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "demo"))
os.environ.setdefault("LUMAFORGE_DEMO_QUIET", "1")
sys.dont_write_bytecode = True
import server  # noqa: E402
from engines import baidu, common, google, sogou, youdao  # noqa: E402

GOLDEN = os.path.join(ROOT, "tests", "wallpaper", "golden", "demo")
GOLDEN_HOST = b"127.0.0.1:8765"
MODULES = {"baidu": baidu, "youdao": youdao, "sogou": sogou, "google": google}
CHARSETS = {"baidu": "gbk", "youdao": "utf-8", "sogou": "gbk", "google": "gbk"}
SCREEN = (1024, 768)


class DemoServer:
    def __init__(self, cache_dir):
        self.httpd = server.make_server(0, [os.path.join(ROOT, "demo", "content")], cache_dir)
        self.host = "127.0.0.1:%d" % self.httpd.server_address[1]
        self.root = "http://" + self.host
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()

    def get(self, address, method="GET"):
        if address.startswith("/"):
            address = self.root + address
        try:
            with urllib.request.urlopen(urllib.request.Request(address, method=method), timeout=60) as response:
                return response.status, response.headers.get("Content-Type"), response.read()
        except urllib.error.HTTPError as error:
            return error.code, error.headers.get("Content-Type"), error.read()


def setUpModule():
    global SERVER, CACHE
    CACHE = tempfile.mkdtemp(prefix="engines-test-")
    SERVER = DemoServer(CACHE)


def tearDownModule():
    SERVER.close()
    shutil.rmtree(CACHE, ignore_errors=True)


def golden_cases():
    for path in sorted(glob.glob(os.path.join(GOLDEN, "*.json"))):
        with open(path, encoding="utf-8") as file:
            yield json.load(file)


def search_of(engine, request):
    """The search the emulator makes of a request, the way it reads the request's query."""
    query = common.parse_query(request.split("?", 1)[1].encode("latin-1"))
    search = MODULES[engine]._search(query)
    return search[0] if isinstance(search, tuple) else search


def picture_size(data):
    """(format, width, height) from a picture's header."""
    if data.startswith(b"\xff\xd8"):
        at = 2
        while at < len(data):
            marker, length = data[at + 1], struct.unpack(">H", data[at + 2:at + 4])[0]
            if 0xC0 <= marker <= 0xCF and marker not in (0xC4, 0xC8, 0xCC):
                height, width = struct.unpack(">HH", data[at + 5:at + 9])
                return "jpg", width, height
            at += 2 + length
    if data.startswith(b"\x89PNG\r\n\x1a\n"):
        return ("png",) + struct.unpack(">II", data[16:24])
    if data.startswith((b"GIF87a", b"GIF89a")):
        return ("gif",) + struct.unpack("<HH", data[6:10])
    if data.startswith(b"BM"):
        width, height = struct.unpack("<ii", data[18:26])
        return "bmp", width, abs(height)
    return None, 0, 0


class EnginesTest(unittest.TestCase):
    def test_the_server_sends_the_saved_pages_in_the_charset_they_name(self):
        cases = list(golden_cases())
        self.assertGreaterEqual(len(cases), 25)
        for case in cases:
            with self.subTest(case["page"]):
                status, content_type, body = SERVER.get("/" + case["fetched"])
                self.assertEqual(status, 200)
                charset = CHARSETS[case["engine"]]
                self.assertEqual(content_type, "text/html; charset=" + charset)
                body.decode(charset)
                with open(os.path.join(GOLDEN, case["page"]), "rb") as saved:
                    expected = saved.read()
                # Youdao carries the addresses percent-escaped as well.
                for golden_host, host in ((GOLDEN_HOST, SERVER.host.encode()),
                                          (GOLDEN_HOST.replace(b":", b"%3A"), SERVER.host.encode().replace(b":", b"%3A"))):
                    expected = expected.replace(golden_host, host)
                self.assertEqual(body, expected)
                # The keyword comes back in the page's charset, as the user typed it.
                if case["expect"]["items"]:
                    self.assertIn(case["keyword"], body.decode(charset))

    def test_the_saved_pages_point_at_pictures_the_server_has(self):
        for case in golden_cases():
            if case["page"].endswith("_first.html"):
                with self.subTest(case["page"]):
                    first = case["expect"]["items"][0]
                    for address in (first["thumb"], first["picture"]):
                        status, _, data = SERVER.get(address.replace(GOLDEN_HOST.decode(), SERVER.host))
                        self.assertEqual(status, 200, address)
                        self.assertIsNotNone(picture_size(data)[0], address)

    def test_letter_case_keeps_and_another_keyword_or_size_changes_the_results(self):
        for case in golden_cases():
            if not case["page"].endswith("_first.html"):
                continue
            with self.subTest(case["page"]):
                engine, request = case["engine"], case["request"]
                landscape = search_of(engine, request).results(0, 15)
                self.assertEqual(len(landscape), 15)
                # The program lower-cases the page links it follows.
                self.assertEqual(search_of(engine, request.replace("Landscape", "LANDSCAPE")).results(0, 15), landscape)
                self.assertFalse(set(landscape) & set(search_of(engine, request.replace("Landscape", "Sky")).results(0, 15)))
                if case["sizeCode"]:
                    continue  # the size code, not the written size, chooses these pictures
                other = request.replace("1024", "1600").replace("768", "1200")
                self.assertFalse(set(landscape) & set(search_of(engine, other).results(0, 15)))

    def test_baidu_pages_run_out_after_the_counted_results(self):
        for case in golden_cases():
            if case["engine"] == "baidu" and case["page"].endswith("_first.html"):
                with self.subTest(case["page"]):
                    count = case["expect"]["pageCount"]
                    beyond = SERVER.get("/" + case["fetched"] + "&pn=%d" % (count * 15))[2]
                    last = SERVER.get("/" + case["fetched"] + "&pn=%d" % ((count - 1) * 15))[2]
                    self.assertNotIn(b"/pictures/full/", beyond)
                    self.assertIn(b"/pictures/full/", last)

    def test_thumbnails_and_pictures_come_in_four_formats_and_as_announced(self):
        search = common.Search("baidu", "landscape", *SCREEN)
        pictures = search.results(0, 15)
        self.assertEqual({p.thumb_format for p in pictures}, {"jpg", "png", "gif", "bmp"})
        self.assertEqual({p.full_format for p in pictures}, {"jpg", "png", "gif", "bmp"})
        chosen = {}
        for picture in pictures:
            if picture.size[0] > SCREEN[0] and picture.size[1] > SCREEN[1]:
                chosen["larger"] = picture
            chosen.setdefault(picture.full_format, picture)
        self.assertIn("larger", chosen)
        for picture in chosen.values():
            status, content_type, data = SERVER.get(picture.url(SERVER.host))
            self.assertEqual(status, 200)
            self.assertEqual((picture.full_format,) + tuple(picture.size), picture_size(data))
            self.assertEqual(content_type.split("/")[1], {"jpg": "jpeg"}.get(picture.full_format, picture.full_format))
            status, _, thumb = SERVER.get(picture.thumb_url(SERVER.host))
            self.assertEqual(picture_size(thumb)[0], picture.thumb_format)

    def test_pictures_are_drawn_the_same_every_time(self):
        thumb = "/pictures/tbn?q=tbn:" + common.Search("google", "landscape", *SCREEN).results(0, 1)[0].key
        first = SERVER.get(thumb)[2]
        self.assertEqual(SERVER.get(thumb)[2], first)
        fresh_cache = tempfile.mkdtemp(prefix="engines-test-")
        try:
            other = DemoServer(fresh_cache)
            try:
                self.assertEqual(other.get(thumb)[2], first)
            finally:
                other.close()
        finally:
            shutil.rmtree(fresh_cache, ignore_errors=True)

    def test_unknown_addresses_are_not_found_and_the_content_is_still_served(self):
        key = "baidu-00000000-6c-1024x768-0"
        for address in ["/baidu/x", "/baidu/i/x", "/youdao/search/x", "/sogou/pic", "/google.hk/search?q=x",
                        "/google/images", "/pictures/full/nonsense.jpg", "/pictures/full/%s.tif" % key,
                        "/pictures/full/baidu-00000000-6c-1024x768-0.png",
                        "/pictures/full/baidu-00000000-6c-9999x768-0.jpg", "/pictures/tbn?q=%s" % key,
                        "/pictures/", "/no/such/file.html", "/api/"]:
            with self.subTest(address):
                self.assertEqual(SERVER.get(address)[0], 404)
        self.assertEqual(SERVER.get("/pictures/full/%s.jpg" % key)[0], 200)
        self.assertEqual(SERVER.get("/pictures/tbn?q=tbn:%s" % key)[0], 200)
        with open(os.path.join(ROOT, "demo", "content", "SiteBack", "updateTxt", "1.txt"), "rb") as served:
            self.assertEqual(SERVER.get("/SiteBack/updateTxt/1.txt")[2], served.read())
        first = next(golden_cases())
        status, content_type, body = SERVER.get("/" + first["fetched"], method="HEAD")
        self.assertEqual((status, content_type, body), (200, "text/html; charset=" + CHARSETS[first["engine"]], b""))


class SavedPagesTest(unittest.TestCase):
    def test_the_saved_engine_pages_are_what_the_emulator_serves(self):
        # The native scraper test reads these pages; a change to the emulator must be saved again
        # (scripts/save-engine-pages.py) so the program's scrapers see it.
        checked = subprocess.run([sys.executable, "-B", os.path.join(ROOT, "scripts", "save-engine-pages.py"), "--check"],
                                 capture_output=True, text=True, timeout=600)
        self.assertEqual(checked.returncode, 0, checked.stderr)


if __name__ == "__main__":
    unittest.main()
