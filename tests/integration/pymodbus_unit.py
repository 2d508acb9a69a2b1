#!/usr/bin/python3
"""An independent Modbus slave for the end-to-end tests: pymodbus serving a unit image, as an RTU
slave on a serial device or as a Modbus TCP server.

Usage: pymodbus_unit.py DEVICE|tcp ADDRESS IMAGE
IMAGE is a text file of lines "hr ADDRESS VALUE" (holding register) and "co ADDRESS 0|1" (coil).
"tcp" serves Modbus TCP on 127.0.0.1 at a port the system picks and prints the server as a device
(tcp://127.0.0.1:PORT) on standard output. Prints "serving" on standard error once the line is open;
stops on SIGTERM.
"""
import asyncio
import logging
import os
import signal
import sys

from pymodbus.datastore import ModbusSequentialDataBlock, ModbusServerContext, ModbusSlaveContext
from pymodbus.server.async_io import ModbusSerialServer, ModbusTcpServer
from pymodbus.transaction import ModbusRtuFramer, ModbusSocketFramer


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
    loop = asyncio.get_running_loop()
    stop = asyncio.Event()
    for sig in (signal.SIGTERM, signal.SIGINT):
        loop.add_signal_handler(sig, stop.set)
    if device == "tcp":
        server = ModbusTcpServer(context, framer=ModbusSocketFramer, address=("127.0.0.1", 0))
        task = asyncio.create_task(server.serve_forever())
        await server.serving
        port = server.server.sockets[0].getsockname()[1]
        print(f"tcp://127.0.0.1:{port}", flush=True)
    else:
        # no parity: pyserial's parity request fails with EINVAL on a pty, which carries none anyway
        server = ModbusSerialServer(context, framer=ModbusRtuFramer, port=device, baudrate=9600,
                                    bytesize=8, parity="N", stopbits=1, timeout=0.005)
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
