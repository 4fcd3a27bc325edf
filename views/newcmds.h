#pragma once
// The new-profile and new-service commands as the list view and the status view both run them.
// New profile: the class, typed or chosen, then the document starts its editor; the profile
// shows up once the editor has stored it. New service: the service type,
// the edit dialog of that type on an empty set, then the document adds the service. The
// callers refresh what they show afterwards.

class CAdminDoc;
class QWidget;

// Both show their own error boxes. 1 only when the profile editor was started.
int RunNewProfileCommand(CAdminDoc& document, QWidget* parent);
// 1 only when the server added the service.
int RunNewServiceCommand(CAdminDoc& document, QWidget* parent);
