#pragma once

#include "platform/Association.h"

namespace platform {

// The real registry under HKEY_CLASSES_ROOT. Built only on Windows.
class WindowsRegistry : public RegistryKeys
{
public:
    std::optional<QString> value(const QString &key, const QString &name) const override;
    Result<void> setValue(const QString &key, const QString &name, const QString &data) override;
    Result<void> deleteTree(const QString &key) override;
    void notifyShell() override;
};

} // namespace platform
