#pragma once

class QWidget;

namespace lumiq::ui::qt {

struct BuiltDialog;

// Puts the focus of `window`, built from `built`, where app::OpeningFocus
// says (the tab headers for a tab control), and has the style draw the focus
// mark at once: left to itself the toolkit draws none until a key has moved
// the focus, and the operator could not see where Enter and Space would act.
void FocusOnOpening(QWidget* window, const BuiltDialog& built);

}  // namespace lumiq::ui::qt
