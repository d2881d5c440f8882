// A dispatch interface invoked by id: methods, property gets and property puts, with the name of
// each member looked up from the table the object publishes.
#pragma once

#include <functional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "automation/result.h"
#include "automation/variant.h"

namespace kaptor::automation {

enum class InvokeKind { Method, PropertyGet, PropertyPut };

// What a member that failed tells its caller along with DISP_E_EXCEPTION.
struct ExceptionInfo {
    std::u16string source;
    std::u16string description;
    std::error_code error;  // the system's reason, when there is one
};

// Thrown by a member that could not do its work and leaves that to its caller; the dispatch
// layer turns it into DISP_E_EXCEPTION with the description (UTF-16 of the Windows-1252 text)
// and the system's error behind it, when there is one.
class MethodError : public std::runtime_error {
  public:
    explicit MethodError(const std::string& description, std::error_code error = {})
        : std::runtime_error(description), error_(error) {}
    std::error_code error() const { return error_; }

  private:
    std::error_code error_;
};

class Dispatch {
  public:
    virtual ~Dispatch() = default;
    virtual HResult getIdOfName(std::u16string_view name, DispId& id) = 0;
    // exception, when given, receives the failure of a member that ends in DISP_E_EXCEPTION.
    virtual HResult invoke(DispId id, InvokeKind kind, std::span<const Variant> args,
                           Variant* result, ExceptionInfo* exception = nullptr) = 0;
};

// One member of a dispatch table: a text property (get and put) or a method without arguments.
// A put answers S_OK, or the code that refuses the value and leaves the property unchanged.
struct DispatchMember {
    DispId id;
    std::u16string name;
    std::function<Bstr()> get;                // properties
    std::function<HResult(const Bstr&)> put;  // properties
    std::function<void()> call;               // methods
};

// Dispatch by table: the object lists its members, the table does the invoking.
class DispatchTable : public Dispatch {
  public:
    explicit DispatchTable(std::vector<DispatchMember> members);

    HResult getIdOfName(std::u16string_view name, DispId& id) override;
    HResult invoke(DispId id, InvokeKind kind, std::span<const Variant> args, Variant* result,
                   ExceptionInfo* exception = nullptr) override;
    const std::vector<DispatchMember>& members() const { return members_; }

  private:
    HResult invokeMember(const DispatchMember& member, InvokeKind kind,
                         std::span<const Variant> args, Variant* result);

    std::vector<DispatchMember> members_;
};

}  // namespace kaptor::automation
