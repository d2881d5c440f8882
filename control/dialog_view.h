// The configuration dialog's window as its logic sees it: controls by id, their texts, check
// states and the combo box's list. A real dialog window and the in-memory one implement it; the
// dialog logic knows no toolkit.
#pragma once

#include <string>
#include <string_view>

namespace kaptor::control {

// Controls of dialog 201.
constexpr int IDC_ACEPTAR = 1;   // the default push button (IDOK)
constexpr int IDC_CANCELAR = 2;  // IDCANCEL: also Escape and the close box
constexpr int IDC_PIXELS_PER_LINE = 1027;
constexpr int IDC_HORIZONTAL_POSITION = 1020;
constexpr int IDC_PIXEL_INTERLEAVE = 1021;
constexpr int IDC_ACTIVE_LINES = 1022;
constexpr int IDC_VERTICAL_POSITION = 1023;
constexpr int IDC_PLL_PIXEL_TOTAL = 1024;
constexpr int IDC_INTERLACED = 1026;
constexpr int IDC_APLICAR = 1028;
constexpr int IDC_GAIN = 1030;
constexpr int IDC_OFFSET = 1032;
constexpr int IDC_INPUT_CONFIG = 1034;
constexpr int IDC_SENSITIVITY = 1036;
constexpr int IDC_DICOM = 1037;
constexpr int IDC_FIELD_INVERSION = 1133;
constexpr int IDC_SINGLE_FIELD = 1135;
constexpr int IDC_CONFIG_NAME = 1137;
constexpr int IDC_BORRAR = 1138;

// How the modal loop ended.
constexpr int END_OK = 1;
constexpr int END_CANCEL = 2;

// What a control tells its dialog.
enum class Notification { Clicked, EditChanged, SelectionChanged };

// No entry of the combo box's list.
constexpr int NO_SELECTION = -1;

class DialogView {
  public:
    virtual ~DialogView() = default;

    // Edit boxes (texts in Windows-1252).
    virtual std::string text(int id) const = 0;
    virtual void setText(int id, std::string_view text) = 0;

    // Check boxes.
    virtual bool checked(int id) const = 0;
    virtual void setChecked(int id, bool checked) = 0;

    // The combo box: its list, its current selection and its edit field.
    virtual void resetList() = 0;
    virtual void appendListEntry(std::string_view entry) = 0;
    virtual int listCount() const = 0;
    virtual std::string listEntry(int index) const = 0;
    virtual int selection() const = 0;
    // Selects the first entry that begins with prefix, letter case ignored, and shows it in the
    // edit field; the index, or NO_SELECTION with the selection and edit field unchanged.
    virtual int selectFirstBeginningWith(std::string_view prefix) = 0;
    virtual std::string comboText() const = 0;
    virtual void setComboText(std::string_view text) = 0;

    virtual void focus(int id) = 0;
    // Ends the modal loop; the window closes once the handler that asked returns.
    virtual void endDialog(int code) = 0;
};

}  // namespace kaptor::control
