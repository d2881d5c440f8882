// The exchange between the dialog's controls and the BoardSettings record: which control holds
// which member, how its content converts, and what is accepted when the fields are saved.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "control/board_settings.h"
#include "control/dialog_view.h"
#include "platform/operator.h"

namespace kaptor::control {

enum class Conversion { Signed, Unsigned, CheckState, ComboText };

struct ExchangeEntry {
    int controlId;
    std::string_view name;  // the member's name, as hosts print it
    Conversion conversion;
    std::int32_t BoardSettings::*signedMember;     // Signed and CheckState
    std::uint32_t BoardSettings::*unsignedMember;  // Unsigned
    bool ranged;
    std::int64_t low;
    std::int64_t high;
};

constexpr std::size_t CONFIG_NAME_MAX_LENGTH = 30;

// In exchange order, which is also the order of validation.
// clang-format off
constexpr std::array<ExchangeEntry, 15> EXCHANGE_TABLE{{
    {IDC_PIXEL_INTERLEAVE,    "pixelInterleave",    Conversion::Signed,     &BoardSettings::pixelInterleave,    nullptr, true, 0, 255},
    {IDC_DICOM,               "dicom",              Conversion::CheckState, &BoardSettings::dicom,              nullptr, false, 0, 0},
    {IDC_GAIN,                "gain",               Conversion::Unsigned,   nullptr, &BoardSettings::gain,               true, 0, 255},
    {IDC_PIXELS_PER_LINE,     "pixelsPerLine",      Conversion::Signed,     &BoardSettings::pixelsPerLine,      nullptr, true, 0, 2047},
    {IDC_HORIZONTAL_POSITION, "horizontalPosition", Conversion::Signed,     &BoardSettings::horizontalPosition, nullptr, true, 0, 255},
    {IDC_OFFSET,              "offset",             Conversion::Unsigned,   nullptr, &BoardSettings::offset,             true, 0, 255},
    {IDC_PLL_PIXEL_TOTAL,     "pllPixelTotal",      Conversion::Signed,     &BoardSettings::pllPixelTotal,      nullptr, true, 0, 2047},
    {IDC_INPUT_CONFIG,        "inputConfig",        Conversion::Signed,     &BoardSettings::inputConfig,        nullptr, true, 0, 2047},
    {IDC_SENSITIVITY,         "sensitivity",        Conversion::Signed,     &BoardSettings::sensitivity,        nullptr, false, 0, 0},
    {IDC_ACTIVE_LINES,        "activeLines",        Conversion::Signed,     &BoardSettings::activeLines,        nullptr, true, 0, 2047},
    {IDC_VERTICAL_POSITION,   "verticalPosition",   Conversion::Signed,     &BoardSettings::verticalPosition,   nullptr, true, 0, 255},
    {IDC_INTERLACED,          "interlaced",         Conversion::Signed,     &BoardSettings::interlaced,         nullptr, true, 0, 1},
    {IDC_CONFIG_NAME,         "configName",         Conversion::ComboText,  nullptr, nullptr, false, 0, 0},
    {IDC_SINGLE_FIELD,        "singleField",        Conversion::CheckState, &BoardSettings::singleField,        nullptr, false, 0, 0},
    {IDC_FIELD_INVERSION,     "fieldInversion",     Conversion::CheckState, &BoardSettings::fieldInversion,     nullptr, false, 0, 0},
}};
// clang-format on

// The entry of the member called name; nullptr when there is none.
const ExchangeEntry* findExchangeEntry(std::string_view name);

// The value a control's text stands for, or the validation message that refuses it. Numbers
// are decimal with blanks around them allowed and a minus sign for signed members only; names
// are plain file names of at most 30 characters. An empty name is refused only when leaving
// (ACEPTAR, APLICAR): while the operator edits it, it may be empty for a moment.
struct Converted {
    std::int64_t number = 0;
    std::string refusal;  // empty when the text is accepted
};
Converted convertText(const ExchangeEntry& entry, std::string_view text, bool leaving);

// Save the fields: each control's content into its member, in exchange order. At the first
// refused entry its validation message is shown, the focus moves to that control and the
// exchange stops: members before it are stored, that member and the rest keep their values.
bool saveFields(DialogView& view, BoardSettings& settings, platform::Operator& person,
                bool leaving);

// Show the fields: each member into its control. The combo box selects the first entry that
// begins with configName; with none, the name goes into its edit field as text.
void showFields(DialogView& view, const BoardSettings& settings);

}  // namespace kaptor::control
