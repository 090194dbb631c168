#include "com/variant.h"

#include "core/runtime_error.h"

#include <QLocale>
#include <cmath>

namespace fk::com {

namespace {

// Shortest text that reads back as the same value, in plain decimal where the magnitude
// allows: 5 gives "5", 65536.83f gives "65536.83".
QString numberText(double value, int precision)
{
    if (std::isnan(value) || std::isinf(value))
        return QString::number(value);
    return QLocale::c().toString(value, 'g', precision).replace(QLatin1String("e+"), QLatin1String("E+"));
}

} // namespace

QString Variant::toText() const
{
    struct Visitor {
        QString operator()(Empty) const { return {}; }
        QString operator()(Null) const { throw RuntimeError::invalidUseOfNull(); }
        QString operator()(std::int16_t v) const { return QString::number(v); }
        QString operator()(std::int32_t v) const { return QString::number(v); }
        QString operator()(float v) const { return numberText(v, 7); }
        QString operator()(double v) const { return numberText(v, 15); }
        QString operator()(Bool16 v) const { return v == Bool16::False ? QStringLiteral("False") : QStringLiteral("True"); }
        QString operator()(const QString& v) const { return v; }
        QString operator()(ObjectRef) const { throw RuntimeError::typeMismatch(); }
    };
    return std::visit(Visitor{}, value_);
}

} // namespace fk::com
