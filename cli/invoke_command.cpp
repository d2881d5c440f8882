#include <charconv>
#include <cstdio>
#include <optional>

#include "automation/dispatch.h"
#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/usage.h"
#include "platform/text.h"

namespace kaptor::cli {
namespace {

using automation::DispId;
using automation::InvokeKind;

struct Step {
    InvokeKind kind;
    std::string member;
    std::optional<std::string> text;  // for put
};

std::optional<Step> parseStep(const std::string& arg) {
    const auto colon = arg.find(':');
    if (colon == std::string::npos) {
        return std::nullopt;
    }
    const std::string verb = arg.substr(0, colon);
    std::string rest = arg.substr(colon + 1);
    if (verb == "put") {
        const auto equals = rest.find('=');
        if (equals == std::string::npos || equals == 0) {
            return std::nullopt;
        }
        return Step{InvokeKind::PropertyPut, rest.substr(0, equals), rest.substr(equals + 1)};
    }
    if (rest.empty()) {
        return std::nullopt;
    }
    if (verb == "get") {
        return Step{InvokeKind::PropertyGet, rest, std::nullopt};
    }
    if (verb == "call") {
        return Step{InvokeKind::Method, rest, std::nullopt};
    }
    return std::nullopt;
}

// A member named by number is taken as its dispatch id; otherwise its name is looked up.
std::optional<DispId> resolve(automation::Dispatch& dispatch, const std::string& member) {
    DispId id = 0;
    const auto [end, ec] = std::from_chars(member.data(), member.data() + member.size(), id);
    if (ec == std::errc{} && end == member.data() + member.size()) {
        return id;
    }
    if (dispatch.getIdOfName(platform::utf8ToUtf16(member), id) == automation::RESULT_OK) {
        return id;
    }
    return std::nullopt;
}

}  // namespace

int runInvoke(const Arguments& args, HostOptions options) {
    int status = EXIT_DONE;
    const auto line = parseCommandLine(*findCommand("invoke"), args, {}, options, status);
    if (!line) {
        return status;
    }
    if (line->operands.empty()) {
        std::fputs(USAGE_INVOKE, stderr);
        return EXIT_USAGE;
    }
    std::vector<Step> steps;
    for (const std::string& arg : line->operands) {
        const auto step = parseStep(arg);
        if (!step) {
            std::fprintf(stderr, "kaptor: invoke: '%s' is not a step\n%s", arg.c_str(),
                         USAGE_INVOKE);
            return EXIT_USAGE;
        }
        steps.push_back(*step);
    }
    Host host(std::move(options));
    automation::Dispatch& dispatch = host.control().dispatch();
    for (const Step& step : steps) {
        const auto id = resolve(dispatch, step.member);
        if (!id) {
            std::fprintf(stderr, "kaptor: invoke: the control has no member '%s'\n",
                         step.member.c_str());
            return EXIT_USAGE;
        }
        std::vector<automation::Variant> arguments;
        if (step.text) {
            arguments.emplace_back(platform::utf8ToUtf16(*step.text));
        }
        automation::Variant result;
        automation::ExceptionInfo failure;
        const automation::HResult hr =
            dispatch.invoke(*id, step.kind, arguments, &result, &failure);
        if (hr == automation::RESULT_EXCEPTION) {
            // The member failed and left it to its caller, as a host would see it; go on.
            reportMethodError(failure);
            status = EXIT_FAILURE_SHOWN;
            continue;
        }
        if (!automation::succeeded(hr)) {
            std::fprintf(stderr, "kaptor: invoke: member %d refused the call (0x%08X)\n", *id,
                         static_cast<unsigned>(hr));
            return EXIT_USAGE;
        }
        if (step.kind == InvokeKind::PropertyGet) {
            std::printf("%s\n", platform::utf16ToUtf8(automation::variantToText(result)).c_str());
        }
    }
    return host.exitStatus(status);
}

void reportMethodError(const automation::ExceptionInfo& failure) {
    std::fprintf(stderr, "kaptor: %s failed: %s\n", platform::utf16ToUtf8(failure.source).c_str(),
                 platform::utf16ToUtf8(failure.description).c_str());
}

bool callMethod(control::CKAPTORAXCtrl& ctrl, automation::DispId method) {
    automation::ExceptionInfo failure;
    if (ctrl.dispatch().invoke(method, InvokeKind::Method, {}, nullptr, &failure) ==
        automation::RESULT_EXCEPTION) {
        reportMethodError(failure);
        return false;
    }
    return true;
}

}  // namespace kaptor::cli
