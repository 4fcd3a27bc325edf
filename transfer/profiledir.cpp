#include "transfer/profiledir.h"

namespace {

QString& Directory() {
    static QString directory;
    return directory;
}

}  // namespace

const QString& ApplicationProfileDirectory() {
    return Directory();
}

void SetApplicationProfileDirectory(const QString& directory) {
    Directory() = directory;
}
