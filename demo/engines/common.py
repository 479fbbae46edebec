"""What the four engine stand-ins share: reading a request the way the program writes it, the search
it asks for, and the results of that search.

The program percent-encodes the keyword in code page 936 (GBK) for every engine, so that is how a
keyword is read. A browser that follows one of our page links may send it in UTF-8 instead, and the
program lower-cases the links it follows, so a keyword is accepted in either encoding, percent-encoded
or raw, and the results depend on the keyword with its ASCII letters lower-cased."""
import hashlib
import html
import re
import urllib.parse
from dataclasses import dataclass

from . import pictures

# The keyword that finds nothing on every engine (in any letter case).
NOTHING_KEYWORD = "nothing"
DEFAULT_SIZE = (1024, 768)
MIN_SIDE, MAX_SIDE = 16, 4096
SIZE_TEXT = re.compile(r"^(\d{1,5})[xX](\d{1,5})$")


@dataclass
class Response:
    status: int
    content_type: str
    body: bytes


def not_found():
    return Response(404, "text/html; charset=utf-8", b"<html><body><h1>404 Not Found</h1></body></html>\r\n")


def html_page(text, charset):
    """A page in the engine's own charset; characters the charset lacks become character references."""
    return Response(200, f"text/html; charset={charset}", text.encode(charset, errors="xmlcharrefreplace"))


def parse_query(raw_query):
    """Query bytes to a dict of lower-cased names and unescaped byte values; the first occurrence of a
    name counts. Links taken from our own pages may arrive with their "&amp;" still escaped."""
    values = {}
    for part in raw_query.replace(b"&amp;", b"&").split(b"&"):
        if not part:
            continue
        name, _, value = part.partition(b"=")
        name = urllib.parse.unquote_to_bytes(name.replace(b"+", b" ")).decode("latin-1").lower()
        values.setdefault(name, urllib.parse.unquote_to_bytes(value.replace(b"+", b" ")))
    return values


def _is_cjk(character):
    code = ord(character)
    return 0x2E80 <= code <= 0x9FFF or 0xF900 <= code <= 0xFAFF or 0xFE30 <= code <= 0xFE4F or 0xFF00 <= code <= 0xFFEF


def decode_keyword(raw):
    """GBK as the program sends it. UTF-8 wins only when every non-ASCII character it gives is a CJK one:
    Chinese in UTF-8 takes three bytes a character, which GBK text almost never forms."""
    try:
        text = raw.decode("utf-8")
        if any(ord(c) > 0x7F for c in text) and all(ord(c) <= 0x7F or _is_cjk(c) for c in text):
            return text
    except UnicodeDecodeError:
        pass
    try:
        return raw.decode("gbk")
    except UnicodeDecodeError:
        return raw.decode("utf-8", errors="replace")


def ascii_lower(text):
    return "".join(chr(ord(c) + 32) if "A" <= c <= "Z" else c for c in text)


def parse_int(raw, default):
    try:
        return int(raw.decode("ascii").strip())
    except (AttributeError, UnicodeDecodeError, ValueError):
        return default


def clamp_side(value):
    return max(MIN_SIDE, min(MAX_SIDE, value))


def split_size(text):
    """ "Landscape 1366x768" -> ("Landscape", (1366, 768)); the size is None when the text ends in none."""
    head, _, tail = text.strip().rpartition(" ")
    match = SIZE_TEXT.match(tail)
    if not match:
        return text.strip(), None
    return head.strip(), (clamp_side(int(match.group(1))), clamp_side(int(match.group(2))))


def encode_keyword(keyword):
    """The keyword as the program would put it into a query string: GBK, percent-encoded."""
    return urllib.parse.quote(keyword.encode("gbk", errors="replace"), safe="._")


def escape(text):
    return html.escape(text, quote=True)


@dataclass
class Search:
    """One search of one engine: the keyword as sent and the picture size asked for."""
    engine: str
    keyword: str
    width: int
    height: int

    @property
    def folded(self):
        return ascii_lower(self.keyword.strip())

    @property
    def finds_nothing(self):
        return self.folded in ("", NOTHING_KEYWORD)

    @property
    def total(self):
        """How many results the engine claims; fixed by engine, keyword and size."""
        if self.finds_nothing:
            return 0
        digest = hashlib.sha256(f"{self.engine}|{self.folded}|{self.width}x{self.height}".encode("utf-8")).digest()
        return 40 + int.from_bytes(digest[:4], "little") % 261

    def results(self, offset, count):
        """The pictures from result number offset (0-based) on, at most count of them."""
        first = max(0, offset)
        last = min(self.total, first + max(0, count))
        return [pictures.Picture.of(self.engine, self.folded, self.width, self.height, n) for n in range(first, last)]


def page_window(current, count, span=10):
    """The page numbers a bar shows: up to span of them around the current one."""
    first = max(1, current - span // 2)
    last = min(count, first + span - 1)
    first = max(1, last - span + 1)
    return range(first, last + 1)


def page_count(total, per_page):
    return (total + per_page - 1) // per_page
