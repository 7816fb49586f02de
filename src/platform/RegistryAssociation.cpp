#include "platform/Association.h"

namespace platform {

namespace {

const QString kSkinKey = QStringLiteral(".skin");
const QString kProgId = QStringLiteral("VelmoraForTolvoICQ");
const QString kBackupName = QStringLiteral("VelmoraForTolvoICQ.BackUp");
const QString kCommandKey = QStringLiteral("VelmoraForTolvoICQ\\shell\\open\\command");
const QString kIconKey = QStringLiteral("VelmoraForTolvoICQ\\defaulticon");

class RegistryAssociation : public AssociationStore
{
public:
    RegistryAssociation(RegistryKeys &keys, const QString &programPath)
        : m_keys(keys)
        , m_programPath(programPath)
    {}

    bool IsAssociated() const override
    {
        return m_keys.value(kSkinKey, QString()) == kProgId &&
               m_keys.value(kCommandKey, QString()) == openCommand();
    }

    Result<void> Associate() override
    {
        const QString previous = m_keys.value(kSkinKey, QString()).value_or(QString());
        // Associating twice must not save ourselves as the handler to give back.
        if (previous != kProgId) {
            VELMORA_TRY(m_keys.setValue(kSkinKey, kBackupName, previous));
        }
        for (const auto &[key, name, data] :
             {std::tuple{kSkinKey, QString(), kProgId},
              std::tuple{kIconKey, QString(), QStringLiteral("\"%1\", 0").arg(m_programPath)},
              std::tuple{kCommandKey, QString(), openCommand()}}) {
            VELMORA_TRY(m_keys.setValue(key, name, data));
        }
        m_keys.notifyShell();
        return {};
    }

    Result<void> Unassociate() override
    {
        const auto backup = m_keys.value(kSkinKey, kBackupName);
        VELMORA_TRY(backup ? m_keys.setValue(kSkinKey, QString(), *backup)
                           : m_keys.deleteTree(kSkinKey));
        VELMORA_TRY(m_keys.deleteTree(kProgId));
        m_keys.notifyShell();
        return {};
    }

    AssociationState state() const override
    {
        const QString handler = m_keys.value(kSkinKey, QString()).value_or(QString());
        return {IsAssociated(), handler,
                handler.isEmpty() ? QString() : QStringLiteral("HKEY_CLASSES_ROOT\\") + kSkinKey,
                m_keys.value(kSkinKey, kBackupName)};
    }

private:
    QString openCommand() const
    {
        return QStringLiteral("\"%1\" \"%2\"").arg(m_programPath, QStringLiteral("%1"));
    }

    RegistryKeys &m_keys;
    QString m_programPath;
};

} // namespace

std::optional<QString> MemoryRegistry::value(const QString &key, const QString &name) const
{
    const auto found = m_keys.constFind(key);
    if (found == m_keys.constEnd() || !found->contains(name))
        return std::nullopt;
    return found->value(name);
}

Result<void> MemoryRegistry::setValue(const QString &key, const QString &name, const QString &data)
{
    m_keys[key][name] = data;
    return {};
}

Result<void> MemoryRegistry::deleteTree(const QString &key)
{
    const QString below = key + u'\\';
    for (auto it = m_keys.begin(); it != m_keys.end();) {
        if (it.key() == key || it.key().startsWith(below))
            it = m_keys.erase(it);
        else
            ++it;
    }
    return {};
}

std::unique_ptr<AssociationStore> makeRegistryAssociation(RegistryKeys &keys,
                                                          const QString &programPath)
{
    return std::make_unique<RegistryAssociation>(keys, programPath);
}

} // namespace platform
