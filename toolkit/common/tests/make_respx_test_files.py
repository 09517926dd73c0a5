#!/usr/bin/env python3
"""Damaged toolbar records for the resource manager's tests.

Usage: make_respx_test_files.py <output folder>
"""
import os
import struct
import sys

out = sys.argv[1]
os.makedirs(out, exist_ok=True)
# Version 2: not a record this program writes.
with open(os.path.join(out, 'respx_bad_version.bin'), 'wb') as f:
    f.write(struct.pack('<6H', 2, 16, 15, 2, 100, 101))
# Says 40 items and holds 2.
with open(os.path.join(out, 'respx_short.bin'), 'wb') as f:
    f.write(struct.pack('<6H', 1, 16, 15, 40, 100, 101))
# Only part of the header.
with open(os.path.join(out, 'respx_header_only.bin'), 'wb') as f:
    f.write(struct.pack('<3H', 1, 16, 15))
