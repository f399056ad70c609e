#!/usr/bin/env python3
"""Runs the CSV writer and reads its file back as a spreadsheet program
would: the UTF-8 mark first, then every cell through Python's csv module."""
import csv
import io
import subprocess
import sys

writer, path = sys.argv[1], sys.argv[2]
subprocess.run([writer, path], check=True)
data = open(path, "rb").read()
assert data.startswith(b"\xef\xbb\xbf"), "no UTF-8 byte-order mark"
assert b"\r\n" in data and b"\n" not in data.replace(b"\r\n", b""), "line ends other than CR LF"

expected = [
    ["序号", "域名", "注册商", "所有者", "管理员", "编号"],
    ["1", "例子.公司", '注册商, "有限" 公司', "'=HYPERLINK(\"http://x\",\"y\")", "'+86 10 1234", "11"],
    ["2", "b.com", "line one\r\nline two", "'-5", "'@SUM(A1)", "12"],
    ["3", "c.com", "'\tleading tab", "'\rleading CR", "plain 1=1", "13"],
]
rows = list(csv.reader(io.StringIO(data[3:].decode("utf-8"), newline="")))
if rows != expected:
    for want, got in zip(expected, rows):
        if want != got:
            print("want", want, "\ngot ", got)
    print("rows:", len(rows), "expected:", len(expected))
    sys.exit(1)
print("every cell read back as written")
