#!/usr/bin/python3
"""Starts one site script on 127.0.0.1 in a fresh folder (the reference server, or the PHP
script under PHP's built-in server) and runs the conformance suite against it.
usage: run_conformance.py reference|php SOURCE_DIR BIN_DIR"""
import os
import shutil
import subprocess
import sys
import tempfile
import time
import urllib.request

HERE = os.path.dirname(os.path.abspath(__file__))
PASSWORD = "d\u00e9mo\u20ac pass \U0001F600"  # beyond ASCII and beyond 16 bits: one byte per UTF-16 unit
LIMITS = {"max_body": 2 * 1024 * 1024, "key_lifetime": 3, "slow_after": 2, "lockout_after": 4,
          "lockout_seconds": 3}
SITE_SLOW_AFTER, SITE_MAX_DELAY = 5, 4  # wrong passwords from all addresses together


def free_port():
    import socket
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def make_site(top):
    root, outside, backup = (os.path.join(top, n) for n in ("site", "outside", "backups"))
    for d in (root, outside, backup, os.path.join(root, "sub")):
        os.makedirs(d)
    with open(os.path.join(root, "index.htm"), "w") as f:
        f.write("<html><body><p>home</p></body></html>")
    with open(os.path.join(outside, "secret.htm"), "w") as f:
        f.write("<p>outside</p>")
    os.symlink(outside, os.path.join(root, "link-out"))
    os.symlink(os.path.join(outside, "secret.htm"), os.path.join(root, "link-page.htm"))
    os.symlink(os.path.join(top, "gone.htm"), os.path.join(root, "dangling.htm"))
    return root, outside, backup


def php_literal(v):
    if isinstance(v, int):
        return str(v)
    return "'" + v.replace("\\", "\\\\").replace("'", "\\'") + "'"


def start_php(source, top, root, backup, port, mail_file):
    os.makedirs(os.path.join(root, "pagequill"))
    shutil.copy(os.path.join(source, "site-script/php/index.php"), os.path.join(root, "pagequill/index.php"))
    config = os.path.join(top, "pagequill-config.php")
    settings = dict(LIMITS, site_slow_after=SITE_SLOW_AFTER, site_max_delay=SITE_MAX_DELAY, password=PASSWORD, flags="YYY", backup_dir=backup, email_to="owner@localhost",
                    mail_interval=60)
    with open(config, "w", encoding="utf-8") as f:
        f.write("<?php\nreturn [\n" + "".join("    %s => %s,\n" % (php_literal(k), php_literal(v))
                                           for k, v in settings.items()) + "];\n")
    os.chmod(config, 0o600)
    env = dict(os.environ, PHP_CLI_SERVER_WORKERS="4")
    cmd = ["php", "-n", "-d", "post_max_size=64M", "-d", "upload_max_filesize=64M", "-d", "memory_limit=256M",
           "-d", "display_errors=stderr", "-d", "sendmail_path=cat >> " + mail_file,
           "-S", "127.0.0.1:%d" % port, "-t", root, os.path.join(source, "site-script/php/router.php")]
    return subprocess.Popen(cmd, env=env, stdout=subprocess.DEVNULL, stderr=open(os.path.join(top, "server.log"), "w")), config


def start_reference(bin_dir, top, root, backup, port, mail_file):
    cmd = [os.path.join(bin_dir, "pagequill-site"), "--root", root, "--port", str(port), "--flags", "YYY",
           "--backup-dir", backup, "--mail-file", mail_file, "--max-body", str(LIMITS["max_body"]),
           "--key-lifetime", str(LIMITS["key_lifetime"]), "--slow-after", str(LIMITS["slow_after"]),
           "--lockout-after", str(LIMITS["lockout_after"]), "--lockout-seconds", str(LIMITS["lockout_seconds"]),
           "--site-slow-after", str(SITE_SLOW_AFTER), "--site-max-delay", str(SITE_MAX_DELAY)]
    env = dict(os.environ, PAGEQUILL_SITE_PASSWORD=PASSWORD)
    return subprocess.Popen(cmd, env=env, stdout=subprocess.DEVNULL, stderr=open(os.path.join(top, "server.log"), "w")), None


def wait_ready(url, proc):
    deadline = time.time() + 20
    while time.time() < deadline:
        if proc.poll() is not None:
            return False
        try:
            urllib.request.urlopen(url + "/pagequill/?type=check", timeout=2).read()
            return True
        except OSError:
            time.sleep(0.1)
    return False


def main():
    kind, source, bin_dir = sys.argv[1:4]
    if kind == "php" and not shutil.which("php"):
        print("php is not installed (scripts/setup.sh installs php-cli)")
        return 77  # skipped
    top = tempfile.mkdtemp(prefix="pq-conformance-")
    try:
        root, outside, backup = make_site(top)
        mail_file = os.path.join(top, "mail.txt")
        port = free_port()
        start = start_php if kind == "php" else start_reference
        proc, config = start(source if kind == "php" else bin_dir, top, root, backup, port, mail_file)
        url = "http://127.0.0.1:%d" % port
        try:
            if not wait_ready(url, proc):
                print("the %s site script did not start:\n%s" % (kind, open(os.path.join(top, "server.log")).read()))
                return 1
            args = [sys.executable, os.path.join(HERE, "conformance.py"), "--url", url, "--password", PASSWORD,
                    "--flags", "YYY", "--root", root, "--backup-dir", backup, "--outside", outside,
                    "--mail-file", mail_file, "--site-max-delay", str(SITE_MAX_DELAY)] + \
                [a for k, v in LIMITS.items() for a in ("--" + k.replace("_", "-"), str(v))]
            if config:
                args += ["--config-file", config]
            rc = subprocess.run(args, timeout=300).returncode
            if rc:
                print("server log:\n" + open(os.path.join(top, "server.log")).read()[-4000:])
            return rc
        finally:
            proc.terminate()
            try:
                proc.wait(10)
            except subprocess.TimeoutExpired:
                proc.kill()
    finally:
        shutil.rmtree(top, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
