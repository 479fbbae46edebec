"""Baidu's picture search, /baidu/i?..., in GBK, in the two layouts it has served:

- the script layout: the results as JSON in "<script>var imgdata = {...};BD.IMG.model.ImageIndex
  .storeData(imgdata);</script>", with the result count in "listNum";
- the markup layout: the count in a leading "<!--resnum:1,234-->" comment and one <dl> per result
  between <div id="imgid"> and <div id="lastPage">.

A search with a size code (z=4 to 8) gets the markup layout, one without (z=0, the size written after
the keyword) the script layout; layout=script or layout=markup chooses. Results run from pn, rn of
them (15 unless asked otherwise)."""
import json
import urllib.parse

from . import common

CHARSET = "gbk"
# The size codes of the search form.
SIZE_CODES = {4: (800, 600), 5: (1024, 768), 6: (1280, 960), 7: (1280, 1024), 8: (1600, 1200)}
PER_PAGE = 15


def _search(query):
    keyword, size = common.split_size(common.decode_keyword(query.get("word", b"")))
    code = common.parse_int(query.get("z"), 0)
    if code in SIZE_CODES:
        size = SIZE_CODES[code]
    width, height = size or common.DEFAULT_SIZE
    return common.Search("baidu", keyword, width, height), code


def _own_pager(search, offset, per_page, query_text):
    """Page links for a browser; the program draws its own from the count."""
    pages = common.page_count(search.total, per_page)
    current = offset // per_page + 1
    links = []
    for number in common.page_window(current, pages):
        if number == current:
            links.append(f"<strong>{number}</strong>")
        else:
            links.append(f'<a href="i?{common.escape(query_text)}&amp;pn={(number - 1) * per_page}">{number}</a>')
    return " ".join(links)


def _script_layout(search, host, offset, per_page, query_text):
    data = []
    for picture in search.results(offset, per_page):
        width, height = picture.size
        data.append({"thumbURL": picture.thumb_url(host), "middleURL": picture.thumb_url(host),
                     "objURL": picture.url(host), "fromURL": f"http://{host}/baidu/", "width": width,
                     "height": height, "type": picture.full_format, "di": picture.key})
    # The engine ends its list with an empty element.
    data.append({})
    imgdata = {"queryEnc": common.encode_keyword(search.keyword), "listNum": search.total,
               "displayNum": search.total, "bdFmtDispNum": f"{search.total:,}", "data": data}
    keyword = common.escape(search.keyword)
    lines = [
        "<!DOCTYPE html>",
        "<html>",
        "<head>",
        f'<meta http-equiv="Content-Type" content="text/html; charset={CHARSET}">',
        f"<title>{keyword}_百度图片搜索</title>",
        "</head>",
        "<body>",
        '<div id="wrapper">',
        f'<div id="topInfo">找到相关图片约{search.total:,}张</div>',
        '<div id="imgContainer"></div>',
        "<script>var imgdata = " + json.dumps(imgdata, separators=(",", ":"))
        + ";BD.IMG.model.ImageIndex.storeData(imgdata);</script>",
        f'<div id="page">{_own_pager(search, offset, per_page, query_text)}</div>',
        "</div>",
        "</body>",
        "</html>",
        "",
    ]
    return "\r\n".join(lines)


def _markup_layout(search, host, offset, per_page, query_text):
    keyword = common.escape(search.keyword)
    lines = [
        # Nothing with a digit may stand between this count and <head>: the program reads every digit.
        f"<!--resnum:{search.total:,}-->",
        "<html>",
        "<head>",
        f'<meta http-equiv="Content-Type" content="text/html; charset={CHARSET}">',
        f"<title>百度图片搜索_{keyword}</title>",
        "</head>",
        "<body>",
        f'<div id="hd">找到相关图片{search.total:,}张</div>',
        '<div id="imgid">',
    ]
    for picture in search.results(offset, per_page):
        width, height = picture.size
        thumb_width, thumb_height = picture.thumb_size
        url = picture.url(host)
        lines.append(f'<dl><dt><img width="{thumb_width}" height="{thumb_height}" src="{picture.thumb_url(host)}">'
                     f'</dt><dd><a href="{url}" target="_blank" onclick="p(event,{{u:\'{url}\',w:{width},'
                     f'h:{height},t:\'{picture.full_format}\'}});return false;">{width}x{height} '
                     f"{picture.full_format.upper()}</a></dd></dl>")
    lines += [
        "</div>",
        f'<div id="lastPage">{_own_pager(search, offset, per_page, query_text)}</div>',
        "</body>",
        "</html>",
        "",
    ]
    return "\r\n".join(lines)


def _home():
    return "\r\n".join([
        "<html><head>",
        f'<meta http-equiv="Content-Type" content="text/html; charset={CHARSET}">',
        "<title>百度图片</title></head><body>",
        '<form action="i" method="get"><input type="hidden" name="tn" value="baiduimage">',
        '<input name="word"> <input type="hidden" name="z" value="0"><input type="hidden" name="rn" value="15">',
        '<input type="submit" value="百度一下"></form>',
        "</body></html>",
        "",
    ])


def respond(path, raw_query, host):
    if path in ("", "/"):
        return common.html_page(_home(), CHARSET)
    if path != "/i":
        return common.not_found()
    query = common.parse_query(raw_query)
    search, code = _search(query)
    per_page = max(1, min(60, common.parse_int(query.get("rn"), PER_PAGE)))
    offset = max(0, common.parse_int(query.get("pn"), 0))
    layout = query.get("layout", b"markup" if code > 0 else b"script")
    # The query without pn, for the links of the page's own pager.
    query_text = "&".join(urllib.parse.quote(part, safe="=%+._-~:,") for part in raw_query.replace(b"&amp;", b"&")
                          .split(b"&") if part and not part.lower().startswith(b"pn="))
    if layout == b"markup":
        return common.html_page(_markup_layout(search, host, offset, per_page, query_text), CHARSET)
    return common.html_page(_script_layout(search, host, offset, per_page, query_text), CHARSET)
