#pragma once
// Which of a server's lists a list view shows.

enum ViewType { VT_Profiles = 0, VT_Services = 1, VT_ServiceProviders = 2, VT_None = 3 };
