#include "platform/windows/registry_settings_store.h"

#include "platform/store_text.h"
#include "platform/windows/wide_text.h"

#include <vector>
#include <windows.h>

namespace platform {

struct RegistrySettingsStore::Descriptor {
    SECURITY_DESCRIPTOR descriptor{};
};

namespace {

HKEY RootOf(Hive hive) {
    return hive == Hive::User ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

HKEY KeyOf(KeyHandle key) {
    return reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(key));
}

KeyHandle HandleOf(HKEY key) {
    return static_cast<KeyHandle>(reinterpret_cast<std::uintptr_t>(key));
}

// Opens with reading and writing, or with reading alone where writing is refused, so keys that
// an administrator locked can still be read.
Status OpenExisting(HKEY parent, const std::wstring& path, KeyHandle& key) {
    HKEY opened = nullptr;
    Status status = RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ | KEY_WRITE, &opened);
    if (status == ERROR_ACCESS_DENIED) {
        status = RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ, &opened);
    }
    key = status == ERROR_SUCCESS ? HandleOf(opened) : 0;
    return status;
}

} // namespace

RegistrySettingsStore::RegistrySettingsStore(std::string base)
    : base_(std::move(base))
    , descriptor_(std::make_unique<Descriptor>()) {}

RegistrySettingsStore::~RegistrySettingsStore() = default;

std::string RegistrySettingsStore::fullPath(const std::string& path) const {
    return base_.empty() ? path : base_ + "\\" + path;
}

Status RegistrySettingsStore::createKey(Hive hive, const std::string& path, bool openAccess,
                                        KeyHandle& key) {
    key = 0;
    const auto wide = Widen(fullPath(path));
    if (!IsCreatableKeyPath(path) || !wide) {
        return kInvalidParameter;
    }
    if (openAccess && !descriptorReady_) {
        if (const Status status = initializeSecurityDescriptor()) {
            return status;
        }
        if (const Status status = setSecurityDescriptorDacl()) {
            return status;
        }
    }
    SECURITY_ATTRIBUTES attributes{sizeof(SECURITY_ATTRIBUTES), &descriptor_->descriptor, TRUE};
    HKEY created = nullptr;
    const Status status = RegCreateKeyExW(RootOf(hive), wide->c_str(), 0, const_cast<wchar_t*>(L""),
                                          0, KEY_READ | KEY_WRITE,
                                          openAccess ? &attributes : nullptr, &created, nullptr);
    if (status == ERROR_SUCCESS) {
        key = HandleOf(created);
    }
    return status;
}

Status RegistrySettingsStore::openKey(Hive hive, const std::string& path, KeyHandle& key) {
    key = 0;
    const auto wide = Widen(fullPath(path));
    if (!IsValidKeyPath(path) || !wide) {
        return kInvalidParameter;
    }
    return OpenExisting(RootOf(hive), *wide, key);
}

Status RegistrySettingsStore::openSubKey(KeyHandle parent, const std::string& name,
                                         KeyHandle& key) {
    key = 0;
    if (!IsKeyName(name)) {
        return kInvalidParameter;
    }
    return OpenExisting(KeyOf(parent), *Widen(name), key);
}

Status RegistrySettingsStore::queryValue(KeyHandle key, const std::string& name,
                                         std::size_t bufferUnits, std::string& value) {
    const auto wideName = Widen(name);
    if (!wideName || bufferUnits == 0) {
        return kInvalidParameter;
    }
    // One unit more than the caller's buffer, so data stored without its terminating zero by
    // another program still ends in one.
    std::vector<wchar_t> buffer(bufferUnits + 1, L'\0');
    DWORD bytes = static_cast<DWORD>(bufferUnits * sizeof(wchar_t));
    const Status status = RegQueryValueExW(KeyOf(key), wideName->c_str(), nullptr, nullptr,
                                           reinterpret_cast<BYTE*>(buffer.data()), &bytes);
    if (status == ERROR_SUCCESS) {
        value = Narrow(buffer.data());
    }
    return status;
}

Status RegistrySettingsStore::setValue(KeyHandle key, const std::string& name,
                                       const std::string& value) {
    const auto wideName = Widen(name);
    const auto wideValue = Widen(value);
    if (!IsStorableText(name) || !IsStorableText(value) || !wideName || !wideValue) {
        return kInvalidParameter;
    }
    const auto bytes = static_cast<DWORD>((wideValue->size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(KeyOf(key), wideName->c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(wideValue->c_str()), bytes);
}

Status RegistrySettingsStore::enumValue(KeyHandle key, std::size_t index, std::size_t nameUnits,
                                        std::size_t dataBytes, std::string& name) {
    std::vector<wchar_t> nameBuffer(nameUnits + 1, L'\0');
    std::vector<BYTE> data(dataBytes + 1);
    DWORD nameLength = static_cast<DWORD>(nameUnits);
    DWORD dataLength = static_cast<DWORD>(dataBytes);
    const Status status = RegEnumValueW(KeyOf(key), static_cast<DWORD>(index), nameBuffer.data(),
                                        &nameLength, nullptr, nullptr, data.data(), &dataLength);
    if (status == ERROR_SUCCESS) {
        name = Narrow(std::wstring_view(nameBuffer.data(), nameLength));
    }
    return status;
}

Status RegistrySettingsStore::deleteValue(KeyHandle key, const std::string& name) {
    const auto wideName = Widen(name);
    return wideName ? RegDeleteValueW(KeyOf(key), wideName->c_str()) : kInvalidParameter;
}

Status RegistrySettingsStore::enumSubKey(KeyHandle key, std::size_t index, std::size_t nameUnits,
                                         std::string& name) {
    std::vector<wchar_t> buffer(nameUnits + 1, L'\0');
    DWORD length = static_cast<DWORD>(nameUnits);
    const Status status = RegEnumKeyExW(KeyOf(key), static_cast<DWORD>(index), buffer.data(),
                                        &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_SUCCESS) {
        name = Narrow(std::wstring_view(buffer.data(), length));
    }
    return status;
}

Status RegistrySettingsStore::deleteSubKey(KeyHandle key, const std::string& name) {
    // The registry would take a path and delete a deeper key.
    if (!IsKeyName(name)) {
        return kInvalidParameter;
    }
    return RegDeleteKeyW(KeyOf(key), Widen(name)->c_str());
}

void RegistrySettingsStore::closeKey(KeyHandle key) {
    RegCloseKey(KeyOf(key));
}

Status RegistrySettingsStore::initializeSecurityDescriptor() {
    descriptorReady_ = false;
    if (!InitializeSecurityDescriptor(&descriptor_->descriptor, SECURITY_DESCRIPTOR_REVISION)) {
        return static_cast<Status>(GetLastError());
    }
    return kSuccess;
}

// An access list that is present but null grants every user full access.
Status RegistrySettingsStore::setSecurityDescriptorDacl() {
    if (!SetSecurityDescriptorDacl(&descriptor_->descriptor, TRUE, nullptr, FALSE)) {
        return static_cast<Status>(GetLastError());
    }
    descriptorReady_ = true;
    return kSuccess;
}

std::string RegistrySettingsStore::messageFor(Status status) const {
    wchar_t buffer[1025] = {};
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                       static_cast<DWORD>(status), 0, buffer, 1025, nullptr);
    std::wstring_view text(buffer, length);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
        text.remove_suffix(1);
    }
    return text.empty() ? StandardStatusMessage(status) : Narrow(text);
}

std::string RegistrySettingsStore::userMessageFor(Status status) const {
    return UserStatusMessage(status);
}

// The registry has no transactions: every write is stored at once, and a cancelled batch
// keeps what it wrote.
Status RegistrySettingsStore::beginBatch(Hive, BatchKind) {
    return kSuccess;
}

Status RegistrySettingsStore::endBatch(Hive) {
    return kSuccess;
}

Status RegistrySettingsStore::cancelBatch(Hive) {
    return kSuccess;
}

} // namespace platform
