#include "cli/dialog_steps.h"

#include <charconv>

#include "control/dialog_view.h"
#include "platform/text.h"

namespace kaptor::cli {
namespace {

using control::InMemoryDialogView;

// Edit boxes and check boxes in template order.
constexpr int SHOWN_CONTROLS[] = {
    control::IDC_PIXELS_PER_LINE,
    control::IDC_HORIZONTAL_POSITION,
    control::IDC_PIXEL_INTERLEAVE,
    control::IDC_ACTIVE_LINES,
    control::IDC_VERTICAL_POSITION,
    control::IDC_PLL_PIXEL_TOTAL,
    control::IDC_INTERLACED,
    control::IDC_GAIN,
    control::IDC_OFFSET,
    control::IDC_INPUT_CONFIG,
    control::IDC_SENSITIVITY,
    control::IDC_DICOM,
    control::IDC_FIELD_INVERSION,
    control::IDC_SINGLE_FIELD,
};

constexpr struct {
    std::string_view name;
    int id;
} BUTTON_NAMES[] = {
    {"ACEPTAR", control::IDC_ACEPTAR},
    {"APLICAR", control::IDC_APLICAR},
    {"CANCELAR", control::IDC_CANCELAR},
    {"BORRAR", control::IDC_BORRAR},
};

std::optional<int> parseNumber(std::string_view text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> parseControl(std::string_view text) {
    for (const auto& button : BUTTON_NAMES) {
        if (text == button.name) {
            return button.id;
        }
    }
    return parseNumber(text);
}

}  // namespace

std::optional<DialogStep> parseDialogStep(std::string_view step, std::string& error) {
    DialogStep parsed;
    parsed.original = step;
    const auto colon = step.find(':');
    const std::string_view verb = step.substr(0, colon);
    const std::string_view rest = colon == std::string_view::npos ? "" : step.substr(colon + 1);
    if (verb == "type" && colon != std::string_view::npos) {
        const auto equals = rest.find('=');
        const auto id = parseNumber(rest.substr(0, equals));
        if (equals != std::string_view::npos && id) {
            const auto text = platform::utf8ToControlText(rest.substr(equals + 1));
            if (!text) {
                error = "--dialog '" + std::string(step) +
                        "' types a character the control cannot keep (Windows-1252 only)";
                return std::nullopt;
            }
            parsed.kind = DialogStep::Kind::Type;
            parsed.controlId = *id;
            parsed.text = *text;
            return parsed;
        }
    } else if (verb == "click" && colon != std::string_view::npos) {
        if (const auto id = parseControl(rest)) {
            parsed.kind = DialogStep::Kind::Click;
            parsed.controlId = *id;
            return parsed;
        }
    } else if (verb == "pick" && colon != std::string_view::npos) {
        if (const auto number = parseNumber(rest); number && *number >= 1) {
            parsed.kind = DialogStep::Kind::Pick;
            parsed.entryNumber = *number;
            return parsed;
        }
    } else if (step == "drop") {
        parsed.kind = DialogStep::Kind::Drop;
        return parsed;
    } else if (step == "show") {
        parsed.kind = DialogStep::Kind::Show;
        return parsed;
    }
    error = "--dialog '" + std::string(step) +
            "' is not type:ID=TEXT, click:ID|ACEPTAR|APLICAR|CANCELAR|BORRAR, pick:N (from 1), "
            "drop or show";
    return std::nullopt;
}

void printDialogState(const InMemoryDialogView& view, std::FILE* out) {
    for (const int id : SHOWN_CONTROLS) {
        const std::string value =
            view.isCheckBox(id) ? (view.checked(id) ? "1" : "0") : view.text(id);
        std::fprintf(out, "%d=%s\n", id, platform::cp1252ToUtf8(value).c_str());
    }
    std::fprintf(out, "%d.text=%s\n", control::IDC_CONFIG_NAME,
                 platform::cp1252ToUtf8(view.comboText()).c_str());
    std::fprintf(out, "%d.selected=%d\n", control::IDC_CONFIG_NAME, view.selection() + 1);
    std::string entries;
    for (int i = 0; i < view.listCount(); ++i) {
        if (i > 0) {
            entries += '|';
        }
        entries += platform::cp1252ToUtf8(view.listEntry(i));
    }
    std::fprintf(out, "%d.list=%s\n", control::IDC_CONFIG_NAME, entries.c_str());
    std::fflush(out);
}

bool SteppedDialogRunner::take(const DialogStep& step, InMemoryDialogView& view) {
    switch (step.kind) {
        case DialogStep::Kind::Type:
            return view.type(step.controlId, step.text);
        case DialogStep::Kind::Click:
            return view.click(step.controlId);
        case DialogStep::Kind::Pick:
            return view.pick(step.entryNumber);
        case DialogStep::Kind::Drop:
            return view.drop();
        case DialogStep::Kind::Show:
        default:
            printDialogState(view, stdout);
            return true;
    }
}

void SteppedDialogRunner::runConfigDialog(control::CBoardConfigDlg& dialog) {
    InMemoryDialogView view(dialog);
    view.open();
    while (!view.ended()) {
        if (steps_.empty()) {
            std::fprintf(stderr,
                         "kaptor: no --dialog step left; the configuration dialog closes as "
                         "CANCELAR\n");
            view.click(control::IDC_CANCELAR);
            break;
        }
        const DialogStep step = std::move(steps_.front());
        steps_.pop_front();
        if (!take(step, view)) {
            std::fprintf(stderr,
                         "kaptor: --dialog %s: no such control or entry, or it is disabled\n",
                         step.original.c_str());
            stepRefused_ = true;
        }
    }
}

void SteppedDialogRunner::runAboutBox() {
    operator_.messageBox("KAPTORAX Control, Version 1.0");
}

}  // namespace kaptor::cli
