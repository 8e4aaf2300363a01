"""Reads Quorvid's option table from its C++ source.

The table in src/cli/option_table.cpp is the one place where option words are
defined; the manual page and the bash completion are generated from it so
that neither can list a word the program does not accept, or miss one.
"""

import re

# Row("D DIR", ...) and HashRow("5 MD5", ...): the first string literal of a
# row is its name string, exactly as the option finder reads it.
_ROW = re.compile(r'\b(?:Row|HashRow)\(\s*"((?:[^"\\]|\\.)*)"')


def read_name_strings(table_source_path):
    """Returns the stored name strings in table order."""
    with open(table_source_path, encoding="utf-8") as source:
        text = source.read()
    # Skip the helper definitions (constexpr TOptionRow Row(std::string_view names ...)).
    start = text.find("kTable")
    rows = [bytes(m.group(1), "utf-8").decode("unicode_escape")
            for m in _ROW.finditer(text, start if start >= 0 else 0)]
    if not rows:
        raise SystemExit(f"no option rows found in {table_source_path}")
    return rows


def name_words(name_string):
    """The words of one name string (spaces, commas and semicolons separate)."""
    return [w for w in re.split(r"[ ,;]+", name_string) if w]


def dash_form(word):
    """How the word is written after dashes: -W for one character, --WORD otherwise.

    Option words match without regard to case; the lower-case form is the one
    shown in the help, so it is the one offered.
    """
    word = word.lower()
    return "-" + word if len(word) == 1 else "--" + word


def rows_of_forms(table_source_path):
    """For every row, its dash forms in the order the row names them, each once."""
    result = []
    for names in read_name_strings(table_source_path):
        forms = []
        for word in name_words(names):
            form = dash_form(word)
            if form not in forms:
                forms.append(form)
        result.append(forms)
    return result


def all_forms(table_source_path):
    """Every dash form of every row, each once, in table order."""
    seen = []
    for forms in rows_of_forms(table_source_path):
        for form in forms:
            if form not in seen:
                seen.append(form)
    return seen
