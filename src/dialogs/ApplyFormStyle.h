#pragma once

class QWidget;

// Gives a window the program's common colours. Never fails: a control that cannot take a colour keeps its own.
void ApplyFormStyle(QWidget* frm);
