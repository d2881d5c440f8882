#!/usr/bin/env python3
"""Capture N frames, average them to cut the noise, and save the mean as an 8-bit PNG.

    python3 examples/average.py --frames 8 mean.png            # the simulated board
    python3 examples/average.py --board --frames 8 mean.png    # the real one

Drive C: (the configuration) is kaptor's: KAPTOR_DRIVE_C, or --drive-c FOLDER.
"""

import argparse
import struct
import zlib

import numpy

import kaptor


def write_png(path, gray):
    """An 8-bit grayscale PNG of the uint8 array gray (rows top first)."""
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    height, width = gray.shape
    rows = b"".join(b"\0" + gray[y].tobytes() for y in range(height))  # filter: none
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" +
                  chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 0, 0, 0, 0)) +
                  chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("output", help="the PNG file to write")
    parser.add_argument("--frames", type=int, default=8, help="how many frames (default 8)")
    parser.add_argument("--board", action="store_true", help="the real board, not the simulated")
    parser.add_argument("--drive-c", help="the folder that stands for drive C:")
    args = parser.parse_args()
    if args.frames < 1:
        parser.error("--frames takes a whole number from 1")

    with kaptor.open(simulated=not args.board, drive_c=args.drive_c) as board:
        board.initialize()
        total = None
        for picture in board.capture_many(args.frames):
            total = picture.astype(numpy.uint32) if total is None else total + picture
    mean = ((total + args.frames // 2) // args.frames).astype(numpy.uint8)
    write_png(args.output, mean)
    print(f"{args.output}: the mean of {args.frames} frames, {mean.shape[1]} x {mean.shape[0]}")


if __name__ == "__main__":
    main()
