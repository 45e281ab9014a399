#!/bin/sh
# Builds the benchmark corpus in DIR: three files of 30 MiB each.
#   text.txt    plain text from /usr/share/common-licenses and /usr/share/doc
#   binary.bin  x86-64 ELF files from /usr/bin and /usr/lib
#   random.bin  seeded pseudo-random bytes
# The choice is deterministic on a given machine: candidate files are taken in
# byte-wise sorted path order and the result is cut to the exact size, so two
# runs on the same installation give the same bytes (the checksums printed at
# the end make that easy to confirm). Existing corpus files of the right size
# are kept, so calling it again is cheap. KESTREL_CORPUS_BYTES overrides the
# size of each file (for a quick trial run).
set -eu

if [ $# -ne 1 ]; then
    echo "usage: $0 DIR" >&2
    exit 2
fi
dir=$1
mkdir -p "$dir"
size=${KESTREL_CORPUS_BYTES:-31457280}

python3 - "$dir" "$size" <<'PY'
import os, random, sys

out_dir, size = sys.argv[1], int(sys.argv[2])

def walk(roots):
    paths = []
    for root in roots:
        for top, dirs, files in os.walk(root):
            for name in files:
                path = os.path.join(top, name)
                if os.path.isfile(path) and not os.path.islink(path):
                    paths.append(path)
    return sorted(paths, key=os.fsencode)

def head(path, n):
    try:
        with open(path, 'rb') as f:
            return f.read(n)
    except OSError:
        return b''

PACKED = (b'\x1f\x8b', b'BZh', b'\xfd7zXZ', b'PK\x03\x04', b'\x89PNG', b'GIF8', b'\xff\xd8\xff')

def is_text(path):
    start = head(path, 8192)
    if not start or start.startswith(PACKED) or b'\0' in start:
        return False
    try:
        start.decode('utf-8')
    except UnicodeDecodeError as e:
        # A multi-byte character cut at the end of the sample is still text.
        if e.start < len(start) - 4:
            return False
    return True

def is_elf64_x86(path):
    h = head(path, 20)
    return len(h) == 20 and h[:4] == b'\x7fELF' and h[4] == 2 and h[18:20] == b'\x3e\x00'

def build(name, candidates):
    target = os.path.join(out_dir, name)
    if os.path.exists(target) and os.path.getsize(target) == size:
        return
    written = 0
    with open(target + '.tmp', 'wb') as out:
        for path in candidates:
            if written >= size:
                break
            try:
                with open(path, 'rb') as f:
                    data = f.read(size - written)
            except OSError:
                continue
            out.write(data)
            written += len(data)
    if written < size:
        os.remove(target + '.tmp')
        sys.exit(f'not enough input for {name}: {written} of {size} bytes')
    os.replace(target + '.tmp', target)

def text_files():
    for path in walk(['/usr/share/common-licenses', '/usr/share/doc']):
        if is_text(path):
            yield path

def elf_files():
    for path in walk(['/usr/bin', '/usr/lib']):
        if is_elf64_x86(path):
            yield path

def build_random(name):
    target = os.path.join(out_dir, name)
    if os.path.exists(target) and os.path.getsize(target) == size:
        return
    rng = random.Random(20261207)
    with open(target + '.tmp', 'wb') as out:
        left = size
        while left:
            n = min(left, 1 << 20)
            out.write(rng.getrandbits(n * 8).to_bytes(n, 'little'))
            left -= n
    os.replace(target + '.tmp', target)

build('text.txt', text_files())
build('binary.bin', elf_files())
build_random('random.bin')
PY

cd "$dir" && sha256sum text.txt binary.bin random.bin
