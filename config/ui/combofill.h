#pragma once
// The editable drop-down lists of the association dialogs: sorted without regard to case, and
// typing never adds to the list.

#include <string>
#include <vector>

class QComboBox;

// An editable combo box that keeps its list as given; the caller lays it out.
QComboBox* MakeEditableList(const char* objectName);
// Replaces the list by the texts, sorted without regard to case; the edit text stays.
void FillSorted(QComboBox& box, std::vector<std::string> texts);
