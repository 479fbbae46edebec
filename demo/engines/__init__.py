"""Stand-ins for the four picture-search engines the wallpaper page queries, served by the demo server
under the site roots the build points at:

    /baidu/i?...          Baidu (GBK; script and markup layouts)         baidu.py
    /youdao/search?...    Youdao (UTF-8)                                 youdao.py
    /sogou/pics?...       Sogou (GBK; layouts A and B)                   sogou.py
    /google.hk/images?... Google's Hong Kong site (GBK)                  google.py
    /google/              Google's main site, a search form only         google.py
    /pictures/...         the pictures and thumbnails of every result    pictures.py

Each engine reads the query string the program sends, so another keyword or size gives other
pictures and the page links of the result pages lead to further pages. The keyword "nothing"
finds nothing anywhere. Every other address under these roots is answered with 404."""
import re

from . import baidu, common, google, pictures, sogou, youdao

ROUTES = {"baidu": baidu.respond, "youdao": youdao.respond, "sogou": sogou.respond, "google.hk": google.respond,
          "google": google.respond_main}
HOST = re.compile(r"^[A-Za-z0-9.\-]+(:\d{1,5})?$|^\[[0-9A-Fa-f:.]+\](:\d{1,5})?$")
PICTURE_PATH = re.compile(r"^/(full|thumb)/([0-9a-z\-]+)\.(jpg|png|gif|bmp)$")


class Emulator:
    def __init__(self, cache_dir):
        self.store = pictures.PictureStore(cache_dir)

    def respond(self, target, host, fallback_host):
        """The response to a request for target (the request line's bytes), or None when the address is
        none of the engines'. host is the request's Host header; it names the server in picture addresses."""
        path, _, raw_query = target.partition(b"?")
        path = path.decode("latin-1")
        root, slash, rest = path.lstrip("/").partition("/")
        if root != "pictures" and root not in ROUTES:
            return None
        if not host or not HOST.match(host):
            host = fallback_host
        if root == "pictures":
            return self._picture(slash + rest, raw_query)
        return ROUTES[root](slash + rest, raw_query, host)

    def _picture(self, path, raw_query):
        match = PICTURE_PATH.match(path)
        if match:
            picture = pictures.Picture.parse(match.group(2))
            thumb = match.group(1) == "thumb"
            if picture is None or match.group(3) != (picture.thumb_format if thumb else picture.full_format):
                return common.not_found()
        elif path == "/tbn":
            # Google's thumbnail address: tbn?q=tbn:<key>.
            value = common.parse_query(raw_query).get("q", b"").decode("latin-1")
            picture = pictures.Picture.parse(value[4:]) if value.startswith("tbn:") else None
            thumb = True
            if picture is None:
                return common.not_found()
        else:
            return common.not_found()
        content_type, data = self.store.get(picture, thumb)
        return common.Response(200, content_type, data)
