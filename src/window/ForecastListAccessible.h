// What assistive technology sees of the painted forecast list: a list whose
// items are the days, each with its four cells' texts as children, read as
// the columns show them.
#pragma once

// Registers the description with Qt's accessibility once per process.
void InstallForecastListAccessibility();
