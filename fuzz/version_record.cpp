// Version records in their binary form.
#include "harness.h"
#include "formats/version_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QString error;
    const auto record = formats::VersionRecord::fromBinary(inputOf(data, size), &error);
    require(record || !error.isEmpty(), "a refused record says why");
    if (record)
        (void)formats::VersionRecord::versionText(record->fileVersion);
    return 0;
}
