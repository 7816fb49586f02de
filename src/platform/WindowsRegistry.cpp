#include "platform/WindowsRegistry.h"

#include <QCoreApplication>

#include <windows.h>

#include <shlobj.h>

namespace platform {

namespace {

std::wstring wide(const QString &text)
{
    return text.toStdWString();
}

Error registryError(const QString &key, LONG code)
{
    return Error::io(QCoreApplication::translate(
                         "Association", "HKEY_CLASSES_ROOT\\%1: the registry refused (error %2)")
                         .arg(key)
                         .arg(code));
}

} // namespace

std::optional<QString> WindowsRegistry::value(const QString &key, const QString &name) const
{
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, wide(key).c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return std::nullopt;
    DWORD type = 0;
    DWORD size = 0;
    const std::wstring valueName = wide(name);
    std::optional<QString> result;
    if (RegQueryValueExW(handle, valueName.c_str(), nullptr, &type, nullptr, &size) ==
            ERROR_SUCCESS &&
        type == REG_SZ) {
        std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
        if (RegQueryValueExW(handle, valueName.c_str(), nullptr, &type,
                             reinterpret_cast<BYTE *>(data.data()), &size) == ERROR_SUCCESS) {
            data.resize(size / sizeof(wchar_t));
            while (!data.empty() && data.back() == L'\0')
                data.pop_back();
            result = QString::fromStdWString(data);
        }
    }
    RegCloseKey(handle);
    return result;
}

Result<void> WindowsRegistry::setValue(const QString &key, const QString &name, const QString &data)
{
    HKEY handle = nullptr;
    LONG code = RegCreateKeyExW(HKEY_CLASSES_ROOT, wide(key).c_str(), 0, nullptr, 0, KEY_WRITE,
                                nullptr, &handle, nullptr);
    if (code != ERROR_SUCCESS)
        return fail(registryError(key, code));
    const std::wstring text = wide(data);
    code = RegSetValueExW(handle, wide(name).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE *>(text.c_str()),
                          DWORD((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
    if (code != ERROR_SUCCESS)
        return fail(registryError(key, code));
    return {};
}

Result<void> WindowsRegistry::deleteTree(const QString &key)
{
    const LONG code = RegDeleteTreeW(HKEY_CLASSES_ROOT, wide(key).c_str());
    if (code != ERROR_SUCCESS && code != ERROR_FILE_NOT_FOUND)
        return fail(registryError(key, code));
    return {};
}

void WindowsRegistry::notifyShell()
{
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_FLUSH, nullptr, nullptr);
}

} // namespace platform
