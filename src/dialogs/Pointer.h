#pragma once

// One pointer for the whole program, over all of its windows; set and read on the GUI thread only.
enum class Pointer { Default, Busy, Custom };

void setPointer(Pointer shape);
Pointer pointer();
