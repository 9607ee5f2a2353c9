#pragma once

#include <functional>

class QTableWidget;

// Makes a table in a dialog take the keyboard as the dialog's other fields do:
// Tab and Shift+Tab leave it, and Return or Enter never reaches the dialog's
// default button. On the table itself (no editor open in it) they run onReturn,
// and so does Insert when insertToo is set.
void keepReturnInTable(QTableWidget *table, std::function<void()> onReturn = {}, bool insertToo = false);
