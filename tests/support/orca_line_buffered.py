"""Starts Debian's Orca with its debug file (argument 1) written a line at a time, so that a test
reads each thing Orca says as soon as it says it: Orca opens the file with a block buffer, which
holds back its last lines until kilobytes more follow. Run with /usr/bin/python3."""
import builtins
import runpy
import sys

debug_file = sys.argv[1]
real_open = builtins.open


def line_buffered_open(file, mode="r", *args, **kwargs):
    if file == debug_file and not args:
        kwargs.setdefault("buffering", 1)
    return real_open(file, mode, *args, **kwargs)


builtins.open = line_buffered_open
sys.argv = ["orca", "--replace", "--debug-file=" + debug_file]
runpy.run_path("/usr/bin/orca", run_name="__main__")
