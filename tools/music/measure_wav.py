#!/usr/bin/env python3
"""Loudness figures of rendered music, one line per WAV file: its duration,
how long it sounds (up to the end of its last 100-ms window above -60 dBFS),
RMS and peak in dBFS, and the share of silent 100-ms windows.

    measure_wav.py FILE.wav[:MIN_S:MAX_S] ...

Exits 1 when a file clips (peak at or above -0.5 dBFS), is all but silent (RMS
under -40 dBFS) or, where MIN_S:MAX_S is given, sounds for a time outside that
range. Reads 16-bit PCM, as FluidSynth writes it by default.
"""
import array
import math
import sys
import wave

PEAK_LIMIT_DB = -0.5
QUIET_RMS_DB = -40.0
SILENT_WINDOW_DB = -60.0
FULL_SCALE = 32768.0


def db(level):
    return 20 * math.log10(level / FULL_SCALE) if level > 0 else -math.inf


def measure(path):
    with wave.open(path, "rb") as wav:
        if wav.getsampwidth() != 2:
            raise ValueError(f"{path}: not 16-bit PCM")
        channels, rate = wav.getnchannels(), wav.getframerate()
        samples = array.array("h", wav.readframes(wav.getnframes()))
    if sys.byteorder == "big":
        samples.byteswap()
    window = rate // 10 * channels
    squares = [s * s for s in samples]
    loud = [db(math.sqrt(sum(w) / len(w))) >= SILENT_WINDOW_DB
            for w in (squares[i:i + window] for i in range(0, len(squares), window))]
    last_loud = max((i for i, is_loud in enumerate(loud) if is_loud), default=-1)
    return {
        "seconds": len(samples) / channels / rate,
        "sounding": (last_loud + 1) / 10,
        "rms_db": db(math.sqrt(sum(squares) / max(1, len(squares)))),
        "peak_db": db(max((abs(s) for s in samples), default=0)),
        "silent": loud.count(False) / max(1, len(loud)),
    }


def main(args):
    if not args:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    failed = False
    width = max(len(arg.split(":")[0]) for arg in args) + 2
    print(f"{'file':<{width}}{'seconds':>9}{'sounding':>10}{'RMS dBFS':>10}{'peak dBFS':>11}"
          f"{'silent':>8}")
    for arg in args:
        path, *limits = arg.split(":")
        m = measure(path)
        problems = []
        if m["peak_db"] >= PEAK_LIMIT_DB:
            problems.append("clips")
        if m["rms_db"] < QUIET_RMS_DB:
            problems.append("silent")
        if limits and not float(limits[0]) <= m["sounding"] <= float(limits[1]):
            problems.append(f"sounds outside {limits[0]}-{limits[1]} s")
        failed |= bool(problems)
        print(f"{path:<{width}}{m['seconds']:>9.2f}{m['sounding']:>10.1f}{m['rms_db']:>10.1f}"
              f"{m['peak_db']:>11.1f}{m['silent']:>8.0%}  {'; '.join(problems) or 'ok'}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
