#!/usr/bin/env python3
"""Writes the bash completion file: the template with the option table's words.

usage: make_completion.py TEMPLATE OPTION_TABLE_CPP OUTPUT
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import quorvid_options  # noqa: E402


def shell_quote(word):
    return "'" + word.replace("'", "'\\''") + "'"


def main(argv):
    if len(argv) != 4:
        raise SystemExit(__doc__)
    template_path, table_path, output_path = argv[1:]
    words = quorvid_options.all_forms(table_path)
    with open(template_path, encoding="utf-8") as template:
        text = template.read()
    if "@QUORVID_OPTION_WORDS@" not in text:
        raise SystemExit(f"{template_path}: no @QUORVID_OPTION_WORDS@ placeholder")
    text = text.replace("@QUORVID_OPTION_WORDS@", " ".join(shell_quote(w) for w in words))
    with open(output_path, "w", encoding="utf-8") as output:
        output.write(text)


if __name__ == "__main__":
    main(sys.argv)
