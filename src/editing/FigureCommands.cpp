// Renaming, deleting and moving figures.
#include "app/frmLumaret.h"

void frmLumaret::cmdEditFigure_Click() {}

void frmLumaret::cmdDeleteFigure_Click() {}

void frmLumaret::cmdMoveFigure_Click() {}
