"""Zips files into one folder of the archive, the same bytes for the same files: every entry has
the given time (seconds since 1970, UTC), fixed attributes and no extra fields.
Usage: make_zip.py ZIP SECONDS FOLDER FILE..."""
import os
import sys
import time
import zipfile

archive, seconds, folder, files = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4:]
stamp = time.gmtime(max(seconds, 315532800))[:6]  # a zip holds no time before 1980
with zipfile.ZipFile(archive + ".part", "w", zipfile.ZIP_DEFLATED) as kit:
    for path in files:
        entry = zipfile.ZipInfo(folder + "/" + os.path.basename(path), stamp)
        entry.external_attr = 0o644 << 16
        entry.compress_type = zipfile.ZIP_DEFLATED
        with open(path, "rb") as source:
            kit.writestr(entry, source.read())
os.replace(archive + ".part", archive)
