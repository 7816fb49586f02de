#include "platform/Association.h"

#include <QDir>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include "platform/WindowsRegistry.h"
#endif

namespace platform {

#ifdef Q_OS_WIN

namespace {

// The registry store owns its view of the registry.
class WindowsAssociation : public AssociationStore
{
public:
    explicit WindowsAssociation(const QString &programPath)
        : m_store(makeRegistryAssociation(m_registry, programPath))
    {}
    bool IsAssociated() const override { return m_store->IsAssociated(); }
    Result<void> Associate() override { return m_store->Associate(); }
    Result<void> Unassociate() override { return m_store->Unassociate(); }
    AssociationState state() const override { return m_store->state(); }

private:
    WindowsRegistry m_registry;
    std::unique_ptr<AssociationStore> m_store;
};

} // namespace

std::unique_ptr<AssociationStore> makeAssociationStore(const QString &programPath)
{
    return std::make_unique<WindowsAssociation>(QDir::toNativeSeparators(programPath));
}

#else

std::unique_ptr<AssociationStore> makeAssociationStore(const QString &programPath)
{
    FreedesktopPlaces places{
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation),
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation),
        QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation),
        QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation)};
    // The lists start with the user's own folders, which are read on their own.
    places.dataDirs.removeAll(places.dataHome);
    places.configDirs.removeAll(places.configHome);
    return makeFreedesktopAssociation(places, programPath);
}

#endif

} // namespace platform
