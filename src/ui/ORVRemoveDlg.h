#pragma once
// The main dialog of the program.

class CORVRemoveDlg {
public:
    // Runs the dialog modally and returns the id that ended it.
    int DoModal();
};
