#!/usr/bin/python3
"""An independent Modbus RTU slave for the end-to-end tests: pymodbus serving a unit image.

Usage: pymodbus_unit.py DEVICE ADDRESS IMAGE
IMAGE is a text file of lines "hr ADDRESS VALUE" (holding register) and "co ADDRESS 0|1" (coil).
Prints "serving" on standard error once the line is open; stops on SIGTERM.
"""
import asyncio
import logging
import os
import signal
import sys

from pymodbus.datastore import ModbusSequentialDataBlock, ModbusServerContext, ModbusSlaveContext
from pymodbus.server.async_io import ModbusSerialServer
from pymodbus.transaction import ModbusRtuFramer


if os.environ.get("PLX24_PEER_DEBUG"):
    logging.basicConfig(level=logging.DEBUG)


def load_image(path):
    holding = [0] * 0x300
    coils = [False] * 0x200
    with open(path, encoding="ascii") as f:
        for line in f:
            parts = line.split()
            if len(parts) != 3:
                continue
            kind, address, value = parts[0], int(parts[1], 0), int(parts[2], 0)
            if kind == "hr":
                holding[address] = value & 0xFFFF
            elif kind == "co":
                coils[address] = bool(value)
    return holding, coils


async def serve(device, address, image):
    holding, coils = load_image(image)
    slave = ModbusSlaveContext(
        hr=ModbusSequentialDataBlock(0, holding),
        co=ModbusSequentialDataBlock(0, coils),
        zero_mode=True,
    )
    context = ModbusServerContext(slaves={address: slave}, single=False)
    # no parity: pyserial's parity request fails with EINVAL on a pty, which carries none anyway
    server = ModbusSerialServer(context, framer=ModbusRtuFramer, port=device, baudrate=9600,
                                bytesize=8, parity="N", stopbits=1, timeout=0.005)
    loop = asyncio.get_running_loop()
    stop = asyncio.Event()
    for sig in (signal.SIGTERM, signal.SIGINT):
        loop.add_signal_handler(sig, stop.set)
    await server.start()
    task = asyncio.create_task(server.serve_forever())
    print("serving", file=sys.stderr, flush=True)
    await stop.wait()
    task.cancel()


if __name__ == "__main__":
    if len(sys.argv) != 4:
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    asyncio.run(serve(sys.argv[1], int(sys.argv[2]), sys.argv[3]))
