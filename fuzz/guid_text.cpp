// Class and interface identities written as text, as stores and manifests carry them.
#include "harness.h"
#include "com/guid.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView input = inputOf(data, size);
    const auto fromText = fk::com::parseGuid(QString::fromUtf8(input));
    const auto fromBytes = fk::com::Guid::parse(std::string_view(input.data(), static_cast<std::size_t>(input.size())));
    for (const auto& id : {fromText, fromBytes})
        if (id)
            require(fk::com::parseGuid(id->toString()) == id, "an identity reads back from its text");
    return 0;
}
