#include "app/windowplace.h"

#include <QByteArray>
#include <QMainWindow>
#include <array>

#include "config/registry.h"

namespace {

constexpr const char* kGeometryValue = "Geometry";
constexpr const char* kStateValue = "State";
// Saved forms are a few hundred bytes at most; anything longer is not ours.
constexpr DWORD kMaxValueSize = 2048;
// Bumped when the bars change, so that an older layout is not forced onto new bars.
constexpr int kStateVersion = 1;

// The decoded value; empty when it is missing, too long or not base64.
QByteArray ReadBase64(NT_RegKey& key, const char* name) {
    std::array<char, kMaxValueSize> text{};
    if (!key.GetValue(name, text.data(), kMaxValueSize))
        return {};
    const auto decoded = QByteArray::fromBase64Encoding(QByteArray(text.data()),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    return decoded ? *decoded : QByteArray();
}

}  // namespace

bool RestoreWindowPlacement(QMainWindow& window) {
    NT_RegKey key(HKEY_LOCAL_MACHINE, kWindowPlacementKey, KEY_READ);
    if (!key.IsValid())
        return false;
    const QByteArray geometry = ReadBase64(key, kGeometryValue);
    if (geometry.isEmpty() || !window.restoreGeometry(geometry))
        return false;
    if (const QByteArray state = ReadBase64(key, kStateValue); !state.isEmpty())
        window.restoreState(state, kStateVersion);
    return true;
}

bool SaveWindowPlacement(const QMainWindow& window) {
    HKEY created = nullptr;
    char emptyClass[] = "";
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kWindowPlacementKey, 0, emptyClass,
                        REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &created,
                        nullptr) != ERROR_SUCCESS)
        return false;
    NT_RegKey key(created);
    const QByteArray geometry = window.saveGeometry().toBase64();
    const QByteArray state = window.saveState(kStateVersion).toBase64();
    return key.SetValue(kGeometryValue, geometry.constData()) &&
           key.SetValue(kStateValue, state.constData());
}
