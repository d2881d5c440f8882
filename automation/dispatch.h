// A dispatch interface invoked by id: methods, property gets and property puts, with the name of
// each member looked up from the table the object publishes.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "automation/result.h"
#include "automation/variant.h"

namespace kaptor::automation {

enum class InvokeKind { Method, PropertyGet, PropertyPut };

class Dispatch {
  public:
    virtual ~Dispatch() = default;
    virtual HResult getIdOfName(std::u16string_view name, DispId& id) = 0;
    virtual HResult invoke(DispId id, InvokeKind kind, std::span<const Variant> args,
                           Variant* result) = 0;
};

// One member of a dispatch table: a text property (get and put) or a method without arguments.
struct DispatchMember {
    DispId id;
    std::u16string name;
    std::function<Bstr()> get;             // properties
    std::function<void(const Bstr&)> put;  // properties
    std::function<void()> call;            // methods
};

// Dispatch by table: the object lists its members, the table does the invoking.
class DispatchTable : public Dispatch {
  public:
    explicit DispatchTable(std::vector<DispatchMember> members);

    HResult getIdOfName(std::u16string_view name, DispId& id) override;
    HResult invoke(DispId id, InvokeKind kind, std::span<const Variant> args,
                   Variant* result) override;
    const std::vector<DispatchMember>& members() const { return members_; }

  private:
    std::vector<DispatchMember> members_;
};

}  // namespace kaptor::automation
