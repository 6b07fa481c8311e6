#pragma once

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace vantor::importer {

// The heading line of the program's own export; a file that starts with it
// is read as an export, without questions.
inline constexpr char16_t ExportHeading[] = u"Date\tPeriod\tTest\tResult\tUnit\tRemarks";

// A text file as decoded: UTF-8 when its bytes are UTF-8 (with or without a
// byte order mark), else the locale's encoding (Latin-1 where the locale's
// encoding is UTF-8 too, so that no byte is lost).
struct SourceText
{
    QString text;
    QString encoding; // as shown to the user: "UTF-8", "ISO-8859-1", ...
    bool isExport = false;
};

SourceText decodeText(const QByteArray& bytes);
// Throws vantor::Error when the file cannot be read.
SourceText readSourceFile(const QString& path);

struct TextLine
{
    qint64 number = 0; // 1-based, as an editor counts the file's lines
    QStringList fields;
};

// The lines of a file split into fields. The heading, when there is one, is
// not among the lines.
struct TextTable
{
    QChar delimiter = u'\t';
    bool hasHeading = false;
    QStringList heading;
    QList<TextLine> lines;

    // The widest line's field count (heading included).
    int columnCount() const;
    // A column's name: its heading text, or "Column N" (1-based).
    QString columnName(int column) const;
};

// Splits text into lines and fields. With quoting, a field that starts with
// a double quote runs to the closing quote (delimiters and line breaks
// inside it belong to the field, "" is one quote), as spreadsheets write
// CSV; the program's export has no quoting. Blank lines are passed over.
TextTable splitText(const QString& text, QChar delimiter, bool hasHeading, bool quoting = true);

// Tab, semicolon or comma: the one that splits the first lines into the
// same number of fields, more than one; ties go to more fields, then in that order.
QChar guessDelimiter(const QString& text);
// True when the first line reads as column names: no number or date in it,
// while a later line has one.
bool guessHeading(const TextTable& withoutHeading);

QString delimiterName(QChar delimiter);

} // namespace vantor::importer
