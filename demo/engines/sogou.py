"""Sogou's picture search, /sogou/pics?..., in GBK, in its two layouts:

- layout A: the results in <div id="content1"><ul class="piclist2">, followed by the page bar
  <p class="pagebar">...</p></div>, whose page numbers are written in square brackets;
- layout B: the results in <ul id="plist" class="vlcol5"> before <div id="hint">, the page bar in
  <div class="p">, its numbers apart by &nbsp; and the current one in <strong>.

Either way every result is an <li> whose link calls phb('<picture address>',...) and holds the
thumbnail after <!--thumb_beg-->. A search with a size code (di=1 to 6) gets layout A, one without
(di=0) layout B; layout=a or layout=b chooses. Twenty results a page; page counts from 1; the size
comes from dwidth and dheight."""
from . import common

CHARSET = "gbk"
PER_PAGE = 20


def _search(query):
    keyword = common.decode_keyword(query.get("query", b"")).strip()
    width = common.parse_int(query.get("dwidth"), 0)
    height = common.parse_int(query.get("dheight"), 0)
    if width <= 0 or height <= 0:
        width, height = common.DEFAULT_SIZE
    return common.Search("sogou", keyword, common.clamp_side(width), common.clamp_side(height))


def _link(search, page, code, layout):
    """A site-relative link, as the program expects: it puts the site root in front."""
    chosen = f"&amp;layout={layout}" if layout else ""
    return (f"/pics?query={common.encode_keyword(search.keyword)}&amp;mode=5&amp;dheight={search.height}"
            f"&amp;dwidth={search.width}&amp;page={page}&amp;mood=0&amp;dm=4&amp;di={code}{chosen}")


def _items(search, host, page):
    lines = []
    for picture in search.results((page - 1) * PER_PAGE, PER_PAGE):
        width, height = picture.size
        thumb_width, thumb_height = picture.thumb_size
        url = picture.url(host)
        lines.append(f'<li><a href="{url}" target="_blank" onclick="phb(\'{url}\',\'{width}\',\'{height}\','
                     f'{picture.number})"><!--thumb_beg--><img src="{picture.thumb_url(host)}" width="{thumb_width}" '
                     f'height="{thumb_height}" alt=""><!--thumb_end--></a><span>{width}x{height}</span></li>')
    return lines


def _bar_a(search, page, code, layout):
    """One line: the program marks the current page, the plain number between the links, as it is."""
    pages = max(1, common.page_count(search.total, PER_PAGE))
    parts = []
    if page > 1:
        parts.append(f'<a href="{_link(search, page - 1, code, layout)}">上一页</a>')
    for number in common.page_window(page, pages):
        parts.append(str(number) if number == page
                     else f'<a href="{_link(search, number, code, layout)}">[{number}]</a>')
    if page < pages:
        parts.append(f'<a href="{_link(search, page + 1, code, layout)}">下一页</a>')
    return " ".join(parts)


def _bar_b(search, page, code, layout):
    pages = max(1, common.page_count(search.total, PER_PAGE))
    parts = []
    if page > 1:
        parts.append(f'\t<a href="{_link(search, page - 1, code, layout)}">&lt;上一页</a>')
    for number in common.page_window(page, pages):
        parts.append(f"\t<strong>{number}</strong>" if number == page
                     else f'\t<a href="{_link(search, number, code, layout)}">{number}</a>')
    if page < pages:
        parts.append(f'\t<a href="{_link(search, page + 1, code, layout)}">下一页&gt;</a>')
    return "&nbsp;\r\n".join(parts)


def _results_page(search, host, page, code, layout, chosen):
    keyword = common.escape(search.keyword)
    lines = [
        "<html>",
        "<head>",
        f'<meta http-equiv="Content-Type" content="text/html; charset={CHARSET}">',
        f"<title>{keyword} - 搜狗图片</title>",
        "</head>",
        "<body>",
        f'<div id="header"><form action="/sogou/pics"><input name="query" value="{keyword}"></form></div>',
    ]
    if search.total == 0:
        lines.append(f'<div id="noresult">抱歉，没有找到与“{keyword}”相关的图片。</div>')
    elif layout == "a":
        lines += ['<div id="content1"><ul class="piclist2">', *_items(search, host, page),
                  f'</ul><p class="pagebar">{_bar_a(search, page, code, chosen)}</p></div>']
    else:
        lines += ['<div id="wrap">', '<ul id="plist" class="vlcol5">', *_items(search, host, page), "</ul>",
                  '<div class="p">', _bar_b(search, page, code, chosen), "</div>",
                  f'<div id="hint">找到约{search.total}张图片</div>', "</div>"]
    lines += ["</body>", "</html>", ""]
    return "\r\n".join(lines)


def _home():
    return "\r\n".join([
        "<html><head>",
        f'<meta http-equiv="Content-Type" content="text/html; charset={CHARSET}">',
        "<title>搜狗图片</title></head><body>",
        '<form action="pics" method="get"><input name="query"> <input type="submit" value="搜狗搜索"></form>',
        "</body></html>",
        "",
    ])


def respond(path, raw_query, host):
    if path in ("", "/"):
        return common.html_page(_home(), CHARSET)
    if path != "/pics":
        return common.not_found()
    query = common.parse_query(raw_query)
    search = _search(query)
    page = max(1, common.parse_int(query.get("page"), 1))
    code = common.parse_int(query.get("di"), 0)
    chosen = query.get("layout", b"").decode("latin-1").lower()
    if chosen not in ("a", "b"):
        chosen = ""
    layout = chosen or ("a" if code > 0 else "b")
    return common.html_page(_results_page(search, host, page, code, layout, chosen), CHARSET)
