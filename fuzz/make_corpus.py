#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets: one small file per named frame or case, under
fuzz/corpus/<target>/. Files named regression_* hold inputs that once got a wrong answer through;
they run first whenever a target runs. Run it again after changing a case: it rewrites every file."""

import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def crc16(data):
    crc = 0xFFFF
    for b in data:
        crc ^= b
        for _ in range(8):
            crc = (crc >> 1) ^ 0xA001 if crc & 1 else crc >> 1
    return bytes([crc & 0xFF, crc >> 8])


def rtu(hex_text):
    body = bytes.fromhex(hex_text)
    return body + crc16(body)


def lrc_chars(text):
    return (-sum(text.encode())) & 0xFF


def ascii_frame(hex_text):
    return (":%s%02X\r\n" % (hex_text, lrc_chars(hex_text))).encode()


def ascii_standard(hex_text):
    """The standard LRC over the byte values: a lost or added 00 byte leaves it valid."""
    return (":%s%02X\r\n" % (hex_text, (-sum(bytes.fromhex(hex_text))) & 0xFF)).encode()


# reception operations (see fuzz/reception.h)
def chunk(data):
    out = b""
    while True:
        out += bytes([0, min(len(data), 255)]) + data[:255]
        data = data[255:]
        if not data:
            return out


SILENCE = bytes([1])
ECHO = bytes([5])
REOPEN = bytes([4])


def request(pick):
    return bytes([2, pick])


def address(a):
    return bytes([3, a])


# request picks: 0 response time, 1 + 12 * b: configuration block 10 * b, 2 configuration bits,
# 3 input registers, 4 input bits, 5 output registers, 6 + 12 * v: block write, 7 bit write,
# 8 + 12 * v: input register 7 + v, 9 input bit write
def words(*values):
    return "".join("%04X" % (v & 0xFFFF) for v in values)


RTU = {
    "answer_response_time": bytes([1]) + chunk(rtu("01030200C8")),
    "answer_split_over_three_polls": bytes([1]) + chunk(rtu("01030200C8")[:2]) + chunk(rtu("01030200C8")[2:5])
    + chunk(rtu("01030200C8")[5:]),
    "answer_configuration_block": bytes([1]) + request(1 + 12 * 3) + chunk(rtu("010314" + words(*range(30, 40)))),
    "answer_configuration_bits": bytes([1]) + request(2) + chunk(rtu("01010481020000")),
    "answer_output_registers": bytes([1]) + request(5) + chunk(rtu("010322" + words(0xF801, 0, 215, *range(14)))),
    "confirmation_block_write": bytes([1]) + request(6) + chunk(rtu("01100000000A")),
    "confirmation_input_register": bytes([1]) + request(8 + 12) + chunk(rtu("011002080001")),
    "exception_answer": bytes([1]) + chunk(rtu("018302")),
    "wrong_slave_then_answer": bytes([1]) + chunk(rtu("0203020064") + rtu("0103020064")),
    "bad_crc_then_silence": bytes([1]) + chunk(rtu("0103020064")[:-1] + b"\x00") + SILENCE,
    "two_answers_in_one_poll": bytes([1]) + chunk(rtu("0103020064") + rtu("0103020065")),
    "regression_noise_like_a_frame_start": bytes([1]) + chunk(bytes.fromhex("0103FA") + rtu("01030200C8")),
    "regression_echo_then_answer": bytes([1]) + ECHO + chunk(rtu("01030200C8")),
    "regression_write_echo_then_confirmation": bytes([1]) + request(6) + ECHO + chunk(rtu("01100000000A")),
    "regression_no_request_after_invalid_address_open": bytes([0]) + address(1) + chunk(rtu("0103020064")),
    "regression_answer_from_the_edited_address": bytes([1]) + address(2) + chunk(rtu("0203020064")),
}

ASCII = {
    "answer_response_time": bytes([1]) + chunk(ascii_frame("01030200C8")),
    "answer_in_two_chunks": bytes([1]) + chunk(b":01030200") + chunk(b"C8FF\r\n"),
    "answer_standard_lrc": bytes([1]) + chunk(ascii_standard("01030200C8")),
    "answer_configuration_block": bytes([1]) + request(1) + chunk(ascii_frame("010314" + words(*range(10)))),
    "confirmation_bit_write": bytes([1]) + request(7) + chunk(ascii_frame("010F00000020")),
    "exception_answer": bytes([1]) + chunk(ascii_frame("018302")),
    "noise_before_colon": bytes([1]) + chunk(b"\x7f\x13" + ascii_frame("0103020064")),
    "regression_byte_lost_in_read_answer": bytes([1]) + chunk(b":010302C832\r\n"),
    "regression_byte_added_in_read_answer": bytes([1]) + chunk(b":01030200C80032\r\n"),
    "regression_byte_lost_in_block_answer": bytes([1]) + request(1)
    + chunk(ascii_standard("010314" + words(*[5] * 10)[:-4] + "05")),
    "regression_byte_lost_in_write_confirmation": bytes([1]) + request(8 + 12) + chunk(ascii_standard("0110020801")),
    "regression_byte_added_in_write_confirmation": bytes([1]) + request(8 + 12)
    + chunk(ascii_standard("01100208000100")),
    "regression_echo_then_answer": bytes([1]) + ECHO + chunk(ascii_frame("01030200C8")),
    "regression_no_request_after_invalid_address_open": bytes([0]) + address(1) + chunk(ascii_frame("0103020064")),
    "regression_answer_from_the_edited_address": bytes([1]) + address(2) + chunk(ascii_frame("0203020064")),
}


def dispatch(state, register, flags, text):
    return bytes([state]) + struct.pack("<h", register) + bytes([flags]) + text.encode()


DISPATCH = {
    "response_time": dispatch(6, 33, 1, "0103020014ABCD"),
    "configuration_block_0": dispatch(1, 0, 1, "010314" + words(1, 2, 3, 33, -2, 215, 0, 0, 0, 100) + "ABCD"),
    "configuration_block_30": dispatch(1, 30, 33, "010314" + words(*range(-5, 5)) + "ABCD"),
    "configuration_block_50": dispatch(1, 50, 1, "010314" + words(*range(10)) + "ABCD"),
    "output_registers": dispatch(1, 256, 3, "010322" + words(0xF801, 0xFFFF, 215, -12, 0, 0, 0, *range(10)) + "ABCD"),
    "configuration_bits": dispatch(3, 0, 1, "01010481020000ABCD"),
    "input_registers": dispatch(7, 0, 1, "01032A" + words(*range(-10, 11)) + "ABCD"),
    "input_bits": dispatch(9, 0, 1, "0101020180ABCD"),
    "block_write_50": dispatch(2, 50, 21, "01100032000AABCD"),
    "bit_write": dispatch(4, 0, 13, "010F00000020ABCD"),
    "input_register_write_last": dispatch(5, 539, 9, "0110021B0001ABCD"),
    "input_bit_write": dispatch(8, 0, 1, "010F01000010ABCD"),
    "idle": dispatch(0, 0, 0, "0110000A000A"),
    "short_block": dispatch(1, 20, 1, "01031400010002"),
    "lower_case_digits": dispatch(1, 0, 1, "010314" + words(*range(10)).lower()),
}


def codecs(pick, word, number, text):
    return bytes([pick]) + struct.pack(">H", word & 0xFFFF) + struct.pack("<d", number) + text.encode()


CODECS = {
    "tenths_signed": codecs(1, 215, 21.5, "21.5"),
    "tenths_comma": codecs(9, 0xFFFE, -0.2, "-0,2"),
    "integer_unsigned": codecs(4, 0xF801, 63489, "63489"),
    "bcd_clock": codecs(2, 0x1230, 12.3, "59"),
    "response_text": codecs(0, 1, 0.1, "0103020064B9AF"),
    "blanks_and_sign": codecs(8, 0x8000, -3276.8, "  +12,5 "),
}

PORT_MAP = {
    "two_entries": b"3=/dev/pts/7;4=/dev/ttyUSB1",
    "blanks_and_refusals": b" 5 = /dev/ttyS0 ;x=1;41=/dev/a;7=;=8;12",
}

LINE_SETTINGS = {
    "ascii": b"9600,E,7,1",
    "rtu": b"115200,N,8,1",
    "lower_case_parity": b"9600,e,7,1",
    "three_fields": b"19200,O,8",
}


def parameter_files():
    """The golden files of the window's tests, and the shapes a damaged file takes."""
    data = os.path.join(HERE, "..", "tests", "editor", "data")
    with open(os.path.join(data, "parameters_de.txt"), "rb") as f:
        de = f.read()
    with open(os.path.join(data, "parameters_en.txt"), "rb") as f:
        en = f.read()
    lines = de.split(b"\r\n")
    return {
        "german": de,
        "english": en,
        "lf_only": de.replace(b"\r\n", b"\n"),
        "cut_mid_line": de[: len(de) * 2 // 3],
        "two_fields_only": b"\r\n".join(l.rsplit(b";", 1)[0] for l in lines),
        "bit_states_2_and_7": de.replace(b"; 1 \r\n", b"; 2 \r\n", 1).replace(b"; 0 \r\n", b"; 7 \r\n", 1),
        "undefined_cp1252_byte": de.replace(b";20\r\n", b";2\x810\r\n", 1),
    }


def engine(framing, script, calls):
    """The engine's input: the framing, the unit's script byte per request (delay / 4 ms in the low bits
    pattern the target reads), then the caller's requests as (block, retries, noise)."""
    body = bytes([framing]) + bytes(script[n % len(script)] for n in range(64))
    return body + b"".join(bytes(c) for c in calls)


SIX_BLOCKS = [(b, 1, 0) for b in range(6)]
ENGINE = {
    "in_time_rtu": engine(0, [0x05], SIX_BLOCKS),
    "in_time_ascii": engine(1, [0x05], SIX_BLOCKS),
    # 0x71 * 4 = 452 ms: every answer after the 300 ms time-out, within the turnaround
    "every_answer_late_rtu": engine(0, [0x71], SIX_BLOCKS),
    "first_lost_then_late": engine(1, [0x08, 0x71, 0x05], SIX_BLOCKS),
    "given_up_without_retry": engine(0, [0xF9, 0x05], [(b, 0, 1) for b in range(6)]),
    "refused_and_twice": engine(0, [0x11, 0x35], SIX_BLOCKS),
}


def write(target, cases):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    for name, data in cases.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    write("rtu_reception", RTU)
    write("ascii_reception", ASCII)
    write("dispatch", DISPATCH)
    write("codecs", CODECS)
    write("port_map", PORT_MAP)
    write("line_settings", LINE_SETTINGS)
    write("parameter_file", parameter_files())
    write("engine", ENGINE)
