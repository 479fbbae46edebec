"""The demo server's search engines, read the way the program reads them: the requests are built as the
wallpaper page builds them, the result pages cut with the program's markers and patterns, the page
links followed as its page bar follows them.

    python3 -B -m unittest discover -s tests/demo -p '*_test.py'
"""
import html
import json
import os
import re
import shutil
import struct
import sys
import tempfile
import threading
import unittest
import urllib.error
import urllib.parse
import urllib.request

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "demo"))
os.environ.setdefault("LUMAFORGE_DEMO_QUIET", "1")
sys.dont_write_bytecode = True
import server  # noqa: E402

CI_ML = re.IGNORECASE | re.MULTILINE
SCREEN = (1024, 768)


# ---------------------------------------------------------------------------------------------
# The program's side: requests and scraping

def url_encode(keyword):
    """GBK bytes; every byte but . 0-9 A-Z _ a-z as an upper-case percent escape."""
    safe = b"._0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
    return "".join(chr(b) if b in safe else "%%%02X" % b for b in keyword.encode("gbk"))


def url_decode(text):
    out, i = bytearray(), 0
    while i < len(text):
        c = text[i:i + 1]
        if c == b"%":
            digits = text[i + 1:i + 3]
            if len(digits) != 2 or not re.fullmatch(rb"[0-9A-Fa-f]{2}", digits):
                raise ValueError("Invalid hex digit in URL")
            out.append(int(digits, 16))
            i += 3
        else:
            out += b" " if c == b"+" else c
            i += 1
    return bytes(out)


def between(text, start, end):
    lower = text.lower()
    at = lower.find(start.lower())
    if at < 0:
        return b""
    at += len(start)
    stop = lower.find(end.lower(), at)
    return text[at:] if stop < 0 else text[at:stop]


def no_breaks(text):
    return text.replace(b"\r\n", b"").replace(b"\n", b"").replace(b"\r", b"")


def digits_to_int(text):
    digits = re.sub(rb"[^0-9]", b"", text)
    value = int(digits) if digits else 0
    return value if value < 2 ** 31 else 0


class Result:
    def __init__(self, items, bar=b"", page_count=0):
        self.items = items  # (thumbnail, picture) address pairs, at most 15
        self.bar = bar  # the page bar's fragment as the program shows it
        self.page_count = page_count  # Baidu only

    def links(self):
        """The bar's links by their text, as a browser reports them: entities decoded."""
        return {html.unescape(text.decode("gbk")): html.unescape(href.decode("gbk"))
                for href, text in re.findall(rb'<a href="([^"]*)"[^>]*>([^<]*)</a>', self.bar)}

    def current(self):
        match = re.search(rb'<span class="current-page">\s*(\d+)\s*</span>', self.bar)
        return int(match.group(1)) if match else None


def collect(items, thumb, picture):
    if (thumb or picture) and len(items) < 15:
        items.append((thumb.decode("gbk"), picture.decode("gbk")))


def scrape_baidu(page, first_page=True):
    items = []
    script = between(page, b"<script>var imgdata =", b";BD.IMG.model.ImageIndex.storeData")
    if script:
        data = json.loads(script.decode("gbk"))
        count = data.get("listNum", 0)
        for element in data.get("data", []):
            if element.get("thumbURL") is not None and element.get("objURL") is not None:
                collect(items, element["thumbURL"].encode("gbk"), element["objURL"].encode("gbk"))
        return Result(items, page_count=-(-count // 15) if first_page else 0)
    count = digits_to_int(between(page, b"<!--resnum:", b"<head>"))
    body = no_breaks(between(page, b'<div id="imgid">', b'<div id="lastPage">'))
    for block in re.finditer(rb"<dl>.*?</dl>", body, CI_ML):
        match = re.search(rb"src=\"([^\"].*)\">.*onclick=\"p.*u:'([^']*)", block.group(0), CI_ML)
        if match:
            collect(items, match.group(1), match.group(2))
    return Result(items, page_count=-(-count // 15))


def scrape_google(page):
    script = between(page, b";dyn.setResults(", b");</script></div><div id=ncm></div>")
    if not script:
        return Result([])
    nav = between(between(page, b"<div id=navcnt>", b"</div>"), b"<tr valign=top>", b"</table>")
    cleaned = re.sub(rb"</?td[^>]*>|<span[ ]*class\=\"csb ch\"[^>]*></span>|[ ]*style\=\"[^\"]*\"[ ]*", b"", nav)
    if cleaned:
        nav = cleaned
        nav = re.sub(rb"<span class=\"csb\"></span>(\d+)", rb'<span class="current-page">\1</span>', nav) or nav
        nav = re.sub(rb"<span><b>([^<]*)</b></span>", rb"\1", nav) or nav
        nav = b'<div class="pagination">' + nav + b"</div>"
    nav = re.sub(rb'<span class="csb"></span>', b"", nav, flags=re.IGNORECASE)
    items = []
    for element in json.loads(script.decode("gbk")):
        text = [str(value) if value is not None else "" for value in element] + [""] * 15
        collect(items, (text[14] + "?q=tbn:" + text[2]).encode("gbk"), text[3].encode("gbk"))
    return Result(items, nav)


def mark_current(bar):
    match = re.search(rb"</a>[ ]*([\d]+)|([\d]+)[ ]*<a", bar)
    if not match:
        return bar
    group = 1 if match.group(1) else 2
    return bar[:match.start(group)] + b'<span class="current-page">' + match.group(group) + b"</span>" + \
        bar[match.end(group):]


def scrape_sogou(page):
    bar = between(page, b'<p class="pagebar">', b"</p></div>")
    if bar:
        layout = "A"
        items_text = between(page, b'<div id="content1"><ul class="piclist2">', b'<p class="pagebar">')
    else:
        layout = "B"
        bar = between(page, b'<div class="p">', b"</div>")
        for junk in (b"&nbsp;", b"<strong>", b"</strong>", b"\r\n", b"\t"):
            bar = bar.replace(junk, b"")
        items_text = between(page, b'<ul id="plist" class="vlcol5">', b'<div id="hint">')
    bar = b'<div class="pagination">' + mark_current(bar).replace(b"[", b"").replace(b"]", b"") + b"</div>"
    items = []
    for block in re.finditer(rb"<li>.*?</li>", no_breaks(items_text), CI_ML):
        match = re.search(rb"<a href=.*onclick=\"phb\(\'([^\']*)[^\"]*\)\"><!--thumb_beg--><img src=\"([^\"]*)",
                          block.group(0), CI_ML)
        if match:
            collect(items, match.group(2), match.group(1))
    result = Result(items, bar)
    result.layout = layout
    return result


def scrape_youdao(page):
    page = page.decode("utf-8").encode("gbk")
    bar = b'<div class="pagination">' + between(page, b'<div id="pagination">', b"</div>") + b"</div>"
    text = no_breaks(between(page, b'<div id="resultLists">', b'<div id="hiddenSummary23" style="display:none;">'))
    items = []
    for block in list(re.finditer(rb"<tbody>.*?</tbody>", text, CI_ML))[:15]:
        match = re.search(rb"<center>.*<a href=\".*\"logci\(\'.*\',\'(.*)\'\)\">.*src=\"(.*)\" width=",
                          block.group(0), CI_ML)
        thumb, picture = (match.group(2), url_decode(match.group(1))) if match else (b"", b"")
        items.append((thumb.decode("gbk"), picture.decode("gbk")))
    return Result(items, bar)


# ---------------------------------------------------------------------------------------------
# The server

class DemoServer:
    def __init__(self, cache_dir):
        self.httpd = server.make_server(0, [os.path.join(ROOT, "demo", "content")], cache_dir)
        self.root = "http://127.0.0.1:%d" % self.httpd.server_address[1]
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


class Layout:
    """One engine layout: how the program asks for a page and how it reads it."""

    def __init__(self, name, root, request, scrape, charset):
        self.name, self.root, self.request, self.scrape, self.charset = name, root, request, scrape, charset

    def first_url(self, keyword, size=SCREEN):
        return SERVER.root + self.root + self.request(url_encode(keyword), *size)

    def fetch(self, address):
        status, content_type, body = SERVER.get(address)
        assert status == 200, (address, status)
        assert content_type == "text/html; charset=" + self.charset, content_type
        body.decode(self.charset)  # the page is in the charset it names
        return self.scrape(body), body

    def search(self, keyword, size=SCREEN):
        return self.fetch(self.first_url(keyword, size))[0]

    def follow(self, result, text, keyword):
        """The address a click on the bar's link labelled text asks for, as the page bar forms it."""
        link = result.links()[text]
        lowered = "".join(chr(ord(c) + 32) if "A" <= c <= "Z" else c for c in link)
        address = SERVER.root + self.root.rstrip("/") + lowered
        if self.name == "youdao":
            address = address.replace(keyword, url_encode(keyword))
        return address


# Size codes of 1024x768: Baidu 5, Sogou 2. A size without a code sends 0 (and Baidu the size as text).
BAIDU_CODES = {(1024, 768): 5, (1280, 1024): 7}
SOGOU_CODES = {(1024, 768): 2, (1600, 1200): 4}

LAYOUTS = [
    Layout("baidu script", "/baidu/",
           lambda k, w, h: "i?tn=baiduimage&ct=201326592&cl=2&lm=-1&fr=&pv=&ic=0&z=0&se=1&s=0&sme=0&rn=15&word="
           f"{k}+{w}x{h}", scrape_baidu, "gbk"),
    Layout("baidu markup", "/baidu/",
           lambda k, w, h: "i?tn=baiduimage&ct=201326592&cl=2&lm=-1&fr=&pv=&ic=0&se=1&s=1&sme=0&word="
           f"{k}&z={BAIDU_CODES[(w, h)]}&rn=15", scrape_baidu, "gbk"),
    Layout("youdao", "/youdao/", lambda k, w, h: f"search?q={k}+{w}x{h}", scrape_youdao, "utf-8"),
    Layout("sogou A", "/sogou/",
           lambda k, w, h: f"pics?query={k}&mode=5&dheight={h}&dwidth={w}&page=1&mood=0&dm=4&di={SOGOU_CODES[(w, h)]}",
           scrape_sogou, "gbk"),
    Layout("sogou B", "/sogou/",
           lambda k, w, h: f"pics?query={k}&mode=5&dheight={h}&dwidth={w}&page=1&mood=0&dm=4&di=0",
           scrape_sogou, "gbk"),
    Layout("google", "/google.hk/",
           lambda k, w, h: f"images?as_q={k}&um=1&hl=zh-CN&newwindow=1&btnG=Google+%E6%90%9C%E7%B4%A2&as_epq=&as_oq="
           f"&as_eq=&imgtype=&imgsz=&imgw={w}&imgh={h}&imgar=&as_filetype=&imgc=&as_sitesearch=&as_rights=&as_st=y",
           scrape_google, "gbk"),
]


def pictures_of(result):
    return {picture for _, picture in result.items}


# ---------------------------------------------------------------------------------------------
# Pictures

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
    def test_first_page_of_every_layout_gives_fifteen_results_on_the_server(self):
        for layout in LAYOUTS:
            with self.subTest(layout.name):
                result = layout.search("Landscape")
                self.assertEqual(len(result.items), 15)
                self.assertEqual(len(pictures_of(result)), 15)
                for thumb, picture in result.items:
                    # Nothing around the addresses, and nothing in them the program would decode once more.
                    self.assertRegex(thumb, "^" + re.escape(SERVER.root) + r"/pictures/(thumb/|tbn\?q=tbn:)[\w.-]+$")
                    self.assertRegex(picture, "^" + re.escape(SERVER.root) + r"/pictures/full/[\w.-]+$")
                if layout.name.startswith("baidu"):
                    self.assertGreater(result.page_count, 1)
                else:
                    self.assertEqual(result.current(), 1)
                    self.assertIn("2", result.links())
        self.assertEqual(LAYOUTS[3].search("Landscape").layout, "A")
        self.assertEqual(LAYOUTS[4].search("Landscape").layout, "B")

    def test_page_links_lead_to_the_next_results(self):
        for layout in LAYOUTS:
            with self.subTest(layout.name):
                first_url = layout.first_url("Landscape")
                first = layout.fetch(first_url)[0]
                if layout.name.startswith("baidu"):
                    second = layout.fetch(first_url + "&pn=15")[0]
                else:
                    second = layout.fetch(layout.follow(first, "2", "Landscape"))[0]
                    self.assertEqual(second.current(), 2)
                    # Back from page 2 to page 1 gives the first page's results again.
                    again = layout.fetch(layout.follow(second, "1", "Landscape"))[0]
                    self.assertEqual(again.items, first.items)
                self.assertEqual(len(second.items), 15)
                self.assertFalse(pictures_of(first) & pictures_of(second))

    def test_baidu_pages_run_out_after_the_counted_results(self):
        for layout in LAYOUTS[:2]:
            with self.subTest(layout.name):
                first_url = layout.first_url("Landscape")
                count = layout.fetch(first_url)[0].page_count
                last = layout.fetch(first_url + "&pn=%d" % ((count - 1) * 15))[0]
                self.assertTrue(1 <= len(last.items) <= 15)
                self.assertEqual(layout.fetch(first_url + "&pn=%d" % (count * 15))[0].items, [])

    def test_another_keyword_or_size_gives_other_pictures(self):
        for layout in LAYOUTS:
            with self.subTest(layout.name):
                landscape = pictures_of(layout.search("Landscape"))
                # Letter case does not matter: the program lower-cases the links it follows.
                self.assertEqual(pictures_of(layout.search("LANDSCAPE")), landscape)
                self.assertFalse(landscape & pictures_of(layout.search("Sky")))
                other_size = (1280, 1024) if layout.name == "baidu markup" else (1600, 1200)
                if layout.name == "sogou B":
                    other_size = (1920, 1080)
                self.assertFalse(landscape & pictures_of(layout.search("Landscape", other_size)))

    def test_nothing_finds_nothing(self):
        for layout in LAYOUTS:
            with self.subTest(layout.name):
                result = layout.search("Nothing")
                self.assertEqual(result.items, [])
                if layout.name.startswith("baidu"):
                    self.assertEqual(result.page_count, 0)

    def test_chinese_keyword_in_gbk_or_utf8_finds_the_same_and_shows_in_the_page_charset(self):
        keyword = "山水风景"
        for layout in LAYOUTS:
            with self.subTest(layout.name):
                result, body = layout.fetch(layout.first_url(keyword))
                self.assertEqual(len(result.items), 15)
                self.assertIn(keyword, body.decode(layout.charset))
                as_utf8 = layout.first_url(keyword).replace(url_encode(keyword),
                                                            urllib.parse.quote(keyword.encode("utf-8")))
                self.assertEqual(layout.fetch(as_utf8)[0].items, result.items)

    def test_youdao_links_carry_the_keyword_as_typed(self):
        result = LAYOUTS[2].search("山水")
        self.assertTrue(result.links()["2"].startswith("/search?q=山水+1024x768&"))

    def test_thumbnails_and_pictures_come_in_four_formats_and_as_announced(self):
        page = SERVER.get(LAYOUTS[0].first_url("Landscape"))[2]
        data = json.loads(between(page, b"<script>var imgdata =", b";BD.IMG").decode("gbk"))["data"][:-1]
        thumb_formats, picture_formats, larger = set(), set(), False
        for element in data:
            status, content_type, thumb = SERVER.get(element["thumbURL"])
            self.assertEqual(status, 200)
            kind = picture_size(thumb)[0]
            self.assertEqual(element["thumbURL"].rsplit(".", 1)[1], kind)
            self.assertEqual(content_type.split("/")[1], {"jpg": "jpeg"}.get(kind, kind))
            thumb_formats.add(kind)
            picture_formats.add(element["objURL"].rsplit(".", 1)[1])
            larger |= element["width"] > SCREEN[0] and element["height"] > SCREEN[1]
        self.assertEqual(thumb_formats, {"jpg", "png", "gif", "bmp"})
        self.assertEqual(picture_formats, {"jpg", "png", "gif", "bmp"})
        self.assertTrue(larger)
        # One full picture of each format, and every larger one, has the announced size.
        chosen = {}
        for element in data:
            if element["width"] > SCREEN[0]:
                chosen["larger"] = element
            chosen.setdefault(element["type"], element)
        for element in chosen.values():
            status, _, picture = SERVER.get(element["objURL"])
            self.assertEqual(status, 200)
            self.assertEqual(picture_size(picture), (element["type"], element["width"], element["height"]))

    def test_pictures_are_drawn_the_same_every_time(self):
        thumb = LAYOUTS[5].search("Landscape").items[0][0]
        first = SERVER.get(thumb)[2]
        self.assertEqual(SERVER.get(thumb)[2], first)
        fresh_cache = tempfile.mkdtemp(prefix="engines-test-")
        try:
            other = DemoServer(fresh_cache)
            try:
                self.assertEqual(other.get(thumb.replace(SERVER.root, other.root))[2], first)
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
        status, content_type, body = SERVER.get(LAYOUTS[0].first_url("Landscape"), method="HEAD")
        self.assertEqual((status, content_type, body), (200, "text/html; charset=gbk", b""))


class SavedPagesTest(unittest.TestCase):
    def test_the_saved_engine_pages_are_what_the_emulator_serves(self):
        # The native scraper test reads these pages; a change to the emulator must be saved again
        # (scripts/save-engine-pages.py) so the program's scrapers see it.
        import subprocess
        checked = subprocess.run([sys.executable, "-B", os.path.join(ROOT, "scripts", "save-engine-pages.py"), "--check"],
                                 capture_output=True, text=True, timeout=600)
        self.assertEqual(checked.returncode, 0, checked.stderr)


if __name__ == "__main__":
    unittest.main()
