#!/usr/bin/env python3
"""Saves result pages of the demo's engine emulator as golden pages for the native scraper test
(tests/wallpaper/engine_pages_test.cpp), each with what the emulator put into it: the thumbnail and
picture addresses, the page count and the page links. The expectations come from the emulator's own
data, never from reading the page back.

    scripts/save-engine-pages.py          writes tests/wallpaper/golden/demo/
    scripts/save-engine-pages.py --check  exits 1 when the checked-in pages differ from the emulator's"""
import json
import os
import sys
import tempfile
import urllib.parse

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "demo"))
from engines import Emulator, baidu, common, google, sogou, youdao  # noqa: E402

HOST = "127.0.0.1:8765"
FOLDER = os.path.join(ROOT, "tests", "wallpaper", "golden", "demo")
SHOWN = 15  # the program shows at most this many results of a page

# How the program asks for a first page, by layout: engine, size code, and the request it sends for
# keyword k (percent-encoded GBK) and size w x h. The native test checks these against the program.
LAYOUTS = {
    "baidu_script": ("baidu", 0, "baidu/i?tn=baiduimage&ct=201326592&cl=2&lm=-1&fr=&pv=&ic=0&z=0&se=1&s=0&sme=0"
                     "&rn=15&word={k}+{w}x{h}"),
    "baidu_markup": ("baidu", 5, "baidu/i?tn=baiduimage&ct=201326592&cl=2&lm=-1&fr=&pv=&ic=0&se=1&s=1&sme=0"
                     "&word={k}&z=5&rn=15"),
    "youdao": ("youdao", 0, "youdao/search?q={k}+{w}x{h}"),
    "sogou_a": ("sogou", 2, "sogou/pics?query={k}&mode=5&dheight={h}&dwidth={w}&page=1&mood=0&dm=4&di=2"),
    "sogou_b": ("sogou", 0, "sogou/pics?query={k}&mode=5&dheight={h}&dwidth={w}&page=1&mood=0&dm=4&di=0"),
    "google": ("google", 0, "google.hk/images?as_q={k}&um=1&hl=zh-CN&newwindow=1&btnG=Google+%E6%90%9C%E7%B4%A2"
               "&as_epq=&as_oq=&as_eq=&imgtype=&imgsz=&imgw={w}&imgh={h}&imgar=&as_filetype=&imgc="
               "&as_sitesearch=&as_rights=&as_st=y"),
}
MODULES = {"baidu": baidu, "youdao": youdao, "sogou": sogou, "google": google}
WIDTH, HEIGHT = 1024, 768


def thumb_address(engine, picture):
    if engine == "google":
        return f"http://{HOST}/pictures/tbn?q=tbn:{picture.key}"
    return picture.thumb_url(HOST)


def later_page(engine, request, search, page):
    """The address of result page `page` (1-based), as the engine's own links or Baidu's pn give it."""
    module = MODULES[engine]
    per_page = module.PER_PAGE
    if engine == "baidu":
        return request + f"&pn={(page - 1) * per_page}"
    site = request.split("/", 1)[0]
    if engine == "sogou":
        code = common.parse_int(common.parse_query(request.split("?", 1)[1].encode()).get("di"), 0)
        link = module._link(search, page, code, "")
    else:
        link = module._link(search, (page - 1) * per_page)
    return site + link.replace("&amp;", "&")


def expectation(layout, engine, search, page, request):
    """What the program should take from page `page` of `search`, from the emulator's own data."""
    module = MODULES[engine]
    per_page = module.PER_PAGE
    pictures = search.results((page - 1) * per_page, per_page)[:SHOWN]
    pages = common.page_count(search.total, per_page)
    expect = {"items": [{"thumb": thumb_address(engine, p), "picture": p.url(HOST)} for p in pictures]}
    if engine == "baidu":
        expect["pages"] = pages
        if page == 1:
            expect["pageCount"] = pages
    elif pages:
        # The links of the bar as the emulator wrote them (its own link function), one a page shown.
        expect["links"] = []
        for number in common.page_window(page, pages):
            if number == page:
                continue
            link = (module._link(search, number, common.parse_int(
                common.parse_query(request.split("?", 1)[1].encode()).get("di"), 0), "")
                if engine == "sogou" else module._link(search, (number - 1) * per_page))
            expect["links"].append(link)
    return expect


def cases():
    """(file stem, layout, keyword, page)."""
    for layout in LAYOUTS:
        yield f"{layout}_first", layout, "Landscape", 1
        yield f"{layout}_later", layout, "Landscape", 3
        yield f"{layout}_nothing", layout, "nothing", 1
        yield f"{layout}_chinese_gbk", layout, "山水风景", 1
        if layout not in ("youdao",):
            yield f"{layout}_chinese_utf8", layout, "山水风景", 1


def pages():
    with tempfile.TemporaryDirectory(prefix="engine-pages-") as cache:
        emulator = Emulator(cache)
        for stem, layout, keyword, page in cases():
            engine, code, template = LAYOUTS[layout]
            encoded = common.encode_keyword(keyword)
            request = template.format(k=encoded, w=WIDTH, h=HEIGHT)
            sent = request
            if stem.endswith("_utf8"):
                sent = request.replace(encoded, urllib.parse.quote(keyword.encode("utf-8")))
            query = common.parse_query(sent.split("?", 1)[1].encode())
            search = MODULES[engine]._search(query)
            search = search[0] if isinstance(search, tuple) else search
            if page > 1:
                sent = later_page(engine, sent, search, page)
            response = emulator.respond(("/" + sent).encode("latin-1"), HOST, HOST)
            assert response.status == 200, (stem, response.status)
            golden = {"page": stem + ".html", "engine": engine, "keyword": keyword, "width": WIDTH,
                      "height": HEIGHT, "sizeCode": code, "request": request, "fetched": sent, "pageNumber": page,
                      "expect": expectation(layout, engine, search, page, request)}
            yield stem, response.body, (json.dumps(golden, ensure_ascii=False, indent=2) + "\n").encode("utf-8")


def main():
    check = "--check" in sys.argv[1:]
    stale = []
    wanted = set()
    os.makedirs(FOLDER, exist_ok=True)
    for stem, body, golden in pages():
        for name, data in ((stem + ".html", body), (stem + ".json", golden)):
            wanted.add(name)
            path = os.path.join(FOLDER, name)
            old = open(path, "rb").read() if os.path.exists(path) else None
            if old != data:
                stale.append(name)
                if not check:
                    with open(path, "wb") as file:
                        file.write(data)
    extra = sorted(set(os.listdir(FOLDER)) - wanted)
    if check:
        for name in stale + extra:
            print(f"out of date: {name}", file=sys.stderr)
        return 1 if stale or extra else 0
    for name in extra:
        os.remove(os.path.join(FOLDER, name))
    return 0


if __name__ == "__main__":
    sys.exit(main())
