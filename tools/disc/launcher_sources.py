"""What the disc tools take from the launcher's own sources rather than
repeating it: the resource ids (Resource.h, which the generated resource
script includes), the launcher's own words (their English in UiText.cpp,
their translations in LauncherTexts.ini), the panel's hotspots and bullets
(Layout.h, Layout.cpp), the colour of the strip beside the background
(Panel.cpp) and the setup.dat defaults (SetupDat.cpp). Each source's path
is named here and nowhere else in the tools."""
import os
import re

TOP = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

# The launcher's sources that the disc tools read, relative to the tree's top.
SOURCES = {
    "ids": "launcher/res/Resource.h",
    "english": "launcher/language/UiText.cpp",
    "translations": "launcher/res/LauncherTexts.ini",
    "layout": "launcher/mainwindow/Layout.cpp",
    "layout_header": "launcher/mainwindow/Layout.h",
    "panel": "launcher/mainwindow/Panel.cpp",
    "setup_dat": "launcher/disc/SetupDat.cpp",
}


class SourceError(Exception):
    pass


def path(source):
    return os.path.join(TOP, *SOURCES[source].split("/"))


def read(source):
    try:
        with open(path(source), encoding="utf-8") as f:
            return f.read()
    except OSError as e:
        raise SourceError("%s:0: cannot read the launcher's source: %s" % (path(source), e))


def defines(text):
    """NAME -> number for each '#define NAME number' line (decimal or hex)."""
    return {m.group(1): int(m.group(2), 0) for m in
            re.finditer(r"(?m)^[ \t]*#[ \t]*define[ \t]+(\w+)[ \t]+(0[xX][0-9a-fA-F]+|\d+)\b", text)}


_ids = None


def ids():
    """The launcher's resource ids, by name, read once."""
    global _ids
    if _ids is None:
        _ids = defines(read("ids"))
    return _ids


def id_names(*names):
    """The names, each checked to be one of the launcher's resource ids."""
    missing = [n for n in names if n not in ids()]
    if missing:
        raise SourceError("%s:0: no #define of %s" % (path("ids"), ", ".join(missing)))
    return names[0] if len(names) == 1 else names


def c_literal(body):
    """The text of a C string literal's body (the escapes the sources use)."""
    escapes = {"n": "\n", "t": "\t", "\\": "\\", '"': '"', "'": "'"}
    return re.sub(r"\\(x[0-9a-fA-F]+|.)", lambda m: chr(int(m.group(1)[1:], 16))
                  if m.group(1)[0] == "x" else escapes[m.group(1)], body)


def literals(text):
    """The joined text of adjacent string literals (L"..." "...")."""
    return "".join(c_literal(b) for b in re.findall(r'L?"((?:[^"\\]|\\.)*)"', text))


def english_texts():
    """The launcher's own words in English: {id name: text} in the order of
    the table kEnglish, each id one of Resource.h's."""
    source = read("english")
    table = source[source.find("kEnglish[]"):]
    english = {name: literals(text) for name, text in
               re.findall(r'\{(IDS_\w+),\s*((?:L"(?:[^"\\]|\\.)*"\s*)+)\}', table[:table.find("};")])}
    if not english:
        raise SourceError("%s:0: no table of English texts (kEnglish) found" % path("english"))
    id_names(*english)
    return english


def found(source, pattern, what, flags=0):
    m = re.search(pattern, read(source), flags)
    if not m:
        raise SourceError("%s:0: no %s found" % (path(source), what))
    return m


class Rect:
    def __init__(self, left, top, width, height):
        self.left, self.top, self.width, self.height = left, top, width, height

    def __eq__(self, other):
        return vars(self) == vars(other)

    def __repr__(self):
        return "%d,%d %dx%d" % (self.left, self.top, self.width, self.height)


def panel():
    """The panel as the launcher lays it out at design size, in pixels:
    (hotspots, bullets), each {button: Rect} for buttons 1 to 7. Button 1's
    hotspot takes the size of the picture it shows; its Rect has the table's."""
    header = read("layout_header")
    twips = {name: int(value) for name, value in re.findall(r"\b(k\w+) = (\d+)\b", header)}
    for name in ("kTwipsPerPixel", "kButtonCount", "kBulletLeftTwips", "kBulletWidthTwips",
                 "kBulletHeightTwips"):
        if name not in twips:
            raise SourceError("%s:0: no constexpr %s found" % (path("layout_header"), name))
    per = twips["kTwipsPerPixel"]
    pixels = lambda t: (t + per // 2) // per  # TwipsToPixels

    table = found("layout", r"kButtons\[[^]]*\] = \{(.*?)\n\};", "panel table (kButtons)", re.S).group(1)
    rows = [tuple(int(n) for n in row) for row in
            re.findall(r"\{\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+),", table)]
    if len(rows) != twips["kButtonCount"] + 1:
        raise SourceError("%s:0: the panel table has %d rows, not %d" % (
            path("layout"), len(rows), twips["kButtonCount"] + 1))
    hotspots, bullets = {}, {}
    for k, (left, top, width, height, bullet_top) in enumerate(rows[1:], 1):
        hotspots[k] = Rect(pixels(left), pixels(top), pixels(width), pixels(height))
        bullets[k] = Rect(pixels(twips["kBulletLeftTwips"]), pixels(bullet_top),
                          pixels(twips["kBulletWidthTwips"]), pixels(twips["kBulletHeightTwips"]))
    return hotspots, bullets


def frame_colour():
    """The colour of the window's strip right of the background, #rrggbb."""
    m = found("panel", r"kFrameColour = RGB\((\d+), (\d+), (\d+)\)", "kFrameColour = RGB(r, g, b)")
    return "#%02x%02x%02x" % tuple(int(n) for n in m.groups())


def field_defaults():
    """The launcher's defaults of setup.dat's fields 1 to 6."""
    table = found("setup_dat", r"kDefaults\[\d+\] = \{(.*?)\};", "table of defaults (kDefaults)", re.S)
    defaults = [literals(item) for item in re.findall(r'((?:"(?:[^"\\]|\\.)*"\s*)+)', table.group(1))]
    if len(defaults) != 6:
        raise SourceError("%s:0: kDefaults has %d fields, not 6" % (path("setup_dat"), len(defaults)))
    return defaults
