#pragma once

class QAbstractButton;
class QWidget;

namespace lumiq::ui::qt {

// Makes Qt describe these controls as Windows does (once per process):
// a radio button of a template's group as a radio button (Qt calls any
// button that is not auto-exclusive a check box, and the groups here are
// the template's, not the parent's), and a combo box by its accessible name,
// its text being its value (Qt names it by its text on Linux); and a check
// box naming a field as that field's label (Qt relates only QLabels, so
// check boxes and line edits get interfaces of ours).
void InstallAccessibleFactory();

// Relates a field to the check box that names it, as a label and its buddy
// are related.
void RelateNamingBox(QWidget* field, QAbstractButton* box);

}  // namespace lumiq::ui::qt
