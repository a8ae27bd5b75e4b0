#pragma once

#include <functional>

class QDialog;

// Where the list dialogs (record structure, save options, special
// characters) are shown modally.  With no script installed the dialog runs
// its own modal loop; tests install a script that acts on the real dialog
// (sets its controls, confirms or closes it) while it is shown.  An empty
// function puts the modal loop back.
class ListDialogSeam {
public:
    using Script = std::function<void(QDialog*)>;
    static void Install(Script script);
    // Returns once the dialog has been hidden (confirmed) or closed.  A
    // script that leaves the dialog up has it closed, as a user closing
    // the window would.
    static void ShowModal(QDialog* dialog);
};
