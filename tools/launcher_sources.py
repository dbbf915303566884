"""What the disc tools take from the launcher's own sources rather than
repeating it: the resource ids (Resource.h, which the generated resource
script includes), the English of the launcher's own words (UiText.cpp).
Each source's path is named here and nowhere else in the tools."""
import os
import re

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# The launcher's sources that the disc tools read, relative to the tree's top.
SOURCES = {
    "ids": "launcher/res/Resource.h",
    "english": "launcher/mainwindow/UiText.cpp",
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
