#include "automation/dispatch.h"

#include "platform/text.h"

namespace kaptor::automation {
namespace {

char16_t foldAscii(char16_t c) {
    return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c;
}

bool equalNames(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (foldAscii(a[i]) != foldAscii(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::u16string variantToText(const Variant& value) {
    struct Visitor {
        std::u16string operator()(std::monostate) const { return {}; }
        std::u16string operator()(const Bstr& text) const { return text; }
        std::u16string operator()(std::int32_t number) const {
            const std::string digits = std::to_string(number);
            return std::u16string(digits.begin(), digits.end());
        }
        std::u16string operator()(bool flag) const { return flag ? u"True" : u"False"; }
    };
    return std::visit(Visitor{}, value);
}

DispatchTable::DispatchTable(std::vector<DispatchMember> members) : members_(std::move(members)) {}

HResult DispatchTable::getIdOfName(std::u16string_view name, DispId& id) {
    for (const auto& member : members_) {
        if (equalNames(member.name, name)) {
            id = member.id;
            return RESULT_OK;
        }
    }
    return RESULT_UNKNOWN_NAME;
}

HResult DispatchTable::invoke(DispId id, InvokeKind kind, std::span<const Variant> args,
                              Variant* result, ExceptionInfo* exception) {
    for (const auto& member : members_) {
        if (member.id != id) {
            continue;
        }
        try {
            return invokeMember(member, kind, args, result);
        } catch (const MethodError& error) {
            if (exception != nullptr) {
                exception->source = member.name;
                exception->description = platform::cp1252ToUtf16(error.what());
                exception->error = error.error();
            }
            return RESULT_EXCEPTION;
        }
    }
    return RESULT_MEMBER_NOT_FOUND;
}

HResult DispatchTable::invokeMember(const DispatchMember& member, InvokeKind kind,
                                    std::span<const Variant> args, Variant* result) {
    switch (kind) {
        case InvokeKind::Method:
            if (!member.call) {
                return RESULT_MEMBER_NOT_FOUND;
            }
            if (!args.empty()) {
                return RESULT_BAD_PARAM_COUNT;
            }
            member.call();
            return RESULT_OK;
        case InvokeKind::PropertyGet:
            if (!member.get) {
                return RESULT_MEMBER_NOT_FOUND;
            }
            if (!args.empty()) {
                return RESULT_BAD_PARAM_COUNT;
            }
            if (result != nullptr) {
                *result = member.get();
            }
            return RESULT_OK;
        case InvokeKind::PropertyPut:
            if (!member.put) {
                return RESULT_MEMBER_NOT_FOUND;
            }
            if (args.size() != 1) {
                return RESULT_BAD_PARAM_COUNT;
            }
            return member.put(variantToText(args[0]));
    }
    return RESULT_MEMBER_NOT_FOUND;
}

}  // namespace kaptor::automation
