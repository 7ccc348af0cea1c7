#!/usr/bin/python3
"""Conformance suite for a Pagequill site script: every request, refusal and guarantee, checked
against a running script on 127.0.0.1. Features a script may lack (verify, base, revisions) are
reported as skipped. Exit status 0 when nothing failed."""
import argparse
import hashlib
import os
import random
import re
import sys
import threading
import time
import urllib.parse
import urllib.request

TIMEOUT = 20  # seconds, every request


def protocol_bytes(text):
    """The password's bytes as the program hashes them: low byte of each UTF-16 code unit."""
    units = text.encode("utf-16-le")
    return bytes(units[i] for i in range(0, len(units), 2))


class Site:
    def __init__(self, args):
        self.a = args
        self.base = args.url.rstrip("/")
        self.script = self.base + "/pagequill/"
        self.issued = set()  # every key handed out; a forged key must not be one still valid

    def get(self, query):
        with urllib.request.urlopen(self.script + "?" + query, timeout=TIMEOUT) as r:
            return r.read().decode("latin-1")

    def post_raw(self, body, content_type="application/x-www-form-urlencoded"):
        req = urllib.request.Request(self.script, data=body, method="POST",
                                     headers={"Content-Type": content_type})
        try:
            with urllib.request.urlopen(req, timeout=TIMEOUT) as r:
                return r.read().decode("latin-1")
        except urllib.error.HTTPError as e:
            return e.read().decode("latin-1")

    def post(self, fields):
        return self.post_raw(encode(fields))

    def passkey(self):
        reply = self.get("type=passkey&now=%d" % int(time.time() * 1000))
        m = re.fullmatch(r"@@(-?\d+)@@", reply)
        if not m:
            raise AssertionError("pass key reply %r" % reply)
        self.issued.add(int(m.group(1)))
        return int(m.group(1))

    def proof(self, password=None, key=None):
        k = self.passkey() + 1 if key is None else key
        pw = self.a.password if password is None else password
        return str(k), hashlib.md5(protocol_bytes(pw) + str(k).encode()).hexdigest()

    def publish(self, file, html, password=None, extra=()):
        k, h = self.proof(password)
        return self.post([("passkey", k), ("hash", h), ("file", file), ("html", html)] + list(extra))

    def page(self, file):
        url = self.base + "/" + urllib.parse.quote(file)
        with urllib.request.urlopen(url, timeout=TIMEOUT) as r:
            return r.read()

    def stored(self, file):
        if self.a.root:
            with open(os.path.join(self.a.root, file), "rb") as f:
                return f.read()
        return self.page(file)


def encode(fields):
    def b(v):
        return v if isinstance(v, bytes) else str(v).encode("utf-8")
    return b"&".join(urllib.parse.quote_from_bytes(b(n), safe="") .encode() + b"=" +
                     urllib.parse.quote_from_bytes(b(v), safe="").encode() for n, v in fields)


class Skip(Exception):
    pass


class Suite:
    def __init__(self, site):
        self.s = site
        self.a = site.a
        self.results = []
        self.refusals = 0

    def refused(self, reply, words, what):
        """A refusal: the reply names it, and it counts."""
        self.refusals += 1
        assert words in reply, "%s: expected a reply with %r, got %r" % (what, words, reply[:200])

    def run(self, name, fn):
        start = time.time()
        counted = self.refusals
        try:
            fn()
            self.results.append((name, "ok", ""))
            print("ok    %-40s %.1fs" % (name, time.time() - start), flush=True)
        except Skip as e:
            self.refusals = counted  # a skipped case checked nothing
            self.results.append((name, "skip", str(e)))
            print("SKIP  %-40s %s" % (name, e), flush=True)
        except Exception as e:  # a failed case never stops the others
            self.results.append((name, "FAIL", repr(e)))
            print("FAIL  %-40s %r" % (name, e), flush=True)

    # ---- requests ---------------------------------------------------------------------------
    def check_reply(self):
        reply = self.s.get("type=check&now=1")
        f = self.a.flags
        assert reply == "@@ok@@%s@@%s@@%s@@" % (f[0], f[1], f[2]), reply

    def unknown_request(self):
        self.refused(self.s.get("type=nonsense"), "@@", "unknown request")
        reply = self.s.get("type=nonsense")
        assert reply.startswith("@@") and not reply.startswith("@@ok@@"), reply

    def pass_keys_random(self):
        keys = [self.s.passkey() for _ in range(6)]
        assert all(-32768 <= k <= 32767 for k in keys), keys
        assert len(set(keys)) > 1, "the same pass key every time: %r" % keys

    def pass_key_range_single_use(self):
        base = self.s.passkey()
        for key, want in ((base, "Pass key not valid"), (base + 1, "@@Updated@@"), (base + 2, "@@Updated@@"),
                          (base + 1, "Pass key not valid")):
            k, h = self.s.proof(key=key)
            reply = self.s.post([("passkey", k), ("hash", h), ("file", "conf-keys.htm"), ("html", "<p>%d</p>" % key)])
            if want == "@@Updated@@":
                assert reply == want, (key - base, reply)
            else:
                self.refused(reply, want, "key base+%d" % (key - base))

    def bad_pass_keys(self):
        def forged_key(issued):
            # A key handed out earlier stays good for a range after it (wrapping at the ends); keep clear of all.
            near = {(i + d + 32768) % 65536 - 32768 for i in issued for d in range(-400, 401)}
            return str(random.choice([k for k in range(-32768, 32767) if k not in near]))

        before = self.publish_ok("conf-badkey.htm", b"<p>kept</p>")
        base = self.s.passkey()
        cases = [str(base + 1).replace("-", "-0") if base + 1 < 0 else "0" + str(base + 1),  # not canonical
                 "abc", "", "99999", str(base + 1) + "\n", " " + str(base + 1), "+" + str(base + 1), forged_key(self.s.issued)]
        for k in cases:
            h = hashlib.md5(protocol_bytes(self.a.password) + k.encode()).hexdigest()
            reply = self.s.post([("passkey", k), ("hash", h), ("file", "conf-badkey.htm"), ("html", "x")])
            self.refused(reply, "Pass key not valid", "pass key %r" % k)
        assert self.s.stored("conf-badkey.htm") == before

    def replayed_pass_key(self):
        k, h = self.s.proof()
        fields = [("passkey", k), ("hash", h), ("file", "conf-replay.htm"), ("html", "<p>first</p>")]
        assert self.s.post(fields) == "@@Updated@@"
        fields[3] = ("html", "<p>replayed</p>")
        self.refused(self.s.post(fields), "Pass key not valid", "replayed key")
        assert self.s.stored("conf-replay.htm") == b"<p>first</p>"

    def expired_pass_key(self):
        k, h = self.s.proof()
        time.sleep(self.a.key_lifetime + 1.2)
        reply = self.s.post([("passkey", k), ("hash", h), ("file", "conf-expired.htm"), ("html", "x")])
        self.refused(reply, "Pass key not valid", "expired key")
        assert not os.path.exists(os.path.join(self.a.root or "/nonexistent", "conf-expired.htm"))

    def upper_case_hash(self):
        k, h = self.s.proof()
        reply = self.s.post([("passkey", k), ("hash", h.upper()), ("file", "conf-upper.htm"), ("html", "x")])
        assert reply == "@@Updated@@", reply

    def incomplete(self):
        for missing in ("passkey", "hash", "file", "html"):
            k, h = self.s.proof()
            fields = [f for f in [("passkey", k), ("hash", h), ("file", "conf-inc.htm"), ("html", "x")]
                      if f[0] != missing]
            self.refused(self.s.post(fields), "Incomplete request", "without " + missing)

    # ---- storage ------------------------------------------------------------------------------
    def publish_ok(self, file, html, **kw):
        reply = self.s.publish(file, html, **kw)
        assert reply == "@@Updated@@", "%s: %r" % (file, reply)
        return html

    def byte_for_byte(self):
        html = (b"<html>\r\n<p>CRLF\r\nCR\rLF\n</p>\x00NUL \\' \\\" magic quotes\xe9\xff\xfe latin-1 "
                b"\xc3\xa9 \xe2\x82\xac utf-8 + % & = ; %41 \x1b\t\x7f</html>")
        self.publish_ok("conf-bytes.htm", html)
        assert self.s.stored("conf-bytes.htm") == html
        assert self.s.page("conf-bytes.htm") == html, "served bytes differ"

    def multipart_post(self):
        k, h = self.s.proof()
        boundary = "pqconf%08x" % random.getrandbits(32)
        html = b"<p>multi\r\npart \xe9</p>"
        body = b""
        for n, v in (("passkey", k.encode()), ("hash", h.encode()), ("file", b"conf-multipart.htm"), ("html", html)):
            body += b"--" + boundary.encode() + b"\r\nContent-Disposition: form-data; name=\"" + n.encode() + b"\"\r\n\r\n" + v + b"\r\n"
        body += b"--" + boundary.encode() + b"--\r\n"
        reply = self.s.post_raw(body, "multipart/form-data; boundary=" + boundary)
        assert reply == "@@Updated@@", reply
        assert self.s.stored("conf-multipart.htm") == html

    def encoded_name_and_subfolder(self):
        self.publish_ok("monthly%20offers.htm", b"<p>space</p>")
        assert self.s.stored("monthly offers.htm") == b"<p>space</p>"
        if self.a.root:
            self.publish_ok("sub/page.html", b"<p>sub</p>")
            assert self.s.stored("sub/page.html") == b"<p>sub</p>"

    def backup_of_replaced_page(self):
        if not self.a.backup_dir:
            raise Skip("no --backup-dir given")
        self.publish_ok("conf-backup.htm", b"<p>one</p>")
        self.publish_ok("conf-backup.htm", b"<p>two</p>")
        names = [n for n in os.listdir(self.a.backup_dir) if n.startswith("conf-backup.htm.")]
        assert any(re.fullmatch(r"conf-backup\.htm\.\d{8}-\d{6}(-\d+)?", n) for n in names), names
        contents = [open(os.path.join(self.a.backup_dir, n), "rb").read() for n in names]
        assert b"<p>one</p>" in contents, contents
        if self.a.root:
            assert not any(n.startswith("conf-backup.htm.") for n in os.listdir(self.a.root))

    def mode_kept(self):
        if not self.a.root:
            raise Skip("no --root given")
        path = os.path.join(self.a.root, "conf-mode.htm")
        self.publish_ok("conf-mode.htm", b"a")
        os.chmod(path, 0o640)
        self.publish_ok("conf-mode.htm", b"b")
        assert os.stat(path).st_mode & 0o777 == 0o640, oct(os.stat(path).st_mode)

    def concurrent_posts(self):
        file = "conf-race.htm"
        self.publish_ok(file, b"<p>start</p>")
        before = len(self.backups(file))
        bodies = [(b"<p>writer %d</p>" % i) * (20000 + i) for i in range(8)]
        base = self.s.passkey()  # one issue covers many documents, as the program uses it
        proofs = [self.s.proof(key=base + 1 + i) for i in range(len(bodies))]
        replies = [None] * len(bodies)
        go = threading.Barrier(len(bodies))

        def writer(i):
            k, h = proofs[i]
            go.wait(timeout=TIMEOUT)
            replies[i] = self.s.post([("passkey", k), ("hash", h), ("file", file), ("html", bodies[i])])
        threads = [threading.Thread(target=writer, args=(i,)) for i in range(len(bodies))]
        for t in threads:
            t.start()
        for t in threads:
            t.join(TIMEOUT * 2)
        assert replies == ["@@Updated@@"] * len(bodies), replies
        assert self.s.stored(file) in bodies, "torn page"
        if self.a.backup_dir:
            kept = self.backups(file)
            assert len(kept) - before == len(bodies), (before, len(kept))
            for n in kept:
                data = open(os.path.join(self.a.backup_dir, n), "rb").read()
                assert data in bodies or data == b"<p>start</p>", "torn backup " + n
        if self.a.root:
            left = [n for n in os.listdir(self.a.root) if n.startswith(".")]
            assert not left, "temporary files left: %r" % left

    def backups(self, file):
        if not self.a.backup_dir:
            return []
        return [n for n in os.listdir(self.a.backup_dir) if n.startswith(file + ".")]

    def oversize(self):
        html = b"x" * (self.a.max_body + 1)
        k, h = self.s.proof()
        reply = self.s.post([("passkey", k), ("hash", h), ("file", "conf-big.htm"), ("html", html)])
        self.refused(reply, "too large", "oversize post")
        assert not os.path.exists(os.path.join(self.a.root or "/nonexistent", "conf-big.htm"))
        # Just under the limit (with the other fields) is stored.
        fits = b"y" * (self.a.max_body - 4096)
        self.publish_ok("conf-big.htm", fits)
        assert self.s.stored("conf-big.htm") == fits

    def path_confinement(self):
        outside = self.a.outside
        cases = ["../x.htm", "/x.htm", "/etc/passwd.htm", "a\\b.htm", "..\\x.htm", "x%00.htm", "x\x01.htm",
                 "x%0a.htm", "x\x7f.htm", ".hidden.htm", "sub/.h.htm", ".sub/x.htm", "page.php", "page.htm.txt",
                 "page", ".htm", "nofolder/x.htm", "pagequill/x.htm", "pagequill/index.htm", "%2e%2e/x.htm",
                 "sub/%2e%2e/%2e%2e/x.htm", "x%zz.htm", "", "sub//x.htm", "./x.htm", "sub/./x.htm",
                 "sub", "sub/", "a" * 300 + ".htm"]
        if self.a.root and outside:
            cases += ["link-out/x.htm", "link-page.htm", "dangling.htm", "sub/../../x.htm"]
        if outside:
            cases += [os.path.relpath(os.path.join(outside, "x.htm"), "/")]
        before = snapshot(outside) if outside else None
        for name in cases:
            reply = self.s.publish(name, b"<p>escape</p>")
            self.refused(reply, "File not allowed", "file %r" % name)
        if outside:
            assert snapshot(outside) == before, "something was written outside the site"

    def config_refusals(self):
        if not self.a.config_file:
            raise Skip("no configuration file (not the PHP script)")
        os.chmod(self.a.config_file, 0o644)
        try:
            self.refused(self.s.get("type=check"), "refuses to run", "world-readable configuration")
            self.refused(self.s.get("type=passkey"), "refuses to run", "world-readable configuration")
        finally:
            os.chmod(self.a.config_file, 0o600)
        assert self.s.get("type=check").startswith("@@ok@@")
        if self.a.root:
            # The configuration moved into the site, reached through a link at its usual place.
            inside = os.path.join(self.a.root, "pagequill-config.php")
            os.rename(self.a.config_file, inside)
            os.symlink(inside, self.a.config_file)
            try:
                self.refused(self.s.get("type=check"), "inside the website", "configuration inside the site")
            finally:
                os.unlink(self.a.config_file)
                os.rename(inside, self.a.config_file)
            assert self.s.get("type=check").startswith("@@ok@@")

    # ---- password e-mail ----------------------------------------------------------------------
    def email(self):
        reply = self.s.get("type=email&now=1")
        if self.a.flags[1] != "Y":
            self.refused(reply, "not allowed", "e-mail with the flag N")
            return
        assert reply == "@@Sent@@", reply
        if self.a.mail_file:
            deadline = time.time() + 10
            while time.time() < deadline and self.a.password.encode() not in read_or_empty(self.a.mail_file):
                time.sleep(0.1)
            assert self.a.password.encode("utf-8") in read_or_empty(self.a.mail_file), "no mail with the password"
        self.refused(self.s.get("type=email&now=2"), "a moment ago", "second e-mail within the interval")

    # ---- later requests ---------------------------------------------------------------------
    def verify(self):
        k, h = self.s.proof()
        reply = self.s.get("type=verify&passkey=%s&hash=%s" % (k, h))
        if "Unknown request" in reply:
            raise Skip("the script does not know type=verify")
        assert reply == "@@ok@@", reply
        self.refused(self.s.get("type=verify&passkey=%s&hash=%s" % (k, h)), "Pass key not valid", "replayed verify")
        k, h = self.s.proof(password=self.a.password + "x")
        self.refused(self.s.get("type=verify&passkey=%s&hash=%s" % (k, h)), "Wrong password", "verify wrong password")
        # The wrong password above counts; a right one clears it again.
        k, h = self.s.proof()
        assert self.s.get("type=verify&passkey=%s&hash=%s" % (k, h)) == "@@ok@@"

    def base_conflict(self):
        file = "conf-base.htm"
        # The MD5 of the bytes as they are: UTF-8 text, and a byte that is no UTF-8 at all.
        old = self.publish_ok(file, b"<p>as opened: caf\xc3\xa9 \xe2\x82\xac \xe9</p>")
        reply = self.s.publish(file, b"<p>stale edit</p>", extra=[("base", "0" * 32)])
        if reply == "@@Updated@@":
            self.publish_ok(file, old)
            raise Skip("the script ignores base")
        self.refused(reply, "@@Conflict@@", "stale base")
        assert self.s.stored(file) == old
        reply = self.s.publish(file, b"<p>fresh edit</p>", extra=[("base", hashlib.md5(old).hexdigest())])
        assert reply == "@@Updated@@", reply
        assert self.s.stored(file) == b"<p>fresh edit</p>"

    def revisions(self):
        file = "conf-rev.htm"
        for text in (b"<p>r1</p>", b"<p>r2</p>", b"<p>r3</p>"):
            self.publish_ok(file, text)
        k, h = self.s.proof()
        reply = self.s.post([("passkey", k), ("hash", h), ("action", "revisions"), ("file", file)])
        if not reply.startswith("@@ok@@"):
            raise Skip("the script does not know action=revisions (%r)" % reply[:60])
        entries = [e.split("|") for e in reply[len("@@ok@@"):].split("@@") if e]
        assert len(entries) >= 2, reply
        for e in entries:
            assert len(e) == 3 and re.match(r"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d", e[1]) and e[2].isdigit(), e
        newest, oldest = entries[0], entries[-1]
        assert int(newest[2]) == len(b"<p>r2</p>"), entries
        k, h = self.s.proof()
        reply = self.s.post([("passkey", k), ("hash", h), ("action", "restore"), ("file", file),
                             ("revision", oldest[0])])
        assert reply == "@@Updated@@", reply
        assert self.s.stored(file) == b"<p>r1</p>"
        k, h = self.s.proof()
        again = self.s.post([("passkey", k), ("hash", h), ("action", "revisions"), ("file", file)])
        assert again.count("|") // 2 == len(entries) + 1 or len(entries) >= 20, again
        k, h = self.s.proof()
        self.refused(self.s.post([("passkey", k), ("hash", h), ("action", "restore"), ("file", file),
                                  ("revision", "../../etc/passwd")]), "@@", "unknown revision")
        assert self.s.stored(file) == b"<p>r1</p>"

    def revision_fetch(self):
        """One version's exact bytes, its size first, for a preview; nothing is written."""
        file = "conf-fetch.htm"
        first = b"<p>caf\xe9 @@ok@@ \x00 one</p>"
        self.publish_ok(file, first)
        self.publish_ok(file, b"<p>two</p>")
        k, h = self.s.proof()
        listing = self.s.post([("passkey", k), ("hash", h), ("action", "revisions"), ("file", file)])
        if not listing.startswith("@@ok@@"):
            raise Skip("the script does not know action=revisions (%r)" % listing[:60])
        newest = listing[len("@@ok@@"):].split("@@")[0].split("|")
        k, h = self.s.proof()
        reply = self.s.post([("passkey", k), ("hash", h), ("action", "fetch"), ("file", file),
                             ("revision", newest[0])])
        if "Unknown request" in reply:
            raise Skip("the script does not know action=fetch")
        assert reply == "@@ok@@%d@@" % len(first) + first.decode("latin-1"), reply
        assert self.s.stored(file) == b"<p>two</p>"
        k, h = self.s.proof()
        self.refused(self.s.post([("passkey", k), ("hash", h), ("action", "fetch"), ("file", file),
                                  ("revision", "../../etc/passwd")]), "@@", "fetch of an unknown revision")
        self.refused(self.s.post([("passkey", "1"), ("hash", "0" * 32), ("action", "fetch"), ("file", file),
                                  ("revision", newest[0])]), "@@", "fetch without the password")

    def revisions_kept(self):
        """Only the newest 20 are kept, in order, even when many come within one second."""
        file = "conf-many.htm"
        versions = [b"<p>" + b"v" * i + b"</p>" for i in range(50)]
        base = self.s.passkey()  # one issue covers many documents
        for i, v in enumerate(versions):
            k, h = self.s.proof(key=base + 1 + i)
            reply = self.s.post([("passkey", k), ("hash", h), ("file", file), ("html", v)])
            assert reply == "@@Updated@@", reply
        k, h = self.s.proof()
        reply = self.s.post([("passkey", k), ("hash", h), ("action", "revisions"), ("file", file)])
        if not reply.startswith("@@ok@@"):
            raise Skip("the script does not know action=revisions (%r)" % reply[:60])
        entries = [e.split("|") for e in reply[len("@@ok@@"):].split("@@") if e]
        assert [int(e[2]) for e in entries] == [len(v) for v in reversed(versions[29:49])], entries

    # ---- wrong passwords, last: they slow this client down ------------------------------------
    def throttling(self):
        a = self.a
        file = "conf-throttle.htm"
        self.publish_ok(file, b"<p>kept</p>")
        wrong = a.password + "!"
        for i in range(a.slow_after):
            self.refused(self.s.publish(file, b"x", password=wrong), "Wrong password", "wrong password %d" % (i + 1))
        self.refused(self.s.publish(file, b"x", password=wrong), "please wait", "guess too soon")
        self.refused(self.s.publish(file, b"x"), "please wait", "right password too soon")
        delay = 1
        for n in range(a.slow_after, a.lockout_after):
            time.sleep(delay + 0.3)
            self.refused(self.s.publish(file, b"x", password=wrong), "Wrong password", "wrong password %d" % (n + 1))
            delay *= 2
        self.refused(self.s.publish(file, b"x"), "blocked", "locked out")
        assert self.s.stored(file) == b"<p>kept</p>"
        time.sleep(a.lockout_seconds + 0.5)
        self.publish_ok(file, b"<p>after the lock-out</p>")
        self.refused(self.s.publish(file, b"x", password=wrong), "Wrong password", "count cleared")
        self.publish_ok(file, b"<p>done</p>")

    def site_wide_limit(self):
        """Guesses from many addresses (127.0.0.2, .3, ...) are slowed down together, and the
        owner gets in from yet another address once they stop."""
        file = "conf-sitewide.htm"
        self.publish_ok(file, b"<p>kept</p>")
        detected = None
        for n in range(2, 2 + self.a.site_guesses):
            reply = self.from_address("127.0.0.%d" % n, a_wrong_password=True)
            if "please wait" in reply:
                detected = n
                break
            self.refused(reply, "Wrong password", "guess from 127.0.0.%d" % n)
        if detected is None:
            self.publish_ok(file, b"<p>kept</p>")  # clears the count for the cases after this one
            raise Skip("no site-wide limit within %d guesses from as many addresses" % self.a.site_guesses)
        self.refused(reply, "please wait", "guess from a fresh address")
        deadline = time.time() + self.a.site_max_delay + 10
        while True:
            reply = self.from_address("127.0.0.250", a_wrong_password=False)
            if reply == "@@Updated@@":
                break
            assert "please wait" in reply and time.time() < deadline, reply
            time.sleep(0.5)
        assert self.s.stored(file) == b"<p>owner</p>"

    def from_address(self, source, a_wrong_password):
        import http.client
        port = urllib.parse.urlparse(self.s.base).port
        conn = http.client.HTTPConnection("127.0.0.1", port, timeout=TIMEOUT, source_address=(source, 0))
        try:
            conn.request("GET", "/pagequill/?type=passkey&now=1")
            key = int(re.fullmatch(r"@@(-?\d+)@@", conn.getresponse().read().decode()).group(1)) + 1
            pw = self.a.password + ("?" if a_wrong_password else "")
            h = hashlib.md5(protocol_bytes(pw) + str(key).encode()).hexdigest()
            body = encode([("passkey", key), ("hash", h), ("file", "conf-sitewide.htm"), ("html", "<p>owner</p>")])
            conn.request("POST", "/pagequill/", body, {"Content-Type": "application/x-www-form-urlencoded"})
            return conn.getresponse().read().decode("latin-1")
        finally:
            conn.close()

    def all(self):
        cases = [
            ("check reply with three flags", self.check_reply),
            ("unknown request refused", self.unknown_request),
            ("pass keys random and in range", self.pass_keys_random),
            ("pass key range, each used once", self.pass_key_range_single_use),
            ("forged and malformed pass keys", self.bad_pass_keys),
            ("replayed pass key", self.replayed_pass_key),
            ("expired pass key", self.expired_pass_key),
            ("upper-case hash accepted", self.upper_case_hash),
            ("incomplete posts", self.incomplete),
            ("stored byte for byte", self.byte_for_byte),
            ("multipart post", self.multipart_post),
            ("encoded name and subfolder", self.encoded_name_and_subfolder),
            ("dated backup outside the site", self.backup_of_replaced_page),
            ("file mode kept on replace", self.mode_kept),
            ("concurrent posts of one page", self.concurrent_posts),
            ("oversize post", self.oversize),
            ("path confinement", self.path_confinement),
            ("configuration protected", self.config_refusals),
            ("password e-mail and interval", self.email),
            ("verify request", self.verify),
            ("base: conflict refused", self.base_conflict),
            ("revisions and restore", self.revisions),
            ("revisions: one fetched for a preview", self.revision_fetch),
            ("revisions: the newest 20 in order", self.revisions_kept),
            ("wrong passwords: delays, lock-out", self.throttling),
            ("wrong passwords: site-wide limit", self.site_wide_limit),
        ]
        for name, fn in cases:
            self.run(name, fn)
        failed = [r for r in self.results if r[1] == "FAIL"]
        skipped = [r for r in self.results if r[1] == "skip"]
        print("%d cases: %d passed, %d skipped, %d failed; %d refusals checked" % (
            len(self.results), len(self.results) - len(failed) - len(skipped), len(skipped), len(failed),
            self.refusals))
        return 1 if failed else 0


def snapshot(folder):
    out = {}
    for dirpath, _, files in os.walk(folder):
        for n in files:
            p = os.path.join(dirpath, n)
            out[p] = read_or_empty(p)
    return out


def read_or_empty(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError:
        return b""


def main():
    p = argparse.ArgumentParser(description=__doc__)
    p.add_argument("--url", required=True, help="base address, http://127.0.0.1:PORT")
    p.add_argument("--password", required=True)
    p.add_argument("--flags", default="YNY")
    p.add_argument("--root", help="the site folder, to look at stored files")
    p.add_argument("--backup-dir")
    p.add_argument("--outside", help="a folder beside the site that nothing may write into")
    p.add_argument("--config-file", help="the PHP script's configuration file")
    p.add_argument("--mail-file", help="where the server's password mails arrive")
    p.add_argument("--max-body", type=int, default=16 * 1024 * 1024)
    p.add_argument("--key-lifetime", type=float, default=600)
    p.add_argument("--slow-after", type=int, default=3)
    p.add_argument("--lockout-after", type=int, default=10)
    p.add_argument("--lockout-seconds", type=float, default=900)
    p.add_argument("--site-guesses", type=int, default=40, help="addresses tried for a site-wide limit")
    p.add_argument("--site-max-delay", type=float, default=60)
    args = p.parse_args()
    if urllib.parse.urlparse(args.url).hostname != "127.0.0.1":
        sys.exit("the suite only talks to 127.0.0.1")
    return Suite(Site(args)).all()


if __name__ == "__main__":
    sys.exit(main())
