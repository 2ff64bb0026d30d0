#!/usr/bin/env python3
"""Writes the seed corpora under fuzz/corpus/. Run again after changing a seed."""
import math
import os
import struct

here = os.path.dirname(os.path.abspath(__file__))


def put(target, name, data):
    d = os.path.join(here, "corpus", target)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, name), "wb") as f:
        f.write(data)


# fields_fuzz: an op byte (value % 8) and its operands, little-endian.
def raw(v, count=15):
    return bytes([0]) + struct.pack("<d", v) + bytes([count - 1])


def decimal(sign, digits, mantissa, exp10, count=15):  # op 2: nearest double to a decimal
    return (bytes([2, digits - 1]) + struct.pack("<Q", mantissa) + struct.pack("<H", exp10 + 345)
            + bytes([sign]) + bytes([count - 1]))


def single(f):
    return bytes([6]) + struct.pack("<f", f)


def text_item(s, repeat=1):
    return bytes([7, len(s)]) + s + bytes([repeat - 1])


def general(v, width, sci_digits, fixed_digits):  # op 3 with a raw value
    return bytes([3, 0]) + struct.pack("<d", v) + bytes([width - 1, sci_digits - 1, fixed_digits])


def integer(v, width):
    return bytes([4]) + struct.pack("<q", v) + bytes([width - 1])


edges = [0.0, -0.0, 1.5, -1.5, 0.125, 9.9995, 0.5, 0.1, 0.09999999999999999, 999999999999999.9,
         1e15, 1e100, -1e-100, 1e-99, 5e-324, 2.2250738585072014e-308, 1.7976931348623157e308,
         math.inf, -math.inf, math.nan, -math.nan, 123456.7895, 999999.9995, -99999.9995, 0.0005]
put("fields_fuzz", "edge_values", b"".join(raw(v) for v in edges))
put("fields_fuzz", "halfway_decimals",
    decimal(0, 2, 25, -5) + decimal(1, 5, 99995, -4) + decimal(0, 6, 125005, 0) +
    decimal(0, 17, 99999999999999995, -17) + decimal(0, 16, 9999999999999995, -1))
put("fields_fuzz", "binary_ties", bytes([1]) + struct.pack("<Q", 5 << 52) + bytes([52 - 11]) +
    struct.pack("<H", (-4 + 1100)) + bytes([0]) + bytes([14]))
put("fields_fuzz", "free_line",
    text_item(b" Ca_cyt") + raw(0.1) + raw(-2.5e-7) + integer(-42, 5) + text_item(b"(") +
    text_item(b"12:00:00") + single(0.1) + single(1e6) + single(999999.5) + single(3.4e38) +
    single(1e-45) + single(-0.0) + integer(-2**63, 20) + integer(2**63 - 1, 19))
put("fields_fuzz", "other_widths",
    general(0.5, 4, 1, 3) + general(-0.5, 5, 1, 3) + general(1.5, 6, 1, 0) + general(-1e-300, 7, 1, 15) +
    general(1e22, 40, 15, 15) + bytes([5, 9, 4]) + b"RUN" + bytes([5, 2, 12]) + b"longer than two")

# reader_fuzz: a line naming the program, then the file.
def for_program(name, body):
    return name.encode() + b"\n" + body


def velmo67_file(eol=b"\n", dtout=b"1.0", nsw=b"10"):
    lines = [b"testrun   ", b"0.0 " + dtout + b" 100.0 50.0 20.0 0.0 0.0  ! time line"]
    lines += [b"%.6g   k%d" % (0.5 + i, i + 1) for i in range(79)]
    twos = {82, 84, 107, 113, 130, 132, 135, 139}
    lines += [b"1.0 2.0" if n in twos else b"1.0E-03" for n in range(82, 146)]
    lines += [b"0.1 0.2 1.0D+03 1.0d-3  Ca_cyt PMCA.M* Ca_ext M"] * 8
    lines += [b"1 1 1 1 1", nsw, b"0.1", b"0.2", b"0.3"]
    lines += [b"1.0, 2.0, 3.0"] * 3
    return eol.join(lines) + eol


put("reader_fuzz", "velmo67_lf", for_program("velmo67", velmo67_file()))
put("reader_fuzz", "velmo67_crlf", for_program("velmo67", velmo67_file(b"\r\n")))
# Values the reader takes but the programs reject: window length, output interval.
put("reader_fuzz", "velmo67_window_too_long", for_program("velmo67", velmo67_file(nsw=b"1001")))
put("reader_fuzz", "velmo66_negative_dtout", for_program("velmo66", velmo67_file(dtout=b"-1.0")))
put("reader_fuzz", "velmo67_nan_dtout", for_program("velmo67", velmo67_file(dtout=b"NaN")))
nil = [
    ("plain", b"'nil run'\n0.0, 0.1, 10.0\n1.0\n2.0\n3.0\n0.5 0.25 trailer\n"),
    ("repeat_slash", b"name\n3*0.5\n1.0+3 / ignored\n1.0000-100\n,\n2*\n"),
    ("continued", b"\"quoted run name longer\"\n0.0\n\n0.1\t10.0\n.5\n1.\n-2\n+1e3 1E-03\n"),
    ("no_final_eol", b"abc\n1 2 3\n4\n5\n6\n7 8"),
    ("nul_bytes", b"ab\x00cd\n1\x00 2 3\n4\n5\n6\n7 8\n"),
    ("bad_items", b"run\n1.0 2.0 abc\n1e999\n--1\n1.0E\n'unterminated\n"),
    ("lone_cr", b"run\r1 2 3\r\n4\r\n\r\n5\n6\n7,8\n"),
    ("infinite_final_time", b"experiment_control\n0.0 0.1 -Infinity\n1.0\n2.0\n3.0\n0.5 0.25\n"),
]
for name, body in nil:
    put("reader_fuzz", "nilpora_" + name, for_program("nilpora", body))
def velmo64v6_file(nsw, dtout=b"2"):
    return for_program("velmo64v6", b"run12chars__\n" + b"1 " + dtout + b" 3 4 5 6 7\n" + b"1.0\n" * 68 +
                       b"1.0 2.0\n" * 26 + b"1 2 3 4\n" * 7 + nsw + b"\n" + b"0.5\n" * 3 + b"1 2 3\n" * 3)


put("reader_fuzz", "velmo64v6_ints", velmo64v6_file(b"2147483648"))
put("reader_fuzz", "velmo64v6_window_empty", velmo64v6_file(b"0"))
put("reader_fuzz", "velmo64v6_negative_dtout", velmo64v6_file(b"5", b"-0.5"))
put("reader_fuzz", "velmo64v6_inf_dtout", velmo64v6_file(b"5", b"INF"))
put("fields_fuzz", "full_lines", bytes([8, 255]) * 8 + b"".join(raw(v) for v in edges[:8]) +
    text_item(b"0123456789" * 4, 60) + text_item(b"ab", 10) + b"".join(raw(v) for v in edges[8:]))
