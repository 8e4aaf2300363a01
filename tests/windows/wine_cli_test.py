#!/usr/bin/env python3
"""Black-box tests of the Windows quorvid.exe under Wine.

Every mode through Windows names (C:\\ through Wine's drive mapping, "\\"
separators), CR LF output, names that differ in letter case, and digests of
every algorithm equal to the Linux build's on the same files.

  tests/windows/wine_cli_test.py WINDOWS_EXE LINUX_BINARY

WINEPREFIX, when unset, is a folder of the test's own; Wine is
/usr/lib/wine/wine64 unless WINE names another.
"""
import hashlib
import http.server
import os
import pty
import select
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import unittest

WINE = os.environ.get("WINE", "/usr/lib/wine/wine64")
EXE = ""
LINUX = ""
PREFIX = ""
ROOT_UNIX = ""   # the test folder as Linux sees it
ROOT = r"C:\qtest"  # and as the Windows program sees it

CONTENT = {
    "a.txt": b"abc",
    "Hello.LOG": b"hello world\r\n",
    r"sub\Big.bin": bytes(range(256)) * 4096,
    r"sub\empty.txt": b"",
    r"sub\deep\Note.TXT": b"the deep note\n",
}


def unix(name):
    return os.path.join(ROOT_UNIX, *name.split("\\"))


def win(name=""):
    return ROOT + ("\\" + name if name else "")


def wine_environment():
    """The environment of a Windows program: the test's prefix, Wine quiet."""
    return dict(os.environ, WINEPREFIX=PREFIX, WINEDEBUG="-all")


def run(*args, stdin=b""):
    """Runs quorvid.exe with `args`; gives (exit code, stdout, stderr) as bytes."""
    done = subprocess.run([WINE, EXE, *args], input=stdin, capture_output=True,
                          env=wine_environment(), timeout=120, cwd=ROOT_UNIX)
    return done.returncode, done.stdout, done.stderr


def read(path):
    with open(path, "rb") as f:
        return f.read()


def windows_temp():
    """The folder %TEMP% names, as Linux sees it."""
    done = subprocess.run([WINE, "cmd", "/c", "echo %TEMP%"], capture_output=True, timeout=60,
                          env=wine_environment())
    temp = done.stdout.decode().strip()
    assert temp[1:3] == ":\\", temp
    return os.path.join(PREFIX, "drive_" + temp[0].lower(), *temp[3:].split("\\"))


def lines(data):
    """The lines of CR LF text; fails on a bare LF."""
    text = data.decode("utf-8")
    assert "\n" not in text.replace("\r\n", ""), "a line ends in LF alone: %r" % text[:200]
    parts = text.split("\r\n")
    if parts and parts[-1] == "":
        parts.pop()
    return parts


class WindowsCli(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        shutil.rmtree(ROOT_UNIX, ignore_errors=True)
        for name, data in CONTENT.items():
            os.makedirs(os.path.dirname(unix(name)), exist_ok=True)
            with open(unix(name), "wb") as f:
                f.write(data)
        os.utime(unix("a.txt"), (1577934245, 1577934245))  # 2020-01-02 03:04:05 UTC

    # ---- digests ---------------------------------------------------------
    def test_every_algorithm_gives_the_linux_builds_digests(self):
        names = ["a.txt", r"sub\Big.bin", r"sub\empty.txt"]
        code, out, err = run("--all", "-s", *[win(n) for n in names], "abc")
        self.assertEqual(code, 0, err)
        got = [line.split(" ")[0] for line in lines(out)]
        linux = subprocess.run([LINUX, "--all", "-s", *[unix(n) for n in names], "abc"],
                               capture_output=True, check=True).stdout.decode().split("\n")
        want = [line.split(" ")[0] for line in linux if line]
        self.assertEqual(len(got), 4 * 14)
        self.assertEqual(got, want)
        # And against an independent reference where one exists.
        self.assertIn(hashlib.sha256(CONTENT[r"sub\Big.bin"]).hexdigest(), got)
        self.assertIn(hashlib.sha3_512(b"abc").hexdigest(), got)
        self.assertIn(hashlib.blake2s(b"").hexdigest(), got)

    # ---- list mode -------------------------------------------------------
    def test_list_mode_files_and_texts_with_crlf(self):
        code, out, err = run("--md5", win("a.txt"), "plain text")
        self.assertEqual(code, 0, err)
        self.assertEqual(lines(out), [
            "900150983cd24fb0d6963f7d28e17f72  {File}  " + win("a.txt"),
            hashlib.md5(b"plain text").hexdigest() + "  {Text}  plain text"])
        # -i shows the name after the last "\"; "/" is a separator too.
        code, out, _ = run("--md5", "-i", ROOT + "/sub/empty.txt")
        self.assertEqual(lines(out), ["d41d8cd98f00b204e9800998ecf8427e  {File}  empty.txt"])

    def test_names_are_found_whatever_their_letter_case(self):
        code, out, err = run("--md5", "-s", win("A.TXT"), win(r"SUB\NOTE.txt").replace("NOTE", r"DEEP\NOTE"))
        self.assertEqual(code, 0, err)
        self.assertEqual([l.split(" ")[0] for l in lines(out)],
                         [hashlib.md5(b"abc").hexdigest(), hashlib.md5(b"the deep note\n").hexdigest()])

    # ---- directory mode, -g, -x, --vm, --hl, -j ---------------------------
    def test_directory_walk_masks_exclusions_and_counts(self):
        code, out, err = run("--md5", "-d", win(), "-r", "-f", "-c", "*.txt;*.TXT")
        self.assertEqual(code, 0, err)
        got = lines(out)
        self.assertIn("900150983cd24fb0d6963f7d28e17f72 *a.txt", got)
        self.assertIn(hashlib.md5(b"the deep note\n").hexdigest() + r" *sub\deep\Note.TXT", got)
        self.assertEqual(got[-1], "Success = 3   Unfiltered = 3   Error = 0")
        with open(unix("excl.txt"), "wb") as f:
            f.write(b"DEEP\r\n")
        code, out, _ = run("--md5", "-d", win(), "-r", "-f", "-e", win("excl.txt"), "*.txt")
        self.assertNotIn("Note.TXT", out.decode())
        code, out, err = run("-d", win("nothing-here"))
        self.assertEqual(code, 100)
        self.assertIn(b'Could not access the directory: "C:\\qtest\\nothing-here\\"', err)
        code, out, err = run("-d", win(), "*.zzz")
        self.assertEqual(code, 77)
        self.assertIn(b'No files found in "C:\\qtest\\" matching "*.zzz"\r\n', err)

    def test_folder_names_with_slashes_dots_and_trailing_separators(self):
        for folder in [ROOT + "/sub", win(r"sub\."), win("sub") + "\\\\", win(r"sub\deep\..")]:
            code, out, err = run("--md5", "-d", folder, "-c", "-w", "*.txt")
            self.assertEqual(code, 0, (folder, err))
            self.assertEqual(lines(out)[-1], "Success = 1   Unfiltered = 1   Error = 0", folder)

    def test_checksum_list_round_trip_with_backslashes(self):
        listing = win("list.sha")
        code, out, err = run("-d", win(), "-r", "-g", listing, "*.txt")
        self.assertEqual(code, 0, err)
        data = read(unix("list.sha"))
        entries = [l for l in lines(data) if not l.startswith(";")]
        self.assertIn(hashlib.sha256(b"").hexdigest() + r" ?SHA256*sub\empty.txt", entries)
        self.assertIn(b"Writing", err)
        # Checked from the folder, and from another with names in other case.
        code, out, err = run("-x", listing, win())
        self.assertEqual(code, 0, out + err)
        self.assertEqual(lines(out), ["OK           SHA256       a.txt",
                                      r"OK           SHA256       sub\empty.txt",
                                      r"OK           SHA256       sub\deep\Note.TXT"])
        with open(unix("upper.sha"), "wb") as f:
            f.write(data.replace(b"a.txt", b"A.TXT"))
        code, out, _ = run("-x", win("upper.sha"), win())
        self.assertEqual(code, 0, out)
        # A changed file fails its check.
        with open(unix("a.txt"), "wb") as f:
            f.write(b"abd")
        try:
            code, out, _ = run("-x", listing, win())
            # Failed (2) and passed (4) together.
            self.assertEqual(code, 6, out)
            self.assertIn("FAILED       SHA256       a.txt", lines(out))
        finally:
            with open(unix("a.txt"), "wb") as f:
                f.write(b"abc")

    def test_verify_many_lookup_and_bare_hashes(self):
        sha = hashlib.sha256(b"abc").hexdigest()
        with open(unix("vm.txt"), "wb") as f:
            f.write(("%s  a.txt\r\n%s  gone.txt\r\n" % (sha, sha)).encode())
        code, out, _ = run("--vm", win("vm.txt"), win())
        self.assertEqual(code, 5)
        self.assertEqual(lines(out), ["Match found -- SHA2_256: %s  a.txt" % sha,
                                      "File error -- %s  gone.txt" % sha])
        code, out, _ = run("-d", win(), "-r", "--hl", sha)
        self.assertEqual(code, 0)
        self.assertEqual(lines(out), ['Hash "SHA2_256: %s" matches file "%s"' % (sha, win("a.txt"))])
        code, out, _ = run("-d", win("sub"), "-j", "--md5", "*.txt")
        self.assertEqual(lines(out), [hashlib.md5(b"").hexdigest()])

    # ---- verify, compare, base64 -------------------------------------------
    def test_verify_compare_and_base64(self):
        code, out, _ = run("-y", win("a.txt"), hashlib.sha1(b"abc").hexdigest())
        self.assertEqual((code, lines(out)), (0, ["SHA1: Match found"]))
        code, out, _ = run("-y", win("a.txt"), "0" * 40)
        self.assertEqual((code, lines(out)), (119, ["No match found."]))
        code, out, _ = run("-k", win("a.txt"), win("A.txt"))
        self.assertEqual(code, 0)
        self.assertTrue(lines(out)[0].startswith("TRUE  "))
        code, out, _ = run("-k", win("a.txt"), win("Hello.LOG"))
        self.assertEqual(code, 98)
        code, out, _ = run("--e64", "hello")
        self.assertEqual(lines(out), ["aGVsbG8="])
        code, out, err = run("--e64", win("Hello.LOG"), "--file", "-o", win("hello.b64"))
        self.assertEqual(code, 0, err)
        code, out, err = run("--d64", win("hello.b64"), "--file", "-o", win("back.log"))
        self.assertEqual(code, 0, err)
        self.assertEqual(read(unix("back.log")), CONTENT["Hello.LOG"])

    # ---- output files, summary, code pages, errors --------------------------
    def test_output_summary_and_code_page(self):
        code, out, err = run("-o", win("out.txt"), "-u", "--md5", "caf\u00e9")
        self.assertEqual(code, 0, err)
        self.assertEqual(read(unix("out.txt")),
                         (hashlib.md5("caf\u00e9".encode()).hexdigest() + "  {Text}  caf\u00e9\r\n").encode())
        # -u without a name: %TEMP%\#Quorvid_Summary.TXT (Wine sets TEMP itself).
        summary = os.path.join(windows_temp(), "#Quorvid_Summary.TXT")
        if os.path.exists(summary):
            os.remove(summary)
        code, out, err = run("abc", "def", "-u")
        self.assertEqual(code, 0, err)
        self.assertEqual(read(summary), b"2,2,0,FALSE\r\n")
        code, out, err = run("--cp", "1252", "-o", win("cp.txt"), "--md5", "caf\u00e9")
        self.assertEqual(code, 0, err)
        self.assertTrue(read(unix("cp.txt")).endswith(b"caf\xe9\r\n"))
        code, out, err = run("-d", win(), "-o", win("a.txt"), "-x", win("a.txt"))
        self.assertEqual(code, 102)
        code, out, err = run("--h3")
        self.assertEqual(code, 255)
        self.assertIn("%TEMP%\\#Quorvid_Summary.TXT", err.decode())
        lines(err)  # the help is CR LF text too
        code, out, err = run("--version-only")
        self.assertEqual(code, 254)
        self.assertIn(b" x64 ", err)

    # ---- URL lists over plain http -------------------------------------------
    def test_url_list_over_http(self):
        sha = hashlib.sha256(b"abc").hexdigest()
        body = ("<p>%s  a.txt</p>\n" % sha).encode()

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                self.send_response(200)
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)

            def log_message(self, *args):
                pass

        server = http.server.HTTPServer(("127.0.0.1", 0), Handler)
        threading.Thread(target=server.serve_forever, daemon=True).start()
        try:
            url = "http://127.0.0.1:%d/list.html" % server.server_address[1]
            code, out, err = run("--url", url)
            self.assertEqual(code, 0, err)
            self.assertEqual(lines(out), ["    0: %s  a.txt" % sha, ""])
            code, out, _ = run("-y", win("a.txt"), url)
            self.assertEqual((code, lines(out)),
                             (0, ["Match found -- SHA2_256: %s  %s" % (sha, win("a.txt"))]))
        finally:
            server.shutdown()
            server.server_close()

    def test_ctrl_c_on_the_console_ends_a_walk_with_252(self):
        # Ctrl-C typed on the console (a pseudo-terminal, which Wine's console
        # turns into the console's event) in the middle of a large file, once
        # the program has surely started; 4 GiB take far longer to hash.
        folder = unix("ctrlc")
        os.makedirs(folder)
        try:
            with open(os.path.join(folder, "a.txt"), "wb") as f:
                f.write(b"abc")
            with open(os.path.join(folder, "big.bin"), "wb") as f:
                f.truncate(4 << 30)  # sparse: made at once, long to hash
            args = ["-o", win(r"ctrlc\out.txt"), "-u", win(r"ctrlc\sum.txt"), "-r", "-d",
                    win(r"ctrlc"), "*.bin", "*.txt"]
            pid, console = pty.fork()
            if pid == 0:
                os.execve(WINE, [WINE, EXE, *args], wine_environment())
            start, sent = time.monotonic(), None
            while True:
                if sent is None and time.monotonic() - start > 3:
                    os.write(console, b"\x03")
                    sent = time.monotonic()
                if select.select([console], [], [], 0.1)[0]:
                    try:
                        if not os.read(console, 4096):
                            break
                    except OSError:  # the console is gone with the program
                        break
            _, status = os.waitpid(pid, 0)
            ended = time.monotonic()
            os.close(console)
            self.assertIsNotNone(sent)
            self.assertEqual(os.waitstatus_to_exitcode(status), 252)
            self.assertLess(ended - sent, 10)
            out = read(os.path.join(folder, "out.txt"))
            self.assertTrue(out.endswith(b"\r\n\r\nProcessing Aborted...  \r\n"), out)
            self.assertNotIn(b"big.bin", out)
            self.assertTrue(read(os.path.join(folder, "sum.txt")).rstrip().endswith(b",TRUE"))
        finally:
            shutil.rmtree(folder)


def main():
    global EXE, LINUX, PREFIX, ROOT_UNIX
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    EXE, LINUX = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    PREFIX = os.environ.get("WINEPREFIX") or os.path.join(tempfile.gettempdir(), "quorvid-wine-cli")
    os.environ["WINEPREFIX"] = PREFIX
    if not os.path.isdir(os.path.join(PREFIX, "drive_c")):
        subprocess.run([WINE, "cmd", "/c", "exit"], env=dict(os.environ, WINEDEBUG="-all"),
                       capture_output=True, timeout=300)
    ROOT_UNIX = os.path.join(PREFIX, "drive_c", "qtest")
    unittest.main(argv=[sys.argv[0]] + sys.argv[3:], verbosity=2)


if __name__ == "__main__":
    main()
