// Export and import of single figures through transfer files.
#include "app/frmLumaret.h"

void frmLumaret::cmdExport_Click() {}

void frmLumaret::cmdImport_Click() {}

void frmLumaret::ImportFile(const QString& path) {
    Q_UNUSED(path);
}
