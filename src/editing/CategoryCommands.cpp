// Adding, renaming and deleting categories.
#include "app/frmLumaret.h"

void frmLumaret::cmdAddCategory_Click() {}

void frmLumaret::cmdEditCategory_Click() {}

void frmLumaret::cmdDeleteCategory_Click() {}
