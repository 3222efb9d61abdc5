// Whether screen readers are served, decided when the desktop window opens: the program's
// <NAME>_ACCESSIBILITY variable (1 on, 0 off) first, then the X root window's AT_SPI_BUS
// property, then org.a11y.Status.IsEnabled on the session bus. Nothing of the bridge is loaded
// when the answer is no.
#pragma once

void StartAccessibility();
void StopAccessibility();
