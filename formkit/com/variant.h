#pragma once

#include <QString>
#include <cstdint>
#include <variant>

namespace fk::com {

struct IUnknown;

// The 16-bit Boolean of the component model: true has all bits set.
enum class Bool16 : std::int16_t { False = 0, True = -1 };
inline constexpr Bool16 toBool16(bool b) { return b ? Bool16::True : Bool16::False; }

struct Empty {
    friend bool operator==(Empty, Empty) = default;
};
struct Null {
    friend bool operator==(Null, Null) = default;
};
// A reference to an object. The variant does not own it; whoever passes an object keeps
// it alive for the call.
struct ObjectRef {
    IUnknown* object = nullptr;
    friend bool operator==(ObjectRef, ObjectRef) = default;
};

// A value passed through dispatch.
class Variant {
public:
    using Value = std::variant<Empty, Null, std::int16_t, std::int32_t, float, double, Bool16, QString, ObjectRef>;

    Variant() = default;
    Variant(Empty) {}
    Variant(Null n) : value_(n) {}
    Variant(std::int16_t v) : value_(v) {}
    Variant(std::int32_t v) : value_(v) {}
    Variant(float v) : value_(v) {}
    Variant(double v) : value_(v) {}
    Variant(Bool16 v) : value_(v) {}
    Variant(const QString& v) : value_(v) {}
    Variant(const char* v) : value_(QString::fromUtf8(v)) {}
    Variant(ObjectRef v) : value_(v) {}

    const Value& value() const { return value_; }
    bool isEmpty() const { return std::holds_alternative<Empty>(value_); }
    bool isNull() const { return std::holds_alternative<Null>(value_); }
    template <class T> bool holds() const { return std::holds_alternative<T>(value_); }
    template <class T> const T& get() const { return std::get<T>(value_); }

    // The text form of the value, as a conversion to text gives it: numbers in plain
    // decimal, True and False as "True" and "False", empty as "". A null or an object has
    // no text form: the conversion raises the runtime's error.
    QString toText() const;

    friend bool operator==(const Variant&, const Variant&) = default;

private:
    Value value_;
};

} // namespace fk::com
