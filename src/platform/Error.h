#pragma once

#include <QString>

#include <exception>

namespace vantor {

// A run-time error as the windows trap it: a number and a description that is
// shown to the user as it stands. Every layer below the windows reports
// failures by throwing one; only windows turn them into message boxes.
class Error : public std::exception
{
public:
    enum Number {
        Overflow = 6,
        TypeMismatch = 13,
        InvalidProcedureCall = 5,
        DivisionByZero = 11,
        FileNotFound = 53,
        DatabaseError = 3000, // anything the database engine reports
        SyntaxError = 3075,   // SQL or shape text that cannot be read
        RowConflict = 3197,   // row changed by someone else since it was read
        NoCurrentRecord = 3021,
        FileInUse = 3045,
    };

    Error(int number, QString description);

    int number() const { return m_number; }
    const QString& description() const { return m_description; }
    const char* what() const noexcept override { return m_utf8.constData(); }

    static Error typeMismatch() { return Error(TypeMismatch, QStringLiteral("Type mismatch")); }
    static Error overflow() { return Error(Overflow, QStringLiteral("Overflow")); }

private:
    int m_number;
    QString m_description;
    QByteArray m_utf8;
};

} // namespace vantor
