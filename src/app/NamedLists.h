#pragma once

// On Unix, Qt gives a combo box its current entry for a name, so assistive technology would announce "Horse"
// where the user needs to hear "Figure". Once this is called, a ComboBox with an accessible name of its own is
// presented under that name, its current entry as its value.
void presentListsByTheirNames();
