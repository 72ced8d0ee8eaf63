#!/usr/bin/env python3
"""Converts shoreline and river text from `gmt coast -M` into the base map file jp.map.

Input: multi-segment text files, each segment introduced by a header line such as
"> Shore Bin # 3842, Level 2" or "> River Bin # 3845, Level 1", followed by "lon lat" lines.
GSHHG cuts its lines at the edges of its storage bins; pieces of the same kind whose end
points meet are joined again so that each coastline is one long polyline.

Output (all numbers int32 little-endian): the polyline count, then one 28-byte record per
polyline (west, south, east, north bounding box in microdegrees, kind, point count, byte
offset of the first point), then the points as longitude, latitude in microdegrees.
Kinds: 1 coastline, 2 lake shore, 3 shore of an island in a lake, 4 shore of a pond on such an
island, 10 + n a river of GSHHG river level n.
"""
import argparse
import re
import struct
import sys

HEADER = re.compile(r"^>\s*(Shore|River)\b.*?Level\s+(\d+)")
RECORD = struct.Struct("<7i")
POINT = struct.Struct("<2i")


def read_segments(path):
    """Yields (kind, [(lon, lat), ...]) in microdegrees, consecutive duplicates removed."""
    kind, points = None, []
    with open(path, encoding="ascii") as text:
        for line in text:
            if line.startswith(">"):
                if kind is not None and len(points) > 1:
                    yield kind, points
                match = HEADER.match(line)
                if not match:
                    sys.exit(f"{path}: unexpected segment header: {line.strip()}")
                level = int(match.group(2))
                kind = level if match.group(1) == "Shore" else 10 + level
                points = []
                continue
            fields = line.split()
            if len(fields) < 2:
                continue
            point = (round(float(fields[0]) * 1e6), round(float(fields[1]) * 1e6))
            if not points or points[-1] != point:
                points.append(point)
    if kind is not None and len(points) > 1:
        yield kind, points


def join_segments(segments):
    """Chains segments of one kind whose end points coincide; returns the joined polylines."""
    by_end = {}
    for index, points in enumerate(segments):
        by_end.setdefault(points[0], []).append(index)
        by_end.setdefault(points[-1], []).append(index)
    used = [False] * len(segments)

    def take_next(point):
        for index in by_end.get(point, []):
            if not used[index]:
                used[index] = True
                piece = segments[index]
                return piece if piece[0] == point else piece[::-1]
        return None

    joined = []
    for index, points in enumerate(segments):
        if used[index]:
            continue
        used[index] = True
        line = list(points)
        while line[0] != line[-1]:
            piece = take_next(line[-1])
            if piece is None:
                break
            line.extend(piece[1:])
        while line[0] != line[-1]:
            piece = take_next(line[0])
            if piece is None:
                break
            line[:0] = piece[::-1][:-1]
        joined.append(line)
    return joined


def write_map(path, polylines):
    """polylines: list of (kind, points), written in the given order."""
    offset = 4 + RECORD.size * len(polylines)
    head = [struct.pack("<i", len(polylines))]
    body = []
    for kind, points in polylines:
        lons = [p[0] for p in points]
        lats = [p[1] for p in points]
        head.append(RECORD.pack(min(lons), min(lats), max(lons), max(lats), kind, len(points), offset))
        body.extend(POINT.pack(*p) for p in points)
        offset += POINT.size * len(points)
    if offset >= 2**31:
        sys.exit("base map too large for int32 offsets")
    with open(path, "wb") as out:
        out.write(b"".join(head))
        out.write(b"".join(body))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--output", required=True)
    parser.add_argument("inputs", nargs="+", help="gmt coast -M text files")
    args = parser.parse_args()
    by_kind = {}
    for path in args.inputs:
        for kind, points in read_segments(path):
            by_kind.setdefault(kind, []).append(points)
    polylines = []
    for kind in sorted(by_kind):
        lines = join_segments(by_kind[kind])
        lines.sort(key=lambda line: (-len(line), line[0]))
        polylines.extend((kind, line) for line in lines)
    write_map(args.output, polylines)
    points = sum(len(line) for _, line in polylines)
    print(f"{args.output}: {len(polylines)} polylines, {points} points", file=sys.stderr)


if __name__ == "__main__":
    main()
