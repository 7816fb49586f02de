#pragma once

#include "platform/Error.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace platform {

// What the command line reports about the .skin association.
struct AssociationState
{
    bool associated = false;
    // The handler the desktop opens .skin files with now; empty when there is none.
    QString currentHandler;
    // Where that handler comes from: the settings file that names it, or the handler's own
    // entry when it is the desktop's pick among the programs that take the type; empty when
    // there is none.
    QString handlerSource;
    // The handler saved when the association was made, to give back on removal; none when no
    // association was ever made.
    std::optional<QString> backup;
};

// Whether opening a .skin file starts this program. Associating keeps the previous handler, and
// removing the association gives it back.
class AssociationStore
{
public:
    virtual ~AssociationStore() = default;
    // True only when .skin files open with this program at its current path.
    virtual bool IsAssociated() const = 0;
    virtual Result<void> Associate() = 0;
    virtual Result<void> Unassociate() = 0;
    virtual AssociationState state() const = 0;
};

// The store of this platform, for the program at programPath: the desktop's MIME settings of the
// user on Linux, the registry on Windows.
std::unique_ptr<AssociationStore> makeAssociationStore(const QString &programPath);

// The user's freedesktop folders the association lives in.
struct FreedesktopPlaces
{
    QString dataHome;   // $XDG_DATA_HOME: mime/packages/ and applications/
    QString configHome; // $XDG_CONFIG_HOME: mimeapps.list and velmora/
    // The system's folders ($XDG_DATA_DIRS, $XDG_CONFIG_DIRS), most important first: installed
    // desktop entries and the system's defaults, only read.
    QStringList dataDirs;
    QStringList configDirs;
};

inline const QString kSkinMimeType = QStringLiteral("application/x-tolvoicq-skin");
inline const QString kOpenSkinEntry = QStringLiteral("velmora-open-skin.desktop");

// The freedesktop store: a MIME package for *.skin, a hidden desktop entry of ours that opens a
// skin with the program, and the default handler in the user's mimeapps.list. The previous
// handler is kept in configHome/velmora/skin-handler-backup.
std::unique_ptr<AssociationStore> makeFreedesktopAssociation(const FreedesktopPlaces &places,
                                                             const QString &programPath);

// The registry as the association sees it: keys under HKEY_CLASSES_ROOT, string values, the
// empty value name standing for a key's default value.
class RegistryKeys
{
public:
    virtual ~RegistryKeys() = default;
    virtual std::optional<QString> value(const QString &key, const QString &name) const = 0;
    // Creates the key when it is missing.
    virtual Result<void> setValue(const QString &key, const QString &name, const QString &data) = 0;
    // Deletes the key with all its subkeys; a missing key is no error.
    virtual Result<void> deleteTree(const QString &key) = 0;
    // Tells the shell that file associations changed.
    virtual void notifyShell() {}
};

// A registry in memory, for tests and for trying the registry's logic on any platform.
class MemoryRegistry : public RegistryKeys
{
public:
    std::optional<QString> value(const QString &key, const QString &name) const override;
    Result<void> setValue(const QString &key, const QString &name, const QString &data) override;
    Result<void> deleteTree(const QString &key) override;
    bool hasKey(const QString &key) const { return m_keys.contains(key); }

private:
    QMap<QString, QMap<QString, QString>> m_keys;
};

// The association in the registry: ".skin" names "VelmoraForTolvoICQ", whose open command
// starts the program with the file; the previous handler is kept as ".skin"'s value
// "VelmoraForTolvoICQ.BackUp". programPath is the program's full native path.
std::unique_ptr<AssociationStore> makeRegistryAssociation(RegistryKeys &keys,
                                                          const QString &programPath);

} // namespace platform
