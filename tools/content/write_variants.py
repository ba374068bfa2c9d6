#!/usr/bin/python3
"""Runs an SVG variants generator: a Python file whose `variants()` returns
{file name: SVG text}.

  write_variants.py <generator.variants.py> --list     the file names, one a line
  write_variants.py <generator.variants.py> --inputs   other files it reads (its INPUTS), one a line
  write_variants.py <generator.variants.py> <folder>   writes the files there
"""
import importlib.util
import os
import sys

sys.dont_write_bytecode = True  # keep the source tree clean
# Generators import the shared helpers beside this script (svgart).
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: write_variants.py <generator.variants.py> --list | --inputs | <folder>")
    spec = importlib.util.spec_from_file_location("generator", sys.argv[1])
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    if sys.argv[2] == "--inputs":
        print("\n".join(os.path.abspath(path) for path in getattr(module, "INPUTS", [])))
        return
    files = module.variants()
    if sys.argv[2] == "--list":
        print("\n".join(files))
        return
    os.makedirs(sys.argv[2], exist_ok=True)
    for name, text in files.items():
        # A name may hold a subfolder ("Preview/Shell.svg").
        path = os.path.join(sys.argv[2], name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="ascii") as f:
            f.write(text)


if __name__ == "__main__":
    main()
