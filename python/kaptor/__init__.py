"""Still pictures from the KAPTOR frame-grabber board, as numpy arrays.

    import kaptor
    with kaptor.open(simulated=True) as board:
        board.initialize()
        picture = board.capture()          # numpy.ndarray, uint8, shape (lines, pixels)
        board.configure(gain=200)          # the dialog's checks: ValueError with its message
        print(board.settings, kaptor.configurations())

The configuration lives on drive C: (``KAPTOR_DRIVE_C``, or ``drive_c=`` given to open).
Messages that the control shows and carries on after arrive as ``ControlWarning`` warnings,
or to the ``on_message`` callback given to open. Failures raise ``ControlError``; where the
control would end the process, ``BoardError``, and the board is closed.
"""

from __future__ import annotations

import os
import signal
import threading
import time
import warnings
from typing import Callable, Iterator, Optional

import numpy

from . import _kaptor
from ._errors import BoardError, ControlError, ControlWarning, Interrupted

__all__ = ["open", "configurations", "Board", "ControlError", "BoardError", "ControlWarning",
           "__version__"]
__version__ = _kaptor.VERSION


class Board:
    """A session of the capture control on one board; made by :func:`kaptor.open`."""

    def __init__(self, session: "_kaptor.Session",
                 on_message: Optional[Callable[[str, int], None]]):
        self._session = session
        self._on_message = on_message

    def __enter__(self) -> "Board":
        return self

    def __exit__(self, *exc) -> None:
        self.close()

    def _call(self, method, *args):
        try:
            result = method(*args)
        except BoardError as error:
            self._deliver(error.message)
            raise
        except BaseException:
            self._deliver()
            raise
        self._deliver()
        return result

    def _deliver(self, ending: Optional[str] = None) -> None:
        messages = self._session.take_messages()
        if ending is not None and messages and messages[-1][0] == ending:
            messages.pop()  # the error carries it
        for text, code in messages:
            if self._on_message is not None:
                self._on_message(text, code)
            else:
                warnings.warn(ControlWarning(text, code), stacklevel=3)

    def initialize(self) -> None:
        """Read the configuration in use, open the board and program it (Inicializa)."""
        self._call(self._session.initialize)

    def capture(self, path: Optional[os.PathLike | str] = None) -> numpy.ndarray:
        """Capture one frame (Toma) and return it: uint8, shape (lines, pixels), rows top
        first. With ``path`` the picture is also written there, as bmp (the control's own
        file), png or pgm by the extension; the file is written whole or not at all.

        The GIL is released during the capture. Ctrl-C raises KeyboardInterrupt after the
        capture's current read; the board stays usable."""
        target = None if path is None else os.fspath(path)
        if threading.current_thread() is not threading.main_thread():
            return self._call(self._session.capture, target, -1)
        # Python's own SIGINT handler writes the signal's number to the wakeup descriptor,
        # which the capture watches between its reads.
        read_end, write_end = os.pipe()
        try:
            os.set_blocking(read_end, False)
            os.set_blocking(write_end, False)
            previous = signal.set_wakeup_fd(write_end)
            try:
                return self._call(self._session.capture, target, read_end)
            finally:
                signal.set_wakeup_fd(previous)
        except Interrupted:
            _kaptor.check_signals()  # runs the SIGINT handler: KeyboardInterrupt
            raise KeyboardInterrupt from None
        finally:
            os.close(read_end)
            os.close(write_end)

    def capture_many(self, count: int, interval: float = 0.0) -> Iterator[numpy.ndarray]:
        """Capture ``count`` frames, ``interval`` seconds apart (from start to start), as
        ``kaptor capture --count --interval`` does; yields each frame as it comes."""
        if count < 1 or interval < 0:
            raise ValueError("count must be at least 1 and interval not negative")
        start = time.monotonic()
        for number in range(count):
            delay = start + number * interval - time.monotonic()
            if delay > 0:
                time.sleep(delay)
            yield self.capture()

    def configure(self, **values: int | str) -> None:
        """Change the configuration in use through the configuration dialog's own checks
        and save it, e.g. ``configure(gain=200, fieldInversion=1)``. A value the dialog
        refuses raises ValueError with the dialog's message, and nothing is written."""
        texts = [(name, str(int(value)) if isinstance(value, bool) else str(value))
                 for name, value in values.items()]
        self._call(self._session.configure, texts)

    @property
    def settings(self) -> dict[str, int | str]:
        """The configuration in use: names as ``kaptor config show`` prints them."""
        texts = self._call(self._session.text_settings)
        numbers = self._call(self._session.number_settings)
        return {**dict(texts), **dict(numbers)}

    def configurations(self) -> list[str]:
        """The configurations in the configuration folder (C:\\KAPTOR\\CONFIG\\)."""
        return self._call(self._session.configurations)

    def select(self, name: str) -> None:
        """Make ``name``, a file in the configuration folder, the configuration in use."""
        self._call(self._session.select, name)

    def save(self) -> None:
        """Read the configuration in use and write it again, in the control's own layout."""
        self._call(self._session.save)

    def delete(self, name: str) -> None:
        """Delete the configuration ``name`` from the configuration folder (ControlError when
        nothing was deleted)."""
        self._call(self._session.remove, name)

    def close(self) -> None:
        """Close the board (also at the end of a ``with`` block)."""
        self._session.close()


def open(simulated: bool = False, library: Optional[os.PathLike | str] = None,
         drive_c: Optional[os.PathLike | str] = None,
         on_message: Optional[Callable[[str, int], None]] = None,
         on_question: Optional[Callable[[str, int], bool]] = None) -> Board:
    """Open a session of the capture control.

    simulated: the simulated board installed with kaptor; library: the board's driver
    library (default: ``KAPTOR_D2XX_LIBRARY``, else libkaptor-d2xx.so installed with kaptor). drive_c: the
    folder that stands for drive C: (default: as kaptor). on_message(text, code): messages
    the control carries on after (default: ControlWarning warnings). on_question(text, code):
    True answers OK/Yes (default: the safe answer, Cancel/No)."""
    if simulated and library is not None:
        raise ValueError("simulated and library exclude each other")
    board = (_kaptor.Board.SIMULATED if simulated else
             _kaptor.Board.NAMED if library is not None else _kaptor.Board.DEFAULT)
    session = _kaptor.Session(board, "" if library is None else os.fspath(library),
                              None if drive_c is None else os.fspath(drive_c), on_question)
    return Board(session, on_message)


def configurations(drive_c: Optional[os.PathLike | str] = None) -> list[str]:
    """The configurations in C:\\KAPTOR\\CONFIG\\ (no board is opened)."""
    with open(drive_c=drive_c) as board:
        return board.configurations()
