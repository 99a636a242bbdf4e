#!/usr/bin/env python3
"""Pairs of files for realign-bench.sh, written in pieces so that any size takes little memory.

realignpairs.py KIND SIZE FILE1 FILE2 [EDITS] [SEED] writes FILE1 of SIZE bytes and FILE2 from it:
  edits    FILE1 random; FILE2 with EDITS insertions and EDITS removals of 1-256 bytes at
           random places (the insertions random bytes)
  replaced FILE1 random; FILE2 with 0.1 % of its bytes replaced, one at a time, nothing moved
  zeros    FILE1 zeros; FILE2 with EDITS insertions of 1-256 zeros and EDITS of 1-256
           non-zero bytes
  same     FILE2 a copy of FILE1 (random)
It prints, for edits and zeros, one line per edit: "insert POSITION1 POSITION2 COUNT",
"remove POSITION1 POSITION2 COUNT" (where the edit lies in FILE1 and FILE2), or for zeros
inserted "zeros POSITION1 POSITION2 COUNT".
"""
import os
import random
import sys

PIECE = 8 << 20


def random_bytes(rng, count):
    return rng.randbytes(count)


def main():
    kind, size, path1, path2 = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]
    edits = int(sys.argv[5]) if len(sys.argv) > 5 else 50
    rng = random.Random(int(sys.argv[6]) if len(sys.argv) > 6 else 1)
    plan = []  # (position in file 1, "insert"/"remove", bytes or count)
    # No removal reaches past the piece it starts in.
    places = [p for p in rng.sample(range(1, size - 300), 4 * edits) if p % PIECE < PIECE - 300]
    if kind == "edits":
        for position in places[: 2 * edits]:
            count = rng.randint(1, 256)
            if len(plan) < edits:
                plan.append((position, "insert", random_bytes(rng, count)))
            else:
                plan.append((position, "remove", count))
    elif kind == "zeros":
        for position in places[: 2 * edits]:
            count = rng.randint(1, 256)
            if len(plan) < edits:
                plan.append((position, "insert", bytes(count)))
            else:
                plan.append((position, "insert", bytes(rng.randint(1, 255) for _ in range(count))))
    plan.sort(key=lambda edit: edit[0])
    # Removals must not overlap what comes next.
    cleaned, end = [], 0
    for position, op, what in plan:
        if position < end:
            continue
        cleaned.append((position, op, what))
        end = position + (what if op == "remove" else 0) + 1

    with open(path1, "wb") as out1, open(path2, "wb") as out2:
        done = 0
        edit = 0
        while done < size:
            count = min(PIECE, size - done)
            piece = bytes(count) if kind == "zeros" else random_bytes(rng, count)
            out1.write(piece)
            if kind == "replaced":
                changed = bytearray(piece)
                for at in rng.sample(range(count), count // 1000):
                    changed[at] ^= rng.randint(1, 255)
                piece = bytes(changed)
            # The edits inside this piece, made in order.
            at = 0
            while edit < len(cleaned) and cleaned[edit][0] < done + count:
                position, op, what = cleaned[edit]
                local = position - done
                out2.write(piece[at:local])
                at = local + (what if op == "remove" else 0)
                if op == "insert":
                    out2.write(what)
                edit += 1
            out2.write(piece[at:])
            done += count
    moved = 0  # how much further on file 2 lies
    for position, op, what in cleaned:
        count = what if op == "remove" else len(what)
        name = "zeros" if kind == "zeros" and not any(what) else op
        print(name, position, position + moved, count)
        moved += -count if op == "remove" else count


if __name__ == "__main__":
    main()
