// What assistive technology sees of a bar in button mode: a button that can be
// pressed (or, with a drop-down menu, opened), named by its hint.
#pragma once

// Registers the description with Qt's accessibility once per process.
void InstallButtonAccessibility();
