// Screen readers get the hourly view as a list of hours, each named with
// everything it shows, or the day's detail as the view's description.
#pragma once

void InstallHourlyViewAccessibility();
