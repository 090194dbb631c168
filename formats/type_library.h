#pragma once

#include "com/type_info.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>
#include <vector>

namespace formats {

using fk::com::DISPID;
using fk::com::Guid;
using fk::com::InvokeKind;
using fk::com::TypeLibraryInfo;
using fk::com::ValueType;

// A library's type library (resource TYPELIB 1) in formkit's own binary form, written at
// build time from the library's TypeLibraryInfo and read back by tools without loading the
// library. All numbers are little-endian; identities take 16 bytes in the standard
// binary layout; a "text" is the offset, from the start of the data, of a NUL-terminated
// UTF-8 text in the text pool at the end.
//
//   header, 56 bytes:
//     "FKTL" u32 format (1) identity u16 major u16 minor u32 locale
//     u32 flags (1 = control library) text name text helpString
//     u32 classCount u32 interfaceCount u32 memberCount
//   classes, 44 bytes each:
//     identity text name text progId u32 flags (1 = control) u32 status bits
//     u32 toolbox bitmap id u32 default interface u32 event interface
//     (interfaces by their index in the interface list; 0xFFFFFFFF for none)
//   interfaces, 32 bytes each:
//     identity text name u32 flags (InterfaceFlags) u32 first member u32 member count
//   members, 16 bytes each, in slot order:
//     text name i32 dispatch id u16 kind (InvokeKind) u16 result (ValueType)
//     u16 argument count u16 0
//   text pool
class TypeLibrary {
public:
    static constexpr std::uint32_t kNoInterface = 0xFFFFFFFF;

    struct Member {
        QString name;
        DISPID id = 0;
        InvokeKind kind = InvokeKind::Method;
        ValueType result = ValueType::Void;
        std::uint16_t argumentCount = 0;
    };
    struct Interface {
        QString name;
        Guid iid;
        std::uint32_t flags = 0;
        std::vector<Member> members;
    };
    struct Class {
        QString name;
        Guid clsid;
        QString progId;
        bool isControl = false;
        std::uint32_t miscStatus = 0;
        std::uint32_t toolboxBitmap = 0;
        std::uint32_t defaultInterface = kNoInterface;
        std::uint32_t eventInterface = kNoInterface;
    };

    QString name;
    QString helpString;
    Guid id;
    std::uint16_t majorVersion = 0;
    std::uint16_t minorVersion = 0;
    std::uint32_t locale = 0;
    bool isControlLibrary = false;
    std::vector<Class> classes;
    std::vector<Interface> interfaces;

    // Writes the binary form of a library's declared surface. Fails (saying why) when a
    // class names an interface that the library does not list.
    static std::optional<QByteArray> write(const TypeLibraryInfo& info, QString* error);
    // Reads the binary form; nothing when the bytes are not a whole, well-formed library.
    static std::optional<TypeLibrary> parse(QByteArrayView bytes, QString* error);

    const Interface* findInterface(const Guid& iid) const;
    const Class* findClass(const Guid& clsid) const;
    // The interface a class names by index, or null for none.
    const Interface* interfaceAt(std::uint32_t index) const;
};

} // namespace formats
