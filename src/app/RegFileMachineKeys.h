#pragma once

#include "MachineKeys.h"

namespace vantor::app {

// Machine-wide settings kept in a text file in the form of a registry export:
//
//   [SOFTWARE\Microsoft\Shared Tools\MSINFO]
//   "PATH"="/usr/bin/hardinfo"
//   "Count"=dword:00000201
//
// Key and value names compare without regard to case, as in the registry.
class RegFileMachineKeys : public MachineKeys
{
public:
    explicit RegFileMachineKeys(QString filePath);

    std::optional<KeyValue> query(const QString& keyName, const QString& valueName) const override;

    const QString& filePath() const { return m_filePath; }
    // Where this machine keeps the file: Vantor/machine.reg in the first
    // system-wide configuration folder (/etc/xdg on most systems).
    static QString defaultFilePath();

private:
    QString m_filePath;
};

} // namespace vantor::app
