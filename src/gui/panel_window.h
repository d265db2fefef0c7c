#pragma once
// What the detail panels share: their heading's look and their modal run.

#include <QDialog>
#include <QLabel>

namespace corvane {

// A larger, bold heading in the panels' colour.
void stylePanelHeading(QLabel* heading);

// Gives the form labels (named "label_...") of a panel one width, so that
// the fields of its forms line up.
void alignFormLabels(QWidget* panel);

// Centres the panel over its parent window and runs it modally; the code
// with which it was closed.
int runPanel(QDialog* panel);

}  // namespace corvane
