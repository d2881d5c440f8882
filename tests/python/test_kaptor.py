"""The kaptor module against the installed simulated board."""

import os
import pathlib
import signal
import subprocess
import sys
import threading
import warnings
import zlib

import numpy
import pytest

import kaptor
from conftest import run_kaptor


def read_pgm(path):
    data = path.read_bytes()
    magic, width, height, top, pixels = data.split(maxsplit=4)
    assert (magic, top) == (b"P5", b"255")
    return numpy.frombuffer(pixels, numpy.uint8).reshape(int(height), int(width))


# The pictures of other configurations are Api.CapturesTheControlsPictureRowsTopFirst's; a padded
# row shows that the array holds the picture's rows without the file's padding.
@pytest.mark.parametrize("values", [{},
                                    {"interlaced": 0, "activeLines": 300, "pixelsPerLine": 333}])
def test_a_capture_is_kaptors_picture(drive, tmp_path, values):
    with kaptor.open(simulated=True, drive_c=drive) as board:
        board.configure(**values)
        board.initialize()
        picture = board.capture(tmp_path / "api.pgm")
    run_kaptor(drive, "--sim", "-q", "capture", "-o", str(tmp_path / "cli.pgm"))
    expected = read_pgm(tmp_path / "cli.pgm")
    assert picture.dtype == numpy.uint8 and picture.flags.owndata is False
    assert numpy.array_equal(picture, expected)
    assert numpy.array_equal(read_pgm(tmp_path / "api.pgm"), expected)


# One refusal of each kind; the rest are in Api.RefusedValuesRaiseTheDialogsMessageAndWriteNothing
# and DialogExchange.EachEntryConvertsAndChecksItsText.
@pytest.mark.parametrize("values, message", [
    ({"gain": 256}, "Escriba un número entero entre 0 y 255."),
    ({"configName": "a/b"}, "Escriba un nombre de archivo sin carpeta: no vacío, sin \\ / : ni "
                            "caracteres de control, y distinto de . y .."),
    ({"colour": 1}, "'colour' is not a field of the dialog"),
])
def test_refused_values_raise_the_dialogs_message_and_write_nothing(drive, values, message):
    stored = drive / "KAPTOR" / "CONFIG" / "EJEMPLO.TXT"
    before = stored.read_bytes()
    with kaptor.open(drive_c=drive) as board:
        with pytest.raises(ValueError) as refused:
            board.configure(**values)
        assert str(refused.value) == message
        assert stored.read_bytes() == before
        board.configure(gain=200, fieldInversion=True)
        assert (board.settings["gain"], board.settings["fieldInversion"]) == (200, 1)
    assert kaptor.configurations(drive_c=drive) == ["EJEMPLO.TXT"]


def test_configurations_are_listed_selected_saved_and_deleted(drive):
    folder = drive / "KAPTOR" / "CONFIG"
    (folder / "OTRA.TXT").write_bytes((folder / "EJEMPLO.TXT").read_bytes())
    with kaptor.open(drive_c=drive) as board:
        assert sorted(board.configurations()) == ["EJEMPLO.TXT", "OTRA.TXT"]
        with pytest.raises(ValueError, match="is not in the configuration folder"):
            board.select("NADA.TXT")
        board.select("OTRA.TXT")
        assert board.settings["configName"] == "OTRA.TXT"
        board.save()
        board.delete("EJEMPLO.TXT")
        with pytest.raises(kaptor.ControlError, match="nothing was deleted"):
            board.delete("EJEMPLO.TXT")
        assert board.configurations() == ["OTRA.TXT"]


def test_messages_the_control_carries_on_after_are_warnings_or_callbacks(drive):
    too_large = {"pixelsPerLine": 2047, "activeLines": 2047}
    with kaptor.open(simulated=True, drive_c=drive) as board:
        board.configure(**too_large)
        board.initialize()
        with pytest.warns(kaptor.ControlWarning) as shown:
            assert board.capture().shape == (0, 0)
        assert [w.message.code for w in shown] == [403]
    heard = []
    with kaptor.open(simulated=True, drive_c=drive, on_message=lambda *m: heard.append(m)) as board:
        board.initialize()
        with warnings.catch_warnings():
            warnings.simplefilter("error")
            board.capture()
    assert heard == [("Imagen demasiado grande para el buffer de captura!!! (E: 403)", 403)]


# A child interpreter for each fault of the simulated board: the failure is a BoardError and
# the interpreter goes on after it.
CHILD = """
import kaptor, sys
board = kaptor.open(simulated=True, drive_c=sys.argv[1])
try:
    board.initialize()
    board.capture()
except kaptor.BoardError as error:
    print(repr(error.message), error.code, error.status)
try:
    board.capture()
except kaptor.BoardError:
    print("closed")
"""


@pytest.mark.parametrize("faults, said", [
    ("no-device", "'ERROR AL ABRIR PUERTO USB. Reintente nuevamente' 0 1"),
    ("write-zero-at=3", "'Error al escribir puerto USB (5)' 5 1"),
    ("write-zero-at=45", "'Error al escribir puerto USB3' 0 1"),
])
def test_what_ends_the_process_in_the_control_raises_board_error(drive, faults, said):
    env = dict(os.environ, KAPTOR_SIM_FAULTS=faults)
    child = subprocess.run([sys.executable, "-c", CHILD, str(drive)], env=env,
                           capture_output=True, text=True, timeout=60)
    assert (child.returncode, child.stdout) == (0, said + "\nclosed\n"), child.stderr


@pytest.mark.parametrize("function, first", [
    ("FT_Write", "Error: Can't Find FT_Write"),
    ("missing", "cannot load the board's driver library '{library}' ("),
])
def test_after_a_board_error_a_second_open_works(drive, function, first):
    library = os.path.join(os.environ["KAPTOR_TEST_LIB_DIR"], f"libkaptorsim_no_{function}.so")
    heard = []
    with kaptor.open(library=library, drive_c=drive, on_message=lambda *m: heard.append(m)) as broken:
        with pytest.raises(kaptor.BoardError) as ended:
            broken.initialize()
            broken.capture()
        assert ended.value.status == 1
    assert heard[0][0].startswith(first.format(library=library))
    with kaptor.open(simulated=True, drive_c=drive) as board:
        board.initialize()
        assert board.capture().shape == (496, 640)


def test_a_thread_captures_while_the_main_thread_counts(board):
    pictures = []
    thread = threading.Thread(target=lambda: pictures.append(board.capture()))
    count = 0
    thread.start()
    while thread.is_alive():
        count += 1
    assert pictures[0].shape == (496, 640)
    assert count > 100_000


def test_ctrl_c_interrupts_a_capture_and_leaves_the_board_usable(board):
    # After the 600 ms the board needs to settle, while the frame is read.
    timer = threading.Timer(0.7, os.kill, (os.getpid(), signal.SIGINT))
    timer.start()
    with pytest.raises(KeyboardInterrupt):
        board.capture()
    timer.join()
    with warnings.catch_warnings():
        warnings.simplefilter("error")  # no time-out: the next frame comes whole
        assert board.capture().shape == (496, 640)


def test_capture_many_and_a_picture_that_outlives_its_board(drive):
    with kaptor.open(simulated=True, drive_c=drive) as board:
        board.initialize()
        pictures = list(board.capture_many(2, interval=0.1))
    assert len(pictures) == 2 and numpy.array_equal(pictures[0], pictures[1])
    assert int(pictures[0].sum()) > 0


def test_the_example_saves_the_mean_as_png(drive, tmp_path, board):
    example = pathlib.Path(__file__).parents[2] / "examples" / "average.py"
    subprocess.run([sys.executable, str(example), "--frames", "2", "--drive-c", str(drive),
                    str(tmp_path / "mean.png")], check=True, capture_output=True)
    png = (tmp_path / "mean.png").read_bytes()
    assert png[:8] == b"\x89PNG\r\n\x1a\n"
    idat = png[png.index(b"IDAT") + 4:png.index(b"IEND") - 8]
    rows = numpy.frombuffer(zlib.decompress(idat), numpy.uint8).reshape(496, 641)
    assert numpy.array_equal(rows[:, 1:], board.capture())  # a still scene: the mean is a frame
