// The face names the text settings offer: the display's fixed-pitch fonts.
#pragma once

#include "../common/window_ref.h"

// Adds the name of every fixed-pitch face of the display to a combo box.
void FillFontList(WindowRef comboBox);
