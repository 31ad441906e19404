#pragma once

class QApplication;

namespace dcv {

// The viewer's dark look: Fusion style, a dark palette and the style sheet of the standard
// controls (sliders, table, labels) that sit among the skinned views.
void applyTheme(QApplication& app);

} // namespace dcv
