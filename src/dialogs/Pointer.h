#pragma once

// One pointer for the whole program, over all of its windows.
enum class Pointer { Default, Busy, Custom };

void setPointer(Pointer shape);
Pointer pointer();
