"""Youdao's picture search, /youdao/search?q=<keyword>+<W>x<H>, in UTF-8: the results between
<div id="resultLists"> and <div id="hiddenSummary23" style="display:none;">, one <tbody> each whose link
calls logci('img','<picture address, percent-encoded>') and holds the thumbnail's <img src="..." width=...>;
the page bar is <div id="pagination">. Twenty results a page from start. As the engine did, the page
links carry the keyword as typed, not encoded: the program encodes it before following a link."""
import urllib.parse

from . import common

CHARSET = "utf-8"
PER_PAGE = 20


def _search(query):
    keyword, size = common.split_size(common.decode_keyword(query.get("q", b"")))
    width, height = size or common.DEFAULT_SIZE
    return common.Search("youdao", keyword, width, height)


def _link(search, start):
    """A site-relative link, as the program expects: it puts the site root in front."""
    return f"/search?q={common.escape(search.keyword)}+{search.width}x{search.height}&amp;start={start}"


def _bar(search, start):
    pages = common.page_count(search.total, PER_PAGE)
    if pages == 0:
        return ""
    current = start // PER_PAGE + 1
    parts = []
    if current > 1:
        parts.append(f'<a href="{_link(search, (current - 2) * PER_PAGE)}" class="prev">上一页</a>')
    else:
        parts.append('<span class="current prev">上一页</span>')
    for number in common.page_window(current, pages):
        parts.append(f'<span class="current-page">{number}</span>' if number == current
                     else f'<a href="{_link(search, (number - 1) * PER_PAGE)}">{number}</a>')
    if current < pages:
        parts.append(f'<a href="{_link(search, current * PER_PAGE)}" class="next">下一页</a>')
    else:
        parts.append('<span class="current next">下一页</span>')
    return " ".join(parts)


def _block(picture, host):
    width, height = picture.size
    thumb_width, thumb_height = picture.thumb_size
    url = picture.url(host)
    return (f'<table class="result"><tbody><tr><td><center><a href="{url}" target="_blank" '
            f"onclick=\"logci('img','{urllib.parse.quote(url, safe='')}')\"><img src=\"{picture.thumb_url(host)}\" "
            f'width="{thumb_width}" height="{thumb_height}" alt=""></a></center></td></tr>'
            f'<tr><td class="info">{width}×{height} {picture.full_format}</td></tr></tbody></table>')


def _results_page(search, host, start):
    keyword = common.escape(search.keyword)
    lines = [
        "<!DOCTYPE html>",
        "<html>",
        "<head>",
        '<meta http-equiv="Content-Type" content="text/html; charset=utf-8">',
        f"<title>{keyword} - 有道图片搜索</title>",
        "</head>",
        "<body>",
        f'<div id="searchBox"><form action="/youdao/search"><input name="q" value="{keyword}"></form></div>',
        '<div id="resultLists">',
    ]
    if search.total == 0:
        lines.append(f'<p class="noResult">没有找到与“{keyword}”相关的图片。</p>')
    lines += [_block(picture, host) for picture in search.results(start, PER_PAGE)]
    lines += [
        "</div>",
        f'<div id="pagination">{_bar(search, start)}</div>',
        '<div id="hiddenSummary23" style="display:none;"></div>',
        "</body>",
        "</html>",
        "",
    ]
    return "\r\n".join(lines)


def _home():
    return "\r\n".join([
        "<html><head>",
        '<meta http-equiv="Content-Type" content="text/html; charset=utf-8">',
        "<title>有道图片搜索</title></head><body>",
        '<form action="search" method="get"><input name="q"> <input type="submit" value="搜索"></form>',
        "</body></html>",
        "",
    ])


def respond(path, raw_query, host):
    if path in ("", "/"):
        return common.html_page(_home(), CHARSET)
    if path != "/search":
        return common.not_found()
    query = common.parse_query(raw_query)
    start = max(0, common.parse_int(query.get("start"), 0))
    return common.html_page(_results_page(_search(query), host, start), CHARSET)
