#include "cli/usage.h"

namespace kaptor::cli {

const char* const USAGE_MAIN = R"(kaptor: the headless host of the KAPTORAX capture control

Usage: kaptor [OPTIONS] COMMAND [ARGUMENTS]

Commands:
  capture [-o PATH]     initialise the board and capture one picture to a BMP file
  config SUBCOMMAND     show, list, select, save, delete configurations; lay down the sample
  invoke STEP...        host one control and call its members by dispatch id or name

Options (before or after the command):
  --answer ok|cancel|yes|no   answer the control's next question (repeatable, used in order)
  --sim                       use the simulated board installed beside kaptor
  -h, --help                  this text; 'kaptor COMMAND --help' tells about one command

Every message box of the control is one line on standard error: "KAPTORAX: " and its text.
Questions take the --answer values in order, then the terminal's answer when there is one,
else the safe answer (Cancel, No). When the control ends the process, kaptor exits with 1.

Files: Windows paths map onto folders. Drive C: is $KAPTOR_DRIVE_C (default
${XDG_DATA_HOME:-~/.local/share}/kaptor/drive_c); other drives are $KAPTOR_DRIVE_<LETTER>;
the current drive is C: unless $KAPTOR_CURRENT_DRIVE names another. The board's library
"Ftd2xx.dll" is $KAPTOR_D2XX_LIBRARY, else the system's libftd2xx.so.
)";

const char* const USAGE_CONFIG = R"(Usage: kaptor config SUBCOMMAND

  init          lay down \KAPTOR\CONFIG.TXT naming EJEMPLO.TXT and \KAPTOR\CONFIG\EJEMPLO.TXT
                (a 640 x 496 interlaced example); an existing file is never overwritten
  show          read the configuration in use (as the control does) and print configName,
                textLine1, textLine2 and the fourteen fields as name=value lines
  list          list the configurations in C:\KAPTOR\CONFIG\ as the dialog's list holds them
  save          read the configuration in use and save it again (the control asks before it
                overwrites: answer with --answer ok or --answer cancel)
  select NAME   make NAME the configuration in use (rewrites the selector)
  delete NAME   delete C:\KAPTOR\CONFIG\NAME after one confirmation (--answer ok)
)";

const char* const USAGE_INVOKE = R"(Usage: kaptor invoke STEP...

Hosts one control and runs the steps in order, as a host program would:
  put:ID=TEXT  or  put:NAME=TEXT     put a text property (1 dirconfig, 2 destinoimagen)
  get:ID       or  get:NAME          print a property's text on standard output
  call:ID      or  call:NAME         call a method (3 Toma, 4 Inicializa, 5 Set, -552 AboutBox)

Example: kaptor invoke put:2=c:\KAPTOR\Imagen1.BMP call:Inicializa call:Toma get:destinoimagen
)";

const char* const USAGE_CAPTURE = R"(Usage: kaptor capture [-o PATH]

Does what the test program does at start and on "Adquiere": puts dirconfig "c:\KAPTOR\" and
destinoimagen (PATH, default "c:\KAPTOR\Imagen1.BMP"), calls Inicializa, then Toma, and prints
where the picture was written. PATH may be a Windows path or a path of this machine.
)";

}  // namespace kaptor::cli
