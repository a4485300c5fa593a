// What assistive technology reads of the panel's values: each with its label
// ("Temperature: 3.2 °C"), whole even where the panel shows it shortened.
#pragma once

// Registers the description with Qt's accessibility once per process.
void InstallPanelLabelAccessibility();
