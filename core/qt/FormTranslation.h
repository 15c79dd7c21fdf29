// Translates a window through the text layer: each component is found by its
// object name and gets the text of "<Form>::<Component>" in the selected
// language.
#pragma once

class QWidget;
class TMLSUnit;

void TranslateWidget(const TMLSUnit& texts, QWidget* form);
