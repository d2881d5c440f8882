// Every text the control shows, in Windows-1252, exactly as the operator reads it.
#pragma once

#include <string_view>

namespace kaptor::control::msg {

// Configuration files.
constexpr std::string_view SELECTOR_OPEN_DIALOG =
    "Error al abrir archivo de configuracion!!! (E: 400)";
constexpr std::string_view CONFIG_OPEN_DIALOG =
    "Error al abrir archivo de configuracion!!! (E: 401)";
constexpr std::string_view SELECTOR_OPEN_CONTROL =
    "Error al abrir archivo de configuracion!!! (E: 410)";
constexpr std::string_view CONFIG_OPEN_CONTROL =
    "Error al abrir archivo de configuracion!!! (E: 411)";
constexpr std::string_view OVERWRITE_QUESTION =
    "Ya existe un archivo con ese nombre.Desea sobreescribirlo?";
constexpr std::string_view FIND_NEXT_FAILED = "Error al buscar el siguiente archivo *.TXT (899)";
constexpr std::string_view FIND_CLOSE_FAILED =
    "Error al cerrar la b\xFAsqueda de inicio CNF (907)!!";
// A name that is not a plain file name in the configuration folder.
constexpr std::string_view CONFIG_NAME_INVALID =
    "Nombre de archivo de configuracion invalido!!! (E: 412)";
// The configuration file or the selector could not be written; the stored file is unchanged.
constexpr std::string_view CONFIG_WRITE_FAILED =
    "Error al grabar archivo de configuracion!!! (E: 413)";
constexpr std::string_view SELECTOR_WRITE_FAILED =
    "Error al grabar archivo de configuracion!!! (E: 414)";

// USB link.
constexpr std::string_view LIBRARY_MISSING = "Error: Can't Load ft8u245.dll";
constexpr std::string_view OPEN_FAILED = "ERROR AL ABRIR PUERTO USB. Reintente nuevamente";
constexpr std::string_view WRITE_FAILED_PROGRAMMING = "Error al escribir puerto USB (5)";
constexpr std::string_view WRITE_FAILED_TRIGGER = "Error al escribir puerto USB3";

// Capture and image file.
constexpr std::string_view TIME_OUT = "Error de Time out 22";
constexpr std::string_view IMAGE_CREATE_FAILED = "Error al crear archivo de imagen!!! (E: 402)";
// A geometry larger than the image buffer; the capture is refused.
constexpr std::string_view FRAME_TOO_LARGE =
    "Imagen demasiado grande para el buffer de captura!!! (E: 403)";
// An interlaced value other than 0 and 1; the frame is laid out line by line.
constexpr std::string_view INTERLACED_INVALID =
    "Valor de Entrelazado invalido (0=NO,1=SI)!!! (E: 404)";

// Deleting a configuration: prefix, the file's path, suffix (three blanks before the mark).
constexpr std::string_view CONFIRM_DELETE_PREFIX = "Borrar\xE1 el archivo: ";
constexpr std::string_view CONFIRM_DELETE_SUFFIX =
    "   \xBF"
    "ESTA SEGURO?";

// Validation when the dialog's fields are saved.
constexpr std::string_view VALIDATE_NOT_A_NUMBER = "Escriba un n\xFAmero entero.";
constexpr std::string_view VALIDATE_NOT_NEGATIVE = "Escriba un n\xFAmero entero sin signo.";
// Prefix, low end, separator, high end, full stop.
constexpr std::string_view VALIDATE_RANGE_PREFIX = "Escriba un n\xFAmero entero entre ";
constexpr std::string_view VALIDATE_RANGE_AND = " y ";
// Prefix, the limit, suffix.
constexpr std::string_view VALIDATE_TOO_LONG_PREFIX = "Escriba como m\xE1ximo ";
constexpr std::string_view VALIDATE_TOO_LONG_SUFFIX = " caracteres.";
constexpr std::string_view VALIDATE_NOT_A_FILE_NAME =
    "Escriba un nombre de archivo sin carpeta: no vac\xEDo, sin \\ / : ni caracteres de "
    "control, y distinto de . y ..";

// Deleting from the dialog.
constexpr std::string_view DELETE_QUESTION = "Desea borrar el archivo presente ?";

// Set.
constexpr std::string_view TEST_IMAGE = "Tomar\xE1 una imagen de prueba";

}  // namespace kaptor::control::msg
