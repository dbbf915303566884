"""The list of a disc's files that the disc's Setup.exe carries, written and
read here only: one "<sha256> <size> <path>" line per file (lower-case hex
digest, size in bytes, the path below the disc's root with backslashes),
ending CR LF, sorted by the path's UTF-8 bytes; the launcher that carries
the list (Setup.exe in the root) is not on it."""
import hashlib
import os
import subprocess
import tempfile

LAUNCHER = "Setup.exe"


class ListError(Exception):
    pass


def sha256(path):
    h = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            h.update(block)
    return h.hexdigest()


def disc_files(root):
    """path (backslashes) -> file, for every file under root."""
    files = {}
    for folder, _, names in os.walk(root):
        for name in names:
            full = os.path.join(folder, name)
            files[os.path.relpath(full, root).replace(os.sep, "\\")] = full
    return files


def list_bytes(root, leave_out=()):
    """The list of the files under root, but the launcher and leave_out."""
    files = disc_files(root)
    for path in (LAUNCHER,) + tuple(leave_out):
        files.pop(path, None)
    return "".join("%s %d %s\r\n" % (sha256(full), os.path.getsize(full), path)
                   for path, full in sorted(files.items(), key=lambda i: i[0].encode("utf-8"))
                   ).encode("utf-8")


def write_list(root, file, leave_out=()):
    data = list_bytes(root, leave_out)
    try:
        with open(file, "rb") as f:
            if f.read() == data:
                return  # unchanged: the launcher that carries it is not linked again
    except OSError:
        pass
    with open(file + ".new", "wb") as f:
        f.write(data)
    os.replace(file + ".new", file)


def read_list(file):
    """(line number, digest, size, path) for each line of a list."""
    with open(file, encoding="utf-8", newline="") as f:
        for number, line in enumerate(f, 1):
            digest, size, path = line.rstrip("\r\n").split(" ", 2)
            yield number, digest, int(size), path


def check_image(image, listing):
    """The image holds the launcher and exactly the listed files, with their
    sizes and digests; otherwise the image is removed."""
    try:
        compare_image(image, listing)
    except BaseException:
        os.remove(image)  # an image that does not match its list is no disc
        raise


def compare_image(image, listing):
    with tempfile.TemporaryDirectory() as tmp:
        r = subprocess.run(["xorriso", "-report_about", "SORRY", "-rockridge", "off", "-indev", image,
                            "-osirrox", "on", "-extract", "/", tmp + "/disc"],
                           capture_output=True, text=True)
        if r.returncode != 0:
            raise ListError("%s:0: cannot read the image:\n%s" % (image, r.stderr))
        files = disc_files(tmp + "/disc")
        if LAUNCHER not in files:
            raise ListError("%s:0: the image has no %s in its root" % (image, LAUNCHER))
        del files[LAUNCHER]
        problems = []
        for number, digest, size, path in read_list(listing):
            full = files.pop(path, None)
            if full is None:
                problems.append("%s:%d: %s is not in the image" % (listing, number, path))
            elif os.path.getsize(full) != size or sha256(full) != digest:
                problems.append("%s:%d: %s differs in the image" % (listing, number, path))
        problems += ["%s:0: %s is in the image but not in the list" % (listing, p) for p in sorted(files)]
        if problems:
            raise ListError("\n".join(problems))
