#!/usr/bin/python3
"""Reads element files as programs beside Elsetry do: element lines with python3-sgp4, CSV and
JSON (OMM) with Python's csv and json modules, each set's model set up by python3-sgp4 where its
number fits element lines. Arguments: FORM PATH pairs, FORM one of three-line, two-line, csv, json.
Prints a line a file: "PATH CR" when it holds a carriage return, else "PATH LF", then the
catalogue numbers of its sets in file order. Any set that does not read ends it with status 1."""

import csv
import json
import sys

from sgp4 import omm
from sgp4.api import Satrec

LARGEST_ELEMENT_LINE_NUMBER = 339999


def run_model(sat, what):
    error, _, _ = sat.sgp4(sat.jdsatepoch, sat.jdsatepochF)
    if error != 0:
        raise ValueError(f"{what}: the model fails at epoch ({error})")
    return sat.satnum


def element_line_numbers(text):
    lines = [line for line in text.split("\n") if line.startswith(("1 ", "2 "))]
    if len(lines) % 2:
        raise ValueError("an element line without its pair")
    return [run_model(Satrec.twoline2rv(lines[i], lines[i + 1]), lines[i]) for i in range(0, len(lines), 2)]


def omm_numbers(records):
    numbers = []
    for fields in records:
        number = int(fields["NORAD_CAT_ID"])
        if number <= LARGEST_ELEMENT_LINE_NUMBER:
            sat = Satrec()
            omm.initialize(sat, fields)
            run_model(sat, fields["OBJECT_NAME"])
        numbers.append(number)
    return numbers


def read(form, path):
    with open(path, "rb") as file:
        data = file.read()
    text = data.decode("utf-8")
    if form in ("three-line", "two-line"):
        numbers = element_line_numbers(text)
    elif form == "csv":
        numbers = omm_numbers(csv.DictReader(text.splitlines()))
    else:
        numbers = omm_numbers(json.loads(text))
    ends = "CR" if b"\r" in data else "LF"
    return " ".join([path, ends] + [str(number) for number in numbers])


def main(arguments):
    for form, path in zip(arguments[0::2], arguments[1::2]):
        try:
            print(read(form, path))
        except (ValueError, KeyError, UnicodeDecodeError) as error:
            print(f"{path}: {error}", file=sys.stderr)
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
