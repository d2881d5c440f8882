"""The exceptions and warnings of the kaptor package."""


class ControlError(Exception):
    """The control reported a failure: ``message`` is its text, ``code`` the number it
    carries (``(E: 402)`` gives 402), 0 when it carries none."""

    def __init__(self, message: str, code: int = 0):
        super().__init__(message)
        self.message = message
        self.code = code


class BoardError(ControlError):
    """The control ended its work after a message, where a program of its own would have
    ended (``status`` is the exit status it asked for). The board is closed; open it again to
    go on."""

    def __init__(self, message: str, code: int = 0, status: int = 1):
        super().__init__(message, code)
        self.status = status


class ControlWarning(UserWarning):
    """A message the control showed and carried on after (``code`` as in ControlError)."""

    def __init__(self, message: str, code: int = 0):
        super().__init__(message)
        self.message = message
        self.code = code


class Interrupted(Exception):
    """A capture stopped after its current read because SIGINT arrived (internal: the
    package turns it into KeyboardInterrupt)."""
