#include "ValueList.h"

#include <QComboBox>
#include <QLocale>
#include <QRegularExpression>

namespace vantor::overview {

namespace {

// The leading number of a text, 0 when it starts with none ("12 mg" is 12):
// item data and column counts are read leniently, never refused.
double leadingNumber(const QString& text)
{
    static const QRegularExpression number(
        QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?"));
    const QRegularExpressionMatch match = number.match(text);
    return match.hasMatch() ? QLocale::c().toDouble(match.captured().trimmed()) : 0.0;
}

} // namespace

std::optional<QString> GetPiece(const QString& text, qint16 piece, const QString& delimiter)
{
    if (piece < 1)
        return std::nullopt;
    if (delimiter.isEmpty())
        return piece == 1 ? std::optional<QString>(text) : std::nullopt;
    qsizetype start = 0; // where the piece begins
    for (int k = 1; k < piece; ++k) {
        const qsizetype next = text.indexOf(delimiter, start);
        if (next < 0)
            return std::nullopt;
        start = next + delimiter.size();
    }
    qsizetype end = text.indexOf(delimiter, start);
    if (end < 0)
        end = text.size();
    return text.mid(start, end - start);
}

int FillList(const QString& rowSource, QComboBox* list, const QString& rowSourceType)
{
    const int columns = int(leadingNumber(list->property("Tag").toString()));
    list->clear();
    if (rowSource.isEmpty() || rowSourceType.compare(QLatin1String("String"), Qt::CaseInsensitive))
        return 0;
    const QString delimiter = QStringLiteral(";");
    int count = 0;
    for (int i = 1; i < 0x7fff; i += 2) {
        const std::optional<QString> first = GetPiece(rowSource, qint16(i), delimiter);
        if (!first || first->isEmpty())
            break;
        const QString second = GetPiece(rowSource, qint16(i + 1), delimiter).value_or(QString());
        if (columns == 1)
            list->addItem(*first, leadingNumber(second));
        else
            list->addItem(second, leadingNumber(*first));
        ++count;
    }
    return count;
}

} // namespace vantor::overview
