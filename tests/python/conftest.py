"""Fixtures of the kaptor module's tests: a drive C: with kaptor's sample configuration and a
still scene for the simulated board, so that every capture of it (here and by kaptor) is the
same picture."""

import os
import pathlib
import subprocess
import tempfile

import numpy
import pytest

KAPTOR = pathlib.Path(os.environ.get("KAPTOR_BIN_DIR", "")) / "kaptor"

# Set before the simulated board is first loaded: it reads its environment once.
_scene = pathlib.Path(tempfile.mkdtemp()) / "scene.pgm"
_y, _x = numpy.mgrid[0:496, 0:640]
_scene.write_bytes(b"P5\n640 496\n255\n" + ((_x // 3 + _y * 7 + (_x * _y) % 11) % 256)
                   .astype(numpy.uint8).tobytes())
os.environ["KAPTOR_SIM_SCENE"] = str(_scene)


def run_kaptor(drive, *args):
    env = dict(os.environ, KAPTOR_DRIVE_C=str(drive))
    return subprocess.run([str(KAPTOR), *args], env=env, capture_output=True, check=True)


@pytest.fixture
def drive(tmp_path):
    run_kaptor(tmp_path / "c", "config", "init")
    return tmp_path / "c"


@pytest.fixture
def board(drive):
    import kaptor
    with kaptor.open(simulated=True, drive_c=drive) as opened:
        opened.initialize()
        yield opened
