// Version records in their binary form.
#include "harness.h"
#include "com/version_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QString error;
    const auto record = fk::com::VersionRecord::fromBinary(inputOf(data, size), &error);
    require(record || !error.isEmpty(), "a refused record says why");
    if (record)
        (void)fk::com::VersionRecord::versionText(record->fileVersion);
    return 0;
}
