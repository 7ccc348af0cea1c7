#!/usr/bin/env python3
"""Writes the starting inputs of the fuzz targets into tests/fuzz/corpus/<target>/ (run by hand
after changing a target's input layout; the inputs are kept in the tree). Inputs named
"fault-*" are minimal inputs of faults found before, kept as regression cases; inputs named
"found-*" are inputs a fuzz run found (moved from known/), kept as they are."""
import os
import pathlib

HERE = pathlib.Path(__file__).resolve().parent
ROOT = HERE.parent.parent
CORPUS = HERE / "corpus"

# Minimal pages of faults in marker spans and publishing.
FAULT_PAGES = {
    "two-spaces-then-one": b"<html><body>Welcome! <h2>News  </h2>Sale </body></html>\n",
    "long-page-spaces": b"<html><body>" + b"<p>x </p>" * 200 + b"</body></html>",
    "bare-less-than-in-link": b'<p><a href="a.htm">Sizes < 10</a></p><p>Important paragraph.</p>'
                              b'<p><a href="b.htm">Next page</a></p>',
    "end-tag-with-space": b'<p><a href="a.htm">Sizes</a ></p><p>Important paragraph.</p>'
                          b'<p><a href="b.htm">Next page</a></p>',
    "end-tag-with-newline": b'<p><a href="a.htm">Sizes</a\n></p><p>Important paragraph.</p>'
                            b'<p><a href="b.htm">Next page</a></p>',
    "html-inside-link": b'Hello <a href="tags.htm">The <html> tag</a>',
    "attribute-with-less-than": b'<A\t<A\tx>text</A> more',
    "own-span-id": b'<html><body><p id="ZZZEDIT1">Own element</p><p>text</p></body></html>',
    "attribute-in-link-end-tag": b'<p><a href=x>One</a <></p><p><a href=y>Two</a </a></p>',
    "link-end-tag-without-text": b'<a ="</>"</a>/',
    "deleted-marker-in-comment": b'<p><a href=x>One<!-- <!--DeletedText--><a href=y>Two</a> --></a></p>',
    "control-after-less-than": b'<p><a href=x>Sizes <\x13o</a></p><!-- -\x13-> -->',
    "equals-starts-attribute-name": b'<a =">"<a href=y>Go</a><p><a href=x>One<! a="></a>Two"></p>',
    "quoted-value-across-comment": b'<p><a x="><!--"><a href=y>Two</a> --> </a></p><p><font face=\'Arial>Hi</p><p>Don\'t</p>',
    "undecodable-byte-in-link-tag": b'<p><a href="a\xff.htm">Old</a></p>',
    "format-tag-inside-tag": b'<p><a x<b><a href=y>Go</a></p><a href=x>One</a?<br><a href=z>Two</a>',
}

# Order of the charsets in fuzz_publish.cpp and fuzz_decoding.cpp.
PUBLISH_CHARSETS = ["utf-8", "windows-1252", "iso-8859-1", "shift_jis", "euc-jp", "euc-kr",
                    "gbk", "big5", "koi8-r", "windows-1251", "windows-1258"]
DECODING_CHARSETS = [
    "utf-8", "windows-1252", "iso-8859-2", "iso-8859-3", "iso-8859-4", "iso-8859-5",
    "iso-8859-6", "iso-8859-7", "iso-8859-8", "iso-8859-8-i", "iso-8859-10", "iso-8859-13",
    "iso-8859-14", "iso-8859-15", "iso-8859-16", "koi8-r", "koi8-u", "ibm866", "macintosh",
    "windows-874", "windows-1250", "windows-1251", "windows-1253", "windows-1254",
    "windows-1255", "windows-1256", "windows-1257", "windows-1258", "x-mac-cyrillic", "gbk",
    "gb18030", "big5", "euc-jp", "iso-2022-jp", "shift_jis", "euc-kr", "utf-16le", "utf-16be",
    "x-user-defined", "replacement"]
PYTHON_CODECS = {"windows-1252": "cp1252", "shift_jis": "cp932", "euc-kr": "cp949", "gbk": "gbk",
                 "big5": "big5hkscs", "euc-jp": "euc_jp", "koi8-r": "koi8_r",
                 "windows-1251": "cp1251", "windows-1258": "cp1258", "iso-8859-1": "latin-1",
                 "utf-8": "utf-8"}


def write(target, name, data):
    folder = CORPUS / target
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(data)


def main():
    if CORPUS.exists():
        for old in CORPUS.glob("*/*"):
            if not old.name.startswith("found-"):
                old.unlink()
    demo = sorted((ROOT / "demo" / "site").glob("*.htm"))

    for name, page in FAULT_PAGES.items():
        write("fuzz_marker_spans", "fault-" + name, page)
        write("fuzz_restore", "fault-" + name, page + b"\0\2\2\1\2Typed\0new <b>text</b>\0")
        for span in range(3):
            # raw page, read as UTF-8, span `span` given new text
            write("fuzz_publish", f"fault-{name}-span{span}", bytes([0x80, span]) + page + b"\0" + b"\x00\x01\x05\x0c")
    for page in demo[:6]:
        write("fuzz_marker_spans", "demo-" + page.stem.replace(" ", "-"), page.read_bytes())
        write("fuzz_restore", "demo-" + page.stem.replace(" ", "-"), page.read_bytes() + b"\0\1\2\0\2x\0")

    # Publishing in each set: a raw page written in the set, and pieces.
    sample = "<html><head><meta charset={cs}></head><body><h2>Caf\u00e9  </h2><p>Price: 5 </p>" \
             "<p><a href=\"a.htm\">Sizes &lt; 10</a></p><p>{text}</p></body></html>"
    texts = {"shift_jis": "\u65e5\u672c\u8a9e\u306e\u30da\u30fc\u30b8", "euc-jp": "\u65e5\u672c",
             "euc-kr": "\ud55c\uad6d\uc5b4", "gbk": "\u4e2d\u6587", "big5": "\u4e2d\u6587",
             "koi8-r": "\u0416\u0443\u043a", "windows-1251": "\u0416\u0443\u043a",
             "windows-1258": "Vi\u00ea\u0323t Nam"}
    for i, cs in enumerate(PUBLISH_CHARSETS):
        page = sample.format(cs=cs, text=texts.get(cs, "caf\u00e9")).encode(PYTHON_CODECS[cs], "xmlcharrefreplace")
        for span in range(4):
            # typed: "\xA5500 \u2014 2\u22121" and letters, as indexes of the typed alphabet
            write("fuzz_publish", f"{cs}-raw-span{span}", bytes([0x80 | i, span]) + page + b"\0" + bytes([15, 4, 3, 3, 5, 16, 5, 4, 17, 0, 12]))
        write("fuzz_publish", f"{cs}-pieces", bytes([i, 1]) + bytes([0, 14, 11, 15, 1, 2, 14, 12, 3, 4, 32, 5, 42, 1, 0xF9]) + b"\0" + bytes([0, 1, 5, 13, 14]))

    # Decoding: charset index, byte-order mark choice, bytes.
    decode_samples = [b"", b"<p>caf\xe9 \x80 \x93q\x94</p>", b"\x82\xa0\x93\xfa\x5c\x7e", b"\xa1\xf1\xa1\xc2\xa1\xdd",
                      b"\xb0\xa1\x81\x41", b"\xc4\xe3\x81\x40\x80", b"a\xf2E\xec\xd9\xca", b"\x1b$BF|\x1b(B&",
                      b"\xef\xbb\xbf<p>", b"\xe2\x82\xac\xff\xc3", b"\x00<\x00p\x00>"]
    for i, cs in enumerate(DECODING_CHARSETS):
        for k, sample_bytes in enumerate(decode_samples):
            if (i + k) % 3 == 0 or k in (1, 2):
                write("fuzz_decoding", f"{cs}-{k}", bytes([i, (i + k) % 4]) + sample_bytes)

    write("fuzz_form_fields", "publish", b"\3\0passkey\0" b"123\0\1html\0<p>\x82\xa0</p>\0\0file\0a b.htm\0")
    write("fuzz_form_fields", "utf8", b"\0\0name\0caf\xc3\xa9 \xe2\x82\xac &=+%\0")
    write("fuzz_form_fields", "empty", b"\1\0\0\0")

    write("fuzz_clipboard", "paste", b"<b>bold</b> text\0<HTML><BODY>\0</BODY></HTML>")
    write("fuzz_clipboard", "markers-inside", b"StartHTML:0000000001\0<!--StartFragment -->aaaaaaaaaa\0bbbbbbbbbb")

    write("fuzz_edit_events", "enter-span", bytes([0x60, 6, 65, 0, 0, 0, 1, 1, 0, 1, 0, 0x60, 0, 66, 0, 0, 0, 3, 3, 0, 2, 1]))
    write("fuzz_edit_events", "link", bytes([1, 0xE0, 4, 8, 0, 0, 1, 3, 3, 1, 2, 3, 2, 1, 0x60, 6, 46, 0, 0, 0, 1, 1, 0, 1, 0]))

    for name, reply in {"check": b"@@ok@@Y@@N@@Y@@", "passkey": b"@@1234@@", "negative-key": b"@@-32768@@",
                        "big-key": b"@@70000@@", "updated": b"@@Updated@@", "conflict": b"@@Conflict@@",
                        "refused": b"@@The page could not be written@@", "plain": b"<html>Not Found</html>"}.items():
        write("fuzz_site_replies", name, reply)

    for name, req in {"encode": b"\0caf\xc3\xa9 a+b&c=d%", "form": b"\1passkey=1&hash=ab&file=a%20b.htm&html=%3Cp%3E",
                      "bad-form": b"\1a=%zz&b", "parent": b"\2../outside/secret.htm", "encoded-parent": b"\2%2e%2e/x.htm",
                      "link-out": b"\2out/secret.htm", "evil-link": b"\2evil.htm", "hidden": b"\2.hidden.htm",
                      "page": b"\2a/p.htm", "new-page": b"\2a/b/new.html", "static-root": b"\3/",
                      "static-folder": b"\3/a/b", "static-script": b"\3/pagequill/x.htm",
                      "static-out": b"\3/out/secret.htm", "static-dots": b"\3/a/../../outside/secret.htm"}.items():
        write("fuzz_site_request", name, req)


if __name__ == "__main__":
    main()
