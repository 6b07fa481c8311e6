#pragma once

#include "MachineKeys.h"

namespace vantor::app {

// The Windows registry below HKEY_LOCAL_MACHINE, opened for reading only.
class WinRegistryKeys : public MachineKeys
{
public:
    std::optional<KeyValue> query(const QString& keyName, const QString& valueName) const override;
};

} // namespace vantor::app
