#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

namespace vantor::app {

// One value of the machine-wide settings, as the store holds it.
struct KeyValue
{
    enum Type : quint32 { String = 1, Number = 4 };
    quint32 type = 0;
    // A string as UTF-16 code units (little endian), a number as its four
    // bytes, least significant first.
    QByteArray data;
};

// The machine-wide settings where installed programs leave their locations:
// the registry (HKEY_LOCAL_MACHINE) on Windows, a settings file elsewhere.
class MachineKeys
{
public:
    virtual ~MachineKeys() = default;
    // The value `valueName` of the key `keyName` ("SOFTWARE\Microsoft\...");
    // nullopt when the key or the value is missing or cannot be read.
    virtual std::optional<KeyValue> query(const QString& keyName,
                                          const QString& valueName) const = 0;

    // The store of this machine.
    static std::unique_ptr<MachineKeys> system();
};

// A value as text: a string up to its first NUL, a number as its decimal
// text; a value of another type reads as empty text. nullopt when missing.
std::optional<QString> GetKeyValue(const MachineKeys& keys, const QString& keyName,
                                   const QString& valueName);

// The decimal text of a 32-bit number value given as its bytes, least
// significant first.
QString numberValueText(const QByteArray& bytes);

} // namespace vantor::app
