"""Our own search results: landscapes drawn from a key that names the engine, the keyword, the size
searched for and the result's number, so the same search always shows the same pictures.

A key reads engine-hash-keywordhex-WxH-number, for example baidu-1a2b3c4d-6c616e64-1024x768-7; the
picture is served at /pictures/full/<key>.<ext>, its thumbnail at /pictures/thumb/<key>.<ext> and, for
Google's pages, at /pictures/tbn?q=tbn:<key>. Most pictures have the size searched for, every fifth
one is a quarter larger (bigger than the screen when the search asked for the screen's size). The
formats take turns: JPEG, PNG (every other one with transparent corners), GIF and 24-bit BMP.

ImageMagick's convert draws them (scripts/bootstrap.sh installs it); the drawn files are kept in the
cache folder, so each is drawn once."""
import hashlib
import math
import os
import random
import re
import shutil
import subprocess
import tempfile
import threading
from dataclasses import dataclass

FORMATS = ("jpg", "png", "gif", "bmp")
CONTENT_TYPES = {"jpg": "image/jpeg", "png": "image/png", "gif": "image/gif", "bmp": "image/bmp"}
ENGINES = ("baidu", "youdao", "sogou", "google")
# Which side of an engine's thumbnails is fixed, and how long it is.
THUMB_SIDES = {"baidu": ("height", 120), "google": ("width", 140), "sogou": ("height", 100), "youdao": ("width", 160)}
SMALL_THUMB_WIDTH = 96
MAX_SIDE = 4096
LABEL_BYTES = 24
# Bumped whenever the drawing changes, so older cached files are not served.
DRAWING_VERSION = 1
KEY = re.compile(r"^(baidu|youdao|sogou|google)-([0-9a-f]{8})-((?:[0-9a-f]{2}){0,%d})-(\d{1,4})x(\d{1,4})-(\d{1,5})$"
                 % LABEL_BYTES)
FONTS = ("/usr/share/fonts/truetype/wqy/wqy-microhei.ttc", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf")

# Sky top, sky bottom, sun or moon, three hill layers from far to near, stars in the sky.
PALETTES = [
    ("#283c8c", "#faaa78", "#fff0c8", ("#6e5082", "#463764", "#231c37"), False),
    ("#145ab4", "#aadcfa", "#fffff0", ("#3c9664", "#236e46", "#14462d"), False),
    ("#050a1e", "#2d375f", "#e6e6d2", ("#191e37", "#0f1223", "#060610"), True),
    ("#eeece2", "#cdcbc0", "#c83c32", ("#8c8c86", "#5a5a58", "#2a2a2a"), False),
    ("#e8f2fc", "#96b4de", "#ffffff", ("#4664aa", "#234187", "#0f235a"), False),
    ("#781418", "#f0823c", "#ffe182", ("#641a18", "#420e0c", "#200606"), False),
    ("#26262c", "#70707c", "#cdcdd7", ("#4a4a50", "#34343a", "#1e1e22"), True),
    ("#0b3d2e", "#7fc8a9", "#f6f7d7", ("#2f6b4f", "#1d4a36", "#0e2a1e"), False),
    ("#4b1d6b", "#f2a7c3", "#fff4e0", ("#7a3b69", "#552a52", "#2b1530"), False),
    ("#00334e", "#5588a3", "#e8e8e8", ("#145374", "#0b3a55", "#041f2f"), True),
]


def _digest(text):
    return hashlib.sha256(text.encode("utf-8")).digest()


def _number(data, start=0):
    return int.from_bytes(data[start:start + 4], "little")


def _label_hex(keyword):
    """The keyword's first UTF-8 bytes, cut between characters, as hexadecimal digits."""
    data = b""
    for character in keyword:
        encoded = character.encode("utf-8")
        if len(data) + len(encoded) > LABEL_BYTES:
            break
        data += encoded
    return data.hex()


@dataclass(frozen=True)
class Picture:
    engine: str
    keyword_hash: str
    keyword_hex: str
    search_width: int
    search_height: int
    number: int

    @classmethod
    def of(cls, engine, keyword, width, height, number):
        return cls(engine, _digest(keyword).hex()[:8], _label_hex(keyword), width, height, number)

    @classmethod
    def parse(cls, key):
        match = KEY.match(key)
        if not match:
            return None
        width, height = int(match.group(4)), int(match.group(5))
        if not (16 <= width <= MAX_SIDE and 16 <= height <= MAX_SIDE):
            return None
        return cls(match.group(1), match.group(2), match.group(3), width, height, int(match.group(6)))

    @property
    def key(self):
        return (f"{self.engine}-{self.keyword_hash}-{self.keyword_hex}-{self.search_width}x{self.search_height}"
                f"-{self.number}")

    @property
    def seed(self):
        return _digest(self.key)

    @property
    def size(self):
        if self.number % 5 == 3:
            return (min(MAX_SIDE, self.search_width * 5 // 4), min(MAX_SIDE, self.search_height * 5 // 4))
        return (self.search_width, self.search_height)

    @property
    def thumb_size(self):
        width, height = self.size
        side, length = THUMB_SIDES[self.engine]
        if self.number % 7 == 5:
            side, length = "width", SMALL_THUMB_WIDTH
        if side == "width":
            return (length, max(16, min(3 * length, round(length * height / width))))
        return (max(16, min(3 * length, round(length * width / height))), length)

    @property
    def full_format(self):
        return FORMATS[(self.number + int(self.keyword_hash[:2], 16)) % len(FORMATS)]

    @property
    def thumb_format(self):
        return FORMATS[(3 * self.number + int(self.keyword_hash[:2], 16) + 1) % len(FORMATS)]

    @property
    def label(self):
        keyword = bytes.fromhex(self.keyword_hex).decode("utf-8", errors="replace")
        return "".join(c for c in keyword if c.isprintable())

    def url(self, host):
        return f"http://{host}/pictures/full/{self.key}.{self.full_format}"

    def thumb_url(self, host):
        return f"http://{host}/pictures/thumb/{self.key}.{self.thumb_format}"


def _annotation(text):
    """convert reads "%" escapes, a leading "@" (a file to read) and backslashes in the text it writes."""
    text = text.replace("\\", "\\\\").replace("%", "%%")
    return " " + text if text.startswith("@") else text


def _font_arguments():
    for font in FONTS:
        if os.path.exists(font):
            return ["-font", font]
    return []


def drawing_arguments(picture, width, height, thumb):
    """The convert arguments that draw the picture's scene at the given size; the scene scales with it,
    so a thumbnail shows what its picture shows."""
    rng = random.Random(_number(picture.seed))
    sky_top, sky_bottom, sun, hills, stars = PALETTES[_number(picture.seed, 4) % len(PALETTES)]
    arguments = ["-size", f"{width}x{height}", f"gradient:{sky_top}-{sky_bottom}"]
    draw = []
    if stars:
        for _ in range(40):
            x, y = rng.uniform(0, width), rng.uniform(0, height * 0.5)
            radius = max(0.6, height / 700)
            draw.append(f"fill #ffffffc0 circle {x:.1f},{y:.1f} {x + radius:.1f},{y:.1f}")
    cx, cy, radius = width * rng.uniform(0.15, 0.85), height * rng.uniform(0.12, 0.35), height * rng.uniform(0.05, 0.1)
    draw.append(f"fill {sun} circle {cx:.1f},{cy:.1f} {cx + radius:.1f},{cy:.1f}")
    for _ in range(rng.randrange(0, 4)):
        x, y = width * rng.uniform(0, 1), height * rng.uniform(0.08, 0.4)
        draw.append(f"fill #ffffff60 ellipse {x:.1f},{y:.1f} {width * rng.uniform(0.05, 0.14):.1f},"
                    f"{height * rng.uniform(0.015, 0.04):.1f} 0,360")
    for layer, colour in enumerate(hills):
        base = height * (0.55 + 0.13 * layer + rng.uniform(-0.04, 0.04))
        waves = [(rng.uniform(1, 4), rng.uniform(0, math.tau), height * rng.uniform(0.015, 0.06)) for _ in range(3)]
        points = []
        for step in range(65):
            x = width * step / 64
            y = base - sum(a * math.sin(f * math.tau * step / 64 + p) for f, p, a in waves)
            points.append(f"{x:.1f},{y:.1f}")
        points += [f"{width},{height}", f"0,{height}"]
        draw.append(f"fill {colour} polygon " + " ".join(points))
    arguments += ["-draw", " ".join(draw)]
    fonts = _font_arguments()
    # convert's own default font may be missing too: without one of ours the pictures go without captions.
    if fonts and thumb:
        arguments += fonts + ["-gravity", "center", "-pointsize", str(max(8, height * 2 // 5)), "-fill", "white",
                              "-stroke", "#00000080", "-strokewidth", "1", "-annotate", "+0+0",
                              str(picture.number + 1), "+gravity", "-stroke", "none"]
    elif fonts:
        size = max(12, height // 28)
        text = _annotation(f"{picture.label}  #{picture.number + 1}  {width}x{height}  {picture.full_format.upper()}")
        arguments += fonts + ["-pointsize", str(size), "-fill", "#00000090", "-annotate",
                              f"+{size + 2}+{height - size + 2}", text, "-fill", "white", "-annotate",
                              f"+{size}+{height - size}", text]
    return arguments


def output_arguments(picture, width, height, fmt):
    if fmt == "png" and picture.number % 2 == 1:
        corner = max(4, min(width, height) // 12)
        rounded = ["(", "+clone", "-alpha", "transparent", "-fill", "white", "-draw",
                   f"roundrectangle 0,0 {width - 1},{height - 1} {corner},{corner}", ")", "-alpha", "set",
                   "-compose", "DstIn", "-composite"]
    else:
        rounded = []
    common = ["-strip", "-depth", "8"]
    if fmt == "jpg":
        return rounded + common + ["-quality", "85", "jpg:-"]
    if fmt == "png":
        return rounded + common + ["-define", "png:exclude-chunks=date,time", "png:-"]
    if fmt == "gif":
        return rounded + common + ["gif:-"]
    return rounded + common + ["-type", "TrueColor", "bmp3:-"]


def draw(picture, thumb):
    width, height = picture.thumb_size if thumb else picture.size
    fmt = picture.thumb_format if thumb else picture.full_format
    command = ["convert", *drawing_arguments(picture, width, height, thumb),
               *output_arguments(picture, width, height, fmt)]
    return subprocess.run(command, capture_output=True, check=True).stdout


class PictureStore:
    """Draws pictures on demand and keeps them in the cache folder (when it can be written)."""

    def __init__(self, cache_dir):
        self.cache_dir = os.path.join(cache_dir, f"drawing-{DRAWING_VERSION}")
        self._guard = threading.Lock()
        self._drawing = {}

    def get(self, picture, thumb):
        """(content type, bytes) of the picture or its thumbnail."""
        fmt = picture.thumb_format if thumb else picture.full_format
        path = os.path.join(self.cache_dir, f"{picture.key}.{'thumb' if thumb else 'full'}.{fmt}")
        # Requests for the same picture wait for one drawing instead of each drawing it again.
        with self._guard:
            lock = self._drawing.setdefault(path, threading.Lock())
        with lock:
            try:
                with open(path, "rb") as cached:
                    return CONTENT_TYPES[fmt], cached.read()
            except OSError:
                pass
            if shutil.which("convert") is None:
                raise RuntimeError("ImageMagick's convert is missing (scripts/bootstrap.sh installs it)")
            data = draw(picture, thumb)
            try:
                os.makedirs(self.cache_dir, exist_ok=True)
                # Written aside and renamed: another server on the same folder never reads half a file.
                handle, temporary = tempfile.mkstemp(dir=self.cache_dir, suffix=".part")
                with os.fdopen(handle, "wb") as output:
                    output.write(data)
                os.replace(temporary, path)
            except OSError:
                pass
            return CONTENT_TYPES[fmt], data
