"""Google's picture search on its Hong Kong site, /google.hk/images?..., in GBK: the results as the JSON
array of "dyn.setResults(...)" right before "</script></div><div id=ncm></div>", and the page
navigation as the table in <div id=navcnt>, with the spacer spans and style attributes the program
cleans away. Twenty results a page from start; the size comes from imgw and imgh. The main site
(/google/) only shows a search form: the program names it as the Referer."""
import json

from . import common

CHARSET = "gbk"
PER_PAGE = 20


def _search(query):
    keyword = common.decode_keyword(query.get("as_q") or query.get("q") or b"").strip()
    width = common.parse_int(query.get("imgw"), 0)
    height = common.parse_int(query.get("imgh"), 0)
    if width <= 0 or height <= 0:
        width, height = common.DEFAULT_SIZE
    return common.Search("google", keyword, common.clamp_side(width), common.clamp_side(height))


def _link(search, start):
    """A site-relative link, as the program expects: it puts the site root in front."""
    return (f"/images?as_q={common.encode_keyword(search.keyword)}&amp;um=1&amp;hl=zh-CN&amp;imgw={search.width}"
            f"&amp;imgh={search.height}&amp;start={start}&amp;sa=N")


def _navigation(search, start):
    pages = common.page_count(search.total, PER_PAGE)
    current = start // PER_PAGE + 1
    cells = []
    if current > 1:
        cells.append(f'<td class=b><a href="{_link(search, (current - 2) * PER_PAGE)}"><span class="csb" '
                     f'style="background-position:-24px 0;width:28px"></span><span><b>上一页</b></span></a>')
    for number in common.page_window(current, pages):
        if number == current:
            cells.append(f'<td class=cur><span class="csb" style="background-position:-53px 0;width:20px"></span>'
                         f"{number}")
        else:
            cells.append(f'<td><a href="{_link(search, (number - 1) * PER_PAGE)}"><span class="csb ch" '
                         f'style="background-position:-74px 0;width:20px"></span>{number}</a>')
    if current < pages:
        cells.append(f'<td class=b><a href="{_link(search, current * PER_PAGE)}"><span class="csb" '
                     f'style="background-position:-76px 0;width:66px"></span><span><b>下一页</b></span></a>')
    return ("<div id=navcnt><table id=nav align=center><tr valign=top>" + "".join(cells) + "</table></div>")


def _result(picture, host, number):
    width, height = picture.size
    thumb_width, thumb_height = picture.thumb_size
    url = picture.url(host)
    # Element 14 followed by "?q=tbn:" and element 2 is the thumbnail's address; element 3 the picture's.
    return [f"/imgres?imgurl={url}&imgrefurl=http://{host}/google.hk/&w={width}&h={height}&start={number}",
            "", picture.key, url, str(thumb_width), str(thumb_height), f"picture {picture.number + 1}", "", "",
            f"{width} &times; {height} - {picture.full_format}", picture.full_format, host, "", "",
            f"http://{host}/pictures/tbn", ""]


def _results_page(search, host, start):
    keyword = common.escape(search.keyword)
    head = ('<!doctype html><html><head><meta http-equiv="content-type" content="text/html; charset=GBK">'
            f"<title>{keyword} - Google 图片搜索</title>"
            "<script>var dyn={prepare:function(){},setResults:function(r){}};</script></head><body>")
    if search.total == 0:
        body = (f'<div id=res><div id=topstuff><p>找不到和您的查询 "<b>{keyword}</b>" 相符的图片。</p></div>'
                "</div>")
        return "\r\n".join([head, body, "</body></html>", ""])
    results = [_result(p, host, start + i) for i, p in enumerate(search.results(start, PER_PAGE))]
    body = ("<div id=res><div id=ImgCont><div id=ImgContent></div><script>dyn.prepare();dyn.setResults("
            + json.dumps(results, separators=(",", ":")) + ");</script></div><div id=ncm></div></div>")
    return "\r\n".join([head, body, f"<div id=foot>{_navigation(search, start)}</div>", "</body></html>", ""])


def _home(title):
    return "\r\n".join([
        "<html><head>",
        f'<meta http-equiv="content-type" content="text/html; charset={CHARSET}">',
        f"<title>{title}</title></head><body>",
        '<form action="/google.hk/images" method="get"><input name="as_q"> <input type="submit" value="Google 搜索">'
        "</form>",
        "</body></html>",
        "",
    ])


def respond_main(path, raw_query, host):
    if path in ("", "/"):
        return common.html_page(_home("Google"), CHARSET)
    return common.not_found()


def respond(path, raw_query, host):
    if path in ("", "/"):
        return common.html_page(_home("Google 香港"), CHARSET)
    if path != "/images":
        return common.not_found()
    query = common.parse_query(raw_query)
    start = max(0, common.parse_int(query.get("start"), 0))
    return common.html_page(_results_page(_search(query), host, start), CHARSET)
