#include "FieldValidation.h"

#include "textio/IntegerText.h"

namespace run {

using textio::parseIntegerText;

ClassRangeTexts validateClassRange(const ClassRangeTexts& texts)
{
    // Every rule compares the values parsed before any correction, as the user typed them.
    const auto from = parseIntegerText(texts.from);
    const auto to = parseIntegerText(texts.to);
    ClassRangeTexts result = texts;
    if (!from.ok)
        result.from = QStringLiteral("0");
    if (!to.ok)
        result.to = result.from;
    if (from.value < 0)
        result.from = QString::number(-from.value);
    if (to.value < 0)
        result.to = QString::number(-to.value);
    if (to.value < from.value)
        result.to = result.from;
    if (from.value == 0)
        result.to = QStringLiteral("0");
    return result;
}

QString validateDensity(const QString& text)
{
    const auto density = parseIntegerText(text);
    QString result = text;
    if (!density.ok || density.value == 0)
        result = QStringLiteral("1");
    if (density.value < 0)
        result = QString::number(-density.value);
    return result;
}

QString validateFileName(const QString& text, const QString& controlName)
{
    // "/" joins the backslash and the colon as a separator: on this platform it is the one that ends folders.
    const qsizetype cut = std::max({text.lastIndexOf(u'\\'), text.lastIndexOf(u':'), text.lastIndexOf(u'/')});
    const QStringView name = QStringView(text).sliced(cut + 1);
    if (name.isEmpty() || name.startsWith(u'.'))
        return controlName + QStringLiteral(".txt");
    return text;
}

} // namespace run
