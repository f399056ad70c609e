#!/usr/bin/env python3
"""Copies a C++ source with its narrow literals in GBK, for compilers without
-fexec-charset=GBK (the clang of the fuzz build).

Every non-ASCII character inside a plain "..." or '...' literal becomes the
octal escapes of its GBK bytes, which is what gcc's -fexec-charset=GBK makes
of it; comments, code and prefixed literals (u8, u, U, L) are copied as they
are. Octal escapes take at most three digits, so a following digit or letter
is never swallowed, and no GBK trail byte (0x5C is a backslash) ever stands
raw in the copy. A character GBK cannot hold, or a raw string holding
non-ASCII text, stops the build with the file and line.

usage: gbk_literals.py SOURCE COPY
"""
import os
import sys

PREFIXES = {"u8", "u", "U", "L", "u8R", "uR", "UR", "LR"}


def fail(path, text, pos, why):
    line = text.count("\n", 0, pos) + 1
    sys.exit(f"{path}:{line}: {why}")


def gbk_escapes(path, text, pos, ch):
    try:
        data = ch.encode("gbk")
    except UnicodeEncodeError:
        fail(path, text, pos, f"U+{ord(ch):04X} in a narrow literal has no GBK form")
    return "".join(f"\\{b:03o}" for b in data)


def convert(path, text):
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            out.append(text[i:j]); i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append(text[i:j]); i = j
        elif c.isalnum() or c == "_":
            j = i
            while j < n and (text[j].isalnum() or text[j] == "_"):
                j += 1
            word = text[i:j]
            out.append(word); i = j
            if i < n and text[i] in "\"'":
                if word[0].isdigit():
                    continue  # digit separator of a number, e.g. 1'000
                if word.endswith("R") and word in PREFIXES | {"R"} and text[i] == '"':
                    i = copy_raw(path, text, i, out)
                elif word in PREFIXES:
                    i = copy_literal(path, text, i, out, narrow=False)
                # any other identifier directly before a quote is left to the
                # compiler, as it is (a user-defined literal suffix comes after)
        elif c in "\"'":
            i = copy_literal(path, text, i, out, narrow=True)
        else:
            out.append(c); i += 1
    return "".join(out)


def copy_literal(path, text, i, out, narrow):
    quote = text[i]
    out.append(quote)
    i += 1
    n = len(text)
    while i < n and text[i] != quote:
        if text[i] == "\\":
            out.append(text[i:i + 2]); i += 2
        elif text[i] == "\n":
            fail(path, text, i, "unterminated literal")
        elif narrow and ord(text[i]) > 0x7F:
            out.append(gbk_escapes(path, text, i, text[i])); i += 1
        else:
            out.append(text[i]); i += 1
    if i >= n:
        fail(path, text, i, "unterminated literal")
    out.append(quote)
    return i + 1


def copy_raw(path, text, i, out):
    open_paren = text.find("(", i)
    delim = text[i + 1:open_paren]
    end = text.find(")" + delim + '"', open_paren)
    if open_paren < 0 or end < 0:
        fail(path, text, i, "unterminated raw string")
    end += len(delim) + 2
    body = text[i:end]
    if any(ord(ch) > 0x7F for ch in body):
        fail(path, text, i, "non-ASCII text in a raw string cannot be made GBK here")
    out.append(body)
    return end


def main():
    src, dst = sys.argv[1], sys.argv[2]
    with open(src, encoding="utf-8") as f:
        text = f.read()
    result = convert(src, text)
    os.makedirs(os.path.dirname(dst), exist_ok=True)
    with open(dst, "w", encoding="utf-8", newline="") as f:
        f.write(result)


if __name__ == "__main__":
    main()
