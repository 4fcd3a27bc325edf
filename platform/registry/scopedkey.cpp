#include "platform/registry/scopedkey.h"

ScopedKey::~ScopedKey() {
    Close();
}

PHKEY ScopedKey::Out() {
    Close();
    return &m_hKey;
}

void ScopedKey::Close() {
    if (m_hKey != nullptr) {
        RegCloseKey(m_hKey);
        m_hKey = nullptr;
    }
}
