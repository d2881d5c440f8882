#include "cli/usage.h"

namespace kaptor::cli {

const char* const USAGE_MAIN = R"(kaptor: the headless host of the KAPTORAX capture control

Usage: kaptor [OPTIONS] COMMAND [ARGUMENTS]

Commands:
  capture [-o PATH]     initialise the board and capture pictures (BMP, PNG or PGM)
  config SUBCOMMAND     show, list, select, save, delete configurations; lay down the sample
  devices [--json]      list the attached boards: description, serial, USB bus and address
  invoke STEP...        host one control and call its members by dispatch id or name
  set [--init]          run the configuration dialog (Set), scripted with --dialog steps

Options (before or after the command):
      --answer ok|cancel|yes|no   answer the control's next question (repeatable, in order)
      --sim                       use the simulated board installed with kaptor (never a real
                                  driver: without the simulator kaptor stops with status 2)
  -q, --quiet                     no beep, no progress line
      --device SERIAL             the board with this serial number, when several are attached
      --dialog STEP               act in the configuration dialog (repeatable, in order;
                                  'kaptor set --help' lists the steps)
  -h, --help                      this text; 'kaptor COMMAND --help' tells about one command
      --version                   print kaptor's version
  --                              ends the options: what follows is a name, never an option

Every message box of the control is one line on standard error: "KAPTORAX: " and its text.
Questions take the --answer values in order, then the terminal's answer when there is one,
else the safe answer (Cancel, No). A question is not a failure.

Exit status:
  0  the command did all it says
  1  the control ended the process (after its message)
  2  usage error: wrong options or arguments; nothing was done
  3  the control reported a failure (a KAPTORAX: message) and carried on, or a method
     failed, or 'config delete' removed nothing, or 'config set' saved nothing (the
     configuration could not be read or locked), or standard output could not be written;
     a picture still written is still printed

Messages and what to do:
  E: 400 E: 401 E: 410 E: 411   the selector \KAPTOR\CONFIG.TXT or the configuration it names
                                cannot be opened (missing, not a regular file): 'kaptor config
                                init', 'kaptor config list', 'kaptor config select NAME'
  E: 402   the picture file cannot be created (exit 1): check -o's folder and permissions
  E: 403   the geometry does not fit the image buffer: lower pixelsPerLine or activeLines
  E: 404   interlaced is neither 0 nor 1: fix the configuration file
  E: 412   the configuration name is not a plain file name: use a name like CAMARA.TXT
  E: 413 E: 414   the configuration file or the selector could not be written (the old one is
                  kept): check free space and permissions of \KAPTOR\
  899 907  the configuration folder could not be listed: check C:\KAPTOR\CONFIG\
  Error de Time out 22   the board did not send a whole frame within 3 s (the picture holds
                         what came): check the camera signal, the cable and the geometry
  Error: Can't Load ft8u245.dll   the driver library did not load (kaptor says which file and
                                  why): --sim, or install kaptor's libkaptor-d2xx.so
  Error: Can't Find FT_...  /  FT_... is not valid!   the library lacks a D2XX function: use
                                  the vendor's libftd2xx
  ERROR AL ABRIR PUERTO USB. Reintente nuevamente   no board answered (exit 1): plug it in,
                                  check the USB permissions and that no serial driver holds it
  Error al escribir puerto USB (5)  /  Error al escribir puerto USB3   the board took no byte
                                  (exit 1): replug the board and run again

Files: Windows paths map onto folders. Drive C: is $KAPTOR_DRIVE_C (default
${XDG_DATA_HOME:-~/.local/share}/kaptor/drive_c); other drives are $KAPTOR_DRIVE_<LETTER>;
the current drive is C: unless $KAPTOR_CURRENT_DRIVE names another. The board's library
"Ftd2xx.dll" is $KAPTOR_D2XX_LIBRARY, else the one installed with kaptor (libkaptor-d2xx.so,
over libftdi1; the system's libftd2xx.so when that is missing). $KAPTOR_DEVICE=SERIAL picks the
board with that serial number when several are attached.
)";

const char* const USAGE_CONFIG = R"(Usage: kaptor config SUBCOMMAND [--json] [NAME | NAME=VALUE...]

  init          lay down \KAPTOR\CONFIG.TXT naming EJEMPLO.TXT and \KAPTOR\CONFIG\EJEMPLO.TXT
                (a 640 x 496 interlaced example); an existing file is never overwritten
  show          read the configuration in use (as the control does) and print configName,
                textLine1, textLine2 and the fourteen fields as name=value lines (backslash,
                CR and LF in a value are written \\, \r and \n)
  list          list the configurations in C:\KAPTOR\CONFIG\ as the dialog's list holds them
  save          read the configuration in use and save it again (the control asks before it
                overwrites: answer with --answer ok or --answer cancel)
  set NAME=VALUE...   type each value into its field of the configuration dialog (NAME as
                show prints it; flags 0 or 1; dicom cannot be changed) and leave with
                ACEPTAR, answering the overwrite question yes; a value the dialog would
                refuse exits 2 with the dialog's message and nothing is written; when the
                configuration in use cannot be read nothing is written either (exit 3);
                two at once take turns through \KAPTOR\CONFIG.TXT.lock
  select NAME   make NAME the configuration in use (rewrites the selector); NAME must be a
                plain file name of at most 30 characters in the configuration folder
  delete NAME   delete C:\KAPTOR\CONFIG\NAME after one confirmation (--answer ok); exits 3
                when nothing was deleted

  --json        show: one JSON object; list: one JSON array of names (UTF-8)
  -h, --help    this text

A NAME that starts with "-" follows "--": kaptor config delete -- -OLD.TXT
)";

const char* const USAGE_INVOKE = R"(Usage: kaptor invoke STEP...

Hosts one control and runs the steps in order, as a host program would:
  put:ID=TEXT  or  put:NAME=TEXT     put a text property (1 dirconfig, 2 destinoimagen)
  get:ID       or  get:NAME          print a property's text on standard output
  call:ID      or  call:NAME         call a method (3 Toma, 4 Inicializa, 5 Set, -552 AboutBox)

A method that fails and leaves the failure to its caller (a picture that could not be
written whole) is reported as "kaptor: NAME failed: ..."; the steps go on and kaptor exits 3.

Example: kaptor invoke put:2=c:\KAPTOR\Imagen1.BMP call:Inicializa call:Toma get:destinoimagen
)";

const char* const USAGE_CAPTURE =
    R"(Usage: kaptor capture [-o PATH] [--format bmp|png|pgm] [--count N] [--interval SECONDS]

Does what the test program does at start and on "Adquiere": puts dirconfig "c:\KAPTOR\",
calls Inicializa once, then for each picture puts destinoimagen and calls Toma, and prints
the path of each picture on its own line as soon as the file is complete.

  -o, --output PATH     where the picture goes (default "c:\KAPTOR\Imagen1.BMP"): a Windows
                        path or a path of this machine; "-" writes it to standard output.
                        time fields and %n (the capture's number, from 1) are
                        filled in: -o 'img-%Y%m%d-%H%M%S-%n.png'. The fields, as
                        strftime has them: %Y %y %C %m %d %e %j %H %I %M %S %p %a
                        %A %b %B %h %F %T %R %D %u %w %U %W %c %x %X %Z; %% is a
                        "%". Any other (%Q, %Ey, %10Y, "%." in 100%.bmp) is refused
                        with status 2; a path over 4096 bytes too
      --format FORMAT   bmp (the control's own file, byte for byte), png or pgm (converted
                        from it, written whole or not at all); default: the extension of -o,
                        else bmp
      --count N         capture N pictures in one run (default 1)
      --interval S      seconds from the start of one capture to the start of the next
  -q, --quiet           no beep, no progress line
  -h, --help            this text

A terminal on standard error shows a progress line while a capture waits for its frame.
The control's BMP keeps the 5000 zero bytes after the rows; some readers (ImageMagick) warn
about them and exit 1: use --format png for those.
)";

const char* const USAGE_DEVICES = R"(Usage: kaptor devices [--json]

Lists the boards the driver library finds: description, serial number, USB bus and address,
and "busy" when another program holds the board (then opening it fails). One line each, or
with --json one array of objects (description, serial, bus, address, busy). A library without
the vendor's device information list (the simulated board's) tells descriptions and serial
numbers only. 'kaptor --device SERIAL COMMAND' then works with that board.
)";

const char* const USAGE_SET = R"(Usage: kaptor [--dialog STEP]... set [--init]

Runs the control's Set on a new control pointed at c:\KAPTOR\ (the test picture of APLICAR
goes to c:\KAPTOR\Imagen1.BMP). With --init, Inicializa runs first, so that the programming
reaches the board (use --sim for the simulated board).

The dialog has no window here. Each time it is open it takes the next --dialog steps, in order:
  type:ID=TEXT   replace the text of edit box ID; the combo box 1137 gets TEXT one character
                 at a time, as a person types it
  click:ID       a button or check box by number, or ACEPTAR, APLICAR, CANCELAR, BORRAR
  pick:N         select entry N (from 1) of the combo box's list
  drop           open the combo box's list (it closes at the next pick or click)
  show           print each edit box and check box as ID=VALUE in the dialog's order, then
                 1137.text=, 1137.selected= (from 1, 0 for none) and 1137.list= (entries
                 joined by |)
When the steps run out while the dialog is open, it is left with CANCELAR. A step that cannot
be taken (a disabled control, an entry that is not there) is said and exits 3.

  --init        run Inicializa first
  -h, --help    this text
)";

}  // namespace kaptor::cli
