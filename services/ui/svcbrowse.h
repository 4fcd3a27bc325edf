#pragma once
// "&Browse" of the service edit dialogs: an open-file dialog titled "Select File", run through
// the modal seam, listing the kind's files first and all files second.

#include <optional>
#include <string>

#include "services/svcdef.h"

class QWidget;

// The full path the operator chose; empty optional when the operator cancelled.
std::optional<std::string> BrowseForServiceFile(QWidget* owner, ServiceKind kind);
