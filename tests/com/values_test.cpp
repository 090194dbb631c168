// Values that cross the dispatch interface and the identities of classes, in their text forms.
#include "support/test_support.h"

#include "com/guid.h"
#include "com/variant.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

TEST(Values, TextFormsOfDispatchValues)
{
    using fk::com::Variant;
    EXPECT_EQ(Variant(std::int16_t{5}).toText(), QStringLiteral("5"));
    EXPECT_EQ(Variant(std::int32_t{-70000}).toText(), QStringLiteral("-70000"));
    EXPECT_EQ(Variant(65536.83f).toText(), QStringLiteral("65536.83"));
    EXPECT_EQ(Variant(439803296.0).toText(), QStringLiteral("439803296"));
    EXPECT_EQ(Variant(fk::com::Bool16::False).toText(), QStringLiteral("False"));
    EXPECT_EQ(Variant().toText(), QString());
    EXPECT_THROW(Variant(fk::com::Null{}).toText(), fk::RuntimeError);
    EXPECT_THROW(Variant(fk::com::ObjectRef{}).toText(), fk::RuntimeError);
}

TEST(Values, IdentitiesReadAndWriteTheBracedForm)
{
    constexpr auto id = fk::com::guid(kButtonClass);
    EXPECT_EQ(id.toString(), QString(kButtonClass));
    EXPECT_EQ(fk::com::parseGuid(QStringLiteral("8dde02c5-207c-4592-8b6f-0f84159237e0")), id);
    EXPECT_FALSE(fk::com::parseGuid(QStringLiteral("{8DDE02C5-207C-4592-8B6F-0F84159237E}")));
    EXPECT_FALSE(fk::com::parseGuid(QStringLiteral("{8DDE02C5+207C-4592-8B6F-0F84159237E0}")));
    const auto bytes = id.toBytes();
    EXPECT_EQ(bytes[0], 0xC5) << "the first field is stored little-endian";
    EXPECT_EQ(bytes[4], 0x7C);
    EXPECT_EQ(bytes[8], 0x8B) << "the last eight bytes as written";
    EXPECT_EQ(fk::com::Guid::fromBytes(bytes.data()), id);
}

} // namespace
