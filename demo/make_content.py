#!/usr/bin/env python3
"""Writes the demo's packages as the source that lumaforge-publish publishes: for every catalog name a
real package of its kind, theme/<category>/<name>.zip for visual styles and <kind>/<name>.zip for the
others, with a preview <name>.jpg beside it (but for sound schemes, which the program shows no preview
of), the status text status.txt and the settings api.txt the demo server hands out.

    demo/make_content.py SOURCE_FOLDER PROGRAMS_FOLDER

PROGRAMS_FOLDER holds the demo programs of the Windows build (build/windows/demo): the screen saver
lumaforge_saver.scr and the stand-in logonui.exe. Everything else is drawn and synthesised here;
ImageMagick's convert (installed by scripts/bootstrap.sh) turns the pictures into BMP and JPEG.
scripts/publish-demo.sh then publishes the source, signed, for the web server.

What each package holds is laid out as the installer of its kind expects: a visual style's .theme
and folder, a cursor scheme's cursors and setup.inf, a sound scheme's sounds and install.inf, a
screen saver's <name>.scr, a login screen's logonui.exe, an icon theme's icons and <name>.config.
A few packages carry several megabytes of padding so that the download progress can be watched.

A stamp in the source folder (.content-stamp.json, which the publisher passes over like every name
beginning with a point) records what each package was made from (this script, the cursor drawings,
the programs), so a run rebuilds only what changed and is quick when nothing did.
"""
import hashlib
import io
import json
import math
import os
import random
import shutil
import struct
import subprocess
import sys
import wave
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "scripts"))
import make_cursors  # noqa: E402  (the drawings of the program's own cursors)

KINDS = {"themes": "theme", "cursors": "cursor", "logons": "logon", "screensave": "screensave",
         "icon": "icon", "sound": "sound"}
SAVER_PROGRAM = "lumaforge_saver.scr"
LOGON_PROGRAM = "logonui.exe"
PROGRAMS = {"screensave": SAVER_PROGRAM, "logon": LOGON_PROGRAM}
# Megabytes of incompressible padding, kept in a sub-folder of the package's own folder.
LARGE = {"Aero Glass": 6, "水墨山水": 3, "Dinosaur": 4, "Chimes": 8, "Crystal Clear": 5}
STAMP = ".content-stamp.json"
API_SETTINGS = os.path.join(HERE, "api.txt")
ZIP_TIME = (2024, 6, 1, 12, 0, 0)
PREVIEW_SIZE = (320, 240)
WALLPAPER_SIZE = (1024, 768)
SAMPLE_RATE = 22050


def stable_number(text):
    return int.from_bytes(hashlib.sha256(text.encode("utf-8")).digest()[:4], "little")


def darker(colour, factor=0.55):
    return tuple(int(c * factor) for c in colour)


def mix(a, b, t):
    return tuple(int(x + (y - x) * t) for x, y in zip(a, b))


# ---------------------------------------------------------------------------------------------
# Pictures

class Canvas:
    """An RGB picture, enough to draw the wallpapers and previews."""

    def __init__(self, width, height, colour=(0, 0, 0)):
        self.width, self.height = width, height
        self.pixels = bytearray(bytes(colour) * (width * height))

    def rect(self, left, top, width, height, colour):
        left, right = max(0, left), min(self.width, left + width)
        if right <= left:
            return
        row = bytes(colour) * (right - left)
        for y in range(max(0, top), min(self.height, top + height)):
            i = (y * self.width + left) * 3
            self.pixels[i:i + len(row)] = row

    def gradient(self, top_colour, bottom_colour):
        for y in range(self.height):
            self.rect(0, y, self.width, 1, mix(top_colour, bottom_colour, y / max(1, self.height - 1)))

    def disc(self, cx, cy, radius, colour):
        for y in range(int(cy - radius), int(cy + radius) + 1):
            half = radius * radius - (y + 0.5 - cy) ** 2
            if half > 0:
                span = math.sqrt(half)
                left = int(round(cx - span))
                self.rect(left, y, int(round(cx + span)) - left, 1, colour)

    def sprite(self, picture, left, top, scale, colours=None):
        """A grid of colours, or of indices into `colours`, each pixel drawn scale by scale; None and
        indices without a colour are see-through."""
        for y, row in enumerate(picture):
            for x, value in enumerate(row):
                colour = value if colours is None else colours.get(value)
                if colour is not None:
                    self.rect(left + x * scale, top + y * scale, scale, scale, colour)

    def ppm(self):
        return b"P6 %d %d 255\n" % (self.width, self.height) + bytes(self.pixels)


def convert(picture, *arguments):
    """The picture (a Canvas) through ImageMagick's convert; the last argument names the output format."""
    if shutil.which("convert") is None:
        sys.exit("make_content.py: ImageMagick's convert is missing (scripts/bootstrap.sh installs it)")
    result = subprocess.run(["convert", "ppm:-", *arguments], input=picture.ppm(), capture_output=True, check=True)
    return result.stdout


def jpeg(picture):
    return convert(picture, "-quality", "88", "jpg:-")


# Skies, sun, three hill layers and a window title colour, for the wallpapers and their previews.
SCENES = {
    "dawn": ((40, 60, 140), (250, 170, 120), (255, 240, 200), [(110, 80, 130), (70, 55, 100), (35, 28, 55)],
             (70, 90, 170)),
    "aero": ((20, 90, 180), (170, 220, 250), (255, 255, 240), [(60, 150, 100), (35, 110, 70), (20, 70, 45)],
             (50, 120, 200)),
    "night": ((5, 10, 30), (45, 55, 95), (230, 230, 210), [(25, 30, 55), (15, 18, 35), (6, 6, 16)], (40, 40, 52)),
    "ink": ((238, 236, 226), (205, 203, 192), (200, 60, 50), [(140, 140, 134), (90, 90, 88), (42, 42, 42)],
            (90, 90, 90)),
    "porcelain": ((232, 242, 252), (150, 180, 222), (255, 255, 255), [(70, 100, 170), (35, 65, 135), (15, 35, 90)],
                  (30, 60, 140)),
    "lantern": ((120, 20, 24), (240, 130, 60), (255, 225, 130), [(100, 26, 24), (66, 14, 12), (32, 6, 6)],
                (170, 30, 30)),
    "graphite": ((38, 38, 44), (112, 112, 124), (205, 205, 215), [(74, 74, 80), (52, 52, 58), (30, 30, 34)],
                 (62, 62, 70)),
}
THEME_SCENES = {"Aero Glass": "aero", "Aero Black": "graphite", "Basic Blue": "porcelain", "水晶蓝": "aero",
                "Leopard": "dawn", "Snow Leopard Dark": "night", "Lion Light": "dawn", "水墨山水": "ink",
                "青花瓷": "porcelain", "Red Lantern": "lantern", "Flat White": "ink", "Flat Graphite": "graphite",
                "Carbon": "graphite"}


def scene_of(name):
    key = THEME_SCENES.get(name) or sorted(SCENES)[stable_number(name) % len(SCENES)]
    return SCENES[key]


def landscape(name, width, height):
    """Sky, sun and rolling hills; the same scene at any size."""
    sky_top, sky_bottom, sun, hills, _ = scene_of(name)
    rng = random.Random(name)
    picture = Canvas(width, height)
    picture.gradient(sky_top, sky_bottom)
    picture.disc(width * rng.uniform(0.2, 0.8), height * rng.uniform(0.15, 0.35), height * 0.08, sun)
    for layer, colour in enumerate(hills):
        base = height * (0.55 + 0.13 * layer)
        waves = [(rng.uniform(1, 3.5), rng.uniform(0, 6.3), height * rng.uniform(0.02, 0.06)) for _ in range(3)]
        for x in range(width):
            top = base - sum(a * math.sin(f * 2 * math.pi * x / width + p) for f, p, a in waves)
            picture.rect(x, int(top), 1, height, colour)
    return picture


def window_mock(picture, title_colour, left, top, width, height):
    picture.rect(left - 1, top - 1, width + 2, height + 2, darker(title_colour))
    picture.rect(left, top, width, height, (245, 245, 245))
    picture.rect(left, top, width, 14, title_colour)
    for i, colour in enumerate([(230, 80, 70), (240, 190, 60), (90, 190, 90)]):
        picture.rect(left + width - 12 - 11 * i, top + 3, 8, 8, colour)
    for line in range(4):
        picture.rect(left + 10, top + 26 + 14 * line, width - 20 - 30 * (line % 2), 5, (200, 200, 205))


# ---------------------------------------------------------------------------------------------
# Visual styles

def theme_text(name):
    desktop, _, _, _, title = scene_of(name)
    lines = [
        f"; {name} - a visual style of the Lumaforge demo",
        "[Theme]",
        f"DisplayName={name}",
        "",
        r"[Control Panel\Desktop]",
        rf"Wallpaper=%WinDir%\Resources\Themes\{name}\wallpaper.bmp",
        "TileWallpaper=0",
        "WallpaperStyle=2",
        "",
        r"[Control Panel\Colors]",
        "Background=%d %d %d" % desktop,
        "ActiveTitle=%d %d %d" % title,
        "GradientActiveTitle=%d %d %d" % mix(title, (255, 255, 255), 0.4),
        "",
        "[MasterThemeSelector]",
        "MTSM=DABJDKT",
    ]
    return windows_text(lines)


def build_theme(name):
    wallpaper = convert(landscape(name, WALLPAPER_SIZE[0] // 4, WALLPAPER_SIZE[1] // 4), "-resize",
                        "%dx%d!" % WALLPAPER_SIZE, "-type", "TrueColor", "BMP3:-")
    entries = [(f"{name}.theme", theme_text(name)), (f"{name}/wallpaper.bmp", wallpaper)]
    preview = landscape(name, *PREVIEW_SIZE)
    window_mock(preview, scene_of(name)[4], 60, 50, 200, 120)
    return entries, f"{name}/", preview


# ---------------------------------------------------------------------------------------------
# Cursor schemes

# The key of each cursor role in the [Strings] section of setup.inf, in the order of the roles.
CURSOR_INF_KEYS = ["pointer", "help", "work", "busy", "cross", "text", "hand", "unavailiable", "vert", "horz", "dgn1",
                   "dgn2", "move", "alternate", "link"]
# Outline and fill of each scheme's pointers; black and white pairs stay monochrome.
CURSOR_LOOKS = {"Aero Large": ((0, 0, 0), (255, 255, 255)), "Dinosaur": ((40, 70, 20), (150, 205, 80)),
                "熊猫指针": ((255, 255, 255), (0, 0, 0)), "Neon Green": ((0, 40, 0), (57, 255, 20)),
                "Oxygen Blue": ((10, 30, 80), (110, 170, 240)),
                "Windows Classic Black": ((255, 255, 255), (0, 0, 0))}
# Schemes made as such schemes often come: the full INF of the classic cursor installers, and one
# that leaves the pen and up-arrow roles to the system.
FULL_INF_SCHEME = "Oxygen Blue"
PARTIAL_SCHEME = "Aero Large"
PARTIAL_ROLES = {6, 13}


def cursor_look(name):
    if name in CURSOR_LOOKS:
        return CURSOR_LOOKS[name]
    looks = sorted(CURSOR_LOOKS.values())
    return looks[stable_number(name) % len(looks)]


def cursor_file_names(name):
    return [None if name == PARTIAL_SCHEME and role in PARTIAL_ROLES else f"{stem}.cur"
            for role, (stem, _, _) in enumerate(make_cursors.CURSORS)]


def setup_inf(name):
    files = cursor_file_names(name)
    width = max(map(len, CURSOR_INF_KEYS)) + 1
    strings = [f'{key.ljust(width)}= "{file or ""}"' for key, file in zip(CURSOR_INF_KEYS, files)]
    if name != FULL_INF_SCHEME:
        lines = [f"; {name} - a cursor scheme of the Lumaforge demo", "[Version]", 'signature="$CHICAGO$"', "",
                 "[Strings]"] + strings
        return windows_text(lines, "gbk")
    scheme = ",".join(rf"%10%\%CUR_DIR%\%{key}%" for key in CURSOR_INF_KEYS)
    lines = [
        f"; {name} - a cursor scheme of the Lumaforge demo",
        "; Right-click this file and choose Install, then pick the scheme in the Mouse control panel.",
        "",
        "[Version]",
        'signature="$CHICAGO$"',
        "",
        "[DefaultInstall]",
        "CopyFiles = Scheme.Cur",
        "AddReg    = Scheme.Reg",
        "",
        "[DestinationDirs]",
        'Scheme.Cur = 10,"%CUR_DIR%"',
        "",
        "[Scheme.Reg]",
        rf'HKCU,"Control Panel\Cursors\Schemes","%SCHEME_NAME%",,"{scheme}"',
        "",
        "; -- Installed files",
        "",
        "[Scheme.Cur]",
    ] + [file for file in files if file] + [
        "",
        "[Strings]",
        f'{"CUR_DIR".ljust(width)}= "Cursors\\{name}"',
        f'{"SCHEME_NAME".ljust(width)}= "{name}"',
    ] + strings
    return windows_text(lines, "gbk")


def build_cursor(name):
    ink, paper = cursor_look(name)
    entries = [("setup.inf", setup_inf(name))]
    for role, file in enumerate(cursor_file_names(name)):
        if file:
            picture = make_cursors.picture_of(role)
            entries.append((file, make_cursors.cur_file(picture, make_cursors.hotspot_of(role), ink, paper)))
    preview = Canvas(*PREVIEW_SIZE)
    preview.gradient((58, 110, 165), (150, 190, 225))
    colours = {make_cursors.INK: ink, make_cursors.PAPER: paper}
    for role in range(len(make_cursors.CURSORS)):
        preview.sprite(make_cursors.picture_of(role), 8 + (role % 5) * 62, 24 + (role // 5) * 64, 2, colours)
    return entries, "", preview


# ---------------------------------------------------------------------------------------------
# Sound schemes

# Application key, event, sound file stem.
SOUND_EVENTS = [
    (".Default", ".Default", "ding"),
    (".Default", "SystemAsterisk", "asterisk"),
    (".Default", "SystemExclamation", "exclamation"),
    (".Default", "SystemHand", "critical"),
    (".Default", "SystemQuestion", "question"),
    (".Default", "SystemNotification", "notify"),
    (".Default", "SystemStart", "startup"),
    (".Default", "SystemExit", "shutdown"),
    (".Default", "Minimize", "minimize"),
    (".Default", "Maximize", "maximize"),
    (".Default", "RestoreDown", "restore"),
    (".Default", "MailBeep", "mail"),
    ("Explorer", "Navigating", "navigate"),
    ("Explorer", "EmptyRecycleBin", "recycle"),
]
# Notes as (semitones above the scheme's base tone, seconds); "noise" is a short rustle.
MELODIES = {
    "ding": [(0, 0.35)], "asterisk": [(7, 0.18), (12, 0.4)], "exclamation": [(12, 0.14), (12, 0.35)],
    "critical": [(0, 0.2), (-6, 0.5)], "question": [(0, 0.16), (4, 0.16), (9, 0.35)], "notify": [(9, 0.12), (4, 0.3)],
    "startup": [(0, 0.22), (4, 0.22), (7, 0.22), (12, 0.7)], "shutdown": [(12, 0.22), (7, 0.22), (4, 0.22), (0, 0.7)],
    "minimize": [(7, 0.1), (0, 0.16)], "maximize": [(0, 0.1), (7, 0.16)], "restore": [(4, 0.1), (4, 0.14)],
    "mail": [(12, 0.1), (16, 0.1), (19, 0.35)], "navigate": [(19, 0.04)], "recycle": "noise",
}
# Voice and base frequency of each scheme.
SOUND_VOICES = {"Chimes": ("bell", 880.0), "Robot Voice": ("square", 330.0), "Windows XP Classic": ("sine", 660.0),
                "中国风": ("pluck", 440.0), "Zen Garden": ("soft", 220.0)}


def note_samples(voice, frequency, seconds, rng):
    tail = {"bell": 0.6, "pluck": 0.5, "soft": 0.8}.get(voice, 0.05)
    count = int((seconds + tail) * SAMPLE_RATE)
    if voice == "pluck":
        # Karplus-Strong: a burst of noise through a delay line that smooths itself out.
        period = max(2, int(SAMPLE_RATE / frequency))
        line = [rng.uniform(-1, 1) for _ in range(period)]
        out = []
        for i in range(count):
            value = line[i % period]
            line[i % period] = 0.996 * 0.5 * (value + line[(i + 1) % period])
            out.append(value)
        return out
    out = []
    for i in range(count):
        t = i / SAMPLE_RATE
        phase = 2 * math.pi * frequency * t
        if voice == "bell":
            value = (math.sin(phase) * math.exp(-3 * t) + 0.5 * math.sin(2.76 * phase) * math.exp(-5 * t) +
                     0.25 * math.sin(5.4 * phase) * math.exp(-8 * t))
        elif voice == "square":
            value = 0.5 * (1 if math.sin(phase * (1 + 0.01 * math.sin(40 * t))) >= 0 else -1)
            value *= 1.0 if t < seconds else max(0.0, 1 - (t - seconds) / tail)
        elif voice == "soft":
            value = (math.sin(phase) + 0.3 * math.sin(1.5 * phase)) * min(1.0, t / 0.08) * math.exp(-2.2 * t)
        else:
            value = (math.sin(phase) + 0.3 * math.sin(2 * phase)) * math.exp(-6 * t)
        out.append(value)
    return out


def wav_file(samples):
    peak = max(1e-9, max(abs(s) for s in samples))
    data = b"".join(struct.pack("<h", int(32767 * 0.8 * s / peak)) for s in samples)
    buffer = io.BytesIO()
    with wave.open(buffer, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(SAMPLE_RATE)
        w.writeframes(data)
    return buffer.getvalue()


def sound_of(name, stem):
    voice, base = SOUND_VOICES.get(name) or sorted(SOUND_VOICES.values())[stable_number(name) % len(SOUND_VOICES)]
    rng = random.Random(name + stem)
    melody = MELODIES[stem]
    if melody == "noise":
        # Paper crumpling: noise that swells and fades, smoothed a little.
        count, level, out = int(0.5 * SAMPLE_RATE), 0.0, []
        for i in range(count):
            level = 0.7 * level + 0.3 * rng.uniform(-1, 1)
            out.append(level * math.sin(math.pi * i / count) * (0.6 + 0.4 * rng.random()))
        return wav_file(out)
    mixed, start = [], 0
    for semitones, seconds in melody:
        note = note_samples(voice, base * 2 ** (semitones / 12), seconds, rng)
        mixed.extend([0.0] * max(0, start + len(note) - len(mixed)))
        for i, value in enumerate(note):
            mixed[start + i] += value
        start += int(seconds * SAMPLE_RATE)
    return wav_file(mixed)


def install_inf(name):
    """Registers the scheme and its sounds and makes it the active one. The sounds are already in
    place, as the package is unpacked into the scheme's own folder of the Windows media folder, so
    there is nothing to copy. %10% is the Windows folder."""
    lines = [
        f"; {name} - a sound scheme of the Lumaforge demo",
        "[Version]",
        'Signature="$CHICAGO$"',
        "",
        "[DefaultInstall]",
        "AddReg = Scheme.Reg",
        "",
        "[Scheme.Reg]",
        r'HKCU,"AppEvents\Schemes",,,"%SchemeName%"',
        r'HKCU,"AppEvents\Schemes\Names\%SchemeName%",,,"%SchemeName%"',
    ]
    for app, event, stem in SOUND_EVENTS:
        sound = rf"%10%\Media\%SchemeName%\{stem}.wav"
        for scheme in ("%SchemeName%", ".current"):
            lines.append(rf'HKCU,"AppEvents\Schemes\Apps\{app}\{event}\{scheme}",,,"{sound}"')
    lines += ["", "[Strings]", f'SchemeName = "{name}"']
    return windows_text(lines, "utf-16")


def build_sound(name):
    entries = [("install.inf", install_inf(name))]
    entries += [(f"{stem}.wav", sound_of(name, stem)) for _, _, stem in SOUND_EVENTS]
    return entries, "", None  # the program shows no preview for sound schemes


# ---------------------------------------------------------------------------------------------
# Screen savers and login screens

LETTERS = {
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "U": ["#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "M": ["#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"],
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "F": ["#####", "#....", "#....", "####.", "#....", "#....", "#...."],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "G": [".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".####"],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
}


def lettering(picture, text, left, top, scale, colour):
    for i, letter in enumerate(text):
        glyph = [[1 if ch == "#" else None for ch in row] for row in LETTERS[letter]]
        picture.sprite(glyph, left + i * 6 * scale, top, scale, {1: colour})


def build_screen_saver(name, programs):
    with open(os.path.join(programs, SAVER_PROGRAM), "rb") as f:
        entries = [(f"{name}.scr", f.read())]
    preview = Canvas(*PREVIEW_SIZE)
    rng = random.Random(name)
    # The bouncing word, with a fading trail of where it was.
    x, y, dx, dy = rng.randint(10, 60), rng.randint(15, 110), 28, 30
    colour = [(255, 215, 64), (96, 200, 255), (255, 112, 160), (128, 240, 128)][stable_number(name) % 4]
    for step in range(4):
        lettering(preview, "LUMAFORGE", x + dx * step, y + dy * step, 3, mix((0, 0, 0), colour, (step + 1) / 4))
    return entries, "", preview


def build_logon(name, programs):
    with open(os.path.join(programs, LOGON_PROGRAM), "rb") as f:
        entries = [(LOGON_PROGRAM, f.read())]
    preview = Canvas(*PREVIEW_SIZE)
    top, bottom = scene_of(name)[0], scene_of(name)[1]
    preview.gradient(darker(top, 0.8), bottom)
    preview.rect(70, 60, 180, 120, mix(top, (255, 255, 255), 0.25))
    preview.rect(96, 84, 40, 40, (250, 250, 250))
    preview.disc(116, 98, 8, (120, 150, 190))
    preview.rect(104, 110, 24, 14, (120, 150, 190))
    preview.rect(146, 92, 80, 8, (240, 240, 240))
    preview.rect(146, 108, 80, 12, (255, 255, 255))
    lettering(preview, "LUMAFORGE", 110, 196, 2, (240, 240, 240))
    return entries, "", preview


# ---------------------------------------------------------------------------------------------
# Icon themes

def area(left, top, right, bottom):
    return make_cursors.polygon([(left, top), (right, top), (right, bottom), (left, bottom)])


def line_pixels(x0, y0, x1, y1, width=2):
    """A thick straight stroke as a polygon."""
    length = math.hypot(x1 - x0, y1 - y0)
    nx, ny = -(y1 - y0) / length * width / 2, (x1 - x0) / length * width / 2
    return make_cursors.polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)])


# Each icon: layers of (pixels, colour role, outlined). Roles are looked up in the theme's colours.
def icon_layers(icon):
    disc = make_cursors.disc
    if icon == "computer":
        return [(area(3, 4, 29, 22), "metal", True), (area(6, 7, 26, 19), "accent", True),
                (area(12, 22, 20, 26), "metal", True), (area(7, 26, 25, 29), "metal", True)]
    if icon == "documents":
        sheet = make_cursors.polygon([(7, 3), (20, 3), (26, 9), (26, 29), (7, 29)])
        lines = area(10, 13, 23, 14) | area(10, 17, 23, 18) | area(10, 21, 20, 22)
        return [(sheet, "paper", True), (make_cursors.polygon([(20, 3), (26, 9), (20, 9)]), "shade", True),
                (lines, "accent", False)]
    if icon == "network":
        links = line_pixels(8, 8, 24, 8) | line_pixels(8, 8, 16, 24) | line_pixels(24, 8, 16, 24)
        return [(links, "metal", False), (disc(8, 8, 5.5), "accent", True), (disc(24, 8, 5.5), "accent", True),
                (disc(16, 24, 5.5), "folder", True)]
    if icon == "globe":
        land = make_cursors.polygon([(8, 9), (15, 6), (17, 12), (12, 16), (13, 22), (8, 18)])
        land |= make_cursors.polygon([(19, 15), (26, 13), (26, 21), (21, 26), (18, 21)])
        return [(disc(16, 16, 13.5), "accent", True), (land & disc(16, 16, 12.5), "green", False)]
    if icon in ("trash_empty", "trash_full"):
        body = make_cursors.polygon([(8, 10), (24, 10), (22, 30), (10, 30)])
        stripes = area(12, 13, 13, 27) | area(15.5, 13, 16.5, 27) | area(19, 13, 20, 27)
        layers = []
        if icon == "trash_full":
            layers = [(disc(12, 7, 4.5) | disc(18, 5, 5) | disc(22, 8, 3.5), "paper", True)]
        return layers + [(body, "metal", True), (stripes, "shade", False), (area(6, 8, 26, 11), "metal", True)]
    if icon == "find":
        return [(line_pixels(20, 20, 28, 28, 5), "shade", True), (disc(13, 13, 10), "metal", True),
                (disc(13, 13, 7), "accent", True)]
    if icon == "run":
        return [(area(3, 5, 29, 27), "metal", True), (area(4, 6, 28, 10), "accent", False),
                (make_cursors.polygon([(12, 13), (22, 18.5), (12, 24)]), "green", True)]
    if icon == "help":
        mark = {(x, y) for y, row in enumerate(make_cursors.QUESTION_MARK) for x, ch in enumerate(row) if ch == "#"}
        big = {(9 + 2 * x + dx, 6 + 2 * y + dy) for x, y in mark for dx in (0, 1) for dy in (0, 1)}
        return [(disc(16, 16, 14), "accent", True), (big, "paper", False)]
    if icon == "control":
        teeth = set()
        for k in range(8):
            angle = k * math.pi / 4
            teeth |= line_pixels(16, 16, 16 + 13 * math.cos(angle), 16 + 13 * math.sin(angle), 5)
        return [((teeth | disc(16, 16, 10)) - disc(16, 16, 4), "metal", True)]
    if icon == "printer":
        return [(area(9, 3, 23, 13), "paper", True), (area(3, 12, 29, 25), "metal", True),
                (area(9, 23, 23, 30), "paper", True), (area(23, 15, 26, 17), "green", False)]
    if icon == "clock":
        hands = line_pixels(16, 16, 16, 7, 2) | line_pixels(16, 16, 22, 19, 2)
        return [(disc(16, 16, 14), "accent", True), (disc(16, 16, 11.5), "paper", False), (hands, "shade", False)]
    if icon in ("folder", "folder_open"):
        back = make_cursors.polygon([(3, 6), (12, 6), (14, 9), (29, 9), (29, 27), (3, 27)])
        layers = [(back, "folder_back", True)]
        if icon == "folder":
            return layers + [(area(3, 12, 29, 27), "folder", True)]
        return layers + [(area(6, 11, 26, 22), "paper", True),
                         (make_cursors.polygon([(7, 15), (31, 15), (27, 27), (2, 27)]), "folder", True)]
    if icon == "drive":
        return [(area(3, 11, 29, 24), "metal", True), (area(6, 16, 18, 17), "shade", False),
                (area(23, 18, 26, 20), "green", False)]
    if icon == "cdrom":
        hole = disc(16, 16, 3)
        return [(disc(16, 16, 14) - hole, "metal", True), (disc(16, 16, 7) - hole, "accent", True)]
    if icon == "mail":
        flap = make_cursors.polygon([(3, 7), (29, 7), (16, 18)])
        return [(area(3, 7, 29, 25), "paper", True), (flap, "shade", True)]
    if icon == "floppy":
        return [(area(5, 4, 27, 28), "accent", True), (area(10, 4, 22, 12), "metal", True),
                (area(8, 17, 24, 28), "paper", True)]
    raise ValueError(icon)


ICONS = ["computer", "documents", "network", "globe", "trash_empty", "trash_full", "find", "run", "help", "control",
         "printer", "clock", "folder", "folder_open", "drive", "cdrom", "mail", "floppy"]
# Folder, accent, metal and paper colours of each theme.
ICON_LOOKS = {
    "Crystal Clear": ((250, 200, 80), (60, 140, 230), (200, 210, 225), (252, 252, 252)),
    "Faenza": ((240, 150, 70), (80, 84, 96), (176, 178, 182), (245, 245, 240)),
    "Mac Style Icons": ((110, 170, 230), (80, 150, 240), (222, 222, 228), (255, 255, 255)),
    "经典图标": ((255, 222, 90), (0, 0, 160), (192, 192, 192), (255, 255, 255)),
}


def icon_colours(name):
    folder, accent, metal, paper = ICON_LOOKS.get(name) or sorted(ICON_LOOKS.values())[
        stable_number(name) % len(ICON_LOOKS)]
    return {"folder": folder, "folder_back": darker(folder, 0.8), "accent": accent, "metal": metal, "paper": paper,
            "shade": darker(metal, 0.6), "green": (60, 170, 80)}


def icon_picture(icon, colours):
    """32 by 32 RGB colours or None, each layer filled and, where asked, outlined in a darker shade."""
    picture = [[None] * 32 for _ in range(32)]
    for pixels, role, outlined in icon_layers(icon):
        colour = colours[role]
        for x, y in pixels:
            edge = outlined and any(p not in pixels for p in make_cursors.neighbours(x, y))
            picture[y][x] = darker(colour) if edge else colour
    return picture


def ico_file(picture):
    """A one-image .ico: 32-bit colour with alpha, and the AND mask older systems use."""
    xor = b"".join(bytes((c[2], c[1], c[0], 255)) if c else b"\0\0\0\0" for row in reversed(picture) for c in row)
    and_rows = bytearray()
    for row in reversed(picture):
        bits = 0
        for c in row:
            bits = bits << 1 | (0 if c else 1)
        and_rows += bits.to_bytes(4, "big")
    image = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 32, 0, len(xor) + len(and_rows), 0, 0, 0, 0) + xor + bytes(
        and_rows)
    return struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", 32, 32, 0, 0, 1, 32, len(image), 22) + image


# Section, key, icon (and index, when the location names one).
ICON_CONFIG = [
    ("Desktop Icons", [("My Computer", "computer"), ("My Documents", "documents"),
                       ("Network Neighborhood", "network"), ("The Internet", "globe"),
                       ("Recycle Bin (empty)", "trash_empty"), ("Recycle Bin (full)", "trash_full")]),
    ("Start Icons", [("Find", "find"), ("Run", "run"), ("Help", "help"), ("E-mail", "mail"),
                     ("Internet", "globe")]),
    ("Folder Icons", [("Control Panel", "control"), ("Printers", "printer"), ("Scanners && Cameras", "printer"),
                      ("Scheduled Tasks", "clock"), ("Closed Folder", "folder,0"), ("Open Folder", "folder_open,0"),
                      ("Program Group", "folder")]),
    ("Drive Icons", [("Floppy Drive (3.5)", "floppy"), ("Removable Drive", "floppy"), ("Hard Drive", "drive"),
                     ("Network Drive (connected)", "drive"), ("CD-ROM Drive", "cdrom")]),
    ("Other Icons", [("Entire Network", "network"), ("Computer", "computer"), ("Workgroup", "network")]),
]


def icon_config(name):
    lines = [f"; {name} - an icon theme of the Lumaforge demo. %themepath% is this file's folder."]
    for section, keys in ICON_CONFIG:
        lines += ["", f"[{section}]"]
        for key, icon in keys:
            stem, _, index = icon.partition(",")
            # The browser's icon spells the placeholder in capitals, as some theme files do.
            placeholder = "%THEMEPATH%" if key == "Internet" else "%themepath%"
            lines.append(f"{key}={placeholder}icons\\{stem}.ico" + (f",{index}" if index else ""))
    return windows_text(lines, "gbk")


def build_icon(name):
    colours = icon_colours(name)
    pictures = {icon: icon_picture(icon, colours) for icon in ICONS}
    entries = [(f"{name}.config", icon_config(name))]
    entries += [(f"icons/{icon}.ico", ico_file(picture)) for icon, picture in pictures.items()]
    preview = Canvas(*PREVIEW_SIZE)
    preview.gradient((58, 110, 165), (40, 80, 130))
    shown = ["computer", "documents", "globe", "trash_full", "folder", "folder_open", "drive", "cdrom", "mail",
             "printer", "control", "help"]
    for i, icon in enumerate(shown):
        preview.sprite(pictures[icon], (i % 4) * 80 + 8, (i // 4) * 80 + 8, 2)
    return entries, "", preview


# ---------------------------------------------------------------------------------------------
# Packages, the stamp and the catalog

def windows_text(lines, encoding="ascii"):
    """Lines ended by CR LF. A text meant to be ASCII that holds other characters is written in
    UTF-16 instead, like every UTF-16 text with the byte-order mark that Windows' INF and profile
    readers look for."""
    text = "\r\n".join(lines) + "\r\n"
    if encoding == "utf-16":
        return b"\xff\xfe" + text.encode("utf-16-le")
    if encoding == "ascii" and not text.isascii():
        return b"\xff\xfe" + text.encode("utf-16-le")
    return text.encode(encoding)


def write_zip(path, entries):
    """The entries, their folders listed first as archivers do; fixed times so that a rebuild of the
    same content gives the same bytes."""
    folders = []
    for name, _ in entries:
        parts = name.split("/")[:-1]
        for depth in range(1, len(parts) + 1):
            folder = "/".join(parts[:depth]) + "/"
            if folder not in folders:
                folders.append(folder)
    with zipfile.ZipFile(path + ".part", "w") as package:
        for folder in folders:
            info = zipfile.ZipInfo(folder, ZIP_TIME)
            info.external_attr = 0o40755 << 16 | 0x10
            package.writestr(info, b"")
        for name, data in entries:
            info = zipfile.ZipInfo(name, ZIP_TIME)
            info.external_attr = 0o644 << 16
            info.compress_type = zipfile.ZIP_STORED if name.endswith(".bin") else zipfile.ZIP_DEFLATED
            package.writestr(info, data)
    os.replace(path + ".part", path)


def build_package(kind, name, programs):
    if kind == "theme":
        entries, folder, preview = build_theme(name)
    elif kind == "cursor":
        entries, folder, preview = build_cursor(name)
    elif kind == "sound":
        entries, folder, preview = build_sound(name)
    elif kind == "screensave":
        entries, folder, preview = build_screen_saver(name, programs)
    elif kind == "logon":
        entries, folder, preview = build_logon(name, programs)
    else:
        entries, folder, preview = build_icon(name)
    if name in LARGE:
        # Random bytes do not compress, so the package keeps its size on the wire.
        padding = random.Random(name).randbytes(LARGE[name] * 1024 * 1024)
        entries.append((f"{folder}extras/payload.bin", padding))
    return entries, preview


def packages_of(catalog):
    """(kind, path of the package in the source without ".zip", name) for every catalog name."""
    for member, kind in KINDS.items():
        if member == "themes":
            for category in catalog["themes"]:
                for name in category["list"]:
                    yield kind, f"theme/{category['name'].strip()}/{name.strip()}", name.strip()
        else:
            for name in catalog[member]:
                yield kind, f"{kind}/{name.strip()}", name.strip()


def write_if_changed(path, data):
    if not os.path.exists(path) or open(path, "rb").read() != data:
        with open(path, "wb") as f:
            f.write(data)


def file_digest(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: make_content.py SOURCE_FOLDER PROGRAMS_FOLDER")
    out, programs = sys.argv[1], sys.argv[2]
    generator = hashlib.sha256()
    for source in (os.path.abspath(__file__), make_cursors.__file__):
        generator.update(file_digest(source).encode())
    program_digests = {}
    for kind, program in PROGRAMS.items():
        path = os.path.join(programs, program)
        if not os.path.isfile(path):
            sys.exit(f"make_content.py: {path} is missing; build the Windows programs first")
        program_digests[kind] = file_digest(path)

    with open(os.path.join(HERE, "catalog.json"), encoding="utf-8") as f:
        catalog = json.load(f)
    os.makedirs(out, exist_ok=True)
    write_if_changed(os.path.join(out, "status.txt"), (catalog["status_text"] + "\n").encode("utf-8"))
    with open(API_SETTINGS, "rb") as f:
        write_if_changed(os.path.join(out, "api.txt"), f.read())

    res = out
    stamp_path = os.path.join(res, STAMP)
    try:
        with open(stamp_path, encoding="utf-8") as f:
            old_stamp = json.load(f)
    except (OSError, ValueError):
        old_stamp = {}
    stamp = {}
    for kind, stem, name in packages_of(catalog):
        if not name:
            continue
        key = hashlib.sha256("\0".join([generator.hexdigest(), kind, name, program_digests.get(kind, "")]).encode())
        key = key.hexdigest()
        package = f"{stem}.zip"
        outputs = [package] + ([] if kind == "sound" else [f"{stem}.jpg"])
        fresh = all(old_stamp.get(o) == key and os.path.exists(os.path.join(res, o)) for o in outputs)
        if not fresh:
            os.makedirs(os.path.dirname(os.path.join(res, package)), exist_ok=True)
            entries, preview = build_package(kind, name, programs)
            write_zip(os.path.join(res, package), entries)
            if preview is not None:
                with open(os.path.join(res, outputs[1]), "wb") as f:
                    f.write(jpeg(preview))
            print(f"make_content.py: made {package}")
        for o in outputs:
            stamp[o] = key
    # What an earlier catalog had and this one has not goes.
    for stale in set(old_stamp) - set(stamp):
        path = os.path.join(res, stale)
        if os.path.exists(path):
            os.remove(path)
            # A category or kind folder left empty goes too: the publisher would list it.
            folder = os.path.dirname(path)
            while folder != res and os.path.isdir(folder) and not os.listdir(folder):
                os.rmdir(folder)
                folder = os.path.dirname(folder)
    with open(stamp_path + ".part", "w", encoding="utf-8") as f:
        json.dump(stamp, f, ensure_ascii=False, indent=0, sort_keys=True)
    os.replace(stamp_path + ".part", stamp_path)


if __name__ == "__main__":
    main()
