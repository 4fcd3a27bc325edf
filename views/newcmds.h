#pragma once
// The new-service command as the list view and the status view both run it: the service type,
// the edit dialog of that type on an empty set, then the document adds the service. The
// callers refresh what they show afterwards.

class CAdminDoc;
class QWidget;

// Shows its own error boxes; 1 only when the server added the service.
int RunNewServiceCommand(CAdminDoc& document, QWidget* parent);
