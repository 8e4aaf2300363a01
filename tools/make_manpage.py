#!/usr/bin/env python3
"""Writes quorvid.1 from the program's own complete help.

usage: make_manpage.py --binary PATH --table OPTION_TABLE_CPP --output FILE
                       [--install-bindir DIR] [--epoch SECONDS]

The built binary is run with --h3; everything it prints on standard error is
parsed into the page: the banner gives NAME, the syntax lines SYNOPSIS and the
mode summaries, the option definitions OPTIONS, the exit-code list EXIT STATUS,
the syntax examples EXAMPLES (with Linux paths in place of the Windows ones)
and the note sections NOTES (with the few notes that speak of Windows paths
or editions told for Linux). The option table source adds the list of every
accepted option word, so the page names each word the program matches.
"""

import argparse
import datetime
import hashlib
import os
import re
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import quorvid_options  # noqa: E402


# ---------------------------------------------------------------- roff text

def roff(text):
    """Escapes plain text for a roff line (not a macro argument).

    Every "-" becomes "\\-" so that option words render as ASCII hyphens,
    can be searched for and copied, and never end a line; quotes become
    their ASCII glyphs for the same reason.
    """
    text = text.replace("\\", "\\e")
    text = text.replace("-", "\\-")
    text = text.replace("'", "\\(aq").replace("`", "\\(ga")
    if text[:1] in (".", "'"):
        text = "\\&" + text
    return text


_OPTION_WORD = re.compile(r"(?<![\w\-])(--?[A-Za-z0-9?#$@][\w?\-]*)")


def roff_with_options(text):
    """Like roff(), with option words in bold."""
    pieces = []
    last = 0
    for match in _OPTION_WORD.finditer(text):
        pieces.append(roff(text[last:match.start()]))
        pieces.append("\\fB" + roff(match.group(1)) + "\\fR")
        last = match.end()
    pieces.append(roff(text[last:]))
    # "[--mh3][--xx64]..." is one word to troff; let it break between brackets.
    line = "".join(pieces).replace("][", "]\\:[")
    if line.startswith("\\&\\fB"):
        return line
    if line[:1] in (".", "'"):
        line = "\\&" + line
    return line


def macro_arg(text):
    """A quoted macro argument."""
    return '"' + roff(text).replace('"', '\\(dq') + '"'


# ------------------------------------------------------------- help parsing

class Help:
    def __init__(self, text):
        lines = text.split("\n")
        banner = re.match(r"^(\S+) v(\S+) .*?\) - (.*)$", lines[0])
        if not banner:
            raise SystemExit(f"unexpected first help line: {lines[0]!r}")
        self.name, self.version, self.description = banner.groups()
        self.sections = {}
        current = None
        i = 0
        while i < len(lines):
            line = lines[i]
            if (i + 2 < len(lines) and line and set(line) == {"-"}
                    and lines[i + 2] == line and len(lines[i + 1]) == len(line)):
                current = lines[i + 1].rstrip(":")
                self.sections[current] = []
                i += 3
                continue
            if current is not None:
                self.sections[current].append(line)
            i += 1
        for required in ("CMD SYNTAX", "OPTION DEFINITIONS", "SYNTAX EXAMPLES",
                         "EXIT/RETURN CODES"):
            if required not in self.sections:
                raise SystemExit(f"help has no {required} section")

    def syntax_lines(self, section):
        """The syntax lines of a section, without the leading " name "."""
        prefix = f" {self.name} "
        return [line[len(prefix):] if line.startswith(prefix) else None
                for line in self.sections[section]]

    def syntax_blocks(self):
        """Groups of consecutive syntax lines, split at empty lines."""
        blocks, block = [], []
        for line in self.syntax_lines("CMD SYNTAX"):
            if line is None:
                if block:
                    blocks.append(block)
                block = []
            else:
                block.append(line)
        if block:
            blocks.append(block)
        return blocks


def linux_syntax(text):
    """Syntax placeholders without Windows drive letters: X:\\OutputFile -> OutputFile."""
    return re.sub(r"\b[A-Z]:\\", "", text)


# ------------------------------------------------------ example translation

# Whole values of the help's examples and the Linux values shown instead.
_PATHS = [
    ("%WinDir%\\System32", "/usr/lib"),
    ("%WinDir%", "/usr/share/doc"),
    ("%SystemDrive%\\Temp\\SomeFile.exe", "/tmp/somefile.bin"),
    ("%SystemDrive%\\Temp\\Summary.TXT", "/tmp/summary.txt"),
    ("%SystemDrive%\\Temp", "/tmp"),
    ("%SystemDrive%\\Test\\OldFile.exe", "/srv/test/old.bin"),
    ("%SystemDrive%\\Test\\NewFile.exe", "/srv/test/new.bin"),
    ("%SystemDrive%\\SkipThese.TXT", "/srv/skip-these.txt"),
    ("%SystemDrive%\\Checksums\\ListOne.TXT", "/srv/checksums/list-one.txt"),
    ("%SystemDrive%\\Scripts", "/usr/local/bin"),
    ("\\\\SomeServer\\SomeShare\\MyLogs\\ThisLog.TXT", "/mnt/share/logs/this-log.txt"),
    ("\\\\MyServer\\MyFolder", "/mnt/server/folder"),
    ("F:\\LikeFSUM", "/srv/like-fsum"),
    ("G:\\FileNameOnly", "/srv/file-name-only"),
    ("F:\\ThatFolder", "/srv/that-folder"),
    ("E:\\MyBackups", "/srv/backups"),
    ("E:\\MyData", "/srv/data"),
    ("D:\\ThatLog.TXT", "/var/log/that-log.txt"),
    ("AnyFile.dll", "anyfile.so"),
    ("Quorvid.ico", "quorvid-5.4.0.tar.gz"),
]
_MASKS = {"*.BAT": "*.sh", "*.CMD": "*.py", "*.EXE": "*.so", "*.DLL": "*.a",
          "*.SYS": "*.ko", "*.TXT": "*.txt"}


def linux_value(value):
    for windows, linux in _PATHS:
        if value == windows:
            return linux
        if value.startswith(windows + "\\"):
            value = linux + "/" + value[len(windows) + 1:]
            break
    if value in _MASKS:
        return _MASKS[value]
    # Anything not listed above: environment names, drive letters and UNC
    # names become plain POSIX paths.
    value = value.replace("%TEMP%", "/tmp")
    value = re.sub(r"%(\w+)%", lambda m: "$" + m.group(1).upper(), value)
    value = re.sub(r"^\\\\", "/mnt/", value)
    value = re.sub(r"^([A-Za-z]):\\", lambda m: "/mnt/" + m.group(1).lower() + "/", value)
    return value.replace("\\", "/")


def linux_example(command, binary_path, install_bindir):
    """One example's arguments with Linux paths, quoted for a POSIX shell."""
    program_dir = os.path.dirname(binary_path) + "/"
    installed = install_bindir.rstrip("/") + "/"
    words = []
    for token in re.findall(r'"[^"]*"|\S+', command):
        quoted = token.startswith('"') and token.endswith('"') and len(token) >= 2
        value = token[1:-1] if quoted else token
        if value == binary_path:
            value = installed + os.path.basename(binary_path)
        elif value == program_dir:
            value = installed
        elif not value.startswith("-") and not re.match(r"^https?://", value):
            value = linux_value(value)
        if quoted:
            words.append('"' + value + '"')
        elif ("*" in value or "?" in value) and not value.startswith("-"):
            words.append("'" + value + "'")  # the program expands masks, not the shell
        else:
            words.append(value)
    return " ".join(words)


# The help verifies a file against the hash of empty input. Where an example
# names one algorithm, the page shows that algorithm's hash of empty input, so
# the example matches an empty file as written.
_HASHLIB_NAMES = {
    "-5": "md5", "--md5": "md5", "-1": "sha1", "--sha1": "sha1",
    "-2": "sha256", "--sha2": "sha256", "--sha256": "sha256",
    "--384": "sha384", "--sha384": "sha384", "--512": "sha512", "--sha512": "sha512",
    "-3": "sha3_256", "--sha3": "sha3_256", "--sha3_256": "sha3_256",
    "--sha3_384": "sha3_384", "--sha3_512": "sha3_512",
    "--blk2": "blake2s", "--blake2": "blake2s", "--blake2s": "blake2s", "--blake2b": "blake2b",
}
_EMPTY_DIGESTS = {hashlib.new(n, b"").hexdigest(): n for n in set(_HASHLIB_NAMES.values())}


def consistent_hash(command):
    """`command` with the hash of empty input of the one algorithm it names."""
    words = command.split(" ")
    chosen = {_HASHLIB_NAMES[w.lower()] for w in words if w.lower() in _HASHLIB_NAMES}
    if len(chosen) != 1:
        return command
    algorithm = chosen.pop()
    empty = hashlib.new(algorithm, b"").hexdigest()
    return " ".join(empty if w.lower() in _EMPTY_DIGESTS else w for w in words)


def linux_preface(name):
    """What the help, written for Windows, leaves unsaid about Linux."""
    bullets = [
        "Paths are written with /. The program's own help shows Windows paths; "
        "the EXAMPLES below show the same commands with Linux paths.",
        "Quote wildcards ('*.iso') so that the shell passes them on and the program "
        "matches them.",
        "An argument that is an option word after / (such as /d or /out=list.txt) is "
        "read as that option: name such a file ./d or by its full path.",
        f"A file name of - stands for standard input, read once (a list item, a -k or "
        f"-y file, the file of --e64 or --d64 with --file); /dev/stdin serves too: "
        f"gunzip -c backup.gz | {name} --sha256 -",
        "Symbolic links are followed: a link to a file is hashed as that file, and -r "
        "walks into linked folders, except a link to the folder that holds it, to a "
        "folder inside that one or to a folder above it; each real folder is walked "
        "once, so links never make the walk loop or list a file twice.",
        f"-u without a file name writes $TEMP/#{name.capitalize()}_Summary.TXT: in the "
        "folder the TEMP variable names, else TMPDIR, else /tmp.",
    ]
    out = [".SS On Linux"]
    for text in bullets:
        out += [".IP \\(bu 2", roff_with_options(text)]
    return out


def list_forms():
    """Which checksum lists of other tools each mode reads, and what --vm says."""
    bullets = [
        "--vm reads the lists of sha256sum, md5sum, sha1sum, b2sum, b3sum and xxhsum "
        "in their text (hash, two spaces, name) and binary (hash, space, *name) forms, "
        "escaped lines included, and their tag form (SHA256 (name) = hash), taking "
        "whole names, spaces, * and ? included; other lines give their first two words. "
        "A tag-form line is tried with the algorithm it names, any other with the "
        "algorithms of its hash's length. Lines whose first word is no hash are passed "
        "over.",
        "--vm writes a line for every entry: Match found -- followed by the algorithm, "
        "the hash and the name (exit bit 4); Match failed -- followed by the hash and "
        "the name when the file was read but its hash is not the listed one under any "
        "algorithm tried (bit 2); File error -- followed by the hash and the name when "
        "the file is missing or cannot be read (bit 1). No match found. (and bit 1) "
        "ends a run where no entry matched.",
        "-x reads the lines of -g and the binary form of other tools, whose hash's "
        "length names the algorithm: 32 characters MD5, 40 SHA1, 64, 96 and 128 "
        "SHA2_256, SHA2_384 and SHA2_512. It does not read the text form (no *) or the "
        "tag form.",
        "-y and --hl read the first word of every line, so any of these lists but the "
        "tag form.",
    ]
    out = [".SS Checksum lists of other tools"]
    for text in bullets:
        out += [".IP \\(bu 2", roff_with_options(text)]
    return out


# --------------------------------------------------------------- page parts

# Notes of the help that speak of Windows paths or of the program's editions,
# and what holds for the Linux program instead. Each pattern must match its
# note, so a reworded help line is noticed rather than left Windows-only.
_LINUX_NOTES = [
    (r"^UNC paths can be used anywhere you see drive mappings in the syntax examples\.$",
     "Network shares are used through the folders they are mounted on (such as "
     "/mnt/share), anywhere the syntax examples show a folder."),
    (r"^The maximum file size for the -M parameter in the x86 edition is: \d+ bytes$",
     "The -M parameter takes sizes up to 9223372036854775807 bytes; a value that is "
     "not a number stands for 4294967295 bytes."),
    (r"^The specific hash algorithms that are chosen when you use the --MH3 or "
     r"--BLAKE2 parameters, depend upon which edition of \S+ is running\.$",
     "The --MH3 parameter selects MurmurHash3_x86_128 and --BLAKE2 selects "
     "Blake2S_256, on every processor."),
]
_WINDOWS_ONLY = re.compile(r"UNC path|drive mapping|x86 edition|which edition", re.IGNORECASE)


def linux_note(text, used):
    """A note's text as it holds on Linux; `used` collects the rules applied."""
    for i, (pattern, linux) in enumerate(_LINUX_NOTES):
        if re.match(pattern, text):
            used.add(i)
            return linux
    if _WINDOWS_ONLY.search(text):
        raise SystemExit(f"a help note speaks of Windows only: {text!r}")
    return text


def notes_block(lines, used):
    """A note section: " * " bullets, continuation lines, indented sub-lines."""
    out = []
    bullet = None       # words of the bullet being filled
    sub = []            # indented lines below it

    def flush():
        nonlocal bullet, sub
        if bullet is None and not sub:
            return
        if bullet is not None:
            out.append(".IP \\(bu 2")
            out.append(roff_with_options(linux_note(" ".join(bullet), used)))
        if sub:
            out.append(".RS 2")
            for kind, a, b in sub:
                if kind == "pair":
                    out.append(".TP 24")
                    out.append(roff_with_options(a))
                    out.append(roff_with_options(b))
                else:
                    out.append(".br")
                    out.append(roff_with_options(a))
            out.append(".RE")
        bullet, sub = None, []

    for line in lines:
        if not line.strip():
            continue
        # The help shows the build machine's locale pattern here; the page is
        # read on other machines, so it names the rule instead.
        line = re.sub(r'(with --DF "" is: )"[^"]*"',
                      r'\1"{locale short date format} hh:nn AM/PM"', line)
        if line.startswith(" * "):
            flush()
            bullet = [line[3:].strip()]
        elif re.match(r"^   \S", line) and not line.startswith("   * ") and bullet is not None \
                and not sub:
            bullet.append(line.strip())
        else:
            pair = re.match(r"^\s+\* (\S+) \.{2,} (.*)$", line)
            if pair:
                sub.append(("pair", pair.group(1), pair.group(2)))
            else:
                sub.append(("line", re.sub(r"\s{2,}", " ", line.strip()), None))
    flush()
    return out


def option_definitions(help_):
    out = []
    for line in help_.sections["OPTION DEFINITIONS"]:
        match = re.match(r"^\s+(.+?)\s+\.{2,}\s+(.*)$", line)
        if not match:
            continue
        names = [n for n in re.split(r"[,\s]+", match.group(1)) if n]
        out.append(".TP")
        out.append(", ".join("\\fB" + roff(n) + "\\fR" for n in names))
        out.append(roff_with_options(match.group(2)))
    if not out:
        raise SystemExit("help has no option definitions")
    return out


def exit_status(help_, used):
    lines = help_.sections["EXIT/RETURN CODES"]
    out = []
    i = 0
    while i < len(lines) and lines[i].strip():
        code = re.match(r"^\s+(\d+) - (.*)$", lines[i])
        if code:
            out.append(".TP 6")
            out.append("\\fB" + code.group(1) + "\\fR")
            out.append(roff_with_options(code.group(2)))
        elif lines[i].startswith(" * "):
            out.append(".PP")
            out.append(roff_with_options(lines[i][3:].strip()))
        i += 1
    if len(out) < 10:
        raise SystemExit("help has no exit-code list")
    out.extend(notes_block(lines[i:], used))
    return out


def accepted_words(table_path):
    out = [".PP",
           "Every word the program matches, one option per line. A one-character "
           "word is written after \\fB\\-\\fR, a longer word after \\fB\\-\\-\\fR; "
           "\\fB/\\fR may stand for either, and a longer word also takes a single "
           "\\fB\\-\\fR (\\fB/d\\fR, \\fB\\-dir\\fR, \\fB/dir\\fR). Words match without "
           "regard to case. A value may follow the word after \\fB=\\fR or \\fB:\\fR "
           "(\\fB\\-\\-out=list.txt\\fR, \\fB\\-o:list.txt\\fR); otherwise the option "
           "takes the next argument as its value, whatever it looks like.",
           ".PP"]
    for forms in quorvid_options.rows_of_forms(table_path):
        out += [roff(", ".join(forms)), ".br"]
    return out


def build_page(help_, table_path, binary_path, install_bindir, date):
    name = help_.name
    used = set()  # the _LINUX_NOTES rules applied
    page = [
        f'.TH {name.upper()} 1 "{date}" "{name} {help_.version}" "User Commands"',
        ".\\\" Generated from the program's complete help when it is built; do not edit.",
        ".nh",
        ".ad l",
        ".SH NAME",
        f"{name} \\- {roff(help_.description)}",
        ".SH SYNOPSIS",
    ]
    blocks = help_.syntax_blocks()
    modes = [b for b in blocks if "[options]" in b[0] and len(b) % 2 == 0]
    others = [line for b in blocks if b not in modes for line in b]
    for block in modes:
        for title in block[0::2]:
            page += [".PP", f"\\fB{name}\\fR " + roff_with_options(linux_syntax(title))]
    for line in others:
        page += [".PP", f"\\fB{name}\\fR " + roff_with_options(linux_syntax(line))]

    page += [
        ".SH DESCRIPTION",
        f"\\fB{name}\\fR computes, compares and verifies hashes of files and of text "
        "strings with fourteen algorithms (MD5, SHA1, SHA2, SHA3, BLAKE2, BLAKE3, "
        "XXHash64 and MurmurHash3). Each run does one job: hash the files and texts "
        "named on the command line (list mode), hash the files of a folder tree that "
        "match wildcards (\\fB\\-d\\fR), compare two files (\\fB\\-k\\fR), write a "
        "checksum list (\\fB\\-g\\fR) and check a folder against it (\\fB\\-x\\fR), "
        "verify one file against a hash, a list or a URL (\\fB\\-y\\fR), verify the "
        "files of a list (\\fB\\-\\-vm\\fR), find the files that match known hashes "
        "(\\fB\\-\\-hl\\fR), show the hashes found at a URL (\\fB\\-\\-url\\fR), or "
        "base64-encode and decode (\\fB\\-\\-e64\\fR, \\fB\\-\\-d64\\fR).",
        ".PP",
        "Results go to standard output (or to the \\fB\\-o\\fR file); help, banners "
        "and error screens go to standard error. The outcome is reported through the "
        "exit status, which scripts should test (see \\fBEXIT STATUS\\fR).",
    ]
    page += linux_preface(name)
    page += list_forms()
    page += [".SS Modes and the options each accepts"]
    for block in modes:
        for title, detail in zip(block[0::2], block[1::2]):
            page += [".TP 4", f"\\fB{name}\\fR " + roff_with_options(linux_syntax(title)),
                     f"\\fB{name}\\fR " + roff_with_options(linux_syntax(detail))]

    page += [".SH OPTIONS"] + option_definitions(help_)
    page += [".SS Every accepted option word"] + accepted_words(table_path)
    page += [".SH EXIT STATUS"] + exit_status(help_, used)

    page += [
        ".SH ENVIRONMENT",
        ".TP", ".BR TEMP \", \" TMPDIR",
        "The folder of the default summary file of \\fB\\-u\\fR: \\fBTEMP\\fR, "
        "else \\fBTMPDIR\\fR, else \\fI/tmp\\fR.",
        ".TP", ".B TZ",
        "File dates are shown and filtered in local time.",
        ".TP", ".BR LC_ALL \", \" LC_TIME \", \" LANG",
        "The locale's short date pattern used by \\fB\\-\\-df \"\"\\fR.",
        ".TP", ".BR SSL_CERT_FILE \", \" SSL_CERT_DIR",
        "Trusted certificates for https URLs, in place of the system trust store.",
    ]
    summary = "$TEMP/#Quorvid_Summary.TXT"
    for line in help_.sections.get("APP SPECIFIC USAGE NOTES", []):
        found = re.search(r'"([^"]*Summary[^"]*)"', line)
        if found:
            summary = found.group(1)
    page += [
        ".SH FILES",
        ".TP", "\\fI" + roff(summary) + "\\fR",
        "The summary file written by \\fB\\-u\\fR when it is given no file name: one "
        "line holding the success, total and error counts and \\fBTRUE\\fR when the run "
        "was aborted, \\fBFALSE\\fR when it completed.",
    ]

    page += [".SH NOTES"]
    for section in ("GENERAL USAGE NOTES", "APP SPECIFIC USAGE NOTES",
                    "SUPPORTED HASH ALGORITHMS", "HASH SPECIFIC NOTES",
                    "FSUM COMPATIBILITY NOTES"):
        if section in help_.sections:
            page += [".SS " + macro_arg(section.title())]
            page += notes_block(help_.sections[section], used)

    page += [".SH EXAMPLES",
             "The examples of the program's own help, with Linux paths. Wildcards are "
             "quoted so that the program, not the shell, matches them."]
    for example in help_.syntax_lines("SYNTAX EXAMPLES"):
        if example is None:
            continue
        command = consistent_hash(linux_example(example, binary_path, install_bindir))
        page += [".IP \"\" 4", f"\\fB{name}\\fR " + roff(command)]

    if len(used) != len(_LINUX_NOTES):
        missing = [p for i, (p, _) in enumerate(_LINUX_NOTES) if i not in used]
        raise SystemExit(f"help notes not found: {missing}")

    page += [".SH SEE ALSO",
             ".BR sha256sum (1),", ".BR md5sum (1),", ".BR b3sum (1),", ".BR rhash (1)"]
    return "\n".join(page) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--binary", required=True)
    parser.add_argument("--table", required=True)
    parser.add_argument("--output", required=True)
    parser.add_argument("--install-bindir", default="/usr/bin")
    parser.add_argument("--epoch", type=int, default=None)
    args = parser.parse_args()

    binary = os.path.abspath(args.binary)
    env = dict(os.environ, LC_ALL="C", TZ="UTC", ASAN_OPTIONS="detect_leaks=0")
    run = subprocess.run([binary, "--h3"], env=env, stdin=subprocess.DEVNULL,
                         capture_output=True, text=True)
    if run.returncode != 255:
        raise SystemExit(f"{binary} --h3 exited with {run.returncode}, not 255")
    help_ = Help(run.stderr)

    epoch = args.epoch
    if epoch is None:
        epoch = int(os.environ.get("SOURCE_DATE_EPOCH", "0")) or None
    moment = (datetime.datetime.fromtimestamp(epoch, datetime.timezone.utc) if epoch
              else datetime.datetime.now(datetime.timezone.utc))
    page = build_page(help_, args.table, binary, args.install_bindir,
                      moment.strftime("%Y-%m-%d"))
    with open(args.output, "w", encoding="utf-8") as output:
        output.write(page)


if __name__ == "__main__":
    main()
