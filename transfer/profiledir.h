#pragma once
// The application's profile directory: read from the registry at start-up, then replaced by the
// folder of each file chosen with the export dialog's "&Browse", for the rest of the run. It is
// never written back to the registry.

#include <QString>

const QString& ApplicationProfileDirectory();
void SetApplicationProfileDirectory(const QString& directory);
